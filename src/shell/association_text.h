// What the file associations write and what the Preferences dialog makes of
// them, apart from the registry.
#pragma once
#include <string>

namespace tsl::shell {

// The program identifier the associations point at.
constexpr const char* kProgramId = "Tessella";

// The identifier's description: string 40050's format ("%s File") filled
// with the identifier.
std::string FileTypeDescription(const std::string& format, const std::string& programId);
// "path,0" and "\"path\" \"%1\"".
std::string IconValue(const std::string& programPath);
std::string OpenCommand(const std::string& programPath);

// An extension counts as ours when its description begins with "Tessella".
bool IsOurDescription(const std::string& description);

// What OK does for one extension's check box.
enum class AssociationStep { None, Associate, Unassociate };
AssociationStep StepFor(bool checked, bool checkedAtOpen);

}  // namespace tsl::shell
