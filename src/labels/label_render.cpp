// Label rendering: LB, the stroke and text glyphs, and UC.
#include "labels/label_render.h"

#include <cmath>
#include <cstring>

#include "interpreter/output_routines.h"
#include "interpreter/args.h"
#include "interpreter/gdi_helpers.h"
#include "interpreter/handlers.h"
#include "interpreter/char_grid.h"
#include "labels/charset0.h"
#include "labels/roman8.h"

namespace tsl {

void PlotUC(PlotterState& ps, double dx, double dy, int degrees) {
  PenTo(ps, CharUnitsTurned(ps, dx, dy, degrees));
}

gdi::Point CarriageReturnPoint(const PlotterState& ps) {
  if (ps.xPen == ps.xLabelEnd && ps.yPen == ps.yLabelEnd) return {ps.xLabelStart, ps.yLabelStart};
  return {ps.xPen, ps.yPen};
}

namespace {

struct Vec {
  double x, y;
};

// Half a character's width in grid units (a cell of 8 units is 1.5
// character widths): a TrueType glyph, drawn centred on its reference
// point, then stands at the start of its cell as a stroke glyph does.
constexpr double kGlyphCentre = 8.0 / 3;

// One label in progress: the turning angle, the advance, where the label
// origin puts each line, and the carriage-return point: the origin of the
// current line.
struct LabelRun {
  PlotterState& ps;
  int turn = 0;  // F, whole degrees
  Vec advance{0, 0};
  double column = 0;  // the share of a line's length before the origin: 0, 1/2 or 1
  double rise = 0;    // the origin's height in the line, grid units
  int32_t xcr = 0, ycr = 0;

  // A grid vector along the label, from the pen.
  gdi::Point At(Vec v) const { return CharUnitsTurned(ps, v.x, v.y, turn); }
  // Pen-up move by a grid vector along the label.
  void MoveTurned(Vec v) { PlotUC(ps, v.x, v.y, turn); }
  // From a line's origin back to its first character, for a line of
  // `chars` characters.
  Vec LineStart(size_t chars) const {
    double k = -column * static_cast<double>(chars);
    return {k * advance.x, k * advance.y};
  }

