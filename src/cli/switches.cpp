#include "cli/switches.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace tsl {

namespace {

char Up(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool At(const std::string& s, size_t i, char c) { return i < s.size() && Up(s[i]) == c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void Paper(CliOptions& o, int w, int h) {
  o.set.PageWidth = static_cast<int16_t>(w);
  o.set.PageHeight = static_cast<int16_t>(h);
}

// -A0..-A3, -ALTR, -ALGL, -ALGR, -A<other>: the whole word is consumed.
size_t SwitchA(const std::string& t, CliOptions& o) {
  static const int kIso[4][2] = {{840, 1188}, {594, 840}, {420, 594}, {297, 420}};
  if (t.size() > 1 && t[1] >= '0' && t[1] <= '3') {
    Paper(o, kIso[t[1] - '0'][0], kIso[t[1] - '0'][1]);
  } else if (At(t, 1, 'L')) {
    std::string name;
    for (size_t i = 2; i < t.size(); ++i) name += Up(t[i]);
    if (name == "TR") Paper(o, 216, 279);
    else if (name == "GL") Paper(o, 216, 355);
    else if (name == "GR") Paper(o, 279, 432);
  } else {
    Paper(o, 210, 297);
  }
  return t.size();
}

// -WBMP, -WPNG, -WJPG (and -BMP): `start` is the index after the three
// letters. Separators, then up to 8 digits: the export width, 800 without.
size_t ExportSwitch(const std::string& t, size_t start, uint8_t bit, CliOptions& o) {
  size_t i = start;
  while (i < t.size() && (t[i] == ' ' || t[i] == ':' || t[i] == '=' || t[i] == '\r' || t[i] == '\n' ||
                          t[i] == '\t' || t[i] == '\v'))
    ++i;
  uint32_t n = 0;
  for (int digits = 0; digits < 8 && i < t.size() && IsDigit(t[i]); ++digits, ++i) n = n * 10 + (t[i] - '0');
  o.set.AutoExport |= bit;
  if (bit == AutoExportBMP) o.set.Set(HighResolution, false);
  o.set.ExportSize = n ? n : 800;
  o.exportSwitchSeen = true;
  return i;
}

// The value of -O:, -OF:, -DDE=: quoted, or the rest of the word.
std::string Value(const std::string& t, size_t start, size_t* end) {
  if (start < t.size() && t[start] == '"') {
    size_t close = t.find('"', start + 1);
    if (close == std::string::npos) close = t.size();
    *end = close < t.size() ? close + 1 : close;
    return t.substr(start + 1, close - start - 1);
  }
  *end = t.size();
  return t.substr(start);
}

size_t SwitchO(const std::string& t, CliOptions& o) {
  // The F of -OF is recognised in upper case only, as it always was.
  bool file = t.size() > 1 && t[1] == 'F';
  size_t sep = file ? 2 : 1;
  if (sep < t.size() && (t[sep] == ':' || t[sep] == '=')) {
    size_t end;
    std::string v = Value(t, sep + 1, &end);
    if (!file && !v.empty() && (v.back() == '\\' || v.back() == '/') && v.size() > 1) v.pop_back();
    o.folder = v;
    if (file) o.outputFileGiven = true;
    else if (!o.outputFileGiven) o.useFolder = true;
    return end;
  }
  o.useFolder = false;
  o.outputFileGiven = false;
  return sep;
}

size_t SwitchR(const std::string& t, CliOptions& o) {
  if (!At(t, 1, 'O')) return 1;
  if (t.size() < 3 || (t[2] != ':' && t[2] != '=')) return 2;
  size_t i = 3;
  bool negative = false;
  int64_t n = 0;
  for (; i < t.size() && (IsDigit(t[i]) || t[i] == '+' || t[i] == '-'); ++i) {
    if (t[i] == '-') negative = !negative;
    else if (IsDigit(t[i]) && n < 100000000) n = n * 10 + (t[i] - '0');
  }
  // Long values are cut: a rotation is a multiple of 90 below 360 anyway.
  n %= 360;
  if (negative) n = -n;
  while (n < 0) n += 90;
  o.set.Set(Rotate, true);
  o.set.Rotation = static_cast<uint16_t>(((n + 45) / 90) * 90 % 360);
  return i;
}

size_t SwitchS(const std::string& t, CliOptions& o) {
  size_t i = t.size() > 1 ? 2 : 1;
  std::string number;
  for (; i < t.size() && std::string("0123456789.+-DEde").find(t[i]) != std::string::npos; ++i)
    number += (t[i] == 'D' || t[i] == 'd') ? 'e' : t[i];
  double v = number.empty() ? 0 : std::strtod(number.c_str(), nullptr);
  o.set.ScalePercent = v < 0.01 || v != v ? 100.0f : static_cast<float>(v);
  return i;
}

}  // namespace

SwitchResult ApplySwitch(const std::string& t, CliOptions& o) {
  SwitchResult r;
  r.consumed = 1;
  if (t.empty()) {
    r.fileName = true;
    return r;
  }
  SettingsSet& s = o.set;
  switch (Up(t[0])) {
    case 'A': r.consumed = SwitchA(t, o); break;
    case 'B':
      if (At(t, 1, 'M') && At(t, 2, 'P')) r.consumed = ExportSwitch(t, 3, AutoExportBMP, o);
      else if (At(t, 1, 'X')) s.Set(Unattended, true), s.Set(NoAutoClose, false), r.consumed = 2;
      else s.Set(Unattended, true);
      break;
    case 'C': s.Set(WriteColorFile, true); break;
    case 'D':
      if (At(t, 1, 'D') && At(t, 2, 'E')) {
        r.consumed = 3;
        if (t.size() > 3 && (t[3] == ':' || t[3] == '=')) Value(t, 4, &r.consumed);
        r.note = "the DDE service is part of the Windows program; -DDE is ignored here";
      } else {
        r.consumed = At(t, 1, 'D') ? 2 : 1;
      }
      break;
    case 'E': s.Set(MeasureOnly, true); break;
    case 'F': s.Set(ForceDefaults, true); break;
    case 'H':
    case '?': s.Set(NoAutoClose, true), r.showHelp = true; break;
    case 'I':
      if (t.size() >= 4 && At(t, 2, 'P') && At(t, 3, 'C')) s.Set(IgnorePC, true), r.consumed = 4;
      else r.consumed = 2;
      break;
    case 'K':
      o.stop = true;
      r.consumed = t.size();
      r.note = "-K closes the program's window; there is none here, so the rest of the command line is skipped";
      break;
    case 'M':
      if (At(t, 1, 'X')) s.Set(MirrorX, true);
      else if (At(t, 1, 'Y')) s.Set(MirrorY, true);
      r.consumed = 2;
      break;
    case 'N':
      if (At(t, 1, 'T') && At(t, 2, 'G') && At(t, 3, 'L')) {
        s.Set(MirrorY, false), s.Set(MirrorX, true), s.Set(Rotate, true);
        s.Rotation = 90;
        r.consumed = 4;
      } else {
        r.fileName = true;
        r.consumed = 0;
      }
      break;
    case 'O': r.consumed = SwitchO(t, o); break;
    case 'P': {
      s.AutoPrint |= AutoPrintAfterConvert;
      size_t i = 1;
      for (; i < t.size() && (At(t, i, 'M') || At(t, i, 'D')); ++i)
        s.AutoPrint |= At(t, i, 'M') ? AutoPrintMetafiles : AutoPrintDefault;
      r.consumed = i;
      r.printing = true;
      break;
    }
    case 'Q': s.Set(Quiet, true); break;
    case 'R': r.consumed = SwitchR(t, o); break;
    case 'S': r.consumed = SwitchS(t, o); break;
    case 'T': s.Set(AutoEMZ, true); break;
    case 'W':
      if (At(t, 1, 'B') && At(t, 2, 'M') && At(t, 3, 'P')) r.consumed = ExportSwitch(t, 4, AutoExportBMP, o);
      else if (At(t, 1, 'P') && At(t, 2, 'N') && At(t, 3, 'G')) r.consumed = ExportSwitch(t, 4, AutoExportPNG, o);
      else if (At(t, 1, 'J') && At(t, 2, 'P') && At(t, 3, 'G')) r.consumed = ExportSwitch(t, 4, AutoExportJPEG, o);
      else r.consumed = 1;
      break;
    case 'X':
      if (o.exportSwitchSeen) s.Set(PurgeEMF, true), r.consumed = 1;
      else r.consumed = t.size();
      break;
    case 'Z': s.Set(PurgeLogs, true); break;
    case '2': break;
    default:
      r.fileName = true;
      r.consumed = 0;
      break;
  }
  if (r.consumed > t.size()) r.consumed = t.size();
  return r;
}

std::string WalkItem(const std::string& word, CliOptions& o, std::vector<SwitchResult>* results) {
  size_t pos = 0;
  while (pos < word.size() && !o.stop) {
    if (word[pos] != '-') return word.substr(pos);
    SwitchResult r = ApplySwitch(word.substr(pos + 1), o);
    if (r.fileName) return word.substr(pos + 1);
    if (results) results->push_back(r);
    pos += 1 + r.consumed;
  }
  return std::string();
}

}  // namespace tsl
