#include "output/metafile_load.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "common/gdi/emf_bytes.h"
#include "common/gdi/emf_reader.h"
#include "common/gdi/emf_types.h"
#include "common/notify.h"
#include "output/emz.h"
#include "output/metafile_kind.h"
#include "platform/debug_output.h"

namespace tsl {

namespace {

void Set(std::string* error, const std::string& text) {
  if (error) *error = text;
}

// Windows converts through GDI instead (platform/win32/metafile_load_win32.cpp).
#if !defined(_WIN32)
bool ParseEmf(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, std::string* error) {
  std::string why;
  if (!gdi::CheckEmf(data, size, &why)) {
    Set(error, "damaged enhanced metafile: " + why);
    return false;
  }
  emf->assign(data, data + size);
  return true;
}

bool ConvertWmf(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, std::string* error) {
  return WmfToEmf(data, size, nullptr, emf, error);
}

bool Load(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, const char* prefix, std::string* error) {
  return LoadByKind(data, size, emf, prefix, ParseEmf, ConvertWmf, error);
}
#endif
}  // namespace

size_t GunzipLimit(size_t compressed) {
  // Metafiles compress a few times over; a bomb a thousand times.
  uint64_t byRatio = static_cast<uint64_t>(compressed) * kMaxGzipRatio;
  uint64_t limit = byRatio > kGzipFloor ? byRatio : kGzipFloor;
  if (limit > kMaxEmfBytes) limit = kMaxEmfBytes;
  return limit < SIZE_MAX ? static_cast<size_t>(limit) : SIZE_MAX;
}

MetafileKind RecogniseMetafile(const uint8_t* data, size_t size) {
  if (size >= 44 && gdi::GetU32(data + 40) == gdi::kEmfSignature) return MetafileKind::Emf;
  if (size >= 4 && gdi::GetU32(data) == kPlaceableKey) return MetafileKind::Placeable;
  return MetafileKind::Wmf;
}

bool LoadByKind(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, const char* prefix,
                MetafileStep emfStep, MetafileStep wmfStep, std::string* error) {
  const bool resource = prefix[3] == 'R';
  std::string why;
  switch (RecogniseMetafile(data, size)) {
    case MetafileKind::Emf:
      if (!emfStep(data, size, emf, &why)) {
        DebugOutput(Format("%s: %s failed\r\n", prefix, resource ? "SetEnhMetaFileBits" : "GetEnhMetaFile").c_str());
        Set(error, why);
        return false;
      }
      return true;
    case MetafileKind::Placeable:
      if (!LoadPlaceableMetaFile(data, size, emf, &why)) {
        DebugOutput(Format("%s: LoadPlaceableMetaFile failed\r\n", prefix).c_str());
        Set(error, "damaged placeable metafile: " + why);
        return false;
      }
      return true;
    case MetafileKind::Wmf:
    default:
      if (!wmfStep(data, size, emf, &why)) {
        DebugOutput(Format("%s: SetWinMetaFileBits failed\r\n", prefix).c_str());
        Set(error, why);
        return false;
      }
      return true;
  }
}

#if !defined(_WIN32)
bool MapFileReadOnly(const std::string& path, FileMapping* mapping, std::string* error) {
  mapping->view.clear();
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!f) {
    Set(error, GetSysErr());
    return false;
  }
  // Too large is known from the size, before anything is read; a file
  // that grows while it is read is cut at the limit and refused.
  struct stat st;
  if (fstat(fileno(f.get()), &st) == 0 && S_ISREG(st.st_mode)) {
    if (static_cast<uint64_t>(st.st_size) > kMaxEmfBytes || static_cast<uint64_t>(st.st_size) > SIZE_MAX / 2) {
      Set(error, Format("larger than an enhanced metafile can be (%llu bytes)",
                        static_cast<unsigned long long>(st.st_size)));
      return false;
    }
    mapping->view.reserve(static_cast<size_t>(st.st_size));
  }
  unsigned char chunk[65536];
  for (;;) {
    size_t n = std::fread(chunk, 1, sizeof chunk, f.get());
    if (n == 0) break;
    if (n > kMaxEmfBytes - mapping->view.size()) {
      std::vector<uint8_t>().swap(mapping->view);
      Set(error, "larger than an enhanced metafile can be");
      return false;
    }
    mapping->view.insert(mapping->view.end(), chunk, chunk + n);
  }
  if (std::ferror(f.get())) {
    Set(error, GetSysErr());
    mapping->view.clear();
    return false;
  }
  if (mapping->view.empty()) {
    Set(error, "the file is empty");
    return false;
  }
  return true;
}

