// IN, DF, BP, IP, IR, SC, IW, RO, PS: the plotter's coordinate system.
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "interpreter/output_routines.h"
#include "interpreter/polygon_buffer.h"
#include "interpreter/args.h"
#include "interpreter/conversion_log.h"
#include "interpreter/gdi_helpers.h"
#include "interpreter/handlers.h"
#include "interpreter/label_services.h"
#include "interpreter/numeric.h"
#include "interpreter/transform.h"
#include "interpreter/units.h"

namespace tsl {

namespace {

void ResetWindow(PlotterState& ps) {
  ps.rcWindow = {-ps.xPage, -ps.yPage, ps.xPage, ps.yPage};
  ps.fWindow = 0;
}

// The label angle under the run's drawing rotation and mirroring.
int32_t RotatedLabelAngle(const PlotterState& ps) {
  const SettingsSet& s = *ps.settings;
  int32_t h = -10 * static_cast<int32_t>(ps.nRotation);
  while (h < 0) h += 3600;
  int angle = s.Rotation;
  if (angle == 180)
    h = (h + 1800) % 3600;
  else if (angle != 0)
    h = (h + 10 * angle + 1800) % 3600;
  if (s.Has(MirrorX)) h = h > 1799 ? 5400 - h : 1800 - h;
  if (s.Has(MirrorY)) h = 3600 - h;
  return h;
}

void MakeInitialFont(PlotterState& ps) {
  double s = ps.Scale();
  gdi::LogFont& f = ps.settings->Font;
  f.lfWeight = 500;
  f.lfItalic = 0;
  f.lfHeight = LabelFontHeight(ps);
  f.lfWidth = Trunc32(s * ps.cxChar);
  f.lfEscapement = f.lfOrientation = ps.nLabelAngle;
  if (ps.settings->Has(Rotate)) {
    ps.nLabelAngle = RotatedLabelAngle(ps);
    f.lfEscapement = f.lfOrientation = ps.nLabelAngle;
  }
  gdi::Handle font = ps.objects->CreateFontIndirect(f);
  if (ps.MeasureOnly()) {
    // Nothing selects it in a measure-only run.
    ps.objects->Remove(font);
  } else {
    SelectReplacing(ps, font, &ps.hfontCurrent);
  }
  ps.bMode |= REL_CHAR_SIZE;
}

}  // namespace

void DoIN(uint16_t mnemonic, const char*, PlotterState& ps) {
  bool isIN = SecondChar(mnemonic) == 'N';
  ClearPolygonBuffer(ps);
  if (ps.fInitialized) DeleteGdiObject(ps, ps.hbrFill);
  ps.hbrFill = ps.objects->CreateSolidBrush(PenColor(ps));

  if (isIN) {
    if (ps.hdcMeta) {
      ps.hdcMeta->SetTextAlign(gdi::TA_BASELINE | gdi::TA_CENTER);
      ps.hdcMeta->SetBkMode(gdi::TRANSPARENT);
    }
    const SettingsSet& s = *ps.settings;
    ps.xPage = s.PageWidth * kPlotterUnitsPerMm;
    ps.yPage = s.PageHeight * kPlotterUnitsPerMm;
    if (ps.xPage > 32767 || ps.yPage > 32767) {
      ps.xPage = s.PageWidth * kLargePageUnitsPerMm;
      ps.yPage = s.PageHeight * kLargePageUnitsPerMm;
      // Half the configured scale; a second IN leaves it halved once.
      ps.settings->ScalePercent = 50.0f;
    }
    if (!ps.fInitialized) {
      ps.xMin = ps.xPage;
      ps.yMin = ps.yPage;
      ps.xMax = -ps.xPage;
      ps.yMax = -ps.yPage;
    }
    ps.xP1 = ps.yP1 = 0;
    ps.xP2 = ps.xPage;
    ps.yP2 = ps.yPage;
    ps.dxP1P2 = std::abs(ps.xPage);
    ps.dyP1P2 = std::abs(ps.yPage);
    ps.xPen = ps.yPen = 0;
    ps.fPenDown = 0;
    ps.nRotation = 0;
    ps.bMode &= ~WIDTH_RELATIVE;
    ps.nWidthOverride = 0;
  }

  ps.bMode &= ~RELATIVE;
  ps.nLabelAngle = 0;
  ps.nLabelDirection = 0;
  ps.iLineType = 0;
  ps.nLineType = 0;
  ps.dPatternLength = 4;
  ps.fPatternAbsolute = 0;
  ps.dPenWidth = 0.3;
  std::fill(std::begin(ps.dPenWidths), std::end(ps.dPenWidths), ps.dPenWidth);
  if (ps.hdcMeta) ps.hdcMeta->SelectClipRgnNone();
  ResetWindow(ps);

  ps.dRelCharW = 0.75;
  ps.dRelCharH = 1.5;
  ps.cxChar = Trunc32(ps.dxP1P2 * 0.75 / 100);
  ps.cyChar = Trunc32(ps.dyP1P2 * 1.5 / 100);
  MakeInitialFont(ps);

  ps.chSymbol = 0;
  ps.bMode &= ~(SCALED | ITALIC);
  ps.iFillType = 0;
  ps.dShading = 100;
  ps.nFontAttr = 0;
  ps.nSymbolSet = 0;
  ps.nStrokeWeight = 0;
  ps.nLabelPath = 0;
  ps.fLineReverse = 0;
  ps.dTickLen = 0.5;
  ps.nLabelOrigin = 1;
  ps.nPens = 16;
  ps.dSpaceFactor = ps.dLineFactor = 1.0;
  ps.chTerminator = ETX;
  ps.showTerminator = 0;
  ps.fInitialized = 1;
  ps.nExecuted++;
}

void DoBP(uint16_t, const char*, PlotterState& ps) { DoIN(Mnemonic('I', 'N'), "", ps); }

void DoIP(uint16_t mnemonic, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 4);
  const Arg* a = ps.pArgs;
  bool relative = SecondChar(mnemonic) == 'R';
  if (n == 0) {
    ps.xP1 = ps.yP1 = 0;
    ps.xP2 = ps.xPage;
    ps.yP2 = ps.yPage;
    ps.dxP1P2 = std::abs(ps.xP2);
    ps.dyP1P2 = std::abs(ps.yP2);
    ps.nExecuted++;
    return;
  }
  if (n != 2 && n != 4) {
    LogParamError("2 or 4", text, ps);
    ps.nErrors++;
    return;
  }
  int64_t x1, y1, x2, y2;
  if (relative) {
    x1 = Trunc32(ps.xPage * a[0].d / 100);
    y1 = Trunc32(ps.yPage * a[1].d / 100);
    if (n == 4) {
      x2 = Trunc32(ps.xPage * a[2].d / 100);
      y2 = Trunc32(ps.yPage * a[3].d / 100);
    } else {
      x2 = x1 + ps.dxP1P2;
      y2 = y1 + ps.dyP1P2;
    }
  } else {
    x1 = a[0].l;
    y1 = a[1].l;
    x2 = n == 4 ? int64_t{a[2].l} : x1 + ps.dxP1P2;
    y2 = n == 4 ? int64_t{a[3].l} : y1 + ps.dyP1P2;
  }
  if (!relative && ps.settings->Has(Normalize)) {
    x2 = std::abs(x2 - x1);
    y2 = std::abs(y2 - y1);
    x1 = y1 = 0;
  }
  ps.xP1 = Sat32(x1);
  ps.yP1 = Sat32(y1);
  ps.xP2 = Sat32(x2);
  ps.yP2 = Sat32(y2);
  ps.dxP1P2 = Sat32(std::abs(int64_t{ps.xP2} - ps.xP1));
  ps.dyP1P2 = Sat32(std::abs(int64_t{ps.yP2} - ps.yP1));
  ps.nExecuted++;
  if (!ps.MeasureOnly()) NewFont(ps, !(ps.bMode & REL_CHAR_SIZE));
}

