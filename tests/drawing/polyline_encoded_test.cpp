#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "drawing/pe_decoder.h"
#include "polyline_encoded_encoder.h"
#include "support/handler_fixture.h"

namespace tsl::test {
namespace {

// IN, with its records, log and count forgotten.
void Start(HandlerFixture& f) {
  f.Init();
  f.ps.nExecuted = f.ps.nIgnored = f.ps.nErrors = 0;
}

std::vector<int64_t> DecodeAll(const std::string& bytes, bool fiveBit = false) {
  // An exact-size copy, so that a read past the NUL is caught by the
  // sanitizer build.
  std::vector<char> text(bytes.begin(), bytes.end());
  text.push_back('\0');
  PeDecoder dec(text.data());
  if (fiveBit) dec.SetFiveBit();
  std::vector<int64_t> out;
  int64_t v;
  while (!dec.AtEnd() && dec.ReadNumber(&v)) out.push_back(v);
  return out;
}

TEST(PeDecoder, SmallNumbers) {
  EXPECT_EQ(PeNumber(0), "\xBF");
  EXPECT_EQ(PeNumber(1), "\xC1");
  EXPECT_EQ(PeNumber(-1), "\xC2");
  EXPECT_EQ(PeNumber(32), std::string("?") + "\xC0");
  EXPECT_EQ(PeNumber(32, 5), "?a");
  EXPECT_EQ(DecodeAll("\xBF\xC1\xC2?\xC0"), (std::vector<int64_t>{0, 1, -1, 32}));
  EXPECT_EQ(DecodeAll("_ab?a", true), (std::vector<int64_t>{0, 1, -1, 32}));
}

TEST(PeDecoder, RoundTripsRandomValuesAndBytes) {
  std::mt19937_64 rng(20240611);
  for (int bits : {6, 5}) {
    // Values to bytes and back.
    for (int i = 0; i < 5000; ++i) {
      int shift = static_cast<int>(rng() % 62);
      int64_t v = static_cast<int64_t>(rng() >> (2 + shift));
      if (rng() & 1) v = -v;
      ASSERT_EQ(DecodeAll(PeNumber(v, bits), bits == 5), std::vector<int64_t>{v}) << v;
    }
    // Well-formed bytes to values and back: random digits, the last one
    // non-zero so that the writing is the shortest one.
    const int base = 1 << bits, lastOffset = bits == 6 ? 191 : 95;
    for (int i = 0; i < 5000; ++i) {
      std::string bytes;
      int numbers = 1 + static_cast<int>(rng() % 4);
      for (int k = 0; k < numbers; ++k) {
        int digits = 1 + static_cast<int>(rng() % (bits == 6 ? 10 : 12));
        for (int d = 0; d + 1 < digits; ++d) bytes += static_cast<char>(63 + rng() % base);
        int last = static_cast<int>(rng() % base);
        if (digits > 1 && last == 0) last = 1;
        if (digits == 1 && last == 1) last = 0;  // "-0" has no shortest form of its own
        bytes += static_cast<char>(lastOffset + last);
      }
      std::string again;
      for (int64_t v : DecodeAll(bytes, bits == 5)) again += PeNumber(v, bits);
      ASSERT_EQ(again, bytes);
    }
  }
}

TEST(PeDecoder, EndsAtTheTextOrAStrayByte) {
  // The end of the text ends a number: the first digit of 1000 alone is 8.
  EXPECT_EQ(DecodeAll(PeNumber(1000).substr(0, 1)), std::vector<int64_t>{8});
  for (char stray : {'\x7F', '\x80', '\xBE', '\xFF', ' ', ':'}) {
    std::string bytes = PeNumber(5) + PeNumber(1000).substr(0, 1) + stray + PeNumber(7);
    std::vector<char> text(bytes.begin(), bytes.end());
    text.push_back('\0');
    PeDecoder dec(text.data());
    int64_t v;
    ASSERT_TRUE(dec.ReadNumber(&v));
    EXPECT_EQ(v, 5);
    ASSERT_TRUE(dec.ReadNumber(&v));  // the digits before the stray byte count
    EXPECT_EQ(v, 8);
    EXPECT_TRUE(dec.Stopped());
    EXPECT_EQ(dec.StrayByte(), static_cast<uint8_t>(stray));
    EXPECT_TRUE(dec.AtEnd());
    EXPECT_FALSE(dec.ReadNumber(&v));
  }
  // In 5-bit mode the 6-bit last digits are strays.
  PeDecoder dec("\xC1");
  dec.SetFiveBit();
  int64_t v;
  EXPECT_FALSE(dec.ReadNumber(&v));
  EXPECT_TRUE(dec.Stopped());
  // Far too many digits neither overflow nor read beyond the text.
  EXPECT_EQ(DecodeAll(std::string(300, '~') + "\xFE").size(), 1u);
}

class PeTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(f); }
  void Pe(const std::string& data) { f.Run("PE" + data); }
  HandlerFixture f;
};

