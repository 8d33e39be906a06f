// The command line: unattended batches that export and close (or stay with
// NoAutoClose, or close all the same with /BX), /K in the middle, folders,
// output folders, EMZ output opened again.
#include <gtest/gtest.h>

#include "gui_actions.h"
#include "gui_pictures.h"

namespace gui {
namespace {

uint32_t BigEndian32(const std::string& s, size_t at) {
  auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(s[at + i])); };
  return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

std::vector<std::string> Matches(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA(pattern.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(d.cFileName);
  while (FindNextFileA(h, &d));
  FindClose(h);
  return names;
}

TEST(Batch, ConvertsExportsAndCloses) {
  ResetSettings();
  WriteFile(Work("x.plt"), BoxPlot(8000, 4000, 2));
  App app("/B /WPNG:1024 x.plt", false);
  EXPECT_EQ(app.WaitExit(), 0) << "no message waits for an answer, and the frame closes";
  ASSERT_TRUE(FileExists(Work("x.emf")));
  std::string png = ReadFile(Work("x.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(BigEndian32(png, 16), 1024u) << "the width asked for";
  HENHMETAFILE emf = GetEnhMetaFileA(Work("x.emf").c_str());
  ENHMETAHEADER h{};
  GetEnhMetaFileHeader(emf, sizeof h, &h);
  DeleteEnhMetaFile(emf);
  double aspect = static_cast<double>(h.rclBounds.right - h.rclBounds.left) / (h.rclBounds.bottom - h.rclBounds.top);
  EXPECT_EQ(BigEndian32(png, 20), static_cast<uint32_t>(1024 / aspect)) << "the drawing's proportions";
}

TEST(Batch, NoAutoCloseKeepsTheFrameAndBxClosesItAllTheSame) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  WriteFile(Work("kept.plt"), BoxPlot(3000, 3000, 3));
  {
    App app("/B /WPNG:300 kept.plt");
    ASSERT_TRUE(WaitFor([&] { return FileExists(Work("kept.png")); }));
    EXPECT_EQ(app.WaitExit(1500), -1) << "the frame stays";
    EXPECT_TRUE(WaitFor([&] { return app.Caption() == Work("kept.plt") + " - Tessella"; }));
  }
  RemoveFile(Work("kept.emf"));
  App bx("/BX kept.plt", false);
  EXPECT_EQ(bx.WaitExit(), 0);
  EXPECT_TRUE(FileExists(Work("kept.emf")));
}

TEST(Batch, KInTheMiddleEndsTheProgram) {
  ResetSettings();
  WriteFile(Work("before.plt"), BoxPlot(2000, 2000, 2));
  WriteFile(Work("after.plt"), BoxPlot(2000, 2000, 2));
  App app("before.plt /K after.plt");
  Box box = WaitBox(app.pid());
  EXPECT_EQ(box.text, ConvertedText(Work("before.plt"), Work("before.emf")));
  Press(box.hwnd, IDOK);
  EXPECT_EQ(app.WaitExit(), 0);
  EXPECT_FALSE(FileExists(Work("after.emf"))) << "nothing after /K";
}

TEST(Batch, FoldersOutputFoldersAndCompressedMetafiles) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  CreateDirectoryA(Work("plots").c_str(), nullptr);
  CreateDirectoryA(Work("empty").c_str(), nullptr);
  CreateDirectoryA(Work("out").c_str(), nullptr);
  for (const char* name : {"plots\\b.plt", "plots\\a.plt", "plots\\c.hgl", "plots\\d.hpg"})
    WriteFile(Work(name), BoxPlot(2000, 1000, 4));
  WriteFile(Work("plots\\notes.txt"), "not a plot");
  {
    App app("/B /O:out\\ plots");
    // .plt first, then .hgl, then .hpg: the last one converted is d.hpg.
    ASSERT_TRUE(WaitFor([&] { return app.Caption() == Work("plots\\d.hpg") + " - Tessella"; }));
    for (const char* out : {"out\\a.emf", "out\\b.emf", "out\\c.emf", "out\\d.emf"})
      EXPECT_TRUE(FileExists(Work(out))) << out;
    EXPECT_FALSE(FileExists(Work("out\\notes.emf")));
    EXPECT_TRUE(Matches(Work("plots\\*.emf")).empty()) << "nothing beside the plots";
  }
  {
    // An empty folder is reported once, then the Open dialog comes up.
    App app("/B empty");
    Box box = WaitBox(app.pid());
    EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "Error opening 'empty'");
    Press(box.hwnd, IDOK);
    HWND open = WaitTop("#32770", "Open Plot File", app.pid());
    EXPECT_TRUE(open);
    EXPECT_FALSE(WaitBox(app.pid(), 500).hwnd) << "reported once";
    Press(open, IDCANCEL);
  }
  {
    // /T writes an EMZ in place of the EMF; Open Metafile shows it again
    // and leaves no temporary file behind.
    RemoveFile(Work("z.emf"));
    WriteFile(Work("z.plt"), BoxPlot(6000, 3000, 2));
    App app("/B /T z.plt");
    ASSERT_TRUE(WaitFor([&] { return FileExists(Work("z.emz")); }));
    EXPECT_TRUE(WaitFor([&] { return !FileExists(Work("z.emf")); })) << "the EMZ takes the EMF's place";
    std::string emz = ReadFile(Work("z.emz"));
    ASSERT_GT(emz.size(), 2u);
    EXPECT_EQ(static_cast<uint8_t>(emz[0]), 0x1F);
    EXPECT_EQ(static_cast<uint8_t>(emz[1]), 0x8B);
    app.Send(1105);  // an empty view first
    app.Post(1002);
    ASSERT_TRUE(DriveFileDialog(app.pid(), "Open MetaFile", Work("z.emz")));
    app.Sync();
    EXPECT_EQ(app.Caption(), "Tessella 5.4.1110 - HP-GL Plot file conversion utility");
    Repaint(app.frame());
    EXPECT_GT(CountColor(GrabClient(app.Client()), 0xFF0000), 100) << "the drawing is shown";
    EXPECT_TRUE(Matches(Work("tsl*")).empty());
  }
}

}  // namespace
}  // namespace gui
