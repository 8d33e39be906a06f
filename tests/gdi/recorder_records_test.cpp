// The records the recorder writes for each call, byte by byte.
#include <gtest/gtest.h>

#include <cstring>

#include "common/gdi/emf_bytes.h"
#include "recording.h"

namespace tsl::test {
namespace {

using namespace gdi;

float F32(const EmfRecord& r, size_t off) {
  float v = 0;
  EXPECT_TRUE(r.F32(off, &v));
  return v;
}
uint16_t U16(const EmfRecord& r, size_t off) {
  int16_t v = 0;
  EXPECT_TRUE(r.I16(off, &v));
  return static_cast<uint16_t>(v);
}

TEST(RecorderShapes, BoxesAreNormalisedAndInclusive) {
  Recording rec([](EmfRecorder& dc, Objects&) {
    dc.Rectangle(0, 0, 100, 100);
    dc.Rectangle(100, 100, 0, 0);
    dc.Arc(-100, 100, 100, -100, 100, 0, 0, 100);
    dc.ArcTo(-100, 100, 100, -100, 100, 0, 0, 100);
    dc.Pie(-100, 100, 100, -100, 100, 0, 0, 100);
  });
  auto rects = rec.OfType(EMR_RECTANGLE);
  ASSERT_EQ(rects.size(), 2u);
  for (const auto& r : rects) {
    EXPECT_EQ(r.size, 24u);
    EXPECT_EQ(RectAt(r, 8), (Rect{0, 0, 99, 99}));
  }
  for (uint32_t type : {EMR_ARC, EMR_ARCTO, EMR_PIE}) {
    auto arcs = rec.OfType(type);
    ASSERT_EQ(arcs.size(), 1u) << type;
    EXPECT_EQ(arcs[0].size, 40u);
    EXPECT_EQ(RectAt(arcs[0], 8), (Rect{-100, -100, 99, 99}));
    EXPECT_EQ(I32(arcs[0], 24), 100);  // start and end as given
    EXPECT_EQ(I32(arcs[0], 28), 0);
    EXPECT_EQ(I32(arcs[0], 32), 0);
    EXPECT_EQ(I32(arcs[0], 36), 100);
  }
}

TEST(RecorderShapes, FillRectIsAPatCopyBlitBetweenBrushSelections) {
  Handle brush = 0;
  Recording rec([&](EmfRecorder& dc, Objects& objects) {
    dc.SelectObject(GetStockObject(NULL_BRUSH));
    brush = objects.CreateSolidBrush(RGB(255, 0, 0));
    dc.FillRect(Rect{0, 0, 100, 100}, brush);
    EXPECT_TRUE(dc.DeleteObject(brush));  // FillRect left it deselected
  });
  EXPECT_EQ(rec.DrawnTypes(),
            (std::vector<uint32_t>{EMR_SELECTOBJECT, EMR_CREATEBRUSHINDIRECT, EMR_SELECTOBJECT,
                                   EMR_BITBLT, EMR_SELECTOBJECT, EMR_DELETEOBJECT}));
  const auto selects = rec.OfType(EMR_SELECTOBJECT);
  EXPECT_EQ(U32(selects[1], 8), 1u);
  EXPECT_EQ(U32(selects[2], 8), 0x80000005u);

  const EmfRecord blt = rec.OfType(EMR_BITBLT)[0];
  ASSERT_EQ(blt.size, 100u);
  EXPECT_EQ(RectAt(blt, 8), (Rect{0, 0, 99, 99}));
  EXPECT_EQ(RectAt(blt, 24), (Rect{0, 0, 100, 100}));  // dest 0,0 size 100x100
  EXPECT_EQ(U32(blt, 40), 0x00F00021u);
  const float identity[6] = {1, 0, 0, 1, 0, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(F32(blt, 52 + 4 * i), identity[i]);
  for (size_t off = 84; off < 100; off += 4) EXPECT_EQ(U32(blt, off), 0u) << off;

  const EmfRecord brushRecord = rec.OfType(EMR_CREATEBRUSHINDIRECT)[0];
  EXPECT_EQ(brushRecord.size, 24u);
  EXPECT_EQ(U32(brushRecord, 12), BS_SOLID);
  EXPECT_EQ(U32(brushRecord, 16), RGB(255, 0, 0));
}

TEST(RecorderShapes, FillRectWithSomethingThatIsNoBrushDrawsNothing) {
  Recording rec([](EmfRecorder& dc, Objects& objects) {
    dc.FillRect(Rect{0, 0, 10, 10}, objects.CreatePen(PS_SOLID, 1, 0));
    dc.FillRect(Rect{0, 0, 10, 10}, 12345);
  });
  EXPECT_TRUE(rec.DrawnTypes().empty());
}

LogFont Courier(int32_t height, int32_t width) {
  LogFont f;
  f.lfHeight = height;
  f.lfWidth = width;
  f.lfWeight = 700;
  f.lfItalic = 0xFF;
  f.lfPitchAndFamily = 0x31;
  std::strcpy(f.lfFaceName, "Courier New");
  return f;
}

TEST(RecorderText, OneCharacterGivesAnEightyFourByteRecord) {
  Recording rec([](EmfRecorder& dc, Objects& objects) {
    dc.SelectObject(objects.CreateFontIndirect(Courier(-40, 24)));
    dc.SetTextAlign(TA_BASELINE | TA_CENTER);
    dc.TextOutA(0, 160, "A", 1);
  });
  const EmfRecord font = rec.OfType(EMR_EXTCREATEFONTINDIRECTW)[0];
  ASSERT_EQ(font.size, 332u);
  EXPECT_EQ(U32(font, 8), 1u);
  EXPECT_EQ(I32(font, 12), -40);
  EXPECT_EQ(I32(font, 16), 24);
  EXPECT_EQ(I32(font, 28), 700);
  EXPECT_EQ(U32(font, 32) & 0xFF, 0xFFu);   // italic
  EXPECT_EQ(U32(font, 36) >> 24, 0x31u);    // pitch and family
  const char* face = "Courier New";
  for (size_t i = 0; i <= std::strlen(face); ++i) EXPECT_EQ(U16(font, 40 + 2 * i), face[i] & 0xFF);
  for (size_t off = 104; off < 332; off += 4) ASSERT_EQ(U32(font, off), 0u) << off;

  const EmfRecord text = rec.OfType(EMR_EXTTEXTOUTW)[0];
  ASSERT_EQ(text.size, 84u);
  EXPECT_EQ(U32(text, 24), 1u);  // GM_COMPATIBLE
  EXPECT_EQ(F32(text, 28), 10.0f);
  EXPECT_EQ(F32(text, 32), -10.0f);
  EXPECT_EQ(I32(text, 36), 0);
  EXPECT_EQ(I32(text, 40), 160);
  EXPECT_EQ(U32(text, 44), 1u);
  EXPECT_EQ(U32(text, 48), 76u);
  EXPECT_EQ(U32(text, 52), 0u);
  EXPECT_EQ(RectAt(text, 56), (Rect{0, 0, -1, -1}));
  EXPECT_EQ(U32(text, 72), 80u);
  EXPECT_EQ(U16(text, 76), u'A');
  EXPECT_EQ(I32(text, 80), 24);  // the font's character width

  // Centred on the reference point (device (0, -60)), baseline through it.
  const Rect b = RectAt(text, 8);
  EXPECT_LT(b.left, 0);
  EXPECT_GT(b.right, 0);
  EXPECT_EQ(b.left, -b.right);
  EXPECT_LT(b.top, -60);
  EXPECT_GT(b.bottom, -60);
  EXPECT_EQ(rec.reader.Header().rclBounds, b);
}

TEST(RecorderText, HighBytesGoThroughCodePage1252) {
  Recording rec(
      [](EmfRecorder& dc, Objects& objects) {
        dc.SelectObject(objects.CreateFontIndirect(Courier(-40, 0)));
        dc.TextOutA(10, 20, "\x80\xE9z", 3);
      },
      MM_HIMETRIC);
  const EmfRecord text = rec.OfType(EMR_EXTTEXTOUTW)[0];
  ASSERT_EQ(text.size, 76u + 8 + 12);
  EXPECT_EQ(F32(text, 28), 1.0f);
  EXPECT_EQ(F32(text, 32), -1.0f);
  EXPECT_EQ(U32(text, 72), 84u);
  EXPECT_EQ(U16(text, 76), 0x20ACu);
  EXPECT_EQ(U16(text, 78), 0xE9u);
  EXPECT_EQ(U16(text, 80), u'z');
  EXPECT_EQ(U16(text, 82), 0u);
  // Without a width the advance follows from the height, the same for all.
  const int32_t dx = I32(text, 84);
  EXPECT_GT(dx, 15);
  EXPECT_LT(dx, 40);
  EXPECT_EQ(I32(text, 88), dx);
  EXPECT_EQ(I32(text, 92), dx);
}

TEST(RecorderText, EmptyTextAndLongFaceNames) {
  Recording rec([](EmfRecorder& dc, Objects& objects) {
    LogFont f = Courier(-10, 0);
    std::memset(f.lfFaceName, 'x', sizeof f.lfFaceName);  // no NUL at all
    dc.SelectObject(objects.CreateFontIndirect(f));
    dc.TextOutA(0, 0, "", 0);
  });
  EXPECT_TRUE(rec.OfType(EMR_EXTTEXTOUTW).empty());
  const EmfRecord font = rec.OfType(EMR_EXTCREATEFONTINDIRECTW)[0];
  EXPECT_EQ(U16(font, 40 + 2 * 30), u'x');
  EXPECT_EQ(U16(font, 40 + 2 * 31), 0u);
}

struct PolyCase {
  uint32_t small, large;
  void (EmfRecorder::*call)(const Point*, size_t);
};

TEST(RecorderPolylines, SixteenBitFormsOnlyWhenEveryCoordinateFits) {
  const PolyCase cases[] = {{EMR_POLYLINE16, EMR_POLYLINE, &EmfRecorder::Polyline},
                            {EMR_POLYLINETO16, EMR_POLYLINETO, &EmfRecorder::PolylineTo},
                            {EMR_POLYBEZIERTO16, EMR_POLYBEZIERTO, &EmfRecorder::PolyBezierTo},
                            {EMR_POLYGON16, EMR_POLYGON, &EmfRecorder::Polygon}};
  for (const PolyCase& c : cases) {
    const Point fits[] = {{0, 0}, {32767, -32768}, {-5, 7}};
    const Point wide[] = {{0, 0}, {32768, 0}, {-5, -40000}};
    Recording rec([&](EmfRecorder& dc, Objects&) {
      (dc.*c.call)(fits, 3);
      (dc.*c.call)(wide, 3);
    });
    ASSERT_EQ(rec.DrawnTypes(), (std::vector<uint32_t>{c.small, c.large})) << c.small;
    const EmfRecord s = rec.OfType(c.small)[0], l = rec.OfType(c.large)[0];
    EXPECT_EQ(s.size, 28u + 3 * 4);
    EXPECT_EQ(U32(s, 24), 3u);
    int16_t x = 0, y = 0;
    ASSERT_TRUE(s.I16(28 + 4, &x) && s.I16(28 + 6, &y));
    EXPECT_EQ(x, 32767);
    EXPECT_EQ(y, -32768);
    EXPECT_EQ(l.size, 28u + 3 * 8);
    EXPECT_EQ(I32(l, 28 + 8), 32768);
    EXPECT_EQ(I32(l, 28 + 20), -40000);
  }
}

TEST(RecorderPolylines, BoundsAreInDevicePixels) {
  Recording rec([](EmfRecorder& dc, Objects&) {
    const Point pts[] = {{0, 0}, {5080, -2860}};  // the whole reference screen
    dc.Polyline(pts, 2);
  });
  EXPECT_EQ(RectAt(rec.OfType(EMR_POLYLINE16)[0], 8), (Rect{0, 0, 1920, 1080}));
}

TEST(RecorderPolylines, DegenerateCallsWriteNothing) {
  Recording rec([](EmfRecorder& dc, Objects&) {
    const Point pts[] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}};
    dc.Polyline(pts, 1);
    dc.Polygon(pts, 1);
    dc.PolylineTo(pts, 0);
    dc.PolyBezierTo(pts, 4);  // not whole curves
    EXPECT_EQ(dc.GetCurrentPositionEx().x, 0);
  });
  EXPECT_TRUE(rec.DrawnTypes().empty());
}

TEST(RecorderState, EachSettingIsOneRecord) {
  Recording rec([](EmfRecorder& dc, Objects&) {
    dc.SetGraphicsMode(GM_COMPATIBLE);  // has no record
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(30);
    dc.SetTextColor(RGB(1, 2, 3));
    dc.SetPolyFillMode(WINDING);
    dc.SetArcDirection(AD_CLOCKWISE);
    dc.SetArcDirection(7);  // refused
    dc.SetBrushOrgEx(5, -6);
    dc.SelectClipRgnNone();
    dc.IntersectClipRect(10, 20, 5, 1);
    dc.SetPixel(3, -4, RGB(9, 8, 7));
    dc.MoveToEx(7, 8);
    dc.LineTo(9, -10);
  });
  ASSERT_EQ(rec.DrawnTypes(),
            (std::vector<uint32_t>{EMR_SETBKMODE, EMR_SETTEXTALIGN, EMR_SETTEXTCOLOR,
                                   EMR_SETPOLYFILLMODE, EMR_SETARCDIRECTION, EMR_SETBRUSHORGEX,
                                   EMR_EXTSELECTCLIPRGN, EMR_INTERSECTCLIPRECT, EMR_SETPIXELV,
                                   EMR_MOVETOEX, EMR_LINETO}));
  const auto& r = rec.Records();
  EXPECT_EQ(U32(r[2], 8), 1u);
  EXPECT_EQ(U32(r[3], 8), 30u);
  EXPECT_EQ(U32(r[4], 8), RGB(1, 2, 3));
  EXPECT_EQ(U32(r[5], 8), 2u);
  EXPECT_EQ(U32(r[6], 8), 2u);
  EXPECT_EQ(I32(r[7], 12), -6);
  EXPECT_EQ(r[8].size, 16u);
  EXPECT_EQ(U32(r[8], 8), 0u);  // no region data
  EXPECT_EQ(U32(r[8], 12), 5u);  // RGN_COPY
  EXPECT_EQ(RectAt(r[9], 8), (Rect{10, 20, 5, 1}));  // as given
  EXPECT_EQ(r[10].size, 20u);
  EXPECT_EQ(I32(r[10], 12), -4);
  EXPECT_EQ(U32(r[10], 16), RGB(9, 8, 7));
  EXPECT_EQ(I32(r[12], 12), -10);
}

TEST(RecorderState, CurrentPositionFollowsTheCallsThatMoveIt) {
  Recording rec([](EmfRecorder& dc, Objects&) {
    dc.MoveToEx(5, 6);
    const Point pts[] = {{1, 2}, {3, 4}, {7, 8}};
    dc.Polyline(pts, 3);  // leaves it
    EXPECT_EQ(dc.GetCurrentPositionEx().x, 5);
    dc.PolyBezierTo(pts, 3);
    EXPECT_EQ(dc.GetCurrentPositionEx().y, 8);
    dc.PolylineTo(pts, 2);
    EXPECT_EQ(dc.GetCurrentPositionEx().x, 3);
    // The arc ends where the ray toward (0, 2000) meets the circle.
    dc.ArcTo(-1000, 1000, 1000, -1000, 1000, 0, 0, 2000);
    EXPECT_EQ(dc.GetCurrentPositionEx().x, 0);
    EXPECT_EQ(dc.GetCurrentPositionEx().y, 1000);
    dc.Rectangle(0, 0, 5, 5);
    dc.Pie(0, 0, 5, 5, 0, 0, 1, 1);
    EXPECT_EQ(dc.GetCurrentPositionEx().y, 1000);
  });
}

}  // namespace
}  // namespace tsl::test
