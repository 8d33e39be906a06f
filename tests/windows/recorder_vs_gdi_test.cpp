// Our EMF writer against Windows GDI: the same calls go to EmfRecorder and,
// through HdcDevice, to a real metafile DC with the same reference device;
// the record streams must agree, and GDI must load, read and play ours.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>

#include "common/gdi/emf_recorder.h"
#include "common/gdi/emf_types.h"
#include "support/conversion.h"
#include "windows/emf_walk.h"
#include "windows/hdc_device.h"
#include "windows/playback.h"

#include "shell/reference.h"

namespace {

using Scene = std::function<void(gdi::Device&)>;

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

std::string Hex(const tsl::test::RawRecord& r) {
  std::ostringstream out;
  for (size_t i = 0; i < r.bytes.size(); i += 4) out << std::hex << r.U32(i) << ' ';
  return out.str();
}

// Header fields that do not depend on how the bytes were produced. The
// bounds and frame (only when `bounds`) are compared loosely: we widen them
// by half the pen width, as Windows does, where Wine 8 does not.
void ExpectSameHeader(const tsl::test::RawRecord& ours, const tsl::test::RawRecord& gdis, bool bounds,
                      uint32_t ourExtraBytes, uint32_t ourExtraRecords) {
  const struct {
    size_t off;
    const char* name;
    int32_t slack;
  } fields[] = {{8, "rclBounds.left", 8},    {12, "rclBounds.top", 8},     {16, "rclBounds.right", 8},
                {20, "rclBounds.bottom", 8}, {24, "rclFrame.left", 220},  {28, "rclFrame.top", 220},
                {32, "rclFrame.right", 220}, {36, "rclFrame.bottom", 220}, {40, "dSignature", 0},
                {44, "nVersion", 0},         {48, "nBytes", 0},           {52, "nRecords", 0},
                {56, "nHandles", 0},         {60, "nDescription", 0},     {68, "nPalEntries", 0},
                {72, "szlDevice.cx", 0},     {76, "szlDevice.cy", 0},     {80, "szlMillimeters.cx", 0},
                {84, "szlMillimeters.cy", 0}};
  for (const auto& f : fields) {
    if (!bounds && f.off < 40) continue;
    uint32_t a = ours.U32(f.off), b = gdis.U32(f.off);
    if (f.off == 56) a &= 0xFFFF, b &= 0xFFFF;
    if (f.off == 48) a -= ourExtraBytes;
    if (f.off == 52) a -= ourExtraRecords;
    EXPECT_NEAR(static_cast<int32_t>(a), static_cast<int32_t>(b), f.slack) << "header " << f.name;
  }
}

// Records that start with the bounds of what they draw. Wine 8 writes these
// bounds in logical units where the published format (and our writer) use
// device units, so they are left out of the byte comparison.
bool HasDrawingBounds(uint32_t type) {
  switch (type) {
    case gdi::EMR_POLYLINE16: case gdi::EMR_POLYLINETO16: case gdi::EMR_POLYBEZIERTO16:
    case gdi::EMR_POLYGON16: case gdi::EMR_POLYLINE: case gdi::EMR_POLYLINETO:
    case gdi::EMR_POLYBEZIERTO: case gdi::EMR_POLYGON: case gdi::EMR_FILLPATH:
    case gdi::EMR_STROKEPATH:
      return true;
    default:
      return false;
  }
}

std::vector<uint8_t> WithoutBounds(const tsl::test::RawRecord& r) {
  std::vector<uint8_t> b = r.bytes;
  if (HasDrawingBounds(r.type) && b.size() >= 24) std::fill(b.begin() + 8, b.begin() + 24, 0);
  return b;
}

// Records the scene both ways and compares every record byte for byte.
void ExpectSameAsGdi(const Scene& scene, gdi::Objects& objects, bool headerBounds = true) {
  const std::string description("Tessella\0compare.plt\0\0", 22);
  std::vector<uint8_t> gdis = tsl::test::RecordWithGdi(description, objects, scene);
  std::vector<uint8_t> ours = RecordWithOurs(description, objects, scene);
  auto a = tsl::test::WalkEmf(ours), b = tsl::test::WalkEmf(gdis);
  // SetBrushOrgEx writes EMR_SETBRUSHORGEX on Windows; Wine 8 records nothing.
  uint32_t extraBytes = 0, extraRecords = 0;
  for (auto it = a.begin(); it != a.end();) {
    if (it->type != gdi::EMR_SETBRUSHORGEX) {
      ++it;
      continue;
    }
    extraBytes += static_cast<uint32_t>(it->bytes.size());
    ++extraRecords;
    it = a.erase(it);
  }
  ASSERT_GE(a.size(), 2u) << "ours is no sound EMF";
  ASSERT_GE(b.size(), 2u) << "GDI's is no sound EMF";
  EXPECT_EQ(tsl::test::Types(a), tsl::test::Types(b));
  ExpectSameHeader(a.front(), b.front(), headerBounds, extraBytes, extraRecords);
  for (size_t i = 1; i < a.size() && i < b.size(); ++i) {
    if (a[i].type != b[i].type) break;
    EXPECT_TRUE(WithoutBounds(a[i]) == WithoutBounds(b[i])) << "record " << i << " (type " << a[i].type << ")\n  ours: "
                                          << Hex(a[i]) << "\n  GDI:  " << Hex(b[i]);
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
  for (size_t i = 1; i + 1 < a.size(); ++i) {
    if (a[i].type == gdi::EMR_EXTCREATEFONTINDIRECTW) {
      // Type, size, slot, the LOGFONTW's fields and its face name up to
      // the NUL; Wine leaves what follows uninitialised.
      EXPECT_EQ(a[i].bytes.size(), b[i].bytes.size());
      for (size_t off = 0; off < 40; off += 4)
        EXPECT_EQ(a[i].U32(off), b[i].U32(off)) << "font record field at " << off;
      auto face = [](const tsl::test::RawRecord& r) {
        std::u16string name;
        for (size_t off = 40; off + 2 <= r.bytes.size() && off < 104; off += 2) {
          char16_t c = static_cast<char16_t>(r.bytes[off] | r.bytes[off + 1] << 8);
          if (!c) break;
          name += c;
        }
        return name;
      };
      EXPECT_TRUE(face(a[i]) == face(b[i])) << "font face";
      EXPECT_EQ(face(a[i]).size(), 11u);
    } else if (a[i].type == gdi::EMR_EXTTEXTOUTW) {
      EXPECT_EQ(a[i].bytes.size(), b[i].bytes.size());
      for (size_t off : {24, 28, 32, 36, 40, 44, 48, 52, 56, 60, 64, 68, 72})
        EXPECT_EQ(a[i].U32(off), b[i].U32(off)) << "EMR_EXTTEXTOUTW field at " << off;
      EXPECT_EQ(a[i].U32(76), b[i].U32(76)) << "the characters in UTF-16";
    } else {
      EXPECT_TRUE(WithoutBounds(a[i]) == WithoutBounds(b[i])) << "record " << i << " (type " << a[i].type << ")\n  ours: "
                                            << Hex(a[i]) << "\n  GDI:  " << Hex(b[i]);
    }
  }
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
