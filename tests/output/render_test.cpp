// Pictures: metafiles rendered to palette bitmaps and compared with
// reviewed golden PNGs, and checks of single pixels that must hold.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "common/gdi/emf_recorder.h"
#include "emf_samples.h"
#include "output/raster_export.h"
#include "support/conversion.h"

namespace tsl::test {
namespace {

using namespace gdi;

MemoryDib Render(const std::vector<uint8_t>& emf, int32_t w, int32_t h, const SettingsSet& s = DefaultSettings()) {
  ExportRequest req = RequestFor(emf, w, h);
  MemoryDib dib;
  std::string error;
  EXPECT_TRUE(EmfToMemoryDIB(req, s, &dib, &error)) << error;
  return dib;
}

// Reads an 8-bit palette PNG into indices (top row first).
bool ReadIndexedPng(const std::string& path, int32_t* w, int32_t* h, std::vector<uint8_t>* pixels) {
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!f) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, f.get());
  png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  *w = static_cast<int32_t>(png_get_image_width(png, info));
  *h = static_cast<int32_t>(png_get_image_height(png, info));
  png_bytepp rows = png_get_rows(png, info);
  pixels->clear();
  for (int32_t y = 0; y < *h; ++y) pixels->insert(pixels->end(), rows[y], rows[y] + *w);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// Compares a rendering with tests/data/output/<name>.png; differences in a
// small share of pixels (font rasterisation on another machine) are
// allowed. TESSELLA_UPDATE_GOLDEN=1 writes the file instead.
void ExpectGoldenPicture(const std::string& name, const std::vector<uint8_t>& emf, int32_t w, int32_t h) {
  std::string golden = std::string(TESSELLA_TEST_DATA) + "/output/" + name + ".png";
  ExportRequest req = RequestFor(emf, w, h);
  if (std::getenv("TESSELLA_UPDATE_GOLDEN")) {
    std::filesystem::create_directories(std::filesystem::path(golden).parent_path());
    ASSERT_EQ(1, EmfToPngFile(NoOneToTell(), req, DefaultSettings(), golden));
    return;
  }
  TempDir tmp;
  std::string actual = tmp.path() + "/" + name + ".png";
  ASSERT_EQ(1, EmfToPngFile(NoOneToTell(), req, DefaultSettings(), actual));
  int32_t gw = 0, gh = 0, aw = 0, ah = 0;
  std::vector<uint8_t> g, a;
  ASSERT_TRUE(ReadIndexedPng(golden, &gw, &gh, &g)) << "missing golden picture " << golden;
  ASSERT_TRUE(ReadIndexedPng(actual, &aw, &ah, &a));
  ASSERT_EQ(gw, aw);
  ASSERT_EQ(gh, ah);
  size_t differ = 0;
  for (size_t i = 0; i < g.size(); ++i) differ += g[i] != a[i];
  EXPECT_LE(differ, g.size() / 200) << differ << " pixels differ from " << golden << "; see " << actual;
}

TEST(Render, GoldenPictures) {
  ExpectGoldenPicture("drawing", SampleDrawing(), 800, 400);
  ExpectGoldenPicture("mapping", SampleMapping(), 300, 300);
  ExpectGoldenPicture("shapes", SampleShapes(), 400, 300);
}

TEST(Render, LinesKeepTheirPenColoursWithoutAntialiasing) {
  MemoryDib dib = Render(SampleDrawing(), 800, 400);
  // Every pixel is white or one of the pens: no blended shades.
  bool seen[256] = {};
  for (uint8_t i : dib.bits) seen[i] = true;
  EXPECT_TRUE(seen[0]);
  EXPECT_TRUE(seen[1]);  // black frame
  EXPECT_TRUE(seen[2]);  // red wide line
  EXPECT_TRUE(seen[5]);  // blue dashes
  EXPECT_TRUE(seen[4]);  // yellow ellipse
  EXPECT_TRUE(seen[6]);  // magenta pixels
  // The frame line 2 mm in from the left edge: 8 pixels of 800 over 200 mm.
  int black = 0;
  for (int32_t x = 6; x <= 10; ++x) black += dib.At(x, 100) == 1;
  EXPECT_GE(black, 1);
  EXPECT_EQ(0, dib.At(40, 100));
}

TEST(Render, ArcDirectionChoosesTheHalf) {
  MemoryDib dib = Render(SampleDrawing(), 800, 400);
  // Counter-clockwise from the right point to the left point of the first
  // circle (centre 1150, -700) runs over the top; clockwise for the
  // second (centre 1550, -700) runs under the bottom. The page spans
  // 4 pixels per millimetre: centre y -700 is row 280, radius 60 rows.
  auto column = [&dib](int32_t x, int32_t y0, int32_t y1) {
    int n = 0;
    for (int32_t y = y0; y <= y1; ++y) n += dib.At(x, y) != 0;
    return n;
  };
  EXPECT_GT(column(460, 214, 226), 0);  // top of the first circle
  EXPECT_EQ(0, column(460, 334, 346));  // no bottom
  EXPECT_EQ(0, column(620, 214, 226));  // second circle: no top
  EXPECT_GT(column(620, 334, 346), 0);
}

TEST(Render, StretchesTheFrameToAnySize) {
  // The same 2:1 picture at 1:1 proportions: the frame still fills it.
  MemoryDib dib = Render(SampleDrawing(), 200, 200);
  int top = 0, bottom = 0;
  for (int32_t x = 20; x < 180; ++x) {
    // The frame runs 2 mm inside the edges: 4 pixels at 2 pixels per mm.
    top += dib.At(x, 3) == 1 || dib.At(x, 4) == 1 || dib.At(x, 5) == 1;
    bottom += dib.At(x, 195) == 1 || dib.At(x, 196) == 1 || dib.At(x, 197) == 1;
  }
  EXPECT_GT(top, 150);
  EXPECT_GT(bottom, 150);
}

TEST(Render, ColoursOutsideThePaletteTakeTheNearestEntry) {
  EmfBuilder b(1000, 1000);
  b.R(EMR_SETMAPMODE, {MM_TEXT}).Brush(1, BS_SOLID, RGB(250, 10, 5)).Select(1);
  b.Select(GetStockObject(NULL_PEN)).R(EMR_RECTANGLE, {0, 0, 200, 200});
  MemoryDib dib = Render(b.Finish(2), 20, 20);
  EXPECT_EQ(2, dib.At(10, 10));  // pen 2 is pure red
}

TEST(Render, PaletteFollowsTheActiveSet) {
  SettingsSet s = DefaultSettings();
  s.PenColor[200] = RGB(12, 34, 56);
  EmfBuilder b(1000, 1000);
  b.Brush(1, BS_SOLID, RGB(12, 34, 56)).Select(1).Select(GetStockObject(NULL_PEN));
  b.R(EMR_RECTANGLE, {0, 0, 400, 400});
  MemoryDib dib = Render(b.Finish(2), 10, 10, s);
  EXPECT_EQ(200, dib.At(5, 5));
  EXPECT_EQ(12, dib.palette[200][2]);
  EXPECT_EQ(56, dib.palette[200][0]);
  EXPECT_EQ(0xFF, dib.palette[0][0]);
}

TEST(Render, RefusesEmptyAndHugeSizes) {
  std::vector<uint8_t> emf = SampleDrawing();
  ExportRequest req;
  req.metafile = emf.data();
  req.metafileSize = emf.size();
  MemoryDib dib;
  std::string error;
  for (auto wh : {std::pair<int32_t, int32_t>{0, 10}, {10, -1}, {40000, 10}, {20000, 20000}}) {
    req.width = wh.first;
    req.height = wh.second;
    EXPECT_FALSE(EmfToMemoryDIB(req, DefaultSettings(), &dib, &error)) << wh.first << "x" << wh.second;
    EXPECT_FALSE(error.empty());
  }
}

TEST(Render, WhatTheRecorderWritesRenders) {
  // Lines, a FillRect (recorded as a pattern blit) and text through the
  // recorder, the way a conversion records them.
  Objects objects;
  auto rec = EmfRecorder::CreateMemory(objects, std::string("t\0p\0\0", 6));
  rec->SetMapMode(MM_LOMETRIC);
  Handle pen = objects.CreatePen(PS_SOLID, 10, RGB(255, 0, 0));
  rec->SelectObject(pen);
  rec->MoveToEx(0, 0);
  rec->LineTo(1000, -500);
  Handle brush = objects.CreateSolidBrush(RGB(0, 0, 255));
  rec->FillRect(Rect{0, -500, 300, -300}, brush);
  LogFont lf;
  lf.lfHeight = -100;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "Courier New");
  Handle font = objects.CreateFontIndirect(lf);
  rec->SelectObject(font);
  rec->SetTextColor(RGB(0, 255, 0));
  rec->SetBkMode(TRANSPARENT);
  rec->SetTextAlign(TA_BASELINE | TA_LEFT);
  rec->TextOutA(500, -100, "HELLO", 5);
  std::string error;
  ASSERT_TRUE(rec->Close(&error)) << error;
  std::vector<uint8_t> emf = rec->Bytes();
  MemoryDib dib = Render(emf, 250, 125);
  int red = 0, blue = 0, green = 0;
  for (int32_t y = 0; y < dib.height; ++y)
    for (int32_t x = 0; x < dib.width; ++x) {
      uint8_t i = dib.At(x, y);
      red += i == 2;
      blue += i == 5;
      green += i == 3;
    }
  EXPECT_GT(red, 100);
  EXPECT_GT(blue, 500);   // the filled rectangle
  EXPECT_GT(green, 50);   // the label's strokes
}

