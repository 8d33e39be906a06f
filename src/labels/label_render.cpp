// Label rendering: LB, the stroke and text glyphs, and UC.
#include "labels/label_render.h"

#include <cmath>
#include <cstring>

#include "drawing/pen_motion.h"
#include "drawing/pens.h"
#include "interpreter/args.h"
#include "interpreter/gdi_helpers.h"
#include "interpreter/handlers.h"
#include "labels/char_grid.h"
#include "labels/charset0.h"

namespace tsl {

void PlotUC(PlotterState& ps, double dx, double dy) {
  gdi::Point p = CharUnits(ps, dx, dy);
  if (ps.fPenDown) {
    SyncDrawingPosition(ps);
    GrowExtents(ps, ps.xPen, ps.yPen);
    DoLineTo(ps, p.x, p.y);
    GrowExtents(ps, p.x, p.y);
  } else {
    MoveToScaled(ps, p.x, p.y);
  }
  ps.xPen = p.x;
  ps.yPen = p.y;
}

namespace {

struct Vec {
  double x, y;
};

// One label in progress: the turning angle, the advance and the
// carriage-return point.
struct LabelRun {
  PlotterState& ps;
  int turn = 0;  // F, whole degrees
  Vec advance{0, 0};
  int32_t xcr = 0, ycr = 0;

  Vec Turned(Vec v) const {
    if (turn != 0) DirectionRotation(v.x, v.y, turn);
    return v;
  }
  // Pen-up move by a grid vector turned by the label direction.
  void MoveTurned(Vec v) {
    Vec t = Turned(v);
    PlotUC(ps, t.x, t.y);
  }

