#include "platform/posix/settings_store_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/atomic_file.h"

namespace tsl {

namespace {

constexpr const char* kLockFileName = "settings.lock";
constexpr const char* kDamagedSuffix = ".damaged";
constexpr const char* kFileHeader =
    "; Tessella settings: the base values first, then one [section] per settings set.\n"
    "; Numbers are written dword:<hexadecimal>, texts in double quotes.\n";

// Where a damaged file is kept: settings.ini.damaged, or the first of
// .damaged-2, .damaged-3, ... that is free, so that no earlier copy is
// overwritten.
std::string DamagedCopyName(const std::string& path) {
  std::string name = path + kDamagedSuffix;
  struct stat st;
  for (int n = 2; ::lstat(name.c_str(), &st) == 0 && n < 10000; ++n)
    name = path + kDamagedSuffix + "-" + std::to_string(n);
  return name;
}

std::string ErrorText(int code, const std::string& path) { return std::string(std::strerror(code)) + ": " + path; }

std::string EncodeNumber(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(v));
  return buf;
}

std::string EncodeText(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// False for anything this store does not write: the value then reads as
// absent and the file counts as damaged.
bool Decode(const std::string& raw, StoreValue* value) {
  if (raw.size() > 6 && SameName(raw.substr(0, 6), "dword:")) {
    if (raw.size() > 14) return false;
    uint32_t v = 0;
    for (size_t i = 6; i < raw.size(); ++i) {
      int d = HexDigit(raw[i]);
      if (d < 0) return false;
      v = v * 16 + static_cast<uint32_t>(d);
    }
    value->type = StoreValue::Type::Number;
    value->number = v;
    value->text.clear();
    return true;
  }
  if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') return false;
  std::string text;
  for (size_t i = 1; i + 1 < raw.size(); ++i) {
    char c = raw[i];
    if (c == '"') return false;
    if (c != '\\') {
      text += c;
      continue;
    }
    if (++i + 1 >= raw.size()) return false;
    switch (raw[i]) {
      case '"': text += '"'; break;
      case '\\': text += '\\'; break;
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 'x': {
        if (i + 3 >= raw.size()) return false;
        int hi = HexDigit(raw[i + 1]), lo = HexDigit(raw[i + 2]);
        if (hi < 0 || lo < 0 || (hi == 0 && lo == 0)) return false;
        text += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default: return false;
    }
  }
  value->type = StoreValue::Type::Text;
  value->number = 0;
  value->text = std::move(text);
  return true;
}

// The values this store cannot read, as (section, key).
std::vector<std::pair<std::string, std::string>> Undecodable(const IniDocument& doc) {
  std::vector<std::pair<std::string, std::string>> bad;
  StoreValue v;
  std::vector<std::string> sections = doc.SectionNames();
  sections.insert(sections.begin(), std::string());
  for (const std::string& s : sections)
    for (const std::string& k : doc.KeyNames(s))
      if (!Decode(*doc.Find(s, k), &v)) bad.emplace_back(s, k);
  return bad;
}

bool IsDamaged(const IniDocument& doc) { return doc.DamagedLines() > 0 || !Undecodable(doc).empty(); }

// What is left of a damaged file once its copy is kept aside.
void DropUnreadable(IniDocument* doc) {
  for (const auto& [section, key] : Undecodable(*doc)) doc->Remove(section, key);
  doc->DropDamagedLines();
}

// Sections are named by set names; lines are kept in the file's own order.
bool MakeFolder(const std::string& folder, std::string* error) {
  std::string path;
  size_t pos = 0;
  while (pos != std::string::npos) {
    size_t next = folder.find('/', pos + 1);
    path = folder.substr(0, next);
    pos = next;
    if (path.empty() || path == "/") continue;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
      *error = ErrorText(errno, path);
      return false;
    }
  }
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) {
    *error = ErrorText(errno, folder);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    *error = ErrorText(ENOTDIR, folder);
    return false;
  }
  return true;
}

class LockFile {
 public:
  explicit LockFile(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~LockFile() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_;
};

}  // namespace

std::string DefaultSettingsFolder() {
  if (const char* dir = std::getenv("TESSELLA_CONFIG_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return std::string(xdg) + "/tessella";
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir;
  }
  if (!home || !*home) return std::string();
  return std::string(home) + "/.config/tessella";
}

bool FileSettingsStore::FileId::operator==(const FileId& o) const {
  return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size && mtimeSec == o.mtimeSec &&
         mtimeNsec == o.mtimeNsec;
}

FileSettingsStore::FileSettingsStore(std::string folder) : fixedFolder_(std::move(folder)) {}

std::string FileSettingsStore::Folder() const {
  return fixedFolder_.empty() ? DefaultSettingsFolder() : fixedFolder_;
}

std::string FileSettingsStore::FilePath() const {
  std::string folder = Folder();
  return folder.empty() ? std::string() : folder + "/" + kSettingsFileName;
}

void FileSettingsStore::ReportDamage(const std::string& path, const FileId& id, const std::string& detail) {
  if (id == reported_) return;
  reported_ = id;
  problemPath_ = path;
  problemDetail_ = detail;
}

bool FileSettingsStore::TakeReadProblem(std::string* where, std::string* detail) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (problemPath_.empty()) return false;
  *where = std::move(problemPath_);
  *detail = std::move(problemDetail_);
  problemPath_.clear();
  problemDetail_.clear();
  return true;
}

// Brings the cache up to date with the file, unless a batch holds writes
// that the file does not have yet.
void FileSettingsStore::Refresh() {
  if (batchDepth_ > 0 && cacheLoaded_) return;
  std::string path = FilePath();
  FileId id;
  struct stat st;
  if (!path.empty() && ::stat(path.c_str(), &st) == 0) {
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = static_cast<unsigned long long>(st.st_size);
    id.mtimeSec = st.st_mtim.tv_sec;
    id.mtimeNsec = st.st_mtim.tv_nsec;
  }
  if (cacheLoaded_ && path == cachedPath_ && id == cachedId_) return;
  cachedPath_ = path;
  cachedId_ = id;
  cacheLoaded_ = true;
  readable_ = true;
  doc_ = IniDocument();
  if (!id.exists) return;

  std::string bytes, error;
  FileReadResult r = ReadWholeFile(path, kMaxStoreFileBytes, &bytes, &error);
  if (r == FileReadResult::Missing) {
    cachedId_ = FileId();
    return;
  }
  if (r != FileReadResult::Ok) {
    readable_ = false;
    ReportDamage(path, id, error + "\n\nThe default settings are used; the file is left as it is.");
    return;
  }
  doc_ = IniDocument::Parse(bytes);
  if (IsDamaged(doc_)) {
    ReportDamage(path, id,
                 "The file is damaged. The settings that can be read are used; when settings are next saved, "
                 "the damaged file is kept as " + DamagedCopyName(path) + ".");
  }
}

bool FileSettingsStore::Read(const std::string& section, const std::string& name, StoreValue* value) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Refresh();
  const std::string* raw = doc_.Find(section, name);
  return raw && Decode(*raw, value);
}

