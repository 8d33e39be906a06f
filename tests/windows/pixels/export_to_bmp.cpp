// The Wine half of the export comparison: each metafile exported as the
// Windows program exports it (EmfToDibFile, played by GDI into the pens'
// 8-bit palette), WIDTH pixels wide with the drawing's proportions.
//
//   export_to_bmp.exe WIDTH OUT_DIR FILE.emf ...
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "output/raster_export.h"
#include "platform/notices.h"
#include "settings/settings_set.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: export_to_bmp WIDTH OUT_DIR FILE.emf ...\n");
    return 2;
  }
  int width = std::atoi(argv[1]);
  std::string out = argv[2];
  int failed = 0;
  for (int i = 3; i < argc; ++i) {
    std::string path = argv[i];
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> emf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t slash = path.find_last_of("\\/"), dot = path.rfind('.');
    std::string stem = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (dot != std::string::npos && dot > slash + 1) stem = path.substr(slash + 1, dot - slash - 1);
    tsl::ExportRequest req;
    req.metafile = emf.data();
    req.metafileSize = emf.size();
    req.width = width;
    req.aspect = tsl::MetafileAspect(emf.data(), emf.size());
    req.height = tsl::HeightForWidth(width, req.aspect);
    if (!tsl::EmfToDibFile(tsl::NoOneToTell(), req, tsl::DefaultSettings(), out + "\\" + stem + ".bmp")) {
      std::fprintf(stderr, "export_to_bmp: %s could not be exported\n", path.c_str());
      ++failed;
    }
  }
  return failed ? 1 : 0;
}
