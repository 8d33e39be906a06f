// The view's arithmetic: scroll bars, the painted rectangle, scrolling
// steps and shrink-wrapping.
#include <gtest/gtest.h>

#include "shell/view_layout.h"

namespace tsl::shell {
namespace {

TEST(ViewLayout, BarsAppearOnlyWhereTheZoomedDrawingIsLargerThanTheClient) {
  // A 800 x 500 drawing at 2:1 in a 1000 x 1200 client: too wide, not too
  // high.
  ScrollSpan h = LayoutAxis(2000, 800, 1000, ScrollSpan{}, false);
  EXPECT_EQ(h.max, 1600);
  EXPECT_EQ(h.page, 1000);
  ScrollSpan v = LayoutAxis(2000, 500, 1200, ScrollSpan{}, false);
  EXPECT_EQ(v.max, 0);
  EXPECT_EQ(v.page, 0);
  EXPECT_EQ(v.pos, 0);
  // Fitted: no bars, whatever was there.
  ScrollSpan fit = LayoutAxis(0, 8000, 10, ScrollSpan{1600, 1000, 300}, true);
  EXPECT_EQ(fit.max + fit.page + fit.pos, 0);
  EXPECT_EQ(Zoomed(1000, 333), 333);
  EXPECT_EQ(Zoomed(2000000000, 32000), 2147483647) << "clamped, not wrapped";
}

TEST(ViewLayout, ZoomKeepsTheRelativePositionAndResizeTheAbsoluteOne) {
  ScrollSpan at2 = LayoutAxis(2000, 1000, 500, ScrollSpan{}, false);  // max 2000, page 500
  at2.pos = 600;
  ScrollSpan at4 = LayoutAxis(4000, 1000, 500, at2, true);
  EXPECT_EQ(at4.max, 4000);
  EXPECT_EQ(at4.pos, 1200) << "600 of 2000 becomes 1200 of 4000";
  ScrollSpan back = LayoutAxis(2000, 1000, 500, at4, true);
  EXPECT_EQ(back.pos, 600);

  ScrollSpan resized = LayoutAxis(2000, 1000, 700, at2, false);
  EXPECT_EQ(resized.page, 700);
  EXPECT_EQ(resized.pos, 600) << "a resize keeps the pixel";
  // A larger window cannot keep a position past the last page.
  ScrollSpan wider = LayoutAxis(2000, 1000, 1800, at2, false);
  EXPECT_EQ(wider.pos, 2000 - 1800 + 1);
  // Nothing to keep from an axis that had no bar.
  EXPECT_EQ(LayoutAxis(2000, 1000, 500, ScrollSpan{0, 0, 0}, true).pos, 0);
}

TEST(ViewLayout, ASmallerDrawingIsCentredAndALargerOneFollowsTheBars) {
  Box t = PaintTarget(1000, 400, 300, 1000, 700, 0, 0);
  EXPECT_EQ(t.left, 300);
  EXPECT_EQ(t.top, 200);
  EXPECT_EQ(t.Width(), 400);
  EXPECT_EQ(t.Height(), 300);
  EXPECT_FALSE(CoversClient(t, 1000, 700));

  // 2:1 of 800 x 500 in 1000 x 700: wider than the client (scrolled by
  // 250), lower than it (centred).
  Box z = PaintTarget(2000, 800, 300, 1000, 700, 250, 0);
  EXPECT_EQ(z.left, -250);
  EXPECT_EQ(z.right, 1350);
  EXPECT_EQ(z.top, 50);
  EXPECT_FALSE(CoversClient(z, 1000, 700));
  Box big = PaintTarget(4000, 800, 500, 1000, 700, 100, 100);
  EXPECT_TRUE(CoversClient(big, 1000, 700));

  Box fit = PaintTarget(0, 800, 500, 1000, 700, 99, 99);
  EXPECT_EQ(fit.left + fit.top, 0);
  EXPECT_EQ(fit.right, 1000);
  EXPECT_EQ(fit.bottom, 700);
}

TEST(ViewLayout, ScrollCodesStayWithinTheBar) {
  EXPECT_EQ(ScrollTarget(kLineUp, 0, 100, 10, 0, 0), 0);
  EXPECT_EQ(ScrollTarget(kLineUp, 0, 100, 10, 5, 0), 4);
  EXPECT_EQ(ScrollTarget(kLineDown, 0, 100, 10, 100, 0), 100);
  EXPECT_EQ(ScrollTarget(kPageUp, 0, 100, 30, 20, 0), 0);
  EXPECT_EQ(ScrollTarget(kPageDown, 0, 100, 30, 20, 0), 50);
  EXPECT_EQ(ScrollTarget(kPageDown, 0, 100, 30, 90, 0), 100);
  EXPECT_EQ(ScrollTarget(kTop, 0, 100, 30, 90, 0), 0);
  EXPECT_EQ(ScrollTarget(kBottom, 0, 100, 30, 9, 0), 100);
  EXPECT_EQ(ScrollTarget(kThumbTrack, 0, 100, 30, 9, 42), 42);
  EXPECT_EQ(ScrollTarget(kThumbPosition, 0, 100, 30, 9, 43), 43);
  EXPECT_EQ(ScrollTarget(8, 0, 100, 30, 9, 42), 9) << "SB_ENDSCROLL moves nothing";
}

TEST(ViewLayout, ShrinkWrapFitsTheFrameAroundTheDrawingWithinTheWorkArea) {
  const Box work{0, 0, 1920, 1040};
  // Borders of 16 x 100 (frame 1016 x 800 around a client of 1000 x 700).
  Box f = ShrinkWrap(Box{100, 50, 1116, 850}, 1000, 700, 400, 300, work);
  EXPECT_EQ(f.left, 100);
  EXPECT_EQ(f.top, 50);
  EXPECT_EQ(f.Width(), 416);
  EXPECT_EQ(f.Height(), 400);
  // Too large for the work area: as large as it, and moved into it.
  Box g = ShrinkWrap(Box{100, 50, 1116, 850}, 1000, 700, 4000, 3000, work);
  EXPECT_EQ(g.Width(), 1920);
  EXPECT_EQ(g.Height(), 1040);
  EXPECT_EQ(g.left, 0);
  EXPECT_EQ(g.top, 0);
  // Sticking out past the right edge only: moved left, height kept.
  Box h = ShrinkWrap(Box{1500, 50, 2516, 850}, 1000, 700, 800, 300, work);
  EXPECT_EQ(h.right, 1920);
  EXPECT_EQ(h.Width(), 816);
  EXPECT_EQ(h.top, 50);
}

}  // namespace
}  // namespace tsl::shell
