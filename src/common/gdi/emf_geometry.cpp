#include "common/gdi/emf_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gdi {

namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// floor(num / den) for den > 0.
int64_t FloorDiv(int64_t num, int64_t den) {
  int64_t q = num / den;
  if ((num % den) != 0 && num < 0) --q;
  return q;
}

int32_t Round(int64_t v, int64_t vp, int64_t wnd) {
  // floor(v * vp / wnd + 1/2) without floating point, so every platform
  // maps the same way.
  return Clamp32(FloorDiv(2 * v * vp + wnd, 2 * wnd));
}

int32_t ClampDouble(double v) {
  if (!(v > -2147483648.0)) return std::numeric_limits<int32_t>::min();
  if (!(v < 2147483647.0)) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

}  // namespace

int64_t SaneExtent(int32_t v) { return std::clamp<int64_t>(v, 1, 1 << 20); }

Mapping Mapping::For(int mode, Size device, Size millimetres) {
  Mapping m;
  // Sizes beyond any real screen are cut so that the arithmetic below
  // cannot overflow.
  const int64_t devX = SaneExtent(device.cx), devY = SaneExtent(device.cy);
  const int64_t mmX = SaneExtent(millimetres.cx), mmY = SaneExtent(millimetres.cy);
  // Logical units per millimetre as a fraction num / den.
  int64_t num = 0, den = 1;
  switch (mode) {
    case MM_LOMETRIC: num = 10; break;
    case MM_HIMETRIC: num = 100; break;
    case MM_LOENGLISH: num = 1000, den = 254; break;
    case MM_HIENGLISH: num = 10000, den = 254; break;
    case MM_TWIPS: num = 14400, den = 254; break;
    default: return m;  // MM_TEXT, and the scalable modes at their 1:1 default
  }
  m.wndX = std::max<int64_t>(1, (mmX * num + den / 2) / den);
  m.wndY = std::max<int64_t>(1, (mmY * num + den / 2) / den);
  m.vpX = devX;
  m.vpY = -devY;
  return m;
}

int32_t Mapping::DeviceX(int64_t x) const { return Round(x, vpX, wndX); }
int32_t Mapping::DeviceY(int64_t y) const { return Round(y, vpY, wndY); }

Rect Mapping::ToDevice(const Rect& box) const {
  return Normalised(Rect{DeviceX(box.left), DeviceY(box.top), DeviceX(box.right),
                         DeviceY(box.bottom)});
}

int32_t Mapping::DeviceLength(int64_t d) const {
  if (d <= 0) return 0;
  // Round up so that a visible pen width never vanishes from the bounds.
  const int64_t vp = vpX < 0 ? -vpX : vpX;
  return Clamp32((d * vp + wndX - 1) / wndX);
}

void Bounds::Add(const Rect& r) {
  const Rect n = Normalised(r);
  if (empty_) {
    r_ = n;
    empty_ = false;
    return;
  }
  r_.left = std::min(r_.left, n.left);
  r_.top = std::min(r_.top, n.top);
  r_.right = std::max(r_.right, n.right);
  r_.bottom = std::max(r_.bottom, n.bottom);
}

Rect Bounds::Get() const { return empty_ ? Rect{0, 0, -1, -1} : r_; }

Rect Normalised(const Rect& r) {
  return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
}

Rect PointsBox(const Point* pts, size_t n) {
  Rect r{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
  for (size_t i = 1; i < n; ++i) {
    r.left = std::min(r.left, pts[i].x);
    r.top = std::min(r.top, pts[i].y);
    r.right = std::max(r.right, pts[i].x);
    r.bottom = std::max(r.bottom, pts[i].y);
  }
  return r;
}

namespace {

struct Ellipse {
  double cx, cy, rx, ry;
};

Ellipse EllipseOf(const Rect& box) {
  const Rect b = Normalised(box);
  const double l = b.left, t = b.top, r = b.right, bt = b.bottom;
  return Ellipse{(l + r) / 2, (t + bt) / 2, (r - l) / 2, (bt - t) / 2};
}

// Parametric angle of the ray through p.
double AngleOf(const Ellipse& e, Point p) {
  return std::atan2((p.y - e.cy) / e.ry, (p.x - e.cx) / e.rx);
}

}  // namespace

Point ArcPoint(const Rect& box, Point ray) {
  const Ellipse e = EllipseOf(box);
  if (e.rx <= 0 || e.ry <= 0) return Point{ClampDouble(e.cx), ClampDouble(e.cy)};
  const double t = AngleOf(e, ray);
  return Point{ClampDouble(std::floor(e.cx + e.rx * std::cos(t) + 0.5)),
               ClampDouble(std::floor(e.cy + e.ry * std::sin(t) + 0.5))};
}

Rect ArcExtent(const Rect& box, Point start, Point end, bool increasing) {
  const Rect b = Normalised(box);
  const Rect inclusive{b.left, b.top, static_cast<int32_t>(std::max<int64_t>(b.left, int64_t{b.right} - 1)),
                       static_cast<int32_t>(std::max<int64_t>(b.top, int64_t{b.bottom} - 1))};
  const Ellipse e = EllipseOf(b);
  if (e.rx <= 0 || e.ry <= 0) return inclusive;

  constexpr double kPi = 3.14159265358979323846;
  double from = AngleOf(e, start), to = AngleOf(e, end);
  if (!increasing) std::swap(from, to);
  double sweep = std::fmod(to - from, 2 * kPi);
  if (sweep <= 0) sweep += 2 * kPi;

  double minX = e.cx + e.rx * std::cos(from), maxX = minX;
  double minY = e.cy + e.ry * std::sin(from), maxY = minY;
  auto take = [&](double t) {
    const double x = e.cx + e.rx * std::cos(t), y = e.cy + e.ry * std::sin(t);
    minX = std::min(minX, x), maxX = std::max(maxX, x);
    minY = std::min(minY, y), maxY = std::max(maxY, y);
  };
  take(from + sweep);
  // The axis extremes the arc passes.
  const double firstQuarter = std::ceil(from / (kPi / 2)) * (kPi / 2);
  for (double t = firstQuarter; t < from + sweep; t += kPi / 2) take(t);

  Rect r{ClampDouble(std::floor(minX)), ClampDouble(std::floor(minY)), ClampDouble(std::ceil(maxX)),
         ClampDouble(std::ceil(maxY))};
  r.left = std::clamp(r.left, inclusive.left, inclusive.right);
  r.right = std::clamp(r.right, inclusive.left, inclusive.right);
  r.top = std::clamp(r.top, inclusive.top, inclusive.bottom);
  r.bottom = std::clamp(r.bottom, inclusive.top, inclusive.bottom);
  return r;
}

}  // namespace gdi
