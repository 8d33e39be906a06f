// GDI loads, reads and plays metafiles: those it recorded itself (the
// yardstick) and, through the same checks, those our writer makes.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/gdi/emf_types.h"
#include "windows/hdc_device.h"
#include "windows/playback.h"

#include "windows/dib.h"

#include "shell/metafile.h"

namespace {


// A 20 x 10 cm picture: a red filled left half inside a black outline.
// (<windows.h> is in: its macros stand for gdi's constants, same values.)
std::vector<uint8_t> HalfRedPicture(const std::string& description) {
  gdi::Objects objects;
  gdi::Handle red = objects.CreateSolidBrush(RGB(255, 0, 0));
  return tsl::test::RecordWithGdi(description, objects, [&](gdi::Device& d) {
    d.SetMapMode(MM_LOMETRIC);
    d.SelectObject(gdi::GetStockObject(NULL_BRUSH));
    d.Rectangle(0, 0, 2000, -1000);
    d.SelectObject(gdi::GetStockObject(NULL_PEN));
    d.SelectObject(red);
    d.Rectangle(0, 0, 1000, -1000);
    d.SelectObject(gdi::GetStockObject(WHITE_BRUSH));
  });
}

TEST(Playback, GdiTakesItsOwnMetafileAndPlaysItScaledIntoADib) {
  const std::string description("Tessella\0half.plt\0\0", 19);
  std::vector<uint8_t> emf = HalfRedPicture(description);
  tsl::test::ExpectGdiTakes(emf, description);

  tsl::test::Pixels px;
  ASSERT_TRUE(tsl::test::PlayInto(emf, 200, 100, &px));
  EXPECT_EQ(px.At(50, 50), RGB(255, 0, 0));
  EXPECT_EQ(px.At(150, 50), RGB(255, 255, 255));
  EXPECT_GE(px.Count(RGB(0, 0, 0)), 90) << "the outline shows at the edge of the right half";
  EXPECT_GT(px.Count(RGB(255, 0, 0)), 80 * 80);
}

TEST(Playback, TheViewTakesMetafileBytesAndGivesThemBackUnchanged) {
  std::vector<uint8_t> emf = HalfRedPicture("");
  tsl::shell::EnhMetaFile made = tsl::shell::MetafileFromBytes(emf);
  ASSERT_TRUE(made);
  EXPECT_EQ(tsl::shell::MetafileBytes(made.get()), emf);
  tsl::test::Pixels px;
  ASSERT_TRUE(tsl::test::PlayInto(tsl::shell::MetafileBytes(made.get()), 200, 100, &px));
  EXPECT_EQ(px.At(50, 50), RGB(255, 0, 0));

  std::vector<uint8_t> plot = {'I', 'N', ';', 'S', 'P', '1', ';'};
  EXPECT_FALSE(tsl::shell::MetafileFromBytes(plot)) << "no metafile";
  EXPECT_FALSE(tsl::shell::MetafileFromBytes({}));
  EXPECT_TRUE(tsl::shell::MetafileBytes(nullptr).empty());
}

}  // namespace
