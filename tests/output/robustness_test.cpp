// Hostile metafiles: damaged, truncated, oversized or random EMF, WMF and
// EMZ data are refused or drawn in part, never a crash, an endless loop or
// an unbounded allocation (the sanitizer build runs these too).
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "common/gdi/emf_reader.h"
#include "emf_samples.h"
#include "output/emz.h"
#include "output/metafile_load.h"
#include "output/raster_export.h"

namespace tsl::test {
namespace {

using namespace gdi;

// Renders whatever the bytes give; true when a picture came out.
bool TryRender(const std::vector<uint8_t>& emf) {
  ExportRequest req = RequestFor(emf, 64, 32);
  MemoryDib dib;
  std::string error;
  return EmfToMemoryDIB(req, DefaultSettings(), &dib, &error);
}

TEST(Robustness, MutatedMetafilesNeverCrash) {
  std::mt19937 rng(1234);
  for (const std::vector<uint8_t>& base : {SampleDrawing(), SampleMapping()}) {
    for (int round = 0; round < 300; ++round) {
      std::vector<uint8_t> emf = base;
      int flips = 1 + static_cast<int>(rng() % 8);
      for (int i = 0; i < flips; ++i) {
        size_t at = 88 + rng() % (emf.size() - 88);  // keep the header recognisable
        emf[at] = static_cast<uint8_t>(rng());
      }
      TryRender(emf);
    }
  }
}

TEST(Robustness, TruncatedMetafilesAreRefusedOrDrawnInPart) {
  std::vector<uint8_t> whole = SampleDrawing();
  for (size_t n = 0; n < whole.size(); n += 7) {
    std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(n));
    TryRender(part);
  }
}

// A metafile of one record that claims far more than it holds.
std::vector<uint8_t> OneRecord(uint32_t type, std::initializer_list<int32_t> fields) {
  EmfBuilder b(1000, 1000);
  b.R(EMR_SETMAPMODE, {MM_TEXT});
  b.R(type, fields);
  b.R(EMR_RECTANGLE, {0, 0, 10, 10});
  return b.Finish(4);
}

TEST(Robustness, CountsBeyondTheRecordAreRefused) {
  const int32_t kHuge = 0x7FFFFFFF;
  // Points, polygons, text, regions and bitmaps whose counts or offsets
  // point outside their record.
  EXPECT_TRUE(TryRender(OneRecord(EMR_POLYLINE16, {0, 0, 0, 0, kHuge, 0})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_POLYPOLYGON16, {0, 0, 0, 0, kHuge, kHuge, 1})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_POLYPOLYLINE, {0, 0, 0, 0, 2, 3, 2, kHuge, 0, 0})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_POLYDRAW16, {0, 0, 0, 0, 3, 0, 0})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_EXTTEXTOUTW, {0, 0, 0, 0, 1, 0, 0, 5, 5, kHuge, 76, 0, 0, 0, 0, 0, 0})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_EXTTEXTOUTW, {0, 0, 0, 0, 1, 0, 0, 5, 5, 2, 76, 0, 0, 0, 0, 0, kHuge, 65})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_EXTSELECTCLIPRGN, {48, 5, 32, 1, kHuge, 0, 0, 0, 0, 0})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_FILLRGN, {0, 0, 0, 0, kHuge, INT32_MIN, 32, 1, 1, 0})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_STRETCHDIBITS, {0, 0, 0, 0, 0, 0, 0, 0, 10, 10, 80, 40, 120, kHuge, 0,
                                                      0xCC0020, 10, 10})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_CREATEPEN, {kHuge, 0, 1, 0, 0})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_SELECTOBJECT, {kHuge})));
  EXPECT_TRUE(TryRender(OneRecord(EMR_EXTCREATEPEN, {1, 0, 0, 0, 0, 0x10007, 3, 0, 0, 0, kHuge})));
}

TEST(Robustness, BitmapsClaimingHugeSizesAreRefused) {
  // A BITMAPINFOHEADER for 30000 x 30000 at 32 bits over 16 bytes of bits.
  std::vector<uint8_t> p;
  for (int32_t v : {0, 0, -1, -1, 0, 0, 0, 0, 30000, 30000, 80, 40, 120, 16, 0, 0xCC0020, 100, 100})
    Append32(p, static_cast<uint32_t>(v));
  for (int32_t v : {40, 30000, 30000}) Append32(p, static_cast<uint32_t>(v));
  Append16(p, 1);
  Append16(p, 32);
  for (int i = 0; i < 6; ++i) Append32(p, 0);
  p.resize(p.size() + 16, 0xAB);
  EmfBuilder b(1000, 1000);
  b.Raw(EMR_STRETCHDIBITS, p);
  EXPECT_TRUE(TryRender(b.Finish(1)));
}

