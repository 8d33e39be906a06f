#include "common/ini_document.h"

#include "common/line_end.h"

#include <algorithm>
#include <unordered_set>

namespace tsl {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s, size_t begin, size_t end) {
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

// Control characters other than tab make a line unreadable: they come from
// binary data, never from a text editor.
bool HasControl(const std::string& s) {
  for (unsigned char c : s)
    if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
  return false;
}

// Sections longer than this get a key index; shorter ones are searched.
constexpr size_t kIndexThreshold = 32;

}  // namespace

std::string FoldName(const std::string& name) {
  std::string out(name);
  for (char& c : out) c = Lower(c);
  return out;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

IniDocument IniDocument::Parse(const std::string& text) {
  IniDocument doc;
  size_t pos = 0;
  // Byte-order marks before the first line are no text (editors may add
  // one each time they save).
  while (text.compare(pos, 3, "\xEF\xBB\xBF") == 0) pos += 3;
  size_t lineNo = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    Line line;
    line.raw = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size()) {
      bool cr = text[pos] == '\r';
      ++pos;
      if (cr && pos < text.size() && text[pos] == '\n') ++pos;
    }
    ++lineNo;

    size_t first = 0;
    while (first < line.raw.size() && IsBlank(line.raw[first])) ++first;
    bool damaged = false;
    if (first == line.raw.size()) {
      line.kind = Kind::Blank;
    } else if (HasControl(line.raw)) {
      damaged = true;
    } else if (line.raw[first] == ';' || line.raw[first] == '#') {
      line.kind = Kind::Comment;
    } else if (line.raw[first] == '[') {
      size_t close = line.raw.rfind(']');
      if (close == std::string::npos || close <= first) {
        damaged = true;
      } else {
        Section s;
        s.name = Trim(line.raw, first + 1, close);
        s.header = line.raw;
        doc.sections_.push_back(std::move(s));
        doc.sectionIndex_.emplace(FoldName(doc.sections_.back().name), doc.sections_.size() - 1);
        continue;
      }
    } else {
      size_t eq = line.raw.find('=');
      std::string key = eq == std::string::npos ? std::string() : Trim(line.raw, first, eq);
      if (key.empty()) {
        damaged = true;
      } else {
        line.kind = Kind::Entry;
        line.key = std::move(key);
        line.value = Trim(line.raw, eq + 1, line.raw.size());
      }
    }
    if (damaged) {
      line.kind = Kind::Other;
      if (doc.damaged_++ == 0) doc.firstDamaged_ = lineNo;
    }
    doc.sections_.back().lines.push_back(std::move(line));
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  std::string out;
  for (const Section& s : sections_) {
    if (&s != &sections_[0]) out += s.header + kLineEnd;
    for (const Line& l : s.lines) out += l.raw + kLineEnd;
  }
  return out;
}

