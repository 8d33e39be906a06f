// Opening metafiles through GDI: recognition by content, the placeable
// picture size, refusals that never read past the data, and the debug lines.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "output/metafile_load.h"
#include "output/raster_export.h"
#include "settings/settings_set.h"
#include "support/temp_dir.h"

#include "platform/windows_lean.h"

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006L
#endif

namespace {

using tsl::test::TempDir;
using Bytes = std::vector<uint8_t>;

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C; a first vectored handler
// sees its text before the system swallows it.
std::string* gDebugText = nullptr;

LONG CALLBACK CatchDebugText(EXCEPTION_POINTERS* e) {
  const EXCEPTION_RECORD* r = e->ExceptionRecord;
  if (gDebugText && r->ExceptionCode == static_cast<DWORD>(DBG_PRINTEXCEPTION_C) && r->NumberParameters >= 2)
    gDebugText->append(reinterpret_cast<const char*>(r->ExceptionInformation[1]));
  return EXCEPTION_CONTINUE_SEARCH;
}

class DebugCapture {
 public:
  DebugCapture() : handler_(AddVectoredExceptionHandler(1, CatchDebugText)) { gDebugText = &text_; }
  ~DebugCapture() {
    gDebugText = nullptr;
    if (handler_) RemoveVectoredExceptionHandler(handler_);
  }
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;
  const std::string& text() const { return text_; }

 private:
  std::string text_;
  void* handler_;
};

uint32_t Rd32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
void Put16(Bytes* b, size_t at, uint16_t v) {
  (*b)[at] = v & 0xFF;
  (*b)[at + 1] = v >> 8;
}
void Put32(Bytes* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = (v >> (8 * i)) & 0xFF;
}

// A WMF recorded by GDI: a rectangle in a 1440 x 720 window.
Bytes GdiWmf() {
  HDC dc = CreateMetaFileA(nullptr);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, 1440, 720, nullptr);
  Rectangle(dc, 240, 120, 1200, 600);
  HMETAFILE mf = CloseMetaFile(dc);
  Bytes out(GetMetaFileBitsEx(mf, 0, nullptr));
  GetMetaFileBitsEx(mf, static_cast<UINT>(out.size()), out.data());
  DeleteMetaFile(mf);
  return out;
}

// That WMF behind a placeable header: (0, 0)-(1440, 720) at 1440 units per
// inch, with a checksum that does not match (it is not checked).
Bytes Placeable(uint16_t unitsPerInch = 1440) {
  Bytes b(22, 0);
  Put32(&b, 0, tsl::kPlaceableKey);
  Put16(&b, 10, 1440);
  Put16(&b, 12, 720);
  Put16(&b, 14, unitsPerInch);
  Put16(&b, 20, 0x1234);
  Bytes wmf = GdiWmf();
  b.insert(b.end(), wmf.begin(), wmf.end());
  return b;
}

// An EMF recorded by GDI, 5 x 4 cm.
Bytes GdiEmf() {
  RECT frame{0, 0, 5000, 4000};
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  Rectangle(dc, 10, 10, 100, 80);
  HENHMETAFILE h = CloseEnhMetaFile(dc);
  Bytes out(GetEnhMetaFileBits(h, 0, nullptr));
  GetEnhMetaFileBits(h, static_cast<UINT>(out.size()), out.data());
  DeleteEnhMetaFile(h);
  return out;
}

// GDI's reading of the header of loaded bytes; false when GDI refuses them.
bool GdiHeader(const Bytes& emf, ENHMETAHEADER* header) {
  HENHMETAFILE h = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
  if (!h) return false;
  bool ok = GetEnhMetaFileHeader(h, sizeof *header, header) != 0;
  DeleteEnhMetaFile(h);
  return ok;
}

std::string Write(const TempDir& dir, const std::string& name, const Bytes& bytes) {
  return dir.Write(name, std::string(bytes.begin(), bytes.end()));
}

// Loads the file; returns the debug text.
std::string Load(const std::string& path, bool* ok, Bytes* emf) {
  DebugCapture capture;
  *ok = tsl::LoadMetaFile(path, emf);
  return capture.text();
}

std::string LoadResource(const Bytes& bytes, bool* ok, Bytes* emf) {
  DebugCapture capture;
  *ok = tsl::LoadMetaFileResource(bytes.data(), bytes.size(), emf);
  return capture.text();
}

