// A gdi::Device that writes each call as one line of text, for tests of
// handlers that check what was recorded, in order, without an EMF writer.
#pragma once
#include <string>
#include <vector>

#include "common/gdi/device.h"

namespace tsl::test {

class CallLogDevice : public gdi::Device {
 public:
  explicit CallLogDevice(gdi::Objects& objects) : objects_(objects) {}

  std::vector<std::string> calls;
  std::string Joined(const char* sep = "\n") const;
  void Clear() { calls.clear(); }

  void SetMapMode(int mode) override;
  void SetGraphicsMode(int mode) override;
  void SetBkMode(int mode) override;
  void SetTextAlign(uint32_t align) override;
  void SetTextColor(gdi::COLORREF color) override;
  void SetPolyFillMode(int mode) override;
  void SetArcDirection(int direction) override;
  void SetBrushOrgEx(int32_t x, int32_t y) override;
  void SelectClipRgnNone() override;
  void IntersectClipRect(int32_t l, int32_t t, int32_t r, int32_t b) override;
  gdi::Handle SelectObject(gdi::Handle h) override;
  bool DeleteObject(gdi::Handle h) override;
  void MoveToEx(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  void Polyline(const gdi::Point* pts, size_t n) override;
  void PolylineTo(const gdi::Point* pts, size_t n) override;
  void PolyBezierTo(const gdi::Point* pts, size_t n) override;
  void Polygon(const gdi::Point* pts, size_t n) override;
  void Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
           int32_t ye) override;
  void ArcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
             int32_t ye) override;
  void Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
           int32_t ye) override;
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override;
  void FillRect(const gdi::Rect& rc, gdi::Handle brush) override;
  void SetPixel(int32_t x, int32_t y, gdi::COLORREF color) override;
  void TextOutA(int32_t x, int32_t y, const char* text, size_t n) override;
  gdi::Point GetCurrentPositionEx() const override { return pos_; }
  void BeginPath() override;
  void EndPath() override;
  void CloseFigure() override;
  void StrokePath() override;
  void FillPath() override;

  // Describes an object: "pen(style,width,#bbggrr)", "brush(...)", "font(...)",
  // or "stock(n)".
  std::string Describe(gdi::Handle h) const;

 private:
  void Add(std::string s) { calls.push_back(std::move(s)); }
  std::string Points(const gdi::Point* pts, size_t n) const;
  gdi::Objects& objects_;
  gdi::Point pos_;
  gdi::Handle pen_ = gdi::GetStockObject(gdi::BLACK_PEN);
  gdi::Handle brush_ = gdi::GetStockObject(gdi::WHITE_BRUSH);
  gdi::Handle font_ = gdi::GetStockObject(gdi::SYSTEM_FONT);
};

}  // namespace tsl::test
