// One instance: a second start hands its command line to the first (at once,
// or after the command line the first is busy with), unless it asks for a
// DDE run; a command line that converts nothing leaves the Open dialog up.
#include <gtest/gtest.h>

#include "gui_actions.h"

namespace gui {
namespace {

int Frames() {
  int n = 0;
  HWND h = nullptr;
  while ((h = FindWindowExA(nullptr, h, "Tessella", nullptr)) != nullptr) n += IsWindowVisible(h) ? 1 : 0;
  return n;
}

TEST(Instance, ASecondStartHandsItsFileToTheFirstAndEnds) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  WriteFile(Work("second.plt"), BoxPlot(4000, 2000, 3));
  // The first runs in another folder: second.plt is found where the second
  // start was given it.
  CreateDirectoryA(Work("elsewhere").c_str(), nullptr);
  App first("", true, Work("elsewhere"));
  ASSERT_TRUE(first.frame());
  ASSERT_TRUE(DriveFileDialog(first.pid(), "Open Plot File", ""));

  App second("second.plt", false);
  Box box = WaitBox(first.pid());
  EXPECT_EQ(box.text, ConvertedText(Work("second.plt"), Work("second.emf")));
  EXPECT_EQ(Frames(), 1) << "the second start made no frame";
  EXPECT_TRUE(Press(box.hwnd, IDOK)) << "the closing message stayed up";
  // It waits for the first to take the command line, then ends.
  EXPECT_EQ(second.WaitExit(), 0);
  EXPECT_TRUE(WaitFor([&] { return first.Caption() == Work("second.plt") + " - Tessella"; }));
  EXPECT_TRUE(first.Running()) << "NoAutoClose keeps the frame";

  // A DDE start runs beside it.
  App dde("/DDE", true);
  ASSERT_TRUE(dde.frame());
  EXPECT_NE(dde.pid(), first.pid());
  EXPECT_EQ(Frames(), 2);
  // /DDE counts as processed: no Open dialog, and the frame stays.
  EXPECT_FALSE(WaitTop("#32770", "Open Plot File", dde.pid(), 1500));
  EXPECT_TRUE(dde.Running());
}

TEST(Instance, ACommandLineWaitsWhileAnotherIsProcessed) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  WriteFile(Work("busy.plt"), BoxPlot(2000, 2000, 2));
  WriteFile(Work("later.plt"), BoxPlot(3000, 1000, 4));
  App first("busy.plt");
  // The closing message of busy.plt is up: its command line is still being
  // processed.
  Box busy = WaitBox(first.pid());
  ASSERT_EQ(busy.text, ConvertedText(Work("busy.plt"), Work("busy.emf")));
  App second("later.plt", false);
  EXPECT_EQ(second.WaitExit(), 0) << "handed over even while the first is busy";
  Sleep(3000);  // a retry or so later: still waiting
  EXPECT_FALSE(FileExists(Work("later.emf")));
  Press(busy.hwnd, IDOK);
  Box later = WaitBox(first.pid(), 10000);
  EXPECT_EQ(later.text, ConvertedText(Work("later.plt"), Work("later.emf")));
  Press(later.hwnd, IDOK);
  EXPECT_TRUE(WaitFor([&] { return first.Caption() == Work("later.plt") + " - Tessella"; }));
}

TEST(Instance, ACommandLineWaitsWhileAConversionFromTheMenuShowsItsMessage) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  WriteFile(Work("menu.plt"), BoxPlot(2000, 2000, 2));
  WriteFile(Work("handed.plt"), BoxPlot(3000, 1000, 4));
  App first("");
  ASSERT_TRUE(DriveFileDialog(first.pid(), "Open Plot File", Work("menu.plt")));
  Box menu = WaitBox(first.pid());
  ASSERT_EQ(menu.text, ConvertedText(Work("menu.plt"), Work("menu.emf")));
  App second("handed.plt", false);
  EXPECT_EQ(second.WaitExit(), 0);
  Sleep(1000);
  EXPECT_FALSE(FileExists(Work("handed.emf"))) << "not converted inside the other conversion's message";
  Press(menu.hwnd, IDOK);
  Box handed = WaitBox(first.pid(), 10000);
  EXPECT_EQ(handed.text, ConvertedText(Work("handed.plt"), Work("handed.emf")));
  Press(handed.hwnd, IDOK);
}

TEST(Instance, AWaitingCommandLineIsNotLostWhenTheBatchClosesTheFrame) {
  ResetSettings();  // NoAutoClose off: a command line closes the frame
  WriteFile(Work("first.plt"), BoxPlot(2000, 2000, 2));
  WriteFile(Work("waiting.plt"), BoxPlot(3000, 1000, 4));
  App first("first.plt");
  Box box = WaitBox(first.pid());
  App second("waiting.plt", false);
  EXPECT_EQ(second.WaitExit(), 0);
  Press(box.hwnd, IDOK);
  Box waiting = WaitBox(first.pid(), 10000);
  EXPECT_EQ(waiting.text, ConvertedText(Work("waiting.plt"), Work("waiting.emf")));
  Press(waiting.hwnd, IDOK);
  EXPECT_EQ(first.WaitExit(), 0) << "closed after the last command line";
}

TEST(Instance, ACommandLineThatConvertsNothingLeavesTheOpenDialogUp) {
  ResetSettings();
  App app("nothing.plt");
  Box box = WaitBox(app.pid());
  EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "Error opening 'nothing.plt'");
  EXPECT_GT(box.text.size(), std::string("Error opening 'nothing.plt'\n\n").size()) << "with the system's reason";
  Press(box.hwnd, IDOK);
  HWND open = WaitTop("#32770", "Open Plot File", app.pid());
  EXPECT_TRUE(open);
  Press(open, IDCANCEL);
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(app.Caption(), "Tessella 5.4.1110 - HP-GL Plot file conversion utility");
}

}  // namespace
}  // namespace gui
