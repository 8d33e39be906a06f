// gdi::Device over a real Windows device context, so that the same calls
// that drive EmfRecorder can be recorded by GDI itself and compared.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/gdi/device.h"
#include "common/gdi/objects.h"

namespace tsl::test {

class HdcDevice : public gdi::Device {
 public:
  // `dc` is an HDC; the real GDI objects are made from `objects` on first
  // selection and deleted with the device, which must therefore outlive
  // neither the DC's use of them: destroy it after the DC is closed.
  HdcDevice(void* dc, const gdi::Objects& objects);
  ~HdcDevice() override;
  HdcDevice(const HdcDevice&) = delete;
  HdcDevice& operator=(const HdcDevice&) = delete;

  void SetMapMode(int mode) override;
  void SetGraphicsMode(int mode) override;
  void SetBkMode(int mode) override;
  void SetTextAlign(uint32_t align) override;
  void SetTextColor(gdi::COLORREF color) override;
  void SetPolyFillMode(int mode) override;
  void SetArcDirection(int direction) override;
  void SetBrushOrgEx(int32_t x, int32_t y) override;
  void SelectClipRgnNone() override;
  void IntersectClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;

  gdi::Handle SelectObject(gdi::Handle h) override;
  bool DeleteObject(gdi::Handle h) override;

  void MoveToEx(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  void Polyline(const gdi::Point* pts, size_t n) override;
  void PolylineTo(const gdi::Point* pts, size_t n) override;
  void PolyBezierTo(const gdi::Point* pts, size_t n) override;
  void Polygon(const gdi::Point* pts, size_t n) override;
  void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
           int32_t yStart, int32_t xEnd, int32_t yEnd) override;
  void ArcTo(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
             int32_t yStart, int32_t xEnd, int32_t yEnd) override;
  void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
           int32_t yStart, int32_t xEnd, int32_t yEnd) override;
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void FillRect(const gdi::Rect& rc, gdi::Handle brush) override;
  void SetPixel(int32_t x, int32_t y, gdi::COLORREF color) override;
  void TextOutA(int32_t x, int32_t y, const char* text, size_t n) override;
  gdi::Point GetCurrentPositionEx() const override;

  void BeginPath() override;
  void EndPath() override;
  void CloseFigure() override;
  void StrokePath() override;
  void FillPath() override;

 private:
  void* Real(gdi::Handle h);
  gdi::Handle& SlotOf(gdi::ObjectKind kind);

  void* dc_;
  const gdi::Objects& objects_;
  std::map<gdi::Handle, void*> real_;
  // What the DC has selected, as our handles; a DC starts with these stock
  // objects.
  gdi::Handle pen_ = gdi::GetStockObject(gdi::BLACK_PEN);
  gdi::Handle brush_ = gdi::GetStockObject(gdi::WHITE_BRUSH);
  gdi::Handle font_ = gdi::GetStockObject(gdi::SYSTEM_FONT);
  gdi::Handle none_ = 0;
};

// Records `scene` on a GDI metafile DC (the screen as reference device) and
// returns the finished metafile's bytes (GetEnhMetaFileBits); empty on
// failure. `description` is the 8-bit description with its NULs.
std::vector<uint8_t> RecordWithGdi(const std::string& description, const gdi::Objects& objects,
                                   const std::function<void(gdi::Device&)>& scene);

}  // namespace tsl::test
