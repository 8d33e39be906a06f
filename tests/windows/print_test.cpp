// Printing under Wine on the private cups-pdf queue that
// scripts/test.d/windows.sh starts (Wine's printers come from it): an
// unattended job reaches the queue, a second job waits for the first, and
// the exit wait holds a thread for 15 s and then ends it. Without the
// queue these skip; the PDF's content is checked on the Linux side
// (PrintQueue.PageFromWindows).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "settings/settings_registry.h"
#include "shell/page_setup_dlg.h"
#include "shell/print_job.h"

namespace {

using namespace tsl;
using namespace tsl::shell;

// The cups-pdf folder as Wine sees it (the Unix root is drive Z:).
std::string QueueFolder() {
  const char* out = std::getenv("TESSELLA_CUPS_OUT");
  if (!out) return std::string();
  std::string p = std::string("Z:") + out;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

int CountPdfs(const std::string& folder, const char* part) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*" + part + "*.pdf").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do ++n;
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

bool WaitForPdfs(const std::string& folder, const char* part, int count) {
  for (int i = 0; i < 600; ++i) {
    if (CountPdfs(folder, part) >= count) return true;
    Sleep(100);
  }
  return false;
}

// A red 100 x 75 mm rectangle named `picture`.
HENHMETAFILE RedPicture(const char* picture) {
  std::string desc = std::string("Tessella 5.4.1110") + '\0' + picture + '\0' + '\0';
  RECT frame{0, 0, 10000, 7500};
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, desc.c_str());
  HDC screen = GetDC(nullptr);
  int w = MulDiv(100, GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, HORZSIZE));
  int h = MulDiv(75, GetDeviceCaps(screen, VERTRES), GetDeviceCaps(screen, VERTSIZE));
  ReleaseDC(nullptr, screen);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT r{0, 0, w, h};
  FillRect(dc, &r, red);
  DeleteObject(red);
  return CloseEnhMetaFile(dc);
}

std::atomic<bool> gHold{false};
std::atomic<int> gHeld{0};
void HoldThread() {
  gHeld++;
  while (gHold.load()) Sleep(20);
}
DWORD WINAPI ReleaseInASecond(void*) {
  Sleep(1000);
  gHold = false;
  return 0;
}

class PrintThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = QueueFolder();
    if (folder_.empty()) GTEST_SKIP() << "no private print queue (scripts/test.d/windows.sh starts one)";
    owner_ = CreateWindowA("STATIC", "print owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    record_ = GetPrintRecord(owner_);
    ASSERT_TRUE(ChoosePrinterForBatch(record_, true)) << "Wine shows no default printer";
  }
  void TearDown() override {
    gHold = false;
    SetPrintHook(nullptr);
    EndPrintThread();
    if (owner_) DestroyWindow(owner_);
  }
  std::string folder_;
  HWND owner_ = nullptr;
  PrintRecord* record_ = nullptr;
};

TEST_F(PrintThreadTest, UnattendedJobReachesTheQueue) {
  // The page setup the Linux side checks: fitted, heading and footer.
  PageSetup s;
  s.fitToPage = true;
  s.heading = "&n - &d";
  s.footer = "&V";
  SilentNotices quiet;
  ASSERT_TRUE(WritePageSetup(quiet, s));
  HENHMETAFILE emf = RedPicture("wine_page.plt");
  int before = CountPdfs(folder_, "wine_page");
  HANDLE thread = FilePrint(owner_, {emf, true, 1 | 4});
  DeleteEnhMetaFile(emf);  // the job printed from a copy of its own
  ASSERT_NE(thread, nullptr);
  ASSERT_TRUE(WaitForPrintThread(60000));
  EXPECT_TRUE(WaitForPdfs(folder_, "wine_page", before + 1)) << "nothing arrived in " << folder_;
  WritePageSetup(quiet, PageSetup());
}

TEST_F(PrintThreadTest, SecondPrintWaitsForTheFirst) {
  HENHMETAFILE emf = RedPicture("wine_wait.plt");
  gHold = true;
  gHeld = 0;
  SetPrintHook(HoldThread);
  ASSERT_NE(FilePrint(owner_, {emf, true, 1 | 4}), nullptr);
  for (int i = 0; i < 1000 && gHeld.load() == 0; ++i) Sleep(10);
  ASSERT_EQ(gHeld.load(), 1);
  EXPECT_TRUE(PrintThreadRunning());
  EXPECT_FALSE(WaitForPrintThread(300));  // still held
  // Let the first job go in a second: the second Print waits till then.
  HANDLE releaser = CreateThread(nullptr, 0, ReleaseInASecond, nullptr, 0, nullptr);
  DWORD start = GetTickCount();
  HANDLE second = FilePrint(owner_, {emf, true, 1 | 4});
  DWORD waited = GetTickCount() - start;
  EXPECT_NE(second, nullptr);
  EXPECT_GE(waited, 700u);
  EXPECT_TRUE(WaitForPrintThread(60000));
  EXPECT_EQ(gHeld.load(), 2);  // the second job ran after the first
  WaitForSingleObject(releaser, INFINITE);
  CloseHandle(releaser);
  DeleteEnhMetaFile(emf);
}

TEST_F(PrintThreadTest, ExitWaitsFifteenSecondsThenEndsTheThread) {
  HENHMETAFILE emf = RedPicture("wine_exit.plt");
  gHold = true;
  gHeld = 0;
  SetPrintHook(HoldThread);
  ASSERT_NE(FilePrint(owner_, {emf, true, 1 | 4}), nullptr);
  for (int i = 0; i < 1000 && gHeld.load() == 0; ++i) Sleep(10);
  ASSERT_EQ(gHeld.load(), 1);
  DWORD start = GetTickCount();
  EndPrintThread();
  DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 14900u);
  EXPECT_LT(waited, 20000u);
  EXPECT_FALSE(PrintThreadRunning());
  DeleteEnhMetaFile(emf);
}

TEST(PrintRecordTest, NoDrawingNoJob) {
  EXPECT_EQ(FilePrint(nullptr, {}), nullptr);
  EXPECT_FALSE(PrintThreadRunning());
}

}  // namespace
