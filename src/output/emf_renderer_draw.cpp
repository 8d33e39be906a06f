// Lines, curves, shapes, paths, pixels, bitmaps and regions.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "output/dib.h"
#include "output/emf_renderer.h"
#include "output/cairo_safe.h"
#include "output/record_fields.h"

namespace tsl {

using namespace gdi;

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr int R2_BLACK = 1, R2_NOP = 11, R2_WHITE = 16;
enum : uint8_t { PT_CLOSEFIGURE = 1, PT_LINETO = 2, PT_BEZIERTO = 4, PT_MOVETO = 6 };


// The 8 x 8 hatch bitmaps: true where the hatch line is. GDI draws the
// horizontal line in row 3 and the vertical one in column 4 of the cell.
bool HatchPixel(uint32_t hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL: return y == 3;
    case HS_VERTICAL: return x == 4;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x == 7 - y;
    case HS_CROSS: return y == 3 || x == 4;
    case HS_DIAGCROSS: return x == y || x == 7 - y;
    default: return false;
  }
}
}  // namespace

bool EmfRenderer::PenVisible() const { return dc_.pen.style != PS_NULL && dc_.rop2 != R2_NOP; }

void EmfRenderer::SetSourceColor(COLORREF c) {
  if (dc_.rop2 == R2_BLACK) c = 0;
  if (dc_.rop2 == R2_WHITE) c = 0xFFFFFF;
  cairo_set_source_rgb(cr_, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

bool EmfRenderer::SetSourceBrush(const Brush& b) {
  if (b.style == BS_NULL || dc_.rop2 == R2_NOP) return false;
  if (b.style == BS_SOLID && !b.pattern) {
    SetSourceColor(b.color);
    return true;
  }
  SurfacePtr tile = b.pattern;
  if (!tile) {
    tile.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8), cairo_surface_destroy);
    if (cairo_surface_status(tile.get()) != CAIRO_STATUS_SUCCESS) return false;
    cairo_surface_flush(tile.get());
    unsigned char* data = cairo_image_surface_get_data(tile.get());
    int stride = cairo_image_surface_get_stride(tile.get());
    auto argb = [](COLORREF c) {
      return 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    };
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        reinterpret_cast<uint32_t*>(data + y * stride)[x] =
            HatchPixel(b.hatch, x, y) ? argb(b.color) : dc_.bkMode == OPAQUE ? argb(dc_.bkColor) : 0;
    cairo_surface_mark_dirty(tile.get());
  }
  cairo_pattern_t* pat = cairo_pattern_create_for_surface(tile.get());
  cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pat, CAIRO_FILTER_NEAREST);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, -dc_.brushOrgX, -dc_.brushOrgY);
  cairo_pattern_set_matrix(pat, &m);
  cairo_set_source(cr_, pat);
  cairo_pattern_destroy(pat);
  return true;
}

bool EmfRenderer::BrushFor(uint32_t handle, Brush* b) {
  DcState keep = dc_;
  Select(handle);
  *b = dc_.brush;
  dc_ = keep;
  return true;
}

EmfRenderer::Stroke EmfRenderer::StrokeFor() {
  Stroke st;
  st.pen = dc_.pen;
  Pen& p = st.pen;
  double scale = LinearScaleX();
  double width = p.geometric ? p.width * scale : options_.cosmeticWidth;
  if (p.plain && p.geometric) {
    // GDI draws a CreatePen pen that comes out one pixel wide or less as a
    // cosmetic pen, dashes in pixels and all; a wider one it draws solid
    // even when it was made dashed, and as wide as it measures on the
    // device in whole pixels.
    width = PenDeviceWidth(p.width);
    if (width <= options_.cosmeticWidth) {
      p.geometric = false;
      width = options_.cosmeticWidth;
    } else if (p.style >= PS_DASH && p.style <= PS_DASHDOTDOT) {
      p.style = PS_SOLID;
    }
  }
  if (width < options_.minLineWidth) width = options_.minLineWidth;
  st.width = width;
  // A line one pixel wide on a bitmap is drawn pixel by pixel, as GDI
  // draws it: one pixel for each step along its longer axis.
  st.onePixel = options_.pixelCentres && !options_.antialias && width <= 1;
  // Dashes of geometric pens scale with the width; those of cosmetic pens
  // are counted in pixels.
  double u = p.geometric ? width : options_.cosmeticWidth;
  std::vector<double>& dashes = st.dashes;
  switch (p.style) {
    case PS_DASH: dashes = p.geometric ? std::vector<double>{3, 1} : std::vector<double>{18, 6}; break;
    case PS_DOT: dashes = p.geometric ? std::vector<double>{1, 1} : std::vector<double>{3, 3}; break;
    case PS_DASHDOT: dashes = p.geometric ? std::vector<double>{3, 1, 1, 1} : std::vector<double>{9, 6, 3, 6}; break;
    case PS_DASHDOTDOT:
      dashes = p.geometric ? std::vector<double>{3, 1, 1, 1, 1, 1} : std::vector<double>{9, 3, 3, 3, 3, 3};
      break;
    case 8: dashes = {1, 1}; break;  // PS_ALTERNATE
    default: break;
  }
  for (double& d : dashes) d *= u;
  if (p.style == 7)  // PS_USERSTYLE, in logical units or pixels
    for (double d : p.user) dashes.push_back(p.geometric ? d * scale : d * options_.cosmeticWidth);
  bool any = false;
  for (double d : dashes) any = any || d > 0;
  if (!any || dashes.size() % 2) dashes.clear();
  return st;
}

