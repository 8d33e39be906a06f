// Lines one pixel wide on bitmaps, drawn the way GDI draws them: a pixel for
// each step along the longer axis (a stroke of cairo's covers two pixels
// across in some columns of a slanted line), the last pixel of a figure left
// out, and dashes counted in those steps.
#include <cmath>
#include <vector>

#include "output/cairo_safe.h"
#include "output/emf_renderer.h"

namespace tsl {

namespace {

// Pixels gathered into runs along rows and filled through cairo, which
// keeps to any clip.
class PixelRuns {
 public:
  explicit PixelRuns(cairo_t* cr) : cr_(cr) {}
  void Add(double x, double y) {
    if (open_ && y == y_ && x == x1_) {
      ++x1_;
      return;
    }
    Flush();
    open_ = true;
    x0_ = x;
    x1_ = x + 1;
    y_ = y;
    if (++count_ >= 4096) Fill();
  }
  void Fill() {
    Flush();
    if (count_) cairo_fill(cr_);
    count_ = 0;
  }

 private:
  void Flush() {
    if (!open_) return;
    cairo_rectangle(cr_, x0_, y_, x1_ - x0_, 1);
    open_ = false;
  }
  cairo_t* cr_;
  bool open_ = false;
  double x0_ = 0, x1_ = 0, y_ = 0;
  int count_ = 0;
};

// Pixels written straight into the bitmap, inside the clip's box.
class BitmapPixels {
 public:
  BitmapPixels(const EmfRenderer::PixelTarget& t, uint32_t pixel) : t_(t), pixel_(pixel) {}
  // x and y are whole numbers; tested before the conversion, since a point
  // far off the picture (or not a number) has no int.
  void Add(double x, double y) {
    if (!(x >= t_.x0 && x < t_.x1 && y >= t_.y0 && y < t_.y1)) return;
    const size_t ix = static_cast<size_t>(x), iy = static_cast<size_t>(y);
    t_.data[iy * static_cast<size_t>(t_.stride) + ix] = pixel_;
  }

 private:
  const EmfRenderer::PixelTarget& t_;
  uint32_t pixel_;
};

// Where a dash pattern counted in pixel steps stands.
class DashWalk {
 public:
  explicit DashWalk(const std::vector<double>& dashes) {
    for (double d : dashes) steps_.push_back(std::fmax(1.0, std::round(d)));
    if (!steps_.empty()) left_ = steps_[0];
  }
  bool On() const { return steps_.empty() || index_ % 2 == 0; }
  void Step() {
    if (steps_.empty()) return;
    if (--left_ > 0) return;
    index_ = (index_ + 1) % steps_.size();
    left_ = steps_[index_];
  }

 private:
  std::vector<double> steps_;
  size_t index_ = 0;
  double left_ = 0;
};

// Bounds each segment to what a picture can show, so that absurd
// coordinates cost no time.
constexpr double kMaxSteps = 1 << 16;

// Walks the pixels of figures, each segment from its first pixel up to the
// one before its last, the dashes carried from segment to segment.
template <class Sink>
class Walker {
 public:
  using Pt = EmfRenderer::Pt;
  Walker(DashWalk& dash, Sink& sink) : dash_(dash), sink_(sink) {}
  void MoveTo(Pt p) { start_ = at_ = {std::floor(p.x), std::floor(p.y)}; }
  void LineTo(Pt p) { Segment({std::floor(p.x), std::floor(p.y)}); }
  void Close() { Segment(start_); }

 private:
  void Segment(Pt to) {
    double dx = to.x - at_.x, dy = to.y - at_.y;
    double major = std::fmax(std::fabs(dx), std::fabs(dy));
    if (major > kMaxSteps) major = kMaxSteps;  // beyond any picture; only the start is seen
    for (double i = 0; i < major; ++i) {
      if (dash_.On()) sink_.Add(at_.x + std::floor(i * dx / major + 0.5), at_.y + std::floor(i * dy / major + 0.5));
      dash_.Step();
    }
    at_ = to;
  }
  DashWalk& dash_;
  Sink& sink_;
  Pt start_, at_;
};

// A flat cairo path.
template <class Sink>
void Walk(const cairo_path_t* path, DashWalk& dash, Sink& sink) {
  Walker<Sink> w(dash, sink);
  for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
    const cairo_path_data_t* d = &path->data[i];
    switch (d->header.type) {
      case CAIRO_PATH_MOVE_TO: w.MoveTo({d[1].point.x, d[1].point.y}); break;
      case CAIRO_PATH_LINE_TO: w.LineTo({d[1].point.x, d[1].point.y}); break;
      case CAIRO_PATH_CLOSE_PATH: w.Close(); break;
      default: break;  // the path is flat
    }
  }
}

// Open figures given as points and where each begins.
template <class Sink>
void Walk(const EmfRenderer::Figures* figures, DashWalk& dash, Sink& sink) {
  Walker<Sink> w(dash, sink);
  const auto& pts = figures->points;
  const auto& starts = figures->starts;
  for (size_t f = 0; f < starts.size(); ++f) {
    size_t from = starts[f], to = f + 1 < starts.size() ? starts[f + 1] : pts.size();
    if (from >= to) continue;
    w.MoveTo(pts[from]);
    for (size_t i = from + 1; i < to; ++i) w.LineTo(pts[i]);
  }
}

}  // namespace

