#include "emf_samples.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "common/gdi/emf_reader.h"
#include "output/emf_renderer.h"

namespace tsl::test {

using namespace gdi;

namespace {
// cairo and fontconfig keep process-wide caches; releasing them at the end
// lets the leak checker see only our own allocations.
class ReleaseFontCaches : public ::testing::Environment {
 public:
  void TearDown() override {
    cairo_debug_reset_static_data();
    FcFini();
  }
};
const auto* const kReleaseFontCaches = ::testing::AddGlobalTestEnvironment(new ReleaseFontCaches);
}  // namespace

EmfBuilder::EmfBuilder(int32_t w, int32_t h)
    : out_({0, 0, w * 1920 / 50800, h * 1080 / 28600}, {0, 0, w, h}, {1920, 1080}, {508, 286}) {}

EmfBuilder& EmfBuilder::Pen(int32_t slot, uint32_t style, int32_t width, COLORREF c) {
  return R(EMR_CREATEPEN, {slot, static_cast<int32_t>(style), width, 0, static_cast<int32_t>(c)});
}

EmfBuilder& EmfBuilder::Brush(int32_t slot, uint32_t style, COLORREF c, uint32_t hatch) {
  return R(EMR_CREATEBRUSHINDIRECT, {slot, static_cast<int32_t>(style), static_cast<int32_t>(c),
                                     static_cast<int32_t>(hatch)});
}

EmfBuilder& EmfBuilder::Poly16(uint32_t type, const std::vector<Point>& pts) {
  std::vector<uint8_t> p;
  for (int i = 0; i < 4; ++i) Append32(p, 0);
  Append32(p, static_cast<uint32_t>(pts.size()));
  for (const Point& pt : pts) {
    Append16(p, static_cast<uint16_t>(pt.x));
    Append16(p, static_cast<uint16_t>(pt.y));
  }
  return Raw(type, p);
}

EmfBuilder& EmfBuilder::Font(int32_t slot, int32_t height, int32_t escapement, const std::string& face,
                             int32_t width) {
  std::vector<uint8_t> p;
  Append32(p, static_cast<uint32_t>(slot));
  for (int32_t v : {height, width, escapement, escapement, 400}) Append32(p, static_cast<uint32_t>(v));
  for (int i = 0; i < 8; ++i) p.push_back(i == 7 ? 0x31 : 0);
  for (size_t i = 0; i < 32; ++i) Append16(p, i < face.size() ? static_cast<uint8_t>(face[i]) : 0);
  p.resize(332 - 8, 0);
  return Raw(EMR_EXTCREATEFONTINDIRECTW, p);
}

EmfBuilder& EmfBuilder::Text(int32_t x, int32_t y, const std::string& text, int32_t advance) {
  std::vector<uint8_t> p;
  for (int32_t v : {0, 0, -1, -1, 1}) Append32(p, static_cast<uint32_t>(v));
  Append32(p, 0x41200000);  // 10.0f
  Append32(p, 0xC1200000);  // -10.0f
  Append32(p, static_cast<uint32_t>(x));
  Append32(p, static_cast<uint32_t>(y));
  Append32(p, static_cast<uint32_t>(text.size()));
  uint32_t stringBytes = (2 * static_cast<uint32_t>(text.size()) + 3) & ~3u;
  Append32(p, 76);
  Append32(p, 0);
  for (int32_t v : {0, 0, -1, -1}) Append32(p, static_cast<uint32_t>(v));
  Append32(p, advance ? 76 + stringBytes : 0);
  for (char c : text) Append16(p, static_cast<uint8_t>(c));
  p.resize(76 - 8 + stringBytes, 0);
  if (advance)
    for (size_t i = 0; i < text.size(); ++i) Append32(p, static_cast<uint32_t>(advance));
  return Raw(EMR_EXTTEXTOUTW, p);
}

std::vector<uint8_t> SampleDrawing() {
  // 200 x 100 mm; in MM_LOMETRIC the picture spans x 0..2000, y 0..-1000.
  EmfBuilder b(20000, 10000);
  b.R(EMR_SETMAPMODE, {MM_LOMETRIC}).R(EMR_SETBKMODE, {TRANSPARENT});
  b.Pen(1, PS_SOLID, 0, RGB(0, 0, 0)).Select(1);
  b.R(EMR_MOVETOEX, {20, -20}).R(EMR_LINETO, {1980, -20}).R(EMR_LINETO, {1980, -980});
  b.R(EMR_LINETO, {20, -980}).R(EMR_LINETO, {20, -20});
  b.Pen(2, PS_SOLID, 15, RGB(255, 0, 0)).Select(2);
  b.R(EMR_MOVETOEX, {100, -100}).R(EMR_LINETO, {900, -400});
  b.Pen(3, PS_DASH, 0, RGB(0, 0, 255)).Select(3);
  b.Poly16(EMR_POLYLINE16, {{100, -500}, {500, -500}, {500, -900}});
  b.Select(GetStockObject(BLACK_PEN)).R(EMR_DELETEOBJECT, {3});
  b.Brush(3, BS_HATCHED, RGB(0, 128, 0), HS_DIAGCROSS).Select(3);
  b.Pen(4, PS_SOLID, 5, RGB(0, 128, 0)).Select(4);
  b.Poly16(EMR_POLYGON16, {{1000, -100}, {1400, -100}, {1200, -450}});
  b.Brush(5, BS_SOLID, RGB(255, 255, 0)).Select(5);
  b.R(EMR_ELLIPSE, {1500, -100, 1900, -400});
  b.Select(GetStockObject(NULL_BRUSH));
  b.R(EMR_SETARCDIRECTION, {AD_COUNTERCLOCKWISE});
  b.R(EMR_ARC, {1000, -550, 1300, -850, 1300, -700, 1000, -700});  // upper half
  b.R(EMR_SETARCDIRECTION, {AD_CLOCKWISE});
  b.R(EMR_ARC, {1400, -550, 1700, -850, 1700, -700, 1400, -700});  // lower half
  for (int i = 0; i < 10; ++i) b.R(EMR_SETPIXELV, {600 + 10 * i, -950, static_cast<int32_t>(RGB(255, 0, 255))});
  b.Font(6, -80, 0, "Courier New").Select(6).R(EMR_SETTEXTCOLOR, {static_cast<int32_t>(RGB(0, 0, 128))});
  b.R(EMR_SETTEXTALIGN, {TA_BASELINE | TA_LEFT}).Text(600, -700, "HP-GL", 48);
  b.Font(7, -60, 900, "Courier New").Select(7).Text(1850, -950, "UP");
  return b.Finish(8);
}

std::vector<uint8_t> SampleMapping() {
  EmfBuilder b(10000, 10000);  // 100 x 100 mm
  b.R(EMR_SETMAPMODE, {MM_ANISOTROPIC});
  b.R(EMR_SETWINDOWORGEX, {-100, -100}).R(EMR_SETWINDOWEXTEX, {200, 200});
  b.R(EMR_SETVIEWPORTEXTEX, {378, 378});  // 100 mm of the reference screen
  b.Pen(1, PS_SOLID, 4, RGB(0, 0, 255)).Select(1);
  b.Poly16(EMR_POLYBEZIER16, {{-90, 90}, {-90, -90}, {90, 90}, {90, -90}});
  b.R(EMR_SAVEDC, {});
  b.R(EMR_INTERSECTCLIPRECT, {-50, -50, 0, 0});
  b.Brush(2, BS_SOLID, RGB(255, 0, 0)).Select(2);
  b.R(EMR_RECTANGLE, {-80, -80, 80, 80});  // only the clipped quarter shows
  b.R(EMR_RESTOREDC, {-1});
  // A world transform turns the next square by 45 degrees.
  b.R(EMR_SETWORLDTRANSFORM, {0x3F3504F3, 0x3F3504F3, static_cast<int32_t>(0xBF3504F3), 0x3F3504F3, 0x42480000,
                              0x42480000});  // cos, sin, -sin, cos, 50, 50
  b.Select(GetStockObject(BLACK_BRUSH)).R(EMR_RECTANGLE, {-20, -20, 20, 20});
  return b.Finish(3);
}

std::vector<uint8_t> SampleShapes() {
  EmfBuilder b(10584, 7938);  // 400 x 300 reference pixels
  b.R(EMR_SETMAPMODE, {MM_TEXT});
  // A path: a Bezier petal filled yellow and outlined in blue.
  b.Brush(1, BS_SOLID, RGB(255, 255, 0)).Select(1);
  b.R(EMR_EXTCREATEPEN, {2, 0, 0, 0, 0, 0x10000 | 0x200 | 0x2000 | 1, 6, BS_SOLID, static_cast<int32_t>(RGB(0, 0, 255)), 0, 0});
  b.Select(2);
  b.R(EMR_BEGINPATH, {}).R(EMR_MOVETOEX, {20, 120});
  b.Poly16(EMR_POLYBEZIERTO16, {{20, 20}, {120, 20}, {120, 120}});
  b.R(EMR_LINETO, {20, 120}).R(EMR_CLOSEFIGURE, {}).R(EMR_ENDPATH, {});
  b.R(EMR_STROKEANDFILLPATH, {0, 0, 0, 0});
  // A square with a square hole (alternate filling), black outline.
  b.Select(GetStockObject(BLACK_PEN)).Brush(3, BS_SOLID, RGB(255, 0, 0)).Select(3);
  b.R(EMR_SETPOLYFILLMODE, {ALTERNATE});
  {
    std::vector<uint8_t> p;
    for (int i = 0; i < 4; ++i) Append32(p, 0);
    Append32(p, 2);
    Append32(p, 8);
    Append32(p, 4);
    Append32(p, 4);
    for (int v : {160, 20, 280, 20, 280, 140, 160, 140, 190, 50, 250, 50, 250, 110, 190, 110})
      Append16(p, static_cast<uint16_t>(v));
    b.Raw(EMR_POLYPOLYGON16, p);
  }
  // Pie, chord and rounded rectangle in green on hatching.
  b.Brush(4, BS_HATCHED, RGB(0, 128, 0), HS_CROSS).Select(4);
  b.R(EMR_PIE, {300, 20, 390, 110, 390, 65, 345, 20});
  b.R(EMR_CHORD, {300, 150, 390, 240, 390, 195, 300, 195});
  b.R(EMR_ROUNDRECT, {20, 160, 140, 240, 40, 40});
  // A clip path (a circle) cuts a filled rectangle.
  b.R(EMR_SAVEDC, {});
  b.R(EMR_BEGINPATH, {}).R(EMR_ELLIPSE, {160, 160, 260, 260}).R(EMR_ENDPATH, {});
  b.R(EMR_SELECTCLIPPATH, {5});
  b.Brush(5, BS_SOLID, RGB(0, 0, 255)).Select(5).Select(GetStockObject(NULL_PEN));
  b.R(EMR_RECTANGLE, {150, 200, 300, 300});
  b.R(EMR_RESTOREDC, {-1});
  // Text centred at the top of a point, black on an opaque cyan background.
  b.Font(6, -20, 0, "Liberation Sans").Select(6);
  b.R(EMR_SETBKMODE, {OPAQUE}).R(EMR_SETBKCOLOR, {static_cast<int32_t>(RGB(0, 255, 255))});
  b.R(EMR_SETTEXTALIGN, {TA_TOP | TA_CENTER}).Text(200, 270, "Centre");
  b.R(EMR_SETPIXELV, {200, 270, static_cast<int32_t>(RGB(255, 0, 255))});
  return b.Finish(7);
}

std::vector<uint8_t> SampleWmf(bool placeable, uint16_t unitsPerInch) {
  std::vector<uint8_t> rec;
  auto record = [&rec](uint16_t func, std::initializer_list<int16_t> params) {
    Append32(rec, static_cast<uint32_t>(3 + params.size()));
    Append16(rec, func);
    for (int16_t p : params) Append16(rec, static_cast<uint16_t>(p));
  };
  record(0x020B, {0, 0});        // SETWINDOWORG y, x
  record(0x020C, {720, 1440});   // SETWINDOWEXT y, x
  record(0x02FA, {0, 20, 0, 0x00FF, 0});  // CREATEPENINDIRECT solid, width 20, red
  record(0x012D, {0});                    // SELECTOBJECT 0
  record(0x02FC, {0, 0x0000, 0x00FF, 0}); // CREATEBRUSHINDIRECT solid, colour 0xFF0000 (blue)
  record(0x012D, {1});
  record(0x041B, {600, 1200, 120, 240});  // RECTANGLE b, r, t, l
  record(0x0214, {0, 0});                 // MOVETO y, x
  record(0x0213, {720, 1440});            // LINETO y, x
  record(0x0000, {});                     // EOF
  std::vector<uint8_t> wmf;
  Append16(wmf, 1);   // in memory
  Append16(wmf, 9);   // header words
  Append16(wmf, 0x300);
  Append32(wmf, static_cast<uint32_t>(9 + rec.size() / 2));
  Append16(wmf, 2);   // objects
  Append32(wmf, 7);   // largest record
  Append16(wmf, 0);
  wmf.insert(wmf.end(), rec.begin(), rec.end());
  if (!placeable) return wmf;
  std::vector<uint8_t> apm;
  Append32(apm, 0x9AC6CDD7);
  Append16(apm, 0);
  for (int16_t v : {0, 0, 1440, 720}) Append16(apm, static_cast<uint16_t>(v));
  Append16(apm, unitsPerInch);
  Append32(apm, 0);
  Append16(apm, 0x1234);  // checksum, deliberately wrong
  apm.insert(apm.end(), wmf.begin(), wmf.end());
  return apm;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Surface Draw(const std::vector<uint8_t>& emf, int w, int h, bool batch) {
  EmfReader reader;
  std::string error;
  EXPECT_TRUE(reader.Parse(emf.data(), emf.size(), &error)) << error;
  Surface s(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h), cairo_surface_destroy);
  cairo_t* cr = cairo_create(s.get());
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  RenderOptions o;
  o.batchLines = batch;
  PlayEnhMetaFile(cr, reader, DestRect{0, 0, static_cast<double>(w), static_cast<double>(h)}, o);
  cairo_destroy(cr);
  cairo_surface_flush(s.get());
  return s;
}

size_t DifferingPixels(cairo_surface_t* a, cairo_surface_t* b) {
  size_t n = 0;
  const int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
  const int stride = cairo_image_surface_get_stride(a);
  const uint8_t* pa = cairo_image_surface_get_data(a);
  const uint8_t* pb = cairo_image_surface_get_data(b);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t* ra = reinterpret_cast<const uint32_t*>(pa + y * stride);
      const uint32_t* rb = reinterpret_cast<const uint32_t*>(pb + y * stride);
      n += (ra[x] & 0xFFFFFF) != (rb[x] & 0xFFFFFF);
    }
  return n;
}

}  // namespace tsl::test
