// Runs of lines drawn with one pen. A plot is mostly short lines, each its
// own record (a move, a line, the pixel at its end); drawn one by one, each
// costs a cairo path, a transform, a copy of the path and a stroke. Held
// together, the points are put on the output here, and each record stays a
// figure of its own, so that dashes start again and no join appears where
// one record ends and the next begins: the picture is the one the records
// drawn one by one give, pixel for pixel.
//
// One-pixel lines are walked pixel by pixel in one go. Wider lines are
// stroked in groups of figures whose ink cannot meet: without anti-aliasing
// cairo's stroke of a path of crossing figures covers pixels that the
// figures stroked singly do not, but figures apart cover what they do alone,
// and each stroke costs cairo a pen of its own.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "output/cairo_safe.h"
#include "output/emf_renderer.h"
#include "output/record_fields.h"

namespace tsl {

using namespace gdi;

namespace {
// Records held at most before the run is drawn.
constexpr size_t kMaxBatchRecords = 4096;

// What cairo keeps of a device coordinate: 24.8 fixed point, rounded to the
// nearest (even) 1/256 as cairo rounds it.
int32_t CairoFixed(double v) {
  const double magic = (1LL << (52 - 8)) * 1.5;
  double t = v + magic;
  uint64_t bits;
  std::memcpy(&bits, &t, sizeof bits);
  return static_cast<int32_t>(static_cast<uint32_t>(bits));
}

using Fixed = EmfRenderer::FixedPt;

// Adds a line's end to a figure as cairo's path does: a line to where the
// pen is adds nothing (but right after the move), a line after a
// degenerate one replaces it, and one going on in the same direction as
// the last extends it. What cairo keeps of a record is what the records
// drawn one by one were stroked along.
void LineTo(std::vector<Fixed>& fig, Fixed p) {
  const size_t n = fig.size();
  if (n >= 2) {
    const Fixed cur = fig[n - 1], pen = fig[n - 2];
    if (p == cur) return;
    if (pen == cur) {
      fig.pop_back();
    } else {
      const int64_t adx = int64_t{cur.x} - pen.x, ady = int64_t{cur.y} - pen.y;
      const int64_t bdx = int64_t{p.x} - cur.x, bdy = int64_t{p.y} - cur.y;
      if (ady * bdx == bdy * adx && adx * bdx + ady * bdy >= 0) fig.pop_back();
    }
  }
  fig.push_back(p);
}
}  // namespace

bool EmfRenderer::StartBatch() {
  if (batching_) return true;
  if (!PenVisible() || !options_.pixelCentres) return false;
  cairo_matrix_t m = Full(), inverse = m;
  if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) return false;
  // Pixel-by-pixel lines carry their dashes from one figure to the next
  // within a record; a run of records must not, so dashed ones go singly.
  Stroke st = StrokeFor();
  if (st.onePixel && !st.dashes.empty()) return false;
  batchOffset_ = !st.onePixel && std::fmod(std::round(st.width), 2) == 1 ? 0.5 : 0;
  // Ink reaches half the width off the path, a square end's corner that
  // times the root of two, a miter's point that times the limit (pens that
  // are not geometric join with miters); two pixels more for rounding.
  if (st.onePixel) {
    batchReach_ = 2;
  } else {
    const bool miter = !st.pen.geometric || st.pen.join == 0x2000;
    double factor = std::sqrt(2.0);
    if (miter && dc_.miterLimit > factor) factor = dc_.miterLimit;
    batchReach_ = st.width / 2 * factor + 2;
  }
  batchStroke_ = std::move(st);
  batchMatrix_ = m;
  batchFigures_.points.clear();
  batchFigures_.starts.clear();
  batchBoxes_.clear();
  batching_ = true;
  batchRecords_ = 0;
  return true;
}

