// The check in the window, under Wine: the start-up thread and its boxes,
// the menu command's box, the product page opened through the shell (the
// "http" handler is ours for the test, so the opening is seen), and the
// bounded wait at exit. Each box is photographed into screenshots/.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "platform/win32/settings_store_registry.h"
#include "settings/settings_registry.h"
#include "test_servers.h"
#include "update/version_check.h"
#include "update/win32/version_thread.h"

namespace tsl::win32 {
namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Handles the owner's messages while waiting: a box owned by it, shown from
// another thread, waits for the owner's thread to answer.
bool PumpUntil(const std::function<bool()>& done, int ms) {
  auto start = Clock::now();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (Since(start) * 1000 > ms) return false;
    Sleep(20);
  }
}

HWND FindBox(const char* caption) { return FindWindowA("#32770", caption); }

HWND WaitForBox(const char* caption, int ms = 8000) {
  HWND box = nullptr;
  PumpUntil([&] { return (box = FindBox(caption)) != nullptr && IsWindowVisible(box); }, ms);
  return box;
}

std::string BoxText(HWND box) {
  char text[1024] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
  return text;
}

// The box as it is on the screen, as a 24-bit BMP in screenshots/.
void Photograph(HWND box, const std::string& name) {
  PumpUntil([] { return false; }, 400);  // let it paint
  RECT r;
  GetWindowRect(box, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  ASSERT_GT(w, 0);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  CreateDirectoryA("screenshots", nullptr);
  DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u, size = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
  fh.bfSize = fh.bfOffBits + size;
  std::ofstream out("screenshots/" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
  out.write(static_cast<const char*>(bits), size);
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

void Press(HWND box, int id) { PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

bool WaitGone(HWND box) {
  return PumpUntil([&] { return !IsWindow(box); }, 5000);
}

class VersionThreadTest : public ::testing::Test {
 protected:
  VersionThreadTest()
      : key_("Software\\Quillmark\\TessellaThreadTest-" + std::to_string(GetCurrentProcessId())),
        store_(key_) {
    SetSettingsStore(&store_);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TessellaUpdateOwner";
    RegisterClassA(&wc);
    owner = CreateWindowA("TessellaUpdateOwner", "Tessella", WS_OVERLAPPEDWINDOW, 100, 100, 640, 400, nullptr,
                          nullptr, wc.hInstance, nullptr);
  }
  ~VersionThreadTest() override {
    DestroyWindow(owner);
    SetSettingsStore(nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    if (savedHandler_) {
      HKEY key;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHttpCommand, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(savedHandler_->c_str()),
                       static_cast<DWORD>(savedHandler_->size() + 1));
        RegCloseKey(key);
      }
    }
  }

  void PointAt(const char* name) {
    std::string at = "127.0.0.1:" + std::to_string(test::ServerPort(name));
    ASSERT_EQ(WriteSettingsString(NoOneToTell(), nullptr, kUpdateServerValue, at.c_str()), 1);
  }

  // Makes `command` the handler of http addresses until the test ends. (Wine
  // reads the handlers from HKEY_CLASSES_ROOT alone, not the user's classes.)
  void HandleHttpWith(const std::string& command) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kHttpCommand, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (!savedHandler_) {
      char old[1024] = "";
      DWORD size = sizeof old - 1;
      RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size);
      savedHandler_ = std::make_unique<std::string>(old);
    }
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
  }

  HWND owner = nullptr;

 private:
  static constexpr const char* kHttpCommand = "http\\shell\\open\\command";
  std::string key_;
  RegistrySettingsStore store_;
  std::unique_ptr<std::string> savedHandler_;
};

TEST_F(VersionThreadTest, TheStartUpCheckAnnouncesAnotherReleaseFromItsThread) {
  PointAt("older");
  ASSERT_TRUE(LaunchVersionCheck(owner));
  HWND box = WaitForBox("Update Available");
  ASSERT_NE(box, nullptr) << "no \"Update Available\" box";
  std::string text = BoxText(box);
  EXPECT_NE(text.find("A new version of Tessella is available: Version 5.4 Build 1109 was released 2023-11-02."),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("You are currently running Version 5.4 Build 1110."), std::string::npos) << text;
  EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
  EXPECT_NE(GetWindowThreadProcessId(box, nullptr), GetCurrentThreadId()) << "shown by the check's thread";
  EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
  EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
  Photograph(box, "update_available");
  Press(box, IDNO);
  ASSERT_TRUE(WaitGone(box));
  auto start = Clock::now();
  TerminateVersionCheck();
  EXPECT_LT(Since(start), 1.0) << "the thread had ended";
}

TEST_F(VersionThreadTest, TheStartUpCheckIsSilentForTheCurrentReleaseAndForFailures) {
  for (const char* name : {"current", "missing", "notfound", "cut", "refused"}) {
    PointAt(name);
    ASSERT_TRUE(LaunchVersionCheck(owner));
    bool shown = PumpUntil([] { return FindBox("Update Available") || FindBox("Tessella is up-to-date"); }, 700);
    EXPECT_FALSE(shown) << name;
    auto start = Clock::now();
    TerminateVersionCheck();
    EXPECT_LT(Since(start), 1.0) << name << ": the thread had ended";
  }
}

TEST_F(VersionThreadTest, TheMenuCommandConfirmsTheCurrentRelease) {
  PointAt("current");
  std::thread menu([this] { GetCurrentVersionInfo(owner, 1); });
  HWND box = WaitForBox("Tessella is up-to-date");
  if (box) {
    EXPECT_EQ(BoxText(box), "You are currently running Version 5.4 Build 1110, the current version of Tessella.");
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDNO), nullptr);
    Photograph(box, "up_to_date");
    Press(box, IDOK);
  }
  PumpUntil([&] { return !box || !IsWindow(box); }, 5000);
  menu.join();
  EXPECT_NE(box, nullptr) << "no \"Tessella is up-to-date\" box";
}

