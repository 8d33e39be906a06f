// The program as the opener of plot files, per user, under
// HKEY_CURRENT_USER\Software\Classes.
#pragma once
#include <cstddef>
#include <string>

namespace tsl::shell {

// The description of the program that opens `extension` (".plt"); empty
// when none does.
std::string GetAssociation(const std::string& extension, size_t capacity = 128);
// Writes the extension's, the identifier's, its icon's and its open
// command's default values; each failure is told and the next step still
// tried. True when all four were written.
bool Associate(const std::string& extension, const std::string& programId, const std::string& programPath);
// Removes the extension's key (the identifier's keys stay for the others).
bool Unassociate(const std::string& extension);

}  // namespace tsl::shell
