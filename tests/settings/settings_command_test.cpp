// These run over the settings file store, which is the POSIX one.
#ifndef _WIN32
#include <sstream>

#include "cli/settings_command.h"
#include "settings/settings_registry.h"
#include "settings/settings_sets.h"
#include "settings_test_support.h"

namespace tsl::test {
namespace {

class SettingsCommandTest : public StoreTest {
 protected:
  struct Result {
    int status;
    std::string out, err;
  };
  Result Run(std::vector<std::string> args) {
    args.insert(args.begin(), "settings");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    std::ostringstream out, err;
    int status = RunSettingsCommand(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
};

TEST_F(SettingsCommandTest, SetShowExportDeleteImportEndToEnd) {
  EXPECT_EQ(Run({"set", "Pen2", "red"}).status, 0);
  EXPECT_EQ(Run({"set", "Pen4", "#0000FF"}).status, 0);  // #RRGGBB: blue
  auto r = Run({"set", "--set", "Work", "Pen3", " 0, 128 ,255"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "[Work] Pen3 = 16744448 (0,128,255)\n");
  EXPECT_EQ(Run({"set", "--set=Work", "pagewidth", "420"}).status, 0);
  EXPECT_EQ(Run({"set", "--set", "Work", "PenWidth5", "-80"}).status, 0);
  EXPECT_EQ(Run({"set", "--set", "Work", "MirrorX", "on"}).status, 0);
  EXPECT_EQ(Run({"set", "--set", "Work", "FontName", "Arial"}).status, 0);

  r = Run({"show"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(r.out, "[Default]\nPen0 = 0 (BLACK)\nPenWidth0 = 0\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "\nPen2 = 255 (RED)\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "\nPen4 = 16711680 (BLUE)\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "\nAutoCopy = on\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "\nFontName = Courier New\n")) << r.out;
  const std::string workBefore = Run({"show", "work"}).out;
  EXPECT_TRUE(Has(workBefore, "[Work]\n")) << workBefore;
  EXPECT_TRUE(Has(workBefore, "\nPageWidth = 420\n")) << workBefore;
  EXPECT_TRUE(Has(workBefore, "\nPenWidth5 = -80\n")) << workBefore;
  EXPECT_TRUE(Has(workBefore, "\nMirrorX = on\n")) << workBefore;

  std::string file = dir.File("all.set");
  r = Run({"export", file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Exported 2 sets")) << r.out;
  EXPECT_EQ(Run({"delete", "Work"}).status, 0);
  EXPECT_TRUE(Has(Run({"list"}).out, "* Default\n"));
  EXPECT_FALSE(Has(Run({"list"}).out, "Work"));
  EXPECT_EQ(Run({"show", "Work"}).status, 1);

  r = Run({"import", file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Run({"show", "Work"}).out, workBefore);
  EXPECT_EQ(Run({"use", "work"}).status, 0);
  EXPECT_EQ(Run({"list"}).out, "  Default\n* Work\n");
  EXPECT_TRUE(notices.texts.empty());
}

TEST_F(SettingsCommandTest, BadInputGetsAClearMessageAndStatus) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{}, 2, "Usage: tessella settings"},
      {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
      {{"set", "Colour9", "red"}, 2, "unknown key 'Colour9'"},
      {{"set", "Pen2", "mauve"}, 2, "Pen2 accepts a colour name"},
      {{"set", "Pen2", "300,0,0"}, 2, "R,G,B with 0..255 each"},
      {{"set", "Pen0", "red"}, 2, "pens 1 to 16"},
      {{"set", "PenWidth1", "51"}, 2, "PenWidth1 accepts a whole number from -80 to 50, not '51'"},
      {{"set", "PageWidth", "wide"}, 2, "PageWidth accepts a paper width in mm from 1 to 32767"},
      {{"set", "MirrorX", "maybe"}, 2, "MirrorX accepts on or off"},
      {{"set", "FontName", std::string(32, 'f')}, 2, "at most 31 characters"},
      {{"set", "--set", "a\\b", "MirrorX", "on"}, 2, "cannot name a settings set"},
      {{"set", "--bogus", "MirrorX", "on"}, 2, "unknown option '--bogus'"},
      {{"set", "MirrorX"}, 2, "set takes a KEY and a VALUE"},
      {{"delete", "Nothing"}, 1, "no settings set named 'Nothing'"},
      {{"use", "Nothing"}, 1, "no settings set named 'Nothing'"},
      {{"import", dir.File("missing.set")}, 1, "not imported"},
  };
  for (const Case& c : cases) {
    auto r = Run(c.args);
    std::string what = c.args.empty() ? "(none)" : c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : "");
    EXPECT_EQ(r.status, c.status) << what;
    EXPECT_TRUE(Has(r.err, c.message)) << what << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << what;
  }
  auto help = Run({"show", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(Has(help.out, "PenWidth1 .. PenWidth16"));
  EXPECT_TRUE(SettingsSectionNames().empty()) << "a refused command wrote something";
}

}  // namespace
}  // namespace tsl::test

#endif  // _WIN32
