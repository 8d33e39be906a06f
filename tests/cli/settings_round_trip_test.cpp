// Settings set through the command line travel through a .SET file and
// decide the colours of a real conversion.
#include <gtest/gtest.h>

#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::RunTessella;
using test::TempDir;

std::string Dump(const TempDir& dir, const char* emf) {
  return RunTessella({"--dump", emf}, dir.path()).out;
}

TEST(SettingsRoundTrip, ImportedColoursDrawTheLines) {
  TempDir dir;
  dir.Write("p.plt", "IN;SP3;PD0,0,1000,1000;");
  ASSERT_EQ(RunTessella({"settings", "set", "--set", "A0 plotter", "Pen3", "0,128,255"}, dir.path()).status, 0);
  ASSERT_EQ(RunTessella({"settings", "set", "--set", "A0 plotter", "PageWidth", "1189"}, dir.path()).status, 0);
  ASSERT_EQ(RunTessella({"settings", "use", "A0 plotter"}, dir.path()).status, 0);
  auto shown = RunTessella({"settings", "show"}, dir.path());
  EXPECT_NE(shown.out.find("Pen3 = 16744448"), std::string::npos) << shown.out;
  ASSERT_EQ(RunTessella({"settings", "export", "sets.set"}, dir.path()).status, 0);
  ASSERT_EQ(RunTessella({"settings", "delete", "A0 plotter"}, dir.path()).status, 0);

  // Deleted: the start-up set's name reads as all defaults, pen 3 green.
  ASSERT_EQ(RunTessella({"-B", "p.plt"}, dir.path()).status, 0);
  EXPECT_NE(Dump(dir, "p.emf").find("EMR_CREATEPEN 2 style=0 width=12 color=#00ff00"), std::string::npos);

  ASSERT_EQ(RunTessella({"settings", "import", "sets.set"}, dir.path()).status, 0);
  ASSERT_EQ(RunTessella({"-B", "p.plt"}, dir.path()).status, 0);
  std::string dump = Dump(dir, "p.emf");
  EXPECT_NE(dump.find("color=#ff8000"), std::string::npos) << dump;  // 0x00BBGGRR: R 0, G 128, B 255
  EXPECT_NE(dump.find("width=6"), std::string::npos) << "the large page halves the scale";

  // A named set for one run leaves the start-up set alone.
  ASSERT_EQ(RunTessella({"settings", "set", "--set", "Black only", "Pen3", "BLACK"}, dir.path()).status, 0);
  ASSERT_EQ(RunTessella({"-B", "--set", "Black only", "p.plt"}, dir.path()).status, 0);
  EXPECT_NE(Dump(dir, "p.emf").find("EMR_CREATEPEN 2 style=0 width=12 color=#000000"), std::string::npos);
}

}  // namespace
}  // namespace tsl
