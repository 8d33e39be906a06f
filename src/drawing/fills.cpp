// Fill type (FT), pattern anchor (AC) and the fill brush.
#include "drawing/fills.h"

#include <cmath>

#include "drawing/chords.h"
#include "interpreter/output_routines.h"
#include "interpreter/args.h"
#include "interpreter/conversion_log.h"
#include "interpreter/gdi_helpers.h"
#include "interpreter/handlers.h"
#include "interpreter/transform.h"

namespace tsl {

namespace {
constexpr uint8_t kShading = 10;

// The pen's colour tinted towards white: at 100 per cent the colour
// itself, at 0 white.
gdi::COLORREF Shaded(gdi::COLORREF c, double level) {
  double k = level / 100;
  auto tint = [k](unsigned v) { return static_cast<unsigned>(std::lround(255 - (255 - static_cast<int>(v)) * k)); };
  return gdi::RGB(tint(gdi::GetRValue(c)), tint(gdi::GetGValue(c)), tint(gdi::GetBValue(c)));
}
}  // namespace

void ReplaceFillBrush(PlotterState& ps) {
  DeleteGdiObject(ps, ps.hbrFill);
  ps.hbrFill = 0;
  gdi::COLORREF color = PenColor(ps);
  switch (ps.iFillType) {
    case kShading:
      ps.hbrFill = ps.objects->CreateSolidBrush(Shaded(color, ps.dShading));
      break;
    case 3:
      ps.hbrFill = ps.objects->CreateHatchBrush(gdi::HS_HORIZONTAL, color);
      break;
    case 4:
      ps.hbrFill = ps.objects->CreateHatchBrush(gdi::HS_DIAGCROSS, color);
      break;
    default:
      ps.hbrFill = ps.objects->CreateSolidBrush(color);
      break;
  }
}

FillBrushSelection::FillBrushSelection(gdi::Device* dc, gdi::Handle brush) {
  if (!dc || !brush) return;
  old_ = dc->SelectObject(brush);
  if (old_) dc_ = dc;
}

FillBrushSelection::~FillBrushSelection() {
  if (dc_) dc_->SelectObject(old_);
}

int RecordPolyFillMode(PlotterState& ps, gdi::Device& dc, int mode) {
  int old = ps.iPolyFillMode ? ps.iPolyFillMode : gdi::ALTERNATE;
  dc.SetPolyFillMode(mode);
  ps.iPolyFillMode = mode;
  return old;
}

void DoFT(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 3);
  if (n == 0) {
    ps.iFillType = 1;
    ps.nExecuted++;
  } else {
    int32_t type = ps.pArgs[0].l;
    if (type == kShading) {
      // FT10,level: the pen's colour at that level; without a level the
      // last one given.
      if (n >= 2) {
        double level = ps.pArgs[1].d;
        ps.dShading = !(level > 0) ? 0 : level > 100 ? 100 : level;
      }
      ps.iFillType = kShading;
      ps.nExecuted++;
    } else if (type >= 0 && type <= 4) {
      ps.iFillType = static_cast<uint8_t>(type);
      ps.nExecuted++;
    } else {
      ps.log->Error("Error: Expecting a value between 1 .. 4: '%s' at offset 0x%lx\n", text,
                   static_cast<unsigned long>(ps.offCommand));
      ps.nErrors++;
      ps.iFillType = 0;
    }
  }
  ReplaceFillBrush(ps);
}

void DoAC(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 2);
  gdi::Point anchor;
  if (n == 2) {
    anchor = Units(ps, ps.pArgs[0], ps.pArgs[1]);
  } else if (n != 0) {
    LogParamError("2", text, ps);
    ps.nErrors++;
    return;
  }
  // Unscaled: the pattern anchor stays in plotter units.
  if (gdi::Device* dc = DrawingDevice(ps)) dc->SetBrushOrgEx(anchor.x, anchor.y);
  ps.nExecuted++;
}

}  // namespace tsl