TEST_F(VersionThreadTest, YesOpensTheProductPageThroughTheShell) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string record = std::string(temp) + "tessella-opened-" + std::to_string(GetCurrentProcessId()) + ".txt";
  DeleteFileA(record.c_str());
  HandleHttpWith("C:\\windows\\system32\\cmd.exe /c echo %1>\"" + record + "\"");

  PointAt("older");
  std::thread check([this] { GetCurrentVersionInfo(owner, 0); });
  HWND box = WaitForBox("Update Available");
  if (box) Press(box, IDYES);
  PumpUntil([&] { return !box || !IsWindow(box); }, 5000);
  check.join();
  ASSERT_NE(box, nullptr);
  std::string opened;
  PumpUntil(
      [&] {
        std::ifstream in(record);
        std::getline(in, opened);
        return !opened.empty();
      },
      8000);
  EXPECT_NE(opened.find(ProductPageAddress()), std::string::npos) << "the handler got: " << opened;
  EXPECT_EQ(FindBox("Tessella"), nullptr) << "no error was shown";
  DeleteFileA(record.c_str());
}

TEST_F(VersionThreadTest, APageThatCannotBeOpenedIsReportedWithTheSystemsText) {
  std::string why;
  EXPECT_FALSE(OpenWebPage("tessella-no-such-scheme:page", &why));
  EXPECT_FALSE(why.empty());

  HandleHttpWith("C:\\no\\such\\browser.exe %1");
  PointAt("older");
  std::thread check([this] { GetCurrentVersionInfo(owner, 0); });
  HWND box = WaitForBox("Update Available");
  if (box) Press(box, IDYES);
  HWND error = box ? WaitForBox("Tessella") : nullptr;
  std::string text;
  if (error) {
    text = BoxText(error);
    Photograph(error, "page_not_opened");
    Press(error, IDOK);
  }
  PumpUntil([&] { return !error || !IsWindow(error); }, 5000);
  check.join();
  ASSERT_NE(error, nullptr) << "no error box";
  EXPECT_FALSE(text.empty());
  std::string direct;
  OpenWebPage(ProductPageAddress(), &direct);
  EXPECT_EQ(text, direct) << "the box shows the system's text for the failure";
}

TEST_F(VersionThreadTest, ExitWaitsAtMostTwoAndAHalfSecondsForAServerThatNeverAnswers) {
  PointAt("silent");
  ASSERT_TRUE(LaunchVersionCheck(owner));
  PumpUntil([] { return false; }, 200);
  auto start = Clock::now();
  TerminateVersionCheck();
  double waited = Since(start);
  EXPECT_GE(waited, 2.2);
  EXPECT_LT(waited, 3.2);
}

}  // namespace
}  // namespace tsl::win32
