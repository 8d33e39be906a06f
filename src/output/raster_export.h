// Export of a metafile as a bitmap: rendered into an 8-bit palette image
// (white, then the pens 1..255 of the settings set) and written as BMP, PNG
// or JPEG.
#pragma once
#include <cstddef>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/gdi/types.h"
#include "platform/notices.h"
#include "settings/settings_set.h"

namespace tsl {

// What a picture may cost: cairo's side limit, a bound on its pixels (the
// memory it takes) and on the time it is drawn in, whatever the metafile.
constexpr int32_t kMaxExportSide = 32767;
constexpr uint64_t kMaxExportPixels = 64ull * 1024 * 1024;
constexpr double kMaxRenderSeconds = 600;

// What the Export As dialog fills in and the writers read.
struct ExportRequest {
  const uint8_t* metafile = nullptr;  // EMF bytes
  size_t metafileSize = 0;
  // Or the metafile's file (EMF, EMZ, WMF), read while it is drawn, in the
  // memory of one record.
  std::string metafilePath;
  int32_t width = 0;   // pixels
  int32_t height = 0;  // pixels
  float aspect = 0;    // width / height of the metafile's frame
  int32_t format = 0;  // 0 = BMP, 1 = PNG, 2 = JPEG
  // When set and raised, rendering stops and nothing is written (and
  // nothing is said: whoever raised it knows why).
  const std::atomic<bool>* cancel = nullptr;
  // Seconds the drawing may take before it is given up (0: no limit).
  double timeLimit = kMaxRenderSeconds;
  // Threads drawing the picture, each its own stripes of rows (0: as many
  // as suit the picture and the machine), and the stripes' height (0: the
  // usual). The picture is the same whatever they are.
  int threads = 0;
  int stripeRows = 0;
};

enum ExportFormat : int32_t { kExportBMP = 0, kExportPNG = 1, kExportJPEG = 2 };

// The bottom-up 8-bit bitmap with its 256-colour palette.
struct MemoryDib {
  int32_t width = 0, height = 0;
  uint32_t stride = 0;           // bytes per row, a multiple of 4
  int32_t pelsPerMeter = 4000;   // 40000 with HighResolution
  uint8_t palette[256][4] = {};  // RGBQUAD: blue, green, red, 0
  std::vector<uint8_t> bits;     // stride * height bytes, bottom row first

  uint32_t SizeImage() const { return stride * static_cast<uint32_t>(height); }
  // BITMAPINFOHEADER and palette: 40 + 1024 bytes.
  std::vector<uint8_t> BitmapInfo() const;
  // The palette index of the pixel at column x of row y (0 = top).
  uint8_t At(int32_t x, int32_t y) const { return bits[static_cast<size_t>(height - 1 - y) * stride + x]; }
};

// The palette of `options`: entry 0 white, entry i the colour of pen i.
void MakeExportPalette(const SettingsSet& options, uint8_t palette[256][4]);

// Renders the request's metafile stretched to width x height on white
// (through cairo here; the Windows program plays it through GDI).
// False with a reason for a metafile that cannot be read or a size that is
// empty or too large.
bool EmfToMemoryDIB(const ExportRequest& req, const SettingsSet& options, MemoryDib* dib, std::string* error);
// False, with the reason, for a picture size that is empty or too large.
bool ExportSizeFits(const ExportRequest& req, std::string* error);

// The file writers, on an open file. False on a write or library error;
// libpng's and libjpeg's messages go into *error.
bool WriteDib(const MemoryDib& dib, FILE* file);
bool WritePng(const MemoryDib& dib, FILE* file, const std::string& title, std::string* error);
bool WriteJpeg(const MemoryDib& dib, FILE* file, std::string* error);

// Render and write; 1 on success, 0 after telling the user
// (IDS_WRITE_BITMAP_FAILED for BMP, IDS_EXPORT_FAILED for PNG and JPEG).
// `options` is the active settings set.
int EmfToDibFile(Notices& notices, const ExportRequest& req, const SettingsSet& options, const std::string& path);
int EmfToPngFile(Notices& notices, const ExportRequest& req, const SettingsSet& options, const std::string& path);
int EmfToJpgFile(Notices& notices, const ExportRequest& req, const SettingsSet& options, const std::string& path);

// The height that keeps the aspect, as the dialog computes it.
int32_t HeightForWidth(int32_t width, float aspect);
// width / height of the metafile's frame (0 when it has none).
float MetafileAspect(const uint8_t* emf, size_t size);
float FrameAspect(const gdi::Rect& frame);

}  // namespace tsl
