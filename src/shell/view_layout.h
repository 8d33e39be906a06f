// The arithmetic of the drawing view: scroll bars after a change of size or
// zoom, where the drawing is painted, keyboard and scroll-bar steps, and
// the frame that shrink-wraps a zoomed drawing. No window is needed.
#pragma once

namespace tsl::shell {

// One scroll bar: range 0..max, page and position, as SetScrollInfo takes
// them (max and page 0 hide the bar).
struct ScrollSpan {
  long max = 0;
  long page = 0;
  long pos = 0;
};

struct Box {
  long left = 0, top = 0, right = 0, bottom = 0;
  long Width() const { return right - left; }
  long Height() const { return bottom - top; }
};

// `size` pixels of the drawing at `zoom` thousandths, truncated.
long Zoomed(long size, unsigned zoom);

// The scroll bar of one axis for a drawing `drawing` pixels long in a
// client `client` pixels long. With `keep` the position stays at the same
// fraction of the range (a zoom), else at the same pixel (a resize).
ScrollSpan LayoutAxis(unsigned zoom, long drawing, long client, const ScrollSpan& old, bool keep);

// Where the drawing is played in the client: the whole client when fitted,
// else the zoomed drawing shifted by the scroll positions, centred along an
// axis where it is smaller than the client.
Box PaintTarget(unsigned zoom, long drawingWidth, long drawingHeight, long clientWidth, long clientHeight,
                long hPos, long vPos);

// True when `target` leaves no part of the client uncovered.
bool CoversClient(const Box& target, long clientWidth, long clientHeight);

// Scroll-bar codes, the values of SB_LINEUP ... SB_BOTTOM.
enum ScrollCode { kLineUp = 0, kLineDown, kPageUp, kPageDown, kThumbPosition, kThumbTrack, kTop, kBottom };

// The position a scroll-bar code moves to; codes above kBottom keep `pos`.
long ScrollTarget(int code, long min, long max, long page, long pos, long track);

// The frame's new rectangle around a drawing `zoomedWidth` x
// `zoomedHeight` pixels: its borders kept, at most the work area, moved
// back into the work area where it would stick out.
Box ShrinkWrap(const Box& frame, long clientWidth, long clientHeight, long zoomedWidth, long zoomedHeight,
               const Box& workArea);

}  // namespace tsl::shell