TEST(MetafileLoad, KindComesFromContentNotName) {
  TempDir dir;
  bool ok = false;
  Bytes emf, sample = GdiEmf();
  EXPECT_EQ("", Load(Write(dir, "drawing.wmf", sample), &ok, &emf));
  ASSERT_TRUE(ok);
  EXPECT_EQ(sample, emf);

  EXPECT_EQ("", Load(Write(dir, "picture.emf", GdiWmf()), &ok, &emf));
  ASSERT_TRUE(ok);
  ENHMETAHEADER h{};
  ASSERT_TRUE(GdiHeader(emf, &h));
  EXPECT_EQ(static_cast<DWORD>(ENHMETA_SIGNATURE), h.dSignature);
  // No picture size is given: GDI sizes it (Wine from the drawing, Windows
  // from the screen), never as the placeable picture would be.
  EXPECT_GT(h.rclFrame.right - h.rclFrame.left, 2540);
  EXPECT_GT(h.rclFrame.bottom - h.rclFrame.top, 0);
  Bytes fromResource;
  EXPECT_EQ("", LoadResource(GdiWmf(), &ok, &fromResource));
  ASSERT_TRUE(ok);
  EXPECT_EQ(emf, fromResource);
}

TEST(MetafileLoad, PlaceableSizeComesFromTheBoundingBox) {
  TempDir dir;
  bool ok = false;
  Bytes emf;
  EXPECT_EQ("", Load(Write(dir, "placeable.wmf", Placeable()), &ok, &emf));
  ASSERT_TRUE(ok);
  ENHMETAHEADER h{};
  ASSERT_TRUE(GdiHeader(emf, &h));
  EXPECT_NEAR(2540, h.rclFrame.right - h.rclFrame.left, 1);
  EXPECT_NEAR(1270, h.rclFrame.bottom - h.rclFrame.top, 1);

  // From memory the same, and the returned bytes are GDI's own.
  Bytes fromResource;
  EXPECT_EQ("", LoadResource(Placeable(), &ok, &fromResource));
  ASSERT_TRUE(ok);
  EXPECT_EQ(emf.size(), fromResource.size());
  EXPECT_EQ(emf.size(), Rd32(emf, 48));
}

TEST(MetafileLoad, FailuresWriteOneDebugLine) {
  TempDir dir;
  bool ok = true;
  Bytes emf;
  EXPECT_EQ("LMF: MapFileReadOnly failed\r\n", Load(dir.File("missing.emf"), &ok, &emf));
  EXPECT_FALSE(ok);
  EXPECT_EQ("LMF: MapFileReadOnly failed\r\n", Load(Write(dir, "empty.emf", {}), &ok, &emf));
  EXPECT_FALSE(ok);
  std::string text = "this is neither kind of metafile";
  Bytes textBytes(text.begin(), text.end());
  EXPECT_EQ("LMF: SetWinMetaFileBits failed\r\n", Load(Write(dir, "text.emf", textBytes), &ok, &emf));
  EXPECT_FALSE(ok);
  EXPECT_EQ("LMFR: SetWinMetaFileBits failed\r\n", LoadResource(textBytes, &ok, &emf));
  EXPECT_FALSE(ok);

  Bytes apm = Placeable();
  EXPECT_EQ("LMF: LoadPlaceableMetaFile failed\r\n",
            Load(Write(dir, "short.wmf", Bytes(apm.begin(), apm.begin() + 12)), &ok, &emf));
  EXPECT_FALSE(ok);
  EXPECT_EQ("LMFR: LoadPlaceableMetaFile failed\r\n", LoadResource(Placeable(0), &ok, &emf));
  EXPECT_FALSE(ok);

  // Truncated: each header claims more than the data hold.
  Bytes sample = GdiEmf();
  Bytes cut(sample.begin(), sample.end() - 8);
  EXPECT_EQ("LMF: GetEnhMetaFile failed\r\n", Load(Write(dir, "cut.emf", cut), &ok, &emf));
  EXPECT_FALSE(ok);
  EXPECT_EQ("LMFR: SetEnhMetaFileBits failed\r\n", LoadResource(cut, &ok, &emf));
  EXPECT_FALSE(ok);
  Bytes wmf = GdiWmf();
  EXPECT_EQ("LMFR: SetWinMetaFileBits failed\r\n", LoadResource(Bytes(wmf.begin(), wmf.end() - 6), &ok, &emf));
  EXPECT_FALSE(ok);
  EXPECT_EQ("LMF: LoadPlaceableMetaFile failed\r\n",
            Load(Write(dir, "cut.apm", Bytes(apm.begin(), apm.end() - 6)), &ok, &emf));
  EXPECT_FALSE(ok);
}

