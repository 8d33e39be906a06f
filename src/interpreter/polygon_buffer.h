// The polygon buffer of polygon mode (PM). Between PM0 and PM2 the drawing
// commands draw into it instead of the metafile: every figure with the pen
// state of each vertex. It lasts until the next PM0, IN or DF, so that every
// FP fills the closed shape and every EP strokes the edges the pen drew, as
// often as the plot asks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/gdi/device.h"
#include "interpreter/plotter_state.h"

namespace tsl {

// Leaves polygon mode: the metafile gets its drawing back. `text` (the
// PM2, or nullptr) is logged with the number of points the buffer left out,
// if any.
void EndPolygonMode(PlotterState& ps, const char* text);
// Leaves polygon mode and forgets the buffer (IN, DF, a new page).
void ClearPolygonBuffer(PlotterState& ps);

class PolygonBuffer final : public gdi::Device {
 public:
  // Vertices beyond this many are dropped (and counted), so that a PM0
  // without its end cannot hold a whole plot in memory.
  static constexpr size_t kMaxSegments = size_t{1} << 20;

  // Empties the buffer; the figures that follow are drawn into it.
  void Start(gdi::Device& metafile);
  // The device polygon mode draws through (this buffer) and the metafile
  // behind it.
  gdi::Device& Metafile() const { return *metafile_; }
  bool Empty() const;
  size_t Dropped() const { return dropped_; }

  // Draws the buffer's figures onto `dc`: as a path (for FP), or as the
  // lines the pen drew, each run with its end pixel (for EP).
  void ReplayPath(gdi::Device& dc) const;
  void ReplayEdges(PlotterState& ps, gdi::Device& dc) const;

  // Lines and curves are kept; everything else goes to the metafile.
  void SetMapMode(int mode) override { metafile_->SetMapMode(mode); }
  void SetGraphicsMode(int mode) override { metafile_->SetGraphicsMode(mode); }
  void SetBkMode(int mode) override { metafile_->SetBkMode(mode); }
  void SetTextAlign(uint32_t align) override { metafile_->SetTextAlign(align); }
  void SetTextColor(gdi::COLORREF color) override { metafile_->SetTextColor(color); }
  void SetPolyFillMode(int mode) override { metafile_->SetPolyFillMode(mode); }
  void SetArcDirection(int direction) override { metafile_->SetArcDirection(direction); }
  void SetBrushOrgEx(int32_t x, int32_t y) override { metafile_->SetBrushOrgEx(x, y); }
  void SelectClipRgnNone() override { metafile_->SelectClipRgnNone(); }
  void IntersectClipRect(int32_t l, int32_t t, int32_t r, int32_t b) override {
    metafile_->IntersectClipRect(l, t, r, b);
  }
  gdi::Handle SelectObject(gdi::Handle h) override { return metafile_->SelectObject(h); }
  bool DeleteObject(gdi::Handle h) override { return metafile_->DeleteObject(h); }

  void MoveToEx(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  void Polyline(const gdi::Point* pts, size_t n) override;
  void PolylineTo(const gdi::Point* pts, size_t n) override;
  void PolyBezierTo(const gdi::Point* pts, size_t n) override;
  void Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) override;
  void ArcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) override;
  // The end pixels of the lines come with EP, not as the lines are defined.
  void SetPixel(int32_t, int32_t, gdi::COLORREF) override {}
  gdi::Point GetCurrentPositionEx() const override { return at_; }

  // Shapes and text that are no figure of the polygon draw at once.
  void Polygon(const gdi::Point* pts, size_t n) override { metafile_->Polygon(pts, n); }
  void Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) override {
    metafile_->Pie(l, t, r, b, xs, ys, xe, ye);
  }
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override { metafile_->Rectangle(l, t, r, b); }
  void FillRect(const gdi::Rect& rc, gdi::Handle brush) override { metafile_->FillRect(rc, brush); }
  void TextOutA(int32_t x, int32_t y, const char* text, size_t n) override { metafile_->TextOutA(x, y, text, n); }
  void BeginPath() override { metafile_->BeginPath(); }
  void EndPath() override { metafile_->EndPath(); }
  void CloseFigure() override { metafile_->CloseFigure(); }
  void StrokePath() override { metafile_->StrokePath(); }
  void FillPath() override { metafile_->FillPath(); }

 private:
  enum Op : uint8_t { kMove, kLine, kBezier, kArc, kArcTo };
  struct Segment {
    Op op;
    int32_t v[8];  // a point, or three for a curve, or an arc's box, start and end
  };
  bool Add(const Segment& s);

  gdi::Device* metafile_ = nullptr;
  std::vector<Segment> segments_;
  gdi::Point at_;
  size_t dropped_ = 0;
};

}  // namespace tsl
