// The gdi headers come first: <windows.h> defines macros (RGB, TRANSPARENT,
// CreateFontIndirect, ...) that would rewrite their declarations.
#include "windows/hdc_device.h"

#include "platform/windows_lean.h"

#include <cstring>

namespace tsl::test {

namespace {
HDC Dc(void* dc) { return static_cast<HDC>(dc); }

std::vector<POINT> ToPoints(const gdi::Point* pts, size_t n) {
  std::vector<POINT> out(n);
  for (size_t i = 0; i < n; ++i) out[i] = POINT{pts[i].x, pts[i].y};
  return out;
}

HGDIOBJ Make(const gdi::ObjectData& data) {
  if (auto* pen = std::get_if<gdi::LogPen>(&data); pen && pen->extended) {
    LOGBRUSH brush{BS_SOLID, pen->color, 0};
    DWORD dashes[16];
    for (uint32_t i = 0; i < pen->entries; ++i) dashes[i] = pen->dashes[i];
    return ::ExtCreatePen(pen->style, static_cast<DWORD>(pen->width), &brush, pen->entries,
                          pen->entries ? dashes : nullptr);
  }
  if (auto* pen = std::get_if<gdi::LogPen>(&data))
    return ::CreatePen(static_cast<int>(pen->style), pen->width, pen->color);
  if (auto* brush = std::get_if<gdi::LogBrush>(&data)) {
    if (brush->style == BS_HATCHED)
      return ::CreateHatchBrush(static_cast<int>(brush->hatch), brush->color);
    if (brush->style == BS_NULL) return ::GetStockObject(NULL_BRUSH);
    return ::CreateSolidBrush(brush->color);
  }
  if (auto* font = std::get_if<gdi::LogFont>(&data)) {
    LOGFONTA lf{};
    lf.lfHeight = font->lfHeight;
    lf.lfWidth = font->lfWidth;
    lf.lfEscapement = font->lfEscapement;
    lf.lfOrientation = font->lfOrientation;
    lf.lfWeight = font->lfWeight;
    lf.lfItalic = font->lfItalic;
    lf.lfUnderline = font->lfUnderline;
    lf.lfStrikeOut = font->lfStrikeOut;
    lf.lfCharSet = font->lfCharSet;
    lf.lfOutPrecision = font->lfOutPrecision;
    lf.lfClipPrecision = font->lfClipPrecision;
    lf.lfQuality = font->lfQuality;
    lf.lfPitchAndFamily = font->lfPitchAndFamily;
    std::memcpy(lf.lfFaceName, font->lfFaceName, sizeof lf.lfFaceName);
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    return ::CreateFontIndirectA(&lf);
  }
  return nullptr;
}
}  // namespace

HdcDevice::HdcDevice(void* dc, const gdi::Objects& objects) : dc_(dc), objects_(objects) {}

HdcDevice::~HdcDevice() {
  for (auto& [handle, obj] : real_) ::DeleteObject(static_cast<HGDIOBJ>(obj));
}

void* HdcDevice::Real(gdi::Handle h) {
  if (gdi::IsStock(h)) return ::GetStockObject(static_cast<int>(h & ~gdi::kStockFlag));
  auto it = real_.find(h);
  if (it != real_.end()) return it->second;
  const gdi::ObjectData* data = objects_.Find(h);
  if (!data) return nullptr;
  HGDIOBJ obj = Make(*data);
  if (obj) real_[h] = obj;
  return obj;
}

gdi::Handle& HdcDevice::SlotOf(gdi::ObjectKind kind) {
  switch (kind) {
    case gdi::ObjectKind::Pen: return pen_;
    case gdi::ObjectKind::Brush: return brush_;
    case gdi::ObjectKind::Font: return font_;
    default: return none_;
  }
}

void HdcDevice::SetMapMode(int mode) { ::SetMapMode(Dc(dc_), mode); }
void HdcDevice::SetGraphicsMode(int mode) { ::SetGraphicsMode(Dc(dc_), mode); }
void HdcDevice::SetBkMode(int mode) { ::SetBkMode(Dc(dc_), mode); }
void HdcDevice::SetTextAlign(uint32_t align) { ::SetTextAlign(Dc(dc_), align); }
void HdcDevice::SetTextColor(gdi::COLORREF color) { ::SetTextColor(Dc(dc_), color); }
void HdcDevice::SetPolyFillMode(int mode) { ::SetPolyFillMode(Dc(dc_), mode); }
void HdcDevice::SetArcDirection(int direction) { ::SetArcDirection(Dc(dc_), direction); }
void HdcDevice::SetBrushOrgEx(int32_t x, int32_t y) { ::SetBrushOrgEx(Dc(dc_), x, y, nullptr); }
void HdcDevice::SelectClipRgnNone() { ::SelectClipRgn(Dc(dc_), nullptr); }
void HdcDevice::IntersectClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  ::IntersectClipRect(Dc(dc_), left, top, right, bottom);
}

