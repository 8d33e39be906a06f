#include "cli/export_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/terminal_notices.h"
#include "common/names.h"
#include "common/notify.h"
#include "output/metafile_load.h"
#include "output/raster_export.h"
#include "output/vector_export.h"

namespace tsl {

namespace {
const char kUsage[] =
    "usage: tessella export FILE [--png|--bmp|--jpg|--svg|--pdf] [--width N] [--height N] [-o OUT]\n"
    "\n"
    "Writes an existing metafile (EMF, EMZ, WMF or placeable WMF, recognised by\n"
    "content) as an image.\n"
    "\n"
    "  --png, --bmp, --jpg   bitmap, 800 pixels wide unless --width is given; the\n"
    "                        height keeps the picture's proportions unless given\n"
    "  --svg, --pdf          vector picture at the metafile's own size, or --width\n"
    "                        points wide\n"
    "  -o OUT                output file (default: FILE with the format's extension)\n"
    "  --help                this text\n";

enum class OutFormat { None, Png, Bmp, Jpg, Svg, Pdf };

bool ParsePositive(const char* text, int32_t* out) {
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text, &end, 10);
  if (errno || end == text || *end || v <= 0 || v > kMaxExportSide) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

int Usage(const char* message) {
  if (message) std::fprintf(stderr, "tessella export: %s\n", message);
  std::fputs(kUsage, stderr);
  return 2;
}
}  // namespace

bool LoadMetafileBytes(const std::string& path, std::vector<uint8_t>* emf, std::string* error) {
  std::string why;
  if (LoadMetaFile(path, emf, &why)) return true;
  *error = "cannot open '" + path + "': " + why;
  return false;
}

int RunExportCommand(int argc, char** argv) { return RunExportCommand(argc, argv, DefaultSettings()); }

int RunExportCommand(int argc, char** argv, const SettingsSet& options) {
  OutFormat format = OutFormat::None;
  std::string input, output;
  int32_t width = 0, height = 0;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    OutFormat f = OutFormat::None;
    if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (!std::strcmp(a, "--png")) {
      f = OutFormat::Png;
    } else if (!std::strcmp(a, "--bmp")) {
      f = OutFormat::Bmp;
    } else if (!std::strcmp(a, "--jpg") || !std::strcmp(a, "--jpeg")) {
      f = OutFormat::Jpg;
    } else if (!std::strcmp(a, "--svg")) {
      f = OutFormat::Svg;
    } else if (!std::strcmp(a, "--pdf")) {
      f = OutFormat::Pdf;
    } else if (!std::strcmp(a, "--width") || !std::strcmp(a, "--height")) {
      if (i + 1 >= argc) return Usage(Format("%s needs a number", a).c_str());
      int32_t* target = a[2] == 'w' ? &width : &height;
      if (!ParsePositive(argv[++i], target))
        return Usage(Format("%s must be a whole number from 1 to %d", a, kMaxExportSide).c_str());
      continue;
    } else if (!std::strcmp(a, "-o") || !std::strcmp(a, "--output")) {
      if (i + 1 >= argc) return Usage("-o needs a file name");
      output = argv[++i];
      continue;
    } else if (a[0] == '-' && a[1]) {
      return Usage(Format("unknown option '%s'", a).c_str());
    } else {
      if (!input.empty()) return Usage("only one metafile can be exported at a time");
      input = a;
      continue;
    }
    if (format != OutFormat::None && format != f) return Usage("choose one output format");
    format = f;
  }
  if (input.empty()) return Usage("no metafile given");
  if (format == OutFormat::None) return Usage("no output format given (--png, --bmp, --jpg, --svg or --pdf)");

  static const char* kExt[] = {"", ".png", ".bmp", ".jpg", ".svg", ".pdf"};
  if (output.empty()) output = ReplaceExtension(input, kExt[static_cast<int>(format)]);

  std::vector<uint8_t> emf;
  std::string error;
  if (!LoadMetafileBytes(input, &emf, &error)) {
    std::fprintf(stderr, "tessella export: %s\n", error.c_str());
    return 1;
  }
  if (format == OutFormat::Svg || format == OutFormat::Pdf) {
    if (!EmfToVectorFile(emf.data(), emf.size(), format == OutFormat::Svg ? VectorFormat::Svg : VectorFormat::Pdf,
                         output, width, &error)) {
      std::fprintf(stderr, "tessella export: cannot write '%s': %s\n", output.c_str(), error.c_str());
      return 1;
    }
    return 0;
  }
  ExportRequest req;
  req.metafile = emf.data();
  req.metafileSize = emf.size();
  req.aspect = MetafileAspect(emf.data(), emf.size());
  if (width == 0 && height == 0) width = 800;
  if (width == 0) width = req.aspect > 0 ? static_cast<int32_t>(height * req.aspect) : height;
  if (height == 0) height = HeightForWidth(width, req.aspect);
  if (width <= 0 || height <= 0) {
    std::fprintf(stderr, "tessella export: the picture size %d x %d is empty\n", width, height);
    return 1;
  }
  req.width = width;
  req.height = height;
  req.format = format == OutFormat::Bmp ? kExportBMP : format == OutFormat::Png ? kExportPNG : kExportJPEG;
  // The writers tell the user themselves when they fail.
  TerminalNotices notices;
  int ok = format == OutFormat::Bmp   ? EmfToDibFile(notices, req, options, output)
           : format == OutFormat::Png ? EmfToPngFile(notices, req, options, output)
                                   : EmfToJpgFile(notices, req, options, output);
  return ok ? 0 : 1;
}

}  // namespace tsl
