// The drawing view: fitted, zoomed in steps and to fixed zooms, scrolled
// by keys, kept in place on zoom and resize, centred on the hatch, and the
// frame shrink-wrapped around it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gui_actions.h"
#include "gui_pictures.h"

namespace gui {
namespace {

struct Size2 {
  long w, h;
};

Size2 BoundsOf(const std::string& emfPath) {
  HENHMETAFILE emf = GetEnhMetaFileA(emfPath.c_str());
  ENHMETAHEADER h{};
  if (emf) GetEnhMetaFileHeader(emf, sizeof h, &h);
  DeleteEnhMetaFile(emf);
  return Size2{h.rclBounds.right - h.rclBounds.left, h.rclBounds.bottom - h.rclBounds.top};
}

long Zoomed(long size, long zoom) { return static_cast<long>(static_cast<long long>(size) * zoom / 1000); }

// What the caption says after "<plot> - Tessella".
std::string ZoomSuffix(const App& app) {
  std::string c = app.Caption();
  size_t at = c.find(" - Tessella");
  return at == std::string::npos ? c : c.substr(at + 11);
}

class View : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetSettings();
    SetSetting("NoAutoClose", kOn);
    WriteFile(Work("plan.plt"), ReadFile(Where().examples + "floorplan.plt"));
    app_ = new App("plan.plt");
    Box box = WaitBox(app_->pid());
    EXPECT_EQ(box.text, ConvertedText(Work("plan.plt"), Work("plan.emf")));
    Press(box.hwnd, IDOK);
    app_->Place(0, 0, 1600, 1000);
    bounds_ = BoundsOf(Work("plan.emf"));
  }
  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
  }
  static App* app_;
  static Size2 bounds_;
};
App* View::app_ = nullptr;
Size2 View::bounds_{0, 0};

TEST_F(View, FittedWithItsProportionsOnTheHatch) {
  App& app = *app_;
  ASSERT_TRUE(app.frame());
  EXPECT_EQ(app.Caption(), Work("plan.plt") + " - Tessella");
  ASSERT_GT(bounds_.w, 1000);
  Repaint(app.frame());
  SaveShot(GrabWindow(app.frame()), "floorplan_fitted");
  Picture client = GrabClient(app.Client());
  ProbeBlock s = app.Scroll();
  EXPECT_FALSE(s.horzVisible || s.vertVisible) << "no bars when fitted";
  EXPECT_TRUE(HasHatch(client));
  Box2 drawing = UnhatchedBox(client);
  // Fitted: as high or as wide as the client, centred, with the plan's
  // proportions.
  EXPECT_TRUE(std::abs(drawing.Width() - client.width) <= 2 || std::abs(drawing.Height() - client.height) <= 2)
      << drawing.Width() << " x " << drawing.Height() << " in " << client.width << " x " << client.height;
  EXPECT_NEAR(drawing.top, client.height - 1 - drawing.bottom, 2) << "centred";
  EXPECT_NEAR(drawing.left, client.width - 1 - drawing.right, 2) << "centred";
  EXPECT_NEAR(static_cast<double>(drawing.Width()) / drawing.Height(), static_cast<double>(bounds_.w) / bounds_.h,
              0.02);
  EXPECT_FALSE(InkBox(Crop(client, drawing), kWhite).Empty()) << "the plan is drawn";
}

// A red 200 x 150 mm rectangle from the command line: a red 4:3 outline,
// fitted to the client and centred in it.
TEST(Shown, ARedRectangleIsARedOutlineFittedAndCentred) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  WriteFile(Work("box.plt"), "IN;SP2;PU1000,1000;PD9000,1000,9000,7000,1000,7000,1000,1000;PU;SP0;");
  App app("box.plt");
  Box box = WaitBox(app.pid());
  ASSERT_EQ(box.text, ConvertedText(Work("box.plt"), Work("box.emf")));
  Press(box.hwnd, IDOK);
  app.Place(0, 0, 1440, 810);
  Repaint(app.frame());
  Picture client = GrabClient(app.Client());
  Box2 ink = InkBox(client, kWhite);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.Width(), 200);
  EXPECT_NEAR(static_cast<double>(ink.Width()) / ink.Height(), 4.0 / 3.0, 0.04) << "4:3";
  EXPECT_TRUE(ink.Height() * 100 >= client.height * 90 || ink.Width() * 100 >= client.width * 90) << "fitted";
  EXPECT_NEAR(ink.left, client.width - 1 - ink.right, 3) << "centred";
  EXPECT_NEAR(ink.top, client.height - 1 - ink.bottom, 3) << "centred";
  int red = CountColor(Crop(client, ink), 0xFF0000);
  int inked = CountDiffering(Crop(client, ink), kWhite);
  EXPECT_GE(red * 10, inked * 9) << "drawn with pen 2, red";
  EXPECT_GE(inked, (ink.Width() + ink.Height()) * 2 * 9 / 10) << "the whole outline";
  EXPECT_LT(inked, ink.Width() * ink.Height() / 4) << "an outline, not a filled box";
}

