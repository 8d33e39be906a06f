// The settings dialogs driven as a user would: Options with a set picked, a
// flag and a pen colour changed (through the real colour chooser), applied,
// saved under a new name and a set deleted; the registry read back with
// reg.exe; the file associations of Preferences; the settings file exported
// and imported from the menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "gui_actions.h"

namespace gui {
namespace {

constexpr char kBase[] = "Software\\Quillmark\\Tessella";
constexpr char kFullBase[] = "HKEY_CURRENT_USER\\Software\\Quillmark\\Tessella";

// What reg.exe prints for `args`.
std::string Reg(const std::string& args) { return RunAndRead("reg.exe " + args, 10000); }

// The values reg.exe lists for one key: name -> "TYPE data" ("" for the
// default value's name).
std::map<std::string, std::string> RegValues(const std::string& key) {
  std::map<std::string, std::string> values;
  std::string text = Reg("query \"" + key + "\"");
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, 4, "    ") != 0) continue;
    size_t type = line.find("    REG_", 4);
    if (type == std::string::npos) continue;
    std::string name = line.substr(4, type - 4);
    if (name == "(Default)") name.clear();
    size_t data = line.find("    ", type + 4);
    std::string t = line.substr(type + 4, data == std::string::npos ? std::string::npos : data - type - 4);
    values[name] = t + " " + (data == std::string::npos ? std::string() : line.substr(data + 4));
  }
  return values;
}

void DeleteTree(const std::string& key) { RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()); }

void SetValue(const std::string& key, const char* name, const std::string& text) {
  HKEY h;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != 0) return;
  RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
  RegCloseKey(h);
}

void SetNumber(const std::string& set, const char* name, uint32_t value) {
  HKEY h;
  std::string key = std::string(kBase) + "\\" + set;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != 0) return;
  RegSetValueExA(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(h);
}

// The colours of the pens a metafile creates.
std::vector<uint32_t> PenColours(const std::string& path) {
  std::string f = ReadFile(path);
  std::vector<uint32_t> colours;
  auto at = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<uint8_t>(f[i]) | static_cast<uint8_t>(f[i + 1]) << 8 |
                                 static_cast<uint8_t>(f[i + 2]) << 16 | static_cast<uint8_t>(f[i + 3]) << 24);
  };
  for (size_t i = 0; i + 8 <= f.size();) {
    uint32_t type = at(i), size = at(i + 4);
    if (size < 8 || i + size > f.size()) break;
    if (type == EMR_CREATEPEN && size >= 28) colours.push_back(at(i + 24));
    if (type == EMR_EXTCREATEPEN && size >= 44) colours.push_back(at(i + 40));
    i += size;
  }
  return colours;
}

bool Has(const std::vector<uint32_t>& v, uint32_t x) { return std::find(v.begin(), v.end(), x) != v.end(); }

