// Texts the file commands build: the common dialog's filter list, which
// dialogs save, the name offered for an EMZ, and why a log cannot be shown.
#pragma once
#include <cstdint>
#include <string>

namespace tsl::shell {

// The string table's filter ("desc$pattern$...$$") with every occurrence of
// its last character turned into a NUL, as the common dialog wants it.
std::string DialogFilter(const std::string& tableText);

// The title IDs whose dialog saves (with an overwrite prompt).
bool IsSaveDialog(unsigned titleId);

// The metafile's name with a last 'f' or 'F' turned into 'z'.
std::string EmzSuggestion(const std::string& metafile);

// "Cannot view <path>:\n\n<reason>", the reason from the string table's
// entry 100 + the shell's error code, or a general text without one.
std::string ShowLogFailureText(const std::string& logPath, unsigned shellCode);

// The confirmation after a file was saved: its name, its size and its
// folder, from the file's full path.
std::string SaveCompleteText(const std::string& fullPath, uint64_t size);
std::string SaveCompleteCaption();

}  // namespace tsl::shell
