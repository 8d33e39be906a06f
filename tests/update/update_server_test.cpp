// The UpdateServer value: what it accepts, and that the check reads it from
// the platform's own store (the settings file here, the registry on
// Windows) and tells the user what it found.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/settings_registry.h"
#include "support/temp_dir.h"
#include "test_servers.h"
#include "update/version_check.h"

#ifdef _WIN32
#include "platform/win32/settings_store_registry.h"
#include "platform/windows_lean.h"
#else
#include "platform/posix/settings_store_file.h"
#endif

namespace tsl {
namespace {

TEST(ParseUpdateServer, HostAndPortOffOrTheProductsOwn) {
  UpdateServer s;
  std::string why;
  ASSERT_TRUE(ParseUpdateServer("127.0.0.1:8080", &s, &why));
  EXPECT_FALSE(s.off);
  EXPECT_EQ(s.host, "127.0.0.1");
  EXPECT_EQ(s.port, 8080);
  ASSERT_TRUE(ParseUpdateServer(" mirror.example.com ", &s, &why));
  EXPECT_EQ(s.host, "mirror.example.com");
  EXPECT_EQ(s.port, 80);
  ASSERT_TRUE(ParseUpdateServer("OFF", &s, &why));
  EXPECT_TRUE(s.off);
  ASSERT_TRUE(ParseUpdateServer("", &s, &why));
  EXPECT_FALSE(s.off);
  EXPECT_EQ(s.host, kDefaultUpdateHost);
  EXPECT_EQ(s.port, 80);
  EXPECT_EQ(UpdateServerText(s), kDefaultUpdateHost);

  for (const char* bad : {"host:", "host:0", "host:65536", "host:80x", "ho st", ":8080", "[::1]:80",
                          "http://host/", "host:8080:1", "-host"}) {
    why.clear();
    EXPECT_FALSE(ParseUpdateServer(bad, &s, &why)) << bad;
    EXPECT_NE(why.find(bad), std::string::npos) << why;
  }
}

// The platform's store in a place of its own, installed for the test.
class StoredServerTest : public ::testing::Test {
 protected:
#ifdef _WIN32
  StoredServerTest()
      : key_("Software\\Quillmark\\TessellaUpdateTest-" + std::to_string(GetCurrentProcessId())),
        store_(std::make_unique<win32::RegistrySettingsStore>(key_)) {
    SetSettingsStore(store_.get());
  }
  ~StoredServerTest() override {
    SetSettingsStore(nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
  }
  std::string key_;
#else
  StoredServerTest() : store_(std::make_unique<FileSettingsStore>(dir_.File("tessella"))) {
    SetSettingsStore(store_.get());
  }
  ~StoredServerTest() override { SetSettingsStore(nullptr); }
  test::TempDir dir_;
#endif
  std::unique_ptr<SettingsStore> store_;
};

// Notices remembered as the desktop would show them, answering a question
// as told.
class Boxes : public Notices {
 public:
  explicit Boxes(NoticeAnswer answer = NoticeAnswer::No) : answer_(answer) {}
  NoticeAnswer Tell(const Notice& n) override {
    shown.push_back({NoticeText(n), NoticeCaption(n), n.icon, n.buttons});
    return n.IsQuestion() ? answer_ : NoticeAnswer::Ok;
  }
  struct Box {
    std::string text, caption;
    NoticeIcon icon;
    NoticeButtons buttons;
  };
  std::vector<Box> shown;