const EmfRenderer::PixelTarget* EmfRenderer::DirectPixels() {
  if (!pixelTargetKnown_) {
    pixelTargetKnown_ = true;
    pixelTarget_ = PixelTarget{};
    cairo_surface_t* s = cairo_get_target(cr_);
    double ox = 0, oy = 0;
    cairo_surface_get_device_offset(s, &ox, &oy);
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr_);
    bool bitmap = cairo_surface_get_type(s) == CAIRO_SURFACE_TYPE_IMAGE && ox == 0 && oy == 0 &&
                  (cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24 ||
                   cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32);
    if (bitmap && clip && clip->status == CAIRO_STATUS_SUCCESS && clip->num_rectangles == 1) {
      const cairo_rectangle_t& r = clip->rectangles[0];
      // A clip of one box on whole pixels only; anything else goes through
      // cairo.
      if (r.x == std::floor(r.x) && r.y == std::floor(r.y) && r.width == std::floor(r.width) &&
          r.height == std::floor(r.height)) {
        int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
        pixelTarget_.data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
        pixelTarget_.stride = cairo_image_surface_get_stride(s) / 4;
        pixelTarget_.x0 = static_cast<int>(std::fmax(0, r.x));
        pixelTarget_.y0 = static_cast<int>(std::fmax(0, r.y));
        pixelTarget_.x1 = static_cast<int>(std::fmin(w, r.x + r.width));
        pixelTarget_.y1 = static_cast<int>(std::fmin(h, r.y + r.height));
      }
    }
    if (clip) cairo_rectangle_list_destroy(clip);
  }
  return pixelTarget_.data ? &pixelTarget_ : nullptr;
}

void EmfRenderer::StrokeOnePixel(const std::vector<double>& dashes) {
  UseDevice();
  cairo_path_t* path = cairo_copy_path_flat(cr_);
  cairo_new_path(cr_);
  if (!path || path->status != CAIRO_STATUS_SUCCESS) {
    if (path) cairo_path_destroy(path);
    return;
  }
  DrawPixels(*path, dashes);
  cairo_path_destroy(path);
}

const EmfRenderer::PixelTarget* EmfRenderer::DirectSource(uint32_t* pixel) {
  // A plain colour goes straight into a bitmap clipped to a box at most;
  // anything else through cairo.
  double r = 0, g = 0, b = 0, a = 0;
  if (cairo_pattern_get_rgba(cairo_get_source(cr_), &r, &g, &b, &a) != CAIRO_STATUS_SUCCESS || a != 1) return nullptr;
  auto channel = [](double v) { return static_cast<uint32_t>(std::lround(v * 255)); };
  *pixel = 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
  return DirectPixels();
}

template <class Shape>
void EmfRenderer::DrawPixels(const Shape& shape, const std::vector<double>& dashes) {
  DashWalk dash(dashes);
  uint32_t pixel = 0;
  if (const PixelTarget* direct = DirectSource(&pixel)) {
    cairo_surface_t* target = cairo_get_target(cr_);
    cairo_surface_flush(target);
    BitmapPixels pixels(*direct, pixel);
    Walk(&shape, dash, pixels);
    cairo_surface_mark_dirty(target);
  } else {
    PixelRuns runs(cr_);
    Walk(&shape, dash, runs);
    runs.Fill();
  }
}

void EmfRenderer::StrokeOnePixel(const Figures& figures) { DrawPixels(figures, {}); }

void EmfRenderer::FillPixels(const std::vector<Pt>& pixels) {
  uint32_t pixel = 0;
  if (const PixelTarget* direct = DirectSource(&pixel)) {
    cairo_surface_t* target = cairo_get_target(cr_);
    cairo_surface_flush(target);
    BitmapPixels sink(*direct, pixel);
    for (const Pt& p : pixels) sink.Add(std::floor(p.x), std::floor(p.y));
    cairo_surface_mark_dirty(target);
    return;
  }
  UseDevice();
  cairo_new_path(cr_);
  for (const Pt& p : pixels) SafeRectangle(cr_, std::floor(p.x), std::floor(p.y), 1, 1);
  cairo_fill(cr_);
}

}  // namespace tsl
