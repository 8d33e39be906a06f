// The GDI-shaped drawing surface the interpreter records through. Only the
// operations the program needs, with GDI's semantics: EmfRecorder writes them
// as EMF records; the Windows tests also drive a real metafile HDC.
#pragma once
#include <cstddef>
#include <cstdint>

#include "common/gdi/objects.h"
#include "common/gdi/types.h"

namespace gdi {

class Device {
 public:
  virtual ~Device() = default;

  // Device state; each setting stays until changed.
  virtual void SetMapMode(int mode) = 0;
  virtual void SetGraphicsMode(int mode) = 0;
  virtual void SetBkMode(int mode) = 0;
  virtual void SetTextAlign(uint32_t align) = 0;
  virtual void SetTextColor(COLORREF color) = 0;
  virtual void SetPolyFillMode(int mode) = 0;
  virtual void SetArcDirection(int direction) = 0;
  virtual void SetBrushOrgEx(int32_t x, int32_t y) = 0;
  virtual void SelectClipRgnNone() = 0;  // SelectClipRgn(dc, NULL)
  virtual void IntersectClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;

  // Objects come from the run's Objects table. SelectObject returns the
  // object of the same kind it replaced (0 when refused); DeleteObject
  // refuses an object that is still selected.
  virtual Handle SelectObject(Handle h) = 0;
  virtual bool DeleteObject(Handle h) = 0;

  // Lines and shapes, in logical coordinates.
  virtual void MoveToEx(int32_t x, int32_t y) = 0;
  virtual void LineTo(int32_t x, int32_t y) = 0;
  virtual void Polyline(const Point* pts, size_t n) = 0;
  virtual void PolylineTo(const Point* pts, size_t n) = 0;
  virtual void PolyBezierTo(const Point* pts, size_t n) = 0;
  virtual void Polygon(const Point* pts, size_t n) = 0;
  virtual void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                   int32_t yStart, int32_t xEnd, int32_t yEnd) = 0;
  virtual void ArcTo(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                     int32_t yStart, int32_t xEnd, int32_t yEnd) = 0;
  virtual void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                   int32_t yStart, int32_t xEnd, int32_t yEnd) = 0;
  virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  virtual void FillRect(const Rect& rc, Handle brush) = 0;
  virtual void SetPixel(int32_t x, int32_t y, COLORREF color) = 0;
  // LineTo and then SetPixel at its end, the way a plotter's pen inks the
  // point it stops at: one call for what most lines of a plot need.
  virtual void LineToWithPixel(int32_t x, int32_t y, COLORREF color) {
    LineTo(x, y);
    SetPixel(x, y, color);
  }
  virtual void TextOutA(int32_t x, int32_t y, const char* text, size_t n) = 0;
  virtual Point GetCurrentPositionEx() const = 0;

  // Paths.
  virtual void BeginPath() = 0;
  virtual void EndPath() = 0;
  virtual void CloseFigure() = 0;
  virtual void StrokePath() = 0;
  virtual void FillPath() = 0;
};

}  // namespace gdi
