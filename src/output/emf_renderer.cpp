#include "output/emf_renderer.h"

#include "common/gdi/emf_geometry.h"

#include <chrono>
#include <cmath>

namespace tsl {

using namespace gdi;

namespace {
bool Invertible(const cairo_matrix_t& m) {
  double det = m.xx * m.yy - m.xy * m.yx;
  return std::isfinite(det) && std::fabs(det) > 1e-12 && std::isfinite(m.x0) && std::isfinite(m.y0);
}
}  // namespace

namespace {
// Stops playing when the caller cancels or the time runs out; the clock is
// read every few records, which cost microseconds each.
class Watch {
 public:
  explicit Watch(const RenderOptions& o) : options_(o) {
    if (o.timeLimit > 0)
      deadline_ = std::chrono::steady_clock::now() +
                  std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(o.timeLimit));
  }
  bool Stop() {
    if ((options_.cancel && options_.cancel->load()) ||
        (options_.abandon && options_.abandon->load(std::memory_order_relaxed))) {
      result_ = PlayResult::kCancelled;
      return true;
    }
    if (options_.timeLimit > 0 && ++count_ % 256 == 0 && std::chrono::steady_clock::now() > deadline_) {
      result_ = PlayResult::kTimedOut;
      return true;
    }
    return false;
  }
  PlayResult Result() const { return result_; }

 private:
  const RenderOptions& options_;
  std::chrono::steady_clock::time_point deadline_;
  uint32_t count_ = 0;
  PlayResult result_ = PlayResult::kDone;
};
}  // namespace

void PlayEnhMetaFile(cairo_t* cr, const EmfReader& emf, const DestRect& rect, const RenderOptions& options) {
  cairo_save(cr);
  {
    Watch watch(options);
    EmfRenderer renderer(cr, emf.Header(), rect, options);
    for (const EmfRecord& r : emf.Records())
      if (watch.Stop() || !renderer.PlayRecord(r)) break;
    renderer.Flush();
  }
  cairo_restore(cr);
}

PlayResult PlayEnhMetaFile(cairo_t* cr, EmfStreamReader& emf, const DestRect& rect, const RenderOptions& options,
                           std::string* error) {
  PlayResult result = PlayResult::kDone;
  cairo_save(cr);
  {
    Watch watch(options);
    EmfRenderer renderer(cr, emf.Header(), rect, options);
    EmfRecord r;
    for (;;) {
      if (watch.Stop()) {
        result = watch.Result();
        break;
      }
      EmfStreamReader::Step step = emf.Next(&r, error);
      if (step == EmfStreamReader::Step::kFault) {
        result = PlayResult::kDamaged;
        break;
      }
      if (step == EmfStreamReader::Step::kEnd || !renderer.PlayRecord(r)) break;
    }
    renderer.Flush();
  }
  cairo_restore(cr);
  return result;
}

EmfRenderer::EmfRenderer(cairo_t* cr, const EmfHeader& header, const DestRect& rect,
                         const RenderOptions& options)
    : cr_(cr), options_(options), header_(header) {
  // The frame (0.01 mm) in reference-device pixels, mapped onto the
  // destination rectangle.
  double devX = header.szlDevice.cx > 0 ? header.szlDevice.cx : 1;
  double devY = header.szlDevice.cy > 0 ? header.szlDevice.cy : 1;
  double mmX = header.szlMillimeters.cx > 0 ? header.szlMillimeters.cx : 1;
  double mmY = header.szlMillimeters.cy > 0 ? header.szlMillimeters.cy : 1;
  double fl = header.rclFrame.left * devX / (mmX * 100.0);
  double ft = header.rclFrame.top * devY / (mmY * 100.0);
  double fw = (static_cast<double>(header.rclFrame.right) - header.rclFrame.left) * devX / (mmX * 100.0);
  double fh = (static_cast<double>(header.rclFrame.bottom) - header.rclFrame.top) * devY / (mmY * 100.0);
  if (!(std::fabs(fw) >= 1e-6) || !(std::fabs(fh) >= 1e-6)) {
    // No usable frame: fall back on the bounds.
    fl = header.rclBounds.left;
    ft = header.rclBounds.top;
    fw = static_cast<double>(header.rclBounds.right) - header.rclBounds.left + 1;
    fh = static_cast<double>(header.rclBounds.bottom) - header.rclBounds.top + 1;
    if (!(std::fabs(fw) >= 1e-6)) fw = 1;
    if (!(std::fabs(fh) >= 1e-6)) fh = 1;
  }
  double sx = rect.width / fw, sy = rect.height / fh;
  double half = options.pixelCentres ? 0.5 : 0.0;
  cairo_matrix_init(&base_, sx, 0, 0, sy, rect.x - fl * sx + half, rect.y - ft * sy + half);
  if (!Invertible(base_)) cairo_matrix_init_identity(&base_);
  cairo_set_antialias(cr_, options.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  size_t handles = header.nHandles ? header.nHandles : 1;
  objects_.resize(handles);
}

EmfRenderer::~EmfRenderer() {
  if (path_) cairo_path_destroy(path_);
  for (auto& f : faces_) cairo_font_face_destroy(f.face);
}

bool EmfRenderer::PlayRecord(const EmfRecord& r) {
  if (r.type == EMR_EOF) {
    Flush();
    return false;
  }
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) return false;  // nothing more can be drawn
  if (BatchRecord(r)) return true;
  Flush();
  if (!StateRecord(r)) DrawRecord(r);
  return true;
}

