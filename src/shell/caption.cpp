#include "shell/caption.h"

#include "common/notify.h"
#include "interpreter/tessella.h"

namespace tsl::shell {

std::string CaptionText(const std::string& source, unsigned zoom) {
  std::string title = source.empty() ? std::string(kBanner) : Format("%s - %s", source.c_str(), "Tessella");
  if (zoom != 0) title += zoom >= 1000 ? Format(" [%u:1]", zoom / 1000) : Format(" [1:%u]", 1000 / zoom);
  if (title.size() > 255) title.resize(255);
  return title;
}

}  // namespace tsl::shell
