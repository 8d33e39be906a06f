// The header's bounds and frame, and what grows them.
#include <gtest/gtest.h>

#include <vector>

#include "common/gdi/emf_geometry.h"
#include "recording.h"

namespace tsl::test {
namespace {

using namespace gdi;

Rect BoundsOf(const Recording::Draw& draw, int mode = MM_LOMETRIC) {
  Recording rec(draw, mode);
  EXPECT_EQ(rec.summary.rclBounds, rec.reader.Header().rclBounds);
  return rec.reader.Header().rclBounds;
}

TEST(RecorderBounds, EmptyMetafile) {
  Recording rec([](EmfRecorder& dc, Objects&) { dc.MoveToEx(500, 500); });
  EXPECT_EQ(rec.reader.Header().rclBounds, (Rect{0, 0, -1, -1}));
  EXPECT_EQ(rec.reader.Header().rclFrame, (Rect{0, 0, -1, -1}));
}

TEST(RecorderBounds, DevicePixelsAndFrameInHundredthsOfAMillimetre) {
  Recording lo([](EmfRecorder& dc, Objects&) {
    dc.MoveToEx(0, 0);
    dc.LineTo(5080, -2860);  // 508 x 286 mm: the whole reference screen
  });
  EXPECT_EQ(lo.reader.Header().rclBounds, (Rect{0, 0, 1920, 1080}));
  EXPECT_EQ(lo.reader.Header().rclFrame, (Rect{0, 0, 50800, 28600}));

  Recording hi(
      [](EmfRecorder& dc, Objects&) {
        dc.MoveToEx(-25400, 0);
        dc.LineTo(0, 14300);
      },
      MM_HIMETRIC);
  EXPECT_EQ(hi.reader.Header().rclBounds, (Rect{-960, -540, 0, 0}));
  EXPECT_EQ(hi.reader.Header().rclFrame, (Rect{-25400, -14300, 0, 0}));

  // Before any SetMapMode a logical unit is a pixel, y down.
  EXPECT_EQ(BoundsOf([](EmfRecorder& dc, Objects&) { dc.SetPixel(7, 9, 0); }, 0),
            (Rect{7, 9, 7, 9}));
}

TEST(RecorderBounds, WidePensWidenInvisibleLinesStillCount) {
  auto line = [](Handle pen) {
    return [pen](EmfRecorder& dc, Objects& objects) {
      dc.SelectObject(pen ? pen : objects.CreatePen(PS_SOLID, 200, 0));
      dc.MoveToEx(0, 0);
      dc.LineTo(1000, 0);
    };
  };
  const Rect thin = BoundsOf(line(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(thin, (Rect{0, 0, 378, 0}));
  EXPECT_EQ(BoundsOf(line(GetStockObject(NULL_PEN))), thin);
  const Rect wide = BoundsOf(line(0));  // 20 mm wide: 10 mm, 38 pixels each side
  EXPECT_EQ(wide, (Rect{-38, -38, 416, 38}));
}

TEST(RecorderBounds, PathsCountWhenFilledOrStroked) {
  Recording rec([](EmfRecorder& dc, Objects& objects) {
    dc.BeginPath();
    dc.MoveToEx(0, 0);
    dc.LineTo(1000, -1000);
    dc.CloseFigure();
    dc.EndPath();
    dc.SetPixel(-10, 0, 0);  // outside the path bracket: counts at once
    dc.FillPath();
    dc.SelectObject(objects.CreatePen(PS_SOLID, 200, 0));
    dc.BeginPath();
    dc.MoveToEx(0, 0);
    dc.LineTo(0, 5000);
    dc.EndPath();
    dc.StrokePath();
    dc.StrokePath();  // no path left
  });
  const auto fills = rec.OfType(EMR_FILLPATH);
  const auto strokes = rec.OfType(EMR_STROKEPATH);
  ASSERT_EQ(fills.size(), 1u);
  ASSERT_EQ(strokes.size(), 2u);
  EXPECT_EQ(RectAt(fills[0], 8), (Rect{0, 0, 378, 378}));
  EXPECT_EQ(RectAt(strokes[0], 8), (Rect{-38, -1926, 38, 38}));  // widened by the pen
  EXPECT_EQ(RectAt(strokes[1], 8), (Rect{0, 0, -1, -1}));
  EXPECT_EQ(rec.reader.Header().rclBounds, (Rect{-38, -1926, 378, 378}));
}

TEST(RecorderBounds, DrawingInsideAnOpenPathDoesNotCount) {
  EXPECT_EQ(BoundsOf([](EmfRecorder& dc, Objects&) {
              dc.BeginPath();
              dc.Rectangle(0, 0, 1000, 1000);
              dc.TextOutA(0, 0, "abc", 3);
              dc.EndPath();
            }),
            (Rect{0, 0, -1, -1}));
}

TEST(RecorderBounds, ArcsCountOnlyTheCurveDrawn) {
  auto arc = [](int direction) {
    return [direction](EmfRecorder& dc, Objects&) {
      dc.SetArcDirection(direction);
      // From the rightmost point to the topmost (y is up).
      dc.Arc(-1000, 1000, 1000, -1000, 1000, 0, 0, 1000);
    };
  };
  // The quarter circle counterclockwise stays in the upper right quadrant;
  // the edges at 1000 are excluded as in the box of the record.
  EXPECT_EQ(BoundsOf(arc(AD_COUNTERCLOCKWISE)), (Rect{0, -377, 378, 0}));
  // Clockwise it runs through the other three.
  EXPECT_EQ(BoundsOf(arc(AD_CLOCKWISE)), (Rect{-378, -377, 378, 378}));
  // A pie adds its centre, ArcTo the line from the current position.
  EXPECT_EQ(BoundsOf([](EmfRecorder& dc, Objects&) {
              dc.Pie(0, 2000, 2000, 0, 1000, 2000, 0, 1000);  // upper left quarter
            }),
            (Rect{0, -755, 378, -378}));
  EXPECT_EQ(BoundsOf([](EmfRecorder& dc, Objects&) {
              dc.MoveToEx(-2540, 0);
              dc.ArcTo(-1000, 1000, 1000, -1000, 1000, 0, 0, 1000);
            }),
            (Rect{-960, -377, 378, 0}));
  // Equal start and end rays give the whole ellipse.
  EXPECT_EQ(BoundsOf([](EmfRecorder& dc, Objects&) {
              dc.Arc(-1000, 500, 1000, -500, 7, 0, 7, 0);
            }),
            (Rect{-378, -188, 378, 189}));
}

TEST(RecorderBounds, FillRectAndRectangleCountTheirInclusiveBoxes) {
  EXPECT_EQ(BoundsOf([](EmfRecorder& dc, Objects&) {
              dc.FillRect(Rect{0, 0, 2541, -2541}, GetStockObject(BLACK_BRUSH));
            }),
            (Rect{0, 0, 960, 960}));
  EXPECT_EQ(BoundsOf([](EmfRecorder& dc, Objects&) { dc.Rectangle(0, 0, 2541, 2541); }),
            (Rect{0, -959, 960, 0}));
}

TEST(Mapping, RoundsToTheNearestPixelLikeGdi) {
  const Mapping lo = Mapping::For(MM_LOMETRIC, Size{1920, 1080}, Size{508, 286});
  EXPECT_TRUE(lo.YUp());
  EXPECT_EQ(lo.DeviceX(100), 38);    // 37.795
  EXPECT_EQ(lo.DeviceX(-100), -38);
  EXPECT_EQ(lo.DeviceY(100), -38);   // -37.76
  EXPECT_EQ(lo.DeviceX(127), 48);    // 48.0
  EXPECT_EQ(lo.DeviceX(2147483647), 811647363);
  const Mapping text = Mapping::For(MM_TEXT, Size{1920, 1080}, Size{508, 286});
  EXPECT_FALSE(text.YUp());
  EXPECT_EQ(text.DeviceY(-5), -5);
  // A broken reference device does not divide by zero.
  const Mapping odd = Mapping::For(MM_HIMETRIC, Size{0, -3}, Size{0, 0});
  EXPECT_EQ(odd.DeviceX(1000), 10);
}

}  // namespace
}  // namespace tsl::test

namespace tsl::test {
namespace {

using namespace gdi;

// Extreme coordinates, pens and reference devices stay defined arithmetic
// (the sanitizer build checks) and still give a sound metafile.
TEST(RecorderBounds, ExtremeValuesGiveASoundMetafile) {
  const int32_t lo = INT32_MIN, hi = INT32_MAX;
  for (const ReferenceDevice& ref : {ReferenceDevice{}, ReferenceDevice{{hi, hi}, {hi, hi}},
                                     ReferenceDevice{{0, -5}, {lo, 0}}}) {
    for (int mode : {MM_TEXT, MM_LOMETRIC, MM_HIMETRIC, MM_TWIPS}) {
      Objects objects;
      auto dc = EmfRecorder::CreateMemory(objects, "x", ref);
      dc->SetMapMode(mode);
      LogFont font;
      font.lfHeight = lo;
      font.lfWidth = lo;
      font.lfEscapement = hi;
      dc->SelectObject(objects.CreateFontIndirect(font));
      dc->SelectObject(objects.CreatePen(PS_SOLID, hi, 0));
      dc->MoveToEx(lo, hi);
      dc->LineTo(hi, lo);
      const Point pts[] = {{lo, lo}, {hi, hi}, {0, lo}};
      dc->PolylineTo(pts, 3);
      dc->PolyBezierTo(pts, 3);
      dc->Arc(lo, hi, hi, lo, 0, 0, hi, lo);
      dc->ArcTo(lo, lo, hi, hi, lo, 0, 0, hi);
      dc->Pie(hi, hi, lo, lo, 1, 1, 1, 1);
      dc->Rectangle(lo, lo, hi, hi);
      dc->FillRect(Rect{hi, lo, lo, hi}, GetStockObject(BLACK_BRUSH));
      dc->TextOutA(hi, lo, "xyz", 3);
      dc->BeginPath();
      dc->LineTo(lo, lo);
      dc->EndPath();
      dc->StrokePath();
      std::string error;
      ASSERT_TRUE(dc->Close(&error)) << error;
      EmfReader reader;
      EXPECT_TRUE(reader.Parse(dc->Bytes().data(), dc->Bytes().size(), &error)) << error;
    }
  }
}

// LineTo and SetPixel carry no bounds of their own, so their boxes are
// gathered in logical units and mapped once; Polyline maps every record's
// box as it goes. Both must give the same bounds for the same lines,
// whatever the pens, the mappings in turn, the signs and the rounding.
TEST(RecorderBounds, GatheredBoxesBoundAsEachRecordMapped) {
  uint32_t seed = 12345;
  auto next = [&seed](int32_t span) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(2 * span + 1)) - span;
  };
  for (int round = 0; round < 20; ++round) {
    struct Segment {
      Point a, b;
      int32_t width;
      int mode;
    };
    std::vector<Segment> segments;
    const int modes[] = {MM_LOMETRIC, MM_HIMETRIC, MM_TWIPS, MM_LOENGLISH};
    int mode = modes[round % 4];
    for (int i = 0; i < 12; ++i) {
      if (i == 6) mode = modes[(round + 1) % 4];  // a change of mapping half-way
      segments.push_back(
          {{next(40000), next(40000)}, {next(40000), next(40000)}, next(3) > 0 ? next(400) + 400 : 1, mode});
    }
    auto draw = [&segments](bool asPolyline) {
      return [&segments, asPolyline](EmfRecorder& dc, Objects& objects) {
        int mode = 0;
        for (const Segment& s : segments) {
          if (s.mode != mode) dc.SetMapMode(mode = s.mode);
          dc.SelectObject(objects.CreatePen(PS_SOLID, s.width, 0));
          if (asPolyline) {
            const Point pts[2] = {s.a, s.b};
            dc.Polyline(pts, 2);
          } else {
            dc.MoveToEx(s.a.x, s.a.y);
            dc.LineTo(s.b.x, s.b.y);
          }
        }
      };
    };
    EXPECT_EQ(BoundsOf(draw(false), 0), BoundsOf(draw(true), 0)) << "round " << round;
  }
}

TEST(RecorderBounds, ALineWithItsEndPixelIsTheLineAndThePixel) {
  // The combined call must write what the two calls write, bounds and
  // counts included: thin and wide pens, in a path and out of one, far
  // from the origin and across the mapping's rounding.
  for (int width : {0, 1, 7, 200}) {
    for (bool inPath : {false, true}) {
      auto draw = [&](bool combined) {
        return [&, combined](EmfRecorder& dc, Objects& objects) {
          dc.SelectObject(objects.CreatePen(PS_SOLID, width, 0x123456));
          if (inPath) dc.BeginPath();
          dc.MoveToEx(-7, 3);
          const Point ends[] = {{1003, -5}, {-40000, 77}, {13, 13}, {13, 14}, {2000000, -3000000}};
          for (const Point& p : ends) {
            if (combined) {
              dc.LineToWithPixel(p.x, p.y, 0x00FF00);
            } else {
              dc.LineTo(p.x, p.y);
              dc.SetPixel(p.x, p.y, 0x00FF00);
            }
          }
          if (inPath) {
            dc.EndPath();
            dc.StrokePath();
          }
        };
      };
      Recording together(draw(true)), apart(draw(false));
      EXPECT_EQ(together.bytes, apart.bytes) << "width " << width << (inPath ? " in a path" : "");
      EXPECT_EQ(together.summary.nRecords, apart.summary.nRecords);
      EXPECT_EQ(together.OfType(EMR_SETPIXELV).size(), 5u);
    }
  }
}

}  // namespace
}  // namespace tsl::test
