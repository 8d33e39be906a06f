// The label font and the font and character-set commands SD, SS/SA, CS/CA.
#include "labels/fonts.h"

#include <cstdio>
#include <cstring>

#include "interpreter/args.h"
#include "interpreter/gdi_helpers.h"
#include "interpreter/handlers.h"
#include "interpreter/char_grid.h"
#include "labels/roman8.h"

namespace tsl {

void SelectLabelFont(PlotterState& ps) {
  if (ps.MeasureOnly() || !ps.hdcMeta) return;
  SelectReplacing(ps, ps.objects->CreateFontIndirect(ps.settings->Font), &ps.hfontCurrent);
}

namespace {
// lfWeight from the SD stroke weight: 0 is the medium weight a font starts
// with (500, drawn as the regular face), -7 the thinnest (100) and 7 the
// boldest (900); 9999 (automatic) and anything above 7 stay medium.
int32_t FontWeight(int16_t strokeWeight) {
  int s = strokeWeight;
  if (s > 7) return 500;
  if (s < -7) return 100;  // below the thinnest weight there is nothing thinner
  return 500 + s * 400 / 7;
}

// The height of a capital letter per em of the face: a label's height is
// that of its capitals, as on the plotter. The faces a settings set is
// likely to name; others get a middling value.
double CapHeightPerEm(const char* face) {
  static const struct {
    const char* face;
    double ratio;
  } kFaces[] = {{"Courier New", 0.571}, {"Arial", 0.716},           {"Times New Roman", 0.662},
                {"Liberation Mono", 0.659}, {"Liberation Sans", 0.688}, {"Liberation Serif", 0.655}};
  for (const auto& f : kFaces)
    if (std::strcmp(face, f.face) == 0) return f.ratio;
  return 0.66;
}
}  // namespace

int32_t LabelFontHeight(const PlotterState& ps) {
  double ratio = CapHeightPerEm(ps.settings->Font.lfFaceName);
  return Sat32(-int64_t{Trunc32(ps.Scale() * ps.cyChar / ratio)});
}

void NewFont(PlotterState& ps, bool absolute, int count, const Arg* args) {
  bool given = count == 2 && args;
  if (absolute) {
    if (given) {
      ps.dRelCharW = args[0].d;
      ps.dRelCharH = args[1].d;
      ps.cxChar = Trunc32(args[0].d * 400);
      ps.cyChar = Trunc32(args[1].d * 400);
    } else {
      // The plotter's default size, kept as the fixed numbers it is known by.
      ps.dRelCharW = 0.1879;
      ps.dRelCharH = 0.269;
      ps.cxChar = 75;
      ps.cyChar = 107;
    }
  } else {
    ps.dRelCharW = given ? args[0].d : 0.75;
    ps.dRelCharH = given ? args[1].d : 1.5;
    ps.cxChar = Trunc32(ps.dRelCharW * ps.dxP1P2 / 100);
    ps.cyChar = Trunc32(ps.dRelCharH * ps.dyP1P2 / 100);
  }

  gdi::LogFont& lf = ps.settings->Font;
  lf.lfWeight = FontWeight(ps.nStrokeWeight);
  lf.lfItalic = (ps.bMode & ITALIC) ? 0xFF : 0;
  double p = ps.Scale();
  lf.lfHeight = LabelFontHeight(ps);
  lf.lfWidth = Trunc32(p * ps.cxChar);
  // Under the drawing rotation the angle follows the current RO and
  // rotation, from the last DI/DR direction.
  if (ps.settings->Has(Rotate)) ps.nLabelAngle = RotatedLabelAngle(ps, ps.nLabelDirection);
  lf.lfEscapement = lf.lfOrientation = ps.nLabelAngle;
  SelectLabelFont(ps);
}

void DoSD(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, ps.nArgsMax);
  if (n % 2) {
    LogParamError("an even number of", text, ps);
    ps.nErrors++;
    --n;
  }
  bool applied = false, symbolSet = false;
  for (int i = 0; i + 1 < n; i += 2) {
    int32_t kind = ps.pArgs[i].l, value = ps.pArgs[i + 1].l;
    if (kind == 1 && value == kRoman8SymbolSet) {
      ps.nSymbolSet = kRoman8SymbolSet;
      symbolSet = true;
    } else if (kind == 5) {
      ps.bMode = (value & 1) ? (ps.bMode | ITALIC) : (ps.bMode & ~ITALIC);
      applied = true;
    } else if (kind == 6) {
      ps.nStrokeWeight = static_cast<int16_t>(value);
      applied = true;
    } else {
      // Another symbol set: its bytes are drawn as they are again.
      if (kind == 1) ps.nSymbolSet = 0;
      char name[64], pair[40];
      std::snprintf(name, sizeof name, "Define Standard Font (SD) option %d", kind);
      std::snprintf(pair, sizeof pair, "SD%d,%d", kind, value);
      LogNotImplemented(name, pair, ps);
    }
  }
  if (!applied && !symbolSet) {
    ps.nIgnored++;
    return;
  }
  // The symbol set alone leaves the font as it is.
  if (applied) NewFont(ps, !(ps.bMode & REL_CHAR_SIZE));
  ps.nExecuted++;
}

void DoSS(uint16_t m, const char* text, PlotterState& ps) {
  if (SecondChar(m) == 'S') {
    ps.nExecuted++;  // the standard set is the one always in use
    return;
  }
  LogNotImplemented("Alternate Character Set", text, ps);
  ps.nIgnored++;
}

void DoCS(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 1);
  if (n == 0 || ps.pArgs[0].l == 0) {
    ps.nExecuted++;
    return;
  }
  LogNotImplemented("Select Character Set (other than ANSI ASCII)", text, ps);
  ps.nIgnored++;
}

}  // namespace tsl
