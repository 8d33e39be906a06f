// GDI loads, reads and plays metafiles: those it recorded itself (the
// yardstick) and, through the same checks, those our writer makes.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "common/gdi/emf_types.h"
#include "windows/hdc_device.h"
#include "windows/playback.h"

#include "windows/dib.h"

#include "shell/metafile.h"

namespace {

using tsl::test::Dib;

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

std::string TempPath(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

TEST(Playback, TheViewOpensMetafileFilesAndExplainsWhatIsNoMetafile) {
  std::vector<uint8_t> emf = HalfRedPicture("");
  std::string good = TempPath("tsl_view_good.emf"), bad = TempPath("tsl_view_bad.emf");
  std::ofstream(good, std::ios::binary).write(reinterpret_cast<const char*>(emf.data()), emf.size());
  std::ofstream(bad, std::ios::binary) << "IN;SP1;PD100,100;";

  std::string error;
  tsl::shell::EnhMetaFile opened = tsl::shell::OpenEnhMetaFile(good, &error);
  ASSERT_TRUE(opened);
  EXPECT_EQ(GetEnhMetaFileBits(opened.get(), 0, nullptr), emf.size());

  Dib dib(400, 300);
  RECT client{0, 0, 400, 300};
  tsl::shell::PaintFitted(dib.dc(), opened.get(), client);
  GdiFlush();
  EXPECT_EQ(dib.Pixel(100, 150), RGB(255, 0, 0)) << "fitted: 400 x 200, centred";
  EXPECT_EQ(dib.Pixel(100, 20), RGB(255, 255, 255)) << "above the fitted picture";

  EXPECT_FALSE(tsl::shell::OpenEnhMetaFile(bad, &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(tsl::shell::OpenEnhMetaFile(TempPath("tsl_no_such_file.emf"), &error));
  EXPECT_FALSE(error.empty());
  std::remove(good.c_str());
  std::remove(bad.c_str());
}

}  // namespace