void EmfRenderer::BatchFigure(const Pt* pts, size_t n, const Pt* first) {
  // The figure as cairo keeps it when it is drawn in logical units...
  std::vector<Fixed>& logical = batchFixed_;
  logical.clear();
  auto add = [&](Pt p) {
    double x = p.x, y = p.y;
    cairo_matrix_transform_point(&batchMatrix_, &x, &y);
    Fixed f{CairoFixed(ClampSafe(x)), CairoFixed(ClampSafe(y))};
    if (logical.empty())
      logical.push_back(f);
    else
      LineTo(logical, f);
  };
  if (first) add(*first);
  for (size_t i = 0; i < n; ++i) add(pts[i]);
  // ...then on its pixels. (Stroked, cairo merges again the points that
  // have come to lie on one line, as it did when the snapped path was
  // appended; the pixel steps of a one-pixel line are the same either way.)
  const int32_t offset = static_cast<int32_t>(batchOffset_ * 256);
  const size_t start = batchFigures_.points.size();
  batchFigures_.starts.push_back(start);
  // Bounds serve the stripes of a shared picture and the groups of wide
  // lines; one-pixel lines drawn whole need none.
  if (options_.stripeRows <= 0 && batchStroke_.onePixel) {
    for (const Fixed& f : logical)
      batchFigures_.points.push_back({((f.x & ~255) + offset) / 256.0, ((f.y & ~255) + offset) / 256.0});
    return;
  }
  int32_t top = INT32_MAX, bottom = INT32_MIN, left = INT32_MAX, right = INT32_MIN;
  for (const Fixed& f : logical) {
    const int32_t x = (f.x & ~255) + offset, y = (f.y & ~255) + offset;
    batchFigures_.points.push_back({x / 256.0, y / 256.0});
    top = std::min(top, y);
    bottom = std::max(bottom, y);
    left = std::min(left, x);
    right = std::max(right, x);
  }
  // A figure whose ink reaches none of the rows this drawing needs is left
  // out: that is most of them when threads share a picture.
  if (!logical.empty() && !NeedsRows(top / 256.0 - batchReach_, bottom / 256.0 + batchReach_)) {
    batchFigures_.points.resize(start);
    batchFigures_.starts.pop_back();
    return;
  }
  InkBox box;
  const double x0 = std::floor(left / 256.0 - batchReach_), x1 = std::floor(right / 256.0 + batchReach_);
  const double y0 = std::floor(top / 256.0 - batchReach_), y1 = std::floor(bottom / 256.0 + batchReach_);
  if (!logical.empty() && x0 > -1e6 && x1 < 1e6 && y0 > -1e6 && y1 < 1e6)
    box = {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1), static_cast<int32_t>(y1)};
  batchBoxes_.push_back(box);
}

bool EmfRenderer::GroupFigures() {
  // Round ends and joins only: cairo strokes those as polygons however the
  // figures lie (lines along the axes with other ends may be drawn as boxes
  // when alone, as polygons in company).
  // Nor in a clip: cairo lets a stroke that lies wholly inside a clip box
  // off the pixel grid go unclipped, where a group reaching past the box
  // is clipped at its pixels.
  const Pen& pen = batchStroke_.pen;
  if (!pen.geometric || pen.endCap != 0 || pen.join != 0 || !dc_.clip.empty()) return false;
  if (!blockSize_) {
    cairo_surface_t* s = cairo_get_target(cr_);
    double ox = 0, oy = 0;
    cairo_surface_get_device_offset(s, &ox, &oy);
    if (cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE || ox != 0 || oy != 0) {
      blockSize_ = -1;
    } else {
      // Blocks of 8 pixels, larger on large pictures: at most 64 K of them.
      const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
      blockSize_ = 8;
      while (static_cast<int64_t>(w / blockSize_ + 1) * (h / blockSize_ + 1) > 65536) blockSize_ *= 2;
      blocksX_ = w / blockSize_ + 1;
      blocksY_ = h / blockSize_ + 1;
      blockMarks_.assign(static_cast<size_t>(blocksX_) * static_cast<size_t>(blocksY_), BlockMark{});
    }
  }
  if (blockSize_ < 0) return false;
  if (++blockFlush_ == 0) {
    std::fill(blockMarks_.begin(), blockMarks_.end(), BlockMark{});
    blockFlush_ = 1;
  }
  // Each figure goes to the first group that has no figure in its blocks,
  // so that no two figures of a group share a block. A figure whose box is
  // unknown or covers many blocks, or that finds every group taken, is
  // stroked by itself (group 0).
  const size_t n = batchBoxes_.size();
  batchGroups_.assign(n, 0);
  uint32_t groups = 1;
  for (size_t f = 0; f < n; ++f) {
    const InkBox& b = batchBoxes_[f];
    if (b.x1 < b.x0) continue;
    const int bx0 = std::max(0, b.x0 / blockSize_), bx1 = std::min(blocksX_ - 1, b.x1 / blockSize_);
    const int by0 = std::max(0, b.y0 / blockSize_), by1 = std::min(blocksY_ - 1, b.y1 / blockSize_);
    if (b.x0 < 0 || b.y0 < 0 || bx1 < bx0 || by1 < by0 || (bx1 - bx0 + 1) * (by1 - by0 + 1) > 1024) continue;
    uint64_t taken = 0;
    for (int y = by0; y <= by1; ++y)
      for (int x = bx0; x <= bx1; ++x) {
        BlockMark& m = blockMarks_[static_cast<size_t>(y) * blocksX_ + x];
        if (m.flush != blockFlush_) m = BlockMark{blockFlush_, 0};
        taken |= m.groups;
      }
    if (taken == ~uint64_t{0}) continue;
    uint32_t level = 0;
    while (taken >> level & 1u) ++level;
    for (int y = by0; y <= by1; ++y)
      for (int x = bx0; x <= bx1; ++x) blockMarks_[static_cast<size_t>(y) * blocksX_ + x].groups |= uint64_t{1} << level;
    batchGroups_[f] = level + 1;
    groups = std::max(groups, level + 2);
  }
  // The figures in the order of their groups.
  std::vector<size_t>& order = batchOrder_;
  std::vector<size_t> first(groups + 1, 0);
  for (uint32_t g : batchGroups_) ++first[g + 1];
  for (size_t g = 1; g <= groups; ++g) first[g] += first[g - 1];
  order.resize(n);
  for (size_t f = 0; f < n; ++f) order[first[batchGroups_[f]]++] = f;
  return true;
}