bool FileSettingsStore::ListSections(std::vector<std::string>* names) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  names->clear();
  Refresh();
  if (!cachedId_.exists && pending_.empty()) return false;
  if (!readable_) return false;
  *names = doc_.SectionNames();
  std::stable_sort(names->begin(), names->end(),
                   [](const std::string& a, const std::string& b) { return FoldName(a) < FoldName(b); });
  return true;
}

bool FileSettingsStore::ListValues(const std::string& section, std::vector<std::string>* names) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  names->clear();
  Refresh();
  if ((!cachedId_.exists && pending_.empty()) || !readable_ || !doc_.HasSection(section)) return false;
  *names = doc_.KeyNames(section);
  return true;
}

bool FileSettingsStore::Apply(IniDocument* doc, const Op& op) {
  switch (op.kind) {
    case Op::Kind::Number: doc->Set(op.section, op.name, EncodeNumber(op.number)); return true;
    case Op::Kind::Text: doc->Set(op.section, op.name, EncodeText(op.text)); return true;
    case Op::Kind::DeleteValue: return doc->Remove(op.section, op.name);
    case Op::Kind::DeleteSection: return doc->RemoveSection(op.section);
  }
  return false;
}

StoreStatus FileSettingsStore::Submit(Op op) {
  bool needsName = op.kind != Op::Kind::DeleteSection;
  if (!IsValidStoreSection(op.section) || (needsName && !IsValidStoreValueName(op.name)) ||
      (op.kind == Op::Kind::DeleteSection && op.section.empty()))
    return StoreStatus::Failed("The name '" + (needsName ? op.name : op.section) + "' cannot be stored.");
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Refresh();
  if (op.kind == Op::Kind::DeleteValue || op.kind == Op::Kind::DeleteSection) {
    bool exists = op.kind == Op::Kind::DeleteValue ? doc_.Find(op.section, op.name) != nullptr
                                                   : doc_.HasSection(op.section);
    if (!exists || !readable_) return StoreStatus::NotFound();
  }
  if (batchDepth_ > 0) {
    Apply(&doc_, op);
    pending_.push_back(std::move(op));
    return StoreStatus::Ok();
  }
  return Commit({op});
}

