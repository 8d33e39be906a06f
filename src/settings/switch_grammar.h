// The switches of a command line, shared by both front ends: the window's
// command line (one text, '/' or '-' before a switch, items separated by
// blanks) and the POSIX command line (one argument at a time, '-' only).
// The walk changes the run's settings and the output placement and tells
// the front end through SwitchActions what it found; what a switch or a
// file does beyond that is the front end's.
#pragma once
#include <cstdint>
#include <string>

#include "settings/settings_set.h"

namespace tsl {

// Where the outputs of the files named next go.
struct OutputPlacement {
  bool useFolder = false;  // outputs into `folder`
  bool fileGiven = false;  // /OF: `folder` is the metafile's own name
  std::string folder;
};

enum class SwitchKind {
  Paper,          // /A0../A3, /A<any>, /ALTR /ALGL /ALGR
  Unattended,     // /B, /BX
  Export,         // /WBMP /WPNG /WJPG and /BMP
  ColorFile,      // /C
  Dde,            // /DDE, /DDE:name
  MeasureOnly,    // /E
  ForceDefaults,  // /F
  Help,           // /H, /?
  IgnorePC,       // /I?PC
  Kill,           // /K: the walk stops
  Mirror,         // /MX, /MY
  Ntgl,           // /NTGL
  Output,         // /O:folder, /OF:file, /O
  Print,          // /P, /PM, /PD, ...
  Quiet,          // /Q
  Rotate,         // /RO:n
  Scale,          // /S?value
  Emz,            // /T
  PurgeEMF,       // /X
  PurgeLogs,      // /Z
  SecondInstance, // /2
  Inert,          // a letter the table knows followed by what it does not: /D?, /I?, /M?, /R?, /W?
};

// One switch as the walk applied it.
struct SwitchEvent {
  SwitchKind kind = SwitchKind::Inert;
  std::string text;      // as written, from the switch character on
  // False when the switch did not do what it looks like it asks: the table
  // makes it do nothing (/WSVG, /X before any export, /ALXX), or its value
  // was unusable and replaced (/S:abc, /S:-5, /RO: without a number).
  bool valid = true;
  uint8_t exportBit = 0; // Export: AutoExportBMP, AutoExportPNG or AutoExportJPEG
  uint32_t size = 0;     // Export: the width asked for (800 when none)
  std::string value;     // Dde: the service name; Output: the folder or file
};

// What the front end does with what the walk finds. The defaults are the
// window's: text that is no switch is a file name.
class SwitchActions {
 public:
  virtual ~SwitchActions() = default;
  // A file, folder or pattern, with the options as the switches before it
  // left them.
  virtual void File(const std::string& name) = 0;
  // A switch, after it changed the options.
  virtual void Switch(const SwitchEvent&) {}
  // A letter the table does not know (also /N other than /NTGL); `text`
  // runs from that letter to the end of its item.
  virtual void Unknown(const std::string& text) { File(text); }
  // Text right behind a switch, in the same item, that the switch did not
  // take (the "ash.plt" of "/dash.plt").
  virtual void Trailing(const SwitchEvent&, const std::string& text) { File(text); }
};

// The switch characters of each front end.
constexpr const char* kWindowSwitchChars = "/-";
constexpr const char* kPosixSwitchChars = "-";

// The largest /S percentage taken; larger, like one below 0.01, gives 100.
constexpr double kMaxScalePercent = 100000.0;

class SwitchWalker {
 public:
  SwitchWalker(SettingsSet& set, OutputPlacement& placement, SwitchActions& actions,
               const char* switchChars = kWindowSwitchChars)
      : set_(set), placement_(placement), actions_(actions), switchChars_(switchChars) {}

  // The window's command line: items separated by blanks; a quoted item
  // is one file name.
  void WalkCommandLine(const std::string& text);
  // One argument of the POSIX command line: a file name unless it starts
  // with a switch character; no blank separates items inside it.
  void WalkArgument(const std::string& argument);

  // /K was met: nothing after it is processed.
  bool Stopped() const { return stopped_; }
  // An export switch came before (for /X).
  bool ExportSwitchSeen() const { return exportSeen_; }
  void SetExportSwitchSeen() { exportSeen_ = true; }

 private:
  void Walk(const std::string& text, bool blanksSeparate);
  // Applies the switch whose letter is at `pos`; returns the index behind
  // what it consumed.
  size_t Apply(size_t pos, SwitchEvent* event);
  size_t ItemEnd(size_t pos) const;
  std::string Value(size_t start, size_t* end) const;
  size_t FileItem(size_t pos, std::string* name) const;

  size_t Paper(size_t pos);
  size_t Export(size_t pos, uint8_t bit, SwitchEvent* event);
  size_t Output(size_t pos, SwitchEvent* event);
  size_t Rotate(size_t pos, SwitchEvent* event);
  size_t Scale(size_t pos, SwitchEvent* event);

  SettingsSet& set_;
  OutputPlacement& placement_;
  SwitchActions& actions_;
  const char* switchChars_;
  const std::string* text_ = nullptr;
  bool blanksSeparate_ = true;
  bool exportSeen_ = false;
  bool stopped_ = false;
};

}  // namespace tsl
