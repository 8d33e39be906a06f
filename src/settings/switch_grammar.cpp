#include "settings/switch_grammar.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tsl {

namespace {

char Up(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' '; }

constexpr size_t kMaxDdeName = 23;

}  // namespace

void SwitchWalker::WalkCommandLine(const std::string& text) { Walk(text, true); }

void SwitchWalker::WalkArgument(const std::string& argument) {
  if (argument.empty() || !std::strchr(switchChars_, argument[0])) {
    if (!stopped_ && !argument.empty()) actions_.File(argument);
    return;
  }
  Walk(argument, false);
}

size_t SwitchWalker::ItemEnd(size_t pos) const {
  const std::string& t = *text_;
  if (!blanksSeparate_) return t.size();
  while (pos < t.size() && !IsBlank(t[pos])) ++pos;
  return pos;
}

// The value of /O:, /OF:, /DDE: quoted with '"', or up to the end of the item.
std::string SwitchWalker::Value(size_t start, size_t* end) const {
  const std::string& t = *text_;
  if (start < t.size() && t[start] == '"') {
    size_t close = t.find('"', start + 1);
    if (close == std::string::npos) close = t.size();
    *end = close < t.size() ? close + 1 : close;
    return t.substr(start + 1, close - start - 1);
  }
  *end = ItemEnd(start);
  return t.substr(start, *end - start);
}

// A file item: quoted up to the next quote, else up to the end of the item.
size_t SwitchWalker::FileItem(size_t pos, std::string* name) const {
  const std::string& t = *text_;
  if (blanksSeparate_ && t[pos] == '"') {
    size_t close = t.find('"', pos + 1);
    if (close == std::string::npos) close = t.size();
    *name = t.substr(pos + 1, close - pos - 1);
    return close < t.size() ? close + 1 : close;
  }
  size_t end = ItemEnd(pos);
  *name = t.substr(pos, end - pos);
  return end;
}

void SwitchWalker::Walk(const std::string& text, bool blanksSeparate) {
  text_ = &text;
  blanksSeparate_ = blanksSeparate;
  size_t pos = 0;
  const SwitchEvent* previous = nullptr;  // the switch this item continues
  SwitchEvent event;
  while (pos < text.size() && !stopped_) {
    if (blanksSeparate && IsBlank(text[pos])) {
      ++pos;
      previous = nullptr;
      continue;
    }
    if (std::strchr(switchChars_, text[pos])) {
      size_t letter = pos + 1;
      if (letter >= text.size() || (blanksSeparate && IsBlank(text[letter]))) {
        pos = letter;  // a switch character alone
        previous = nullptr;
        continue;
      }
      SwitchEvent next;
      size_t end = Apply(letter, &next);
      if (end == std::string::npos) {
        // Not a switch: the text from the letter on is a file name.
        std::string name;
        pos = FileItem(letter, &name);
        actions_.Unknown(name);
        previous = nullptr;
        continue;
      }
      next.text = text.substr(pos, end - pos);
      event = next;
      previous = &event;
      actions_.Switch(event);
      pos = end;
      continue;
    }
    std::string name;
    pos = FileItem(pos, &name);
    if (previous) actions_.Trailing(*previous, name);
    else if (!name.empty()) actions_.File(name);
    previous = nullptr;
  }
  text_ = nullptr;
}

size_t SwitchWalker::Paper(size_t pos) {
  static const int kIso[4][2] = {{840, 1188}, {594, 840}, {420, 594}, {297, 420}};
  const std::string& t = *text_;
  size_t end = ItemEnd(pos);
  std::string rest;
  for (size_t i = pos + 1; i < end; ++i) rest += Up(t[i]);
  auto paper = [this](int w, int h) {
    set_.PageWidth = static_cast<int16_t>(w);
    set_.PageHeight = static_cast<int16_t>(h);
  };
  if (!rest.empty() && rest[0] >= '0' && rest[0] <= '3') {
    paper(kIso[rest[0] - '0'][0], kIso[rest[0] - '0'][1]);
  } else if (!rest.empty() && rest[0] == 'L') {
    if (rest == "LTR") paper(216, 279);
    else if (rest == "LGL") paper(216, 355);
    else if (rest == "LGR") paper(279, 432);
  } else {
    paper(210, 297);
  }
  return end;
}