void EmfRenderer::SetStroke(const Stroke& st) {
  const Pen& p = st.pen;
  cairo_set_line_width(cr_, st.width);
  cairo_line_cap_t cap = p.endCap == 0x100 ? CAIRO_LINE_CAP_SQUARE
                         : p.endCap == 0x200 ? CAIRO_LINE_CAP_BUTT
                                             : CAIRO_LINE_CAP_ROUND;
  cairo_line_join_t join = p.join == 0x1000 ? CAIRO_LINE_JOIN_BEVEL
                           : p.join == 0x2000 ? CAIRO_LINE_JOIN_MITER
                                              : CAIRO_LINE_JOIN_ROUND;
  if (!p.geometric) {
    cap = CAIRO_LINE_CAP_BUTT;
    join = CAIRO_LINE_JOIN_MITER;
  }
  cairo_set_line_cap(cr_, cap);
  cairo_set_line_join(cr_, join);
  cairo_set_miter_limit(cr_, dc_.miterLimit);
  SetSourceColor(p.color);
  if (!st.dashes.empty())
    cairo_set_dash(cr_, st.dashes.data(), static_cast<int>(st.dashes.size()), 0);
  else
    cairo_set_dash(cr_, nullptr, 0, 0);
}

void EmfRenderer::StrokeCurrent() {
  if (!PenVisible()) {
    cairo_new_path(cr_);
    return;
  }
  const Stroke st = StrokeFor();
  UseDevice();
  // An odd width is centred on a pixel, an even one between two, as GDI
  // draws them around whole device coordinates; the pixel steps of a
  // one-pixel line start from the pixels themselves.
  if (options_.pixelCentres) SnapCurrentPath(!st.onePixel && std::fmod(std::round(st.width), 2) == 1 ? 0.5 : 0);
  SetStroke(st);
  if (st.onePixel) {
    StrokeOnePixel(st.dashes);
    return;
  }
  cairo_stroke(cr_);
}

void EmfRenderer::SnapCurrentPath(double offset) {
  UseDevice();
  cairo_path_t* flat = cairo_copy_path_flat(cr_);
  if (!flat || flat->status != CAIRO_STATUS_SUCCESS) {
    if (flat) cairo_path_destroy(flat);
    return;
  }
  for (int i = 0; i < flat->num_data; i += flat->data[i].header.length) {
    cairo_path_data_t* d = &flat->data[i];
    if (d->header.type != CAIRO_PATH_MOVE_TO && d->header.type != CAIRO_PATH_LINE_TO) continue;
    d[1].point.x = SnapToPixel(d[1].point.x) + offset;
    d[1].point.y = SnapToPixel(d[1].point.y) + offset;
  }
  cairo_new_path(cr_);
  cairo_append_path(cr_, flat);
  cairo_path_destroy(flat);
}

