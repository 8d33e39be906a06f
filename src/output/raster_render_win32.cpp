// EmfToMemoryDIB through GDI: the metafile is played into an 8-bit DIB
// section whose colour table is the export palette, so GDI itself maps
// every colour to its nearest pen.
#include "output/raster_export.h"

#include "platform/windows_lean.h"

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
  g.emf = req.metafile ? SetEnhMetaFileBits(static_cast<UINT>(req.metafileSize), req.metafile) : nullptr;
  if (!g.emf) {
    *error = "The metafile cannot be read.";
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
