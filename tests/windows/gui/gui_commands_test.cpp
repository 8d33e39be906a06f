// The commands of the File, Edit and Help menus through the real common
// dialogs, the menu's states with their keys, the clipboard and dropped
// files.
#include <gtest/gtest.h>

#include "gui_actions.h"
#include "gui_pictures.h"

namespace gui {
namespace {

const std::vector<uint32_t> kSourceItems = {1010, 1012, 1011, 1020, 1101};

bool Grayed(uint32_t state) { return state != 0xFFFFFFFF && (state & (MF_GRAYED | MF_DISABLED)) != 0; }

// Nothing of `pid` comes up for a while: no dialog, no box.
bool NothingOpens(const App& app, DWORD ms = 1200) {
  Sleep(ms);
  return FindTop("#32770", nullptr, app.pid()) == nullptr;
}

ENHMETAHEADER HeaderOf(const std::string& path) {
  ENHMETAHEADER h{};
  HENHMETAFILE emf = GetEnhMetaFileA(path.c_str());
  if (emf) GetEnhMetaFileHeader(emf, sizeof h, &h);
  DeleteEnhMetaFile(emf);
  return h;
}

// The records after the header (whose description holds the time).
std::string Records(const std::string& path) {
  std::string f = ReadFile(path);
  if (f.size() < 8) return std::string();
  uint32_t headerSize = static_cast<uint8_t>(f[4]) | static_cast<uint8_t>(f[5]) << 8 | static_cast<uint8_t>(f[6]) << 16;
  return headerSize < f.size() ? f.substr(headerSize) : std::string();
}

class Commands : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetSettings();
    SetSetting("NoAutoClose", kOn);
    WriteFile(Work("cmd.plt"), BoxPlot(8000, 4000, 2) + "SP3;PU1000,1000;PD7000,3000;SP0;");
    WriteFile(Work("other.plt"), BoxPlot(3000, 3000, 5));
    app_ = new App("cmd.plt");
    Box box = WaitBox(app_->pid());
    EXPECT_EQ(box.text, ConvertedText(Work("cmd.plt"), Work("cmd.emf")));
    Press(box.hwnd, IDOK);
    app_->Place(0, 0, 1200, 800);
  }
  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
  }
  static App* app_;
};
App* Commands::app_ = nullptr;

TEST_F(Commands, OpenHpglThroughItsDialogAndSaveAsEmfByteForByte) {
  App& app = *app_;
  app.Chord(VK_CONTROL, 'O');
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open Plot File", Work("other.plt")));
  Box box = WaitBox(app.pid());
  EXPECT_EQ(box.text, ConvertedText(Work("other.plt"), Work("other.emf")));
  Press(box.hwnd, IDOK);
  EXPECT_TRUE(WaitFor([&] { return app.Caption() == Work("other.plt") + " - Tessella"; }));

  RemoveFile(Work("saved.emf"));  // no question whether to replace it
  app.Chord(VK_CONTROL, 'S');
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Save MetaFile As", Work("saved.emf")));
  Box done = WaitBox(app.pid());
  EXPECT_EQ(done.caption, "Save As... Complete");
  EXPECT_EQ(done.text.substr(0, 18), "File 'saved.emf' (");
  EXPECT_NE(done.text.find("has been saved to folder\n" + Work("").substr(0, Work("").size() - 1) + "."),
            std::string::npos)
      << done.text;
  Press(done.hwnd, IDOK);
  std::string saved = ReadFile(Work("saved.emf"));
  EXPECT_EQ(saved, ReadFile(Work("other.emf"))) << "the view holds the converted metafile";
  app.Send(1101);
  HENHMETAFILE clip = ClipboardMetafile();
  std::vector<uint8_t> bits = MetafileBits(clip);
  DeleteEnhMetaFile(clip);
  EXPECT_EQ(std::string(bits.begin(), bits.end()), saved) << "the view's metafile, byte for byte";
}

