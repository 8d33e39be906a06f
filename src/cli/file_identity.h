// Which file a name stands for, decided on the file system and not on the
// spelling: "./a.plt", "a.plt", a hard link and a symbolic link to it are
// one file.
#pragma once
#include <sys/types.h>

#include <string>

namespace tsl {

struct FileIdentity {
  // An existing file: its device and inode (links followed). A file still
  // to be made: the device and inode of its folder, and its name there.
  dev_t device = 0;
  ino_t inode = 0;
  std::string name;  // empty for an existing file
  bool known = false;  // false when not even the folder exists

  bool operator==(const FileIdentity& o) const {
    return known && o.known && device == o.device && inode == o.inode && name == o.name;
  }
  bool operator<(const FileIdentity& o) const;
};

FileIdentity IdentifyFile(const std::string& path);

// What stands at a name an output is to be written to.
enum class TargetKind {
  Missing,   // nothing: the file will be made
  Regular,   // a regular file (perhaps through a link), replaced when complete
  Stream,    // a character device, a pipe or a socket: written in place, never replaced
  Folder,
  Dangling,  // a symbolic link to nothing
};

// `*resolved` receives the name the file is to be written under: `path`
// itself, or, for a symbolic link, the file it leads to, so that the link
// stays a link.
TargetKind InspectTarget(const std::string& path, std::string* resolved);

// The folder part of a path ("." when it has none).
std::string FolderOf(const std::string& path);

}  // namespace tsl
