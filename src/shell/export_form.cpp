#include "shell/export_form.h"

#include <cctype>
#include <cmath>

#include "interpreter/statistics.h"
#include "output/raster_export.h"

namespace tsl::shell {

std::string RatioText(float aspect) { return Gcvt(aspect, 5); }

int32_t WidthForHeight(int32_t height, float aspect) {
  if (!(aspect > 0) || !std::isfinite(aspect)) return height;
  double w = std::trunc(height * static_cast<double>(aspect));
  return w > kMaxExportSide * 4.0 ? kMaxExportSide * 4 : static_cast<int32_t>(w);
}

int32_t ReadPixels(const std::string& text) {
  int32_t n = 0;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  for (int digits = 0; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && digits < 9;
       ++i, ++digits)
    n = n * 10 + (text[i] - '0');
  return n;
}

}  // namespace tsl::shell
