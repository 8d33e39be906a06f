// Geometry of the recording device context: the logical-to-device mapping
// of a mapping mode on the reference device, the accumulated bounds, and
// the extent of elliptic arcs.
#pragma once
#include <cstddef>
#include <cstdint>

#include "common/gdi/types.h"

namespace gdi {

// GDI's fixed mapping modes: a window extent in logical units matched to a
// viewport extent in device pixels; y grows upward in the metric and
// English modes.
struct Mapping {
  int64_t wndX = 1, wndY = 1;  // always positive
  int64_t vpX = 1, vpY = 1;

  static Mapping For(int mode, Size device, Size millimetres);

  // Logical to device, rounded to the nearest pixel as GDI does.
  int32_t DeviceX(int64_t x) const;
  int32_t DeviceY(int64_t y) const;
  // The normalised device rectangle covering a logical box.
  Rect ToDevice(const Rect& box) const;
  // Logical y grows upward on the device.
  bool YUp() const { return vpY < 0; }
  // Device pixels covering `d` logical units along x (at least 0).
  int32_t DeviceLength(int64_t d) const;
};

// A device or millimetre extent brought into 1 .. 2^20.
int64_t SaneExtent(int32_t v);

// Inclusive rectangles accumulated into one; empty until the first Add.
class Bounds {
 public:
  void Add(const Rect& r);
  // Add for a box already normalised: inline, for the recorder's per-record
  // path.
  void AddNormalised(const Rect& n) {
    if (empty_) {
      r_ = n;
      empty_ = false;
      return;
    }
    if (n.left < r_.left) r_.left = n.left;
    if (n.top < r_.top) r_.top = n.top;
    if (n.right > r_.right) r_.right = n.right;
    if (n.bottom > r_.bottom) r_.bottom = n.bottom;
  }
  void Reset() { empty_ = true; }
  bool Empty() const { return empty_; }
  // (0, 0, -1, -1) when empty, as GDI reports an empty metafile.
  Rect Get() const;

 private:
  bool empty_ = true;
  Rect r_;
};

// A box with left <= right and top <= bottom.
Rect Normalised(const Rect& r);
// Smallest box holding the points (n > 0).
Rect PointsBox(const Point* pts, size_t n);
// `box` grown by `d` on every side, each edge kept within 32 bits.
inline Rect Grown(const Rect& box, int32_t d) {
  auto clamp = [](int64_t v) {
    return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  };
  return Rect{clamp(int64_t{box.left} - d), clamp(int64_t{box.top} - d), clamp(int64_t{box.right} + d),
              clamp(int64_t{box.bottom} + d)};
}

// Where the ray from the centre of the ellipse inscribed in `box` through
// `ray` meets the ellipse (rounded); the centre itself for a degenerate box.
Point ArcPoint(const Rect& box, Point ray);

// The logical extent of the arc of the ellipse inscribed in `box` from the
// ray through `start` to the ray through `end`. `increasing` tells whether
// the arc runs toward increasing angles in logical coordinates. Equal rays
// give the whole ellipse.
Rect ArcExtent(const Rect& box, Point start, Point end, bool increasing);

}  // namespace gdi