StoreStatus FileSettingsStore::WriteNumber(const std::string& section, const std::string& name, uint32_t value) {
  return Submit(Op{Op::Kind::Number, section, name, {}, value});
}

StoreStatus FileSettingsStore::WriteText(const std::string& section, const std::string& name,
                                         const std::string& text) {
  if (text.find('\0') != std::string::npos) return StoreStatus::Failed("A text cannot hold a NUL character.");
  return Submit(Op{Op::Kind::Text, section, name, text, 0});
}

StoreStatus FileSettingsStore::DeleteValue(const std::string& section, const std::string& name) {
  return Submit(Op{Op::Kind::DeleteValue, section, name, {}, 0});
}

StoreStatus FileSettingsStore::DeleteSection(const std::string& section) {
  return Submit(Op{Op::Kind::DeleteSection, section, {}, {}, 0});
}

void FileSettingsStore::BeginBatch() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (batchDepth_ == 0) Refresh();
  ++batchDepth_;
}

StoreStatus FileSettingsStore::EndBatch() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (batchDepth_ == 0 || --batchDepth_ > 0) return StoreStatus::Ok();
  std::vector<Op> ops;
  ops.swap(pending_);
  return Commit(ops);
}

// Writes `ops` into the file as it is now on disk (another process may have
// changed it since we read it), under a lock, replacing the file at once.
StoreStatus FileSettingsStore::Commit(const std::vector<Op>& ops) {
  if (ops.empty()) return StoreStatus::Ok();
  std::string folder = Folder();
  StoreStatus status;
  do {
    if (folder.empty()) {
      status = StoreStatus::Failed("No folder for the settings: neither TESSELLA_CONFIG_DIR nor HOME is set.");
      break;
    }
    std::string error;
    if (!MakeFolder(folder, &error)) {
      status = StoreStatus::Failed(error);
      break;
    }
    std::string lockPath = folder + "/" + kLockFileName;
    LockFile lock(lockPath);
    if (!lock.ok()) {
      status = StoreStatus::Failed(ErrorText(errno, lockPath));
      break;
    }
    std::string path = folder + "/" + kSettingsFileName;
    std::string bytes;
    FileReadResult r = ReadWholeFile(path, kMaxStoreFileBytes, &bytes, &error);
    if (r == FileReadResult::TooLarge || r == FileReadResult::Failed) {
      // Never replace a file we could not read: it may hold everything.
      status = StoreStatus::Failed(error);
      break;
    }
    IniDocument doc = r == FileReadResult::Missing ? IniDocument::Parse(kFileHeader) : IniDocument::Parse(bytes);
    if (r == FileReadResult::Ok && IsDamaged(doc)) {
      if (!WriteFileAtomically(DamagedCopyName(path), bytes, &error)) {
        status = StoreStatus::Failed(error);
        break;
      }
      DropUnreadable(&doc);
    }
    for (const Op& op : ops) Apply(&doc, op);
    std::string text = doc.Serialize();
    // A file we could not read back would lose every setting.
    if (text.size() > kMaxStoreFileBytes) {
      status = StoreStatus::Failed("The settings would take more than 4 MB; nothing was saved: " + path);
      break;
    }
    if (!WriteFileAtomically(path, text, &error)) status = StoreStatus::Failed(error);
  } while (false);
  // Reread the file at the next access: after a failure the cache holds
  // writes that never happened.
  cacheLoaded_ = false;
  return status;
}

}  // namespace tsl