void EmfRenderer::FillCurrent(bool evenOdd) {
  UseDevice();
  // GDI fills between vertices rounded to whole device coordinates.
  if (options_.pixelCentres) SnapCurrentPath(0);
  if (!SetSourceBrush(dc_.brush)) return;
  cairo_set_fill_rule(cr_, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  cairo_fill_preserve(cr_);
}

void EmfRenderer::BeginShape() {
  if (!inPath_) {
    UseDevice();
    cairo_new_path(cr_);
  }
  UseLogical();
}

void EmfRenderer::FinishShape(bool fill, bool stroke) {
  if (inPath_) return;  // the figure stays in the path
  if (fill) FillCurrent(dc_.polyFillMode == ALTERNATE);
  if (stroke)
    StrokeCurrent();
  UseDevice();
  cairo_new_path(cr_);
}

void EmfRenderer::EnsureAt(Pt p) {
  // cairo keeps path points in fixed point: compare on the output, where
  // its rounding is a few thousandths of a unit.
  if (cairo_has_current_point(cr_)) {
    UseDevice();
    double x, y;
    cairo_get_current_point(cr_, &x, &y);
    Pt d = ToDevice(p.x, p.y);
    UseLogical();
    if (std::fabs(x - d.x) < 0.01 && std::fabs(y - d.y) < 0.01) return;
  }
  UseLogical();
  SafeMoveTo(cr_, p.x, p.y);
}

bool EmfRenderer::ReadPoints(const EmfRecord& r, size_t countOff, size_t ptsOff, bool small,
                             std::vector<Pt>* pts) {
  uint32_t count = 0;
  if (!r.U32(countOff, &count) || ptsOff > r.size) return false;
  size_t each = small ? 4 : 8;
  if (count > (r.size - ptsOff) / each) return false;
  pts->resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    size_t at = ptsOff + each * i;
    if (small) {
      int16_t x = 0, y = 0;
      r.I16(at, &x);
      r.I16(at + 2, &y);
      (*pts)[i] = {static_cast<double>(x), static_cast<double>(y)};
    } else {
      (*pts)[i] = {static_cast<double>(I32(r, at)), static_cast<double>(I32(r, at + 4))};
    }
  }
  return true;
}

void EmfRenderer::PolyRecord(uint32_t type, const std::vector<Pt>& pts) {
  if (pts.empty()) return;
  switch (type) {
    case EMR_POLYLINE:
    case EMR_POLYLINE16:
      BeginShape();
      SafeMoveTo(cr_, pts[0].x, pts[0].y);
      for (size_t i = 1; i < pts.size(); ++i) SafeLineTo(cr_, pts[i].x, pts[i].y);
      FinishShape(false, true);
      break;
    case EMR_POLYGON:
    case EMR_POLYGON16:
      BeginShape();
      SafeMoveTo(cr_, pts[0].x, pts[0].y);
      for (size_t i = 1; i < pts.size(); ++i) SafeLineTo(cr_, pts[i].x, pts[i].y);
      cairo_close_path(cr_);
      FinishShape(true, true);
      break;
    case EMR_POLYLINETO:
    case EMR_POLYLINETO16:
      BeginShape();
      EnsureAt(dc_.cur);
      for (const Pt& p : pts) SafeLineTo(cr_, p.x, p.y);
      dc_.cur = pts.back();
      FinishShape(false, true);
      break;
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIER16:
      BeginShape();
      SafeMoveTo(cr_, pts[0].x, pts[0].y);
      for (size_t i = 1; i + 2 < pts.size(); i += 3)
        SafeCurveTo(cr_, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x, pts[i + 2].y);
      FinishShape(false, true);
      break;
    case EMR_POLYBEZIERTO:
    case EMR_POLYBEZIERTO16: {
      BeginShape();
      EnsureAt(dc_.cur);
      size_t i = 0;
      for (; i + 2 < pts.size(); i += 3)
        SafeCurveTo(cr_, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x, pts[i + 2].y);
      if (i) dc_.cur = pts[i - 1];
      FinishShape(false, true);
      break;
    }
    default: break;
  }
}

void EmfRenderer::AppendArc(double l, double t, double r, double b, Pt start, Pt end, bool lineToStart,
                            Pt* endPoint) {
  double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
  if (rx <= 0 || ry <= 0) {
    if (endPoint) *endPoint = end;
    return;
  }
  double a1 = std::atan2((start.y - cy) / ry, (start.x - cx) / rx);
  double a2 = std::atan2((end.y - cy) / ry, (end.x - cx) / rx);
  // Counter-clockwise as seen on the output; in logical space that is the
  // rising angle only when the transform turns y upside down.
  bool rising = (dc_.arcDirection != AD_CLOCKWISE) == FlipsY();
  if (rising) {
    while (a2 <= a1) a2 += 2 * kPi;
  } else {
    while (a2 >= a1) a2 -= 2 * kPi;
  }
  UseLogical();
  if (!lineToStart) cairo_new_sub_path(cr_);
  cairo_matrix_t keep;
  cairo_get_matrix(cr_, &keep);
  cairo_translate(cr_, cx, cy);
  cairo_scale(cr_, rx, ry);
  if (rising)
    SafeArc(cr_, 0, 0, 1, a1, a2);
  else
    SafeArcNegative(cr_, 0, 0, 1, a1, a2);
  cairo_set_matrix(cr_, &keep);
  if (endPoint) *endPoint = {cx + rx * std::cos(a2), cy + ry * std::sin(a2)};
}