IniDocument::Section* IniDocument::FindSection(const std::string& name) {
  if (name.empty()) return &sections_[0];
  auto it = sectionIndex_.find(FoldName(name));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const IniDocument::Section* IniDocument::FindSection(const std::string& name) const {
  return const_cast<IniDocument*>(this)->FindSection(name);
}

const IniDocument::Line* IniDocument::FindLine(const Section& s, const std::string& key) {
  if (s.lines.size() <= kIndexThreshold) {
    for (const Line& l : s.lines)
      if (l.kind == Kind::Entry && SameName(l.key, key)) return &l;
    return nullptr;
  }
  if (!s.indexed) {
    s.index.clear();
    for (size_t i = 0; i < s.lines.size(); ++i)
      if (s.lines[i].kind == Kind::Entry) s.index.emplace(FoldName(s.lines[i].key), i);
    s.indexed = true;
  }
  auto it = s.index.find(FoldName(key));
  return it == s.index.end() ? nullptr : &s.lines[it->second];
}

void IniDocument::Reindex() {
  sectionIndex_.clear();
  for (size_t i = 1; i < sections_.size(); ++i) sectionIndex_.emplace(FoldName(sections_[i].name), i);
}

bool IniDocument::HasSection(const std::string& section) const {
  return section.empty() || FindSection(section) != nullptr;
}

const std::string* IniDocument::Find(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  const Line* l = FindLine(*s, key);
  return l ? &l->value : nullptr;
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
  Section* s = FindSection(section);
  if (!s) {
    // A blank line between sections, as an editor would leave it.
    Section& last = sections_.back();
    bool empty = sections_.size() == 1 && last.lines.empty();
    if (!empty && (last.lines.empty() || last.lines.back().kind != Kind::Blank)) last.lines.push_back(Line{});
    Section fresh;
    fresh.name = section;
    fresh.header = "[" + section + "]";
    sections_.push_back(std::move(fresh));
    sectionIndex_.emplace(FoldName(section), sections_.size() - 1);
    s = &sections_.back();
  }
  if (const Line* found = FindLine(*s, key)) {
    Line& l = s->lines[static_cast<size_t>(found - s->lines.data())];
    l.value = value;
    l.raw = l.key + "=" + value;
    return;
  }
  // After the last line that is not blank, so that the blank line before
  // the next section stays where it is.
  size_t at = s->lines.size();
  while (at > 0 && s->lines[at - 1].kind == Kind::Blank) --at;
  Line l;
  l.kind = Kind::Entry;
  l.key = key;
  l.value = value;
  l.raw = key + "=" + value;
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(l));
  // Only blank lines follow the insertion point, so indexes stay valid.
  if (s->indexed) s->index.emplace(FoldName(key), at);
}

bool IniDocument::Remove(const std::string& section, const std::string& key) {
  Section* s = FindSection(section);
  if (!s) return false;
  auto match = [&](const Line& l) { return l.kind == Kind::Entry && SameName(l.key, key); };
  auto it = std::remove_if(s->lines.begin(), s->lines.end(), match);
  if (it == s->lines.end()) return false;
  s->lines.erase(it, s->lines.end());
  s->indexed = false;
  return true;
}

bool IniDocument::RemoveSection(const std::string& section) {
  if (section.empty()) {
    auto& lines = sections_[0].lines;
    size_t before = lines.size();
    lines.erase(std::remove_if(lines.begin(), lines.end(), [](const Line& l) { return l.kind == Kind::Entry; }),
                lines.end());
    sections_[0].indexed = false;
    return lines.size() != before;
  }
  size_t before = sections_.size();
  sections_.erase(std::remove_if(sections_.begin() + 1, sections_.end(),
                                 [&](const Section& s) { return SameName(s.name, section); }),
                  sections_.end());
  if (sections_.size() == before) return false;
  Reindex();
  return true;
}

void IniDocument::DropDamagedLines() {
  for (Section& s : sections_) {
    s.lines.erase(std::remove_if(s.lines.begin(), s.lines.end(), [](const Line& l) { return l.kind == Kind::Other; }),
                  s.lines.end());
    s.indexed = false;
  }
  damaged_ = 0;
  firstDamaged_ = 0;
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (size_t i = 1; i < sections_.size(); ++i)
    if (!sections_[i].name.empty() && seen.insert(FoldName(sections_[i].name)).second)
      names.push_back(sections_[i].name);
  return names;
}

std::vector<std::string> IniDocument::KeyNames(const std::string& section) const {
  std::vector<std::string> names;
  const Section* s = FindSection(section);
  if (!s) return names;
  std::unordered_set<std::string> seen;
  for (const Line& l : s->lines)
    if (l.kind == Kind::Entry && seen.insert(FoldName(l.key)).second) names.push_back(l.key);
  return names;
}

size_t IniDocument::KeyCount(const std::string& section) const {
  const Section* s = FindSection(section);
  if (!s) return 0;
  size_t n = 0;
  for (const Line& l : s->lines) n += l.kind == Kind::Entry;
  return n;
}

}  // namespace tsl
