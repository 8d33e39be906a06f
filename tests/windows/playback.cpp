#include "windows/playback.h"

#include <gtest/gtest.h>

#include "windows/emf_bytes.h"

namespace tsl::test {

namespace {
int CALLBACK CollectType(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM out) {
  reinterpret_cast<std::vector<uint32_t>*>(out)->push_back(record->iType);
  return 1;
}
}  // namespace

void ExpectGdiTakes(const std::vector<uint8_t>& emf, const std::string& description) {
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
  if (description.empty()) {
    EXPECT_EQ(n, 0u);
  } else {
    std::string text(n, '\0');
    ASSERT_EQ(GetEnhMetaFileDescriptionA(h, n, text.data()), n);
    // GDI counts the final NUL; the description's own ends with two.
    EXPECT_EQ(text + '\0', description);
  }
  DeleteEnhMetaFile(h);
}

bool PlayInto(const std::vector<uint8_t>& emf, Dib& dib) {
  if (!dib.ok() || emf.empty()) return false;
  HENHMETAFILE h = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
  if (!h) return false;
  RECT all{0, 0, dib.width(), dib.height()};
  bool ok = PlayEnhMetaFile(dib.dc(), h, &all) != 0;
  GdiFlush();
  DeleteEnhMetaFile(h);
  return ok;
}

}  // namespace tsl::test
