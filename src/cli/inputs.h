// The plot files a named item stands for: a file, the plot files of a
// folder (and of its subfolders with -r), the files a pattern matches, or
// standard input.
#pragma once
#include <string>
#include <vector>

namespace tsl {

// The extensions a folder converts, in this order; each group is sorted by
// name and matched without regard to case.
extern const char* const kPlotExtensions[];
extern const size_t kPlotExtensionCount;

struct FolderScan {
  std::vector<std::string> plots;
  size_t skipped = 0;  // other files (not counting subfolders)
};

FolderScan FolderPlots(const std::string& folder, bool recursive);
// The same for other extensions, each group in the order given (-PM prints
// a folder's .emf, .emz, then .wmf files).
FolderScan FolderFiles(const std::string& folder, bool recursive, const std::vector<std::string>& extensions);
extern const std::vector<std::string> kMetafileExtensions;

// The files a pattern matches, sorted; folders left out.
std::vector<std::string> MatchPattern(const std::string& pattern);
bool HasWildcards(const std::string& name);

// True for "-" and for names that reach a descriptor of this process
// (/dev/stdin, /dev/fd/N, /proc/self/fd/N): a stream, read or written in
// place, which has no folder to put outputs beside and is never replaced.
bool ReachesDescriptor(const std::string& name);
// "-" for standard output's names (/dev/stdout, /dev/fd/1,
// /proc/self/fd/1), "-2" for standard error's, else `name`.
std::string StandardStreamName(const std::string& name);

// Whether the last component of `name` ends with `ext` (case ignored).
bool HasExtension(const std::string& name, const char* ext);

// Copies a stream input ("-" is standard input) into `copy`. False with
// *error when it cannot be read or written.
bool SpoolInput(const std::string& name, const std::string& copy, std::string* error);

}  // namespace tsl