// Memory whose end is followed by a page that cannot be read: a read past
// the data faults.
class GuardedCopy {
 public:
  explicit GuardedCopy(const Bytes& bytes) {
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!base_ || bytes.size() > kPage) return;
    DWORD old = 0;
    VirtualProtect(base_ + kPage, kPage, PAGE_NOACCESS, &old);
    data_ = base_ + kPage - bytes.size();
    std::memcpy(data_, bytes.data(), bytes.size());
  }
  ~GuardedCopy() {
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
  }
  GuardedCopy(const GuardedCopy&) = delete;
  GuardedCopy& operator=(const GuardedCopy&) = delete;
  const uint8_t* data() const { return data_; }

 private:
  static constexpr size_t kPage = 4096;
  uint8_t* base_ = nullptr;
  uint8_t* data_ = nullptr;
};

TEST(MetafileLoad, ShortDataIsNeverReadPastItsEnd) {
  for (const Bytes& whole : {GdiEmf(), Placeable(), GdiWmf()}) {
    ASSERT_LE(whole.size(), 4096u);
    for (size_t n = 1; n < whole.size(); ++n) {
      GuardedCopy part(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)));
      ASSERT_NE(nullptr, part.data());
      Bytes emf;
      DebugCapture quiet;
      // Every prefix lacks the end its header announces.
      EXPECT_FALSE(tsl::LoadMetaFileResource(part.data(), n, &emf)) << n;
      EXPECT_TRUE(emf.empty());
    }
    GuardedCopy all(whole);
    Bytes emf;
    EXPECT_TRUE(tsl::LoadMetaFileResource(all.data(), whole.size(), &emf));
  }
}

TEST(MetafileLoad, MappingHoldsTheFileUntilClosed) {
  TempDir dir;
  std::string path = dir.Write("m.bin", "mapped bytes");
  tsl::FileMapping map;
  std::string error;
  ASSERT_TRUE(tsl::MapFileReadOnly(path, &map, &error)) << error;
  ASSERT_EQ(12u, map.Size());
  EXPECT_EQ(0, std::memcmp(map.Data(), "mapped bytes", 12));
  // Shared for reading only: no one deletes it while it is mapped.
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  EXPECT_TRUE(tsl::CloseFileMapping(&map));
  EXPECT_EQ(0u, map.Size());
  EXPECT_TRUE(DeleteFileA(path.c_str()));

  EXPECT_FALSE(tsl::MapFileReadOnly(dir.File("absent"), &map, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(nullptr, map.os);
}

// Exports from a file: GDI opens an EMF itself once it was read through
// sound; damage is named before GDI sees the file.
TEST(MetafileLoad, ExportsFromAFileDrawAsFromItsBytes) {
  TempDir dir;
  const Bytes emf = GdiEmf();
  const std::string path = Write(dir, "e.emf", emf);
  tsl::ExportRequest bytes;
  bytes.metafile = emf.data();
  bytes.metafileSize = emf.size();
  bytes.width = 120;
  bytes.height = 96;
  tsl::ExportRequest file = bytes;
  file.metafile = nullptr;
  file.metafileSize = 0;
  file.metafilePath = path;
  tsl::MemoryDib want, got;
  std::string error;
  ASSERT_TRUE(tsl::EmfToMemoryDIB(bytes, tsl::DefaultSettings(), &want, &error)) << error;
  ASSERT_TRUE(tsl::EmfToMemoryDIB(file, tsl::DefaultSettings(), &got, &error)) << error;
  EXPECT_EQ(want.bits, got.bits);

  const Bytes cut(emf.begin(), emf.end() - 20);
  file.metafilePath = Write(dir, "cut.emf", cut);
  EXPECT_FALSE(tsl::EmfToMemoryDIB(file, tsl::DefaultSettings(), &got, &error));
  EXPECT_NE(std::string::npos, error.find("truncated")) << error;
}

}  // namespace