TEST_F(Commands, MenuItemsFollowTheSourceAndTheirKeysDoNothingWhenDisabled) {
  App& app = *app_;
  app.Post(1995);  // convert the source again
  Press(WaitBox(app.pid()).hwnd, IDOK);
  for (uint32_t s : app.MenuStates(kSourceItems)) EXPECT_FALSE(Grayed(s));
  std::string caption = app.Caption();

  // Clear keeps the source: the items stay enabled, the view is empty.
  app.Keys({VK_DELETE});
  for (uint32_t s : app.MenuStates(kSourceItems)) EXPECT_FALSE(Grayed(s));
  Repaint(app.frame());
  Picture empty = GrabClient(app.Client());
  COLORREF w = GetSysColor(COLOR_APPWORKSPACE);
  EXPECT_EQ(CountColor(empty, (GetRValue(w) << 16) | (GetGValue(w) << 8) | GetBValue(w)),
            empty.width * empty.height)
      << "a cleared view shows the workspace colour";
  EXPECT_EQ(app.Caption(), caption);

  // Open Metafile: no source any more.
  app.Chord(VK_CONTROL, 'M');
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open MetaFile", Work("cmd.emf")));
  EXPECT_TRUE(WaitFor([&] { return app.Caption() == "Tessella 5.4.1110 - HP-GL Plot file conversion utility"; }));
  // The opened metafile is drawn: the view is no longer only workspace.
  Repaint(app.frame());
  Picture opened = GrabClient(app.Client());
  SaveShot(opened, "view_after_open_metafile");
  EXPECT_LT(CountColor(opened, (GetRValue(w) << 16) | (GetGValue(w) << 8) | GetBValue(w)),
            opened.width * opened.height)
      << "the opened metafile is shown";
  std::vector<uint32_t> states = app.MenuStates(kSourceItems);
  ASSERT_EQ(states.size(), kSourceItems.size());
  for (size_t i = 0; i < states.size(); ++i) EXPECT_TRUE(Grayed(states[i])) << kSourceItems[i];

  // The File menu as the user sees it now, greyed items and all.
  app.Chord(VK_MENU, 'F');
  HWND popup = WaitTop("#32768", nullptr, app.pid(), 5000);
  EXPECT_TRUE(popup) << "the File menu opens";
  if (popup) {
    Repaint(popup);
    SaveShot(GrabWindow(popup), "file_menu_after_open_metafile");
    app.Keys({VK_ESCAPE, VK_ESCAPE});
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(popup); }, 3000));
  }

  // Their keys do nothing: no dialog, no box, the clipboard untouched.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  app.Chord(VK_CONTROL, 'S');
  EXPECT_TRUE(NothingOpens(app)) << "Ctrl+S";
  app.Chord(VK_CONTROL, 'P');
  EXPECT_TRUE(NothingOpens(app)) << "Ctrl+P";
  app.Chord(VK_CONTROL, 'C');
  app.Sync();
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_ENHMETAFILE)) << "Ctrl+C";
  // Paste is enabled only with a metafile on the clipboard.
  EXPECT_TRUE(Grayed(app.MenuStates({1102})[0]));
  // The menu's own key works: the About box.
  app.Chord(VK_MENU, 'I');
  HWND about = WaitTop("#32770", "About Tessella", app.pid());
  ASSERT_TRUE(about);
  Press(about, IDOK);
}

TEST_F(Commands, AMissingMetafileIsReportedAndTheViewKept) {
  App& app = *app_;
  app.Chord(VK_CONTROL, 'M');
  HWND dialog = WaitTop("#32770", "Open MetaFile", app.pid());
  ASSERT_TRUE(dialog);
  // A file that is there but is no metafile (the dialog wants the file to
  // exist).
  WriteFile(Work("notes.emf"), "just some text, no metafile");
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open MetaFile", Work("notes.emf")));
  Box box = WaitBox(app.pid());
  EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "Error opening MetaFile '" + Work("notes.emf") + "'.");
  Press(box.hwnd, IDOK);
}

