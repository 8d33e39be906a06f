// Where the raster renderer must put the same pixels as GDI: rules found by
// playing our metafiles through GDI under Wine and comparing
// (tests/windows/pixels). Pictures here are 192 x 108 pixels of a frame of
// as many reference pixels, so MM_TEXT units are pixels.
#include <gtest/gtest.h>

#include <vector>

#include "emf_samples.h"
#include "output/raster_export.h"

namespace tsl::test {
namespace {

using namespace gdi;

constexpr int32_t kW = 192, kH = 108;

// Which pixels are black (pen 1 of the default palette).
struct Ink {
  MemoryDib dib;
  bool At(int32_t x, int32_t y) const { return dib.At(x, y) == 1; }
  // Lengths of the runs of ink and gaps along row y, from the first ink.
  std::vector<int> RowRuns(int32_t y) const {
    std::vector<int> runs;
    int32_t x = 0;
    while (x < kW && !At(x, y)) ++x;
    while (x < kW) {
      bool ink = At(x, y);
      int n = 0;
      while (x < kW && At(x, y) == ink) ++x, ++n;
      runs.push_back(n);
    }
    return runs;
  }
  std::vector<int32_t> InkRows(int32_t x) const {
    std::vector<int32_t> rows;
    for (int32_t y = 0; y < kH; ++y)
      if (At(x, y)) rows.push_back(y);
    return rows;
  }
};

Ink Draw(EmfBuilder& b) {
  std::vector<uint8_t> emf = b.Finish();
  ExportRequest req = RequestFor(emf, kW, kH);
  Ink ink;
  std::string error;
  EXPECT_TRUE(EmfToMemoryDIB(req, DefaultSettings(), &ink.dib, &error)) << error;
  return ink;
}

// A picture whose logical units are tenths of a pixel, y growing upwards
// from row 100 when `flip`.
EmfBuilder TenthsOfAPixel(bool flip = false) {
  EmfBuilder b(5080, 2860);
  b.R(EMR_SETMAPMODE, {MM_ANISOTROPIC}).R(EMR_SETWINDOWEXTEX, {10, flip ? -10 : 10});
  b.R(EMR_SETVIEWPORTEXTEX, {1, 1}).R(EMR_SETVIEWPORTORGEX, {0, flip ? 100 : 0});
  return b;
}

TEST(GdiRules, HatchLinesLieInRowThreeAndColumnFourOfTheCell) {
  for (uint32_t hatch : {HS_HORIZONTAL, HS_VERTICAL}) {
    EmfBuilder b(5080, 2860);
    b.R(EMR_SETMAPMODE, {MM_TEXT}).Brush(1, BS_HATCHED, RGB(0, 0, 0), hatch).Select(1);
    b.Select(GetStockObject(NULL_PEN)).R(EMR_RECTANGLE, {0, 0, 64, 64});
    Ink ink = Draw(b);
    for (int32_t i = 0; i < 48; ++i) {
      bool onLine = hatch == HS_HORIZONTAL ? i % 8 == 3 : i % 8 == 4;
      EXPECT_EQ(onLine, hatch == HS_HORIZONTAL ? ink.At(20, i) : ink.At(i, 20)) << "hatch " << hatch << " at " << i;
    }
  }
}

TEST(GdiRules, ADashedPenOfAPixelOrLessIsCosmeticAndAWiderOneSolid) {
  // PS_DASH 10 units wide is one pixel here: GDI's pixel dashes, 18 on and
  // 6 off; 30 units make three pixels, drawn solid.
  EmfBuilder b = TenthsOfAPixel();
  b.Pen(1, PS_DASH, 10, RGB(0, 0, 0)).Select(1).R(EMR_MOVETOEX, {0, 200}).R(EMR_LINETO, {1500, 200});
  b.Pen(2, PS_DASH, 30, RGB(0, 0, 0)).Select(2).R(EMR_MOVETOEX, {0, 600}).R(EMR_LINETO, {1500, 600});
  Ink ink = Draw(b);
  std::vector<int> runs = ink.RowRuns(20);
  ASSERT_GE(runs.size(), 10u);
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(runs[i], i % 2 ? 6 : 18) << "run " << i;
  std::vector<int32_t> rows;
  for (int32_t y = 40; y < kH; ++y)
    if (ink.At(75, y)) rows.push_back(y);
  EXPECT_EQ(rows, (std::vector<int32_t>{59, 60, 61}));
  ASSERT_FALSE(ink.RowRuns(60).empty());
  EXPECT_GE(ink.RowRuns(60)[0], 148) << "solid";
}

TEST(GdiRules, CosmeticDashesAreCountedInStepsAlongTheLongerAxis) {
  // A line three times as long across as down: 18 columns of dash and 6
  // of gap, though the dash is longer than 18 pixels measured along it.
  EmfBuilder b(5080, 2860);
  b.R(EMR_SETMAPMODE, {MM_TEXT}).Pen(1, PS_DASH, 0, RGB(0, 0, 0)).Select(1);
  b.R(EMR_MOVETOEX, {0, 0}).R(EMR_LINETO, {144, 48});
  Ink ink = Draw(b);
  std::vector<int> columns;  // runs of columns with and without ink
  bool last = true;
  for (int32_t x = 0; x < 144; ++x) {
    bool any = false;
    for (int32_t y = 0; y < 50; ++y) any = any || ink.At(x, y);
    if (columns.empty() || any != last) columns.push_back(0);
    ++columns.back();
    last = any;
  }
  EXPECT_EQ(columns, (std::vector<int>{18, 6, 18, 6, 18, 6, 18, 6, 18, 6, 18, 6}));
}

TEST(GdiRules, OnePixelLinesTakeOnePixelPerStepAlongTheLongerAxis) {
  // A slanted line 140 columns across and 50 down: one pixel in each
  // column from the first to the one before the last (a stroke covers two
  // in some columns), and none in the last one, which the line ends at.
  EmfBuilder b(5080, 2860);
  b.R(EMR_SETMAPMODE, {MM_TEXT}).Pen(1, PS_SOLID, 0, RGB(0, 0, 0)).Select(1);
  b.R(EMR_MOVETOEX, {10, 10}).R(EMR_LINETO, {150, 60});
  // A steep one: one pixel per row.
  b.R(EMR_MOVETOEX, {170, 5}).R(EMR_LINETO, {180, 100});
  Ink ink = Draw(b);
  for (int32_t x = 10; x < 150; ++x) {
    int inkInColumn = 0;
    for (int32_t y = 0; y < kH; ++y) inkInColumn += ink.At(x, y);
    EXPECT_EQ(inkInColumn, 1) << "column " << x;
  }
  EXPECT_TRUE(ink.InkRows(150).empty());
  for (int32_t y = 5; y < 100; ++y) {
    int inkInRow = 0;
    for (int32_t x = 160; x < kW; ++x) inkInRow += ink.At(x, y);
    EXPECT_EQ(inkInRow, 1) << "row " << y;
  }
}

TEST(GdiRules, CentredTextStandsOnAWholePixel) {
  // A reference point between pixels is rounded first, and the text
  // centred by half its width in whole pixels: two labels whose reference
  // points round to the same pixel are drawn alike, and one a pixel to the
  // right is the same picture a pixel to the right.
  auto columns = [](int32_t tenths) {
    EmfBuilder b = TenthsOfAPixel();
    b.R(EMR_SETTEXTALIGN, {TA_BASELINE | TA_CENTER}).R(EMR_SETBKMODE, {TRANSPARENT});
    b.Font(1, -300, 0, "Liberation Mono").Select(1);
    b.Text(tenths, 600, "HI", 90);
    Ink ink = Draw(b);
    std::vector<int32_t> cols;
    for (int32_t x = 0; x < kW; ++x)
      if (!ink.InkRows(x).empty()) cols.push_back(x);
    return cols;
  };
  std::vector<int32_t> a = columns(996), b = columns(1004), c = columns(1010);
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, b);
  ASSERT_EQ(a.size(), c.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(c[i], a[i] + 1);
  // Around the point.
  EXPECT_LT(a.front(), 100);
  EXPECT_GT(a.back(), 100);
}

TEST(GdiRules, PensAreWholePixelsWideAndEvenWidthsSitAboveTheLine) {
  // 16 units come to 1.6 pixels: GDI draws 2, in the row of the line and
  // the one above it.
  EmfBuilder b = TenthsOfAPixel();
  b.Pen(1, PS_SOLID, 16, RGB(0, 0, 0)).Select(1).R(EMR_MOVETOEX, {100, 200}).R(EMR_LINETO, {1500, 200});
  Ink ink = Draw(b);
  EXPECT_EQ(ink.InkRows(80), (std::vector<int32_t>{19, 20}));
}

TEST(GdiRules, PatternBlitsCoverRoundedCornersOnePastWhereTheDeviceTurnsThemOver) {
  // 10.4 to 30.4 pixels across: columns 10 to 29. Upwards from row 89.6 to
  // row 69.6: rows 71 to 90, one lower than the plain rounding.
  EmfBuilder b = TenthsOfAPixel(true);
  b.Brush(1, BS_SOLID, RGB(0, 0, 0)).Select(1);
  const int32_t one = 0x3F800000;  // 1.0f
  b.R(EMR_BITBLT, {0, 0, -1, -1, 104, 104, 200, 200, 0x00F00021, 0, 0, one, 0, 0, one, 0, 0, 0, 0, 0, 0, 0, 0});
  Ink ink = Draw(b);
  std::vector<int32_t> columns;
  for (int32_t x = 0; x < kW; ++x)
    if (ink.At(x, 80)) columns.push_back(x);
  ASSERT_FALSE(columns.empty());
  EXPECT_EQ(columns.front(), 10);
  EXPECT_EQ(columns.back(), 29);
  std::vector<int32_t> rows = ink.InkRows(20);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front(), 71);
  EXPECT_EQ(rows.back(), 90);
}

TEST(GdiRules, ClipRectanglesAreWholePixels) {
  // A clip from 20.4 to 40.4 pixels keeps columns 20 to 39 of a wide bar.
  EmfBuilder b = TenthsOfAPixel();
  b.R(EMR_INTERSECTCLIPRECT, {204, 0, 404, 1000});
  b.Brush(1, BS_SOLID, RGB(0, 0, 0)).Select(1).Select(GetStockObject(NULL_PEN));
  b.R(EMR_RECTANGLE, {0, 100, 1800, 600});
  Ink ink = Draw(b);
  std::vector<int32_t> columns;
  for (int32_t x = 0; x < kW; ++x)
    if (ink.At(x, 30)) columns.push_back(x);
  ASSERT_FALSE(columns.empty());
  EXPECT_EQ(columns.front(), 20);
  EXPECT_EQ(columns.back(), 39);
  EXPECT_EQ(columns.size(), 20u);
}

}  // namespace
}  // namespace tsl::test
