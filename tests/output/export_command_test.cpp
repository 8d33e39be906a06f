// `tessella export`: arguments, exit codes and the files written.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/export_command.h"
#include "emf_samples.h"
#include "output/emz.h"

namespace tsl::test {
namespace {

int Export(std::vector<std::string> args) {
  args.insert(args.begin(), "export");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  ::testing::internal::CaptureStderr();
  ::testing::internal::CaptureStdout();
  int rc = RunExportCommand(static_cast<int>(argv.size()), argv.data());
  ::testing::internal::GetCapturedStdout();
  ::testing::internal::GetCapturedStderr();
  return rc;
}

uint32_t Be32(const std::vector<uint8_t>& v, size_t at) {
  return (static_cast<uint32_t>(v[at]) << 24) | (v[at + 1] << 16) | (v[at + 2] << 8) | v[at + 3];
}

TEST(ExportCommand, UsageErrorsExitWithTwo) {
  EXPECT_EQ(0, Export({"--help"}));
  EXPECT_EQ(2, Export({}));
  EXPECT_EQ(2, Export({"a.emf"}));                    // no format
  EXPECT_EQ(2, Export({"--png"}));                    // no file
  EXPECT_EQ(2, Export({"a.emf", "--png", "--pdf", "-o", "x.png"}));  // -o names one output
  EXPECT_EQ(2, Export({"a.emf", "--png", "--dpi", "300", "--width", "10"}));
  EXPECT_EQ(2, Export({"-", "--png"}));  // no name to derive from
  EXPECT_EQ(2, Export({"a.emf", "b.emf", "--png"}));
  EXPECT_EQ(2, Export({"a.emf", "--png", "--width", "0"}));
  EXPECT_EQ(2, Export({"a.emf", "--png", "--width", "12x"}));
  EXPECT_EQ(2, Export({"a.emf", "--png", "--width"}));
  EXPECT_EQ(2, Export({"a.emf", "--gif"}));
}

TEST(ExportCommand, MissingOrDamagedInputExitsWithOne) {
  TempDir tmp;
  const std::string dir = tmp.path();
  EXPECT_EQ(1, Export({dir + "/none.emf", "--png"}));
  WriteBytes(dir + "/junk.emf", {'j', 'u', 'n', 'k'});
  EXPECT_EQ(1, Export({dir + "/junk.emf", "--png"}));
  EXPECT_FALSE(std::filesystem::exists(dir + "/junk.png"));
  WriteBytes(dir + "/a.emf", SampleDrawing());
  EXPECT_EQ(1, Export({dir + "/a.emf", "--png", "-o", dir + "/no/such/a.png"}));
}

TEST(ExportCommand, EmzToPngKeepsTheProportions) {
  TempDir tmp;
  const std::string dir = tmp.path();
  WriteBytes(dir + "/a.emf", SampleDrawing());
  ASSERT_GT(CompressEMF(dir + "/a.emz", dir + "/a.emf"), 0);
  ASSERT_EQ(0, Export({dir + "/a.emz", "--png", "--width", "300"}));
  std::vector<uint8_t> png = ReadBytes(dir + "/a.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(0x89504E47u, Be32(png, 0));
  EXPECT_EQ(300u, Be32(png, 16));  // IHDR width
  EXPECT_EQ(150u, Be32(png, 20));  // the 2:1 frame
  ASSERT_EQ(0, Export({dir + "/a.emz", "--png", "--height", "40", "-o", dir + "/h.png"}));
  png = ReadBytes(dir + "/h.png");
  EXPECT_EQ(80u, Be32(png, 16));
  EXPECT_EQ(40u, Be32(png, 20));
}

TEST(ExportCommand, WmfToBmpAndJpegBesideTheInput) {
  TempDir tmp;
  const std::string dir = tmp.path();
  WriteBytes(dir + "/p.wmf", SampleWmf(true));
  ASSERT_EQ(0, Export({dir + "/p.wmf", "--bmp"}));
  std::vector<uint8_t> bmp = ReadBytes(dir + "/p.bmp");
  ASSERT_GT(bmp.size(), 30u);
  EXPECT_EQ('B', bmp[0]);
  EXPECT_EQ(800u, bmp[18] | (bmp[19] << 8));  // the default width
  EXPECT_EQ(400u, bmp[22] | (bmp[23] << 8));
  ASSERT_EQ(0, Export({dir + "/p.wmf", "--jpg", "--width", "64"}));
  std::vector<uint8_t> jpg = ReadBytes(dir + "/p.jpg");
  ASSERT_GT(jpg.size(), 2u);
  EXPECT_EQ(0xFF, jpg[0]);
  EXPECT_EQ(0xD8, jpg[1]);
}

TEST(ExportCommand, VectorFormatsKeepTheFrameSize) {
  TempDir tmp;
  const std::string dir = tmp.path();
  WriteBytes(dir + "/a.emf", SampleDrawing());
  ASSERT_EQ(0, Export({dir + "/a.emf", "--svg"}));
  std::vector<uint8_t> svg = ReadBytes(dir + "/a.svg");
  std::string text(svg.begin(), svg.end());
  EXPECT_NE(std::string::npos, text.find("<svg"));
  // 200 x 100 mm in points.
  EXPECT_NE(std::string::npos, text.find("width=\"566.929")) << text.substr(0, 300);
  // Labels are text elements, one position per character.
  EXPECT_NE(std::string::npos, text.find("x=\"0 0.6 1.2 1.8 2.4\" y=\"0 0 0 0 0\">HP-GL</text>"));
  EXPECT_NE(std::string::npos, text.find(">UP</text>"));
  ASSERT_EQ(0, Export({dir + "/a.emf", "--pdf", "-o", dir + "/out.pdf"}));
  std::vector<uint8_t> pdf = ReadBytes(dir + "/out.pdf");
  ASSERT_GT(pdf.size(), 5u);
  EXPECT_EQ("%PDF-", std::string(pdf.begin(), pdf.begin() + 5));
  std::string body(pdf.begin(), pdf.end());
  EXPECT_NE(std::string::npos, body.find("/MediaBox [ 0 0 566.9"));
  // The label's font is embedded: the text is text, not outlines.
  EXPECT_NE(std::string::npos, body.find("/FontFile2"));
}

TEST(ExportCommand, SvgTextIsEscaped) {
  TempDir tmp;
  const std::string dir = tmp.path();
  EmfBuilder b(5000, 1000);
  b.Font(1, -100, 0, "Arial").Select(1).Text(10, 50, "a<b&\"c\">");
  WriteBytes(dir + "/t.emf", b.Finish(2));
  ASSERT_EQ(0, Export({dir + "/t.emf", "--svg"}));
  std::vector<uint8_t> svg = ReadBytes(dir + "/t.svg");
  std::string text(svg.begin(), svg.end());
  EXPECT_NE(std::string::npos, text.find(">a&lt;b&amp;&quot;c&quot;&gt;</text>")) << text;
  EXPECT_NE(std::string::npos, text.find("font-family=\"'Arial', "));
}

TEST(ExportCommand, SeveralFormatsInOneRunAndDotsPerInch) {
  TempDir tmp;
  const std::string dir = tmp.path();
  WriteBytes(dir + "/a.emf", SampleDrawing());
  ASSERT_EQ(0, Export({dir + "/a.emf", "--png", "--svg", "--bmp", "--dpi", "127"}));
  // 200 mm at 127 dots per inch.
  EXPECT_EQ(1000u, Be32(ReadBytes(dir + "/a.png"), 16));
  std::vector<uint8_t> bmp = ReadBytes(dir + "/a.bmp");
  ASSERT_GT(bmp.size(), 30u);
  EXPECT_EQ(1000u, bmp[18] | (bmp[19] << 8));
  EXPECT_TRUE(std::filesystem::exists(dir + "/a.svg"));
}

TEST(ExportCommand, PdfIsDatedBySourceDateEpoch) {
  TempDir tmp;
  const std::string dir = tmp.path();
  WriteBytes(dir + "/a.emf", SampleDrawing());
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  ASSERT_EQ(0, Export({dir + "/a.emf", "--pdf", "-o", dir + "/1.pdf"}));
  ASSERT_EQ(0, Export({dir + "/a.emf", "--pdf", "-o", dir + "/2.pdf"}));
  unsetenv("SOURCE_DATE_EPOCH");
  std::vector<uint8_t> one = ReadBytes(dir + "/1.pdf"), two = ReadBytes(dir + "/2.pdf");
  std::string text(one.begin(), one.end());
  EXPECT_NE(text.find("20231114"), std::string::npos);  // 2023-11-14, the epoch's day
  // The two differ only in the title, which names the file.
  ASSERT_EQ(one.size(), two.size());
  size_t differing = 0;
  for (size_t i = 0; i < one.size(); ++i) differing += one[i] != two[i];
  EXPECT_LE(differing, 1u);
}

TEST(ExportCommand, ADamagedWindowsMetafileIsDiagnosed) {
  TempDir tmp;
  const std::string dir = tmp.path();
  std::vector<uint8_t> wmf = SampleWmf(false);
  wmf.resize(wmf.size() - 7);  // the last record cut
  WriteBytes(dir + "/cut.wmf", wmf);
  EXPECT_EQ(1, Export({dir + "/cut.wmf", "--png"}));
  EXPECT_FALSE(std::filesystem::exists(dir + "/cut.png"));
  std::vector<uint8_t> out;
  std::string error;
  EXPECT_FALSE(LoadMetafileBytes(dir + "/cut.wmf", &out, &error));
  EXPECT_NE(error.find("damaged Windows metafile"), std::string::npos) << error;
}

TEST(ExportCommand, LoadMetafileBytesExplainsFailures) {
  std::vector<uint8_t> emf;
  std::string error;
  EXPECT_FALSE(LoadMetafileBytes("/nonexistent/x.emf", &emf, &error));
  EXPECT_EQ("cannot open '/nonexistent/x.emf': No such file or directory", error);
}

}  // namespace
}  // namespace tsl::test
