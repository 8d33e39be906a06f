#include "dde/dde_logic.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tsl::dde {
namespace {

uint32_t LE32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(DdeResult, RecordIsLittleEndianWithTheTerminatedPath) {
  std::vector<uint8_t> b = TslDataBytes(MakeTslData("C:\\plots\\a.emf", 1000, 500));
  ASSERT_EQ(b.size(), 268u);
  EXPECT_EQ(LE32(b, 0), 268u);
  EXPECT_EQ(LE32(b, 4), 1000u);
  EXPECT_EQ(LE32(b, 8), 500u);
  EXPECT_STREQ(reinterpret_cast<const char*>(&b[12]), "C:\\plots\\a.emf");
  for (size_t i = 12 + std::strlen("C:\\plots\\a.emf"); i < b.size(); ++i) ASSERT_EQ(b[i], 0) << i;
  // Big values keep every byte.
  b = TslDataBytes(MakeTslData(nullptr, 0x01020304u, 0xA0B0C0D0u));
  EXPECT_EQ(LE32(b, 4), 0x01020304u);
  EXPECT_EQ(b[4], 0x04);
  EXPECT_EQ(LE32(b, 8), 0xA0B0C0D0u);
}

TEST(DdeResult, NoPathIsAllZeroAndALongPathIsCutTerminated) {
  std::vector<uint8_t> none = TslDataBytes(MakeTslData(nullptr, 0, 0));
  for (size_t i = 4; i < none.size(); ++i) ASSERT_EQ(none[i], 0) << i;
  EXPECT_EQ(TslDataBytes(MakeTslData("", 0, 0)), none);

  std::string longPath(400, 'x');
  TSLData d = MakeTslData(longPath.c_str(), 1, 2);
  std::vector<uint8_t> b = TslDataBytes(d);
  EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(&b[12])), 255u);
  EXPECT_EQ(b[267], 0);
  EXPECT_EQ(ResultText(d), "File=\"" + std::string(255, 'x') + "\" Width=1 Height=2");
}

TEST(DdeResult, Texts) {
  EXPECT_EQ(ResultText(MakeTslData("C:\\a b\\p.emf", 1000, 500)), "File=\"C:\\a b\\p.emf\" Width=1000 Height=500");
  EXPECT_EQ(ResultText(MakeTslData(nullptr, 0, 0)), "File=\"\" Width=0 Height=0");
  EXPECT_EQ(ResultText(MakeTslData(nullptr, 4294967295u, 7)), "File=\"\" Width=4294967295 Height=7");
  std::string v = VersionText();
  EXPECT_EQ(v.substr(0, v.find('\r')), "Tessella Version 5.4 Build 1110 (14 Feb 2018)");
  size_t first = v.find("\r\n"), second = v.find("\r\n", first + 2);
  ASSERT_NE(second, std::string::npos) << "three lines";
  EXPECT_EQ(v.find("\r\n", second + 2), std::string::npos);
  EXPECT_NE(v.find("Copyright"), std::string::npos);
  EXPECT_EQ(v.substr(second + 2, 7), "http://");
}

TEST(DdeResult, ExtentOfNothingIsZero) {
  EXPECT_EQ(Extent(-100, 900), 1000u);
  EXPECT_EQ(Extent(5, 5), 0u);
  // An empty drawing leaves the extents crossed (min the page, max minus it).
  EXPECT_EQ(Extent(16000, -16000), 0u);
  EXPECT_EQ(Extent(INT32_MIN, INT32_MAX), 4294967295u);
}

TEST(DdeCommand, ConvertAndParseLines) {
  EXPECT_EQ(DdeCommandLine(false, "C:\\p\\a.plt"), "-DDE C:\\p\\a.plt");
  EXPECT_EQ(DdeCommandLine(true, "a.plt"), "-DDE -E a.plt");
  EXPECT_EQ(DdeCommandLine(false, ""), "-DDE ");
  // Execute data may carry bytes after its NUL.
  EXPECT_EQ(DdeCommandLine(false, std::string("a.plt\0junk", 10)), "-DDE a.plt");
  EXPECT_EQ(DdeCommandLine(true, std::string(500, 'f')).size(), kMaxDdeCommandLine);
}

TEST(DdeTopics, WildConnectAndNames) {
  EXPECT_TRUE(AnswersWildConnect(Topic::None, true));
  EXPECT_TRUE(AnswersWildConnect(Topic::Convert, true));
  EXPECT_TRUE(AnswersWildConnect(Topic::Parse, true));
  EXPECT_FALSE(AnswersWildConnect(Topic::Version, true));
  EXPECT_FALSE(AnswersWildConnect(Topic::Exit, true));
  EXPECT_FALSE(AnswersWildConnect(Topic::Other, true));
  EXPECT_FALSE(AnswersWildConnect(Topic::None, false));
  EXPECT_EQ(WildConnectTopics(), (std::vector<Topic>{Topic::Convert, Topic::Parse, Topic::Version}));
  EXPECT_EQ(TopicOf("convert"), Topic::Convert);
  EXPECT_EQ(TopicOf("PARSE"), Topic::Parse);
  EXPECT_EQ(TopicOf("Version"), Topic::Version);
  EXPECT_EQ(TopicOf("Exit"), Topic::Exit);
  EXPECT_EQ(TopicOf("Exits"), Topic::Other);
  EXPECT_EQ(TopicOf(nullptr), Topic::None);
}

TEST(DdeProgress, PassesOnlyChangesAndStartsAfreshAfterReset) {
  ProgressGate gate;
  EXPECT_TRUE(gate.Pass(0));
  EXPECT_FALSE(gate.Pass(0));
  EXPECT_TRUE(gate.Pass(5));
  EXPECT_FALSE(gate.Pass(5));
  EXPECT_TRUE(gate.Pass(100));
  gate.Reset();
  EXPECT_TRUE(gate.Pass(100)) << "a new run hears its first value even when it is the last one's";
}

}  // namespace
}  // namespace tsl::dde