gdi::Handle HdcDevice::SelectObject(gdi::Handle h) {
  gdi::ObjectKind kind = objects_.Kind(h);
  if (kind == gdi::ObjectKind::None) return 0;
  void* obj = Real(h);
  if (!obj || !::SelectObject(Dc(dc_), static_cast<HGDIOBJ>(obj))) return 0;
  gdi::Handle& slot = SlotOf(kind);
  gdi::Handle previous = slot;
  slot = h;
  return previous;
}

bool HdcDevice::DeleteObject(gdi::Handle h) {
  if (h == pen_ || h == brush_ || h == font_) return false;
  auto it = real_.find(h);
  if (it == real_.end()) return objects_.Find(h) != nullptr;  // never selected: nothing to delete
  bool ok = ::DeleteObject(static_cast<HGDIOBJ>(it->second)) != 0;
  real_.erase(it);
  return ok;
}

void HdcDevice::MoveToEx(int32_t x, int32_t y) { ::MoveToEx(Dc(dc_), x, y, nullptr); }
void HdcDevice::LineTo(int32_t x, int32_t y) { ::LineTo(Dc(dc_), x, y); }
void HdcDevice::Polyline(const gdi::Point* pts, size_t n) {
  auto p = ToPoints(pts, n);
  ::Polyline(Dc(dc_), p.data(), static_cast<int>(n));
}
void HdcDevice::PolylineTo(const gdi::Point* pts, size_t n) {
  auto p = ToPoints(pts, n);
  ::PolylineTo(Dc(dc_), p.data(), static_cast<DWORD>(n));
}
void HdcDevice::PolyBezierTo(const gdi::Point* pts, size_t n) {
  auto p = ToPoints(pts, n);
  ::PolyBezierTo(Dc(dc_), p.data(), static_cast<DWORD>(n));
}
void HdcDevice::Polygon(const gdi::Point* pts, size_t n) {
  auto p = ToPoints(pts, n);
  ::Polygon(Dc(dc_), p.data(), static_cast<int>(n));
}
void HdcDevice::Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys,
                    int32_t xe, int32_t ye) {
  ::Arc(Dc(dc_), l, t, r, b, xs, ys, xe, ye);
}
void HdcDevice::ArcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys,
                      int32_t xe, int32_t ye) {
  ::ArcTo(Dc(dc_), l, t, r, b, xs, ys, xe, ye);
}
void HdcDevice::Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys,
                    int32_t xe, int32_t ye) {
  ::Pie(Dc(dc_), l, t, r, b, xs, ys, xe, ye);
}
void HdcDevice::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  ::Rectangle(Dc(dc_), left, top, right, bottom);
}
void HdcDevice::FillRect(const gdi::Rect& rc, gdi::Handle brush) {
  RECT r{rc.left, rc.top, rc.right, rc.bottom};
  if (void* obj = Real(brush)) ::FillRect(Dc(dc_), &r, static_cast<HBRUSH>(obj));
}
void HdcDevice::SetPixel(int32_t x, int32_t y, gdi::COLORREF color) {
  ::SetPixelV(Dc(dc_), x, y, color);
}
void HdcDevice::TextOutA(int32_t x, int32_t y, const char* text, size_t n) {
  ::TextOutA(Dc(dc_), x, y, text, static_cast<int>(n));
}
gdi::Point HdcDevice::GetCurrentPositionEx() const {
  POINT p{};
  ::GetCurrentPositionEx(Dc(dc_), &p);
  return gdi::Point{p.x, p.y};
}

void HdcDevice::BeginPath() { ::BeginPath(Dc(dc_)); }
void HdcDevice::EndPath() { ::EndPath(Dc(dc_)); }
void HdcDevice::CloseFigure() { ::CloseFigure(Dc(dc_)); }
void HdcDevice::StrokePath() { ::StrokePath(Dc(dc_)); }
void HdcDevice::FillPath() { ::FillPath(Dc(dc_)); }

std::vector<uint8_t> RecordWithGdi(const std::string& description, const gdi::Objects& objects,
                                   const std::function<void(gdi::Device&)>& scene) {
  std::vector<uint8_t> bytes;
  HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr,
                                description.empty() ? nullptr : description.c_str());
  if (!dc) return bytes;
  HENHMETAFILE emf = nullptr;
  {
    HdcDevice device(dc, objects);
    scene(device);
    // Closed before the device goes, so its objects are no longer selected
    // when it deletes them, and no deselection is recorded.
    emf = ::CloseEnhMetaFile(dc);
  }
  if (!emf) return bytes;
  UINT size = ::GetEnhMetaFileBits(emf, 0, nullptr);
  bytes.resize(size);
  if (size == 0 || ::GetEnhMetaFileBits(emf, size, bytes.data()) != size) bytes.clear();
  ::DeleteEnhMetaFile(emf);
  return bytes;
}

}  // namespace tsl::test
