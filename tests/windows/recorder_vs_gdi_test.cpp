// Our EMF writer against Windows GDI: the same calls go to EmfRecorder and,
// through HdcDevice, to a real metafile DC with the same reference device;
// the record streams must agree, and GDI must load, read and play ours.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "common/gdi/emf_recorder.h"
#include "common/gdi/emf_types.h"
#include "support/conversion.h"
#include "windows/emf_walk.h"
#include "windows/hdc_device.h"
#include "windows/playback.h"
#include "windows/record_compare.h"

#include "shell/reference.h"

namespace {

using Scene = std::function<void(gdi::Device&)>;
using tsl::test::Hex;

std::vector<uint8_t> RecordWithOurs(const std::string& description, gdi::Objects& objects,
                                    const Scene& scene) {
  auto rec = gdi::EmfRecorder::CreateMemory(objects, description, tsl::shell::ScreenReference());
  if (!rec) return {};
  scene(*rec);
  std::string error;
  if (!rec->Close(&error)) {
    ADD_FAILURE() << "Close: " << error;
    return {};
  }
  return rec->Bytes();
}

// Records the scene both ways and compares every record byte for byte.
void ExpectSameAsGdi(const Scene& scene, gdi::Objects& objects, bool headerBounds = true) {
  const std::string description("Tessella\0compare.plt\0\0", 22);
  std::vector<uint8_t> gdis = tsl::test::RecordWithGdi(description, objects, scene);
  std::vector<uint8_t> ours = RecordWithOurs(description, objects, scene);
  auto a = tsl::test::WalkEmf(ours), b = tsl::test::WalkEmf(gdis);
  uint32_t extraBytes = 0, extraRecords = 0;
  tsl::test::DropBrushOrigins(&a, &extraBytes, &extraRecords);
  ASSERT_GE(a.size(), 2u) << "ours is no sound EMF";
  ASSERT_GE(b.size(), 2u) << "GDI's is no sound EMF";
  EXPECT_EQ(tsl::test::Types(a), tsl::test::Types(b));
  // The widest pen here is 14 logical units: half of it is under 3 pixels.
  tsl::test::ExpectSameHeader(a.front(), b.front(), headerBounds ? 8 : -1, extraBytes, extraRecords);
  for (size_t i = 1; i < a.size() && i < b.size(); ++i) {
    if (a[i].type != b[i].type) break;
    EXPECT_EQ(tsl::test::RecordDifference(a[i], b[i]), "")
        << "record " << i << " (type " << a[i].type << ")\n  ours: " << Hex(a[i]) << "\n  GDI:  " << Hex(b[i]);
  }
  tsl::test::ExpectGdiTakes(ours, description);
}

TEST(RecorderVsGdi, StateObjectsAndLines) {
  gdi::Objects objects;
  gdi::Handle red = objects.CreatePen(gdi::PS_SOLID, 14, gdi::RGB(255, 0, 0));
  gdi::Handle dash = objects.CreatePen(gdi::PS_DASH, 1, gdi::RGB(0, 0, 255));
  ExpectSameAsGdi(
      [&](gdi::Device& d) {
        d.SetMapMode(gdi::MM_LOMETRIC);
        d.SetGraphicsMode(gdi::GM_COMPATIBLE);
        d.SetBkMode(gdi::TRANSPARENT);
        d.SetTextAlign(gdi::TA_BASELINE | gdi::TA_CENTER);
        d.SelectObject(gdi::GetStockObject(gdi::NULL_BRUSH));
        d.SelectObject(red);
        d.MoveToEx(100, -100);
        d.LineTo(2000, -1500);
        gdi::Point small[] = {{10, -20}, {3000, -20}, {3000, -2500}};
        d.PolylineTo(small, 3);
        d.SetPixel(3000, -2500, gdi::RGB(255, 0, 0));
        d.SelectObject(dash);
        gdi::Point large[] = {{40000, -20}, {100, -40000}};
        d.PolylineTo(large, 2);
        d.SelectObject(gdi::GetStockObject(gdi::BLACK_PEN));
        d.DeleteObject(red);
        d.DeleteObject(dash);
      },
      objects);
}

TEST(RecorderVsGdi, ShapesBrushesAndFills) {
  gdi::Objects objects;
  gdi::Handle hatch = objects.CreateHatchBrush(gdi::HS_DIAGCROSS, gdi::RGB(0, 128, 0));
  gdi::Handle solid = objects.CreateSolidBrush(gdi::RGB(255, 255, 0));
  ExpectSameAsGdi(
      [&](gdi::Device& d) {
        d.SetMapMode(gdi::MM_LOMETRIC);
        d.SetPolyFillMode(gdi::WINDING);
        d.SetArcDirection(gdi::AD_CLOCKWISE);
        d.SetBrushOrgEx(3, 4);
        d.SelectObject(hatch);
        d.Rectangle(0, 0, 1000, -800);
        d.Arc(-500, 500, 500, -500, 500, 0, -500, 0);
        d.MoveToEx(0, 0);
        d.ArcTo(-300, 300, 300, -300, 300, 0, 0, 300);
        d.Pie(1000, -1000, 2000, -2000, 2000, -1500, 1000, -1500);
        gdi::Point tri[] = {{0, -1000}, {500, -1800}, {900, -1100}};
        d.Polygon(tri, 3);
        d.Polyline(tri, 3);
        gdi::Point bez[] = {{100, -100}, {200, -400}, {600, -300}};
        d.PolyBezierTo(bez, 3);
        d.FillRect(gdi::Rect{2000, -100, 2600, -700}, solid);
        d.SelectObject(gdi::GetStockObject(gdi::WHITE_BRUSH));
        d.DeleteObject(hatch);
        d.DeleteObject(solid);
      },
      objects);
}

TEST(RecorderVsGdi, PathsAndClipping) {
  gdi::Objects objects;
  gdi::Handle brush = objects.CreateSolidBrush(gdi::RGB(0, 0, 255));
  ExpectSameAsGdi(
      [&](gdi::Device& d) {
        d.SetMapMode(gdi::MM_LOMETRIC);
        d.IntersectClipRect(0, 0, 3000, -2000);
        d.SelectObject(brush);
        d.BeginPath();
        d.MoveToEx(100, -100);
        d.LineTo(1000, -100);
        d.LineTo(1000, -900);
        d.CloseFigure();
        d.EndPath();
        d.FillPath();
        d.BeginPath();
        d.MoveToEx(1500, -100);
        gdi::Point pts[] = {{2500, -100}, {2500, -900}};
        d.PolylineTo(pts, 2);
        d.EndPath();
        d.StrokePath();
        d.SelectClipRgnNone();
        d.SelectObject(gdi::GetStockObject(gdi::WHITE_BRUSH));
        d.DeleteObject(brush);
      },
      // Wine maps the bounds of filled and stroked paths to the device twice
      // (negative y for a drawing below the origin): no yardstick there.
      objects, false);
}

// GDI lays text out with the fonts of the machine, so only the layout-free
// parts are compared here: the records, the font record, the reference
// point, the characters.
TEST(RecorderVsGdi, TextRecords) {
  gdi::Objects objects;
  gdi::LogFont lf;
  lf.lfHeight = -100;
  lf.lfWeight = 400;
  lf.lfEscapement = lf.lfOrientation = 900;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "Courier New");
  gdi::Handle font = objects.CreateFontIndirect(lf);
  Scene scene = [&](gdi::Device& d) {
    d.SetMapMode(gdi::MM_LOMETRIC);
    d.SetTextAlign(gdi::TA_BASELINE | gdi::TA_LEFT);
    d.SetTextColor(gdi::RGB(0, 0, 128));
    d.SelectObject(font);
    d.TextOutA(0, 160, "A\xE9", 2);
    d.SelectObject(gdi::GetStockObject(gdi::SYSTEM_FONT));
    d.DeleteObject(font);
  };
  std::vector<uint8_t> gdis = tsl::test::RecordWithGdi("", objects, scene);
  std::vector<uint8_t> ours = RecordWithOurs("", objects, scene);
  auto a = tsl::test::WalkEmf(ours), b = tsl::test::WalkEmf(gdis);
  ASSERT_EQ(tsl::test::Types(a), tsl::test::Types(b));
  bool sawFont = false;
  for (size_t i = 1; i + 1 < a.size(); ++i) {
    if (a[i].type == gdi::EMR_EXTCREATEFONTINDIRECTW) {
      sawFont = true;
      EXPECT_EQ(a[i].U32(40) & 0xFFFF, uint32_t{'C'}) << "the face name in UTF-16";
    }
    EXPECT_EQ(tsl::test::RecordDifference(a[i], b[i]), "")
        << "record " << i << " (type " << a[i].type << ")\n  ours: " << Hex(a[i]) << "\n  GDI:  " << Hex(b[i]);
  }
  EXPECT_TRUE(sawFont);
}

