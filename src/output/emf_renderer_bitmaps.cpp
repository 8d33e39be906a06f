// Bitmaps, pattern blits and regions.
#include <cmath>
#include <cstring>

#include "output/dib.h"
#include "output/emf_renderer.h"
#include "output/cairo_safe.h"
#include "output/record_fields.h"

namespace tsl {

using namespace gdi;

namespace {
constexpr uint32_t kBlackness = 0x000042, kWhiteness = 0xFF0062, kDstInvert = 0x550009;

}  // namespace

void EmfRenderer::DrawImage(const uint8_t* bmi, size_t cbBmi, const uint8_t* bits, size_t cbBits, double xDest,
                            double yDest, double cxDest, double cyDest, double xSrc, double ySrc, double cxSrc,
                            double cySrc, bool bottomUpOrigin) {
  SurfacePtr img = DecodeDib(bmi, cbBmi, bits, cbBits);
  if (!img || cxSrc == 0 || cySrc == 0 || cxDest == 0 || cyDest == 0) return;
  if (bottomUpOrigin) {
    int32_t h = 0;
    std::memcpy(&h, bmi + 8, 4);
    if (h > 0) ySrc = h - ySrc - cySrc;
  }
  cairo_path_t* keep = nullptr;
  UseDevice();
  if (inPath_) keep = cairo_copy_path(cr_);
  cairo_new_path(cr_);
  UseLogical();
  cairo_save(cr_);
  cairo_translate(cr_, xDest, yDest);
  cairo_scale(cr_, cxDest / cxSrc, cyDest / cySrc);
  SafeRectangle(cr_, xSrc, ySrc, cxSrc, cySrc);
  cairo_set_source_surface(cr_, img.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr_), options_.antialias ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
  cairo_fill(cr_);
  cairo_restore(cr_);
  UseDevice();
  if (keep) {
    cairo_append_path(cr_, keep);
    cairo_path_destroy(keep);
  }
}

void EmfRenderer::BitBlt(const EmfRecord& r) {
  double x = I32(r, 24), y = I32(r, 28), cx = I32(r, 32), cy = I32(r, 36);
  uint32_t rop = U32(r, 40);
  uint32_t offBmi = U32(r, 84), cbBmi = U32(r, 88), offBits = U32(r, 92), cbBits = U32(r, 96);
  if (cbBmi == 0 || r.size < 100) {
    if (rop == kDstInvert) return;
    cairo_path_t* keep = nullptr;
    UseDevice();
    if (inPath_) keep = cairo_copy_path(cr_);
    bool draw = true;
    // Every other pattern operation is drawn as PATCOPY.
    if (rop == kBlackness || rop == kWhiteness)
      SetSourceColor(rop == kBlackness ? 0 : 0xFFFFFF);
    else
      draw = SetSourceBrush(dc_.brush);
    if (draw) FillDeviceRect(x, y, cx, cy, true);
    if (keep) {
      cairo_new_path(cr_);
      cairo_append_path(cr_, keep);
      cairo_path_destroy(keep);
    }
    return;
  }
  if (offBmi > r.size || cbBmi > r.size - offBmi || offBits > r.size || cbBits > r.size - offBits) return;
  double cxSrc = cx, cySrc = cy;
  if (r.type != EMR_BITBLT && r.size >= 108) {
    cxSrc = I32(r, 100);
    cySrc = I32(r, 104);
  }
  DrawImage(r.data + offBmi, cbBmi, r.data + offBits, cbBits, x, y, cx, cy, I32(r, 44), I32(r, 48), cxSrc,
            cySrc, false);
}

void EmfRenderer::StretchDib(const EmfRecord& r) {
  bool stretch = r.type == EMR_STRETCHDIBITS;
  uint32_t offBmi = U32(r, 48), cbBmi = U32(r, 52), offBits = U32(r, 56), cbBits = U32(r, 60);
  if (r.size < (stretch ? 80u : 76u)) return;
  if (offBmi > r.size || cbBmi > r.size - offBmi || offBits > r.size || cbBits > r.size - offBits || cbBmi < 40)
    return;
  double xSrc = I32(r, 32), ySrc = I32(r, 36), cxSrc = I32(r, 40), cySrc = I32(r, 44);
  double cxDest = stretch ? I32(r, 72) : cxSrc, cyDest = stretch ? I32(r, 76) : cySrc;
  DrawImage(r.data + offBmi, cbBmi, r.data + offBits, cbBits, I32(r, 24), I32(r, 28), cxDest, cyDest, xSrc, ySrc,
            cxSrc, cySrc, true);
}

void EmfRenderer::FillRegion(const EmfRecord& r, size_t cbOff, size_t dataOff, int brushOff) {
  std::vector<std::vector<Pt>> polys;
  if (!RegionRects(r, dataOff, U32(r, cbOff), &polys)) return;
  Brush b = dc_.brush;
  if (brushOff >= 0) BrushFor(U32(r, static_cast<size_t>(brushOff)), &b);
  cairo_path_t* keep = nullptr;
  UseDevice();
  if (inPath_) keep = cairo_copy_path(cr_);
  cairo_new_path(cr_);
  if (SetSourceBrush(b)) {
    for (const auto& poly : polys) {
      SafeMoveTo(cr_, poly[0].x, poly[0].y);
      for (size_t i = 1; i < poly.size(); ++i) SafeLineTo(cr_, poly[i].x, poly[i].y);
      cairo_close_path(cr_);
    }
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr_);
  }
  cairo_new_path(cr_);
  if (keep) {
    cairo_append_path(cr_, keep);
    cairo_path_destroy(keep);
  }
}

}  // namespace tsl
