// Path building that hostile metafiles cannot break: cairo keeps path
// coordinates in 24.8 fixed point, and device coordinates beyond about
// 8 million wrap around and crash it. Points are clamped to a range far
// outside any surface we draw on, which changes nothing a real picture
// shows.
#pragma once
#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace tsl {

constexpr double kCairoSafeLimit = 4194304.0;  // 2^22 device units

inline double ClampSafe(double v) {
  return std::isfinite(v) ? std::clamp(v, -kCairoSafeLimit, kCairoSafeLimit) : 0.0;
}

// Brings a user-space point within the safe device range.
inline void ClampToDevice(cairo_t* cr, double* x, double* y) {
  double dx = *x, dy = *y;
  cairo_user_to_device(cr, &dx, &dy);
  if (std::isfinite(dx) && std::isfinite(dy) && std::fabs(dx) <= kCairoSafeLimit &&
      std::fabs(dy) <= kCairoSafeLimit)
    return;
  dx = ClampSafe(dx);
  dy = ClampSafe(dy);
  cairo_device_to_user(cr, &dx, &dy);
  *x = std::isfinite(dx) ? dx : 0;
  *y = std::isfinite(dy) ? dy : 0;
}

inline void SafeMoveTo(cairo_t* cr, double x, double y) {
  ClampToDevice(cr, &x, &y);
  cairo_move_to(cr, x, y);
}
inline void SafeLineTo(cairo_t* cr, double x, double y) {
  ClampToDevice(cr, &x, &y);
  cairo_line_to(cr, x, y);
}
inline void SafeCurveTo(cairo_t* cr, double x1, double y1, double x2, double y2, double x3, double y3) {
  ClampToDevice(cr, &x1, &y1);
  ClampToDevice(cr, &x2, &y2);
  ClampToDevice(cr, &x3, &y3);
  cairo_curve_to(cr, x1, y1, x2, y2, x3, y3);
}
inline void SafeRectangle(cairo_t* cr, double x, double y, double w, double h) {
  SafeMoveTo(cr, x, y);
  SafeLineTo(cr, x + w, y);
  SafeLineTo(cr, x + w, y + h);
  SafeLineTo(cr, x, y + h);
  cairo_close_path(cr);
}

// The radius shrinks so that the whole circle stays within the safe range.
inline double SafeArcRadius(cairo_t* cr, double* xc, double* yc, double radius) {
  ClampToDevice(cr, xc, yc);
  double ux = radius, uy = 0, vx = 0, vy = radius;
  cairo_user_to_device_distance(cr, &ux, &uy);
  cairo_user_to_device_distance(cr, &vx, &vy);
  double device = std::max(std::hypot(ux, uy), std::hypot(vx, vy));
  if (!std::isfinite(device) || !std::isfinite(radius)) return 0;
  return device > kCairoSafeLimit ? radius * (kCairoSafeLimit / device) : radius;
}
inline void SafeArc(cairo_t* cr, double xc, double yc, double radius, double a1, double a2) {
  radius = SafeArcRadius(cr, &xc, &yc, radius);
  if (std::isfinite(a1) && std::isfinite(a2)) cairo_arc(cr, xc, yc, radius, a1, a2);
}
inline void SafeArcNegative(cairo_t* cr, double xc, double yc, double radius, double a1, double a2) {
  radius = SafeArcRadius(cr, &xc, &yc, radius);
  if (std::isfinite(a1) && std::isfinite(a2)) cairo_arc_negative(cr, xc, yc, radius, a1, a2);
}

}  // namespace tsl
