// Hand-built metafiles for the output tests: a small record builder over
// EmfBytesWriter and a few pictures that exercise the renderer.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/gdi/emf_types.h"
#include "common/gdi/types.h"
#include "output/emf_writer.h"
#include "output/raster_export.h"
#include "support/temp_dir.h"

namespace tsl::test {

class EmfBuilder {
 public:
  // A picture of w x h hundredths of a millimetre on the 1920 x 1080 pixel,
  // 508 x 286 mm reference screen.
  EmfBuilder(int32_t w100mm, int32_t h100mm);

  EmfBuilder& R(uint32_t type, std::initializer_list<int32_t> fields) {
    out_.Record(type, fields);
    return *this;
  }
  EmfBuilder& Raw(uint32_t type, const std::vector<uint8_t>& payload) {
    out_.Raw(type, payload);
    return *this;
  }
  EmfBuilder& Pen(int32_t slot, uint32_t style, int32_t width, gdi::COLORREF c);
  EmfBuilder& Brush(int32_t slot, uint32_t style, gdi::COLORREF c, uint32_t hatch = 0);
  EmfBuilder& Select(uint32_t handle) { return R(gdi::EMR_SELECTOBJECT, {static_cast<int32_t>(handle)}); }
  EmfBuilder& Poly16(uint32_t type, const std::vector<gdi::Point>& pts);
  EmfBuilder& Font(int32_t slot, int32_t height, int32_t escapement, const std::string& face, int32_t width = 0);
  EmfBuilder& Text(int32_t x, int32_t y, const std::string& text, int32_t advance = 0);
  std::vector<uint8_t> Finish(uint16_t handles = 8) { return out_.Finish(handles); }

 private:
  EmfBytesWriter out_;
};

// MM_LOMETRIC lines in several pens and widths, a hatched and a solid
// polygon, an ellipse, arcs in both directions, pixels and a label.
std::vector<uint8_t> SampleDrawing();
// MM_ANISOTROPIC with window and viewport, a world transform, a Bezier and
// a clipped rectangle.
std::vector<uint8_t> SampleMapping();

// MM_TEXT shapes as other programs write them: paths filled and stroked,
// a polygon with a hole, pie, chord and rounded rectangle, an extended
// pen with flat caps, a clip path, aligned text on an opaque background.
std::vector<uint8_t> SampleShapes();

// A Windows metafile (optionally with the placeable header) drawing a
// rectangle and a line in a window of 1440 x 720 units.
std::vector<uint8_t> SampleWmf(bool placeable, uint16_t unitsPerInch = 1440);

// The metafile played onto a white w x h bitmap, with runs of lines held and
// drawn at once or every record drawn by itself.
using Surface = std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)>;
Surface Draw(const std::vector<uint8_t>& emf, int w, int h, bool batch);
// How many pixels of two bitmaps of one size differ in colour.
size_t DifferingPixels(cairo_surface_t* a, cairo_surface_t* b);

// An export of the metafile's bytes (kept by the caller) at w x h pixels.
inline ExportRequest RequestFor(const std::vector<uint8_t>& emf, int32_t w, int32_t h) {
  ExportRequest r;
  r.metafile = emf.data();
  r.metafileSize = emf.size();
  r.width = w;
  r.height = h;
  return r;
}

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace tsl::test
