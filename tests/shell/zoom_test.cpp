// The zoom table of the View menu.
#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "shell/caption.h"
#include "shell/zoom.h"

namespace tsl::shell {
namespace {

TEST(Zoom, OneStepInAndOutFromTheEdges) {
  EXPECT_EQ(ChangeZoom(0, IDM_ZOOM_IN), 1000u) << "from fit";
  EXPECT_EQ(ChangeZoom(333, IDM_ZOOM_IN), 500u);
  EXPECT_EQ(ChangeZoom(500, IDM_ZOOM_IN), 1000u);
  EXPECT_EQ(ChangeZoom(8000, IDM_ZOOM_IN), 9000u);
  EXPECT_EQ(ChangeZoom(31000, IDM_ZOOM_IN), 32000u);
  EXPECT_EQ(ChangeZoom(32000, IDM_ZOOM_IN), 32000u) << "the largest zoom stays";

  EXPECT_EQ(ChangeZoom(0, IDM_ZOOM_OUT), 1000u) << "from fit";
  EXPECT_EQ(ChangeZoom(1000, IDM_ZOOM_OUT), 500u);
  EXPECT_EQ(ChangeZoom(1000 / 31, IDM_ZOOM_OUT), 31u) << "1:31 gives the smallest zoom";
  EXPECT_EQ(ChangeZoom(31, IDM_ZOOM_OUT), 31u) << "the smallest zoom stays";
  EXPECT_EQ(ChangeZoom(3000, IDM_ZOOM_OUT), 2000u);
  EXPECT_EQ(ChangeZoom(2000, IDM_ZOOM_OUT), 1000u);
}

TEST(Zoom, StepsWalkTheWholeRangeAndBackThroughTheSameFractions) {
  // Out from 32:1 down to the smallest zoom, then in again: every step
  // moves, the walk ends at both edges, and below 1:1 the zooms are the
  // fractions 1:n in both directions.
  std::vector<unsigned> down{32000};
  while (down.back() != kZoomSmallest) {
    unsigned next = ChangeZoom(down.back(), IDM_ZOOM_OUT);
    ASSERT_LT(next, down.back());
    down.push_back(next);
    ASSERT_LT(down.size(), 100u);
  }
  std::vector<unsigned> up{kZoomSmallest};
  while (up.back() != 32000) {
    unsigned next = ChangeZoom(up.back(), IDM_ZOOM_IN);
    ASSERT_GT(next, up.back());
    up.push_back(next);
    ASSERT_LT(up.size(), 100u);
  }
  for (unsigned n = 2; n <= 30; ++n) {
    EXPECT_EQ(ChangeZoom(1000 / n, IDM_ZOOM_OUT), 1000 / (n + 1)) << n;
    EXPECT_EQ(ChangeZoom(1000 / (n + 1), IDM_ZOOM_IN), 1000 / n) << n;
  }
}

TEST(Zoom, FixedZoomsOfTheMenuAndTheirCaptions) {
  const unsigned in[] = {2000, 3000, 4000, 5000, 6000, 7000, 8000};
  const unsigned out[] = {500, 333, 250, 200, 166, 142, 125};
  for (unsigned i = 0; i < 7; ++i) {
    EXPECT_EQ(ChangeZoom(4000, IDM_ZOOM_2 + i), in[i]);
    EXPECT_EQ(ChangeZoom(4000, IDM_ZOOM_1_2 + i), out[i]);
    EXPECT_EQ(CaptionText("p.plt", ChangeZoom(0, IDM_ZOOM_1_2 + i)), "p.plt - Tessella [1:" + std::to_string(i + 2) + "]");
  }
  EXPECT_EQ(ChangeZoom(4000, IDM_FIT_WINDOW), 0u);
  EXPECT_EQ(ChangeZoom(4000, IDM_NORMAL_VIEW), 1000u);
  EXPECT_EQ(ChangeZoom(4000, IDM_SHRINK_WRAP), 4000u) << "not a zoom";
  EXPECT_FALSE(IsZoomCommand(IDM_SHRINK_WRAP));
  EXPECT_TRUE(IsZoomCommand(IDM_ZOOM_1_8));
}

TEST(Caption, NamesTheSourceAndTheZoom) {
  EXPECT_EQ(CaptionText("", 0), "Tessella 5.4.1110 - HP-GL Plot file conversion utility");
  EXPECT_EQ(CaptionText("C:\\a.plt", 0), "C:\\a.plt - Tessella");
  EXPECT_EQ(CaptionText("C:\\a.plt", 2000), "C:\\a.plt - Tessella [2:1]");
  EXPECT_EQ(CaptionText("C:\\a.plt", 333), "C:\\a.plt - Tessella [1:3]");
  EXPECT_EQ(CaptionText("C:\\a.plt", 31), "C:\\a.plt - Tessella [1:32]");
  EXPECT_EQ(CaptionText("", 1000), "Tessella 5.4.1110 - HP-GL Plot file conversion utility [1:1]");
  EXPECT_EQ(CaptionText(std::string(400, 'x'), 2000).size(), 255u);
  EXPECT_EQ(CaptionText("%s%n", 0), "%s%n - Tessella") << "a name is no format";
}

}  // namespace
}  // namespace tsl::shell
