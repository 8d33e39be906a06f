// Pens, colours and widths: SP, NP, PC, CR, WU, PT and PW. The pen creation
// rule they share with LT and PE is the output core's.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>

#include "drawing/fills.h"
#include "interpreter/output_routines.h"
#include "interpreter/args.h"
#include "interpreter/conversion_log.h"
#include "interpreter/gdi_helpers.h"
#include "interpreter/handlers.h"
#include "interpreter/numeric.h"
#include "interpreter/units.h"

namespace tsl {

namespace {

bool Recording(const PlotterState& ps) { return ps.hdcMeta && !ps.MeasureOnly(); }

void LogPenRange(const char* text, PlotterState& ps) {
  ps.log->Warning("Warning: Pen number out of range: '%s' at offset 0x%lx\n", text,
               static_cast<unsigned long>(ps.offCommand));
}

bool PenInRange(int32_t pen, const PlotterState& ps) { return pen >= 0 && pen < ps.nPens; }

// A pen number beyond the pen count selects the pen it comes to when the
// numbers wrap around, as a carousel does.
uint16_t WrappedPen(int32_t pen, const PlotterState& ps) {
  int32_t n = ps.nPens ? ps.nPens : 16;
  return static_cast<uint16_t>(pen % n);
}

// The selected pen's colour has changed: the lines, fills and labels that
// follow are drawn in the new one.
void RefreshPenColour(PlotterState& ps) {
  CreateCurrentPen(ps);
  ReplaceFillBrush(ps);
  if (Recording(ps)) ps.hdcMeta->SetTextColor(PenColor(ps));
}

// One PC component through the CR range: the reference value b maps to 0,
// w to 255. References are read as signed 16-bit values.
unsigned MapComponent(double v, uint16_t black, uint16_t white) {
  double b = static_cast<int16_t>(black);
  double w = static_cast<int16_t>(white);
  if (w == b) return v >= w ? 255 : 0;
  double c = (v - b) / (w - b) * 256.0;
  if (!(c > 0)) return 0;  // also NaN
  if (c >= 255) return 255;
  return static_cast<unsigned>(c);
}

}  // namespace

void DoSP(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 1);
  if (n >= 1) {
    if (ps.pArgs[0].l < 0) {
      LogPenRange(text, ps);
      ps.nErrors++;
      return;
    }
    ps.iPen = WrappedPen(ps.pArgs[0].l, ps);
  } else {
    ps.iPen = 0;
  }
  CreateCurrentPen(ps);
  ReplaceFillBrush(ps);
  if (Recording(ps)) ps.hdcMeta->SetTextColor(PenColor(ps));
  ps.nExecuted++;
}

void DoNP(uint16_t, const char* text, PlotterState& ps) {
  if (GetArgs(text, ps, 1) < 1) {
    ps.nPens = 16;
  } else {
    int32_t n = ps.pArgs[0].l;
    uint16_t pens = 2;
    while (pens < 256 && pens < n) pens = static_cast<uint16_t>(pens * 2);
    ps.nPens = pens;
  }
  ps.nExecuted++;
}

void DoPC(uint16_t, const char* text, PlotterState& ps) {
  // PC pen,r,g,b sets a colour; PC pen gives the pen back the colour the
  // run started with, and PC alone every pen.
  int n = GetArgs(text, ps, 4);
  if (n != 0 && n != 1 && n != 4) {
    LogParamError("0, 1 or 4", text, ps);
    ps.nIgnored++;
    return;
  }
  if (ps.settings->Has(IgnorePC)) {
    ps.nIgnored++;
    return;
  }
  const gdi::COLORREF before = PenColor(ps);
  gdi::COLORREF* colours = ps.settings->PenColor;
  if (n == 0) {
    std::copy(std::begin(ps.crStart), std::end(ps.crStart), colours);
  } else {
    int32_t pen = ps.pArgs[0].l;
    if (!PenInRange(pen, ps)) {
      LogPenRange(text, ps);
      ps.nIgnored++;
      return;
    }
    if (n == 1) {
      colours[pen] = ps.crStart[pen];
    } else {
      unsigned rgb[3];
      for (int i = 0; i < 3; ++i)
        rgb[i] = MapComponent(ps.pArgs[1 + i].d, ps.crRange[2 * i], ps.crRange[2 * i + 1]);
      colours[pen] = gdi::RGB(rgb[0], rgb[1], rgb[2]);
    }
  }
  if (PenColor(ps) != before) RefreshPenColour(ps);
  ps.nExecuted++;
}

void DoCR(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, ps.nArgsMax);
  if (n == 0) {
    for (int i = 0; i < 6; i += 2) {
      ps.crRange[i] = 0;
      ps.crRange[i + 1] = 255;
    }
    ps.nExecuted++;
    return;
  }
  if (n != 6) {
    LogParamError("6", text, ps);
    if (n < 6) {
      ps.nIgnored++;
      return;
    }
  }
  uint16_t range[6];
  for (int i = 0; i < 6; ++i) range[i] = static_cast<uint16_t>(ps.pArgs[i].l);
  for (int i = 0; i < 6; i += 2) {
    // Values that differ only beyond 16 bits would make an empty range too.
    if (ps.pArgs[i].l == ps.pArgs[i + 1].l || range[i] == range[i + 1]) {
      ps.log->Error("CR: Invalid Parameter (black-ref = white-ref)\n");
      ps.nErrors++;
      return;
    }
  }
  for (int i = 0; i < 6; ++i) ps.crRange[i] = range[i];
  ps.nExecuted++;
}

void DoWU(uint16_t, const char* text, PlotterState& ps) {
  if (GetArgs(text, ps, 1) >= 1 && (ps.pArgs[0].l & 1))
    ps.bMode |= WIDTH_RELATIVE;
  else
    ps.bMode &= static_cast<uint8_t>(~WIDTH_RELATIVE);
  ps.nExecuted++;
}

void DoPT(uint16_t, const char* text, PlotterState& ps) {
  ps.dPenWidth = GetArgs(text, ps, 1) >= 1 ? ps.pArgs[0].d : 0.3;
  std::fill(std::begin(ps.dPenWidths), std::end(ps.dPenWidths), ps.dPenWidth);
  CreateCurrentPen(ps);
  ps.nExecuted++;
}

void DoPW(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 2);
  bool relative = (ps.bMode & WIDTH_RELATIVE) != 0;
  double given = std::fabs(n >= 1 ? ps.pArgs[0].d : (relative ? 0.1 : 0.3));
  double mm = given;
  if (relative) {
    // Per cent of the P1-P2 diagonal.
    double dx = ps.dxP1P2, dy = ps.dyP1P2;
    mm = given / 100.0 * std::sqrt(dx * dx + dy * dy) / kPlotterUnitsPerMm;
  }
  // A pen table sets the widths of other pens as well as the current one;
  // without a pen the width is every pen's.
  if (n >= 2) {
    if (ps.pArgs[1].l >= 0) {
      uint16_t pen = WrappedPen(ps.pArgs[1].l, ps);
      ps.dPenWidths[pen] = mm;
      if (pen == ps.iPen) CreateCurrentPen(ps);
    }
  } else {
    std::fill(std::begin(ps.dPenWidths), std::end(ps.dPenWidths), mm);
    ps.dPenWidth = mm;
    CreateCurrentPen(ps);
  }
  ps.nExecuted++;
}

}  // namespace tsl