bool IsChecked(HWND dialog, int id) { return SendMessageA(ChildById(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SelectSet(HWND dialog, const std::string& name) {
  HWND combo = ChildById(dialog, 110);
  SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(110, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void Shot(HWND window, const char* name) {
  Repaint(window);
  Sleep(300);
  SaveShot(GrabWindow(window), name);
}

HWND OpenOptions(App& app) {
  app.Post(1110);
  return WaitTop("#32770", "Tessella Options...", app.pid());
}

// A set "Plotter" and the start-up set "Default", nothing else.
void FreshSets() {
  DeleteTree(kBase);
  SetNumber("Default", "NoAutoClose", 0xFFFFFFFF);
  SetNumber("Plotter", "NoAutoClose", 0xFFFFFFFF);
  SetNumber("Plotter", "Pen3", 0x0000FF00);
}

TEST(Options, ASetEditedAppliedSavedAndDeletedIsWhatTheRegistryAndTheCommandLineHold) {
  FreshSets();
  WriteFile(Work("opt.plt"), BoxPlot(4000, 3000, 2));
  RemoveFile(Work("opt.emf"));
  App app("opt.plt");
  Press(WaitBox(app.pid()).hwnd, IDOK);
  ASSERT_FALSE(Has(PenColours(Work("opt.emf")), 0x00FF8000));

  HWND options = OpenOptions(app);
  ASSERT_TRUE(options);
  EXPECT_EQ(TextOf(ChildById(options, 110)), "Default");
  SelectSet(options, "Plotter");
  EXPECT_EQ(TextOf(ChildById(options, 110)), "Plotter");
  EXPECT_EQ(TextOf(ChildById(options, 1016)), "DIN A4 (297mm x 210mm)");
  EXPECT_EQ(TextOf(ChildById(options, 1000)), "Courier New");
  EXPECT_TRUE(IsChecked(options, 2302));
  EXPECT_FALSE(IsChecked(options, 1009));
  SendMessageA(ChildById(options, 1009), BM_CLICK, 0, 0);  // Mirror X
  EXPECT_TRUE(IsChecked(options, 1009));
  Shot(options, "settings-options");

  // Pen 2 through the colour chooser; pen 1's width beyond the limit.
  PostMessageA(options, WM_COMMAND, 1018, 0);
  HWND pens = WaitTop("#32770", "Pen Settings...", app.pid());
  ASSERT_TRUE(pens);
  Shot(pens, "settings-pens");
  SetWindowTextA(ChildById(pens, 181), "-100");
  PostMessageA(pens, WM_COMMAND, 122, 0);
  HWND colour = WaitTop("#32770", "Color", app.pid());
  ASSERT_TRUE(colour) << "the colour chooser";
  // Red, green and blue typed into the chooser's own boxes.
  const std::pair<int, const char*> rgb[] = {{706, "0"}, {707, "128"}, {708, "255"}};
  for (const auto& [id, value] : rgb) SendMessageA(ChildById(colour, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value));
  Shot(colour, "settings-colour");
  ASSERT_TRUE(Press(colour, IDOK));
  Shot(pens, "settings-pens-changed");
  ASSERT_TRUE(Press(pens, IDOK));

  // Apply, reprocessing: the view is converted again with the new pen.
  PostMessageA(options, WM_COMMAND, 6, 0);
  Box ask = WaitBox(app.pid());
  EXPECT_EQ(ask.text, "Reprocess the HP-GL file with these new settings?");
  Press(ask.hwnd, IDYES);
  Box done = WaitBox(app.pid());
  EXPECT_EQ(done.text, ConvertedText(Work("opt.plt"), Work("opt.emf")));
  Press(done.hwnd, IDOK);
  EXPECT_TRUE(Has(PenColours(Work("opt.emf")), 0x00FF8000)) << "pen 2 is RGB(0,128,255) now";

  // Save As with brackets and blanks, twice; the second set is deleted.
  for (const char* typed : {"  [ Engraving ] ", "[Scratch]"}) {
    PostMessageA(options, WM_COMMAND, 2101, 0);
    HWND saveAs = WaitTop("#32770", "Save As...", app.pid());
    ASSERT_TRUE(saveAs);
    SetWindowTextA(ChildById(saveAs, 2101), typed);
    if (typed[0] == ' ') Shot(saveAs, "settings-saveas");
    ASSERT_TRUE(Press(saveAs, IDOK));
  }
  EXPECT_EQ(TextOf(ChildById(options, 110)), "Scratch");
  PostMessageA(options, WM_COMMAND, 2102, 0);
  Box remove = WaitBox(app.pid());
  EXPECT_EQ(remove.text, "Are you sure you want to remove the 'Scratch' settings?");
  Press(remove.hwnd, IDYES);
  WaitFor([&] { return TextOf(ChildById(options, 110)) == "Default"; });
  SelectSet(options, "Engraving");
  EXPECT_TRUE(IsChecked(options, 1009)) << "the saved set shows what was saved";
  PostMessageA(options, WM_COMMAND, IDOK, 0);
  Box again = WaitBox(app.pid());
  EXPECT_EQ(again.text, "Reprocess the HP-GL file with these new settings?");
  Press(again.hwnd, IDNO);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(options); }));

  // The registry holds the sets and exactly the values of the saved one.
  std::string keys = Reg(std::string("query \"") + kFullBase + "\"");
  EXPECT_NE(keys.find("\\Engraving"), std::string::npos) << keys;
  EXPECT_NE(keys.find("\\Plotter"), std::string::npos) << keys;
  EXPECT_EQ(keys.find("\\Scratch"), std::string::npos) << keys;
  std::map<std::string, std::string> base = RegValues(kFullBase);
  EXPECT_EQ(base["Settings"], "REG_SZ Engraving");
  std::map<std::string, std::string> set = RegValues(std::string(kFullBase) + "\\Engraving");
  std::map<std::string, std::string> expected;
  const uint32_t colours[] = {0, 0x000000, 0xFF8000, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0x800080,
                              0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x000000};
  char text[32];
  for (int pen = 1; pen <= 16; ++pen) {
    std::snprintf(text, sizeof text, "REG_DWORD 0x%x", colours[pen]);
    expected["Pen" + std::to_string(pen)] = text;
    expected["PenWidth" + std::to_string(pen)] = pen == 1 ? "REG_DWORD 0xffffffb0" : "REG_DWORD 0x0";
  }
  for (const char* on : {"AutoCopy", "NoAutoClose", "CompatibilityMode", "AssumeIN", "OEMConvert", "MirrorX"})
    expected[on] = "REG_DWORD 0xffffffff";
  for (const char* off : {"IgnoreLT", "NoWarnings", "PurgeEMF", "AutoEMZ", "PurgeLogs", "NoNOPWarnings",
                          "NoInfoMessages", "LJMode", "DrawChars", "MultiplePages", "HighResolution", "Normalize",
                          "IgnorePC", "MirrorY"})
    expected[off] = "REG_DWORD 0x0";
  expected["FramePicture"] = "REG_DWORD 0x1";
  expected["PageWidth"] = "REG_DWORD 0x129";
  expected["PageHeight"] = "REG_DWORD 0xd2";
  expected["InitialCmdBuffer"] = "REG_DWORD 0x400";
  expected["FontName"] = "REG_SZ ";
  EXPECT_EQ(set, expected);
  app.Post(1030);
  app.WaitExit();

  // A command line converts with the saved set, the start-up set now.
  WriteFile(Work("cli.plt"), BoxPlot(4000, 3000, 2));
  App cli("cli.plt");
  Press(WaitBox(cli.pid()).hwnd, IDOK);
  EXPECT_TRUE(Has(PenColours(Work("cli.emf")), 0x00FF8000));
}

std::string Classes(const char* sub) { return std::string("Software\\Classes\\") + sub; }
std::string FullClasses(const char* sub) { return std::string("HKEY_CURRENT_USER\\Software\\Classes\\") + sub; }

void CopyToMachine(const std::string& key) {
  char text[MAX_PATH * 2] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != 0) return;
  HKEY h;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != 0) return;
  RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
  RegCloseKey(h);
}

