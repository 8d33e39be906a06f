// The Linux half of the pixel comparison (pixels_test.sh): renders each
// metafile with EmfRenderer at the size of the picture GDI made of it under
// Wine, compares the two and prints one line per file.
//
//   pixel_compare GDI_DIR OUT_DIR [--text] FILE.emf ...
//
// --text compares the next file under the looser rule for TrueType text.
// --exports: GDI_DIR holds the Windows program's BMP exports (8 bits, the
// pens' palette), held against the Linux export of the same metafiles.
// Beside each rendering OUT_DIR receives <name>.cairo.bmp and <name>.diff.bmp
// (see Comparison::marks). Every comparison must also reject two wrong
// pictures made from GDI's: moved by 3 pixels, and with its densest square
// blanked; a tolerance that would let either pass fails the file too.
// Exit status 0 when every file passes, 1 otherwise, 2 for a usage error.
#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bmp24.h"
#include "common/gdi/emf_reader.h"
#include "output/emf_renderer.h"
#include "output/metafile_load.h"
#include "output/raster_export.h"
#include "settings/settings_set.h"
#include "pixel_compare_rules.h"
#include "pixel_diff.h"

namespace {

using tsl::pixels::Image;

std::string Stem(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The metafile through EmfRenderer as the raster export draws it (no
// anti-aliasing), but kept in 24 bits rather than the pens' palette.
bool Render(const std::string& path, int width, int height, Image* out, std::string* error) {
  std::vector<uint8_t> emf;
  if (!tsl::LoadMetaFile(path, &emf, error)) return false;
  gdi::EmfReader reader;
  if (!reader.Parse(emf.data(), emf.size(), error)) return false;
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height), cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    *error = "no cairo surface";
    return false;
  }
  {
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(surface.get()), cairo_destroy);
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    tsl::RenderOptions options;
    options.antialias = false;
    tsl::PlayEnhMetaFile(cr.get(), reader, tsl::DestRect{0, 0, double(width), double(height)}, options);
  }
  cairo_surface_flush(surface.get());
  *out = Image(width, height);
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out->At(x, y) = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride)[x] & 0xFFFFFF;
  return true;
}

// The metafile as the Linux raster export renders it (cairo, then the
// default pens' palette).
bool RenderExport(const std::string& path, int width, int height, Image* out, std::string* error) {
  std::vector<uint8_t> emf;
  if (!tsl::LoadMetaFile(path, &emf, error)) return false;
  tsl::ExportRequest req;
  req.metafile = emf.data();
  req.metafileSize = emf.size();
  req.width = width;
  req.height = height;
  tsl::MemoryDib dib;
  if (!tsl::EmfToMemoryDIB(req, tsl::DefaultSettings(), &dib, error)) return false;
  *out = Image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* q = dib.palette[dib.At(x, y)];
      out->At(x, y) = static_cast<uint32_t>(q[2]) << 16 | q[1] << 8 | q[0];
    }
  return true;
}

bool gExports = false;  // --exports: GDI's exports against the Linux export

bool CompareOne(const std::string& emf, bool text, const std::string& gdiDir, const std::string& outDir) {
  const std::string name = Stem(emf);
  const tsl::pixels::Tolerance tolerance = text ? tsl::pixels::TextTolerance() : tsl::pixels::ShapeTolerance();
  std::string error;
  Image gdi, cairo;
  if (!tsl::pixels::ReadBmp(gdiDir + "/" + name + ".bmp", &gdi, &error) ||
      !(gExports ? RenderExport : Render)(emf, gdi.width, gdi.height, &cairo, &error)) {
    std::printf("%-18s %s\n", name.c_str(), error.c_str());
    return false;
  }
  tsl::pixels::Comparison c = tsl::pixels::Compare(gdi, cairo, tolerance);
  // The rule must be able to fail on this very picture.
  bool shiftRejected = !tsl::pixels::Compare(tsl::pixels::Shifted(gdi, 3, 3), cairo, tolerance).Passes(tolerance);
  bool missingRejected =
      !tsl::pixels::Compare(tsl::pixels::WithoutDensestSquare(gdi, 24), cairo, tolerance).Passes(tolerance);
  bool pass = c.Passes(tolerance) && shiftRejected && missingRejected;
  std::printf("%-18s %4dx%-4d %8ld %9ld %6.2f%% %7ld  %-18s %-8s %-8s %s\n", name.c_str(), gdi.width, gdi.height,
              c.compared, c.differing, c.PerMille() / 10, c.largestCluster, tolerance.Describe().c_str(),
              shiftRejected ? "rejected" : "PASSED!", missingRejected ? "rejected" : "PASSED!", pass ? "pass" : "FAIL");
  if (!tsl::pixels::WriteBmp(outDir + "/" + name + ".cairo.bmp", cairo, &error) ||
      !tsl::pixels::WriteBmp(outDir + "/" + name + ".diff.bmp", c.marks, &error))
    std::printf("%-18s %s\n", "", error.c_str());
  return pass;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: pixel_compare GDI_DIR OUT_DIR [--exports] [--text] FILE.emf ...\n");
    return 2;
  }
  std::printf("%-18s %-9s %8s %9s %7s %7s  %-18s %-8s %-8s %s\n", "file", "size", "compared", "differing", "share",
              "cluster", "tolerance", "shift 3", "missing", "result");
  int failed = 0, files = 0;
  bool text = false;
  for (int i = 3; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--exports")) {
      gExports = true;
      continue;
    }
    if (!std::strcmp(argv[i], "--text")) {
      text = true;
      continue;
    }
    ++files;
    failed += !CompareOne(argv[i], text, argv[1], argv[2]);
    text = false;
  }
  if (!files) {
    std::fprintf(stderr, "pixel_compare: no metafiles given\n");
    return 2;
  }
  std::printf("pixels: %d of %d pictures agree with GDI; pictures in %s\n", files - failed, files, argv[2]);
  return failed ? 1 : 0;
}