bool EmfRenderer::NeedsRows(double top, double bottom) const {
  const int rows = options_.stripeRows;
  if (rows <= 0) return true;
  if (!(top <= bottom)) return true;  // not a number: cairo decides
  const double first = std::floor(top / rows), last = std::floor(bottom / rows);
  if (last < 0 || first > 1e9) return false;  // above or far below any picture
  const int cycle = options_.stripeCycle > 0 ? options_.stripeCycle : 1;
  if (last - first + 1 >= cycle) return true;  // meets every kind of stripe
  for (int64_t s = static_cast<int64_t>(std::fmax(first, 0)); s <= static_cast<int64_t>(last); ++s)
    if (options_.stripeMask >> (s % cycle) & 1u) return true;
  return false;
}

bool EmfRenderer::BatchRecord(const EmfRecord& r) {
  // Anti-aliased outputs keep one stroke per record: where lines overlap
  // their edges blend differently.
  if (options_.antialias || !options_.batchLines || inPath_) return false;
  switch (r.type) {
    case EMR_MOVETOEX:
      if (!batching_) return false;
      dc_.cur = {static_cast<double>(I32(r, 8)), static_cast<double>(I32(r, 12))};
      return true;
    case EMR_SETPIXELV:
      // The pixel at a line's end, in the pen's colour: drawn with the run,
      // where order does not matter.
      if (!batching_ || (U32(r, 16) & 0xFFFFFF) != dc_.pen.color) return false;
      {
        const Pt p = ToDevice(I32(r, 8), I32(r, 12));
        if (NeedsRows(p.y - 2, p.y + 2)) batchPixels_.push_back(p);
      }
      break;
    case EMR_LINETO: {
      if (r.size < 16 || !StartBatch()) return false;
      Pt to{static_cast<double>(I32(r, 8)), static_cast<double>(I32(r, 12))};
      BatchFigure(&to, 1, &dc_.cur);
      dc_.cur = to;
      break;
    }
    case EMR_POLYLINE: case EMR_POLYLINE16: case EMR_POLYLINETO: case EMR_POLYLINETO16: {
      const bool small = r.type == EMR_POLYLINE16 || r.type == EMR_POLYLINETO16;
      const bool to = r.type == EMR_POLYLINETO || r.type == EMR_POLYLINETO16;
      std::vector<Pt>& pts = batchPoints_;
      if (!ReadPoints(r, 24, 28, small, &pts) || pts.empty() || !StartBatch()) return false;
      BatchFigure(pts.data(), pts.size(), to ? &dc_.cur : nullptr);
      if (to) dc_.cur = pts.back();
      break;
    }
    default:
      return false;
  }
  if (++batchRecords_ >= kMaxBatchRecords) Flush();
  return true;
}

void EmfRenderer::Flush() {
  if (!batching_) return;
  batching_ = false;
  const Stroke& st = batchStroke_;
  UseDevice();
  cairo_new_path(cr_);
  SetStroke(st);
  if (st.onePixel) {
    StrokeOnePixel(batchFigures_);
  } else {
    const auto& pts = batchFigures_.points;
    const auto& starts = batchFigures_.starts;
    const bool grouped = GroupFigures();
    for (size_t k = 0; k < starts.size(); ++k) {
      // Grouped, every figure of a group but the last leaves its path for
      // the next; the figures alone (group 0) are stroked one by one.
      const size_t f = grouped ? batchOrder_[k] : k;
      size_t from = starts[f], to = f + 1 < starts.size() ? starts[f + 1] : pts.size();
      if (from < to) {
        cairo_move_to(cr_, pts[from].x, pts[from].y);
        for (size_t i = from + 1; i < to; ++i) cairo_line_to(cr_, pts[i].x, pts[i].y);
      }
      const bool last = !grouped || batchGroups_[f] == 0 || k + 1 == starts.size() ||
                        batchGroups_[batchOrder_[k + 1]] != batchGroups_[f];
      if (last) cairo_stroke(cr_);
    }
  }
  batchBoxes_.clear();
  SetSourceColor(dc_.pen.color);
  if (batchPixels_.empty()) return;
  FillPixels(batchPixels_);
  batchPixels_.clear();
}

}  // namespace tsl
