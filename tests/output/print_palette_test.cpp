// The palettes for metafiles with OpenGL records, and the Page Setup
// dialog's logic.
#include <gtest/gtest.h>

#include <set>

#include "output/page_setup_form.h"
#include "output/print_palette.h"

namespace tsl {
namespace {

TEST(PrintPalette, RgbFormatComponentsRoundToFullRange) {
  PixelLayout l332{8, 3, 0, 3, 3, 2, 6};
  std::vector<PalEntry> p = RgbFormatPalette(l332);
  ASSERT_EQ(p.size(), 256u);
  EXPECT_EQ(p[0], (PalEntry{0, 0, 0, kPcNoCollapse}));
  EXPECT_EQ(p[255], (PalEntry{255, 255, 255, kPcNoCollapse}));
  // j = 0b10'011'101: red 5 of 7 -> 182, green 3 of 7 -> 109, blue 2 of 3 -> 170.
  EXPECT_EQ(p[0x9D], (PalEntry{182, 109, 170, kPcNoCollapse}));
  // 4 bits 1-2-1: red 1 bit at 0, green 2 at 1, blue 1 at 3.
  std::vector<PalEntry> p4 = RgbFormatPalette({4, 1, 0, 2, 1, 1, 3});
  ASSERT_EQ(p4.size(), 16u);
  EXPECT_EQ(p4[0b1011], (PalEntry{255, 85, 255, kPcNoCollapse}));
  EXPECT_TRUE(RgbFormatPalette({24, 8, 16, 8, 8, 8, 0}).empty());  // no palette for true colour
  EXPECT_TRUE(RgbFormatPalette({8, 0, 0, 3, 3, 2, 6}).empty());
}

TEST(PrintPalette, DefaultColoursTakeDistinctEntries) {
  PixelLayout l332{8, 3, 0, 3, 3, 2, 6};
  std::vector<PalEntry> p = RgbFormatPalette(l332);
  std::vector<int> chosen = PlaceDefaultColours(l332, &p);
  ASSERT_EQ(chosen.size(), 20u);
  EXPECT_EQ(chosen[0], 0);     // black is there already
  EXPECT_EQ(chosen[19], 255);  // and white
  EXPECT_EQ(chosen[13], 0x07);  // pure red: red 7, green 0, blue 0
  std::set<int> distinct(chosen.begin(), chosen.end());
  EXPECT_EQ(distinct.size(), 20u);  // no two colours on one entry (cream and white both kept)
  for (size_t k = 0; k < 20; ++k) {
    PalEntry want = kDefaultPalEntries[k];
    want.flags = kPcNoCollapse;
    EXPECT_EQ(p[chosen[k]], want) << k;
  }
  // The grey of the default palette (160,160,164) is no 3-3-2 colour: it
  // goes to the nearest unclaimed entry and changes that entry.
  EXPECT_NE(RgbFormatPalette(l332)[chosen[11]], p[chosen[11]]);
  std::vector<PalEntry> other = RgbFormatPalette({8, 2, 0, 3, 2, 3, 5});
  std::vector<PalEntry> copy = other;
  EXPECT_TRUE(PlaceDefaultColours({8, 2, 0, 3, 2, 3, 5}, &other).empty());
  EXPECT_EQ(other, copy);
}

TEST(PrintPalette, ColourIndexPalettes) {
  std::vector<PalEntry> p4 = ColorIndexPalette(4);
  ASSERT_EQ(p4.size(), 16u);
  EXPECT_EQ(p4[7], kDefaultPalEntries[7]);
  EXPECT_EQ(p4[8], kDefaultPalEntries[12]);
  EXPECT_EQ(p4[15], kDefaultPalEntries[19]);
  std::vector<PalEntry> p8 = ColorIndexPalette(8);
  ASSERT_EQ(p8.size(), 256u);
  EXPECT_EQ(p8[19], kDefaultPalEntries[19]);
  EXPECT_EQ(p8[20], (PalEntry{19, 18, 17, 0}));
  EXPECT_EQ(p8[255], (PalEntry{254, 253, 252, 0}));
  std::vector<PalEntry> cube = ColorIndexPalette(12);
  ASSERT_EQ(cube.size(), 4096u);
  EXPECT_EQ(cube[0xF80], (PalEntry{255, 136, 0, 0}));
}

TEST(PageSetupFormTest, ShownAndTaken) {
  PageSetup s;
  PageSetupForm f = FormFromSetup(s);
  EXPECT_EQ(f.left, "10");
  EXPECT_EQ(f.heading, "&n");  // an empty template offers the picture name
  EXPECT_EQ(f.footer, "&a");
  EXPECT_TRUE(f.maintainAspectRatio && f.centerOnPage && !f.fitToPage);

  f.left = "25";
  f.top = " 0 ";
  f.right = "abc";     // not a number: keeps 10
  f.bottom = "99999";  // past any paper: keeps 10
  f.heading = std::string(120, 'h');
  f.fitToPage = true;
  std::string bad;
  PageSetup back = SetupFromForm(f, s, &bad);
  EXPECT_EQ(back.leftMargin, 25);
  EXPECT_EQ(back.topMargin, 0);
  EXPECT_EQ(back.rightMargin, 10);
  EXPECT_EQ(back.bottomMargin, 10);
  EXPECT_EQ(bad, "Right, Bottom");
  EXPECT_EQ(back.heading.size(), kMaxPageTemplate);
  EXPECT_EQ(back.footer, "&a");
  EXPECT_TRUE(back.fitToPage);
}

}  // namespace
}  // namespace tsl
