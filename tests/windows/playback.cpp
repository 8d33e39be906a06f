#include "windows/playback.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "windows/dib.h"
#include "windows/emf_walk.h"

namespace tsl::test {

namespace {
int CALLBACK CollectType(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM out) {
  reinterpret_cast<std::vector<uint32_t>*>(out)->push_back(record->iType);
  return 1;
}
}  // namespace

namespace {
void ExpectGdiTakes(const std::vector<uint8_t>& emf, const std::string* description) {
  ASSERT_FALSE(emf.empty());
  HENHMETAFILE h = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
  ASSERT_NE(h, nullptr) << "SetEnhMetaFileBits refused the metafile";

  std::vector<RawRecord> records = WalkEmf(emf);
  ENHMETAHEADER header{};
  EXPECT_EQ(GetEnhMetaFileHeader(h, sizeof header, &header), sizeof header);
  EXPECT_EQ(header.dSignature, static_cast<DWORD>(ENHMETA_SIGNATURE));
  EXPECT_EQ(header.nBytes, emf.size());
  EXPECT_EQ(header.nRecords, records.size());

  std::vector<uint32_t> visited;
  EXPECT_TRUE(EnumEnhMetaFile(nullptr, h, CollectType, &visited, nullptr));
  EXPECT_EQ(visited, Types(records));

  UINT n = GetEnhMetaFileDescriptionA(h, 0, nullptr);
  if (!description) {
  } else if (description->empty()) {
    EXPECT_EQ(n, 0u);
  } else {
    std::string text(n, '\0');
    EXPECT_EQ(GetEnhMetaFileDescriptionA(h, n, text.data()), n);
    // GDI's count takes in both final NULs.
    EXPECT_EQ(text, *description);
  }
  DeleteEnhMetaFile(h);
}
}  // namespace

void ExpectGdiTakes(const std::vector<uint8_t>& emf, const std::string& description) {
  ExpectGdiTakes(emf, &description);
}

void ExpectGdiTakes(const std::vector<uint8_t>& emf) { ExpectGdiTakes(emf, nullptr); }

uint32_t Pixels::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFF;
  return colors[static_cast<size_t>(y) * width + x];
}

int Pixels::Count(uint32_t color) const {
  return static_cast<int>(std::count(colors.begin(), colors.end(), color));
}

bool PlayInto(const std::vector<uint8_t>& emf, int width, int height, Pixels* out) {
  Dib dib(width, height);
  if (!dib.ok() || emf.empty()) return false;
  HENHMETAFILE h = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
  if (!h) return false;
  RECT all{0, 0, width, height};
  bool ok = PlayEnhMetaFile(dib.dc(), h, &all) != 0;
  DeleteEnhMetaFile(h);
  out->width = width;
  out->height = height;
  out->colors.clear();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out->colors.push_back(dib.Pixel(x, y));
  return ok;
}

}  // namespace tsl::test
