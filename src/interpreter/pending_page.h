// The device of a page that has not begun: after a page advance the next
// metafile is made only when something is drawn, so that the PG every
// PostScript converter and plotutils end with leaves no empty page. Until
// then it keeps what the interpreter sets (objects, text and fill modes,
// clipping, the position) and hands it to the metafile when it is made;
// from then on it passes every call through.
#pragma once
#include <functional>
#include <vector>

#include "common/gdi/device.h"
#include "common/gdi/objects.h"

namespace tsl {

class PendingPage final : public gdi::Device {
 public:
  // Makes the page's metafile, set up and empty; nullptr when it could not.
  using Opener = std::function<gdi::Device*()>;

  // What a page holds when it begins: the run's pen and font, no brush,
  // labels aligned on their baseline's centre in the pen's colour.
  struct Start {
    gdi::Handle pen = 0, font = 0;
    gdi::COLORREF textColor = 0;
  };
  void Begin(const gdi::Objects& objects, const Start& start, Opener open);
  bool Opened() const { return target_ != nullptr; }
  bool Failed() const { return failed_; }

  void SetMapMode(int) override {}
  void SetGraphicsMode(int) override {}
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
  gdi::Point GetCurrentPositionEx() const override;

  // Drawing begins the page.
  void LineTo(int32_t x, int32_t y) override;
  void Polyline(const gdi::Point* pts, size_t n) override;
  void PolylineTo(const gdi::Point* pts, size_t n) override;
  void PolyBezierTo(const gdi::Point* pts, size_t n) override;
  void Polygon(const gdi::Point* pts, size_t n) override;
  void Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) override;
  void ArcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) override;
  void Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) override;
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override;
  void FillRect(const gdi::Rect& rc, gdi::Handle brush) override;
  void SetPixel(int32_t x, int32_t y, gdi::COLORREF color) override;
  void TextOutA(int32_t x, int32_t y, const char* text, size_t n) override;
  void BeginPath() override;
  void EndPath() override;
  void CloseFigure() override;
  void StrokePath() override;
  void FillPath() override;

 private:
  // The metafile, made at the first drawing; nullptr when it failed.
  gdi::Device* Target();

  const gdi::Objects* objects_ = nullptr;
  Opener open_;
  gdi::Device* target_ = nullptr;
  bool failed_ = false;

  gdi::Handle pen_ = 0, brush_ = 0, font_ = 0;
  uint32_t align_ = 0;
  int bkMode_ = 0, fillMode_ = 0, arcDirection_ = 0;
  gdi::COLORREF textColor_ = 0;
  bool brushOrgSet_ = false;
  gdi::Point brushOrg_;
  std::vector<gdi::Rect> clip_;  // intersected since the page's clip was removed
  bool positionSet_ = false;
  gdi::Point position_;
};

}  // namespace tsl
