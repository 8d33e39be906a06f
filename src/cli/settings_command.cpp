#include "cli/settings_command.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/check_update.h"
#include "cli/terminal_notices.h"
#include "common/colors.h"
#include "common/ini_document.h"
#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "settings/settings_sets.h"

namespace tsl {

namespace {

constexpr int kOk = 0, kFailed = 1, kUsage = 2;
constexpr const char* kPrefix = "tessella settings: ";

const char* const kUsageText =
    "Usage: tessella settings COMMAND [ARGUMENTS]\n"
    "\n"
    "Manages the settings sets that conversions use.\n"
    "\n"
    "Commands:\n"
    "  list                        the saved sets; '*' marks the start-up set\n"
    "  show [NAME]                 every value of a set (default: the start-up set)\n"
    "  set [--set NAME] KEY VALUE  changes one value (default: in the start-up set;\n"
    "                              a set that does not exist yet is created)\n"
    "  use NAME                    makes NAME the start-up set\n"
    "  delete NAME                 removes a set (deleting the start-up set makes\n"
    "                              \"Default\" the start-up set)\n"
    "  export FILE                 writes every set into a settings file (.SET)\n"
    "  import FILE [--replace]     reads the sets of a settings file; --replace first\n"
    "                              removes every set except \"Default\"\n"
    "\n"
    "Keys and their values:\n"
    "  Pen1 .. Pen16               a colour: a name (BLACK, BLUE, TURQUOISE, GREEN, PINK,\n"
    "                              RED, YELLOW, WHITE, DARKBLUE, TEAL, OLIVE, VIOLET,\n"
    "                              DARKRED, BROWN, GRAY50, GRAY75), R,G,B (0..255 each),\n"
    "                              #RRGGBB (hexadecimal, red first) or a decimal COLORREF\n"
    "  PenWidth1 .. PenWidth16     -80..50: 0 = width from the plot, n = n times the\n"
    "                              normal width, -n = n pixels\n"
    "  PageWidth, PageHeight       paper size in mm, 1..32767\n"
    "  FramePicture                margin around the drawing in mm, 0..100; a negative\n"
    "                              number expands the metafile to the paper size\n"
    "  InitialCmdBuffer            initial command buffer in bytes, 1..1048576\n"
    "  FontName                    label font, at most 31 characters (\"\" = Courier New)\n"
    "  AutoCopy, NoAutoClose, NoNOPWarnings, NoInfoMessages, CompatibilityMode,\n"
    "  AssumeIN, MirrorX, MirrorY, OEMConvert, LJMode, DrawChars, MultiplePages,\n"
    "  HighResolution, Normalize, PurgeLogs, IgnorePC, IgnoreLT, PurgeEMF, NoWarnings,\n"
    "  AutoEMZ                     on or off (also yes/no, true/false, 1/0)\n"
    "  UpdateServer                the server the update check asks, HOST or HOST:PORT;\n"
    "                              off turns the check off, \"\" restores the product's\n"
    "                              own (kept apart from the sets: not with --set)\n"
    "\n"
    "Settings are kept in $TESSELLA_CONFIG_DIR, else $XDG_CONFIG_HOME/tessella, else\n"
    "~/.config/tessella.\n"
    "Exit status: 0 done, 1 failed, 2 usage error.\n";

bool ParseLong(const std::string& text, long long* value) {
  if (text.empty() || text.size() > 18) return false;
  size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return false;
  long long v = 0;
  for (size_t j = i; j < text.size(); ++j) {
    if (!std::isdigit(static_cast<unsigned char>(text[j]))) return false;
    v = v * 10 + (text[j] - '0');
  }
  *value = text[0] == '-' ? -v : v;
  return true;
}

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool ParseColor(const std::string& text, gdi::COLORREF* color) {
  std::string t = Trimmed(text);
  if (t.empty()) return false;
  if (t[0] == '#') {
    // #RRGGBB, red first, as on the web and in every drawing program.
    if (t.size() != 7) return false;
    for (size_t i = 1; i < t.size(); ++i)
      if (!std::isxdigit(static_cast<unsigned char>(t[i]))) return false;
    unsigned long rgb = std::strtoul(t.c_str() + 1, nullptr, 16);
    *color = gdi::RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    return true;
  }
  if (t.find(',') != std::string::npos) {
    unsigned rgb[3];
    size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
      size_t comma = t.find(',', pos);
      if ((i < 2) != (comma != std::string::npos)) return false;
      long long v;
      if (!ParseLong(Trimmed(t.substr(pos, comma - pos)), &v) || v < 0 || v > 255) return false;
      rgb[i] = static_cast<unsigned>(v);
      pos = comma + 1;
    }
    *color = gdi::RGB(rgb[0], rgb[1], rgb[2]);
    return true;
  }
  long long v;
  if (ParseLong(t, &v)) {
    if (v < 0 || v > 0xFFFFFF) return false;
    *color = static_cast<gdi::COLORREF>(v);
    return true;
  }
  for (const NamedColor& nc : ncColors)
    if (SameName(nc.name, t)) {
      *color = nc.value;
      return true;
    }
  return false;
}

bool ParseFlag(const std::string& text, bool* on) {
  static const char* const kOn[] = {"on", "yes", "true", "1", "-1"};
  static const char* const kOff[] = {"off", "no", "false", "0"};
  for (const char* w : kOn)
    if (SameName(w, text)) {
      *on = true;
      return true;
    }
  for (const char* w : kOff)
    if (SameName(w, text)) {
      *on = false;
      return true;
    }
  return false;
}

std::string ColorText(gdi::COLORREF c) {
  char buf[64];
  if (const char* name = ColorName(c)) std::snprintf(buf, sizeof buf, "%u (%s)", c, name);
  else if (c <= 0xFFFFFF)
    std::snprintf(buf, sizeof buf, "%u (%u,%u,%u)", c, gdi::GetRValue(c), gdi::GetGValue(c), gdi::GetBValue(c));
  else std::snprintf(buf, sizeof buf, "%u (#%08X)", c, c);
  return buf;
}

std::string PenKey(const char* prefix, unsigned pen) { return prefix + std::to_string(pen); }

// One "Key = value" line of `show`, for a key as named by the table.
std::string ValueLine(const SettingsSet& set, const SettingKey& key) {
  std::string line = std::string(key.name) + " = ";
  switch (key.kind) {
    case SettingKind::Flag: return line + (set.Has(key.flag) ? "on" : "off");
    case SettingKind::Number:
      // The 16-bit values come sign-extended; the buffer size is unsigned.
      if (SameName(key.name, "InitialCmdBuffer")) return line + std::to_string(key.get(set));
      return line + std::to_string(static_cast<int32_t>(key.get(set)));
    case SettingKind::Text: {
      std::string face(set.Font.lfFaceName, strnlen(set.Font.lfFaceName, sizeof set.Font.lfFaceName));
      return line + (face.empty() ? "(empty: Courier New)" : face);
    }
  }
  return line;
}

struct Change {
  std::string key;      // as the table names it
  bool isText = false;
  std::string text;
  uint32_t number = 0;
};

// Checks KEY and VALUE; on error `why` says what the key accepts.
bool ParseChange(const std::string& keyArg, const std::string& value, Change* change, std::string* why) {
  bool width;
  unsigned pen;
  if (ParsePenKey(keyArg, &width, &pen)) {
    if (pen < 1 || pen > 16) {
      *why = "pens 1 to 16 can be set (" + keyArg + " names pen " + std::to_string(pen) + ")";
      return false;
    }
    change->key = PenKey(width ? "PenWidth" : "Pen", pen);
    if (width) {
      long long v;
      if (!ParseLong(Trimmed(value), &v) || v < kMinPenWidth || v > kMaxPenWidth) {
        *why = change->key + " accepts a whole number from -80 to 50, not '" + value + "'";
        return false;
      }
      change->number = static_cast<uint32_t>(static_cast<int32_t>(v));
    } else {
      gdi::COLORREF c;
      if (!ParseColor(value, &c)) {
        *why = change->key + " accepts a colour name (RED, BLUE, GRAY50, ...), R,G,B with 0..255 each, " +
               "#RRGGBB or a decimal COLORREF up to 16777215, not '" + value + "'";
        return false;
      }
      change->number = c;
    }
    return true;
  }
  const SettingKey* key = FindSettingKey(keyArg);
  if (!key) {
    *why = "unknown key '" + keyArg + "' (see 'tessella settings --help' for the keys)";
    return false;
  }
  change->key = key->name;
  if (key->kind == SettingKind::Flag) {
    bool on;
    if (!ParseFlag(Trimmed(value), &on)) {
      *why = change->key + " accepts on or off (also yes/no, true/false, 1/0), not '" + value + "'";
      return false;
    }
    change->number = on ? 0xFFFFFFFFu : 0u;
    return true;
  }
  if (key->kind == SettingKind::Text) {
    bool control = false;
    for (unsigned char c : value) control |= c < 0x20 || c == 0x7F;
    if (value.size() > kMaxFaceName || control) {
      *why = "FontName accepts a face name of at most 31 characters, not '" + value + "'";
      return false;
    }
    change->isText = true;
    change->text = value;
    return true;
  }
  long long v;
  if (!ParseLong(Trimmed(value), &v) || v < key->low || v > key->high) {
    *why = change->key + " accepts " + key->what + ", not '" + value + "'";
    return false;
  }
  change->number = static_cast<uint32_t>(static_cast<int32_t>(v));
  return true;
}


class Command {
 public:
  Command(std::ostream& out, std::ostream& err) : out_(out), err_(err), notices_({}, &err) {}
  int Run(const std::vector<std::string>& args);