TEST(Render, PathFiguresStayWholeAcrossRecords) {
  // A triangle built from separate line records in a path, in a mapping
  // with fractional scale: it fills only if the lines join into one figure.
  EmfBuilder b(20000, 10000);
  b.R(EMR_SETMAPMODE, {MM_LOMETRIC}).Brush(1, BS_SOLID, RGB(255, 0, 0)).Select(1);
  b.R(EMR_BEGINPATH, {}).R(EMR_MOVETOEX, {100, -100}).R(EMR_LINETO, {1900, -100});
  b.Poly16(EMR_POLYLINETO16, {{1000, -900}});
  b.R(EMR_CLOSEFIGURE, {}).R(EMR_ENDPATH, {}).R(EMR_FILLPATH, {0, 0, 0, 0});
  MemoryDib dib = Render(b.Finish(2), 200, 100);
  EXPECT_EQ(2, dib.At(100, 30));
  EXPECT_EQ(0, dib.At(20, 80));
}

TEST(Render, BitmapsAreStretchedIntoPlace) {
  // A bottom-up 2 x 2 DIB at 24 bits: red, green in the bottom row; blue,
  // black on top. Stretched over a 200 x 200 MM_TEXT area.
  std::vector<uint8_t> p;
  for (int32_t v : {0, 0, -1, -1, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0xCC0020, 200, 200})
    Append32(p, static_cast<uint32_t>(v));
  for (int32_t v : {40, 2, 2}) Append32(p, static_cast<uint32_t>(v));
  Append16(p, 1);
  Append16(p, 24);
  for (int i = 0; i < 6; ++i) Append32(p, 0);
  for (uint8_t b : {0, 0, 255, 0, 255, 0, 0, 0,    // red, green, padding
                    255, 0, 0, 0, 0, 0, 0, 0})     // blue, black, padding
    p.push_back(b);
  EmfBuilder b(5292, 5292);  // 200 reference pixels square
  b.R(EMR_SETMAPMODE, {MM_TEXT}).Raw(EMR_STRETCHDIBITS, p);
  MemoryDib dib = Render(b.Finish(1), 20, 20);
  EXPECT_EQ(5, dib.At(4, 4));    // blue, top left
  EXPECT_EQ(1, dib.At(15, 4));   // black, top right
  EXPECT_EQ(2, dib.At(4, 15));   // red, bottom left
  EXPECT_EQ(3, dib.At(15, 15));  // green, bottom right
}

TEST(Render, ConvertedPlotRenders) {
  // A square plotted by the interpreter fills the picture, its sides near
  // the edges of the bitmap (the run's invisible frame adds a margin).
  TestConversion c = ConvertForTest("IN;PA0,0;PD4000,0,4000,4000,0,4000,0,0;PU;");
  ASSERT_FALSE(c.emf.empty());
  MemoryDib dib = Render(c.emf, 200, 200);
  auto dark = [&dib](int32_t x0, int32_t x1, int32_t y) {
    int n = 0;
    for (int32_t x = x0; x <= x1; ++x) n += dib.At(x, y) != 0;
    return n;
  };
  EXPECT_GT(dark(0, 8, 100), 0);      // left side
  EXPECT_GT(dark(191, 199, 100), 0);  // right side
  EXPECT_EQ(0, dark(20, 180, 100));   // nothing inside
}

}  // namespace
}  // namespace tsl::test