std::string FullPath(const std::string& path) {
  char full[MAX_PATH] = {};
  GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return full;
}

HWND OpenPreferences(App& app) {
  app.Post(1025);
  return WaitTop("#32770", "Preferences", app.pid());
}

TEST(Preferences, AssociationsAreWrittenOpenTheProgramAndAreRemovedAlone) {
  for (const char* k : {".plt", ".hgl", ".hpg", "Tessella", "OtherPlot"}) DeleteTree(Classes(k));
  SetValue(Classes(".hpg"), nullptr, "OtherPlot");
  SetValue(Classes("OtherPlot"), nullptr, "Other Plot Viewer");
  FreshSets();
  std::string before = Reg("query HKCU\\Software\\Classes /s");

  WriteFile(Work("pref.plt"), BoxPlot(1000, 1000));
  auto app = std::make_unique<App>("pref.plt");
  Press(WaitBox(app->pid()).hwnd, IDOK);
  HWND prefs = OpenPreferences(*app);
  ASSERT_TRUE(prefs);
  EXPECT_EQ(TextOf(ChildById(prefs, 5052)), "Other Plot Viewer");
  EXPECT_FALSE(IsChecked(prefs, 5042));
  EXPECT_FALSE(IsChecked(prefs, 5040));
  EXPECT_EQ(TextOf(ChildById(prefs, 5050)), "");
  Shot(prefs, "settings-preferences");
  ASSERT_TRUE(Press(prefs, IDOK));
  EXPECT_EQ(Reg("query HKCU\\Software\\Classes /s"), before) << "unchanged boxes touch nothing";

  prefs = OpenPreferences(*app);
  ASSERT_TRUE(prefs);
  SendMessageA(ChildById(prefs, 5040), BM_CLICK, 0, 0);
  SendMessageA(ChildById(prefs, 5041), BM_CLICK, 0, 0);
  // The output folder through the shell's folder browser, the viewer
  // through the open dialog.
  EXPECT_FALSE(IsWindowEnabled(ChildById(prefs, 106)));
  SendMessageA(ChildById(prefs, 5020), BM_CLICK, 0, 0);
  EXPECT_TRUE(IsWindowEnabled(ChildById(prefs, 106)));
  EXPECT_TRUE(IsWindowEnabled(ChildById(prefs, 5090)));
  PostMessageA(prefs, WM_COMMAND, 5090, 0);
  HWND browse = WaitTop("#32770", "Browse for Folder", app->pid());
  ASSERT_TRUE(browse) << "the folder browser";
  Shot(browse, "settings-browse-folder");
  ASSERT_TRUE(Press(browse, IDOK));
  std::string folder = TextOf(ChildById(prefs, 106));
  EXPECT_FALSE(folder.empty());
  std::string viewer = FullPath(Where().viewer);
  PostMessageA(prefs, WM_COMMAND, 5095, 0);
  ASSERT_TRUE(DriveFileDialog(app->pid(), "Select Text Viewer", viewer));
  EXPECT_EQ(TextOf(ChildById(prefs, 5101)), viewer);
  ASSERT_TRUE(Press(prefs, IDOK));
  std::map<std::string, std::string> base = RegValues(kFullBase);
  EXPECT_EQ(base["UseFolder"], "REG_DWORD 0x1");
  EXPECT_EQ(base["Folder"], "REG_SZ " + folder);
  EXPECT_EQ(base["TextViewer"], "REG_SZ " + viewer);
  for (const char* name : {"UseFolder", "Folder", "TextViewer"}) RegDeleteKeyValueA(HKEY_CURRENT_USER, kBase, name);
  EXPECT_EQ(RegValues(FullClasses(".plt"))[""], "REG_SZ Tessella");
  EXPECT_EQ(RegValues(FullClasses("Tessella"))[""], "REG_SZ Tessella File");
  EXPECT_EQ(RegValues(FullClasses("Tessella\\DefaultIcon"))[""], "REG_SZ " + FullPath(Where().exe) + ",0");
  EXPECT_EQ(RegValues(FullClasses("Tessella\\shell\\open\\command"))[""],
            "REG_SZ \"" + FullPath(Where().exe) + "\" \"%1\"");
  EXPECT_EQ(RegValues(FullClasses(".hpg"))[""], "REG_SZ OtherPlot") << "left to its program";

  prefs = OpenPreferences(*app);
  ASSERT_TRUE(prefs);
  EXPECT_TRUE(IsChecked(prefs, 5040));
  EXPECT_EQ(TextOf(ChildById(prefs, 5050)), "Tessella File");
  Shot(prefs, "settings-preferences-associated");
  ASSERT_TRUE(Press(prefs, IDCANCEL));
  app.reset();

  // A plot file started through the association opens in the program.
  // Windows' HKEY_CLASSES_ROOT shows the user's classes over the machine's;
  // Wine's shows the machine's alone, so the keys are mirrored there (in
  // the tests' own prefix) for its shell to find them.
  const char* written[] = {".plt", "Tessella", "Tessella\\DefaultIcon", "Tessella\\shell\\open\\command"};
  for (const char* sub : written) CopyToMachine(Classes(sub));
  WriteFile(Work("assoc.plt"), BoxPlot(2000, 2000));
  RemoveFile(Work("assoc.emf"));
  std::string cmd = "cmd.exe /c start \"\" \"" + Work("assoc.plt") + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, Work("").c_str(),
                             &si, &pi));
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  HWND frame = WaitTop("Tessella", (Work("assoc.plt") + " - Tessella").c_str(), 0, 20000);
  EXPECT_TRUE(frame) << "the associated program shows the file";
  EXPECT_TRUE(WaitFor([&] { return FileExists(Work("assoc.emf")); }));
  DWORD started = ProcessOf(frame);
  Press(WaitBox(started).hwnd, IDOK);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, started);
  PostMessageA(frame, WM_CLOSE, 0, 0);
  if (process) {
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
  }

  // Unchecking .plt removes its key alone: .hgl still opens in the program.
  app = std::make_unique<App>("pref.plt");
  Press(WaitBox(app->pid()).hwnd, IDOK);
  prefs = OpenPreferences(*app);
  ASSERT_TRUE(prefs);
  SendMessageA(ChildById(prefs, 5040), BM_CLICK, 0, 0);
  ASSERT_TRUE(Press(prefs, IDOK));
  EXPECT_TRUE(RegValues(FullClasses(".plt")).empty());
  EXPECT_EQ(RegValues(FullClasses(".hgl"))[""], "REG_SZ Tessella");
  EXPECT_EQ(RegValues(FullClasses("Tessella"))[""], "REG_SZ Tessella File");
  EXPECT_EQ(RegValues(FullClasses(".hpg"))[""], "REG_SZ OtherPlot");
  for (const char* k : {".hgl", ".hpg", "Tessella", "OtherPlot"}) DeleteTree(Classes(k));
  for (const char* k : {".plt", "Tessella"}) RegDeleteTreeA(HKEY_LOCAL_MACHINE, Classes(k).c_str());
}

