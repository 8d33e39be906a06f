// An INI text ("[section]" lines and "key=value" lines) kept line by line, so
// that rewriting it keeps everything that was not changed: comments, unknown
// keys and sections, even lines that cannot be read. Used for .SET files and
// for the settings file of the POSIX store.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace tsl {

// Section and key names compare without regard to ASCII case, as the
// profile functions and the registry do.
bool SameName(const std::string& a, const std::string& b);
std::string FoldName(const std::string& name);

class IniDocument {
 public:
  // Never fails: lines that are neither blank, a comment (";" or "#"), a
  // section header nor "key=value" are kept as they are and counted as
  // damaged. Line ends may be CR LF, LF or CR.
  static IniDocument Parse(const std::string& text);
  // The text with CR LF line ends.
  std::string Serialize() const;

  // The section "" holds the keys before the first section header.
  bool HasSection(const std::string& section) const;
  // The value of the first such key in the first such section, blanks
  // trimmed, or nullptr.
  const std::string* Find(const std::string& section, const std::string& key) const;
  // Replaces the value in place, or appends the key at the end of the
  // section, appending the section at the end of the text when missing.
  void Set(const std::string& section, const std::string& key, const std::string& value);
  // Removes every such key of the section; false when there was none.
  bool Remove(const std::string& section, const std::string& key);
  // Removes every section of that name with its lines; false when none.
  bool RemoveSection(const std::string& section);

  // Named sections in text order, each name once.
  std::vector<std::string> SectionNames() const;
  // Keys of the section in text order, each once.
  std::vector<std::string> KeyNames(const std::string& section) const;
  size_t KeyCount(const std::string& section) const;

  // Forgets the lines that could not be read.
  void DropDamagedLines();
  size_t DamagedLines() const { return damaged_; }
  size_t FirstDamagedLine() const { return firstDamaged_; }  // 1-based, 0 = none

 private:
  enum class Kind { Blank, Comment, Entry, Other };
  struct Line {
    Kind kind = Kind::Blank;
    std::string raw;
    std::string key;    // entries: trimmed
    std::string value;  // entries: trimmed
  };
  struct Section {
    std::string name;
    std::string header;  // the header line as written; empty for section ""
    std::vector<Line> lines;
    // Built on demand for long sections: folded key -> first line.
    mutable std::unordered_map<std::string, size_t> index;
    mutable bool indexed = false;
  };

  Section* FindSection(const std::string& name);
  const Section* FindSection(const std::string& name) const;
  static const Line* FindLine(const Section& s, const std::string& key);
  void Reindex();

  std::vector<Section> sections_{Section{}};  // [0] is section ""
  std::unordered_map<std::string, size_t> sectionIndex_;
  size_t damaged_ = 0;
  size_t firstDamaged_ = 0;
};

}  // namespace tsl
