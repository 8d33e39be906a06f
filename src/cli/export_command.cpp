#include "cli/export_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/file_identity.h"
#include "cli/inputs.h"
#include "cli/interrupts.h"
#include "cli/output_guard.h"
#include "cli/terminal_notices.h"
#include "cli/streams.h"
#include "common/gdi/emf_reader.h"
#include "common/names.h"
#include "common/notify.h"
#include "output/metafile_load.h"
#include "output/metafile_load_stream.h"
#include "output/raster_export.h"
#include "output/vector_export.h"

namespace tsl {

namespace {
const char kUsage[] =
    "usage: tessella export FILE|- FORMAT... [--width N] [--height N] [--dpi N] [-o OUT|-]\n"
    "\n"
    "Writes an existing metafile (EMF, EMZ, WMF or placeable WMF, recognised by\n"
    "content) as images: one for each format named.\n"
    "\n"
    "  --png, --bmp, --jpg   bitmap, 800 pixels wide unless --width, --height or\n"
    "                        --dpi says otherwise; the height keeps the picture's\n"
    "                        proportions unless given\n"
    "  --svg, --pdf          vector picture at the metafile's own size, or --width\n"
    "                        points wide\n"
    "  --dpi N               bitmaps at N dots per inch of the picture's own size\n"
    "  -o OUT                the output file when one format is named ('-':\n"
    "                        standard output); else FILE with each format's\n"
    "                        extension\n"
    "  --help                this text\n"
    "\n"
    "A '-' for FILE reads the metafile from standard input (then -o is needed).\n"
    "Exit status: 0 written, 1 failed, 2 usage error.\n";

enum Kind { kPng, kBmp, kJpg, kSvg, kPdf, kFormats };
const char* const kOption[kFormats] = {"--png", "--bmp", "--jpg", "--svg", "--pdf"};
const char* const kExt[kFormats] = {".png", ".bmp", ".jpg", ".svg", ".pdf"};

bool ParsePositive(const char* text, int32_t high, int32_t* out) {
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text, &end, 10);
  if (errno || end == text || *end || v <= 0 || v > high) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

int Usage(const std::string& message) {
  if (!message.empty()) std::fprintf(stderr, "tessella export: %s\n", message.c_str());
  std::fputs(kUsage, stderr);
  return 2;
}

int Fail(const std::string& file, const std::string& why) {
  std::fprintf(stderr, "tessella: %s: error: %s\n", file.c_str(), why.c_str());
  return 1;
}

// The bitmap size: --width and --height as given, --dpi from the frame,
// 800 wide by default; the missing side keeps the proportions.
bool RasterSize(const gdi::EmfHeader& header, int32_t width, int32_t height, int32_t dpi, ExportRequest* req,
                std::string* why) {
  req->aspect = FrameAspect(header.rclFrame);
  if (dpi) {
    const gdi::Rect& f = header.rclFrame;
    double inches = (static_cast<double>(f.right) - f.left) / 2540.0;
    double w = inches * dpi;
    if (w >= 1 && w <= kMaxExportSide) width = static_cast<int32_t>(w + 0.5);
    else if (w > kMaxExportSide) width = kMaxExportSide + 1;
  }
  if (width == 0 && height == 0) width = 800;
  if (width == 0) width = req->aspect > 0 ? static_cast<int32_t>(height * req->aspect) : height;
  if (height == 0) height = HeightForWidth(width, req->aspect);
  if (width <= 0 || height <= 0) {
    *why = Format("the picture size %d x %d is empty", width, height);
    return false;
  }
  req->width = width;
  req->height = height;
  return true;
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
  bool wanted[kFormats] = {};
  int formats = 0;
  std::string input, output;
  int32_t width = 0, height = 0, dpi = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    int f = -1;
    for (int k = 0; k < kFormats; ++k)
      if (a == kOption[k]) f = k;
    if (a == "--jpeg") f = kJpg;
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (f >= 0) {
      formats += wanted[f] ? 0 : 1;
      wanted[f] = true;
    } else if (a == "--width" || a == "--height" || a == "--dpi") {
      if (i + 1 >= argc) return Usage(a + " needs a number");
      int32_t* target = a == "--width" ? &width : a == "--height" ? &height : &dpi;
      int32_t high = a == "--dpi" ? 100000 : kMaxExportSide;
      if (!ParsePositive(argv[++i], high, target))
        return Usage(a + " must be a whole number from 1 to " + std::to_string(high));
    } else if (a == "-o" || a == "--output") {
      if (i + 1 >= argc) return Usage("-o needs a file name");
      output = argv[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage("unknown option '" + a + "'");
    } else {
      if (!input.empty()) return Usage("only one metafile can be exported at a time");
      input = a;
    }
  }
  if (input.empty()) return Usage("no metafile given");
  if (!formats) return Usage("no output format given (--png, --bmp, --jpg, --svg or --pdf)");
  if (dpi && (width || height)) return Usage("--dpi gives the size; leave out --width and --height");
  if (!output.empty() && formats > 1) return Usage("-o names one output; with several formats each is named after FILE");
  if (input == "-" && output.empty()) return Usage("a metafile read from standard input needs -o OUT");

  CatchInterrupts();
  ScratchFolder scratch;
  std::string why, source = input;
  if (input == "-") {
    source = scratch.NewName("stdin", &why);
    if (source.empty() || !SpoolInput("-", source, &why)) return Fail("-", why);
  }

  // Every output is planned first: none may be the input.
  struct Out {
    int format;
    std::string name, path;
    bool stream;
  };
  std::vector<Out> outs;
  const FileIdentity in = IdentifyFile(source);
  for (int f = 0; f < kFormats; ++f) {
    if (!wanted[f]) continue;
    Out o{f, output.empty() ? ReplaceExtension(input, kExt[f]) : output, std::string(), false};
    o.stream = o.name == "-" || ReachesDescriptor(o.name);
    if (!o.stream) {
      switch (InspectTarget(o.name, &o.path)) {
        case TargetKind::Folder: return Fail(input, "'" + o.name + "' is a folder");
        case TargetKind::Dangling: return Fail(input, "'" + o.name + "' is a link to nothing; it is left alone");
        case TargetKind::Stream: o.stream = true; break;
        default: break;
      }
      if (!o.stream && input != "-" && IdentifyFile(o.path) == in)
        return Fail(input, "'" + o.name + "' is the metafile itself; it is not overwritten");
    }
    if (o.stream) {
      o.path = scratch.NewName(std::string("export") + kExt[f], &why);
      if (o.path.empty()) return Fail(input, why);
    }
    outs.push_back(o);
  }

  // Every picture is drawn from the file as it is read.
  MetafileStream header;
  if (!header.Open(source, &why)) return Fail(input, "cannot open '" + source + "': " + why);
  // Pictures written before a failure or an interrupt are taken back.
  OutputGuard guard;
  for (const Out& o : outs)
    if (!o.stream && !guard.Keep(o.path, false, &why)) return Fail(input, why);
  TerminalNotices notices(input);
  int status = 0;
  for (const Out& o : outs) {
    if (Interrupted()) break;
    bool ok;
    if (o.format == kSvg || o.format == kPdf) {
      ok = EmfToVectorFile(source, o.format == kSvg ? VectorFormat::Svg : VectorFormat::Pdf, o.path, width, &why,
                           InterruptFlag());
      if (!ok && !Interrupted()) Fail(input, "cannot write '" + o.name + "': " + why);
    } else {
      ExportRequest req;
      req.metafilePath = source;
      req.cancel = InterruptFlag();
      req.format = o.format == kBmp ? kExportBMP : o.format == kPng ? kExportPNG : kExportJPEG;
      if (!RasterSize(header.Header(), width, height, dpi, &req, &why)) return Fail(input, why);
      // The writers tell the user themselves when they fail.
      ok = o.format == kBmp   ? EmfToDibFile(notices, req, options, o.path)
           : o.format == kPng ? EmfToPngFile(notices, req, options, o.path)
                              : EmfToJpgFile(notices, req, options, o.path);
    }
    if (ok && o.stream && !CopyFileToStream(o.path, StandardStreamName(o.name), &why)) ok = !Fail(input, why);
    if (!ok) status = 1;
  }
  if (Interrupted() || status) guard.Restore();
  else guard.Commit();
  if (Interrupted()) {
    scratch.Remove();
    std::fprintf(stderr, "tessella: interrupted\n");
    DieOfInterrupt();
  }
  return status;
}

}  // namespace tsl