TEST_F(PeTest, OnePairIsALineAndRunsArePolylines) {
  Pe(PePair(10, 20));
  EXPECT_EQ(f.device.Joined(), "LineTo 10,20\nSetPixel 10,20 #000000");
  EXPECT_EQ(f.ps.fPenDown, 1);
  f.ClearRecords();
  Pe(PePair(10, 0) + PePair(0, 10) + PePair(-10, 0));
  EXPECT_EQ(f.device.Joined(), "PolylineTo (20,20) (20,30) (10,30)\nSetPixel 10,30 #000000");
  EXPECT_EQ(f.ps.xPen, 10);
  EXPECT_EQ(f.ps.yPen, 30);
  EXPECT_EQ(f.ps.nExecuted, 2);
}

TEST_F(PeTest, PenUpPairThenRun) {
  Pe("<" + PePair(100, 100) + PePair(10, 0) + PePair(0, 10) + PePair(-10, 0));
  EXPECT_EQ(f.device.Joined(),
            "MoveToEx 100,100\nPolylineTo (110,100) (110,110) (100,110)\nSetPixel 100,110 #000000");
  // The pen-up point grows the extents too.
  EXPECT_EQ(f.ps.xMin, 100);
  EXPECT_EQ(f.ps.yMin, 100);
  EXPECT_EQ(f.ps.xMax, 110);
  EXPECT_EQ(f.ps.yMax, 110);

  // A lone pen-up pair draws nothing.
  f.ClearRecords();
  Pe("<" + PePair(-100, 0));
  EXPECT_EQ(f.device.Joined(), "MoveToEx 0,110");
  EXPECT_EQ(f.ps.fPenDown, 1);
}

TEST_F(PeTest, AbsoluteFlagAffectsOnePair) {
  f.Run("PR");  // relative plotting must survive PE
  Pe(PePair(5, 5) + "=" + PePair(100, 200) + PePair(1, 1));
  EXPECT_EQ(f.device.Joined(),
            "LineTo 5,5\nSetPixel 5,5 #000000\nPolylineTo (100,200) (101,201)\nSetPixel 101,201 #000000");
  EXPECT_TRUE(f.ps.bMode & RELATIVE);
  f.Run("PA");
  Pe(PePair(1, 1));
  EXPECT_FALSE(f.ps.bMode & RELATIVE);
}

TEST_F(PeTest, PenUpHoldsAcrossFlags) {
  Pe("<=" + PePair(1000, 1000) + PePair(10, 0));
  EXPECT_EQ(f.device.Joined(), "MoveToEx 1000,1000\nLineTo 1010,1000\nSetPixel 1010,1000 #000000");
}

TEST_F(PeTest, SelectPen) {
  Pe(":" + PeNumber(2) + PePair(10, 0));
  EXPECT_EQ(f.device.Joined(), "SelectObject pen(0,12,#0000ff)\nLineTo 10,0\nSetPixel 10,0 #0000ff");
  EXPECT_EQ(f.ps.iPen, 2);
  f.ClearRecords();
  Pe(":" + PeNumber(20) + PePair(0, 10));
  EXPECT_EQ(f.logText, "PE: SelectPen (20) out of range!\r\n");
  EXPECT_EQ(f.ps.iPen, 15);
  EXPECT_EQ(f.device.calls[0], "SelectObject pen(0,12,#808000)");
  f.ClearRecords();
  Pe(":" + PeNumber(-1));
  EXPECT_EQ(f.logText, "PE: SelectPen (-1) out of range!\r\n");
  EXPECT_EQ(f.ps.iPen, 15);
  EXPECT_EQ(f.ps.nErrors + f.ps.nIgnored, 0);
}

TEST_F(PeTest, FiveBitDigitsGiveTheSamePoints) {
  Pe("<" + PePair(1234, -567) + PePair(40, 0) + PePair(-7, 99));
  std::string six = f.device.Joined();
  f.Run("IN");
  f.ClearRecords();
  Pe("7<" + PePair(1234, -567, 5) + PePair(40, 0, 5) + PePair(-7, 99, 5));
  EXPECT_EQ(f.device.Joined(), six);
  EXPECT_EQ(six, "MoveToEx 1234,-567\nPolylineTo (1274,-567) (1267,-468)\nSetPixel 1267,-468 #000000");
}

