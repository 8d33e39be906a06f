// Opening metafiles that were not just converted: EMF, placeable WMF, plain
// WMF (recognised by content, not by name) and, on top, gzip-compressed
// EMZ. The result is always an enhanced metafile in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "output/wmf_to_emf.h"

namespace tsl {

// What an EMF header can count (nBytes is 32 bits): no metafile read whole
// is longer. Drawing reads metafiles record by record (MetafileStream), so
// their size costs no memory there; the picture and the time are bounded
// instead (raster_export.h).
constexpr uint64_t kMaxEmfBytes = 0xFFFFFFFFu;

// What a compressed metafile may grow to when it is inflated whole: past
// 256 MiB only in proportion to its compressed size, so that a small
// hostile file cannot claim gigabytes.
constexpr uint64_t kGzipFloor = 256u * 1024 * 1024;
constexpr uint64_t kMaxGzipRatio = 64;
size_t GunzipLimit(size_t compressed);

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;

// A file's bytes while it is examined: read into `view` on POSIX, a mapped
// view of the file on Windows (`address`, `length`, kept alive by `os`,
// which holds the file, the mapping and the view). Data()/Size() serve both.
struct FileMapping {
  std::vector<uint8_t> view;
  std::shared_ptr<void> os;
  const uint8_t* address = nullptr;
  size_t length = 0;

  const uint8_t* Data() const { return address ? address : view.data(); }
  size_t Size() const { return address ? length : view.size(); }
};

// Reads (POSIX) or maps (Windows) the whole file. False, with nothing kept, for a file that cannot be
// opened or read, an empty one, or one larger than an EMF can be or the
// address space can hold (*error says which).
bool MapFileReadOnly(const std::string& path, FileMapping* mapping, std::string* error = nullptr);
bool CloseFileMapping(FileMapping* mapping);

// Round(a * b / c) as Windows' MulDiv; -1 when c is 0 or the result does
// not fit.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// The picture of a placeable file's header: size in 0.01 mm from the
// bounding box and the units per inch. False for data shorter than the
// 22-byte header or a header with 0 units per inch.
bool PlaceablePicture(const uint8_t* data, size_t size, MetafilePict* pict);

// Converts a placeable file held in memory.
bool LoadPlaceableMetaFile(const uint8_t* data, size_t size, std::vector<uint8_t>* emf,
                           std::string* error = nullptr);

// Opens `path`. False after one "LMF: ..." line on the debug output.
bool LoadMetaFile(const std::string& path, std::vector<uint8_t>* emf, std::string* error = nullptr);

// The same tests on data held in memory (a program resource); failures
// are reported with "LMFR: ..." lines.
bool LoadMetaFileResource(const uint8_t* data, size_t size, std::vector<uint8_t>* emf,
                          std::string* error = nullptr);

}  // namespace tsl
