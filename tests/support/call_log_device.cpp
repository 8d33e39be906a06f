#include "support/call_log_device.h"

#include <cstdarg>
#include <cstdio>
#include <variant>

namespace tsl::test {

namespace {
std::string Fmt(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}
}  // namespace

std::string CallLogDevice::Joined(const char* sep) const {
  std::string out;
  for (size_t i = 0; i < calls.size(); ++i) {
    if (i) out += sep;
    out += calls[i];
  }
  return out;
}

std::string CallLogDevice::Describe(gdi::Handle h) const {
  if (gdi::IsStock(h)) return Fmt("stock(%u)", h & ~gdi::kStockFlag);
  const gdi::ObjectData* d = objects_.Find(h);
  if (!d) return Fmt("unknown(%u)", h);
  if (auto* p = std::get_if<gdi::LogPen>(d); p && p->extended) {
    std::string dashes;
    for (uint32_t i = 0; i < p->entries; ++i) dashes += (i ? " " : "") + std::to_string(p->dashes[i]);
    return Fmt("extpen(0x%x,%d,#%06x,", p->style, p->width, p->color) + dashes + ")";
  }
  if (auto* p = std::get_if<gdi::LogPen>(d))
    return Fmt("pen(%u,%d,#%06x)", p->style, p->width, p->color);
  if (auto* b = std::get_if<gdi::LogBrush>(d))
    return Fmt("brush(%u,#%06x,%u)", b->style, b->color, b->hatch);
  if (auto* f = std::get_if<gdi::LogFont>(d))
    return Fmt("font(%d,%d,%d,%d,%d,%u,%s)", f->lfHeight, f->lfWidth, f->lfEscapement,
               f->lfOrientation, f->lfWeight, f->lfItalic, f->lfFaceName);
  return "none";
}

std::string CallLogDevice::Points(const gdi::Point* pts, size_t n) const {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += Fmt("%s(%d,%d)", i ? " " : "", pts[i].x, pts[i].y);
  return s;
}

void CallLogDevice::SetMapMode(int m) { Add(Fmt("SetMapMode %d", m)); }
void CallLogDevice::SetGraphicsMode(int m) { Add(Fmt("SetGraphicsMode %d", m)); }
void CallLogDevice::SetBkMode(int m) { Add(Fmt("SetBkMode %d", m)); }
void CallLogDevice::SetTextAlign(uint32_t a) { Add(Fmt("SetTextAlign %u", a)); }
void CallLogDevice::SetTextColor(gdi::COLORREF c) { Add(Fmt("SetTextColor #%06x", c)); }
void CallLogDevice::SetPolyFillMode(int m) { Add(Fmt("SetPolyFillMode %d", m)); }
void CallLogDevice::SetArcDirection(int d) { Add(Fmt("SetArcDirection %d", d)); }
void CallLogDevice::SetBrushOrgEx(int32_t x, int32_t y) { Add(Fmt("SetBrushOrgEx %d,%d", x, y)); }
void CallLogDevice::SelectClipRgnNone() { Add("SelectClipRgn NULL"); }
void CallLogDevice::IntersectClipRect(int32_t l, int32_t t, int32_t r, int32_t b) {
  Add(Fmt("IntersectClipRect %d,%d,%d,%d", l, t, r, b));
}

gdi::Handle CallLogDevice::SelectObject(gdi::Handle h) {
  gdi::ObjectKind kind = gdi::IsStock(h) ? gdi::StockKind(h) : objects_.Kind(h);
  gdi::Handle* slot = kind == gdi::ObjectKind::Pen     ? &pen_
                      : kind == gdi::ObjectKind::Brush ? &brush_
                      : kind == gdi::ObjectKind::Font  ? &font_
                                                       : nullptr;
  if (!slot) {
    Add(Fmt("SelectObject refused %u", h));
    return 0;
  }
  Add("SelectObject " + Describe(h));
  gdi::Handle old = *slot;
  *slot = h;
  return old;
}

bool CallLogDevice::DeleteObject(gdi::Handle h) {
  if (h == pen_ || h == brush_ || h == font_ || gdi::IsStock(h) || !objects_.Find(h)) {
    Add(Fmt("DeleteObject refused %u", h));
    return false;
  }
  Add("DeleteObject " + Describe(h));
  objects_.Remove(h);
  return true;
}

void CallLogDevice::MoveToEx(int32_t x, int32_t y) {
  Add(Fmt("MoveToEx %d,%d", x, y));
  pos_ = {x, y};
}
void CallLogDevice::LineTo(int32_t x, int32_t y) {
  Add(Fmt("LineTo %d,%d", x, y));
  pos_ = {x, y};
}
void CallLogDevice::Polyline(const gdi::Point* p, size_t n) { Add("Polyline " + Points(p, n)); }
void CallLogDevice::PolylineTo(const gdi::Point* p, size_t n) {
  Add("PolylineTo " + Points(p, n));
  if (n) pos_ = p[n - 1];
}
void CallLogDevice::PolyBezierTo(const gdi::Point* p, size_t n) {
  Add("PolyBezierTo " + Points(p, n));
  if (n) pos_ = p[n - 1];
}
void CallLogDevice::Polygon(const gdi::Point* p, size_t n) { Add("Polygon " + Points(p, n)); }
void CallLogDevice::Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys,
                        int32_t xe, int32_t ye) {
  Add(Fmt("Arc %d,%d,%d,%d %d,%d %d,%d", l, t, r, b, xs, ys, xe, ye));
}
void CallLogDevice::ArcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys,
                          int32_t xe, int32_t ye) {
  Add(Fmt("ArcTo %d,%d,%d,%d %d,%d %d,%d", l, t, r, b, xs, ys, xe, ye));
  pos_ = {xe, ye};  // approximately: the end of the arc lies on the ray to (xe, ye)
}
void CallLogDevice::Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys,
                        int32_t xe, int32_t ye) {
  Add(Fmt("Pie %d,%d,%d,%d %d,%d %d,%d", l, t, r, b, xs, ys, xe, ye));
}
void CallLogDevice::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
  Add(Fmt("Rectangle %d,%d,%d,%d", l, t, r, b));
}
void CallLogDevice::FillRect(const gdi::Rect& rc, gdi::Handle brush) {
  Add(Fmt("FillRect %d,%d,%d,%d ", rc.left, rc.top, rc.right, rc.bottom) + Describe(brush));
}
void CallLogDevice::SetPixel(int32_t x, int32_t y, gdi::COLORREF c) {
  Add(Fmt("SetPixel %d,%d #%06x", x, y, c));
}
void CallLogDevice::TextOutA(int32_t x, int32_t y, const char* text, size_t n) {
  Add(Fmt("TextOutA %d,%d \"", x, y) + std::string(text, n) + "\"");
}
void CallLogDevice::BeginPath() { Add("BeginPath"); }
void CallLogDevice::EndPath() { Add("EndPath"); }
void CallLogDevice::CloseFigure() { Add("CloseFigure"); }
void CallLogDevice::StrokePath() { Add("StrokePath"); }
void CallLogDevice::FillPath() { Add("FillPath"); }

}  // namespace tsl::test
