#include "common/names.h"

#include <strings.h>

#include "resources/string_ids.h"

namespace tsl {

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t NameStart(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  if (sep != std::string::npos) return sep + 1;
  size_t colon = path.rfind(':');
  return colon != std::string::npos ? colon + 1 : 0;
}

// The position of the extension's dot, or npos when the name has none.
size_t ExtensionDot(const std::string& path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < NameStart(path)) return std::string::npos;
  return dot;
}
}  // namespace

std::string ShortName(const std::string& path) { return path.substr(NameStart(path)); }

std::string ReplaceExtension(const std::string& path, const char* ext) {
  size_t dot = ExtensionDot(path);
  return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}

bool MakeNames(Notices& notices, const std::string& plotFile, const char* folder, OutputNames* names) {
  const char* trim = " \t\"";
  size_t b = plotFile.find_first_not_of(trim);
  size_t e = plotFile.find_last_not_of(trim);
  std::string plot = b == std::string::npos ? std::string() : plotFile.substr(b, e - b + 1);

  size_t dot = ExtensionDot(plot);
  if (dot != std::string::npos) {
    std::string ext = plot.substr(dot);
    for (const char* bad : {".EMF", ".EMZ", ".LOG", ".BMP"}) {
      if (strcasecmp(ext.c_str(), bad) == 0) {
        notices.Tell(MakeNotice(IDS_BAD_PLOT_EXTENSION, {plot}));
        return false;
      }
    }
  }

  std::string base = plot;
  if (folder && *folder) {
    std::string dir = folder;
    if (!IsSeparator(dir.back())) dir += '/';
    // Long names are kept whole: cutting them would put two plots onto
    // one metafile.
    base = dir + ShortName(plot);
  }
  names->plot = plot;
  names->metafile = ReplaceExtension(base, ".emf");
  names->log = ReplaceExtension(names->metafile, ".log");
  names->bitmap = ReplaceExtension(names->metafile, ".bmp");
  return true;
}

}  // namespace tsl