TEST_F(PeTest, FractionalBits) {
  // Magnitude 6 with two fraction bits is 1.5: 1 as plotter units...
  Pe(">" + PeNumber(2) + PePair(6, -6));
  EXPECT_EQ(f.device.Joined(), "LineTo 1,-1\nSetPixel 1,-1 #000000");
  // ...and 1.5 in user units when scaling is on.
  f.Run("IN");
  f.Run("SC0,100,0,100");
  f.ClearRecords();
  Pe(">" + PeNumber(2) + PePair(6, 6));
  // IN put the pen back at the origin, where the metafile is not.
  EXPECT_EQ(f.device.Joined(), "MoveToEx 0,0\nLineTo 178,126\nSetPixel 178,126 #000000");
}

TEST_F(PeTest, FollowsRotationAndMirroring) {
  f.Run("RO90");
  Pe(PePair(100, 0) + "=" + PePair(0, 50));
  EXPECT_EQ(f.device.Joined(), "LineTo 0,100\nSetPixel 0,100 #000000\nLineTo -50,0\nSetPixel -50,0 #000000");

  SettingsSet s = DefaultSettings();
  s.Set(MirrorX, true);
  HandlerFixture m(s);
  Start(m);
  m.Run("PE" + PePair(100, 10) + PePair(5, 5) + "=" + PePair(1000, 0));
  EXPECT_EQ(m.device.Joined(),
            "PolylineTo (-100,10) (-105,15)\nSetPixel -105,15 #000000\n"
            "LineTo 10880,0\nSetPixel 10880,0 #000000");
}

TEST_F(PeTest, DataEndsAtALowByteOrAStrayOne) {
  Pe(PePair(10, 0) + "!" + PePair(50, 50));
  EXPECT_EQ(f.device.Joined(), "LineTo 10,0\nSetPixel 10,0 #000000");
  EXPECT_TRUE(f.logText.empty());

  f.ClearRecords();
  Pe(PePair(10, 0) + PePair(5, 5) + "\x7F" + PePair(50, 50));
  EXPECT_EQ(f.device.Joined(), "PolylineTo (20,0) (25,5)\nSetPixel 25,5 #000000");
  EXPECT_NE(f.logText.find("Warning: PE: Invalid byte 0x7F"), std::string::npos);
  EXPECT_EQ(f.ps.nExecuted, 2);

  // A pair cut off after x is dropped.
  f.ClearRecords();
  Pe(PePair(1, 1) + PeNumber(1000));
  EXPECT_EQ(f.device.Joined(), "LineTo 26,6\nSetPixel 26,6 #000000");
}

TEST(PeMeasureOnly, MovesWithoutRecording) {
  HandlerFixture f(DefaultSettings(), true);
  Start(f);
  f.Run("PE:" + PeNumber(3) + "<" + PePair(100, 100) + PePair(50, 0) + PePair(0, 50));
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.iPen, 3);
  EXPECT_EQ(f.ps.xPen, 150);
  EXPECT_EQ(f.ps.yPen, 150);
  EXPECT_EQ(f.ps.xMax, 150);
  EXPECT_EQ(f.ps.xMin, 100);
  EXPECT_EQ(f.ps.nExecuted, 1);
}

TEST(PeHostile, RandomBytesStayInBounds) {
  std::mt19937 rng(7);
  HandlerFixture f;
  Start(f);
  f.Run("PA");
  for (int i = 0; i < 3000; ++i) {
    std::vector<char> text = {'P', 'E'};
    size_t n = rng() % 64;
    for (size_t k = 0; k < n; ++k) {
      // Mostly small valid numbers and flags, some of any byte.
      unsigned r = rng() % 10;
      char c = r < 6   ? static_cast<char>(191 + rng() % 8)
               : r < 8 ? ":<=>7"[rng() % 5]
                       : static_cast<char>(1 + rng() % 255);
      text.push_back(c);
    }
    text.push_back('\0');
    f.ps.offCommand = static_cast<uint32_t>(i);
    DoPE(Mnemonic('P', 'E'), text.data(), f.ps);
    ASSERT_FALSE(f.ps.bMode & RELATIVE);
    ASSERT_LT(f.ps.iPen, f.ps.nPens);
    if (i % 100 == 0) f.ClearRecords();
  }
  EXPECT_EQ(f.ps.nExecuted, 3001);
}

}  // namespace
}  // namespace tsl::test
