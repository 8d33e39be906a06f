// Opening metafiles: recognition by content, the placeable header, the WMF
// translation, EMZ input, and the debug lines on failure.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/gdi/emf_reader.h"
#include "emf_samples.h"
#include "output/emz.h"
#include "output/metafile_load.h"
#include "output/raster_export.h"

namespace tsl::test {
namespace {

using namespace gdi;

// The debug lines go to stderr only when TESSELLA_DEBUG is set before the
// first of them.
class DebugOn : public ::testing::Environment {
 public:
  void SetUp() override { setenv("TESSELLA_DEBUG", "1", 1); }
};
const auto* const kDebugOn = ::testing::AddGlobalTestEnvironment(new DebugOn);

// Loads `bytes` written under `name`; returns the debug text.
std::string LoadAs(const std::vector<uint8_t>& bytes, const std::string& name, bool* ok, std::vector<uint8_t>* emf) {
  TempDir tmp;
  std::string path = tmp.path() + "/" + name;
  WriteBytes(path, bytes);
  ::testing::internal::CaptureStderr();
  *ok = LoadMetaFile(path, emf);
  return ::testing::internal::GetCapturedStderr();
}

EmfHeader HeaderOf(const std::vector<uint8_t>& emf) {
  EmfReader r;
  std::string error;
  EXPECT_TRUE(r.Parse(emf.data(), emf.size(), &error)) << error;
  return r.Header();
}

uint8_t CentrePixel(const std::vector<uint8_t>& emf, int32_t w, int32_t h, int32_t x, int32_t y) {
  ExportRequest req = RequestFor(emf, w, h);
  MemoryDib dib;
  std::string error;
  EXPECT_TRUE(EmfToMemoryDIB(req, DefaultSettings(), &dib, &error)) << error;
  return dib.width ? dib.At(x, y) : 255;
}

TEST(Load, KindComesFromContentNotName) {
  bool ok = false;
  std::vector<uint8_t> emf, sample = SampleDrawing();
  EXPECT_EQ("", LoadAs(sample, "drawing.wmf", &ok, &emf));
  ASSERT_TRUE(ok);
  EXPECT_EQ(sample, emf);  // an EMF is taken as it is

  std::vector<uint8_t> wmf = SampleWmf(false);
  LoadAs(wmf, "picture.emf", &ok, &emf);
  ASSERT_TRUE(ok);
  ASSERT_GE(emf.size(), 44u);
  EXPECT_EQ(kEmfSignature, emf[40] | (emf[41] << 8) | (emf[42] << 16) | (static_cast<uint32_t>(emf[43]) << 24));
  // Without a picture size the WMF fills the reference screen.
  EXPECT_EQ(50800, HeaderOf(emf).rclFrame.right);
}

TEST(Load, PlaceableSizeComesFromTheBoundingBox) {
  std::vector<uint8_t> apm = SampleWmf(true);  // 1440 x 720 at 1440 per inch, wrong checksum
  MetafilePict pict;
  ASSERT_TRUE(PlaceablePicture(apm.data(), apm.size(), &pict));
  EXPECT_EQ(8, pict.mm);
  EXPECT_EQ(2540, pict.xExt);
  EXPECT_EQ(1270, pict.yExt);

  bool ok = false;
  std::vector<uint8_t> emf;
  LoadAs(apm, "placeable.wmf", &ok, &emf);
  ASSERT_TRUE(ok);
  EmfHeader h = HeaderOf(emf);
  EXPECT_EQ(2540, h.rclFrame.right - h.rclFrame.left);
  EXPECT_EQ(1270, h.rclFrame.bottom - h.rclFrame.top);

  // The picture renders: the blue rectangle (240..1200 x 120..600 of the
  // 1440 x 720 window) fills the middle, the red pen outlines it and draws
  // the diagonal.
  EXPECT_EQ(5, CentrePixel(emf, 144, 72, 60, 48));  // below the red diagonal
  EXPECT_EQ(0, CentrePixel(emf, 144, 72, 10, 60));
  EXPECT_EQ(2, CentrePixel(emf, 144, 72, 24, 36));
}

TEST(Load, MulDivRoundsLikeWindows) {
  EXPECT_EQ(2540, MulDiv(1440, 2540, 1440));
  EXPECT_EQ(1270, MulDiv(720, 2540, 1440));
  EXPECT_EQ(3, MulDiv(5, 1, 2));  // halves round away from zero
  EXPECT_EQ(-3, MulDiv(-5, 1, 2));
  EXPECT_EQ(-1, MulDiv(1, 1, 0));
  EXPECT_EQ(-1, MulDiv(INT32_MAX, INT32_MAX, 1));
}

TEST(Load, FailuresWriteOneDebugLine) {
  bool ok = true;
  std::vector<uint8_t> emf;
  EXPECT_EQ("LMF: MapFileReadOnly failed\r\n", LoadAs({}, "empty.emf", &ok, &emf));
  EXPECT_FALSE(ok);
  std::string text = "this is neither kind of metafile";
  EXPECT_EQ("LMF: SetWinMetaFileBits failed\r\n",
            LoadAs(std::vector<uint8_t>(text.begin(), text.end()), "text.emf", &ok, &emf));
  EXPECT_FALSE(ok);
  // A placeable key followed by less than its header, and one that gives
  // no units per inch.
  std::vector<uint8_t> apm = SampleWmf(true);
  EXPECT_EQ("LMF: LoadPlaceableMetaFile failed\r\n",
            LoadAs(std::vector<uint8_t>(apm.begin(), apm.begin() + 12), "short.wmf", &ok, &emf));
  EXPECT_FALSE(ok);
  EXPECT_EQ("LMF: LoadPlaceableMetaFile failed\r\n", LoadAs(SampleWmf(true, 0), "zero.wmf", &ok, &emf));
  EXPECT_FALSE(ok);
  // The EMF signature on a damaged header.
  std::vector<uint8_t> bad = SampleDrawing();
  bad[4] = 0xFF;  // header size beyond the file
  bad[5] = bad[6] = bad[7] = 0x7F;
  EXPECT_EQ("LMF: GetEnhMetaFile failed\r\n", LoadAs(bad, "bad.emf", &ok, &emf));
  EXPECT_FALSE(ok);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(LoadMetaFileResource(text.data() ? reinterpret_cast<const uint8_t*>(text.data()) : nullptr,
                                    text.size(), &emf));
  EXPECT_EQ("LMFR: SetWinMetaFileBits failed\r\n", ::testing::internal::GetCapturedStderr());
}

TEST(Load, ShortDataIsNeverReadPastItsEnd) {
  // Every prefix of each kind: refused or loaded, never read beyond (the
  // sanitizer build checks the reads). Copies make each prefix its own
  // allocation.
  for (const auto& whole : {SampleDrawing(), SampleWmf(true), SampleWmf(false)}) {
    for (size_t n = 1; n < whole.size() && n < 200; ++n) {
      std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(n)), emf;
      ::testing::internal::CaptureStderr();
      LoadMetaFileResource(part.data(), part.size(), &emf);
      ::testing::internal::GetCapturedStderr();
    }
  }
}

TEST(Load, EmzOpensAsItsMetafile) {
  TempDir tmp;
  const std::string dir = tmp.path();
  std::vector<uint8_t> sample = SampleDrawing();
  WriteBytes(dir + "/a.emf", sample);
  ASSERT_GT(CompressEMF(dir + "/a.emz", dir + "/a.emf"), 0);
  std::vector<uint8_t> emf;
  std::string error;
  ASSERT_TRUE(LoadMetaFile(dir + "/a.emz", &emf, &error)) << error;
  EXPECT_EQ(sample, emf);
  // A compressed WMF opens too.
  WriteBytes(dir + "/w.wmf", SampleWmf(true));
  ASSERT_GT(CompressEMF(dir + "/w.wmz", dir + "/w.wmf"), 0);
  ASSERT_TRUE(LoadMetaFile(dir + "/w.wmz", &emf, &error)) << error;
  EXPECT_EQ(2540, HeaderOf(emf).rclFrame.right);
}

}  // namespace
}  // namespace tsl::test