TEST_F(Commands, CopyAndPasteEnhancedMetafiles) {
  App& app = *app_;
  app.Post(1002);  // Open Metafile through its dialog once more
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open MetaFile", Work("cmd.emf")));
  app.Sync();
  app.Send(1101);
  HENHMETAFILE copied = ClipboardMetafile();
  ASSERT_TRUE(copied);
  EXPECT_EQ(MetafileBits(copied), [] {
    std::string f = ReadFile(Work("cmd.emf"));
    return std::vector<uint8_t>(f.begin(), f.end());
  }());
  Picture played = Play(copied, 400, 200);
  DeleteEnhMetaFile(copied);
  EXPECT_GT(CountColor(played, 0xFF0000), 100) << "pen 2 draws red";

  // A metafile of ours, pasted, replaces the view.
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT r{0, 0, 300, 200};
  FillRect(dc, &r, blue);
  DeleteObject(blue);
  HENHMETAFILE ours = CloseEnhMetaFile(dc);
  ASSERT_TRUE(PutMetafileOnClipboard(ours));
  EXPECT_FALSE(Grayed(app.MenuStates({1102})[0])) << "Paste is enabled";
  app.Chord(VK_CONTROL, 'V');
  Repaint(app.frame());
  Picture view = GrabClient(app.Client());
  EXPECT_GT(CountColor(view, 0x0000FF), view.width * view.height / 4) << "the pasted drawing is shown";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  app.Send(1101);
  HENHMETAFILE back = ClipboardMetafile();
  EXPECT_EQ(MetafileBits(back), MetafileBits(ours));
  DeleteEnhMetaFile(back);
  DeleteEnhMetaFile(ours);
}

TEST_F(Commands, DroppedFilesConvertInTheirOrder) {
  App& app = *app_;
  WriteFile(Work("drop one.plt"), BoxPlot(1000, 2000, 3));
  WriteFile(Work("drop two.plt"), BoxPlot(2000, 1000, 4));
  RemoveFile(Work("drop one.emf"));
  RemoveFile(Work("drop two.emf"));
  app.Drop({Work("drop one.plt"), Work("drop two.plt")});
  Box first = WaitBox(app.pid());
  EXPECT_EQ(first.text, ConvertedText(Work("drop one.plt"), Work("drop one.emf")));
  Press(first.hwnd, IDOK);
  Box second = WaitBox(app.pid());
  EXPECT_EQ(second.text, ConvertedText(Work("drop two.plt"), Work("drop two.emf")));
  Press(second.hwnd, IDOK);
  EXPECT_TRUE(WaitFor([&] { return app.Caption() == Work("drop two.plt") + " - Tessella"; }));
  EXPECT_TRUE(FileExists(Work("drop one.emf")));
  EXPECT_TRUE(FileExists(Work("drop two.emf")));
}

