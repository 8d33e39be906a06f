// EMZ: the exact gzip header, round trips through our reader and the
// system's gzip, failure logging, and the bounded in-memory reader.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>

#include "emf_samples.h"
#include "interpreter/conversion_log.h"
#include "interpreter/page_output.h"
#include "output/emz.h"

namespace tsl::test {
namespace {

constexpr int64_t kTime = 0x61D0A5B3;  // a fixed compression time

std::vector<uint8_t> ExpectedHeader(const std::string& name) {
  std::vector<uint8_t> h = {0x1F, 0x8B, 8, 0x18};
  for (int i = 0; i < 4; ++i) h.push_back(static_cast<uint8_t>(kTime >> (8 * i)));
  h.push_back(0);   // extra flags: default level
  h.push_back(11);  // operating system
  h.insert(h.end(), name.begin(), name.end());
  h.push_back(0);
  std::string comment = "Created by Tessella 5.4.1110";
  h.insert(h.end(), comment.begin(), comment.end());
  h.push_back(0);
  return h;
}

TEST(Emz, HeaderNamesTheMetafileInLowerCase) {
  TempDir tmp;
  const std::string dir = tmp.path();
  std::vector<uint8_t> emf = SampleDrawing();
  // A Windows-style name and a POSIX path give the same stored short name.
  for (const std::string& emfPath : {dir + "/C:\\plots\\Drawing.EMF", dir + "/Drawing.EMF"}) {
    WriteBytes(emfPath, emf);
    std::string emzPath = dir + "/out.emz";
    ASSERT_EQ(static_cast<int64_t>(emf.size()), CompressEMF(emzPath, emfPath, FixedClock(kTime)));
    std::vector<uint8_t> emz = ReadBytes(emzPath);
    std::vector<uint8_t> want = ExpectedHeader("drawing.emf");
    ASSERT_GT(emz.size(), want.size() + 8);
    EXPECT_EQ(want, std::vector<uint8_t>(emz.begin(), emz.begin() + static_cast<long>(want.size())));
    // Trailer: CRC-32 and length of the EMF bytes.
    uint32_t crc = static_cast<uint32_t>(crc32(0, emf.data(), static_cast<uInt>(emf.size())));
    size_t t = emz.size() - 8;
    EXPECT_EQ(crc, emz[t] | (emz[t + 1] << 8) | (emz[t + 2] << 16) | (static_cast<uint32_t>(emz[t + 3]) << 24));
    EXPECT_EQ(emf.size(), emz[t + 4] | (emz[t + 5] << 8) | (emz[t + 6] << 16) | (static_cast<size_t>(emz[t + 7]) << 24));

    std::vector<uint8_t> back;
    std::string error;
    ASSERT_TRUE(GunzipBytes(emz.data(), emz.size(), 1 << 20, &back, &error)) << error;
    EXPECT_EQ(emf, back);
  }
}

TEST(Emz, SystemGzipReadsOurFiles) {
  if (std::system("gzip --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no gzip on this machine";
  TempDir tmp;
  const std::string dir = tmp.path();
  std::vector<uint8_t> emf = SampleDrawing();
  WriteBytes(dir + "/a.emf", emf);
  ASSERT_GT(CompressEMF(dir + "/a.emz", dir + "/a.emf", FixedClock(kTime)), 0);
  EXPECT_EQ(0, std::system(("gzip -t '" + dir + "/a.emz'").c_str()));
  ASSERT_EQ(0, std::system(("gzip -dc < '" + dir + "/a.emz' > '" + dir + "/b.emf'").c_str()));
  EXPECT_EQ(emf, ReadBytes(dir + "/b.emf"));
}

TEST(Emz, EmptyMetafileGivesAValidGzipButCountsAsFailure) {
  TempDir tmp;
  const std::string dir = tmp.path();
  WriteBytes(dir + "/empty.emf", {});
  EXPECT_EQ(0, CompressEMF(dir + "/empty.emz", dir + "/empty.emf", FixedClock(kTime)));
  std::vector<uint8_t> emz = ReadBytes(dir + "/empty.emz");
  std::vector<uint8_t> back;
  std::string error;
  ASSERT_TRUE(GunzipBytes(emz.data(), emz.size(), 1024, &back, &error)) << error;
  EXPECT_TRUE(back.empty());

  ConversionLog log;
  std::string text;
  log.CaptureTo(&text);
  EXPECT_FALSE(CreateEMZ(dir + "/empty.emf", &log, FixedClock(kTime), CompressEMF));
  EXPECT_EQ(0u, text.find("CompressEMF(" + dir + "/empty.emf) failed: ")) << text;
  EXPECT_TRUE(std::filesystem::exists(dir + "/empty.emf"));
}

TEST(Emz, CreateEmzReplacesTheMetafileAndLogsItsSize) {
  TempDir tmp;
  const std::string dir = tmp.path();
  WriteBytes(dir + "/Page.emf", SampleDrawing());
  ConversionLog log;
  std::string text;
  log.CaptureTo(&text);
  ASSERT_TRUE(CreateEMZ(dir + "/Page.emf", &log, FixedClock(kTime), CompressEMF));
  auto size = std::filesystem::file_size(dir + "/Page.emz");
  EXPECT_EQ("\r\nOutput File:   " + dir + "/Page.emz (" + std::to_string(size) + " Bytes)\r\n", text);
  EXPECT_EQ(2u, log.nLogLines);
  EXPECT_FALSE(std::filesystem::exists(dir + "/Page.emf"));
}

TEST(Emz, FailuresLeaveNoFileUnderTheFinalName) {
  TempDir tmp;
  const std::string dir = tmp.path();
  ConversionLog log;
  std::string text;
  log.CaptureTo(&text);
  // A missing metafile: nothing is made and the failure is logged.
  EXPECT_FALSE(CreateEMZ(dir + "/missing.emf", &log, FixedClock(kTime), CompressEMF));
  EXPECT_NE(std::string::npos, text.find("failed: ")) << text;
  EXPECT_FALSE(std::filesystem::exists(dir + "/missing.emz"));
  EXPECT_EQ(1u, log.Entries().errors);
  // A folder that does not exist.
  WriteBytes(dir + "/a.emf", SampleDrawing());
  EXPECT_EQ(0, CompressEMF(dir + "/no/such/a.emz", dir + "/a.emf"));
  EXPECT_EQ(1u, std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()));
  // A run that was lent no compressor says so and keeps the metafile.
  WriteBytes(dir + "/kept.emf", SampleDrawing());
  std::string why;
  EXPECT_FALSE(CreateEMZ(dir + "/kept.emf", &log, FixedClock(kTime), nullptr, &why));
  EXPECT_EQ("no compressor was given", why);
  EXPECT_TRUE(std::filesystem::exists(dir + "/kept.emf"));
}

TEST(Emz, UncompressPassesPlainFilesThroughAndRefusesDamage) {
  TempDir tmp;
  const std::string dir = tmp.path();
  std::vector<uint8_t> emf = SampleDrawing();
  WriteBytes(dir + "/plain.emf", emf);
  EXPECT_EQ(static_cast<int64_t>(emf.size()), UncompressEMF(dir + "/copy.emf", dir + "/plain.emf"));
  EXPECT_EQ(emf, ReadBytes(dir + "/copy.emf"));

  WriteBytes(dir + "/a.emf", emf);
  ASSERT_GT(CompressEMF(dir + "/a.emz", dir + "/a.emf"), 0);
  EXPECT_EQ(static_cast<int64_t>(emf.size()), UncompressEMF(dir + "/b.emf", dir + "/a.emz"));
  EXPECT_EQ(emf, ReadBytes(dir + "/b.emf"));

  // Cut off inside the deflate data: no truncated EMF is left behind.
  std::vector<uint8_t> emz = ReadBytes(dir + "/a.emz");
  emz.resize(emz.size() / 2);
  WriteBytes(dir + "/cut.emz", emz);
  EXPECT_EQ(0, UncompressEMF(dir + "/cut.emf", dir + "/cut.emz"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/cut.emf"));
}

TEST(Emz, HeaderCanOnlyBeSetBeforeTheFirstByte) {
  TempDir tmp;
  const std::string dir = tmp.path();
  GzipWriter w;
  EXPECT_EQ(0, gzipheader(w, "x", kTime, "c"));  // not open: nothing to do
  ASSERT_TRUE(w.Open(dir + "/x.gz"));
  EXPECT_EQ(0, gzipheader(w, "x.emf", kTime, ""));
  ASSERT_EQ(3u, w.Write("abc", 3));
  EXPECT_NE(0, gzipheader(w, "late", kTime, "c"));
  EXPECT_EQ(0, w.Close());
  std::vector<uint8_t> gz = ReadBytes(dir + "/x.gz");
  ASSERT_GT(gz.size(), 16u);
  EXPECT_EQ(0x08, gz[3]);  // a name but no comment
  std::vector<uint8_t> back;
  std::string error;
  ASSERT_TRUE(GunzipBytes(gz.data(), gz.size(), 16, &back, &error)) << error;
  EXPECT_EQ(std::vector<uint8_t>({'a', 'b', 'c'}), back);
}

TEST(Emz, InMemoryReaderCapsItsOutput) {
  // 8 MiB of zeros squeeze into a few kilobytes: a bomb for a 1 MiB cap.
  std::vector<uint8_t> zeros(8u << 20, 0), gz(1u << 20);
  z_stream s{};
  ASSERT_EQ(Z_OK, deflateInit2(&s, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY));
  s.next_in = zeros.data();
  s.avail_in = static_cast<uInt>(zeros.size());
  s.next_out = gz.data();
  s.avail_out = static_cast<uInt>(gz.size());
  ASSERT_EQ(Z_STREAM_END, deflate(&s, Z_FINISH));
  gz.resize(s.total_out);
  deflateEnd(&s);
  std::vector<uint8_t> out;
  std::string error;
  EXPECT_FALSE(GunzipBytes(gz.data(), gz.size(), 1u << 20, &out, &error));
  EXPECT_NE(std::string::npos, error.find("exceed")) << error;
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(GunzipBytes(gz.data(), gz.size(), 8u << 20, &out, &error)) << error;
  EXPECT_EQ(zeros.size(), out.size());
  // Damaged and truncated data are refused with a reason.
  gz[gz.size() / 2] ^= 0xFF;
  EXPECT_FALSE(GunzipBytes(gz.data(), gz.size(), 8u << 20, &out, &error));
  EXPECT_FALSE(GunzipBytes(gz.data(), 12, 8u << 20, &out, &error));
}

}  // namespace
}  // namespace tsl::test
