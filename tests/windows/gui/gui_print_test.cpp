// Printing from the window and from batches, on the private cups-pdf queue
// that scripts/test.d/windows.sh starts (Wine's printers come from it):
// Page Setup shown, cancelled and confirmed, with the nine values read back
// by `reg query`; Print through its dialog; /PD printing a batch without
// any dialog; /P asking once for the whole batch; files dropped after a
// command line with /PD printed like its own. What the pages show is
// checked on the Linux side (PrintQueue.PageFromTheWindowsFrame).
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "gui_actions.h"

namespace gui {
namespace {

constexpr char kBaseKey[] = "Software\\Quillmark\\Tessella";
const char* const kPageSetupValues[] = {"FitToPage",    "MaintainAspectRatio", "CenterOnPage", "TopMargin", "LeftMargin",
                                        "BottomMargin", "RightMargin",         "PageHeading",  "PageFooter"};

// Control IDs of the Page Setup dialog.
enum { kPrinter = 4002, kLeft = 4010, kTop = 4011, kHeading = 4020, kFooter = 4021, kFit = 4030, kAspect = 4031,
       kCentre = 4032 };

// The queue's output folder as Wine sees it; empty without the queue.
std::string QueueFolder() {
  const char* out = std::getenv("TESSELLA_CUPS_OUT");
  if (!out || !*out) return std::string();
  std::string p = std::string("Z:") + out;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p + "\\";
}

// The PDFs of the queue whose names hold `part`.
size_t PdfsNamed(const std::string& part) {
  size_t n = 0;
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA((QueueFolder() + "*" + part + "*.pdf").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do ++n;
  while (FindNextFileA(h, &d));
  FindClose(h);
  return n;
}

bool WaitForPdf(const std::string& part, size_t before) {
  return WaitFor([&] { return PdfsNamed(part) > before; }, 60000);
}

void ForgetPageSetup() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kBaseKey, 0, KEY_SET_VALUE, &key) != 0) return;
  for (const char* name : kPageSetupValues) RegDeleteValueA(key, name);
  RegCloseKey(key);
}

// The values of the program's base key as `reg query` lists them:
// "    Name    REG_TYPE    data".
std::map<std::string, std::string> RegQuery() {
  std::map<std::string, std::string> values;
  std::string out = RunAndRead(std::string("reg query \"HKCU\\") + kBaseKey + "\"");
  size_t at = 0;
  while (at < out.size()) {
    size_t end = out.find('\n', at);
    if (end == std::string::npos) end = out.size();
    std::string line = out.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t type = line.find("    REG_");
    if (type == std::string::npos) continue;
    size_t name = line.find_first_not_of(' ');
    size_t data = line.find("    ", type + 4);
    values[line.substr(name, type - name)] = data == std::string::npos ? std::string() : line.substr(data + 4);
  }
  return values;
}

size_t PageSetupValuesStored(const std::map<std::string, std::string>& values) {
  size_t n = 0;
  for (const char* name : kPageSetupValues) n += values.count(name);
  return n;
}

bool Checked(HWND dialog, int id) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(ChildById(dialog, id), BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
  return state == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool on) {
  SendMessageTimeoutA(ChildById(dialog, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0, SMTO_NORMAL, 5000,
                      nullptr);
}

void SetText(HWND dialog, int id, const std::string& text) {
  SendMessageTimeoutA(ChildById(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                      5000, nullptr);
}

// One program for Page Setup and Print from the menu: the page printed is
// laid out with the values Page Setup stored.
class Printing : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetSettings();
    ForgetPageSetup();
    SetSetting("NoAutoClose", kOn);
    SetSetting("NoInfoMessages", kOn);
    // 100 x 75 mm: fitted on A4 it grows to the width between the margins.
    WriteFile(Work("gui_page.plt"), BoxPlot(1000, 750, 2));
    app_ = new App("gui_page.plt");
    WaitFor([&] { return app_->Caption() == Work("gui_page.plt") + " - Tessella"; });
  }
  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
    ForgetPageSetup();
  }
  static App* app_;
};
App* Printing::app_ = nullptr;

TEST_F(Printing, PageSetupCancelWritesNothingOkWritesTheNineValues) {
  App& app = *app_;
  ASSERT_EQ(app.Caption(), Work("gui_page.plt") + " - Tessella");
  app.Post(1022);
  HWND dialog = WaitTop("#32770", "Page Setup", app.pid());
  ASSERT_TRUE(dialog);
  // Nothing stored: the defaults, and templates that offer the picture's
  // name and the application.
  EXPECT_EQ(TextOf(ChildById(dialog, kLeft)), "10");
  EXPECT_EQ(TextOf(ChildById(dialog, kTop)), "10");
  EXPECT_EQ(TextOf(ChildById(dialog, kHeading)), "&n");
  EXPECT_EQ(TextOf(ChildById(dialog, kFooter)), "&a");
  EXPECT_FALSE(Checked(dialog, kFit));
  EXPECT_TRUE(Checked(dialog, kCentre));
  if (!QueueFolder().empty()) {
    EXPECT_EQ(TextOf(ChildById(dialog, kPrinter)), "Tessella_PDF");
  }
  Repaint(dialog);
  SaveShot(GrabWindow(dialog), "page_setup");
  SetText(dialog, kLeft, "33");
  SetChecked(dialog, kFit, true);
  ASSERT_TRUE(Press(dialog, IDCANCEL));
  EXPECT_EQ(PageSetupValuesStored(RegQuery()), 0u) << "Cancel wrote values";

  app.Post(1022);
  dialog = WaitTop("#32770", "Page Setup", app.pid());
  ASSERT_TRUE(dialog);
  EXPECT_EQ(TextOf(ChildById(dialog, kLeft)), "10") << "the cancelled change is gone";
  SetText(dialog, kLeft, "25");
  SetText(dialog, kHeading, "&n - &d");
  SetText(dialog, kFooter, "&V");
  SetChecked(dialog, kFit, true);
  SetChecked(dialog, kAspect, true);
  SetChecked(dialog, kCentre, false);
  ASSERT_TRUE(Press(dialog, IDOK));
  std::map<std::string, std::string> values = RegQuery();
  EXPECT_EQ(PageSetupValuesStored(values), 9u);
  EXPECT_EQ(values["LeftMargin"], "0x19");
  EXPECT_EQ(values["TopMargin"], "0xa");
  EXPECT_EQ(values["RightMargin"], "0xa");
  EXPECT_EQ(values["BottomMargin"], "0xa");
  EXPECT_EQ(values["FitToPage"], "0x1");
  EXPECT_EQ(values["MaintainAspectRatio"], "0x1");
  EXPECT_EQ(values["CenterOnPage"], "0x0");
  EXPECT_EQ(values["PageHeading"], "&n - &d");
  EXPECT_EQ(values["PageFooter"], "&V");
}