void EmfRenderer::ArcShape(uint32_t type, const int32_t* v) {
  double l = v[0], t = v[1], r = v[2], b = v[3];
  Pt s{static_cast<double>(v[4]), static_cast<double>(v[5])}, e{static_cast<double>(v[6]), static_cast<double>(v[7])};
  BeginShape();
  switch (type) {
    case EMR_ARC:
      AppendArc(l, t, r, b, s, e, false, nullptr);
      FinishShape(false, true);
      break;
    case EMR_ARCTO: {
      EnsureAt(dc_.cur);
      Pt endPoint;
      AppendArc(l, t, r, b, s, e, true, &endPoint);
      dc_.cur = endPoint;
      FinishShape(false, true);
      break;
    }
    case EMR_CHORD:
      AppendArc(l, t, r, b, s, e, false, nullptr);
      cairo_close_path(cr_);
      FinishShape(true, true);
      break;
    case EMR_PIE:
      SafeMoveTo(cr_, (l + r) / 2, (t + b) / 2);
      AppendArc(l, t, r, b, s, e, true, nullptr);
      cairo_close_path(cr_);
      FinishShape(true, true);
      break;
    default: break;
  }
}

void EmfRenderer::FillDeviceRect(double x, double y, double w, double h, bool logical) {
  const cairo_matrix_t& m = Full();
  if (logical && options_.pixelCentres && m.xy == 0 && m.yx == 0) {
    // GDI rounds the corners to whole pixels and fills from the first up to
    // the second; where the device turns the rectangle over, from one past
    // the second up to and including the first.
    Pt a = ToDevice(x, y), b = ToDevice(x + w, y + h);
    auto span = [this](double from, double to, double* start, double* end) {
      from = SnapToPixel(from);
      to = SnapToPixel(to);
      *start = from <= to ? from : to + 1;
      *end = from <= to ? to : from + 1;
    };
    double l, r, t, btm;
    span(a.x, b.x, &l, &r);
    span(a.y, b.y, &t, &btm);
    UseDevice();
    cairo_new_path(cr_);
    SafeRectangle(cr_, l, t, r - l, btm - t);
    cairo_fill(cr_);
    return;
  }
  if (logical) {
    UseLogical();
  } else {
    UseDevice();
  }
  cairo_new_path(cr_);
  SafeRectangle(cr_, x, y, w, h);
  UseDevice();
  cairo_fill(cr_);
}