// Every set out to a settings file and back from the menu: after the sets
// were changed, deleted and added to, importing with "replace" restores
// them, and a second export writes the same file.
TEST(SettingsFile, ExportAndImportFromTheMenuRoundTripEverySet) {
  FreshSets();
  SetNumber("Engraving", "Pen1", 0x00336699);
  SetNumber("Engraving", "PenWidth4", static_cast<uint32_t>(-12));
  SetNumber("Engraving", "DrawChars", 0xFFFFFFFF);
  SetValue(std::string(kBase) + "\\Engraving", "FontName", "Arial");
  SetValue(kBase, "Settings", "Plotter");
  WriteFile(Work("sf.plt"), BoxPlot(1000, 1000));
  App app("sf.plt");
  Press(WaitBox(app.pid()).hwnd, IDOK);

  auto exportTo = [&](const std::string& path) {
    RemoveFile(path);
    app.Post(10004);
    EXPECT_TRUE(DriveFileDialog(app.pid(), "Export Settings to", path));
    EXPECT_TRUE(WaitFor([&] { return FileExists(path); }));
    app.Sync();
  };
  exportTo(Work("all.set"));
  std::string exported = ReadFile(Work("all.set"));
  for (const char* section : {"[Default]", "[Engraving]", "[Plotter]", "[Tessella Settings]"})
    EXPECT_NE(exported.find(section), std::string::npos) << section;
  std::map<std::string, std::string> engraving = RegValues(std::string(kFullBase) + "\\Engraving");

  DeleteTree(std::string(kBase) + "\\Engraving");
  SetNumber("Plotter", "Pen3", 0x00123456);
  SetNumber("Extra", "MirrorY", 0xFFFFFFFF);
  app.Post(10005);
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Import Settings from", Work("all.set")));
  Box replace = WaitBox(app.pid());
  EXPECT_EQ(replace.caption, "Replace Existing Settings?");
  Press(replace.hwnd, IDYES);
  Box done = WaitBox(app.pid());
  EXPECT_EQ(done.caption, "Import Settings complete...");
  Press(done.hwnd, IDYES);
  HWND options = WaitTop("#32770", "Tessella Options...", app.pid());
  ASSERT_TRUE(options) << "Yes opens the Options";
  EXPECT_TRUE(Press(options, IDCANCEL));

  std::string keys = Reg(std::string("query \"") + kFullBase + "\"");
  EXPECT_EQ(keys.find("\\Extra"), std::string::npos) << "replaced, not merged";
  EXPECT_EQ(RegValues(std::string(kFullBase) + "\\Plotter")["Pen3"], "REG_DWORD 0xff00");
  std::map<std::string, std::string> back = RegValues(std::string(kFullBase) + "\\Engraving");
  for (const auto& [name, value] : engraving) EXPECT_EQ(back[name], value) << name;
  EXPECT_EQ(RegValues(kFullBase)["Settings"], "REG_SZ Plotter");
  exportTo(Work("again.set"));
  EXPECT_EQ(ReadFile(Work("again.set")), exported);
}

}  // namespace
}  // namespace gui