void DoSC(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 5);
  const Arg* a = ps.pArgs;
  if (n == 0) {
    ps.bMode &= ~SCALED;
    ps.nExecuted++;
    return;
  }
  if (n != 4 && n != 5) {
    LogParamError("4 or 5", text, ps);
    ps.nErrors++;
    return;
  }
  ps.dUserXMin = a[0].d;
  ps.dUserXMax = a[1].d;
  ps.dUserYMin = a[2].d;
  ps.dUserYMax = a[3].d;
  ps.bMode |= SCALED;
  if (n == 5 && a[4].l != 0) {
    if (a[4].l == 2) ps.bMode &= ~SCALED;
    ps.log->Warning("Warning: SC (Scale) Types 1 and 2 are not yet fully implemented\n");
  }
  ps.nExecuted++;
}

void DoIW(uint16_t, const char* text, PlotterState& ps) {
  Arg a[4];
  int n = GetArgs(text, a, 4, ps.offCommand, ps.log);
  if (n == 0) {
    if (ps.hdcMeta) ps.hdcMeta->SelectClipRgnNone();
    ResetWindow(ps);
    ps.nExecuted++;
    return;
  }
  if (n != 4) {
    LogParamError("4", text, ps);
    ps.nErrors++;
    return;
  }
  // Order the corners, take them to plotter units, and order them again:
  // rotation may have swapped them.
  Arg lo[2] = {a[0].d <= a[2].d ? a[0] : a[2], a[1].d <= a[3].d ? a[1] : a[3]};
  Arg hi[2] = {a[0].d <= a[2].d ? a[2] : a[0], a[1].d <= a[3].d ? a[3] : a[1]};
  gdi::Point c1 = ScaleUnits(ps, lo[0], lo[1], false);
  gdi::Point c2 = ScaleUnits(ps, hi[0], hi[1], false);
  RotateAll(ps, c1);
  RotateAll(ps, c2);
  RelativeUnits(ps, c1, false);
  RelativeUnits(ps, c2, false);
  gdi::Rect rc{std::min(c1.x, c2.x), std::min(c1.y, c2.y), std::max(c1.x, c2.x), std::max(c1.y, c2.y)};
  if (ps.hdcMeta) {
    ps.hdcMeta->SelectClipRgnNone();
    ps.hdcMeta->IntersectClipRect(ScaleCoord(ps, rc.left), ScaleCoord(ps, rc.top),
                                  ScaleCoord(ps, rc.right), ScaleCoord(ps, rc.bottom));
  }
  ps.rcWindow = rc;
  ps.fWindow = 1;
  ps.nExecuted++;
}