TEST_F(Commands, OpenSpecialAppliesItsChoicesToOneConversion) {
  App& app = *app_;
  app.Post(1001);
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open Plot File", Work("cmd.plt")));
  Press(WaitBox(app.pid()).hwnd, IDOK);
  ENHMETAHEADER plain = HeaderOf(Work("cmd.emf"));
  std::string plainRecords = Records(Work("cmd.emf"));

  app.Chord(VK_CONTROL, 'H');
  HWND dlg = WaitTop("#32770", "Special Processing Options", app.pid());
  ASSERT_TRUE(dlg);
  EXPECT_EQ(TextOf(ChildById(dlg, 1002)), Work("cmd.plt")) << "the current source";
  struct Control {
    int id;
    const char* cls;
    const char* text;
  };
  const Control controls[] = {{5090, "Button", "&Browse..."},     {1013, "Button", "&Fix Rotation"},
                              {1007, "Button", "0\xB0"},          {1004, "Button", "90\xB0"},
                              {1005, "Button", "180\xB0"},        {1006, "Button", "270\xB0"},
                              {1009, "Button", "Mirror &X Axis"}, {1010, "Button", "Mirror &Y Axis"},
                              {1034, "ComboBox", nullptr},        {IDOK, "Button", "OK"},
                              {IDCANCEL, "Button", "Cancel"}};
  for (const Control& c : controls) {
    HWND h = ChildById(dlg, c.id);
    ASSERT_TRUE(h) << c.id;
    EXPECT_EQ(ClassOf(h), c.cls) << c.id;
    if (c.text) {
      EXPECT_EQ(TextOf(h), c.text) << c.id;
    }
  }
  HWND scale = ChildById(dlg, 1034);
  DWORD_PTR items = 0;
  SendMessageTimeoutA(scale, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &items);
  EXPECT_EQ(items, 7u);
  EXPECT_EQ(TextOf(scale), "100%");
  // The rotations follow Fix Rotation.
  EXPECT_FALSE(IsWindowEnabled(ChildById(dlg, 1004)));
  SendMessageTimeoutA(ChildById(dlg, 1013), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, nullptr);
  EXPECT_TRUE(IsWindowEnabled(ChildById(dlg, 1004)));
  SendMessageTimeoutA(ChildById(dlg, 1013), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, nullptr);
  EXPECT_FALSE(IsWindowEnabled(ChildById(dlg, 1004)));
  Repaint(dlg);
  SaveShot(GrabWindow(dlg), "open_with_options");
  EXPECT_GT(CountDiffering(GrabWindow(dlg), 0), 1000) << "the dialog is painted";

  // Mirror X and a scale that is no number: a mirrored drawing at 100%.
  SendMessageTimeoutA(ChildById(dlg, 1009), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, nullptr);
  HWND edit = FindWindowExA(scale, nullptr, "Edit", nullptr);
  ASSERT_TRUE(edit);
  SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"), SMTO_NORMAL, 5000, nullptr);
  Press(dlg, IDOK);
  Box converted = WaitBox(app.pid());
  EXPECT_EQ(converted.text, ConvertedText(Work("cmd.plt"), Work("cmd.emf"))) << "the shown metafile is replaced";
  Press(converted.hwnd, IDOK);
  ENHMETAHEADER mirrored = HeaderOf(Work("cmd.emf"));
  EXPECT_NEAR(mirrored.rclBounds.right - mirrored.rclBounds.left, plain.rclBounds.right - plain.rclBounds.left, 1)
      << "the same size: the scale stayed 100";
  EXPECT_NE(Records(Work("cmd.emf")), plainRecords) << "mirrored";

  // The choice is remembered for the dialog, but the next plain conversion
  // has its own options again.
  app.Chord(VK_CONTROL, 'H');
  dlg = WaitTop("#32770", "Special Processing Options", app.pid());
  ASSERT_TRUE(dlg);
  EXPECT_EQ(TextOf(ChildById(dlg, 1034)), "100%");
  EXPECT_EQ(SendMessageA(ChildById(dlg, 1009), BM_GETCHECK, 0, 0), BST_CHECKED);
  Press(dlg, IDCANCEL);
  app.Post(1995);
  Press(WaitBox(app.pid()).hwnd, IDOK);
  ENHMETAHEADER again = HeaderOf(Work("cmd.emf"));
  EXPECT_EQ(again.rclBounds.left, plain.rclBounds.left);
  EXPECT_EQ(again.rclBounds.right, plain.rclBounds.right);
  EXPECT_EQ(Records(Work("cmd.emf")), plainRecords) << "not mirrored any more";
}