// /WBMP, /WPNG, /WJPG (and /BMP): `pos` is behind the three letters.
// Separators, then up to 8 digits: the width, 800 without one or for 0.
size_t SwitchWalker::Export(size_t pos, uint8_t bit, SwitchEvent* e) {
  const std::string& t = *text_;
  size_t i = pos;
  size_t limit = blanksSeparate_ ? t.size() : ItemEnd(pos);
  while (i < limit && std::strchr(" :=\r\n\t\v", t[i])) ++i;
  uint32_t n = 0;
  int digits = 0;
  for (; digits < 8 && i < limit && IsDigit(t[i]); ++digits, ++i) n = n * 10 + (t[i] - '0');
  // Without a number the blanks skipped still end the item.
  if (!digits) {
    size_t blank = t.find(' ', pos);
    if (blank < i) i = blank;
  }
  set_.AutoExport |= bit;
  if (bit == AutoExportBMP) set_.Set(HighResolution, false);
  set_.ExportSize = n ? n : 800;
  exportSeen_ = true;
  e->kind = SwitchKind::Export;
  e->exportBit = bit;
  e->size = set_.ExportSize;
  return i;
}

size_t SwitchWalker::Output(size_t pos, SwitchEvent* e) {
  const std::string& t = *text_;
  e->kind = SwitchKind::Output;
  // The F of /OF counts in upper case only.
  bool file = pos + 1 < t.size() && t[pos + 1] == 'F';
  size_t sep = pos + (file ? 2 : 1);
  if (sep < t.size() && (t[sep] == ':' || t[sep] == '=')) {
    size_t end;
    std::string v = Value(sep + 1, &end);
    e->value = v;
    if (file) {
      placement_.fileGiven = true;
      placement_.folder = v;
    } else if (placement_.fileGiven) {
      // An output file named before wins; its name stays the metafile's.
      e->valid = false;
    } else {
      if (v.size() > 1 && (v.back() == '\\' || v.back() == '/')) v.pop_back();
      placement_.folder = v;
      placement_.useFolder = true;
      e->value = v;
    }
    return end;
  }
  placement_.useFolder = false;
  placement_.fileGiven = false;
  return sep;
}

size_t SwitchWalker::Rotate(size_t pos, SwitchEvent* e) {
  const std::string& t = *text_;
  e->kind = SwitchKind::Rotate;
  if (pos + 1 >= t.size() || Up(t[pos + 1]) != 'O') {
    e->kind = SwitchKind::Inert;
    e->valid = false;
    return pos + 1;
  }
  if (pos + 2 >= t.size() || (t[pos + 2] != ':' && t[pos + 2] != '=')) {
    e->kind = SwitchKind::Inert;
    e->valid = false;
    return pos + 2;
  }
  size_t i = pos + 3;
  bool negative = false, digits = false;
  int64_t n = 0;
  for (; i < t.size() && (IsDigit(t[i]) || t[i] == '+' || t[i] == '-'); ++i) {
    if (t[i] == '-') negative = !negative;
    else if (IsDigit(t[i])) digits = true, n = (n * 10 + (t[i] - '0')) % 360;
  }
  // Long values are cut: a rotation is a multiple of 90 below 360 anyway.
  if (negative) n = -n;
  while (n < 0) n += 90;
  set_.Set(tsl::Rotate, true);
  set_.Rotation = static_cast<uint16_t>(((n + 45) / 90) * 90 % 360);
  e->valid = digits;
  return i;
}

size_t SwitchWalker::Scale(size_t pos, SwitchEvent* e) {
  const std::string& t = *text_;
  e->kind = SwitchKind::Scale;
  size_t i = pos + 1 < t.size() ? pos + 2 : pos + 1;
  std::string number;
  for (; i < t.size() && std::strchr("0123456789.+-DEde", t[i]); ++i)
    number += (t[i] == 'D' || t[i] == 'd') ? 'e' : t[i];
  char* end = nullptr;
  double v = number.empty() ? 0 : std::strtod(number.c_str(), &end);
  // Unusable values give 100, as one below 0.01 always did: a scale that
  // overflows would leave nothing but a degenerate picture.
  bool inRange = std::isfinite(v) && v >= 0.01 && v <= kMaxScalePercent;
  set_.ScalePercent = inRange ? static_cast<float>(v) : 100.0f;
  e->valid = inRange && end && *end == '\0';
  return i;
}

