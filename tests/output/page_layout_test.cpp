// The printed page's layout and its heading and footer templates.
#include "output/page_layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "settings/settings_registry.h"
#include "settings/settings_test_support.h"

namespace tsl {
namespace {

// A4 at 600 dpi: 4960 x 7016 pixels.
LayoutInput A4At600(int32_t frameW, int32_t frameH) {
  LayoutInput in;
  in.printer = {600, 600, 4960, 7016};
  in.frame = {0, 0, frameW, frameH};
  return in;
}

int32_t Width(const PageRect& r) { return r.right - r.left; }
int32_t Height(const PageRect& r) { return r.bottom - r.top; }

TEST(PageLayout, MarginsInWholePixelsPerMillimetre) {
  LayoutInput in = A4At600(10000, 10000);
  in.setup.fitToPage = true;
  PageLayout l = LayOutPage(in);
  ASSERT_TRUE(l.ok);
  // 600 / 25.4 = 23.6 pixels per millimetre, truncated to 23.
  EXPECT_EQ(l.area.left, 230);
  EXPECT_EQ(l.area.top, 230);
  EXPECT_EQ(l.area.right, 4960 - 230);
  EXPECT_EQ(l.area.bottom, 7016 - 230);
  in.printer = {300, 300, 2480, 3508};
  in.setup.leftMargin = 25;
  l = LayOutPage(in);
  EXPECT_EQ(l.area.left, 25 * 11);
  EXPECT_EQ(l.area.top, 110);
}

TEST(PageLayout, FitWithAspectKeepsTheProportions) {
  // A drawing twice as wide as high on a square area: full width, half the
  // height, centred vertically.
  LayoutInput in;
  in.printer = {254, 254, 2000, 2000};  // 10 pixels per millimetre
  in.setup.leftMargin = in.setup.rightMargin = in.setup.topMargin = in.setup.bottomMargin = 0;
  in.setup.fitToPage = true;
  in.frame = {0, 0, 20000, 10000};
  PageLayout l = LayOutPage(in);
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(Width(l.picture), 2000);
  EXPECT_EQ(Height(l.picture), 1000);
  EXPECT_EQ(l.picture.top, 500);

  in.setup.centerOnPage = false;
  l = LayOutPage(in);
  EXPECT_EQ(l.picture.top, 0);
  EXPECT_EQ(Height(l.picture), 1000);

  // On a portrait area the height follows from the width, not from the
  // area's height: a 2:1 drawing stays 2:1.
  in.printer = {254, 254, 2000, 3000};
  in.setup.centerOnPage = true;
  l = LayOutPage(in);
  EXPECT_EQ(Width(l.picture), 2000);
  EXPECT_EQ(Height(l.picture), 1000);
  EXPECT_EQ(l.picture.top, 1000);

  // A tall drawing on a landscape area: full height, centred across.
  in.printer = {254, 254, 3000, 2000};
  in.frame = {0, 0, 10000, 40000};
  l = LayOutPage(in);
  EXPECT_EQ(Height(l.picture), 2000);
  EXPECT_EQ(Width(l.picture), 500);
  EXPECT_EQ(l.picture.left, 1250);

  // Without MaintainAspectRatio the whole area is used.
  in.setup.maintainAspectRatio = false;
  l = LayOutPage(in);
  EXPECT_EQ(Width(l.picture), 3000);
  EXPECT_EQ(Height(l.picture), 2000);
}

TEST(PageLayout, UnfittedDrawingKeepsItsRecordedSize) {
  // 50 x 25 mm at 600 dpi is 1181 x 590 pixels whatever the printer.
  LayoutInput in = A4At600(5000, 2500);
  in.bounds = {0, 0, 189, 94};  // its pixels on a 96 dpi screen: not the printed size
  PageLayout l = LayOutPage(in);
  ASSERT_TRUE(l.ok);
  EXPECT_NEAR(Width(l.picture), 1181, 1);
  EXPECT_NEAR(Height(l.picture), 590, 1);
  EXPECT_NEAR(l.picture.left + l.picture.right, 4960, 1);  // centred
  EXPECT_NEAR(l.picture.top + l.picture.bottom, 7016, 1);

  in.setup.centerOnPage = false;
  l = LayOutPage(in);
  EXPECT_EQ(l.picture.left, 230);
  EXPECT_EQ(l.picture.top, 230);
  EXPECT_NEAR(Width(l.picture), 1181, 1);
  EXPECT_NEAR(Height(l.picture), 590, 1);
}

TEST(PageLayout, OversizeDrawingShrinksWithItsProportions) {
  // An A0 drawing (1189 x 841 mm) on A4 with FitToPage off.
  LayoutInput in = A4At600(118900, 84100);
  PageLayout l = LayOutPage(in);
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(Width(l.picture), Width(l.area));
  EXPECT_NEAR(static_cast<double>(Width(l.picture)) / Height(l.picture), 1189.0 / 841, 0.002);
  EXPECT_LE(Height(l.picture), Height(l.area));
  EXPECT_NEAR(l.picture.top - l.area.top, l.area.bottom - l.picture.bottom, 1);
}

TEST(PageLayout, HeadingAndFooterTakeTheirLines) {
  LayoutInput in = A4At600(10000, 10000);
  in.setup.leftMargin = 30;  // unequal margins: the texts centre on the area
  in.heading = "plan.plt - 01. Jan 2024";
  in.headingSize = {900, 120};
  in.footer = "Tessella";
  in.footerSize = {400, 100};
  PageLayout l = LayOutPage(in);
  ASSERT_TRUE(l.hasHeading && l.hasFooter);
  EXPECT_EQ(l.headingY, 230);
  EXPECT_EQ(l.area.top, 230 + 120);
  EXPECT_EQ(l.footerY, 7016 - 230 - 100);
  EXPECT_EQ(l.area.bottom, 7016 - 230 - 100);
  int32_t areaCentre = (690 + 4960 - 230) / 2;
  EXPECT_NEAR(l.headingX + 900 / 2, areaCentre, 1);
  EXPECT_NEAR(l.footerX + 400 / 2, areaCentre, 1);

  // An empty heading leaves the top edge alone.
  in.heading.clear();
  l = LayOutPage(in);
  EXPECT_FALSE(l.hasHeading);
  EXPECT_EQ(l.area.top, 230);
}

TEST(PageLayout, NoRoomAndNoSize) {
  LayoutInput in = A4At600(10000, 10000);
  in.setup.leftMargin = 150;
  in.setup.rightMargin = 150;  // 300 mm of margins on a 210 mm page
  EXPECT_FALSE(LayOutPage(in).ok);
  in.setup.leftMargin = in.setup.rightMargin = in.setup.topMargin = in.setup.bottomMargin = 100000;
  EXPECT_FALSE(LayOutPage(in).ok);
  in.printer = {};  // a printer that tells nothing
  EXPECT_FALSE(LayOutPage(in).ok);

  // A metafile without a frame or bounds is stretched over the area.
  in = A4At600(0, 0);
  PageLayout l = LayOutPage(in);
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(Width(l.picture), Width(l.area));
  EXPECT_EQ(Height(l.picture), Height(l.area));
  // Without a frame the bounds give the proportions.
  in.bounds = {0, 0, 400, 100};
  in.setup.fitToPage = true;
  l = LayOutPage(in);
  EXPECT_EQ(Width(l.picture), Width(l.area));
  EXPECT_NEAR(Height(l.picture), Width(l.area) / 4, 1);  // the spare space halved in whole pixels
}

class VarSubstTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    savedTz_ = tz ? tz : "";
    hadTz_ = tz != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) setenv("TZ", savedTz_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  const int64_t kNoon = 1704110400;  // 1 January 2024, 12:00 UTC
  PictureNames names{"Tessella 5.4", "plan.plt"};

 private:
  std::string savedTz_;
  bool hadTz_ = false;
};

TEST_F(VarSubstTest, EveryForm) {
  EXPECT_EQ(VarSubst("&n - &d", names, kNoon), "plan.plt - 01. Jan 2024");
  EXPECT_EQ(VarSubst("&N at &t by &a", names, kNoon), "PLAN.PLT at 12:00:00 by Tessella 5.4");
  EXPECT_EQ(VarSubst("&A&D&T", names, kNoon), "Tessella 5.401. Jan 202412:00:00");
  EXPECT_EQ(VarSubst("&V", names, kNoon), "Tessella");
  EXPECT_EQ(VarSubst("&v", names, kNoon), "Tessella 5.4.1110 - HP-GL Plot file conversion utility");
  EXPECT_EQ(VarSubst("R&&D", names, kNoon), "R&D");
  EXPECT_EQ(VarSubst("&x&1&", names, kNoon), "x1");
  EXPECT_EQ(VarSubst("page &", names, kNoon), "page ");
  EXPECT_EQ(VarSubst("", names, kNoon), "");
}

TEST_F(VarSubstTest, CutToTheBuffer) {
  PictureNames longName{"a", std::string(300, 'p')};
  std::string out = VarSubst("&n&n&n", longName, kNoon);
  EXPECT_EQ(out.size(), 511u);
  EXPECT_EQ(out, std::string(511, 'p'));
}

TEST(PictureNamesTest, FromTheDescription) {
  using namespace std::string_literals;
  PictureNames n = DescriptionNames("Tessella 5.4.1110\0plan.plt\0\0"s);
  EXPECT_EQ(n.application, "Tessella 5.4.1110");
  EXPECT_EQ(n.picture, "plan.plt");
  n = DescriptionNames("");
  EXPECT_EQ(n.application, "(untitled)");
  EXPECT_EQ(n.picture, "(untitled)");
  n = DescriptionNames("only\0"s);
  EXPECT_EQ(n.application, "only");
  EXPECT_EQ(n.picture, "");
  EXPECT_EQ(DocumentName(""), "No Title");
  EXPECT_EQ(DocumentName("app\0\0"s), "No Title");
  EXPECT_EQ(DocumentName("app\0drawing\0\0"s), "drawing");
}

class PageSetupStore : public test::StoreTest {};

TEST_F(PageSetupStore, DefaultsThenTheNineValues) {
  PageSetup s;
  s.heading = "stale";
  ReadDefaultPageSetup(&s);
  EXPECT_FALSE(s.fitToPage);
  EXPECT_TRUE(s.maintainAspectRatio);
  EXPECT_TRUE(s.centerOnPage);
  EXPECT_EQ(s.leftMargin, 10);
  EXPECT_EQ(s.bottomMargin, 10);
  EXPECT_EQ(s.heading, "");

  s.fitToPage = true;
  s.maintainAspectRatio = false;
  s.centerOnPage = false;
  s.leftMargin = 5, s.topMargin = 6, s.rightMargin = 7, s.bottomMargin = 8;
  s.heading = "&n - &d";
  s.footer = std::string(100, 'f');
  ASSERT_TRUE(WritePageSetup(notices, s));
  std::vector<std::string> values;
  CurrentSettingsStore().ListValues("", &values);
  EXPECT_EQ(values.size(), 9u);
  EXPECT_EQ(GetSettingsInt(nullptr, "TopMargin", 0), 6u);

  PageSetup back;
  ReadDefaultPageSetup(&back);
  EXPECT_TRUE(back.fitToPage);
  EXPECT_FALSE(back.maintainAspectRatio);
  EXPECT_FALSE(back.centerOnPage);
  EXPECT_EQ(back.leftMargin, 5);
  EXPECT_EQ(back.topMargin, 6);
  EXPECT_EQ(back.rightMargin, 7);
  EXPECT_EQ(back.bottomMargin, 8);
  EXPECT_EQ(back.heading, "&n - &d");
  EXPECT_EQ(back.footer, std::string(79, 'f'));
}

}  // namespace
}  // namespace tsl
