#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/conversion.h"

namespace tsl {
namespace {

using test::ConvertForTest;

TEST(HostileInput, SeparatorsOnlyAndBinaryGarbageConvertSafely) {
  auto seps = ConvertForTest(std::string(10000, ';') + std::string(5000, ',') + "\r\n\t 123.456");
  EXPECT_EQ(seps.result, 1);
  EXPECT_NE(seps.log.find("* Commands executed:  1\r\n"), std::string::npos);
  EXPECT_NE(seps.dump.find("EMR_EOF"), std::string::npos);

  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    std::string junk(1 + rng() % 6000, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    SettingsSet s = DefaultSettings();
    s.Flags ^= rng();  // any combination of options
    s.Set(MeasureOnly, round % 4 == 0);
    s.InitialCmdBuffer = 1 + rng() % 300;
    auto c = ConvertForTest(junk, s);
    EXPECT_EQ(c.result, 1) << "round " << round;
    if (round % 4 == 0)
      EXPECT_TRUE(c.log.empty()) << "a measure-only run keeps no log";
    else
      EXPECT_NE(c.log.find("Statistics:"), std::string::npos) << "round " << round;
  }
}

TEST(HostileInput, PlotterCommandsWithAbsurdParameters) {
  std::string huge(350, '9');
  std::string plot = "IP-" + huge + "," + huge + ";SC0,1,0,1;RO-32768;PR" + huge + ",-" + huge +
                     ";PD;PA-2147483648,2147483647,1e5;IW" + huge + ",0,-" + huge +
                     ",1;PS2147483647,2147483647;IN;PS0;PD" + huge + "," + huge + ";";
  for (bool measure : {false, true}) {
    SettingsSet s = DefaultSettings();
    s.Set(MeasureOnly, measure);
    s.Set(Rotate, true);
    s.Rotation = 270;
    s.Set(MirrorX, true);
    s.PageWidth = 32767;
    auto c = ConvertForTest(plot, s);
    EXPECT_EQ(c.result, 1);
  }
}

TEST(HostileInput, UnfinishedCommandsAtTheEndOfTheFile) {
  for (const char* tail : {"P", "PA", "PA1,", "LBno terminator", "CO\"open", "\x1b", "\x1b%", "\x1b&l",
                           "MGno end", "PE", "SM", "DT"}) {
    auto c = ConvertForTest(std::string("PD1,1;") + tail);
    EXPECT_EQ(c.result, 1) << tail;
    EXPECT_NE(c.dump.find("EMR_EOF"), std::string::npos) << tail;
  }
}

}  // namespace
}  // namespace tsl
