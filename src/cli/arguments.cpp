#include "cli/arguments.h"

#include <cstdlib>
#include <cstring>

#include "output/raster_export.h"

namespace tsl {

namespace {

// "--name VALUE" or "--name=VALUE" (also "-x VALUE" for a short name).
// Advances *i over a separate value; *missing when there is none.
bool Valued(const std::vector<std::string>& args, size_t* i, const char* name, std::string* value, bool* missing) {
  const std::string& a = args[*i];
  size_t n = std::strlen(name);
  if (a.compare(0, n, name) != 0) return false;
  *missing = false;
  if (a.size() > n && a[n] == '=' && name[1] == '-') {
    *value = a.substr(n + 1);
    return true;
  }
  if (a.size() != n) return false;
  if (*i + 1 >= args.size()) {
    *missing = true;
    return true;
  }
  *value = args[++*i];
  return true;
}

bool ParseCount(const std::string& text, long low, long high, long* out) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  long v = std::strtol(text.c_str(), nullptr, 10);
  if (v < low || v > high) return false;
  *out = v;
  return true;
}

const char* const kFormatSwitch[kExportFormats] = {"-WBMP", "-WPNG", "-WJPG"};

int FormatOf(uint8_t bit) { return bit == AutoExportPNG ? kExportPNG : bit == AutoExportJPEG ? kExportJPEG : kExportBMP; }

// The walk over the switches and files, in order.
class Walk : public SwitchActions {
 public:
  Walk(CommandLine& cl, const CliOptions& start)
      : cl_(cl), current_(start), walker_(current_.set, current_.placement, *this, kPosixSwitchChars) {}

  SwitchWalker& Walker() { return walker_; }
  CliOptions& Current() { return current_; }
  void Argument(const std::string& a, bool literal) {
    argument_ = a;
    if (literal || a == "-") File(a, literal);
    else walker_.WalkArgument(a);
  }
  void File(const std::string& name) override { File(name, false); }
  void File(const std::string& name, bool literal) {
    if (Failed()) return;
    cl_.items.push_back({name, literal, current_});
    pending_.clear();
  }
  void Unknown(const std::string&) override { Fail("unknown switch '" + argument_ + "'"); }
  void Trailing(const SwitchEvent& e, const std::string& text) override {
    Fail("'" + text + "' cannot follow " + e.text + " in '" + argument_ + "'");
  }
  void Switch(const SwitchEvent& e) override;
  // Switches after the last file apply to nothing.
  const std::vector<std::string>& Pending() const { return pending_; }
  bool Printing() const { return printing_; }

 private:
  bool Failed() const { return !cl_.error.empty(); }
  void Fail(const std::string& why) {
    if (!Failed()) cl_.error = why;
  }

  CommandLine& cl_;
  CliOptions current_;
  SwitchWalker walker_;
  std::string argument_;
  std::vector<std::string> pending_;
  bool printing_ = false;
};

void Walk::Switch(const SwitchEvent& e) {
  switch (e.kind) {
    case SwitchKind::Export:
      if (e.size > static_cast<uint32_t>(kMaxExportSide))
        return Fail(e.text + ": the width must be from 1 to " + std::to_string(kMaxExportSide) + " pixels");
      current_.exportWidth[FormatOf(e.exportBit)] = e.size;
      break;
    case SwitchKind::Kill:
      return Fail("-K closes the window of the Windows program; there is none here");
    case SwitchKind::Help:
      cl_.help = true;
      return;
    case SwitchKind::Print:
      printing_ = true;
      break;
    case SwitchKind::Dde:
      cl_.warnings.push_back("the DDE service is part of the Windows program; " + e.text + " is ignored here");
      return;
    case SwitchKind::PurgeEMF:
      if (!e.valid) {
        cl_.warnings.push_back("-X has no effect without an export switch before it: the metafile is kept");
        return;
      }
      break;
    case SwitchKind::Scale:
      if (!e.valid)
        return Fail("'" + argument_ + "': -S needs a percentage from 0.01 to " +
                    std::to_string(static_cast<long>(kMaxScalePercent)));
      break;
    case SwitchKind::Rotate:
      if (!e.valid) return Fail("'" + argument_ + "': -RO: needs a number of degrees");
      break;
    case SwitchKind::Paper:
      if (!e.valid) return Fail("'" + argument_ + "': the paper sizes are -A0 to -A4, -ALTR, -ALGL and -ALGR");
      break;
    case SwitchKind::Output:
      if (!e.valid) return Fail("'" + argument_ + "' has no effect after -OF named the metafile (-O alone resets it)");
      break;
    default:
      if (!e.valid) return Fail("unknown switch '" + argument_ + "'");
      break;
  }
  pending_.push_back(e.text);
}

}  // namespace

