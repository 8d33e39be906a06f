// The progress box of a conversion started from the window: it opens for a
// large plot, its figure advances, its paths are shortened to fit, Cancel
// stops the run without a metafile, and with Quiet it never opens.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gui_actions.h"

#include <commctrl.h>

namespace gui {
namespace {

// Short random lines: about `megabytes` MB of plot that converts quickly
// per byte but long enough in all to watch.
std::string LinesPlot(int megabytes) {
  std::string plot = "IN;SP1;";
  plot.reserve(static_cast<size_t>(megabytes) << 20);
  unsigned seed = 7;
  auto next = [&seed](unsigned range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  char command[64];
  while (plot.size() < (static_cast<size_t>(megabytes) << 20)) {
    std::snprintf(command, sizeof command, "PU%u,%u;PD%u,%u;", next(40000), next(30000), next(40000), next(30000));
    plot += command;
  }
  return plot;
}

int Percent(HWND box) { return std::atoi(TextOf(ChildById(box, 107)).c_str()); }

// The text of control `id` fits its width in the control's own font.
bool TextFits(HWND box, int id) {
  HWND c = ChildById(box, id);
  std::string t = TextOf(c);
  RECT r{};
  GetClientRect(c, &r);
  HDC dc = GetDC(c);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(c, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, t.c_str(), static_cast<int>(t.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(c, dc);
  return size.cx <= r.right - r.left;
}

TEST(ProgressBox, AdvancesFitsItsPathsAndCancelKeepsNoMetafile) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  std::string folder = Work("a_rather_long_folder_for_the_plots");
  CreateDirectoryA(folder.c_str(), nullptr);
  folder += "\\and_a_second_long_folder_below_it";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string plot = folder + "\\big.plt", emf = folder + "\\big.emf", log = folder + "\\big.log";
  WriteFile(plot, LinesPlot(32));

  App app(plot);
  HWND box = WaitTop("#32770", "Processing...", app.pid(), 20000);
  ASSERT_TRUE(box) << "a conversion of a large plot shows the box";
  int first = Percent(box);
  EXPECT_TRUE(WaitFor([&] { return Percent(box) > first; }, 10000)) << "the figure advances from " << first;
  EXPECT_EQ(TextOf(ChildById(box, 107)).back(), '%');
  int bar = static_cast<int>(SendMessageA(ChildById(box, 103), PBM_GETPOS, 0, 0));
  EXPECT_GT(bar, 0) << "the bar follows the figure";

  std::string source = TextOf(ChildById(box, 104)), target = TextOf(ChildById(box, 102));
  EXPECT_NE(source.find("\\...\\"), std::string::npos) << source;
  EXPECT_EQ(source.substr(source.size() - 8), "\\big.plt");
  EXPECT_EQ(target.substr(target.size() - 8), "\\big.emf");
  EXPECT_TRUE(TextFits(box, 104)) << source;
  EXPECT_TRUE(TextFits(box, 102)) << target;
  EXPECT_EQ(TextOf(ChildById(box, 1036)), "Tessella Version 5.4 Build 1110");
  Repaint(box);
  SaveShot(GrabWindow(box), "progress_box_mid_run");

  ASSERT_TRUE(Press(box, IDCANCEL)) << "the box closes when the run has stopped";
  // The log holds the cancel line, so the run asks whether to show it.
  Box question = WaitBox(app.pid());
  EXPECT_EQ(question.text.substr(0, 21), "There were warnings g") << question.text;
  Press(question.hwnd, IDNO);
  app.Sync();
  EXPECT_FALSE(FileExists(emf)) << "no metafile under the final name";
  EXPECT_NE(ReadFile(log).find("CANCEL: Aborted by the user!"), std::string::npos);
  EXPECT_EQ(app.Caption().find(plot), std::string::npos) << "the view does not take the cancelled drawing";
  RemoveFile(plot);
  RemoveFile(log);
}

TEST(ProgressBox, QuietConvertsWithoutTheBox) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  WriteFile(Work("quiet.plt"), LinesPlot(16));  // long enough to see a box
  App app("/Q quiet.plt");
  bool seen = false;
  Box done;
  WaitFor(
      [&] {
        if (FindTop("#32770", "Processing...", app.pid())) seen = true;
        done = WaitBox(app.pid(), 0);
        return done.hwnd != nullptr;
      },
      30000);
  EXPECT_FALSE(seen) << "no box with Quiet";
  ASSERT_TRUE(done.hwnd);
  EXPECT_EQ(done.text, ConvertedText(Work("quiet.plt"), Work("quiet.emf")));
  Press(done.hwnd, IDOK);
  EXPECT_TRUE(FileExists(Work("quiet.emf")));
  RemoveFile(Work("quiet.plt"));
  RemoveFile(Work("quiet.emf"));
}

}  // namespace
}  // namespace gui
