#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "interpreter/output_routines.h"
#include "support/handler_fixture.h"

namespace tsl::test {
namespace {

// IN, with its records, log and count forgotten.
void Start(HandlerFixture& f) {
  f.Init();
  f.ps.nExecuted = f.ps.nIgnored = f.ps.nErrors = 0;
}

// The pen last created through the device, as the call log describes it.
std::string LastPen(const CallLogDevice& d) {
  for (auto it = d.calls.rbegin(); it != d.calls.rend(); ++it)
    if (it->rfind("SelectObject pen(", 0) == 0) return it->substr(13);
  return "";
}

gdi::LogBrush FillBrush(const HandlerFixture& f) {
  const gdi::ObjectData* d = f.objects.Find(f.ps.hbrFill);
  if (!d || !std::holds_alternative<gdi::LogBrush>(*d)) return gdi::LogBrush{99, 0, 0};
  return std::get<gdi::LogBrush>(*d);
}

bool Contains(const std::string& hay, const std::string& needle) {
  return hay.find(needle) != std::string::npos;
}

TEST(PenSelect, RangeFollowsThePenCount) {
  HandlerFixture f;
  Start(f);
  // Beyond the pen count the numbers wrap around: 16 pens make SP17 pen 1.
  f.Run("SP17");
  EXPECT_EQ(f.ps.iPen, 1);
  EXPECT_TRUE(f.logText.empty());
  EXPECT_EQ(f.ps.nExecuted, 1);

  f.Run("SP15");
  EXPECT_EQ(f.ps.iPen, 15);
  f.ClearRecords();
  f.Run("SP-1");
  EXPECT_TRUE(Contains(f.logText, "Warning: Pen number out of range: 'SP-1' at offset 0x"));
  EXPECT_EQ(f.ps.iPen, 15);
  EXPECT_EQ(f.ps.nErrors, 1);
  EXPECT_TRUE(f.device.calls.empty());

  f.Run("NP17");
  f.Run("SP16");
  EXPECT_EQ(f.ps.iPen, 16);
  EXPECT_EQ(f.ps.nErrors, 1);

  f.Run("SP");
  EXPECT_EQ(f.ps.iPen, 0);
}

TEST(PenSelect, MakesPenBrushAndTextColour) {
  HandlerFixture f;
  Start(f);
  f.Run("SP2");
  // Pen 2 is red by default; the pen replaced by the first SP is the
  // device's stock pen, which is never deleted.
  EXPECT_EQ(f.device.Joined(),
            "SelectObject pen(0,12,#0000ff)\nDeleteObject brush(0,#000000,0)\nSetTextColor #0000ff");
  EXPECT_EQ(FillBrush(f).style, gdi::BS_SOLID);
  EXPECT_EQ(FillBrush(f).color, gdi::RGB(255, 0, 0));

  f.ClearRecords();
  f.ps.iFillType = 3;
  f.Run("SP3");
  EXPECT_EQ(f.device.Joined(),
            "SelectObject pen(0,12,#00ff00)\nDeleteObject pen(0,12,#0000ff)\n"
            "DeleteObject brush(0,#0000ff,0)\nSetTextColor #00ff00");
  EXPECT_EQ(FillBrush(f).style, gdi::BS_HATCHED);
  EXPECT_EQ(FillBrush(f).hatch, gdi::HS_HORIZONTAL);
  EXPECT_EQ(FillBrush(f).color, gdi::RGB(0, 255, 0));

  f.ps.iFillType = 4;
  f.Run("SP5");
  EXPECT_EQ(FillBrush(f).hatch, gdi::HS_DIAGCROSS);
  EXPECT_EQ(FillBrush(f).color, gdi::RGB(0, 0, 255));
  EXPECT_EQ(f.ps.nExecuted, 3);
}

TEST(PenSelect, ReplacedObjectsAreReleased) {
  HandlerFixture f;
  Start(f);
  f.Run("SP1");
  size_t live = f.objects.LiveCount();
  for (int i = 0; i < 50; ++i) f.Run(i % 2 ? "SP1" : "SP2");
  EXPECT_EQ(f.objects.LiveCount(), live);
}

TEST(PenSelect, MeasureOnlyRecordsNothingButKeepsTheBrush) {
  HandlerFixture f(DefaultSettings(), true);
  Start(f);
  f.Run("SP4");
  EXPECT_EQ(f.ps.iPen, 4);
  EXPECT_EQ(FillBrush(f).color, gdi::RGB(255, 255, 0));
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.nExecuted, 1);
}

TEST(PenCount, RoundsUpToAPowerOfTwo) {
  const struct {
    const char* cmd;
    int pens;
  } cases[] = {{"NP", 16},    {"NP0", 2},     {"NP-7", 2},    {"NP2", 2},     {"NP3", 4},
               {"NP5", 8},    {"NP16", 16},   {"NP17", 32},   {"NP64", 64},   {"NP65", 128},
               {"NP129", 256}, {"NP1000", 256}, {"NP99999999999", 256}};
  for (const auto& c : cases) {
    HandlerFixture f;
    Start(f);
    f.Run("SP9");
    f.Run(c.cmd);
    EXPECT_EQ(f.ps.nPens, c.pens) << c.cmd;
    EXPECT_EQ(f.ps.iPen, 9) << c.cmd;  // never moved, even beyond the count
  }
}

TEST(PenColour, DefaultRangeAndLimits) {
  HandlerFixture f;
  Start(f);
  f.Run("PC1,255,0,0");
  EXPECT_EQ(f.settings.PenColor[1], gdi::RGB(255, 0, 0));
  f.Run("PC1,128,128,128");
  EXPECT_EQ(f.settings.PenColor[1], gdi::RGB(128, 128, 128));
  f.Run("PC15,300,-5,100");
  EXPECT_EQ(f.settings.PenColor[15], gdi::RGB(255, 0, 100));
  f.Run("PC0," + std::string(400, '9') + ",0,0");  // an infinite component stays in range
  EXPECT_EQ(f.settings.PenColor[0], gdi::RGB(255, 0, 0));
  EXPECT_EQ(f.ps.nExecuted, 4);
  // Only the last one coloured the current pen (0): made again in red.
  EXPECT_EQ(LastPen(f.device), "pen(0,12,#0000ff)");
  EXPECT_EQ(f.device.calls.front(), "SelectObject pen(0,12,#0000ff)");
}

TEST(PenColour, Refusals) {
  HandlerFixture f;
  Start(f);
  gdi::COLORREF before = f.settings.PenColor[1];
  f.Run("PC1,255,0");
  EXPECT_TRUE(Contains(f.logText, "Error: Expecting 0, 1 or 4 parameters: 'PC1,255,0' at offset 0x"));
  f.Run("PC16,255,0,0");
  EXPECT_TRUE(Contains(f.logText, "Warning: Pen number out of range: 'PC16,255,0,0'"));
  f.Run("PC16");
  EXPECT_EQ(f.ps.nIgnored, 3);
  EXPECT_EQ(f.ps.nErrors, 0);
  EXPECT_EQ(f.settings.PenColor[1], before);

  HandlerFixture g;
  g.settings.Set(IgnorePC, true);
  Start(g);
  g.Run("PC1,255,255,255");
  EXPECT_EQ(g.settings.PenColor[1], before);
  EXPECT_EQ(g.ps.nIgnored, 1);
  EXPECT_TRUE(g.logText.empty());
}

TEST(PenColour, AnotherPensColourWaitsForItsSelection) {
  HandlerFixture f;
  Start(f);
  f.Run("SP1");
  f.ClearRecords();
  f.Run("PC2,0,0,255");
  EXPECT_TRUE(f.device.calls.empty());
  f.Run("SP2");
  EXPECT_EQ(LastPen(f.device), "pen(0,12,#ff0000)");
}

TEST(PenColour, LastsForTheRunAcrossInit) {
  HandlerFixture f;
  Start(f);
  f.Run("PC3,10,20,30");
  f.Run("IN");
  f.ClearRecords();
  f.Run("SP3");
  EXPECT_EQ(LastPen(f.device), "pen(0,12,#1e140a)");
}

TEST(ColourRange, MapsPenColours) {
  HandlerFixture f;
  Start(f);
  f.Run("CR0,100,0,100,0,100");
  f.Run("PC2,50,100,0");
  EXPECT_EQ(f.settings.PenColor[2], gdi::RGB(128, 255, 0));
  // Signed references: -100..100 puts 0 in the middle.
  f.Run("CR-100,100,0,255,255,0");
  f.Run("PC2,0,255,0");
  EXPECT_EQ(f.settings.PenColor[2], gdi::RGB(128, 255, 255));
  f.Run("CR");
  f.Run("PC2,50,100,0");
  EXPECT_EQ(f.settings.PenColor[2], gdi::RGB(50, 100, 0));
  EXPECT_EQ(f.ps.nExecuted, 6);
}

TEST(ColourRange, Refusals) {
  HandlerFixture f;
  Start(f);
  f.Run("CR0,100,0,100,0,100");
  f.Run("CR0,0,0,255,0,255");
  EXPECT_TRUE(Contains(f.logText, "CR: Invalid Parameter (black-ref = white-ref)\r\n"));
  EXPECT_EQ(f.ps.nErrors, 1);
  // 65536 is 0 in sixteen bits: an empty range too.
  f.Run("CR0,65536,0,255,0,255");
  EXPECT_EQ(f.ps.nErrors, 2);
  f.Run("CR0,255,0");
  EXPECT_TRUE(Contains(f.logText, "Error: Expecting 6 parameters: 'CR0,255,0'"));
  EXPECT_EQ(f.ps.nIgnored, 1);
  f.Run("PC1,50,50,50");  // the first range still holds
  EXPECT_EQ(f.settings.PenColor[1], gdi::RGB(128, 128, 128));

  f.logText.clear();
  f.Run("CR0,200,0,200,0,200,7");
  EXPECT_TRUE(Contains(f.logText, "Error: Expecting 6 parameters: 'CR0,200,0,200,0,200,7'"));
  f.Run("PC1,100,100,100");
  EXPECT_EQ(f.settings.PenColor[1], gdi::RGB(128, 128, 128));
}

TEST(PenWidth, ThicknessAndScale) {
  HandlerFixture f;
  Start(f);
  f.Run("PT0.5");
  EXPECT_EQ(LastPen(f.device), "pen(0,20,#000000)");
  f.Run("PT");
  EXPECT_EQ(LastPen(f.device), "pen(0,12,#000000)");
  EXPECT_DOUBLE_EQ(f.ps.dPenWidth, 0.3);
  f.Run("PT" + std::string(30, '9'));  // saturates instead of overflowing
  EXPECT_EQ(LastPen(f.device), "pen(0,2147483647,#000000)");

  HandlerFixture half;
  Start(half);
  half.settings.ScalePercent = 50;
  half.Run("PT0.5");
  EXPECT_EQ(LastPen(half.device), "pen(0,10,#000000)");
}

TEST(PenWidth, ConfiguredWidths) {
  SettingsSet s = DefaultSettings();
  s.PenWidth[1] = 3;
  s.PenWidth[2] = -5;
  HandlerFixture f(s);
  Start(f);
  f.Run("SP1");
  EXPECT_EQ(LastPen(f.device), "pen(0,36,#000000)");
  f.Run("SP2");
  EXPECT_EQ(LastPen(f.device), "pen(0,5,#0000ff)");
  f.Run("SP3");
  EXPECT_EQ(LastPen(f.device), "pen(0,12,#00ff00)");

  // The file's widths go through each pen's configured width: pen 1
  // triples them, pen 2 keeps its fixed 5 units, pen 3 takes them as given.
  f.Run("SP1");
  f.Run("PW0.7");
  EXPECT_EQ(LastPen(f.device), "pen(0,84,#000000)");
  f.Run("SP3");
  EXPECT_EQ(LastPen(f.device), "pen(0,28,#00ff00)");
  f.Run("SP2");
  EXPECT_EQ(LastPen(f.device), "pen(0,5,#0000ff)");
  f.Run("IN");
  f.Run("SP3");
  EXPECT_EQ(LastPen(f.device), "pen(0,12,#00ff00)");
}

TEST(PenWidth, WidthCommandWithoutConfiguredWidth) {
  HandlerFixture f;
  Start(f);
  f.Run("SP1");
  f.Run("PW0.5");
  EXPECT_EQ(LastPen(f.device), "pen(0,20,#000000)");
  f.Run("SP2");  // the width holds for the pens selected later
  EXPECT_EQ(LastPen(f.device), "pen(0,20,#0000ff)");
  f.Run("PT0.7");  // the later of PW and PT wins
  EXPECT_EQ(LastPen(f.device), "pen(0,28,#0000ff)");
  f.Run("PW0");
  EXPECT_EQ(LastPen(f.device), "pen(0,0,#0000ff)");
  f.Run("PW");
  EXPECT_EQ(LastPen(f.device), "pen(0,12,#0000ff)");

  // Relative: per cent of the P1-P2 diagonal (A4: 14549 units).
  f.Run("WU1");
  EXPECT_TRUE(f.ps.bMode & WIDTH_RELATIVE);
  f.Run("PW0.5");
  EXPECT_EQ(LastPen(f.device), "pen(0,72,#0000ff)");
  f.Run("PW");
  EXPECT_EQ(LastPen(f.device), "pen(0,14,#0000ff)");
  f.Run("WU2");
  EXPECT_FALSE(f.ps.bMode & WIDTH_RELATIVE);
  f.Run("WU3");
  f.Run("WU");
  EXPECT_FALSE(f.ps.bMode & WIDTH_RELATIVE);

  // Another pen's width is kept for when it is selected; no pen takes a
  // negative number.
  f.ClearRecords();
  int executed = f.ps.nExecuted;
  f.Run("PW1,5");
  f.Run("PW1,-1");
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.nExecuted, executed + 2);
  f.Run("PW0.25,2");
  EXPECT_EQ(LastPen(f.device), "pen(0,10,#0000ff)");
  f.Run("SP5");
  EXPECT_EQ(LastPen(f.device), "pen(0,40,#ff0000)");
}

TEST(PenWidth, MeasureOnlyRecordsNothing) {
  HandlerFixture f(DefaultSettings(), true);
  Start(f);
  f.RunAll("SP1;PT1;PW2;LT2;PC1,1,2,3;CR;NP8;WU1");
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.nExecuted, 8);
  EXPECT_DOUBLE_EQ(f.ps.dPenWidth, 2.0);
}

}  // namespace
}  // namespace tsl::test
