// Plays metafiles through GDI into 24-bit DIBs and writes them as BMP files,
// for the comparison with EmfRenderer on Linux (pixels_test.sh).
//
//   play_to_bmp WIDTH OUTDIR FILE.emf...
//
// Each picture is WIDTH pixels wide and as high as its frame's proportions
// ask; it is played on white with PlayEnhMetaFile over the whole bitmap,
// as the export does. GDI draws lines and fills without anti-aliasing;
// Wine smooths TrueType text all the same (see pixel_compare_rules.h).
#include "platform/windows_lean.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "bmp24.h"

namespace {

struct MetaFileDeleter {
  void operator()(HENHMETAFILE h) const { DeleteEnhMetaFile(h); }
};
using MetaFile = std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, MetaFileDeleter>;
struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
struct ObjectDeleter {
  void operator()(HGDIOBJ o) const { DeleteObject(o); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter>;

// Keeps a bitmap selected for as long as it lives.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

std::string Stem(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool Play(const std::string& path, int width, const std::string& outDir) {
  MetaFile emf(GetEnhMetaFileA(path.c_str()));
  if (!emf) {
    std::fprintf(stderr, "play_to_bmp: GetEnhMetaFileA refused '%s'\n", path.c_str());
    return false;
  }
  ENHMETAHEADER header{};
  if (!GetEnhMetaFileHeader(emf.get(), sizeof header, &header)) {
    std::fprintf(stderr, "play_to_bmp: no header in '%s'\n", path.c_str());
    return false;
  }
  double fw = static_cast<double>(header.rclFrame.right) - header.rclFrame.left;
  double fh = static_cast<double>(header.rclFrame.bottom) - header.rclFrame.top;
  if (!(fw > 0 && fh > 0)) {
    std::fprintf(stderr, "play_to_bmp: '%s' has an empty frame\n", path.c_str());
    return false;
  }
  int height = static_cast<int>(std::lround(width * fh / fw));
  if (height < 1 || height > 8192) {
    std::fprintf(stderr, "play_to_bmp: '%s' would be %d pixels high\n", path.c_str(), height);
    return false;
  }

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;  // bottom-up, as the BMP file keeps it
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  MemoryDc dc(CreateCompatibleDC(nullptr));
  void* bits = nullptr;
  Bitmap dib(dc ? CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr);
  if (!dib || !bits) {
    std::fprintf(stderr, "play_to_bmp: no %d x %d DIB for '%s'\n", width, height, path.c_str());
    return false;
  }
  {
    Selection selected(dc.get(), dib.get());
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!PlayEnhMetaFile(dc.get(), emf.get(), &all)) {
      std::fprintf(stderr, "play_to_bmp: PlayEnhMetaFile failed on '%s'\n", path.c_str());
      return false;
    }
    GdiFlush();
  }

  std::vector<uint8_t> bytes = tsl::pixels::BmpHeader(width, height);
  const uint8_t* p = static_cast<const uint8_t*>(bits);
  bytes.insert(bytes.end(), p, p + tsl::pixels::BmpStride(width) * static_cast<size_t>(height));
  std::string out = outDir + "\\" + Stem(path) + ".bmp";
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(out.c_str(), "wb"), std::fclose);
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
    std::fprintf(stderr, "play_to_bmp: cannot write '%s'\n", out.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: play_to_bmp WIDTH OUTDIR FILE.emf...\n");
    return 2;
  }
  char* end = nullptr;
  long width = std::strtol(argv[1], &end, 10);
  if (*end || width < 1 || width > 8192) {
    std::fprintf(stderr, "play_to_bmp: the width must be 1 to 8192 pixels, not '%s'\n", argv[1]);
    return 2;
  }
  int failed = 0;
  for (int i = 3; i < argc; ++i) failed += !Play(argv[i], static_cast<int>(width), argv[2]);
  return failed ? 1 : 0;
}
