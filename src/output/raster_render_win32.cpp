// EmfToMemoryDIB through GDI: the metafile is played into an 8-bit DIB
// section whose colour table is the export palette, so GDI itself maps
// every colour to its nearest pen.
#include "output/raster_export.h"

#include "common/gdi/emf_reader.h"
#include "output/emz.h"
#include "output/metafile_kind.h"
#include "output/metafile_load.h"
#include "output/metafile_load_stream.h"
#include "platform/windows_lean.h"

#include <cstdio>
#include <cstring>

namespace tsl {

namespace {
// Each GDI object of the rendering with its owner.
struct Gdi {
  HDC dc = nullptr;
  HBITMAP dib = nullptr;
  HGDIOBJ old = nullptr;
  HENHMETAFILE emf = nullptr;
  ~Gdi() {
    if (old) SelectObject(dc, old);
    if (dib) DeleteObject(dib);
    if (dc) DeleteDC(dc);
    if (emf) DeleteEnhMetaFile(emf);
  }
};
// A metafile file: an EMF GDI opens (and maps) itself, once it was found
// sound; other kinds through the loader.
HENHMETAFILE OpenFile(const std::string& path, std::string* why) {
  uint8_t head[64] = {};
  size_t n = 0;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
  }
  if (RecogniseMetafile(head, n) == MetafileKind::Emf && !IsGzip(head, n)) {
    // Checked as it is read, in the memory of one record.
    MetafileStream stream;
    if (!stream.Open(path, why)) return nullptr;
    gdi::EmfRecord r;
    gdi::EmfStreamReader::Step step;
    while ((step = stream.Reader().Next(&r, why)) == gdi::EmfStreamReader::Step::kRecord) {
    }
    if (step != gdi::EmfStreamReader::Step::kEnd) return nullptr;
    return GetEnhMetaFileA(path.c_str());
  }
  std::vector<uint8_t> bytes;
  if (!LoadMetaFile(path, &bytes, why)) return nullptr;
  return SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
}

}  // namespace

bool EmfToMemoryDIB(const ExportRequest& req, const SettingsSet& options, MemoryDib* dib, std::string* error) {
  if (!ExportSizeFits(req, error)) return false;
  MemoryDib out;
  out.width = req.width;
  out.height = req.height;
  out.stride = (static_cast<uint32_t>(req.width) + 3u) & ~3u;
  out.pelsPerMeter = options.Has(HighResolution) ? 40000 : 4000;
  MakeExportPalette(options, out.palette);
  std::vector<uint8_t> info = out.BitmapInfo();

  Gdi g;
  std::string why;
  if (!req.metafilePath.empty()) {
    g.emf = OpenFile(req.metafilePath, &why);
  } else if (req.metafile) {
    g.emf = SetEnhMetaFileBits(static_cast<UINT>(req.metafileSize), req.metafile);
  }
  if (!g.emf) {
    *error = "The metafile cannot be read" + (why.empty() ? std::string(".") : ": " + why);
    return false;
  }
  HDC screen = GetDC(nullptr);
  g.dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  void* bits = nullptr;
  if (g.dc)
    g.dib = CreateDIBSection(g.dc, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits,
                             nullptr, 0);
  if (!g.dib || !bits) {
    *error = "Not enough memory for the picture.";
    return false;
  }
  g.old = SelectObject(g.dc, g.dib);
  RECT r{0, 0, req.width, req.height};
  FillRect(g.dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PlayEnhMetaFile(g.dc, g.emf, &r);
  GdiFlush();
  out.bits.assign(static_cast<const uint8_t*>(bits),
                  static_cast<const uint8_t*>(bits) + static_cast<size_t>(out.stride) * out.height);
  *dib = std::move(out);
  return true;
}

}  // namespace tsl