bool ReadSetName(const std::vector<std::string>& args, std::string* name, std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") break;
    std::string v;
    bool missing;
    if (Valued(args, &i, "--set", &v, &missing)) {
      if (missing || v.empty()) {
        *error = "--set needs the name of a settings set";
        return false;
      }
      *name = v;
    }
  }
  return true;
}

CommandLine ParseArguments(const std::vector<std::string>& args, const SettingsSet& base) {
  CommandLine cl;
  CliOptions start;
  start.set = base;
  Walk walk(cl, start);
  // The GNU options come first, wherever they stand; the rest is walked in
  // order afterwards.
  std::vector<std::pair<std::string, bool>> words;
  bool literal = false;
  for (size_t i = 0; i < args.size() && cl.error.empty(); ++i) {
    const std::string& a = args[i];
    std::string v;
    bool missing = false;
    long n = 0;
    auto need = [&](const char* what) {
      if (missing || v.empty()) cl.error = std::string(what);
      return !missing && !v.empty();
    };
    if (literal) {
      words.push_back({a, true});
    } else if (a == "--") {
      literal = true;
    } else if (a == "--help") {
      cl.help = true;
    } else if (a == "--version") {
      cl.version = true;
    } else if (Valued(args, &i, "--set", &v, &missing)) {
      // Read before the walk (ReadSetName).
    } else if (Valued(args, &i, "--jobs", &v, &missing) || Valued(args, &i, "-j", &v, &missing) ||
               (a.size() > 2 && a.compare(0, 2, "-j") == 0 && (v = a.substr(2), true))) {
      if (missing || !ParseCount(v, 1, 256, &n)) cl.error = "-j needs a number from 1 to 256";
      cl.jobs = static_cast<int>(n);
    } else if (Valued(args, &i, "--output-dir", &v, &missing) ||
               (a == "-O" && i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != '-' &&
                (v = args[++i], true))) {
      // The same as -O:DIR before every file.
      if (need("--output-dir needs a folder")) walk.Argument("-O:" + v, false);
    } else if (Valued(args, &i, "--output", &v, &missing) || Valued(args, &i, "-o", &v, &missing)) {
      if (!need("-o needs a file name")) break;
      if (!cl.output.empty()) cl.error = "-o names one output; it was given twice";
      cl.output = v;
    } else if (Valued(args, &i, "--printer", &v, &missing)) {
      if (!need("--printer needs the name of a print queue")) break;
      cl.print.printer = v;
    } else if (Valued(args, &i, "--print-to", &v, &missing)) {
      if (!need("--print-to needs the name of a PDF file")) break;
      cl.print.file = v;
    } else if (Valued(args, &i, "--log", &v, &missing)) {
      if (!need("--log needs a file name ('-' for standard error)")) break;
      cl.log = v;
    } else if (a == "-r" || a == "--recursive") {
      cl.recursive = true;
    } else if (a == "-v" || a == "--verbose") {
      cl.verbosity = Verbosity::Verbose;
    } else if (a == "-q" || a == "--quiet") {
      cl.verbosity = Verbosity::Quiet;
      walk.Current().set.Set(Quiet, true);
    } else if (a == "--emz") {
      walk.Current().set.Set(AutoEMZ, true);
    } else if (a == "--measure") {
      walk.Current().set.Set(MeasureOnly, true);
    } else if (a.compare(0, 2, "--") == 0) {
      int format = -1;
      std::string name = a.substr(0, a.find('='));
      if (name == "--png") format = kExportPNG;
      else if (name == "--jpeg" || name == "--jpg") format = kExportJPEG;
      else if (name == "--bmp") format = kExportBMP;
      if (format < 0) {
        cl.error = "unknown option '" + a + "'";
        break;
      }
      std::string width = a.size() > name.size() ? a.substr(name.size() + 1) : "800";
      if (!ParseCount(width, 1, kMaxExportSide, &n)) {
        cl.error = name + " takes a width from 1 to " + std::to_string(kMaxExportSide) + " pixels: '" + a + "'";
        break;
      }
      // The same as the window's switch, before every file.
      walk.Argument(std::string(kFormatSwitch[format]) + ":" + width, false);
    } else {
      words.push_back({a, false});
    }
  }
  for (const auto& [word, isLiteral] : words) {
    if (!cl.error.empty()) break;
    walk.Argument(word, isLiteral);
  }
  if (!cl.error.empty()) return cl;
  if (!walk.Printing() && (!cl.print.printer.empty() || !cl.print.file.empty()))
    cl.error = "--printer and --print-to say where -P, -PD or -PM print; none was given";
  // The pages go into the file in the order the files were named.
  if (!cl.print.file.empty()) cl.jobs = 1;
  if (!cl.items.empty() && !walk.Pending().empty()) {
    std::string list;
    for (const std::string& s : walk.Pending()) list += (list.empty() ? "" : " ") + s;
    cl.warnings.push_back(list + " after the last file applies to no file");
  }
  return cl;
}

}  // namespace tsl