 private:
  NoticeAnswer answer_;
};

HttpTimeouts Quick() {
  HttpTimeouts t;
  t.receiveMs = 400;
  t.replyMs = 1200;
  return t;
}

TEST_F(StoredServerTest, TheStoredServerIsAskedAndOffAsksNone) {
  UpdateServer s;
  std::string why;
  ASSERT_TRUE(ReadUpdateServer(&s, &why));
  EXPECT_EQ(UpdateServerText(s), kDefaultUpdateHost) << "nothing stored: the product's server";

  std::string at = "127.0.0.1:" + std::to_string(test::ServerPort("older"));
  ASSERT_EQ(WriteSettingsString(NoOneToTell(), nullptr, kUpdateServerValue, at.c_str()), 1);
  VersionCheck check = RunConfiguredVersionCheck(Quick());
  EXPECT_EQ(UpdateServerText(check.server), at);
  EXPECT_EQ(check.decision.verdict, VersionVerdict::Different) << DescribeFailure(check);

  ASSERT_EQ(WriteSettingsString(NoOneToTell(), nullptr, kUpdateServerValue, "off"), 1);
  check = RunConfiguredVersionCheck(Quick());
  EXPECT_TRUE(check.server.off);
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.decision.verdict, VersionVerdict::NotOk);
  EXPECT_NE(DescribeFailure(check).find("turned off"), std::string::npos);

  ASSERT_EQ(WriteSettingsString(NoOneToTell(), nullptr, kUpdateServerValue, "bad host"), 1);
  check = RunConfiguredVersionCheck(Quick());
  EXPECT_NE(DescribeFailure(check).find("'bad host'"), std::string::npos) << DescribeFailure(check);
}

TEST_F(StoredServerTest, TheBoxesOfTheWindow) {
  auto point = [](const char* name) {
    std::string at = "127.0.0.1:" + std::to_string(test::ServerPort(name));
    WriteSettingsString(NoOneToTell(), nullptr, kUpdateServerValue, at.c_str());
  };
  std::vector<std::string> opened;
  PageOpener open = [&](const std::string& address, std::string*) {
    opened.push_back(address);
    return true;
  };

  // The current release: silent at start, confirmed when asked for.
  point("current");
  Boxes atStart, asked;
  GetCurrentVersionInfo(atStart, false, open, Quick());
  EXPECT_TRUE(atStart.shown.empty());
  GetCurrentVersionInfo(asked, true, open, Quick());
  ASSERT_EQ(asked.shown.size(), 1u);
  EXPECT_EQ(asked.shown[0].caption, "Tessella is up-to-date");
  EXPECT_EQ(asked.shown[0].text, "You are currently running Version 5.4 Build 1110, the current version of Tessella.");
  EXPECT_EQ(asked.shown[0].icon, NoticeIcon::Information);
  EXPECT_EQ(asked.shown[0].buttons, NoticeButtons::Ok);

  // Another release, at start too; No opens nothing, Yes the product page.
  point("older");
  Boxes no(NoticeAnswer::No), yes(NoticeAnswer::Yes);
  GetCurrentVersionInfo(no, false, open, Quick());
  ASSERT_EQ(no.shown.size(), 1u);
  EXPECT_EQ(no.shown[0].caption, "Update Available");
  EXPECT_NE(no.shown[0].text.find("Version 5.4 Build 1109 was released 2023-11-02."), std::string::npos);
  EXPECT_EQ(no.shown[0].buttons, NoticeButtons::YesNo);
  EXPECT_EQ(no.shown[0].icon, NoticeIcon::Information);
  EXPECT_TRUE(opened.empty());
  GetCurrentVersionInfo(yes, false, open, Quick());
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], ProductPageAddress());
  EXPECT_EQ(yes.shown.size(), 1u);

  // A page that cannot be opened is reported with the system's words.
  Boxes failing(NoticeAnswer::Yes);
  GetCurrentVersionInfo(failing, false,
                        [](const std::string&, std::string* why) {
                          *why = "No program is associated with it.";
                          return false;
                        },
                        Quick());
  ASSERT_EQ(failing.shown.size(), 2u);
  EXPECT_EQ(failing.shown[1].caption, "Tessella");
  EXPECT_EQ(failing.shown[1].text, "No program is associated with it.");
  EXPECT_EQ(failing.shown[1].icon, NoticeIcon::Error);

  // A failed check says nothing, even when asked for.
  for (const char* name : {"missing", "notfound", "cut", "refused"}) {
    point(name);
    Boxes quiet;
    GetCurrentVersionInfo(quiet, true, open, Quick());
    EXPECT_TRUE(quiet.shown.empty()) << name;
  }
  EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
}  // namespace tsl