// Our metafile of a filled red square on GDI's screen: the pixels come out
// where the frame puts them.
TEST(RecorderVsGdi, OurMetafilePlaysIntoADib) {
  gdi::Objects objects;
  gdi::Handle red = objects.CreateSolidBrush(gdi::RGB(255, 0, 0));
  std::vector<uint8_t> ours = RecordWithOurs("", objects, [&](gdi::Device& d) {
    d.SetMapMode(gdi::MM_LOMETRIC);
    d.SelectObject(gdi::GetStockObject(gdi::NULL_BRUSH));
    d.Rectangle(0, 0, 2000, -1000);
    d.SelectObject(gdi::GetStockObject(gdi::NULL_PEN));
    d.SelectObject(red);
    d.Rectangle(1000, 0, 2000, -1000);
    d.SelectObject(gdi::GetStockObject(gdi::WHITE_BRUSH));
  });
  tsl::test::ExpectGdiTakes(ours, "");
  tsl::test::Pixels px;
  ASSERT_TRUE(tsl::test::PlayInto(ours, 200, 100, &px));
  EXPECT_EQ(px.At(150, 50), gdi::RGB(255, 0, 0));
  EXPECT_EQ(px.At(50, 50), gdi::RGB(255, 255, 255));
  EXPECT_GT(px.Count(gdi::RGB(255, 0, 0)), 80 * 80);
}

}  // namespace