bool EmfRenderer::DrawRecord(const EmfRecord& r) {
  std::vector<Pt> pts;
  switch (r.type) {
    case EMR_MOVETOEX:
      dc_.cur = {static_cast<double>(I32(r, 8)), static_cast<double>(I32(r, 12))};
      if (inPath_) {
        UseLogical();
        SafeMoveTo(cr_, dc_.cur.x, dc_.cur.y);
      }
      return true;
    case EMR_LINETO: {
      Pt to{static_cast<double>(I32(r, 8)), static_cast<double>(I32(r, 12))};
      BeginShape();
      EnsureAt(dc_.cur);
      SafeLineTo(cr_, to.x, to.y);
      dc_.cur = to;
      FinishShape(false, true);
      return true;
    }
    case EMR_POLYLINE: case EMR_POLYGON: case EMR_POLYBEZIER: case EMR_POLYLINETO: case EMR_POLYBEZIERTO:
      if (ReadPoints(r, 24, 28, false, &pts)) PolyRecord(r.type, pts);
      return true;
    case EMR_POLYLINE16: case EMR_POLYGON16: case EMR_POLYBEZIER16: case EMR_POLYLINETO16:
    case EMR_POLYBEZIERTO16:
      if (ReadPoints(r, 24, 28, true, &pts)) PolyRecord(r.type, pts);
      return true;
    case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON: case EMR_POLYPOLYLINE16: case EMR_POLYPOLYGON16: {
      bool small = r.type == EMR_POLYPOLYLINE16 || r.type == EMR_POLYPOLYGON16;
      bool polygon = r.type == EMR_POLYPOLYGON || r.type == EMR_POLYPOLYGON16;
      uint32_t nPolys = U32(r, 24);
      if (r.size < 32 || nPolys > (r.size - 32) / 4) return true;
      size_t ptsOff = 32 + 4 * static_cast<size_t>(nPolys);
      // The total count sits at 28; the points follow the counts.
      if (!ReadPoints(r, 28, ptsOff, small, &pts)) return true;
      BeginShape();
      size_t at = 0;
      for (uint32_t i = 0; i < nPolys; ++i) {
        uint32_t n = U32(r, 32 + 4 * i);
        if (n > pts.size() - at) break;
        for (uint32_t k = 0; k < n; ++k) {
          const Pt& p = pts[at + k];
          if (k == 0)
            SafeMoveTo(cr_, p.x, p.y);
          else
            SafeLineTo(cr_, p.x, p.y);
        }
        if (polygon && n) cairo_close_path(cr_);
        at += n;
      }
      FinishShape(polygon, true);
      return true;
    }
    case EMR_POLYDRAW: case EMR_POLYDRAW16: {
      bool small = r.type == EMR_POLYDRAW16;
      if (!ReadPoints(r, 24, 28, small, &pts)) return true;
      size_t typesOff = 28 + pts.size() * (small ? 4 : 8);
      if (pts.size() > r.size - typesOff) return true;
      BeginShape();
      EnsureAt(dc_.cur);
      for (size_t i = 0; i < pts.size(); ++i) {
        uint8_t t = r.data[typesOff + i];
        const Pt& p = pts[i];
        if ((t & ~PT_CLOSEFIGURE) == PT_MOVETO) {
          SafeMoveTo(cr_, p.x, p.y);
        } else if ((t & ~PT_CLOSEFIGURE) == PT_BEZIERTO && i + 2 < pts.size()) {
          SafeCurveTo(cr_, p.x, p.y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x, pts[i + 2].y);
          i += 2;
          t = r.data[typesOff + i];
        } else {
          SafeLineTo(cr_, p.x, p.y);
        }
        if (t & PT_CLOSEFIGURE) cairo_close_path(cr_);
        dc_.cur = pts[i];
      }
      FinishShape(false, true);
      return true;
    }
    case EMR_RECTANGLE: case EMR_ELLIPSE: case EMR_ROUNDRECT: {
      double l = I32(r, 8), t = I32(r, 12), rt = I32(r, 16), b = I32(r, 20);
      BeginShape();
      if (r.type == EMR_RECTANGLE) {
        SafeRectangle(cr_, l, t, rt - l, b - t);
      } else if (r.type == EMR_ELLIPSE) {
        cairo_new_sub_path(cr_);
        cairo_save(cr_);
        cairo_translate(cr_, (l + rt) / 2, (t + b) / 2);
        cairo_scale(cr_, std::fabs(rt - l) / 2 + 1e-9, std::fabs(b - t) / 2 + 1e-9);
        SafeArc(cr_, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr_);
        cairo_close_path(cr_);
      } else {
        double x0 = std::fmin(l, rt), x1 = std::fmax(l, rt), y0 = std::fmin(t, b), y1 = std::fmax(t, b);
        double rx = std::fmin(std::fabs(I32(r, 24)) / 2.0, (x1 - x0) / 2);
        double ry = std::fmin(std::fabs(I32(r, 28)) / 2.0, (y1 - y0) / 2);
        cairo_new_sub_path(cr_);
        auto corner = [this](double cx, double cy, double rx, double ry, double a) {
          cairo_save(cr_);
          cairo_translate(cr_, cx, cy);
          cairo_scale(cr_, rx + 1e-9, ry + 1e-9);
          SafeArc(cr_, 0, 0, 1, a, a + kPi / 2);
          cairo_restore(cr_);
        };
        corner(x1 - rx, y0 + ry, rx, ry, -kPi / 2);
        corner(x1 - rx, y1 - ry, rx, ry, 0);
        corner(x0 + rx, y1 - ry, rx, ry, kPi / 2);
        corner(x0 + rx, y0 + ry, rx, ry, kPi);
        cairo_close_path(cr_);
      }
      FinishShape(true, true);
      return true;
    }
    case EMR_ARC: case EMR_ARCTO: case EMR_CHORD: case EMR_PIE: {
      int32_t v[8];
      for (int i = 0; i < 8; ++i) v[i] = I32(r, 8 + 4 * i);
      ArcShape(r.type, v);
      return true;
    }
    case EMR_ANGLEARC: {
      double x = I32(r, 8), y = I32(r, 12), rad = U32(r, 16);
      float start = 0, sweep = 0;
      if (!r.F32(20, &start) || !r.F32(24, &sweep) || !std::isfinite(start) || !std::isfinite(sweep)) return true;
      double a = start * kPi / 180, e = (static_cast<double>(start) + sweep) * kPi / 180;
      // A hostile radius may take the box beyond the integer range.
      auto clamp = [](double d) {
        return static_cast<int32_t>(std::isnan(d) ? 0 : std::clamp(std::round(d), -2147483648.0, 2147483647.0));
      };
      int32_t v[8] = {clamp(x - rad),
                      clamp(y - rad),
                      clamp(x + rad),
                      clamp(y + rad),
                      clamp(x + rad * std::cos(a)),
                      clamp(y - rad * std::sin(a)),
                      clamp(x + rad * std::cos(e)),
                      clamp(y - rad * std::sin(e))};
      int keep = dc_.arcDirection;
      dc_.arcDirection = sweep >= 0 ? AD_COUNTERCLOCKWISE : AD_CLOCKWISE;
      ArcShape(EMR_ARCTO, v);
      dc_.arcDirection = keep;
      return true;
    }
    case EMR_SETPIXELV: {
      Pt p = ToDevice(I32(r, 8), I32(r, 12));
      if (dc_.rop2 == R2_NOP) return true;
      cairo_path_t* keep = nullptr;
      UseDevice();
      if (inPath_) keep = cairo_copy_path(cr_);
      SetSourceColor(U32(r, 16) & 0xFFFFFF);
      if (options_.pixelCentres)
        FillDeviceRect(std::floor(p.x), std::floor(p.y), 1, 1, false);
      else
        FillDeviceRect(p.x - 0.5, p.y - 0.5, 1, 1, false);
      if (keep) {
        cairo_append_path(cr_, keep);
        cairo_path_destroy(keep);
      }
      return true;
    }
    case EMR_BEGINPATH:
      UseDevice();
      cairo_new_path(cr_);
      inPath_ = true;
      return true;
    case EMR_ENDPATH:
      if (!inPath_) return true;
      inPath_ = false;
      UseDevice();
      if (path_) cairo_path_destroy(path_);
      path_ = cairo_copy_path(cr_);
      havePath_ = true;
      cairo_new_path(cr_);
      return true;
    case EMR_ABORTPATH:
      inPath_ = false;
      havePath_ = false;
      UseDevice();
      cairo_new_path(cr_);
      return true;
    case EMR_CLOSEFIGURE:
      if (inPath_) cairo_close_path(cr_);
      return true;
    case EMR_FLATTENPATH:
    case EMR_WIDENPATH:
      if (havePath_ && path_ && r.type == EMR_FLATTENPATH) {
        UseDevice();
        cairo_new_path(cr_);
        cairo_append_path(cr_, path_);
        cairo_path_destroy(path_);
        path_ = cairo_copy_path_flat(cr_);
        cairo_new_path(cr_);
      }
      return true;
    case EMR_FILLPATH: case EMR_STROKEPATH: case EMR_STROKEANDFILLPATH:
      if (!havePath_ || !path_ || inPath_) return true;
      UseDevice();
      cairo_new_path(cr_);
      cairo_append_path(cr_, path_);
      FinishShape(r.type != EMR_STROKEPATH, r.type != EMR_FILLPATH);
      cairo_path_destroy(path_);
      path_ = nullptr;
      havePath_ = false;
      return true;
    case EMR_BITBLT: case EMR_STRETCHBLT: case EMR_ALPHABLEND: case EMR_TRANSPARENTBLT:
      // Blending and transparent colours are drawn as plain copies.
      BitBlt(r);
      return true;
    case EMR_STRETCHDIBITS: case EMR_SETDIBITSTODEVICE:
      StretchDib(r);
      return true;
    case EMR_FILLRGN: FillRegion(r, 24, 32, 28); return true;
    case EMR_PAINTRGN: FillRegion(r, 24, 28, -1); return true;
    case EMR_EXTTEXTOUTW: TextOut(r, true); return true;
    case EMR_EXTTEXTOUTA: TextOut(r, false); return true;
    default:
      return false;  // not drawn: unknown or not supported
  }
}

}  // namespace tsl
