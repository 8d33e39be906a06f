#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "interpreter/args.h"
#include "interpreter/fast_lane.h"
#include "interpreter/handlers.h"
#include "interpreter/lexer.h"
#include "support/conversion.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

// What the general path makes of the first command of `input`: the lexer's
// text and end offset, and GetArgs' parameters.
struct General {
  uint16_t mnemonic = 0;
  std::string text;
  uint64_t end = 0;
  int count = 0;
  Arg args[16];
};

General ByGeneralPath(const std::string& input, size_t bufferSize) {
  test::TempDir dir;
  InputFile in;
  EXPECT_TRUE(in.Open(dir.Write("in.plt", input)));
  Lexer lexer(in);
  std::vector<char> buf(bufferSize);
  General g;
  EXPECT_EQ(lexer.Next(buf.data(), buf.size(), &g.mnemonic, ETX, false), LexResult::Command) << input;
  g.text = buf.data();
  g.end = in.Tell();
  g.count = GetArgs(buf.data(), g.args, 16, 0, nullptr);
  return g;
}

bool SameDouble(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every prefix of `input` the lane takes gives what the general path gives
// for the whole input; returns whether the lane took the whole input.
bool LaneAgrees(const std::string& input, size_t bufferSize = 256) {
  bool tookWhole = false;
  for (size_t avail = 0; avail <= input.size(); ++avail) {
    Arg args[16];
    PenMotionCommand c;
    if (!ReadPenMotion(input.data(), avail, bufferSize, args, 16, &c)) continue;
    if (avail == input.size()) tookWhole = true;
    General g = ByGeneralPath(input, bufferSize);
    EXPECT_EQ(c.mnemonic, g.mnemonic) << input;
    EXPECT_EQ(static_cast<size_t>(c.length), g.text.size()) << input;
    EXPECT_EQ(c.consumed, g.end) << input << " with " << avail << " bytes read ahead";
    EXPECT_EQ(c.count, g.count) << input;
    for (int i = 0; i < c.count && i < g.count; ++i) {
      EXPECT_EQ(args[i].l, g.args[i].l) << input << " parameter " << i;
      EXPECT_TRUE(SameDouble(args[i].d, g.args[i].d)) << input << " parameter " << i;
    }
  }
  return tookWhole;
}

TEST(FastLane, TakesOrdinaryPenMotionAsTheGeneralPathReadsIt) {
  for (const char* input :
       {"PA3995,5360;", "PU;", "PD;PA1,2;", "pa10,20;", "Pd-5,+7;", "PR-0,0;", "\r\n;;PA1 2;",
        "PA123456789,-987654321;", "PA1,2PD", "PU3,4sp1;", "PD1,2,3,4,5,6,7,8;", "PU"
        "PA",
        // Numbers of every length with more text behind them, so that
        // they are read eight bytes at a time as well.
        "PA1,12,123,1234,12345,123456,1234567,12345678;PU;PU;PU;", "PA987654321,-09;PU;PU;PU;",
        "PA-7654321,+8765432PU;PU;PU;PU;"}) {
    SCOPED_TRACE(input);
    EXPECT_TRUE(LaneAgrees(input));
  }
}

TEST(FastLane, LeavesToTheGeneralPathWhatItIsNotSureOf) {
  // Long and overflowing numbers, decimals, exponents, CR/LF inside, odd
  // counts, doubled or trailing separators, a sign after a number, other
  // commands, and a command cut by the end of the input.
  for (const char* input :
       {"PA1234567890,1;PU;PU;", "PA99999999999,1;", "PA0000000001,2;", "PA1,2\xff;PU;PU;PU;",
        "PA12/4,5;PU;PU;PU;", "PA1234:,5;PU;PU;PU;", "PA1.5,2;", "PA1e3,2;", "PA1,2E",
        "PA1\r\n2,3;", "PA1\n,2;", "PA1;", "PA1,2,3;", "PA1,,2;", "PA1, 2;", "PA 1,2;", "PA1,2,;",
        "PA1-2;", "PA1,2\x1b", "PE<=1,2;", "SP1;", "PM0;", "LBPA1,2;\x03", "PA1,2", "P\nA1,2;"}) {
    SCOPED_TRACE(input);
    EXPECT_FALSE(LaneAgrees(input));
  }
}

TEST(FastLane, AgreesWithTheLexersRoomForTheText) {
  // The quick cut takes a text of up to size - 3 bytes; one more and the
  // general path grows its buffer, which the lane must leave to it.
  const std::string fits = "PA1234,5678;";  // 11 bytes of text
  EXPECT_TRUE(LaneAgrees(fits, 14));
  EXPECT_FALSE(LaneAgrees(fits, 13));
  Arg args[1];
  PenMotionCommand c;
  EXPECT_FALSE(ReadPenMotion(fits.data(), fits.size(), 256, args, 1, &c)) << "more parameters than room";
}

// The log without its first line naming the (temporary) input.
std::string WithoutInputName(const std::string& log) {
  size_t at = log.find("Input File:");
  return at == std::string::npos ? log : log.substr(0, at) + log.substr(log.find('\n', at));
}

// Converts `plot` with the lane on and off: every byte of the metafile and
// of the log must agree.
void ExpectSameWithoutLane(const std::string& plot, const SettingsSet& s = DefaultSettings()) {
  test::TestConversion on = test::ConvertForTest(plot, s);
  SetFastLaneEnabled(false);
  test::TestConversion off = test::ConvertForTest(plot, s);
  SetFastLaneEnabled(true);
  EXPECT_EQ(on.result, off.result);
  EXPECT_EQ(WithoutInputName(on.log), WithoutInputName(off.log));
  EXPECT_TRUE(on.emf == off.emf) << on.dump << "\n----\n" << off.dump;
}

TEST(FastLane, ConversionsMatchTheGeneralPath) {
  const std::string body =
      "PU;PA100,200;PD;PA300,400;pd500,600,700,800;PR10,-20;PR-30,40;PA;PU1000,1000PD1100,1200;"
      "PA1.5,2;PA1e2,3;PA1\r\n2,3;PA7,8,9;PA99999999999,1;PA1234567890,5;";
  for (const std::string& plot :
       {"IN;SP1;" + body, "IN;SC0,10000,0,7500;SP1;" + body, "IN;IP100,100,5000,4000;SC-10,10,-5,5;SP2;" + body,
        "IN;RO90;SP1;" + body, "IN;IW1000,1000,3000,3000;SP1;" + body, "IN;SP1;LT3;" + body,
        "IN;SP1;PE<=100,100;PA5,5;LBtext\x03PA10,10;" + body, "IN;SP1;SM*;" + body + "SM;PD20,20;",
        "IN;PM0;PA5,5;PD10,10;PM2;FP;" + body, body /* not initialised */}) {
    SCOPED_TRACE(plot);
    ExpectSameWithoutLane(plot);
  }
  SettingsSet s = DefaultSettings();
  s.Set(MirrorX, true);
  s.Set(Rotate, true);
  s.Rotation = 90;
  s.ScalePercent = 37;
  ExpectSameWithoutLane("IN;SC0,100,0,100;SP1;" + body, s);
}

TEST(FastLane, CommandsAcrossTheReadAheadsEndMatchTheGeneralPath) {
  // Commands of every length land on the end of the 64 KB read-ahead.
  std::string plot = "IN;SC0,10000,0,7500;SP1;";
  for (int i = 0; plot.size() < 3 * InputFile::kReadAhead; ++i) {
    plot += i % 3 ? "PU;" : "PD;";
    plot += "PA" + std::to_string(i * 7919 % 10000) + "," + std::to_string(i * 104729 % 7500) + ";";
    if (i % 5 == 0) plot += "\r\n";
    if (i % 11 == 0) plot += "PA" + std::to_string(i % 100) + ".5," + std::to_string(i % 77) + ";";
  }
  ExpectSameWithoutLane(plot);
}

}  // namespace
}  // namespace tsl