namespace {

// A whole conversion, as Tessella.exe runs it, gives a metafile that GDI
// loads, reads and plays: the red square of the plot fills the picture's
// middle, and its inside stays white.
TEST(ConversionOnWindows, APlotConvertsIntoAMetafileGdiPlays) {
  tsl::test::TestConversion c =
      tsl::test::ConvertForTest("IN;SP2;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;SP0;");
  ASSERT_EQ(c.result, 1);
  tsl::test::ExpectGdiTakes(c.emf);
  tsl::test::Pixels px;
  ASSERT_TRUE(tsl::test::PlayInto(c.emf, 300, 300, &px));
  const uint32_t red = gdi::RGB(255, 0, 0);
  EXPECT_GT(px.Count(red), 4 * 200) << "the square's outline";
  EXPECT_LT(px.Count(red), 300 * 300 / 4) << "an outline, not a fill";
  EXPECT_EQ(px.At(150, 150), gdi::RGB(255, 255, 255));
  // Each side of the square crosses the middle row or column in red.
  int left = -1, right = -1, top = -1, bottom = -1;
  for (int i = 0; i < 300; ++i) {
    if (px.At(i, 150) == red) (left < 0 ? left : right) = i;
    if (px.At(150, i) == red) (top < 0 ? top : bottom) = i;
  }
  EXPECT_GE(left, 0);
  EXPECT_GT(right, 200);
  EXPECT_GE(top, 0);
  EXPECT_GT(bottom, 200);
}

}  // namespace
