// The switch grammar on both sides: the window's command line (one text,
// '/' and '-', unknown letters taken as file names) and the POSIX
// command line's arguments ('-' only, unknown letters and trailing text
// refused by its actions).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/switch_grammar.h"

namespace tsl {
namespace {

// A file with the options the walk had when it reached it.
struct Named {
  std::string name;
  SettingsSet set;
  OutputPlacement placement;
};

// The window's actions: the defaults.
class Window : public SwitchActions {
 public:
  explicit Window(const char* switchChars = kWindowSwitchChars) : walker(set, placement, *this, switchChars) {
    set = DefaultSettings();
  }
  void File(const std::string& name) override { files.push_back({name, set, placement}); }
  void Switch(const SwitchEvent& e) override { events.push_back(e); }
  std::vector<std::string> Names() const {
    std::vector<std::string> n;
    for (const Named& f : files) n.push_back(f.name);
    return n;
  }

  SettingsSet set;
  OutputPlacement placement;
  SwitchWalker walker;
  std::vector<Named> files;
  std::vector<SwitchEvent> events;
};

// The command line's: what the table leaves to chance is refused.
class Posix : public Window {
 public:
  Posix() : Window(kPosixSwitchChars) {}
  void Unknown(const std::string& text) override { refused.push_back("unknown " + text); }
  void Trailing(const SwitchEvent& e, const std::string& text) override {
    refused.push_back(e.text + " then " + text);
  }
  void Switch(const SwitchEvent& e) override {
    if (!e.valid) refused.push_back("inert " + e.text);
    Window::Switch(e);
  }
  void Walk(std::initializer_list<const char*> args) {
    for (const char* a : args) walker.WalkArgument(a);
  }
  std::vector<std::string> refused;
};

TEST(SwitchGrammar, SwitchesApplyToTheFilesNamedAfterThem) {
  Window w;
  w.walker.WalkCommandLine("a.plt /Q /WPNG:1024 b.plt -MX \"c d.plt\"");
  ASSERT_EQ(w.Names(), (std::vector<std::string>{"a.plt", "b.plt", "c d.plt"}));
  EXPECT_FALSE(w.files[0].set.Has(Quiet));
  EXPECT_EQ(w.files[0].set.AutoExport, 0);
  EXPECT_TRUE(w.files[1].set.Has(Quiet));
  EXPECT_EQ(w.files[1].set.AutoExport, AutoExportPNG);
  EXPECT_EQ(w.files[1].set.ExportSize, 1024u);
  EXPECT_FALSE(w.files[1].set.Has(MirrorX));
  EXPECT_TRUE(w.files[2].set.Has(MirrorX));
}

TEST(SwitchGrammar, ExportWidths) {
  Window w;
  // The width may follow after blanks in the window's text.
  w.walker.WalkCommandLine("/WBMP a.plt /WBMP1024 b.plt /wjpg 640 c.plt /WPNG:123456789 d.plt");
  ASSERT_EQ(w.Names(), (std::vector<std::string>{"a.plt", "b.plt", "c.plt", "9", "d.plt"}));
  EXPECT_EQ(w.files[0].set.ExportSize, 800u);
  EXPECT_EQ(w.files[1].set.ExportSize, 1024u);
  EXPECT_EQ(w.files[2].set.ExportSize, 640u);
  EXPECT_EQ(w.files[2].set.AutoExport, AutoExportBMP | AutoExportJPEG);
  EXPECT_EQ(w.files[4].set.ExportSize, 12345678u);  // eight digits at most

  SettingsSet hi = DefaultSettings();
  hi.Set(HighResolution, true);
  Window bmp;
  bmp.set = hi;
  bmp.walker.WalkCommandLine("-BMP=640 x.plt");
  EXPECT_FALSE(bmp.files[0].set.Has(HighResolution));
  EXPECT_EQ(bmp.files[0].set.ExportSize, 640u);
}

TEST(SwitchGrammar, RotationAndScale) {
  auto rotation = [](const char* line) {
    Window w;
    w.walker.WalkCommandLine(std::string(line) + " x.plt");
    return w.files.back().set.Rotation;
  };
  EXPECT_EQ(rotation("/RO:-90"), 0);
  EXPECT_EQ(rotation("/RO:100"), 90);
  EXPECT_EQ(rotation("/ro=135"), 180);
  EXPECT_EQ(rotation("/RO:99999999999999999999") % 90, 0);

  auto scale = [](const char* line) {
    Window w;
    w.walker.WalkCommandLine(std::string(line) + " x.plt");
    return w.files.back().set.ScalePercent;
  };
  EXPECT_FLOAT_EQ(scale("/S:0"), 100.0f);
  EXPECT_FLOAT_EQ(scale("/S:abc"), 100.0f);
  EXPECT_FLOAT_EQ(scale("/S:0.5"), 0.5f);
  EXPECT_FLOAT_EQ(scale("/S=5D1"), 50.0f);
  EXPECT_FLOAT_EQ(scale("/S:-5"), 100.0f);
  // Past float's range the table's value would be infinite.
  EXPECT_FLOAT_EQ(scale("/S:1e39"), 100.0f);
  EXPECT_FLOAT_EQ(scale("/S:1e6"), 100.0f);
}

TEST(SwitchGrammar, PaperOutputAndPurge) {
  Window w;
  w.walker.WalkCommandLine("/A0 a /ALGR b /ALXX c /A4 d /X e /WPNG /X f");
  ASSERT_EQ(w.Names(), (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
  EXPECT_EQ(w.files[0].set.PageHeight, 1188);
  EXPECT_EQ(w.files[1].set.PageHeight, 432);
  EXPECT_EQ(w.files[2].set.PageHeight, 432);  // an unknown name leaves the paper
  EXPECT_EQ(w.files[3].set.PageWidth, 210);
  EXPECT_FALSE(w.files[4].set.Has(PurgeEMF));  // no export before it
  EXPECT_TRUE(w.files[5].set.Has(PurgeEMF));

  Window o;
  o.walker.WalkCommandLine("/O:\"C:\\out put\\\" a /OF:x.emf b /O:elsewhere c /O d /Of:y e");
  ASSERT_EQ(o.Names(), (std::vector<std::string>{"a", "b", "c", "d", "f:y", "e"}));
  EXPECT_TRUE(o.files[0].placement.useFolder);
  EXPECT_EQ(o.files[0].placement.folder, "C:\\out put");
  EXPECT_TRUE(o.files[1].placement.fileGiven);
  EXPECT_EQ(o.files[1].placement.folder, "x.emf");
  EXPECT_EQ(o.files[2].placement.folder, "x.emf");  // the file named before wins
  EXPECT_FALSE(o.files[3].placement.useFolder);
  EXPECT_FALSE(o.files[3].placement.fileGiven);
}

TEST(SwitchGrammar, WindowTakesUnknownLettersAndLeftoversAsFileNames) {
  Window w;
  w.walker.WalkCommandLine("/dash.plt /Nowhere.plt -v /WSVG /S:abc /B/Q/IXPC x.plt /2 /K y.plt");
  EXPECT_EQ(w.Names(), (std::vector<std::string>{"ash.plt", "Nowhere.plt", "v", "SVG", "abc", "x.plt"}));
  EXPECT_TRUE(w.files.back().set.Has(Unattended));
  EXPECT_TRUE(w.files.back().set.Has(Quiet));
  EXPECT_TRUE(w.files.back().set.Has(IgnorePC));
  EXPECT_TRUE(w.walker.Stopped());
  EXPECT_EQ(w.events.back().kind, SwitchKind::Kill);
}

TEST(SwitchGrammar, DdeAndHelpAndPrint) {
  Window w;
  w.walker.WalkCommandLine("/DDE:\"Other Name That Is Far Too Long\" /? /PDm x.plt");
  ASSERT_EQ(w.events.size(), 3u);
  EXPECT_EQ(w.events[0].kind, SwitchKind::Dde);
  EXPECT_EQ(w.events[0].value, std::string("Other Name That Is Far Too Long").substr(0, 23));
  EXPECT_EQ(w.events[1].kind, SwitchKind::Help);
  const SettingsSet& s = w.files[0].set;
  EXPECT_TRUE(s.Has(DdeRequest) && s.Has(Unattended) && s.Has(NoAutoClose));
  EXPECT_EQ(s.AutoPrint, AutoPrintAfterConvert | AutoPrintMetafiles | AutoPrintDefault);
}

TEST(SwitchGrammar, PosixArgumentsRefuseWhatTheTableWouldGuess) {
  for (const char* arg : {"-dash.plt", "-v", "-WSVG", "-S:abc", "-S:-5", "-S:1e39", "-RO:", "-MXplan.plt", "-ALXX",
                          "-A5", "-X", "-Ix", "-Nowhere", "-R90"}) {
    Posix p;
    p.walker.WalkArgument(arg);
    EXPECT_TRUE(p.files.empty()) << arg;
    EXPECT_FALSE(p.refused.empty()) << arg;
  }
  Posix p;
  p.Walk({"-dash.plt", "-v", "-MXplan.plt"});
  EXPECT_EQ(p.refused, (std::vector<std::string>{"inert -d", "-d then ash.plt", "unknown v", "-MX then plan.plt"}));
}

TEST(SwitchGrammar, PosixArgumentsKeepBlanksAndCombinedSwitches) {
  Posix p;
  p.Walk({"-B-Q", "-O:out dir/", "my plot.plt", "-WPNG:300", "-wjpg=500", "-S:1.2.3"});
  EXPECT_EQ(p.refused, std::vector<std::string>{"inert -S:1.2.3"});
  ASSERT_EQ(p.files.size(), 1u);
  EXPECT_EQ(p.files[0].name, "my plot.plt");
  EXPECT_TRUE(p.files[0].set.Has(Unattended) && p.files[0].set.Has(Quiet));
  EXPECT_EQ(p.files[0].placement.folder, "out dir");
  // Each export reports its own width, which the command line keeps apart.
  ASSERT_GE(p.events.size(), 5u);
  EXPECT_EQ(p.events[3].exportBit, AutoExportPNG);
  EXPECT_EQ(p.events[3].size, 300u);
  EXPECT_EQ(p.events[4].exportBit, AutoExportJPEG);
  EXPECT_EQ(p.events[4].size, 500u);
  EXPECT_TRUE(p.walker.ExportSwitchSeen());
}

}  // namespace
}  // namespace tsl
