#include "cli/file_identity.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <tuple>

namespace tsl {

bool FileIdentity::operator<(const FileIdentity& o) const {
  return std::tie(known, device, inode, name) < std::tie(o.known, o.device, o.inode, o.name);
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

FileIdentity IdentifyFile(const std::string& path) {
  FileIdentity id;
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.known = true;
    return id;
  }
  // A dangling link is a file of its own; whatever it leads to is made
  // nowhere else.
  if (lstat(path.c_str(), &st) == 0) {
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.known = true;
    return id;
  }
  std::string folder = FolderOf(path);
  if (stat(folder.c_str(), &st) != 0) return id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  size_t slash = path.find_last_of('/');
  id.name = slash == std::string::npos ? path : path.substr(slash + 1);
  id.known = true;
  return id;
}

TargetKind InspectTarget(const std::string& path, std::string* resolved) {
  *resolved = path;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return TargetKind::Missing;
  if (S_ISLNK(st.st_mode)) {
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    if (!real || stat(real.get(), &st) != 0) return TargetKind::Dangling;
    *resolved = real.get();
  }
  if (S_ISREG(st.st_mode)) return TargetKind::Regular;
  if (S_ISDIR(st.st_mode)) return TargetKind::Folder;
  return TargetKind::Stream;
}

}  // namespace tsl
