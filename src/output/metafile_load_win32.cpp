// Metafile loading on Windows through GDI itself: the file is mapped, the
// kind recognised by content, and GDI builds the enhanced metafile whose
// bytes are returned. The data are checked before GDI sees them, so that a
// header claiming more than there is never makes GDI read past the end.
#include "common/gdi/emf_bytes.h"
#include "common/gdi/emf_reader.h"
#include "common/gdi/emf_types.h"
#include "common/notify.h"
#include "output/emz.h"
#include "output/metafile_kind.h"
#include "output/metafile_load.h"
#include "platform/debug_output.h"
#include "platform/system_error.h"

#include "platform/windows_lean.h"

namespace tsl {

namespace {

constexpr size_t kWmfHeaderBytes = 18;
constexpr size_t kPlaceableHeaderBytes = 22;


void Set(std::string* error, const std::string& text) {
  if (error) *error = text;
}

// What the mapping record owns; released in reverse order.
struct OsMapping {
  HANDLE file = INVALID_HANDLE_VALUE;
  HANDLE mapping = nullptr;
  const void* view = nullptr;
  ~OsMapping() {
    if (view) UnmapViewOfFile(view);
    if (mapping) CloseHandle(mapping);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

struct EnhMetaFileDeleter {
  void operator()(HENHMETAFILE__* h) const { DeleteEnhMetaFile(h); }
};
using EnhMetaFileOwner = std::unique_ptr<HENHMETAFILE__, EnhMetaFileDeleter>;

// The screen's device context, the reference of a placeable conversion.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// The bytes GDI holds for `h`.
bool BytesOf(HENHMETAFILE h, std::vector<uint8_t>* emf, std::string* error) {
  UINT n = h ? GetEnhMetaFileBits(h, 0, nullptr) : 0;
  if (n == 0) {
    Set(error, "the system returned no enhanced metafile");
    return false;
  }
  emf->resize(n);
  if (GetEnhMetaFileBits(h, n, emf->data()) != n) {
    emf->clear();
    Set(error, "the system returned no enhanced metafile");
    return false;
  }
  return true;
}

// An EMF as long as its header says; GDI trusts nBytes, so it is held
// against the data (and every record parsed) first.
bool CheckEmf(const uint8_t* data, size_t size, size_t* length, std::string* error) {
  if (size < 52) {
    Set(error, "shorter than its header");
    return false;
  }
  size_t nBytes = gdi::GetU32(data + 48);
  if (nBytes > size) {
    Set(error, "shorter than its header says");
    return false;
  }
  std::string why;
  if (!gdi::CheckEmf(data, nBytes, &why)) {
    Set(error, "damaged enhanced metafile: " + why);
    return false;
  }
  *length = nBytes;
  return true;
}

// A WMF header GDI can take, and the length its size field gives (twice the
// words), which must lie within the data.
bool CheckWmf(const uint8_t* data, size_t size, size_t* length, std::string* error) {
  if (size < kWmfHeaderBytes) {
    Set(error, "shorter than a Windows metafile header");
    return false;
  }
  uint16_t type = gdi::GetU16(data), headerWords = gdi::GetU16(data + 2);
  if ((type != 1 && type != 2) || headerWords != kWmfHeaderBytes / 2) {
    Set(error, "not a Windows metafile");
    return false;
  }
  uint64_t bytes = 2ull * gdi::GetU32(data + 6);
  if (bytes < kWmfHeaderBytes || bytes > size) {
    Set(error, "the Windows metafile's size does not match its data");
    return false;
  }
  *length = static_cast<size_t>(bytes);
  return true;
}

// A plain WMF with no picture size: it fills the reference screen.
bool LoadWmf(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, std::string* error) {
  size_t length = 0;
  if (!CheckWmf(data, size, &length, error)) return false;
  EnhMetaFileOwner h(SetWinMetaFileBits(static_cast<UINT>(length), data, nullptr, nullptr));
  if (!h) {
    Set(error, LastSystemErrorText());
    return false;
  }
  return BytesOf(h.get(), emf, error);
}

bool LoadEmfBits(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, std::string* error) {
  size_t length = 0;
  if (!CheckEmf(data, size, &length, error)) return false;
  EnhMetaFileOwner h(SetEnhMetaFileBits(static_cast<UINT>(length), data));
  if (!h) {
    Set(error, LastSystemErrorText());
    return false;
  }
  return BytesOf(h.get(), emf, error);
}

// Data in memory (a resource or a decompressed file); `prefix` names the
// debug lines.
bool LoadBits(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, const char* prefix,
              std::string* error) {
  return LoadByKind(data, size, emf, prefix, LoadEmfBits, LoadWmf, error);
}

}  // namespace

bool MapFileReadOnly(const std::string& path, FileMapping* mapping, std::string* error) {
  *mapping = FileMapping();
  auto os = std::make_shared<OsMapping>();
  os->file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_READONLY, nullptr);
  if (os->file == INVALID_HANDLE_VALUE) {
    Set(error, LastSystemErrorText());
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(os->file, &size)) {
    Set(error, LastSystemErrorText());
    return false;
  }
  if (size.QuadPart == 0) {
    Set(error, "the file is empty");  // an empty file cannot be mapped
    return false;
  }
  // Past what a header can count no file is a metafile; below it, whether
  // the view fits the address space is the system's to say.
  if (static_cast<uint64_t>(size.QuadPart) > kMaxEmfBytes) {
    Set(error, Format("larger than an enhanced metafile can be (%llu bytes)",
                      static_cast<unsigned long long>(size.QuadPart)));
    return false;
  }
  os->mapping = CreateFileMappingA(os->file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!os->mapping) {
    Set(error, LastSystemErrorText());
    return false;
  }
  os->view = MapViewOfFile(os->mapping, FILE_MAP_READ, 0, 0, 0);
  if (!os->view) {
    Set(error, LastSystemErrorText());
    return false;
  }
  mapping->address = static_cast<const uint8_t*>(os->view);
  mapping->length = static_cast<size_t>(size.QuadPart);
  mapping->os = std::move(os);
  return true;
}

bool CloseFileMapping(FileMapping* mapping) {
  *mapping = FileMapping();  // the last owner unmaps and closes
  return true;
}

bool LoadPlaceableMetaFile(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, std::string* error) {
  emf->clear();
  MetafilePict pict;
  if (!PlaceablePicture(data, size, &pict)) {
    Set(error, size < kPlaceableHeaderBytes ? "shorter than its header" : "no units per inch");
    return false;
  }
  size_t length = 0;
  if (!CheckWmf(data + kPlaceableHeaderBytes, size - kPlaceableHeaderBytes, &length, error)) return false;
  METAFILEPICT mfp{};
  mfp.mm = pict.mm;
  mfp.xExt = pict.xExt;
  mfp.yExt = pict.yExt;
  mfp.hMF = nullptr;
  ScreenDc screen;
  EnhMetaFileOwner h(SetWinMetaFileBits(static_cast<UINT>(length), data + kPlaceableHeaderBytes, screen.get(), &mfp));
  if (!h) {
    Set(error, LastSystemErrorText());
    return false;
  }
  return BytesOf(h.get(), emf, error);
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
  const uint8_t* data = map.Data();
  size_t size = map.Size();
  if (IsGzip(data, size)) {
    std::vector<uint8_t> plain;
    if (!GunzipBytes(data, size, GunzipLimit(size), &plain, &why) || plain.empty()) {
      DebugOutput("LMF: UncompressEMF failed\r\n");
      Set(error, plain.empty() && why.empty() ? "the compressed file holds nothing" : why);
      return false;
    }
    return LoadBits(plain.data(), plain.size(), emf, "LMF", error);
  }
  if (RecogniseMetafile(data, size) != MetafileKind::Emf) return LoadBits(data, size, emf, "LMF", error);
  // GDI opens the file itself; the view, still mapped, is what was checked.
  size_t length = 0;
  EnhMetaFileOwner h;
  if (CheckEmf(data, size, &length, &why)) {
    h.reset(GetEnhMetaFileA(path.c_str()));
    if (!h) why = LastSystemErrorText();
  }
  if (!h || !BytesOf(h.get(), emf, &why)) {
    DebugOutput("LMF: GetEnhMetaFile failed\r\n");
    Set(error, why);
    return false;
  }
  return true;
}

bool LoadMetaFileResource(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, std::string* error) {
  emf->clear();
  if (!data || size == 0) {
    Set(error, "no data");
    return false;
  }
  return LoadBits(data, size, emf, "LMFR", error);
}

}  // namespace tsl