 private:
  int Usage(const std::string& problem) {
    err_ << kPrefix << problem << "\n" << "Try 'tessella settings --help'.\n";
    return kUsage;
  }
  int Fail(const std::string& problem) {
    err_ << kPrefix << problem << "\n";
    return kFailed;
  }
  // The set NAME names on the command line, trimmed and checked.
  bool SetName(const std::string& arg, std::string* name);
  // The stored spelling of an existing set, or "" when there is none.
  static std::string Existing(const std::string& name);

  int List();
  int Show(const std::vector<std::string>& args);
  int Set(const std::vector<std::string>& args);
  int Use(const std::vector<std::string>& args);
  int Delete(const std::vector<std::string>& args);
  int Export(const std::vector<std::string>& args);
  int Import(const std::vector<std::string>& args);

  std::ostream& out_;
  std::ostream& err_;
  TerminalNotices notices_;
};

bool Command::SetName(const std::string& arg, std::string* name) {
  *name = NormalizeSetName(arg);
  if (IsValidSetName(*name)) return true;
  Usage("'" + arg + "' cannot name a settings set: a name has 1 to 47 characters, without backslashes or " +
        "control characters");
  return false;
}

std::string Command::Existing(const std::string& name) {
  for (const std::string& n : SettingsSectionNames())
    if (SameName(n, name)) return n;
  return std::string();
}

int Command::List() {
  std::string startup = StartupSetName();
  bool listed = false;
  for (const std::string& name : SettingsSectionNames()) {
    bool isStartup = SameName(name, startup);
    listed |= isStartup;
    out_ << (isStartup ? "* " : "  ") << name << "\n";
  }
  if (!listed) out_ << "* " << startup << " (not saved: every value at its default)\n";
  return kOk;
}

int Command::Show(const std::vector<std::string>& args) {
  if (args.size() > 1) return Usage("show takes at most one set name");
  std::string name = StartupSetName();
  if (!args.empty()) {
    if (!SetName(args[0], &name)) return kUsage;
    std::string stored = Existing(name);
    if (stored.empty() && !SameName(name, kDefaultSetName))
      return Fail("there is no settings set named '" + name + "' (see 'tessella settings list')");
    if (!stored.empty()) name = stored;
  }
  SettingsSet set;
  ReadIniFile(notices_, &set, name.c_str());
  out_ << "[" << name << "]\n";
  for (unsigned pen = 0; pen < kConfiguredPens; ++pen) {
    out_ << PenKey("Pen", pen) << " = " << ColorText(set.PenColor[pen]) << "\n";
    out_ << PenKey("PenWidth", pen) << " = " << set.PenWidth[pen] << "\n";
  }
  for (size_t i = 0; i < kReadOrderCount; ++i) out_ << ValueLine(set, *FindSettingKey(kReadOrder[i])) << "\n";
  out_ << ValueLine(set, *FindSettingKey("FontName")) << "\n";
  return kOk;
}

int Command::Set(const std::vector<std::string>& args) {
  std::string name;
  bool named = false;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--set" || a.compare(0, 6, "--set=") == 0) {
      std::string value;
      if (a == "--set") {
        if (i + 1 >= args.size()) return Usage("--set needs a set name");
        value = args[++i];
      } else {
        value = a.substr(6);
      }
      if (!SetName(value, &name)) return kUsage;
      named = true;
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      return Usage("unknown option '" + a + "'");
    } else {
      rest.push_back(a);
    }
  }
  if (rest.size() != 2) return Usage("set takes a KEY and a VALUE");
  if (IsUpdateServerKey(rest[0])) return SetUpdateServerSetting(rest[1], named, out_, err_);
  Change change;
  std::string why;
  if (!ParseChange(rest[0], rest[1], &change, &why)) return Usage(why);
  if (!named) name = StartupSetName();
  std::string stored = Existing(name);
  if (!stored.empty()) name = stored;
  int ok = change.isText ? WriteSettingsString(notices_, name.c_str(), change.key.c_str(), change.text.c_str())
                         : WriteSettingsInt(notices_, name.c_str(), change.key.c_str(), change.number);
  if (!ok) return Fail("could not change " + change.key + " of the set '" + name + "'");
  // Show what a conversion will now read.
  SettingsSet set;
  ReadIniFile(notices_, &set, name.c_str());
  bool width;
  unsigned pen;
  std::string line;
  if (ParsePenKey(change.key, &width, &pen))
    line = change.key + " = " + (width ? std::to_string(set.PenWidth[pen]) : ColorText(set.PenColor[pen]));
  else line = ValueLine(set, *FindSettingKey(change.key));
  out_ << "[" << name << "] " << line << "\n";
  return kOk;
}