TEST_F(Commands, TheAboutBoxNamesTheProgramAndItsLibraries) {
  App& app = *app_;
  app.Post(1249);
  HWND about = WaitTop("#32770", "About Tessella", app.pid());
  ASSERT_TRUE(about);
  EXPECT_EQ(TextOf(ChildById(about, 1261)), "Tessella");
  EXPECT_EQ(TextOf(ChildById(about, 1262)), "Version 5.4.1110");
  EXPECT_EQ(TextOf(ChildById(about, 1263)).substr(0, 9), "Copyright");
  std::string libs = TextOf(ChildById(about, 1264));
  EXPECT_EQ(libs.substr(0, 16), "Libraries: zlib ") << libs;
  EXPECT_NE(libs.find(", libpng 1."), std::string::npos) << libs;
  EXPECT_NE(libs.find(", libjpeg-turbo "), std::string::npos) << libs;
  Repaint(about);
  SaveShot(GrabWindow(about), "about");
  Press(about, IDOK);
}

}  // namespace
}  // namespace gui

namespace gui {
namespace {

// View Log and View Source hand the file, quoted, to the text viewer of the
// preferences; a viewer that cannot be started is reported.
TEST(TextViewer, LogAndSourceOpenInTheViewerWithTheirNamesWhole) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  SetSetting("NoInfoMessages", kOn);
  SetPreference("TextViewer", Where().viewer);
  std::string record = Work("viewer.txt");
  SetEnvironmentVariableA("TESSELLA_VIEWER_RECORD", record.c_str());
  WriteFile(Work("my plot.plt"), BoxPlot(2000, 1000));
  App app("\"my plot.plt\"");
  ASSERT_TRUE(WaitFor([&] { return app.Caption() == Work("my plot.plt") + " - Tessella"; }));

  // Under a loaded Wine a key sent while the frame is still being activated
  // can be lost; a user would press it again, and so does the test, once.
  app.Chord(VK_CONTROL, 'L');
  HWND dialog = WaitTop("#32770", "Open Log File", app.pid(), 4000);
  if (!dialog) {
    app.Chord(VK_CONTROL, 'L');
    dialog = WaitTop("#32770", "Open Log File", app.pid());
  }
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open Log File", Work("my plot.log")));
  ASSERT_TRUE(WaitFor([&] { return !ReadFile(record).empty(); }));
  std::string line = ReadFile(record);
  EXPECT_NE(line.find("\"" + Work("my plot.log") + "\""), std::string::npos) << line;

  RemoveFile(record);
  app.Chord(VK_CONTROL, 'W');
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open Plot File", Work("my plot.plt")));
  ASSERT_TRUE(WaitFor([&] { return !ReadFile(record).empty(); }));
  line = ReadFile(record);
  EXPECT_NE(line.find("\"" + Work("my plot.plt") + "\""), std::string::npos) << line;
}

TEST(TextViewer, AViewerThatCannotBeStartedIsReported) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  SetSetting("NoInfoMessages", kOn);
  SetPreference("TextViewer", Work("no such viewer.exe"));
  WriteFile(Work("seen.plt"), BoxPlot(1000, 1000));
  App app("seen.plt");
  ASSERT_TRUE(WaitFor([&] { return app.Caption() == Work("seen.plt") + " - Tessella"; }));
  app.Post(1003);
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open Log File", Work("seen.log")));
  Box box = WaitBox(app.pid());
  EXPECT_EQ(box.text, "Cannot view " + Work("seen.log") + ":\n\nThe specified file was not found.");
  Press(box.hwnd, IDOK);
}

}  // namespace
}  // namespace gui

namespace gui {
namespace {

// Alt+X ends the program, and with exit status 0.
TEST(Exit, AltXEndsTheProgram) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  WriteFile(Work("later.plt"), BoxPlot(1000, 1000));
  App app("later.plt");
  Press(WaitBox(app.pid()).hwnd, IDOK);
  app.Chord(VK_MENU, 'X');
  EXPECT_EQ(app.WaitExit(), 0);
}

}  // namespace
}  // namespace gui
