// The GUI driver's actions on Tessella.exe running under Wine (or Windows):
// start it, find its windows, send commands and keys, read its caption,
// toolbar, dialogs and message boxes, ask its probe for what only the
// program itself can see, drop files, take pictures of the screen. The
// scenarios (gui_*_test.cpp) are written with these.
#pragma once
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "probe_protocol.h"

namespace gui {

// Where things are: set once by the driver's main().
struct Paths {
  std::string exe;        // Tessella.exe
  std::string probeDll;   // tsl_probe.dll
  std::string work;       // a fresh folder for plots and outputs (ends in '\')
  std::string shots;      // where screenshots go (ends in '\')
  std::string examples;   // the repository's examples folder (ends in '\')
  std::string viewer;     // a text viewer that records its command line
};
Paths& Where();

// Waits until `done` is true or `ms` milliseconds have passed.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000);

// --- files -----------------------------------------------------------------
// A file of the work folder.
std::string Work(const std::string& name);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);  // empty when missing
bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);
// A small plot: a rectangle of w x h plotter units drawn with pen `pen`.
std::string BoxPlot(int w, int h, int pen = 2);
// What a console program (such as "reg query ...") writes to its standard
// output, once it has ended; empty when it cannot start or does not end.
std::string RunAndRead(const std::string& commandLine, DWORD ms = 30000);

// --- the settings Tessella starts with ---------------------------------------
// Sets a flag or value of the settings set "Default"; ResetSettings clears
// the program's whole key.
void SetSetting(const char* name, uint32_t value);
// A text value of the program's base key (its preferences).
void SetPreference(const char* name, const std::string& text);
// Clears the set "Default" and the preferences, and turns the update check off.
void ResetSettings();
constexpr uint32_t kOn = 0xFFFFFFFF;

// --- windows ------------------------------------------------------------------
std::string ClassOf(HWND hwnd);
std::string TextOf(HWND hwnd);
DWORD ProcessOf(HWND hwnd);
// A visible top-level window of process `pid` (0: any) with the class and,
// when given, the exact title.
HWND FindTop(const char* cls, const char* title, DWORD pid = 0);
HWND WaitTop(const char* cls, const char* title, DWORD pid = 0, DWORD ms = 10000);
std::vector<HWND> Children(HWND parent);
HWND ChildById(HWND parent, int id);
// Forces a repaint (a window mapped over another may stay unpainted on a
// display without a window manager).
void Repaint(HWND hwnd);

// --- the program -------------------------------------------------------------
class App {
 public:
  // Starts Tessella.exe with `args` in the folder `cwd` (the work folder
  // when empty); `waitFrame` waits for its frame.
  explicit App(const std::string& args, bool waitFrame = true, const std::string& cwd = std::string());
  ~App();  // closes the frame, ends the process if it will not end
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  DWORD pid() const { return pi_.dwProcessId; }
  HANDLE process() const { return pi_.hProcess; }
  HWND frame() const { return frame_; }
  HWND FindFrame();  // looks for it again (after a restart of the search)
  bool Running() const;
  // Waits for the process to end; its exit code, or -1 on timeout.
  int WaitExit(DWORD ms = 15000);

  std::string Caption() const { return TextOf(frame_); }
  HWND Client() const;
  HWND Toolbar() const;
  // Moves and sizes the frame.
  void Place(int x, int y, int w, int h);
  RECT FrameRect() const;

  // Command `id` processed before this returns (not for commands that open
  // a modal dialog: Post them).
  LRESULT Send(unsigned id, LPARAM lParam = 0);
  void Post(unsigned id, LPARAM lParam = 0);
  // Waits until the program has handled everything posted to it before.
  void Sync();
  // Keys as the user types them, into the frame (made the foreground).
  void Keys(const std::vector<WORD>& keys);
  void Chord(WORD modifier, WORD key);
  // Characters as typed on the keyboard ('+' with its shift).
  void Type(const std::string& chars);

  // The probe's answers.
  std::vector<uint32_t> MenuStates(const std::vector<uint32_t>& ids);
  ProbeBlock Scroll();
  ProbeBlock Objects();
  void Drop(const std::vector<std::string>& files);
  std::vector<std::string> ToolTips(const std::vector<uint32_t>& ids);

 private:
  bool Ask(ProbeBlock* block);
  PROCESS_INFORMATION pi_{};
  HWND frame_ = nullptr;
  HHOOK hook_ = nullptr;
};

// --- message boxes and dialogs -------------------------------------------------
struct Box {
  HWND hwnd = nullptr;
  std::string caption;
  std::string text;
};
// The closing message of a conversion of `plot` into `emf` (with AutoCopy).
std::string ConvertedText(const std::string& plot, const std::string& emf);
// The next message box (class #32770 with a static text) of `pid`.
Box WaitBox(DWORD pid, DWORD ms = 15000);
// Presses a button (IDOK, IDCANCEL, IDYES, ...) of a box or dialog and waits
// for it to close.
bool Press(HWND dialog, int button);
// A common file dialog titled `title`: types `path` into its name box and
// presses OK (or Cancel with an empty path).
bool DriveFileDialog(DWORD pid, const char* title, const std::string& path);

// --- toolbar -------------------------------------------------------------------
struct ToolButton {
  int image;
  int command;
  bool separator;
};
std::vector<ToolButton> ReadToolbar(const App& app);

// --- the program's resources ----------------------------------------------------
struct MenuItem {
  std::string path;  // "File|&Open HP-GL...\tCtrl+O"
  std::string text;
  unsigned id;       // 0 for a pop-up
};
std::vector<MenuItem> ReadMenuResource(const std::string& exe, const char* name);
std::vector<ACCEL> ReadAccelerators(const std::string& exe, unsigned id);

// --- pictures -------------------------------------------------------------------
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// The screen inside `rect`.
Picture Grab(const RECT& rect);
Picture GrabWindow(HWND hwnd);        // the whole window, frame included
Picture GrabClient(HWND hwnd);        // its client area
// Saves as a 24-bit BMP in the screenshot folder.
void SaveShot(const Picture& p, const std::string& name);
// A metafile played into a picture of w x h on white.
Picture Play(HENHMETAFILE emf, int w, int h);

// --- clipboard -------------------------------------------------------------------
// A copy of the clipboard's enhanced metafile (the caller deletes it).
HENHMETAFILE ClipboardMetafile();
bool PutMetafileOnClipboard(HENHMETAFILE emf);
std::vector<uint8_t> MetafileBits(HENHMETAFILE emf);

}  // namespace gui