  void CarriageReturn(size_t nextLineChars);
  void LineFeed();
  void StrokeGlyph(unsigned char c);
  void TextGlyph(unsigned char c);
};

int TurningAngle(const PlotterState& ps) {
  // The label's own direction only: RO turns every grid step in CharUnits.
  int f = LabelAngle(ps, ps.nLabelDirection, 0) / 10;
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

// The characters of the line that starts at `from`, up to the next CR: the
// most it reaches, a BS stepping back one and an LF taking no room.
size_t LineLength(const char* text, size_t n, size_t from) {
  size_t count = 0, longest = 0;
  for (size_t i = from; i < n && text[i] != '\r'; ++i) {
    switch (text[i]) {
      case '\b': if (count) --count; break;
      case '\n': break;
      default:
        if (++count > longest) longest = count;
    }
  }
  return longest;
}

// The label origin (LO; 11..19 as 1..9): how much of each line lies before
// it, and its height in the line.
void Origin(uint16_t origin, double* column, double* rise) {
  int o = origin > 10 ? origin - 10 : origin;
  if (o < 1 || o > 9) o = 1;
  static const double kRise[3] = {0, -6, -12};
  *column = o <= 3 ? 0 : o <= 6 ? 0.5 : 1;
  *rise = kRise[(o - 1) % 3];
}

void LabelRun::CarriageReturn(size_t nextLineChars) {
  ps.xPen = xcr;
  ps.yPen = ycr;
  Vec start = LineStart(nextLineChars);
  MoveTurned(start);
}

void LabelRun::LineFeed() {
  // The line's origin goes down with the pen.
  int32_t x = ps.xPen, y = ps.yPen;
  MoveTurned(LineFeedVector(ps));
  xcr = AddClamped(xcr, int64_t{ps.xPen} - x);
  ycr = AddClamped(ycr, int64_t{ps.yPen} - y);
}

void LabelRun::StrokeGlyph(unsigned char c) {
  bool italic = (ps.bMode & ITALIC) != 0;
  int px = 0, py = 0;
  for (const unsigned char* s = charset0[c & 0x7F]; *s; ++s) {
    StrokePoint pt = DecodeStroke(*s);
    // Italic glyphs lean right by half their height.
    if (italic) pt.x += pt.y / 2;
    gdi::Point p = At({static_cast<double>(pt.x - px), static_cast<double>(pt.y - py)});
    StepPen(ps, p, pt.draw);
    px = pt.x;
    py = pt.y;
  }
  // On to the next character origin, whatever the glyph's last point.
  MoveTurned({std::trunc(advance.x) - px, std::trunc(advance.y) - py});
}

void LabelRun::TextGlyph(unsigned char c) {
  // The baseline through the pen, the glyph in the first character width
  // of its cell.
  gdi::Point at = At({kGlyphCentre, 0});
  if (!ps.MeasureOnly() && ps.hdcMeta) {
    char byte = static_cast<char>(c);
    ps.hdcMeta->TextOutA(ScaleCoord(ps, at.x), ScaleCoord(ps, at.y), &byte, 1);
  }
  gdi::Point next = At(advance);
  ps.xPen = next.x;
  ps.yPen = next.y;
  GrowExtents(ps, next.x, next.y);
  // The cell's far side grows the extents too; the pen stays.
  Vec lf = LineFeedVector(ps);
  gdi::Point top = At({-lf.x, -lf.y});
  GrowExtents(ps, top.x, top.y);
}

}  // namespace

void PlotChars(PlotterState& ps, const char* text, size_t n, bool symbol) {
  int32_t penDown = ps.fPenDown;
  uint8_t relative = ps.bMode & RELATIVE;
  int16_t lineType = ps.iLineType;
  int32_t widthOverride = ps.nWidthOverride;
  bool strokes = ps.settings->Has(DrawChars);

  LabelRun run{ps};
  run.turn = TurningAngle(ps);
  run.advance = Advance(ps);
  ps.bMode |= RELATIVE;
  ps.fPenDown = 0;
  if (symbol) {
    // The middle of a capital on the point: the stroke glyphs' capitals
    // span 0..4 by 0..6, a TrueType capital one width by one height.
    Vec centre = strokes ? Vec{2, 3} : Vec{kGlyphCentre, 4};
    run.MoveTurned({-centre.x, -centre.y});
    run.xcr = ps.xPen;
    run.ycr = ps.yPen;
  } else {
    // The offsets turn with the label, and each line is placed by the
    // origin on its own.
    Origin(ps.nLabelOrigin, &run.column, &run.rise);
    gdi::Point o = run.At({0, run.rise});
    run.xcr = o.x;
    run.ycr = o.y;
    Vec start = run.LineStart(LineLength(text, n, 0));
    run.MoveTurned({start.x, start.y + run.rise});
  }
  ps.iLineType = 0;

  ps.nWidthOverride = ps.nStrokeWeight >= 1 && ps.nStrokeWeight <= 7 ? 3 : 1;
  if (!ps.MeasureOnly() && ps.hdcMeta) {
    gdi::Handle pen = ps.objects->CreatePen(gdi::PS_SOLID,
                                            Trunc32(ps.nWidthOverride * ps.Scale()), PenColor(ps));
    SelectReplacing(ps, pen, &ps.hpenCurrent);
  }

  const bool roman8 = ps.nSymbolSet == kRoman8SymbolSet;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (roman8) c = strokes ? Roman8ToStroke(c) : Roman8ToAnsi(c);
    if (c == '\r')
      run.CarriageReturn(LineLength(text, n, i + 1));
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
  ps.xLabelEnd = ps.xPen;
  ps.yLabelEnd = ps.yPen;
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
