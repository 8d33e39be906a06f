#include "cli/inputs.h"

#include <dirent.h>
#include <fcntl.h>
#include <glob.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "cli/file_identity.h"
#include "cli/interrupts.h"
#include "common/notify.h"

namespace tsl {

const char* const kPlotExtensions[] = {".plt", ".hgl", ".hpg", ".hpgl", ".hp", ".hp2", ".plo", ".prn"};
const size_t kPlotExtensionCount = sizeof kPlotExtensions / sizeof kPlotExtensions[0];

bool HasExtension(const std::string& name, const char* ext) {
  size_t n = std::strlen(ext);
  size_t slash = name.find_last_of('/');
  size_t start = slash == std::string::npos ? 0 : slash + 1;
  return name.size() > start + n && strcasecmp(name.c_str() + name.size() - n, ext) == 0;
}

namespace {

int ExtensionRank(const std::string& name, const std::vector<std::string>& extensions) {
  for (size_t i = 0; i < extensions.size(); ++i)
    if (HasExtension(name, extensions[i].c_str())) return static_cast<int>(i);
  return -1;
}

void Scan(const std::string& folder, bool recursive, const std::vector<std::string>& extensions, FolderScan* out) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.emplace_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  std::string dir = folder.back() == '/' ? folder : folder + "/";
  std::vector<std::vector<std::string>> groups(extensions.size());
  std::vector<std::string> below;
  for (const std::string& n : names) {
    struct stat st;
    // Links to folders are not followed: they could lead back up.
    if (lstat((dir + n).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      if (recursive) below.push_back(dir + n);
      continue;
    }
    int rank = ExtensionRank(n, extensions);
    if (rank >= 0 && stat((dir + n).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) groups[rank].push_back(dir + n);
    else out->skipped++;
  }
  for (const auto& group : groups) out->plots.insert(out->plots.end(), group.begin(), group.end());
  for (const std::string& sub : below) Scan(sub, true, extensions, out);
}

// Whether the folder of `path` is one of /proc's.
bool InProc(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(realpath(FolderOf(path).c_str(), nullptr), &std::free);
  return real && std::strncmp(real.get(), "/proc/", 6) == 0;
}

}  // namespace

const std::vector<std::string> kMetafileExtensions = {".emf", ".emz", ".wmf"};

FolderScan FolderFiles(const std::string& folder, bool recursive, const std::vector<std::string>& extensions) {
  FolderScan scan;
  Scan(folder, recursive, extensions, &scan);
  return scan;
}

FolderScan FolderPlots(const std::string& folder, bool recursive) {
  return FolderFiles(folder, recursive, std::vector<std::string>(kPlotExtensions, kPlotExtensions + kPlotExtensionCount));
}

bool HasWildcards(const std::string& s) { return s.find_first_of("*?[") != std::string::npos; }

std::vector<std::string> MatchPattern(const std::string& pattern) {
  std::vector<std::string> out;
  glob_t g{};
  if (glob(pattern.c_str(), 0, nullptr, &g) == 0) {
    for (size_t i = 0; i < g.gl_pathc; ++i) {
      struct stat st;
      if (stat(g.gl_pathv[i], &st) == 0 && !S_ISDIR(st.st_mode)) out.emplace_back(g.gl_pathv[i]);
    }
  }
  globfree(&g);
  return out;
}

std::string StandardStreamName(const std::string& name) {
  for (const char* out : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"})
    if (name == out) return "-";
  for (const char* err : {"/dev/stderr", "/dev/fd/2", "/proc/self/fd/2"})
    if (name == err) return "-2";
  return name;
}

bool ReachesDescriptor(const std::string& name) {
  if (name == "-") return true;
  std::string p = name;
  for (int hops = 0; hops < 40; ++hops) {
    if (InProc(p)) return true;
    struct stat st;
    if (lstat(p.c_str(), &st) != 0) return false;
    if (!S_ISLNK(st.st_mode)) return false;
    char target[PATH_MAX];
    ssize_t n = readlink(p.c_str(), target, sizeof target - 1);
    if (n <= 0) return false;
    target[n] = '\0';
    p = target[0] == '/' ? std::string(target) : FolderOf(p) + "/" + target;
  }
  return false;
}

bool SpoolInput(const std::string& name, const std::string& copy, std::string* error) {
  int in = name == "-" ? STDIN_FILENO : open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    *error = SysErrText(errno);
    return false;
  }
  int out = open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (out < 0) {
    *error = "cannot keep a copy in '" + copy + "': " + SysErrText(errno);
    if (in != STDIN_FILENO) close(in);
    return false;
  }
  char buffer[1 << 16];
  bool ok = true;
  for (;;) {
    ssize_t n = read(in, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR && !Interrupted()) continue;
      *error = SysErrText(errno);
      ok = false;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        *error = "cannot keep a copy in '" + copy + "': " + SysErrText(errno);
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  if (close(out) != 0 && ok) {
    *error = "cannot keep a copy in '" + copy + "': " + SysErrText(errno);
    ok = false;
  }
  if (in != STDIN_FILENO) close(in);
  return ok;
}

}  // namespace tsl
