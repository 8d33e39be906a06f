#include "shell/dialog_text.h"

#include "resources/string_ids.h"

#include "common/notify.h"
#include "common/strings.h"
#include "interpreter/statistics.h"

namespace tsl::shell {

std::string DialogFilter(const std::string& tableText) {
  std::string f = tableText;
  if (f.empty()) return f;
  char sep = f.back();
  for (char& c : f)
    if (c == sep) c = '\0';
  // The dialog reads up to two NULs in a row, whatever the table held.
  f.append(2, '\0');
  return f;
}

bool IsSaveDialog(unsigned id) {
  return id == IDS_SAVE_METAFILE_TITLE || id == IDS_EXPORT_BMP_TITLE || id == IDS_SAVE_EMZ_TITLE ||
         id == IDS_EXPORT_SETTINGS_TITLE || id == IDS_EXPORT_PNG_TITLE || id == IDS_EXPORT_JPEG_TITLE;
}

std::string EmzSuggestion(const std::string& metafile) {
  std::string s = metafile;
  if (!s.empty() && (s.back() == 'f' || s.back() == 'F')) s.back() = 'z';
  return s;
}

std::string ShowLogFailureText(const std::string& logPath, unsigned shellCode) {
  std::string reason;
  if (!LoadString(IDS_SHELLERR_BASE + shellCode, &reason)) reason = "An unexpected error has occurred.";
  return "Cannot view " + logPath + ":\n\n" + reason;
}

std::string SaveCompleteText(const std::string& fullPath, uint64_t size) {
  size_t sep = fullPath.find_last_of("\\/");
  std::string folder = sep == std::string::npos ? std::string() : fullPath.substr(0, sep);
  std::string name = sep == std::string::npos ? fullPath : fullPath.substr(sep + 1);
  std::string fmt;
  if (!LoadString(IDS_SAVED_TO_FOLDER, &fmt)) fmt = "File '%s' (%s)\nhas been saved to folder\n%s.";
  std::string text = Format(fmt.c_str(), name.c_str(), SizeText(size).c_str(), folder.c_str());
  if (text.size() > 511) text.resize(511);
  return text;
}

std::string SaveCompleteCaption() {
  std::string caption;
  if (!LoadString(IDS_SAVE_COMPLETE_CAPTION, &caption)) caption = "Save As... Complete";
  return caption;
}

}  // namespace tsl::shell
