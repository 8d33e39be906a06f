// Label attributes: character size, direction, path, origin, spacing, slant,
// terminator, and CP's move in character cells.
#include <cmath>

#include "interpreter/output_routines.h"
#include "interpreter/args.h"
#include "interpreter/conversion_log.h"
#include "interpreter/handlers.h"
#include "interpreter/char_grid.h"
#include "labels/fonts.h"
#include "labels/label_render.h"

namespace tsl {

void DoSI(uint16_t m, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 2);
  if (n == 1) {
    LogParamError("2", text, ps);
    ps.nErrors++;
    return;
  }
  bool absolute = SecondChar(m) == 'I';
  ps.bMode = absolute ? (ps.bMode & ~REL_CHAR_SIZE) : (ps.bMode | REL_CHAR_SIZE);
  NewFont(ps, absolute, n, ps.pArgs);
  ps.nExecuted++;
}

void DoDI(uint16_t m, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 2);
  if (n == 1) {
    LogParamError("2", text, ps);
    ps.nErrors++;
    return;
  }
  int32_t a = 0;
  if (n == 2) {
    double run = ps.pArgs[0].d, rise = ps.pArgs[1].d;
    if (SecondChar(m) == 'R') {
      run *= ps.dxP1P2;
      rise *= ps.dyP1P2;
    }
    // Tenths of a degree, clockwise: +x gives 3600, and directions below the
    // x axis come out above 3600.
    if (std::trunc(10 * run) != 0)
      a = 3600 - Trunc32(std::atan2(rise, run) * 572.9577951308232);
    else if (std::trunc(10 * rise) != 0)
      a = rise > 0 ? 2700 : 900;
  }
  ps.nLabelDirection = a;
  ps.nLabelAngle = RotatedLabelAngle(ps, a);

  double s = ps.Scale();
  gdi::LogFont& lf = ps.settings->Font;
  lf.lfHeight = LabelFontHeight(ps);
  lf.lfWidth = Trunc32(s * ps.cxChar);
  lf.lfEscapement = lf.lfOrientation = ps.nLabelAngle;
  SelectLabelFont(ps);
  ps.nExecuted++;
}

void DoDV(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, ps.nArgsMax);
  ps.nLabelPath = 0;
  ps.fLineReverse = 0;
  if (n >= 1) {
    uint8_t path = static_cast<uint8_t>(ps.pArgs[0].l & 0xFF);
    ps.nLabelPath = path <= 3 ? path : 0;
  }
  if (n >= 2 && ps.pArgs[1].l != 0) ps.fLineReverse = 1;
  ps.nExecuted++;
}

void DoLO(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 1);
  if (n == 0) {
    ps.nLabelOrigin = 1;
    ps.nExecuted++;
    return;
  }
  int32_t v = ps.pArgs[0].l;
  if ((v >= 1 && v <= 9) || (v >= 11 && v <= 19)) {
    ps.nLabelOrigin = static_cast<uint16_t>(v);
    ps.nExecuted++;
    return;
  }
  ps.log->Error("Error: Expecting a value between 1..9 or 11..19: '%s' at offset 0x%lx\n", text,
               static_cast<unsigned long>(ps.offCommand));
  ps.nErrors++;
}

void DoES(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, ps.nArgsMax);
  ps.dSpaceFactor = n >= 1 ? 1 + ps.pArgs[0].d : 1.0;
  ps.dLineFactor = n >= 2 ? 1 + ps.pArgs[1].d : 1.0;
  ps.nExecuted++;
}

void DoSL(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 1);
  // Only a slant that would show is worth a report.
  if (n == 0 || std::trunc(10 * ps.pArgs[0].d) == 0) {
    ps.nExecuted++;
    return;
  }
  LogNotImplemented("Character Slant", text, ps);
  ps.nIgnored++;
}

void DoDT(uint16_t, const char* text, PlotterState& ps) {
  // The lexer keeps exactly the one byte after the mnemonic.
  if (!text[0] || !text[1] || !text[2]) {
    ps.chTerminator = ETX;
  } else {
    ps.chTerminator = text[2];
    if (text[3] == ',') ps.showTerminator = text[4] == '1' ? 1 : 0;
  }
  ps.nExecuted++;
}

void DoCP(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 2);
  if (n != 0 && n != 2) {
    LogParamError("2", text, ps);
    ps.nErrors++;
    return;
  }
  // Without parameters: carriage return and line feed.
  double spaces = n ? ps.pArgs[0].d : 0, lines = n ? ps.pArgs[1].d : -1;

  int32_t penDown = ps.fPenDown;
  uint8_t relative = ps.bMode & RELATIVE;
  int16_t lineType = ps.iLineType;
  int32_t widthOverride = ps.nWidthOverride;
  // Spaces and lines count from the pen; a carriage return goes back to
  // where the line began.
  if (n == 0) {
    gdi::Point cr = CarriageReturnPoint(ps);
    ps.xPen = cr.x;
    ps.yPen = cr.y;
  }

  double f = 8, g = 16;
  switch (ps.nLabelPath) {
    case 1: f = 8, g = -16; break;
    case 2: f = -8, g = -16; break;
    case 3: f = -8, g = 16; break;
    default: break;
  }
  bool sideways = ps.nLabelPath == 1 || ps.nLabelPath == 3;
  if (ps.fLineReverse) {
    if (sideways)
      f = -f;
    else
      g = -g;
  }
  // The space factor always scales x and the line factor always scales y.
  double dx = f * (sideways ? lines : spaces) * ps.dSpaceFactor;
  double dy = g * (sideways ? spaces : lines) * ps.dLineFactor;

  ps.bMode |= RELATIVE;
  ps.fPenDown = 0;
  PlotUC(ps, dx, dy);

  ps.nWidthOverride = widthOverride;
  ps.iLineType = lineType;
  ps.fPenDown = penDown;
  ps.bMode = (ps.bMode & ~RELATIVE) | relative;
  CreateCurrentPen(ps);
  // A label after it starts its lines here.
  ps.xLabelStart = ps.xLabelEnd = ps.xPen;
  ps.yLabelStart = ps.yLabelEnd = ps.yPen;
  ps.nExecuted++;
}

}  // namespace tsl