// On a small drawing, so that the largest zooms paint quickly.
TEST(Zooms, CaptionsNameTheZoomAndStepsFollowTheTable) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  SetSetting("NoInfoMessages", kOn);
  WriteFile(Work("small.plt"), BoxPlot(2000, 1000));
  App app("small.plt");
  ASSERT_TRUE(WaitFor([&] { return app.Caption() == Work("small.plt") + " - Tessella"; }));
  app.Place(0, 0, 400, 300);  // little to paint at each step
  struct Step {
    unsigned id;
    const char* suffix;
  };
  const Step steps[] = {
      {1300, ""},       {1311, " [1:1]"}, {1323, " [1:3]"}, {1311, " [1:2]"},  {1311, " [1:1]"},
      {1321, " [1:2]"}, {1313, " [3:1]"}, {1321, " [2:1]"}, {1321, " [1:1]"},  {1318, " [8:1]"},
      {1311, " [9:1]"}, {1312, " [2:1]"}, {1300, ""},       {1321, " [1:1]"}, {1300, ""},
  };
  for (const Step& s : steps) {
    app.Send(s.id);
    EXPECT_EQ(ZoomSuffix(app), s.suffix) << "after " << s.id;
  }
  // The edges: 31:1 goes to 32:1 and stays; 1:31 goes to the smallest zoom.
  app.Send(1318);
  for (int i = 0; i < 23; ++i) app.Send(1311);
  EXPECT_EQ(ZoomSuffix(app), " [31:1]");
  app.Send(1311);
  EXPECT_EQ(ZoomSuffix(app), " [32:1]");
  app.Send(1311);
  EXPECT_EQ(ZoomSuffix(app), " [32:1]");
  app.Send(1328);
  for (int i = 0; i < 23; ++i) app.Send(1321);
  EXPECT_EQ(ZoomSuffix(app), " [1:31]");
  app.Send(1321);
  EXPECT_EQ(ZoomSuffix(app), " [1:32]") << "31 thousandths, the smallest zoom";
  app.Send(1321);
  EXPECT_EQ(ZoomSuffix(app), " [1:32]");
  app.Send(1311);
  EXPECT_EQ(ZoomSuffix(app), " [1:31]");

  // The keys do the same as the menu.
  app.Keys({VK_F5});
  EXPECT_EQ(ZoomSuffix(app), " [1:1]");
  app.Type("+");
  EXPECT_EQ(ZoomSuffix(app), " [2:1]") << "'+' zooms in";
  app.Type("--");
  EXPECT_EQ(ZoomSuffix(app), " [1:2]") << "'-' zooms out";
  app.Keys({VK_F9});
  EXPECT_EQ(ZoomSuffix(app), "");
}

