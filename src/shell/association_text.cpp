#include "shell/association_text.h"

#include "platform/notices.h"

namespace tsl::shell {

std::string FileTypeDescription(const std::string& format, const std::string& programId) {
  return FillFormat(format, {programId});
}

std::string IconValue(const std::string& programPath) { return programPath + ",0"; }

// Quoted: with blanks in an unquoted path the shell would try "C:\Program"
// first.
std::string OpenCommand(const std::string& programPath) { return "\"" + programPath + "\" \"%1\""; }

bool IsOurDescription(const std::string& description) { return description.compare(0, 8, "Tessella") == 0; }

AssociationStep StepFor(bool checked, bool checkedAtOpen) {
  if (checked) return AssociationStep::Associate;
  // A box that was clear and still is leaves the extension to whoever has it.
  return checkedAtOpen ? AssociationStep::Unassociate : AssociationStep::None;
}

}  // namespace tsl::shell
