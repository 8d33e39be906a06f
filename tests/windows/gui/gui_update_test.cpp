// The version check in the program, against our loopback update server
// (tests/update/update_server.py, started around the driver): the start-up
// check, Help > Check for Updates, the product page opened on Yes, and the
// end of the program while the server says nothing.
#include <gtest/gtest.h>

#include <string>

#include "gui_actions.h"
#include "test_servers.h"

namespace gui {
namespace {

constexpr unsigned kCheckForUpdates = 10006;
constexpr unsigned kProductPageString = 40120;

void UseServer(const char* name) {
  SetPreference("UpdateServer", "127.0.0.1:" + std::to_string(tsl::test::ServerPort(name)));
}

// The product page as the program's string table has it.
std::string ProductPage() {
  HMODULE exe = LoadLibraryExA(Where().exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  char text[512] = "";
  if (exe) {
    LoadStringA(exe, kProductPageString, text, sizeof text);
    FreeLibrary(exe);
  }
  return text;
}

std::string BoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

// Makes the recording viewer the handler of http addresses while it lives
// (Wine reads the handlers from HKEY_CLASSES_ROOT alone).
class HttpHandler {
 public:
  explicit HttpHandler(const std::string& command) {
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kCommand, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) != 0) {
      key_ = nullptr;
      return;
    }
    char old[1024] = "";
    DWORD size = sizeof old - 1;
    if (RegQueryValueExA(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == 0) saved_ = old;
    Set(command);
  }
  ~HttpHandler() {
    if (!key_) return;
    Set(saved_);
    RegCloseKey(key_);
  }
  HttpHandler(const HttpHandler&) = delete;
  HttpHandler& operator=(const HttpHandler&) = delete;
  bool ok() const { return key_ != nullptr; }

 private:
  void Set(const std::string& command) {
    RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
  }
  static constexpr const char* kCommand = "http\\shell\\open\\command";
  HKEY key_ = nullptr;
  std::string saved_;
};

// The start-up check announces an older build as another release, in a
// box owned by the frame; Yes hands the product page to the shell.
TEST(Update, StartUpAnnouncesAnotherReleaseAndYesOpensTheProductPage) {
  ResetSettings();
  UseServer("older");
  std::string record = Work("opened.txt");
  RemoveFile(record);
  SetEnvironmentVariableA("TESSELLA_VIEWER_RECORD", record.c_str());
  HttpHandler handler("\"" + Where().viewer + "\" \"%1\"");
  ASSERT_TRUE(handler.ok());

  App app("");
  ASSERT_TRUE(app.frame());
  HWND box = WaitTop("#32770", "Update Available", app.pid());
  ASSERT_TRUE(box) << "no \"Update Available\" box at start";
  EXPECT_EQ(GetWindow(box, GW_OWNER), app.frame());
  std::string text = BoxText(box);
  EXPECT_NE(text.find("A new version of Tessella is available: Version 5.4 Build 1109 was released 2023-11-02."),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("You are currently running Version 5.4 Build 1110."), std::string::npos) << text;
  Repaint(box);
  SaveShot(GrabWindow(box), "update_available_at_start");
  ASSERT_TRUE(Press(box, IDYES));

  std::string page = ProductPage();
  ASSERT_FALSE(page.empty());
  std::string opened;
  WaitFor([&] { return (opened = ReadFile(record)).find(page) != std::string::npos; }, 10000);
  EXPECT_NE(opened.find(page), std::string::npos) << "the handler was started with: " << opened;
  EXPECT_FALSE(FindTop("#32770", "Tessella", app.pid())) << "no error box";
  SetEnvironmentVariableA("TESSELLA_VIEWER_RECORD", nullptr);
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open Plot File", ""));
}

// For the running release the start-up check says nothing; Help > Check for
// Updates says that it is current.
TEST(Update, TheCurrentReleaseIsConfirmedOnlyWhenAskedFor) {
  ResetSettings();
  UseServer("current");
  App app("");
  ASSERT_TRUE(app.frame());
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open Plot File", ""));
  // The server answers at once: by now the start-up check has ended.
  WaitFor([] { return false; }, 1500);
  EXPECT_FALSE(FindTop("#32770", "Update Available", app.pid()));
  EXPECT_FALSE(FindTop("#32770", "Tessella is up-to-date", app.pid()));

  app.Post(kCheckForUpdates);
  HWND box = WaitTop("#32770", "Tessella is up-to-date", app.pid());
  ASSERT_TRUE(box) << "Check for Updates showed no box";
  EXPECT_EQ(GetWindow(box, GW_OWNER), app.frame());
  EXPECT_EQ(BoxText(box), "You are currently running Version 5.4 Build 1110, the current version of Tessella.");
  Repaint(box);
  SaveShot(GrabWindow(box), "up_to_date_from_help_menu");
  ASSERT_TRUE(Press(box, IDOK));
  app.Sync();
}

// A server that accepts and never answers holds the end of the program for
// the check's 2.5 s, not longer.
TEST(Update, ExitWhileTheServerStallsTakesAboutTwoAndAHalfSeconds) {
  ResetSettings();
  UseServer("silent");
  App app("");
  ASSERT_TRUE(app.frame());
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open Plot File", ""));
  DWORD start = GetTickCount();
  PostMessageA(app.frame(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app.WaitExit(10000), 0);
  DWORD took = GetTickCount() - start;
  EXPECT_GE(took, 1500u) << "the exit waited for the check";
  EXPECT_LT(took, 4000u);
}

}  // namespace
}  // namespace gui
