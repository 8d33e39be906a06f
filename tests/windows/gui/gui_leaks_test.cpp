// Fifty conversions in one run of the program, each shown fitted and
// zoomed and copied: the program holds no more GDI or USER objects after
// them than before.
#include <gtest/gtest.h>

#include <cstdio>

#include "gui_actions.h"

namespace gui {
namespace {

TEST(Leaks, FiftyConversionsLeaveNoGdiOrUserObjectsBehind) {
  ResetSettings();
  SetSetting("NoAutoClose", kOn);
  SetSetting("NoInfoMessages", kOn);
  // Lines, pens, a fill and a label: fonts, pens and brushes in each run.
  WriteFile(Work("leak.plt"), BoxPlot(6000, 3000, 2) +
                                  "SP3;PU500,500;PD5500,2500;FT1;RA2000,1500;SP4;PU1000,2000;LBLeaks\x03SP0;");
  App app("leak.plt");
  ASSERT_TRUE(WaitFor([&] { return app.Caption() == Work("leak.plt") + " - Tessella"; }));
  app.Place(0, 0, 900, 700);
  auto round = [&] {
    app.Send(1995);  // converts leak.plt again
    app.Send(1312);
    app.Send(1300);
    app.Send(1101);
  };
  // The first rounds may fill caches of the system's (fonts, brushes).
  for (int i = 0; i < 3; ++i) round();
  ProbeBlock before = app.Objects();
  for (int i = 0; i < 50; ++i) round();
  ProbeBlock after = app.Objects();
  std::printf("leaks: GDI objects %u before, %u after 50 conversions (%s); USER objects %u / %u; windows %u / %u\n",
              before.gdiObjects, after.gdiObjects, after.gdiFromTable ? "Wine's handle table" : "GetGuiResources",
              before.userObjects, after.userObjects, before.windows, after.windows);
  ASSERT_GT(before.gdiObjects, 0u) << "the GDI objects could not be counted";
  // The tolerance: the system may keep one or two objects of its own for a
  // while (a cached brush or font), never one per conversion.
  EXPECT_LE(after.gdiObjects, before.gdiObjects + 2);
  EXPECT_LE(after.userObjects, before.userObjects + 2);
  EXPECT_EQ(after.windows, before.windows);
}

}  // namespace
}  // namespace gui