int Command::Use(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("use takes one set name");
  std::string name;
  if (!SetName(args[0], &name)) return kUsage;
  std::string stored = Existing(name);
  if (stored.empty() && !SameName(name, kDefaultSetName))
    return Fail("there is no settings set named '" + name + "' (see 'tessella settings list')");
  if (stored.empty()) stored = kDefaultSetName;
  if (!WriteSettingsString(notices_, nullptr, kStartupSetValue, stored.c_str()))
    return Fail("could not make '" + stored + "' the start-up set");
  out_ << "'" << stored << "' is now the start-up set.\n";
  return kOk;
}

int Command::Delete(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("delete takes one set name");
  std::string name;
  if (!SetName(args[0], &name)) return kUsage;
  std::string stored = Existing(name);
  if (stored.empty()) return Fail("there is no settings set named '" + name + "' (see 'tessella settings list')");
  bool startup = SameName(StartupSetName(), stored);
  if (!DeleteSet(notices_, stored)) return Fail("could not delete the set '" + stored + "'");
  out_ << "Deleted the set '" << stored << "'.\n";
  if (startup) out_ << "The start-up set is \"" << kDefaultSetName << "\" again.\n";
  return kOk;
}

int Command::Export(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("export takes one file name");
  size_t count = SettingsSectionNames().size();
  if (!ExportSettings(notices_, args[0].c_str())) return Fail("the settings were not exported");
  out_ << "Exported " << count << (count == 1 ? " set" : " sets") << " to '" << args[0] << "'.\n";
  return kOk;
}