TEST_F(Printing, PrintGoesThroughItsDialogToTheQueue) {
  if (QueueFolder().empty()) GTEST_SKIP() << "no private print queue (scripts/test.d/windows.sh starts one)";
  App& app = *app_;
  size_t before = PdfsNamed("gui_page");
  app.Post(1020);
  HWND print = WaitTop("#32770", "Print", app.pid(), 15000);
  ASSERT_TRUE(print);
  Repaint(print);
  SaveShot(GrabWindow(print), "print_dialog");
  ASSERT_TRUE(Press(print, IDOK));
  EXPECT_TRUE(WaitForPdf("gui_page", before)) << "nothing arrived in " << QueueFolder();
  EXPECT_FALSE(WaitBox(app.pid(), 500).hwnd) << "no error reported";
}

// Unattended: /PD prints every file to the default printer, and nobody is
// asked anything (a dialog would keep the program from ending).
TEST(PrintingBatch, PdPrintsEveryFileWithoutADialog) {
  if (QueueFolder().empty()) GTEST_SKIP() << "no private print queue (scripts/test.d/windows.sh starts one)";
  ResetSettings();
  ForgetPageSetup();
  WriteFile(Work("pd_one.plt"), BoxPlot(4000, 3000, 2));
  WriteFile(Work("pd_two.plt"), BoxPlot(3000, 4000, 3));
  size_t one = PdfsNamed("pd_one"), two = PdfsNamed("pd_two");
  App app("/B /PD pd_one.plt pd_two.plt", false);
  EXPECT_EQ(app.WaitExit(60000), 0);
  EXPECT_TRUE(WaitForPdf("pd_one", one));
  EXPECT_TRUE(WaitForPdf("pd_two", two));
}

// /P: the print dialog once, before the first file; every file of the
// batch goes to the printer chosen there.
TEST(PrintingBatch, PAsksOnceForTheWholeBatch) {
  if (QueueFolder().empty()) GTEST_SKIP() << "no private print queue (scripts/test.d/windows.sh starts one)";
  ResetSettings();
  ForgetPageSetup();
  WriteFile(Work("p_one.plt"), BoxPlot(4000, 3000, 2));
  WriteFile(Work("p_two.plt"), BoxPlot(3000, 4000, 3));
  size_t one = PdfsNamed("p_one"), two = PdfsNamed("p_two");
  App app("/B /P p_one.plt p_two.plt", false);
  HWND print = WaitTop("#32770", "Print", app.pid(), 15000);
  ASSERT_TRUE(print);
  ASSERT_TRUE(Press(print, IDOK));
  int exit = app.WaitExit(60000);
  EXPECT_EQ(exit, 0);
  if (exit != 0) {
    EXPECT_FALSE(FindTop("#32770", "Print", app.pid())) << "asked a second time";
  }
  EXPECT_TRUE(WaitForPdf("p_one", one));
  EXPECT_TRUE(WaitForPdf("p_two", two));
}

// The run options of a command line hold until the next one: files dropped
// after "/PD first.plt" print as it did.
TEST(PrintingBatch, DroppedFilesPrintAsTheCommandLineAsked) {
  if (QueueFolder().empty()) GTEST_SKIP() << "no private print queue (scripts/test.d/windows.sh starts one)";
  ResetSettings();
  ForgetPageSetup();
  SetSetting("NoInfoMessages", kOn);
  SetSetting("NoAutoClose", kOn);
  for (const char* name : {"drop_first.plt", "drop_a.plt", "drop_b.plt"}) WriteFile(Work(name), BoxPlot(2000, 1500, 2));
  size_t first = PdfsNamed("drop_first"), a = PdfsNamed("drop_a"), b = PdfsNamed("drop_b");
  App app("/PD drop_first.plt");
  ASSERT_TRUE(WaitFor([&] { return app.Caption() == Work("drop_first.plt") + " - Tessella"; }));
  EXPECT_TRUE(WaitForPdf("drop_first", first));
  app.Drop({Work("drop_a.plt"), Work("drop_b.plt")});
  ASSERT_TRUE(WaitFor([&] { return app.Caption() == Work("drop_b.plt") + " - Tessella"; })) << app.Caption();
  EXPECT_TRUE(FileExists(Work("drop_a.emf")));
  EXPECT_TRUE(WaitForPdf("drop_a", a));
  EXPECT_TRUE(WaitForPdf("drop_b", b));
  EXPECT_FALSE(FindTop("#32770", nullptr, app.pid())) << "nobody was asked";
}

}  // namespace
}  // namespace gui