bool CloseFileMapping(FileMapping* mapping) {
  std::vector<uint8_t>().swap(mapping->view);
  return true;
}
#endif

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t p = static_cast<int64_t>(a) * b;
  // Rounded half away from zero.
  bool negative = (p < 0) != (c < 0);
  int64_t ap = p < 0 ? -p : p, ac = c < 0 ? -static_cast<int64_t>(c) : c;
  int64_t q = (ap + ac / 2) / ac;
  if (negative) q = -q;
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return static_cast<int32_t>(q);
}

bool PlaceablePicture(const uint8_t* data, size_t size, MetafilePict* pict) {
  if (!data || size < 22 || gdi::GetU32(data) != kPlaceableKey) return false;
  int32_t left = gdi::GetI16(data + 6), top = gdi::GetI16(data + 8), right = gdi::GetI16(data + 10), bottom = gdi::GetI16(data + 12);
  int32_t inch = gdi::GetU16(data + 14);
  if (inch == 0) return false;
  pict->mm = 8;  // MM_ANISOTROPIC
  pict->xExt = MulDiv(right - left, 2540, inch);
  pict->yExt = MulDiv(bottom - top, 2540, inch);
  pict->left = left;
  pict->top = top;
  pict->right = right;
  pict->bottom = bottom;
  return true;
}

#if !defined(_WIN32)
bool LoadPlaceableMetaFile(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, std::string* error) {
  MetafilePict pict;
  if (!PlaceablePicture(data, size, &pict)) {
    Set(error, size < 22 ? "shorter than its header" : "no units per inch");
    return false;
  }
  const uint8_t* wmf = data + 22;
  size_t available = size - 22;
  // The WMF header gives its own size in words; never past the data.
  size_t length = available;
  if (available >= 10) {
    uint64_t words = gdi::GetU32(wmf + 6);
    if (words && 2 * words < available) length = static_cast<size_t>(2 * words);
  }
  std::string why;
  if (!WmfToEmf(wmf, length, &pict, emf, &why)) {
    Set(error, why);
    return false;
  }
  return true;
}

bool LoadMetaFile(const std::string& path, std::vector<uint8_t>* emf, std::string* error) {
  emf->clear();
  FileMapping map;
  std::string why;
  if (!MapFileReadOnly(path, &map, &why)) {
    DebugOutput("LMF: MapFileReadOnly failed\r\n");
    Set(error, why);
    return false;
  }
  bool ok;
  if (IsGzip(map.view.data(), map.view.size())) {
    std::vector<uint8_t> plain;
    if (!GunzipBytes(map.view.data(), map.view.size(), GunzipLimit(map.view.size()), &plain, &why)) {
      DebugOutput("LMF: UncompressEMF failed\r\n");
      Set(error, why);
      CloseFileMapping(&map);
      return false;
    }
    ok = !plain.empty() && Load(plain.data(), plain.size(), emf, "LMF", error);
    if (plain.empty()) {
      DebugOutput("LMF: UncompressEMF failed\r\n");
      Set(error, "the compressed file holds nothing");
    }
  } else {
    ok = Load(map.view.data(), map.view.size(), emf, "LMF", error);
  }
  CloseFileMapping(&map);
  return ok;
}

bool LoadMetaFileResource(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, std::string* error) {
  emf->clear();
  if (!data || size == 0) {
    Set(error, "no data");
    return false;
  }
  // A resource may be padded: an EMF is as long as its header says.
  if (RecogniseMetafile(data, size) == MetafileKind::Emf && size >= 52) {
    uint32_t nBytes = gdi::GetU32(data + 48);
    if (nBytes >= 88 && nBytes < size) size = nBytes;
  }
  return Load(data, size, emf, "LMFR", error);
}
#endif

}  // namespace tsl