TEST_F(View, ZoomKeepsTheRelativePositionResizeTheAbsoluteOne) {
  App& app = *app_;
  app.Place(0, 0, 1600, 1000);
  app.Send(1312);  // 2:1
  ProbeBlock s = app.Scroll();
  ASSERT_TRUE(s.horzVisible && s.vertVisible);
  EXPECT_EQ(s.scroll[0][1], Zoomed(bounds_.w, 2000));
  EXPECT_EQ(s.scroll[1][1], Zoomed(bounds_.h, 2000));
  EXPECT_EQ(s.scroll[0][2], s.clientWidth);
  EXPECT_EQ(s.scroll[1][2], s.clientHeight);
  EXPECT_EQ(s.scroll[0][3], 0);

  // Keys: a page right twice and a line back, a page down and a line.
  app.Chord(VK_CONTROL, VK_RIGHT);
  app.Chord(VK_CONTROL, VK_RIGHT);
  app.Keys({VK_LEFT, VK_NEXT, VK_DOWN});
  s = app.Scroll();
  long h = s.scroll[0][3], v = s.scroll[1][3];
  EXPECT_EQ(h, 2 * s.scroll[0][2] - 1);
  EXPECT_EQ(v, s.scroll[1][2] + 1);
  Repaint(app.frame());
  SaveShot(GrabWindow(app.frame()), "floorplan_2to1");
  Picture part = GrabClient(app.Client());
  EXPECT_FALSE(HasHatch(part)) << "the drawing covers the client";
  EXPECT_GT(CountDiffering(part, kWhite), 500) << "a part of the plan is in view";
  app.Keys({VK_UP, VK_PRIOR});
  EXPECT_EQ(app.Scroll().scroll[1][3], 0);
  app.Keys({VK_NEXT});
  v = app.Scroll().scroll[1][3];

  // 4:1: the same fraction of the larger range.
  app.Send(1314);
  ProbeBlock z = app.Scroll();
  EXPECT_EQ(z.scroll[0][1], Zoomed(bounds_.w, 4000));
  EXPECT_EQ(z.scroll[0][3], static_cast<long long>(h) * z.scroll[0][1] / s.scroll[0][1]);
  EXPECT_EQ(z.scroll[1][3], static_cast<long long>(v) * z.scroll[1][1] / s.scroll[1][1]);

  // A smaller window: the same pixel stays at the corner.
  app.Place(0, 0, 1200, 800);
  ProbeBlock r = app.Scroll();
  EXPECT_EQ(r.scroll[0][3], z.scroll[0][3]);
  EXPECT_EQ(r.scroll[1][3], z.scroll[1][3]);
  EXPECT_LT(r.clientWidth, z.clientWidth);
  app.Place(0, 0, 1600, 1000);
}

TEST_F(View, ASmallerDrawingIsCentredOnTheHatchWithoutBars) {
  App& app = *app_;
  app.Place(0, 0, 1600, 1000);
  app.Send(1324);  // 1:4
  EXPECT_EQ(ZoomSuffix(app), " [1:4]");
  ProbeBlock s = app.Scroll();
  EXPECT_FALSE(s.horzVisible || s.vertVisible);
  Repaint(app.frame());
  SaveShot(GrabWindow(app.frame()), "floorplan_1to4");
  Picture client = GrabClient(app.Client());
  ASSERT_TRUE(HasHatch(client));
  Box2 drawing = UnhatchedBox(client);
  EXPECT_NEAR(drawing.Width(), Zoomed(bounds_.w, 250), 2);
  EXPECT_NEAR(drawing.Height(), Zoomed(bounds_.h, 250), 2);
  EXPECT_NEAR(drawing.left, client.width - 1 - drawing.right, 2) << "centred across";
  EXPECT_NEAR(drawing.top, client.height - 1 - drawing.bottom, 2) << "centred down";
}

TEST_F(View, ShrinkWrapFitsTheFrameAroundTheZoomedDrawing) {
  App& app = *app_;
  app.Place(40, 30, 1600, 1000);
  app.Send(1300);
  app.Send(1350);
  RECT unchanged = app.FrameRect();
  EXPECT_EQ(unchanged.right - unchanged.left, 1600) << "nothing to wrap when fitted";

  app.Send(1324);  // 1:4
  RECT before = app.FrameRect();
  ProbeBlock s = app.Scroll();
  app.Send(1350);
  RECT after = app.FrameRect();
  EXPECT_EQ(after.right - after.left, (before.right - before.left) - s.clientWidth + Zoomed(bounds_.w, 250));
  EXPECT_EQ(after.bottom - after.top, (before.bottom - before.top) - s.clientHeight + Zoomed(bounds_.h, 250));
  EXPECT_EQ(after.left, 40);
  EXPECT_EQ(after.top, 30);
  ProbeBlock wrapped = app.Scroll();
  EXPECT_EQ(wrapped.clientWidth, Zoomed(bounds_.w, 250));
  EXPECT_EQ(wrapped.clientHeight, Zoomed(bounds_.h, 250));

  // Larger than the screen: the work area, from its corner.
  app.Send(1312);
  app.Send(1350);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT big = app.FrameRect();
  EXPECT_EQ(big.right - big.left, work.right - work.left);
  EXPECT_EQ(big.bottom - big.top, work.bottom - work.top);
  EXPECT_EQ(big.left, work.left);
  EXPECT_EQ(big.top, work.top);
  app.Place(0, 0, 1600, 1000);
  app.Send(1300);
}

}  // namespace
}  // namespace gui
