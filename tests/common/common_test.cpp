#include <gtest/gtest.h>

#include <string>

#include "common/colors.h"
#include "common/names.h"
#include "common/strings.h"
#include "support/collect_notices.h"

namespace tsl {
namespace {

TEST(Names, OutputNamesBesideThePlotOrInAFolder) {
  test::CollectNotices notices;
  OutputNames n;
  ASSERT_TRUE(MakeNames(notices, "drawing.hpg", nullptr, &n));
  EXPECT_EQ(n.metafile, "drawing.emf");
  EXPECT_EQ(n.log, "drawing.log");
  EXPECT_EQ(n.bitmap, "drawing.bmp");
  ASSERT_TRUE(MakeNames(notices, " \"/plots/v1.2/plan\" ", nullptr, &n));
  EXPECT_EQ(n.plot, "/plots/v1.2/plan");
  EXPECT_EQ(n.metafile, "/plots/v1.2/plan.emf");
  ASSERT_TRUE(MakeNames(notices, "/a/b/c.plt", "/out", &n));
  EXPECT_EQ(n.metafile, "/out/c.emf");
  std::string longName(100, 'x');
  ASSERT_TRUE(MakeNames(notices, "/a/" + longName + ".plt", "/out/", &n));
  EXPECT_EQ(n.metafile, "/out/" + longName + ".emf");  // long names are not cut
  EXPECT_TRUE(notices.notices.empty());
}

TEST(Names, MetafileAndLogExtensionsAreRefused) {
  test::CollectNotices notices;
  OutputNames n;
  EXPECT_FALSE(MakeNames(notices, "x.Emf", nullptr, &n));
  EXPECT_FALSE(MakeNames(notices, "x.LOG", nullptr, &n));
  ASSERT_EQ(notices.texts.size(), 2u);
  EXPECT_EQ(notices.texts[0], "Plot filename extension cannot be .EMF, .EMZ, .BMP or .LOG\n\nx.Emf");
  EXPECT_EQ(notices.notices[1].args, std::vector<std::string>{"x.LOG"});
}

TEST(Names, ShortNames) {
  EXPECT_EQ(ShortName("C:\\plots\\Drawing.EMF"), "Drawing.EMF");
  EXPECT_EQ(ShortName("C:Drawing.EMF"), "Drawing.EMF");
  EXPECT_EQ(ShortName("/plots/"), "");
  EXPECT_EQ(ShortName("plain"), "plain");
}

TEST(Colors, NamesAndHexadecimal) {
  EXPECT_EQ(NameToColor("gray50"), 0x808080u);
  EXPECT_EQ(NameToColor("RED"), 0x0000FFu);
  EXPECT_EQ(NameToColor("no such colour"), 0u);
  EXPECT_EQ(NameToColor("#FF00zz80"), 0xFF0080u);
  EXPECT_STREQ(ColorName(0x800080), "VIOLET");
}

TEST(Strings, TableAndFallback) {
  std::string s;
  ASSERT_TRUE(LoadString(40001, &s));
  EXPECT_EQ(s, "File '%s' was converted into '%s'.");
  ASSERT_TRUE(LoadString(40001, &s, 5));
  EXPECT_EQ(s, "File");
  EXPECT_FALSE(LoadString(12345, &s));
}

}  // namespace
}  // namespace tsl
