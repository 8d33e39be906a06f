#include <gtest/gtest.h>

#include "cli/switches.h"

namespace tsl {
namespace {

CliOptions Walk(std::initializer_list<const char*> words, std::vector<std::string>* files = nullptr) {
  CliOptions o;
  o.set = DefaultSettings();
  for (const char* w : words) {
    std::string f = WalkItem(w, o, nullptr);
    if (files && !f.empty()) files->push_back(f);
  }
  return o;
}

TEST(Switches, Rotation) {
  EXPECT_EQ(Walk({"-RO:-90"}).set.Rotation, 0);
  EXPECT_EQ(Walk({"-RO:100"}).set.Rotation, 90);
  EXPECT_EQ(Walk({"-ro=135"}).set.Rotation, 180);
  EXPECT_TRUE(Walk({"-RO:135"}).set.Has(Rotate));
  EXPECT_EQ(Walk({"-RO:99999999999999999999"}).set.Rotation % 90, 0);
  EXPECT_FALSE(Walk({"-RO90"}).set.Has(Rotate));
}

TEST(Switches, Scale) {
  EXPECT_FLOAT_EQ(Walk({"-S:0"}).set.ScalePercent, 100.0f);
  EXPECT_FLOAT_EQ(Walk({"-S:abc"}).set.ScalePercent, 100.0f);
  EXPECT_FLOAT_EQ(Walk({"-S:0.5"}).set.ScalePercent, 0.5f);
  EXPECT_FLOAT_EQ(Walk({"-S=5D1"}).set.ScalePercent, 50.0f);
}

TEST(Switches, Exports) {
  CliOptions png = Walk({"-WPNG:1024"});
  EXPECT_EQ(png.set.AutoExport, AutoExportPNG);
  EXPECT_EQ(png.set.ExportSize, 1024u);
  CliOptions bmp = Walk({"-WBMP"});
  EXPECT_EQ(bmp.set.AutoExport, AutoExportBMP);
  EXPECT_EQ(bmp.set.ExportSize, 800u);
  EXPECT_EQ(Walk({"-WBMP1024"}).set.ExportSize, 1024u);
  EXPECT_EQ(Walk({"-BMP=640"}).set.ExportSize, 640u);
  EXPECT_EQ(Walk({"-wjpg:123456789"}).set.ExportSize, 12345678u);  // at most 8 digits
  SettingsSet hi = DefaultSettings();
  hi.Set(HighResolution, true);
  CliOptions o;
  o.set = hi;
  WalkItem("-WBMP", o, nullptr);
  EXPECT_FALSE(o.set.Has(HighResolution));
}

TEST(Switches, PurgeOnlyAfterAnExport) {
  EXPECT_FALSE(Walk({"-X"}).set.Has(PurgeEMF));
  EXPECT_TRUE(Walk({"-WPNG", "-X"}).set.Has(PurgeEMF));
}

TEST(Switches, PaperSizes) {
  CliOptions a0 = Walk({"-A0"});
  EXPECT_EQ(a0.set.PageWidth, 840);
  EXPECT_EQ(a0.set.PageHeight, 1188);
  EXPECT_EQ(Walk({"-A4"}).set.PageWidth, 210);
  EXPECT_EQ(Walk({"-ALGR"}).set.PageHeight, 432);
  EXPECT_EQ(Walk({"-ALXX"}).set.PageWidth, 297);  // unknown name: unchanged
}

TEST(Switches, FlagsAndCombinedWords) {
  std::vector<std::string> files;
  CliOptions o = Walk({"-B-Q", "-MXplan.plt", "-E", "-C", "-F", "-T", "-Z", "-IXPC"}, &files);
  EXPECT_TRUE(o.set.Has(Unattended));
  EXPECT_TRUE(o.set.Has(Quiet));
  EXPECT_TRUE(o.set.Has(MirrorX));
  EXPECT_TRUE(o.set.Has(MeasureOnly));
  EXPECT_TRUE(o.set.Has(WriteColorFile));
  EXPECT_TRUE(o.set.Has(ForceDefaults));
  EXPECT_TRUE(o.set.Has(AutoEMZ));
  EXPECT_TRUE(o.set.Has(PurgeLogs));
  EXPECT_TRUE(o.set.Has(IgnorePC));
  EXPECT_EQ(files, std::vector<std::string>{"plan.plt"});
  CliOptions n = Walk({"-NTGL"});
  EXPECT_TRUE(n.set.Has(MirrorX));
  EXPECT_EQ(n.set.Rotation, 90);
}

TEST(Switches, UnknownLettersStartFileNames) {
  std::vector<std::string> files;
  Walk({"-Nowhere.plt", "-Vfile"}, &files);
  EXPECT_EQ(files, (std::vector<std::string>{"Nowhere.plt", "Vfile"}));
}

TEST(Switches, OutputFolderAndFile) {
  CliOptions o = Walk({"-O:/tmp/out/"});
  EXPECT_TRUE(o.useFolder);
  EXPECT_EQ(o.folder, "/tmp/out");
  CliOptions f = Walk({"-OF:/tmp/x.emf", "-O:/elsewhere"});
  EXPECT_TRUE(f.outputFileGiven);
  EXPECT_FALSE(f.useFolder);  // an output file given before wins
  CliOptions off = Walk({"-O:/tmp", "-O"});
  EXPECT_FALSE(off.useFolder);
}

TEST(Switches, KillStopsTheWalk) {
  std::vector<std::string> files;
  CliOptions o = Walk({"a.plt", "-K", "b.plt"}, &files);
  EXPECT_TRUE(o.stop);
  EXPECT_EQ(files, std::vector<std::string>{"a.plt"});
}

}  // namespace
}  // namespace tsl