size_t SwitchWalker::Apply(size_t pos, SwitchEvent* e) {
  const std::string& t = *text_;
  auto at = [&](size_t i, char c) { return i < t.size() && Up(t[i]) == c; };
  auto flag = [&](SwitchKind kind, SettingsFlag f) {
    set_.Set(f, true);
    e->kind = kind;
    return pos + 1;
  };
  auto inert = [&](size_t end) {
    e->kind = SwitchKind::Inert;
    e->valid = false;
    return end < t.size() ? end : t.size();
  };
  switch (Up(t[pos])) {
    case 'A': {
      e->kind = SwitchKind::Paper;
      size_t end = ItemEnd(pos);
      std::string name;
      for (size_t i = pos + 1; i < end; ++i) name += Up(t[i]);
      e->valid = name == "0" || name == "1" || name == "2" || name == "3" || name == "4" || name == "LTR" ||
                 name == "LGL" || name == "LGR";
      return Paper(pos);
    }
    case 'B':
      if (at(pos + 1, 'M') && at(pos + 2, 'P')) return Export(pos + 3, AutoExportBMP, e);
      e->kind = SwitchKind::Unattended;
      set_.Set(Unattended, true);
      if (at(pos + 1, 'X')) {
        set_.Set(NoAutoClose, false);
        return pos + 2;
      }
      return pos + 1;
    case 'C': return flag(SwitchKind::ColorFile, WriteColorFile);
    case 'D':
      if (at(pos + 1, 'D') && at(pos + 2, 'E')) {
        e->kind = SwitchKind::Dde;
        set_.Set(DdeRequest, true);
        set_.Set(Unattended, true);
        set_.Set(NoAutoClose, true);
        size_t end = pos + 3;
        if (end < t.size() && (t[end] == ':' || t[end] == '=')) e->value = Value(end + 1, &end).substr(0, kMaxDdeName);
        return end;
      }
      return inert(at(pos + 1, 'D') ? pos + 2 : pos + 1);
    case 'E': return flag(SwitchKind::MeasureOnly, MeasureOnly);
    case 'F': return flag(SwitchKind::ForceDefaults, ForceDefaults);
    case 'H':
    case '?': return flag(SwitchKind::Help, NoAutoClose);
    case 'I':
      if (pos + 3 < t.size() && at(pos + 2, 'P') && at(pos + 3, 'C')) {
        set_.Set(IgnorePC, true);
        e->kind = SwitchKind::IgnorePC;
        return pos + 4;
      }
      return inert(pos + 2);
    case 'K':
      e->kind = SwitchKind::Kill;
      stopped_ = true;
      return t.size();
    case 'M':
      if (at(pos + 1, 'X') || at(pos + 1, 'Y')) {
        set_.Set(at(pos + 1, 'X') ? MirrorX : MirrorY, true);
        e->kind = SwitchKind::Mirror;
        return pos + 2;
      }
      return inert(pos + 2);
    case 'N':
      if (at(pos + 1, 'T') && at(pos + 2, 'G') && at(pos + 3, 'L')) {
        set_.Set(MirrorY, false);
        set_.Set(MirrorX, true);
        set_.Set(tsl::Rotate, true);
        set_.Rotation = 90;
        e->kind = SwitchKind::Ntgl;
        return pos + 4;
      }
      return std::string::npos;
    case 'O': return Output(pos, e);
    case 'P': {
      set_.AutoPrint |= AutoPrintAfterConvert;
      size_t i = pos + 1;
      for (; at(i, 'M') || at(i, 'D'); ++i) set_.AutoPrint |= at(i, 'M') ? AutoPrintMetafiles : AutoPrintDefault;
      e->kind = SwitchKind::Print;
      return i;
    }
    case 'Q': return flag(SwitchKind::Quiet, Quiet);
    case 'R': return Rotate(pos, e);
    case 'S': return Scale(pos, e);
    case 'T': return flag(SwitchKind::Emz, AutoEMZ);
    case 'W':
      if (at(pos + 1, 'B') && at(pos + 2, 'M') && at(pos + 3, 'P')) return Export(pos + 4, AutoExportBMP, e);
      if (at(pos + 1, 'P') && at(pos + 2, 'N') && at(pos + 3, 'G')) return Export(pos + 4, AutoExportPNG, e);
      if (at(pos + 1, 'J') && at(pos + 2, 'P') && at(pos + 3, 'G')) return Export(pos + 4, AutoExportJPEG, e);
      return inert(pos + 1);
    case 'X':
      e->kind = SwitchKind::PurgeEMF;
      if (exportSeen_) {
        set_.Set(PurgeEMF, true);
        return pos + 1;
      }
      // Without an export before it, the switch and the rest of its item
      // are ignored: the metafile would be the only output.
      e->valid = false;
      return ItemEnd(pos);
    case 'Z': return flag(SwitchKind::PurgeLogs, PurgeLogs);
    case '2':
      e->kind = SwitchKind::SecondInstance;
      return pos + 1;
    default: return std::string::npos;
  }
}

}  // namespace tsl
