#include "interpreter/polygon_buffer.h"

#include "interpreter/conversion_log.h"
#include "interpreter/output_routines.h"

namespace tsl {

void EndPolygonMode(PlotterState& ps, const char* text) {
  if (!ps.fPolygonMode) return;
  ps.fPolygonMode = 0;
  if (!ps.polygon) return;
  // After a page split the buffer's metafile is gone and hdcMeta is the
  // new one already.
  if (ps.hdcMeta == ps.polygon.get()) ps.hdcMeta = &ps.polygon->Metafile();
  if (ps.polygon->Dropped() && text)
    ps.log->Warning("Warning: Polygon buffer full, %lu points left out: '%s' at offset 0x%lx\n",
                    static_cast<unsigned long>(ps.polygon->Dropped()), text,
                    static_cast<unsigned long>(ps.offCommand));
}

void ClearPolygonBuffer(PlotterState& ps) {
  EndPolygonMode(ps, nullptr);
  ps.polygon.reset();
}

void PolygonBuffer::Start(gdi::Device& metafile) {
  metafile_ = &metafile;
  segments_.clear();
  dropped_ = 0;
  at_ = metafile.GetCurrentPositionEx();
}

bool PolygonBuffer::Empty() const {
  for (const Segment& s : segments_)
    if (s.op != kMove) return false;
  return true;
}

bool PolygonBuffer::Add(const Segment& s) {
  if (segments_.size() >= kMaxSegments) {
    ++dropped_;
    return false;
  }
  segments_.push_back(s);
  return true;
}

void PolygonBuffer::MoveToEx(int32_t x, int32_t y) {
  // A move right after a move only changes where the next figure starts.
  if (!segments_.empty() && segments_.back().op == kMove) {
    segments_.back().v[0] = x;
    segments_.back().v[1] = y;
  } else {
    Add({kMove, {x, y}});
  }
  at_ = {x, y};
}

void PolygonBuffer::LineTo(int32_t x, int32_t y) {
  if (segments_.empty()) Add({kMove, {at_.x, at_.y}});
  Add({kLine, {x, y}});
  at_ = {x, y};
}

void PolygonBuffer::Polyline(const gdi::Point* pts, size_t n) {
  if (n == 0) return;
  gdi::Point keep = at_;
  MoveToEx(pts[0].x, pts[0].y);
  for (size_t i = 1; i < n; ++i) LineTo(pts[i].x, pts[i].y);
  at_ = keep;  // Polyline leaves the current position
}

void PolygonBuffer::PolylineTo(const gdi::Point* pts, size_t n) {
  for (size_t i = 0; i < n; ++i) LineTo(pts[i].x, pts[i].y);
}

void PolygonBuffer::PolyBezierTo(const gdi::Point* pts, size_t n) {
  if (segments_.empty()) Add({kMove, {at_.x, at_.y}});
  for (size_t i = 0; i + 2 < n; i += 3) {
    Add({kBezier, {pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x, pts[i + 2].y}});
    at_ = pts[i + 2];
  }
}

void PolygonBuffer::Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
                        int32_t ye) {
  Add({kArc, {l, t, r, b, xs, ys, xe, ye}});
}

void PolygonBuffer::ArcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
                          int32_t ye) {
  if (segments_.empty()) Add({kMove, {at_.x, at_.y}});
  Add({kArcTo, {l, t, r, b, xs, ys, xe, ye}});
  at_ = {xe, ye};
}

namespace {
// Gathers the points of consecutive lines and records them as one run.
class Runs {
 public:
  explicit Runs(gdi::Device& dc) : dc_(dc) {}
  void Move(int32_t x, int32_t y) {
    Flush();
    pending_ = true;
    move_ = {x, y};
  }
  void Line(int32_t x, int32_t y) {
    Begin();
    points_.push_back({x, y});
  }
  // Before anything else that draws from the current position.
  void Begin() {
    if (pending_) dc_.MoveToEx(move_.x, move_.y);
    pending_ = false;
  }
  // Records the gathered lines; `edge` is given for EP, which adds the end
  // pixels as every line of the interpreter has them.
  void Flush(PlotterState* edge = nullptr) {
    if (points_.empty()) return;
    if (edge)
      RecordRun(*edge, dc_, points_.data(), points_.size());
    else
      dc_.PolylineTo(points_.data(), points_.size());
    points_.clear();
  }

 private:
  gdi::Device& dc_;
  std::vector<gdi::Point> points_;
  gdi::Point move_;
  bool pending_ = false;
};
}  // namespace

void PolygonBuffer::ReplayPath(gdi::Device& dc) const {
  Runs runs(dc);
  for (const Segment& s : segments_) {
    const int32_t* v = s.v;
    switch (s.op) {
      case kMove: runs.Move(v[0], v[1]); break;
      case kLine: runs.Line(v[0], v[1]); break;
      case kBezier: {
        runs.Flush();
        runs.Begin();
        gdi::Point p[3] = {{v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}};
        dc.PolyBezierTo(p, 3);
        break;
      }
      case kArc: runs.Flush(); dc.Arc(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]); break;
      case kArcTo:
        runs.Flush();
        runs.Begin();
        dc.ArcTo(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        break;
    }
  }
  runs.Flush();
}

void PolygonBuffer::ReplayEdges(PlotterState& ps, gdi::Device& dc) const {
  // Only what the pen drew: a figure is not closed by an edge of its own.
  Runs runs(dc);
  for (const Segment& s : segments_) {
    const int32_t* v = s.v;
    switch (s.op) {
      case kMove: runs.Flush(&ps); runs.Move(v[0], v[1]); break;
      case kLine: runs.Line(v[0], v[1]); break;
      case kBezier: {
        runs.Flush(&ps);
        runs.Begin();
        gdi::Point p[3] = {{v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}};
        dc.PolyBezierTo(p, 3);
        break;
      }
      case kArc: runs.Flush(&ps); dc.Arc(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]); break;
      case kArcTo:
        runs.Flush(&ps);
        runs.Begin();
        dc.ArcTo(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        break;
    }
  }
  runs.Flush(&ps);
}

}  // namespace tsl