// The fixed mapping modes map as the recorder maps them (gdi::Mapping), so
// that a metafile plays where it was recorded, to the pixel.
void EmfRenderer::SetFixedExtents() {
  switch (dc_.mapMode) {
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC: return;  // they keep their extents
    default: break;
  }
  const gdi::Mapping m = gdi::Mapping::For(dc_.mapMode, header_.szlDevice, header_.szlMillimeters);
  dc_.winExtX = static_cast<double>(m.wndX);
  dc_.winExtY = static_cast<double>(m.wndY);
  dc_.vpExtX = static_cast<double>(m.vpX);
  dc_.vpExtY = static_cast<double>(m.vpY);
}

const cairo_matrix_t& EmfRenderer::Full() {
  if (fullValid_) return full_;
  double wx = dc_.winExtX != 0 ? dc_.winExtX : 1, wy = dc_.winExtY != 0 ? dc_.winExtY : 1;
  double sx = dc_.vpExtX / wx, sy = dc_.vpExtY / wy;
  if (dc_.mapMode == MM_ISOTROPIC) {
    // Units are equal on both axes: the larger scale gives way.
    double ax = std::fabs(sx), ay = std::fabs(sy);
    if (ax < ay)
      sy = std::copysign(ax, sy);
    else
      sx = std::copysign(ay, sx);
  }
  cairo_matrix_t page, world, tmp;
  cairo_matrix_init(&page, sx, 0, 0, sy, dc_.vpOrgX - dc_.winOrgX * sx, dc_.vpOrgY - dc_.winOrgY * sy);
  const Xform& w = dc_.world;
  cairo_matrix_init(&world, w.m11, w.m12, w.m21, w.m22, w.dx, w.dy);
  cairo_matrix_multiply(&tmp, &world, &page);
  cairo_matrix_multiply(&full_, &tmp, &base_);
  fullValid_ = true;
  return full_;
}

EmfRenderer::Pt EmfRenderer::ToDevice(double x, double y) {
  const cairo_matrix_t& m = Full();
  cairo_matrix_transform_point(&m, &x, &y);
  return {x, y};
}

void EmfRenderer::UseLogical() {
  const cairo_matrix_t& m = Full();
  if (Invertible(m)) {
    cairo_set_matrix(cr_, &m);
  } else {
    // A collapsed transform draws nothing; a tiny scale keeps cairo sane.
    cairo_matrix_t z;
    cairo_matrix_init(&z, 1e-9, 0, 0, 1e-9, m.x0, m.y0);
    if (!std::isfinite(m.x0) || !std::isfinite(m.y0)) cairo_matrix_init(&z, 1e-9, 0, 0, 1e-9, -1e6, -1e6);
    cairo_set_matrix(cr_, &z);
  }
}

void EmfRenderer::UseDevice() { cairo_identity_matrix(cr_); }

double EmfRenderer::LinearScaleX() {
  const cairo_matrix_t& m = Full();
  double s = std::hypot(m.xx, m.yx);
  return std::isfinite(s) ? s : 0;
}

double EmfRenderer::PenDeviceWidth(int32_t width) {
  if (!options_.pixelCentres) return std::fabs(width * LinearScaleX());
  // As GDI measures it: the pen's width as a logical vector from the
  // origin, both ends rounded to device pixels, the length truncated, at
  // least one pixel.
  Pt a = ToDevice(0, 0), b = ToDevice(width, 0);
  double dx = SnapToPixel(b.x) - SnapToPixel(a.x), dy = SnapToPixel(b.y) - SnapToPixel(a.y);
  double w = std::trunc(std::hypot(dx, dy));
  return std::isfinite(w) && w > 1 ? w : 1;
}

double EmfRenderer::SnapToPixel(double v) const {
  // Full() puts pixel centres on whole numbers plus a half; GDI rounds the
  // unshifted coordinate to the nearest whole pixel.
  return options_.pixelCentres ? std::floor(v) : v;
}

bool EmfRenderer::FlipsY() {
  const cairo_matrix_t& m = Full();
  return m.xx * m.yy - m.xy * m.yx < 0;
}

}  // namespace tsl