int Command::Import(const std::vector<std::string>& args) {
  bool replace = false;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--replace") replace = true;
    else if (a.size() > 1 && a[0] == '-' && a[1] == '-') return Usage("unknown option '" + a + "'");
    else files.push_back(a);
  }
  if (files.size() != 1) return Usage("import takes one file name");
  ImportSummary summary;
  if (!ImportSettings(notices_, files[0].c_str(), replace, &summary)) return Fail("the settings were not imported");
  out_ << "Imported from '" << files[0] << "':";
  for (const std::string& name : summary.imported) out_ << " '" << name << "'";
  out_ << "\n";
  for (const std::string& name : summary.skipped)
    out_ << "Skipped '" << name << "': it cannot name a settings set.\n";
  if (summary.overLimit > 0)
    out_ << "Skipped " << summary.overLimit << " more entries: at most " << kMaxImportedSets
         << " sets are taken from one file.\n";
  if (!summary.startupSet.empty()) out_ << "Start-up set: '" << summary.startupSet << "'.\n";
  return kOk;
}

int Command::Run(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") {
      out_ << kUsageText;
      return kOk;
    }
  if (args.empty()) {
    err_ << kUsageText;
    return kUsage;
  }
  const std::string& command = args[0];
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "list") return rest.empty() ? List() : Usage("list takes no arguments");
  if (command == "show") return Show(rest);
  if (command == "set") return Set(rest);
  if (command == "use") return Use(rest);
  if (command == "delete") return Delete(rest);
  if (command == "export") return Export(rest);
  if (command == "import") return Import(rest);
  return Usage("unknown command '" + command + "'");
}

}  // namespace

int RunSettingsCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(argv[i] ? argv[i] : "");
  return Command(out, err).Run(args);
}

int RunSettingsCommand(int argc, char** argv) { return RunSettingsCommand(argc, argv, std::cout, std::cerr); }

}  // namespace tsl