TEST(Robustness, DegenerateTransformsAndStatesDrawNothingHarmful) {
  EmfBuilder b(1000, 1000);
  b.R(EMR_SETMAPMODE, {MM_ANISOTROPIC}).R(EMR_SETWINDOWEXTEX, {0, 0}).R(EMR_SETVIEWPORTEXTEX, {0x7FFFFFFF, 1});
  b.R(EMR_SCALEWINDOWEXTEX, {0x7FFFFFFF, 1, 0x7FFFFFFF, 1});
  b.R(EMR_SETWORLDTRANSFORM, {0, 0, 0, 0, 0, 0});  // all zero: collapsed
  b.R(EMR_RECTANGLE, {0, 0, 100, 100});
  b.R(EMR_SETWORLDTRANSFORM, {0x7FC00000, 0, 0, 0x3F800000, 0, 0});  // NaN: ignored
  b.R(EMR_ELLIPSE, {0, 0, 100, 100});
  b.Font(1, INT32_MIN, 0, "Courier New").Select(1).Text(5, 5, "X");
  b.Font(2, -20, 0, "Courier New", -603979776).Select(2).Text(5, 5, "X");  // absurd width
  for (int i = 0; i < 10000; ++i) b.R(EMR_SAVEDC, {});
  b.R(EMR_RESTOREDC, {-20000}).R(EMR_RESTOREDC, {0x7FFFFFFF}).R(EMR_RESTOREDC, {1});
  b.R(EMR_FILLPATH, {0, 0, 0, 0}).R(EMR_ENDPATH, {}).R(EMR_SELECTCLIPPATH, {5});
  EXPECT_TRUE(TryRender(b.Finish(3)));
}

TEST(Robustness, RandomAndMutatedWindowsMetafiles) {
  std::mt19937 rng(99);
  std::vector<uint8_t> base = SampleWmf(true);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> data = base;
    for (int i = 0; i < 4; ++i) data[22 + rng() % (data.size() - 22)] = static_cast<uint8_t>(rng());
    if (round % 3 == 0) data.resize(22 + rng() % (data.size() - 22));
    std::vector<uint8_t> emf;
    std::string error;
    if (LoadPlaceableMetaFile(data.data(), data.size(), &emf, &error)) TryRender(emf);
  }
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> data(rng() % 300);
    for (uint8_t& b : data) b = static_cast<uint8_t>(rng());
    if (round % 2) {  // a believable header over random records
      std::vector<uint8_t> head = SampleWmf(false);
      std::copy(head.begin(), head.begin() + 18, std::back_inserter(data));
      std::rotate(data.begin(), data.end() - 18, data.end());
    }
    std::vector<uint8_t> emf;
    std::string error;
    if (WmfToEmf(data.data(), data.size(), nullptr, &emf, &error)) TryRender(emf);
  }
}

TEST(Robustness, GzipBombIsRefused) {
  // 300 MiB of zeros in about 300 KiB, compressed a chunk at a time.
  std::vector<uint8_t> zeros(1u << 20, 0), gz;
  z_stream s{};
  ASSERT_EQ(Z_OK, deflateInit2(&s, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY));
  uint8_t out[65536];
  for (int i = 0; i < 300; ++i) {
    s.next_in = zeros.data();
    s.avail_in = static_cast<uInt>(zeros.size());
    int flush = i == 299 ? Z_FINISH : Z_NO_FLUSH;
    do {
      s.next_out = out;
      s.avail_out = sizeof out;
      deflate(&s, flush);
      gz.insert(gz.end(), out, out + (sizeof out - s.avail_out));
    } while (s.avail_out == 0);
  }
  deflateEnd(&s);
  ASSERT_LT(gz.size(), 2u << 20);
  TempDir tmp;
  std::string path = tmp.path() + "/bomb.emz";
  WriteBytes(path, gz);
  std::vector<uint8_t> emf;
  std::string error;
  EXPECT_FALSE(LoadMetaFile(path, &emf, &error));
  EXPECT_NE(std::string::npos, error.find("exceed")) << error;
  EXPECT_TRUE(emf.empty());
}

TEST(Robustness, RandomBytesUnderEveryName) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> data(1 + rng() % 400);
    for (uint8_t& b : data) b = static_cast<uint8_t>(rng());
    if (round % 4 == 1) data[0] = 0x1F, data.size() > 1 ? data[1] = 0x8B : 0;
    if (round % 4 == 2 && data.size() >= 44) data[40] = ' ', data[41] = 'E', data[42] = 'M', data[43] = 'F';
    std::vector<uint8_t> emf;
    std::string error;
    if (LoadMetaFileResource(data.data(), data.size(), &emf, &error)) TryRender(emf);
  }
}

}  // namespace
}  // namespace tsl::test
