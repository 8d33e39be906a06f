#include "support/temp_dir.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(_WIN32)
#include <process.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tsl::test {

namespace {
#if defined(_WIN32)
// MinGW has neither lstat (no symbolic links to care for) nor mkdtemp.
int lstat(const char* path, struct stat* st) { return stat(path, st); }
char* mkdtemp(char* tmpl) {
  static std::atomic<unsigned> counter{0};
  size_t n = std::strlen(tmpl);
  if (n < 6) return nullptr;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    unsigned v = static_cast<unsigned>(_getpid()) * 2654435761u ^ counter++ * 40503u ^
                 static_cast<unsigned>(std::clock());
    for (size_t i = n - 6; i < n; ++i, v /= 36) tmpl[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[v % 36];
    if (mkdir(tmpl) == 0) return tmpl;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}
#endif

void RemoveTree(const std::string& path) {
  if (DIR* d = opendir(path.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      std::string full = path + "/" + name;
      struct stat st;
      if (lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        chmod(full.c_str(), 0700);
        RemoveTree(full);
      } else {
        unlink(full.c_str());
      }
    }
    closedir(d);
  }
  rmdir(path.c_str());
}
}  // namespace

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/tessella-test-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  std::string p = File(name);
  std::ofstream out(p, std::ios::binary);
  out << content;
  return p;
}

std::vector<std::string> TempDir::List() const { return ListFolder(path_); }

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* d = opendir(path.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string ReadLogFile(const std::string& path) {
  std::string log;
  for (char c : ReadFile(path)) {
    if (c == '\n' && (log.empty() || log.back() != '\r')) log += '\r';
    log += c;
  }
  return log;
}

}  // namespace tsl::test