void DoRO(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 1);
  if (n == 0) {
    ps.nRotation = 0;
  } else {
    unsigned angle = static_cast<uint16_t>(ps.pArgs[0].l);
    ps.nRotation = static_cast<uint16_t>(((angle + 45) / 90 % 4) * 90);
  }
  ps.nExecuted++;
}

void DoPS(uint16_t, const char* text, PlotterState& ps) {
  static const int32_t kPresets[5][2] = {
      {47520, 33600}, {33600, 23760}, {23760, 16800}, {16800, 11880}, {11880, 8400}};
  int n = GetArgs(text, ps, 2);
  const Arg* a = ps.pArgs;
  int32_t w = ps.settings->PageWidth * kPlotterUnitsPerMm, h = ps.settings->PageHeight * kPlotterUnitsPerMm;
  if (n == 1) {
    if (a[0].l < 0) {
      LogParamError("2", text, ps);
      ps.nIgnored++;
      return;
    }
    if (a[0].l <= 4) {
      w = kPresets[a[0].l][0];
      h = kPresets[a[0].l][1];
    } else {
      w = a[0].l;
    }
  } else if (n == 2) {
    w = a[0].l;
    h = a[1].l;
  }
  if (w <= 0 || h <= 0) {
    LogParamError("2 *positive*", text, ps);
    ps.nIgnored++;
    return;
  }
  ps.xPage = w;
  ps.yPage = h;
  ResetWindow(ps);
  ps.nExecuted++;
}

}  // namespace tsl
