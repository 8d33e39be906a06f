#include "shell/view_layout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tsl::shell {

long Zoomed(long size, unsigned zoom) {
  int64_t z = static_cast<int64_t>(size) * zoom / 1000;
  // A metafile's bounds may be anything; the view never needs more.
  return static_cast<long>(std::clamp<int64_t>(z, 0, std::numeric_limits<int32_t>::max()));
}

ScrollSpan LayoutAxis(unsigned zoom, long drawing, long client, const ScrollSpan& old, bool keep) {
  ScrollSpan span;
  if (zoom == 0) return span;
  long zoomed = Zoomed(drawing, zoom);
  if (client < zoomed) {
    span.max = zoomed;
    span.page = std::max(client, 0L);
  }
  int64_t pos = old.pos;
  if (keep) pos = old.max > 0 ? static_cast<int64_t>(old.pos) * span.max / old.max : 0;
  pos = std::min<int64_t>(pos, span.max);
  // The bar itself keeps the page inside the range.
  if (span.page > 0) pos = std::min<int64_t>(pos, span.max - span.page + 1);
  span.pos = static_cast<long>(std::max<int64_t>(pos, 0));
  return span;
}

Box PaintTarget(unsigned zoom, long drawingWidth, long drawingHeight, long clientWidth, long clientHeight,
                long hPos, long vPos) {
  if (zoom == 0) return Box{0, 0, clientWidth, clientHeight};
  long w = Zoomed(drawingWidth, zoom), h = Zoomed(drawingHeight, zoom);
  Box b{-hPos, -vPos, w - hPos, h - vPos};
  if (w < clientWidth) {
    long dx = (clientWidth - w) / 2;
    b.left += dx;
    b.right += dx;
  }
  if (h < clientHeight) {
    long dy = (clientHeight - h) / 2;
    b.top += dy;
    b.bottom += dy;
  }
  return b;
}

bool CoversClient(const Box& t, long clientWidth, long clientHeight) {
  return t.left <= 0 && t.top <= 0 && t.right >= clientWidth && t.bottom >= clientHeight;
}

long ScrollTarget(int code, long min, long max, long page, long pos, long track) {
  switch (code) {
    case kLineUp: return std::max(pos - 1, min);
    case kLineDown: return std::min(pos + 1, max);
    case kPageUp: return std::max(pos - page, min);
    case kPageDown: return std::min(pos + page, max);
    case kTop: return min;
    case kBottom: return max;
    case kThumbPosition:
    case kThumbTrack: return track;
    default: return pos;
  }
}

Box ShrinkWrap(const Box& frame, long clientWidth, long clientHeight, long zoomedWidth, long zoomedHeight,
               const Box& work) {
  long w = std::min(frame.Width() - clientWidth + zoomedWidth, work.Width());
  long h = std::min(frame.Height() - clientHeight + zoomedHeight, work.Height());
  long x = frame.left, y = frame.top;
  if (x + w > work.right) x = std::max(work.right - w, work.left);
  if (y + h > work.bottom) y = std::max(work.bottom - h, work.top);
  return Box{x, y, x + w, y + h};
}

}  // namespace tsl::shell