  void CarriageReturn();
  void LineFeed();
  void StrokeGlyph(unsigned char c);
  void TextGlyph(unsigned char c);
};

int TurningAngle(const PlotterState& ps) {
  int f = ps.nLabelAngle / 10;
  if (ps.settings->Has(Rotate)) {
    f -= ps.settings->Rotation;
    if (f < 0) f += 360;
  }
  // The label angle turns clockwise, the grid's rotation counter-clockwise:
  // 90 and 270 change places, and so does every angle between them (a DI1,1
  // label must rise, as its font does).
  f = (360 - f % 360) % 360;
  return f;
}

Vec Advance(const PlotterState& ps) {
  switch (ps.nLabelPath) {
    case 1: return {0, -16 * ps.dLineFactor};
    case 2: return {-8 * ps.dSpaceFactor, 0};
    case 3: return {0, 16 * ps.dLineFactor};
    default: return {8 * ps.dSpaceFactor, 0};
  }
}

// The line-feed vector by path; the cell-height vector is its opposite.
Vec LineFeedVector(const PlotterState& ps) {
  double sign = ps.fLineReverse ? -1 : 1;
  Vec v;
  switch (ps.nLabelPath) {
    case 1: v = {-8 * sign, 0}; break;
    case 2: v = {0, 16 * sign}; break;
    case 3: v = {8 * sign, 0}; break;
    default: v = {0, -16 * sign}; break;
  }
  return {v.x * ps.dSpaceFactor, v.y * ps.dLineFactor};
}

// 8 x the longest line, counting CR as a new line and BS as a step back.
double LabelWidth(const char* text, size_t n) {
  size_t count = 0, longest = 0;
  for (size_t i = 0; i < n; ++i) {
    switch (text[i]) {
      case '\r': count = 0; break;
      case '\b': if (count) --count; break;
      case '\n': break;
      default:
        if (++count > longest) longest = count;
    }
  }
  return 8.0 * static_cast<double>(longest);
}

Vec OriginOffset(uint16_t origin, double width) {
  int o = origin > 10 ? origin - 10 : origin;
  if (o < 1 || o > 9) return {0, 0};
  static const double kY[3] = {0, -6, -12};
  double x = o <= 3 ? 0 : o <= 6 ? -width / 2 : -width;
  return {x, kY[(o - 1) % 3]};
}

void LabelRun::CarriageReturn() {
  MoveToScaled(ps, xcr, ycr);
  ps.xPen = xcr;
  ps.yPen = ycr;
}

void LabelRun::LineFeed() {
  MoveTurned(LineFeedVector(ps));
  if (ps.nLabelPath == 1 || ps.nLabelPath == 3)
    xcr = ps.xPen;
  else
    ycr = ps.yPen;
}

void LabelRun::StrokeGlyph(unsigned char c) {
  bool italic = (ps.bMode & ITALIC) != 0;
  int px = 0, py = 0;
  for (const unsigned char* s = charset0[c & 0x7F]; *s; ++s) {
    StrokePoint pt = DecodeStroke(*s);
    // Italic glyphs lean right by half their height.
    if (italic) pt.x += pt.y / 2;
    Vec step = Turned({static_cast<double>(pt.x - px), static_cast<double>(pt.y - py)});
    gdi::Point p = CharUnits(ps, step.x, step.y);
    if (pt.draw) {
      GrowExtents(ps, ps.xPen, ps.yPen);
      DoLineTo(ps, p.x, p.y);
      GrowExtents(ps, p.x, p.y);
    } else {
      MoveToScaled(ps, p.x, p.y);
    }
    ps.xPen = p.x;
    ps.yPen = p.y;
    px = pt.x;
    py = pt.y;
  }
  // On to the next character origin, whatever the glyph's last point.
  MoveTurned({std::trunc(advance.x) - px, std::trunc(advance.y) - py});
}

void LabelRun::TextGlyph(unsigned char c) {
  Vec base = Turned({0, 4});
  gdi::Point at = CharUnits(ps, base.x, base.y);
  if (!ps.MeasureOnly() && ps.hdcMeta) {
    char byte = static_cast<char>(c);
    ps.hdcMeta->TextOutA(ScaleCoord(ps, at.x), ScaleCoord(ps, at.y), &byte, 1);
  }
  Vec step = Turned(advance);
  gdi::Point next = CharUnits(ps, step.x, step.y);
  ps.xPen = next.x;
  ps.yPen = next.y;
  GrowExtents(ps, next.x, next.y);
  // The cell's far side grows the extents too; the pen stays.
  Vec lf = LineFeedVector(ps);
  Vec up = Turned({-lf.x, -lf.y});
  gdi::Point top = CharUnits(ps, up.x, up.y);
  GrowExtents(ps, top.x, top.y);
}

}  // namespace

void PlotChars(PlotterState& ps, const char* text, size_t n) {
  int32_t penDown = ps.fPenDown;
  uint8_t relative = ps.bMode & RELATIVE;
  int16_t lineType = ps.iLineType;
  int32_t widthOverride = ps.nWidthOverride;

  LabelRun run{ps};
  run.turn = TurningAngle(ps);
  run.advance = Advance(ps);

  Vec origin = OriginOffset(ps.nLabelOrigin, LabelWidth(text, n));
  ps.bMode |= RELATIVE;
  ps.fPenDown = 0;
  PlotUC(ps, origin.x, origin.y);
  run.xcr = ps.xPen;
  run.ycr = ps.yPen;
  ps.iLineType = 0;

  ps.nWidthOverride = ps.nStrokeWeight >= 1 && ps.nStrokeWeight <= 7 ? 3 : 1;
  if (!ps.MeasureOnly() && ps.hdcMeta) {
    gdi::Handle pen = ps.objects->CreatePen(gdi::PS_SOLID,
                                            Trunc32(ps.nWidthOverride * ps.Scale()), PenColor(ps));
    SelectReplacing(ps, pen, &ps.hpenCurrent);
  }

  bool strokes = ps.settings->Has(DrawChars);
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r')
      run.CarriageReturn();
    else if (c == '\n')
      run.LineFeed();
    else if (c == '\b')
      run.MoveTurned({-run.advance.x, -run.advance.y});
    else if (strokes)
      run.StrokeGlyph(c);
    else
      run.TextGlyph(c);
  }

  ps.fPenDown = penDown;
  ps.bMode = (ps.bMode & ~RELATIVE) | relative;
  ps.iLineType = lineType;
  ps.nWidthOverride = widthOverride;
  CreateCurrentPen(ps);
  ps.xLabelStart = run.xcr;
  ps.yLabelStart = run.ycr;
}

void DoLB(uint16_t, const char* text, PlotterState& ps) {
  size_t n = text[0] && text[1] ? std::strlen(text + 2) : 0;
  if (n == 0) {
    ps.nIgnored++;
    return;
  }
  PlotChars(ps, text + 2, n);
  ps.nExecuted++;
}

void DoUC(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, ps.nArgsMax);
  uint8_t relative = ps.bMode & RELATIVE;
  ps.bMode |= RELATIVE;
  for (int i = 0; i < n;) {
    int32_t v = ps.pArgs[i].l;
    if (v >= 99) {
      ps.fPenDown = 1;
      ++i;
    } else if (v <= -99) {
      ps.fPenDown = 0;
      ++i;
    } else if (i + 1 < n) {
      PlotUC(ps, ps.pArgs[i].d, ps.pArgs[i + 1].d);
      i += 2;
    } else {
      break;  // a lone last number has no second half
    }
  }
  ps.fPenDown = 0;
  ps.bMode = (ps.bMode & ~RELATIVE) | relative;
  ps.nExecuted++;
}

}  // namespace tsl
