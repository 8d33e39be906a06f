// Plays an enhanced metafile onto a cairo context the way PlayEnhMetaFile
// plays it onto a device context: the picture's frame is stretched onto a
// destination rectangle, and every record is interpreted with GDI's
// semantics (mapping modes, world transform, pens, brushes, paths, arcs,
// text, clipping, saved states).
#pragma once
#include <cairo.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "common/gdi/emf_reader.h"
#include "common/gdi/types.h"

namespace tsl {

// A line of text collected instead of drawn, for writers that keep text
// as text elements (SVG).
struct TextRun {
  std::string utf8;
  std::string family;  // as the metafile names it
  int genericFamily = 0;  // pitch-and-family byte
  bool bold = false, italic = false, underline = false, strikeOut = false;
  gdi::COLORREF color = 0;
  cairo_matrix_t glyphSpace{};  // one em of the font on the output, origin at the first glyph
  std::vector<double> xs, ys;   // each character's origin on the output
};

struct RenderOptions {
  // Raster exports draw without anti-aliasing, so that an 8-bit palette
  // keeps every pen colour; vector surfaces want it on.
  bool antialias = false;
  // Device pixels are addressed at their centres (raster surfaces).
  bool pixelCentres = true;
  // The thinnest line drawn, in output units (GDI never draws less than a
  // pixel).
  double minLineWidth = 1;
  // The width of cosmetic (one-pixel) pens, in output units.
  double cosmeticWidth = 1;
  // When set, text is collected here rather than drawn.
  std::vector<TextRun>* textRuns = nullptr;
  // When set and raised, playing stops at the next record.
  const std::atomic<bool>* cancel = nullptr;
  // Runs of lines drawn with one pen are held and drawn at once (raster
  // surfaces); off, every record is drawn by itself.
  bool batchLines = true;
  // Seconds a picture may take to draw (0: no limit); past them playing
  // stops, so that no metafile holds the program for ever.
  double timeLimit = 0;
  // When set and raised, playing stops at the next record as if cancelled:
  // another thread drawing the same picture has failed.
  const std::atomic<bool>* abandon = nullptr;
  // A bitmap drawn by several threads: this one needs only the rows of its
  // stripes, `stripeRows` rows each, stripe s being its own when bit
  // (s % stripeCycle) of `stripeMask` is set. Runs of lines that reach none
  // of them are left out; every pixel of those rows is still the one a
  // drawing of every row gives. 0 rows: every row is needed.
  int stripeRows = 0;
  int stripeCycle = 1;
  uint32_t stripeMask = 1;
};

enum class PlayResult { kDone, kCancelled, kTimedOut, kDamaged };

// Destination rectangle in the context's device space.
struct DestRect {
  double x = 0, y = 0, width = 0, height = 0;
};

// Plays `emf` onto `cr` (whose state is saved and restored). Records that
// are damaged are skipped; nothing is read outside them.
void PlayEnhMetaFile(cairo_t* cr, const gdi::EmfReader& emf, const DestRect& rect,
                     const RenderOptions& options = {});
// The same, reading the records as they are played (the reader's header
// already read). kDamaged, with the reason, for data that end or break
// before EMR_EOF: what came before is drawn.
PlayResult PlayEnhMetaFile(cairo_t* cr, gdi::EmfStreamReader& emf, const DestRect& rect,
                           const RenderOptions& options, std::string* error);

class EmfRenderer {
 public:
  EmfRenderer(cairo_t* cr, const gdi::EmfHeader& header, const DestRect& rect, const RenderOptions& options);
  ~EmfRenderer();
  EmfRenderer(const EmfRenderer&) = delete;
  EmfRenderer& operator=(const EmfRenderer&) = delete;

  // Interprets one record; false at EMR_EOF.
  bool PlayRecord(const gdi::EmfRecord& r);
  // Draws what is still held back (a run of lines); called at the end.
  void Flush();

  struct Pt {
    double x = 0, y = 0;
  };
  // A bitmap's pixels and the box within which they may be written.
  struct PixelTarget {
    uint32_t* data = nullptr;
    int stride = 0;  // in pixels
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  };
  struct Pen {
    uint32_t style = gdi::PS_SOLID;  // PS_STYLE_MASK part
    uint32_t endCap = 0, join = 0;   // PS_ENDCAP_*, PS_JOIN_* bits
    bool geometric = false;
    // Made by CreatePen: GDI decides on the device whether it is cosmetic.
    bool plain = false;
    int32_t width = 0;  // logical units (geometric), else cosmetic
    gdi::COLORREF color = 0;
    std::vector<double> user;  // PS_USERSTYLE dashes, logical units
  };
  struct Brush {
    uint32_t style = gdi::BS_SOLID;
    gdi::COLORREF color = 0xFFFFFF;
    uint32_t hatch = 0;
    std::shared_ptr<cairo_surface_t> pattern;  // DIB pattern brushes
  };
  struct Font {
    int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 400;
    uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0, pitchAndFamily = 0;
    std::string face;  // UTF-8
  };
  struct ClipItem {
    std::vector<std::vector<Pt>> polys;  // output space
    bool evenOdd = false;
    bool exclude = false;
  };
  // A point in cairo's 24.8 fixed point.
  struct FixedPt {
    int32_t x = 0, y = 0;
    bool operator==(const FixedPt& o) const { return x == o.x && y == o.y; }
  };
  // Open figures on the output: their points, and where each begins.
  struct Figures {
    std::vector<Pt> points;
    std::vector<size_t> starts;
  };
  struct Xform {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
  };
  struct DcState {
    int mapMode = gdi::MM_TEXT;
    double winOrgX = 0, winOrgY = 0, winExtX = 1, winExtY = 1;
    double vpOrgX = 0, vpOrgY = 0, vpExtX = 1, vpExtY = 1;
    Xform world;
    int bkMode = gdi::OPAQUE;
    gdi::COLORREF bkColor = 0xFFFFFF, textColor = 0;
    uint32_t textAlign = 0;
    int polyFillMode = gdi::ALTERNATE;
    int arcDirection = gdi::AD_COUNTERCLOCKWISE;
    int rop2 = 13;  // R2_COPYPEN
    double miterLimit = 10;
    int32_t brushOrgX = 0, brushOrgY = 0;
    Pt cur;  // logical
    Pen pen;
    Brush brush;
    Font font;
    std::vector<ClipItem> clip;
  };

 private:
  using Object = std::variant<std::monostate, Pen, Brush, Font>;

  // Transforms (emf_renderer.cpp).
  void SetFixedExtents();
  void Invalidate() { fullValid_ = false; }
  const cairo_matrix_t& Full();
  Pt ToDevice(double x, double y);
  void UseLogical();
  void UseDevice();
  double LinearScaleX();
  // The width a pen of `width` logical units has on the output.
  double PenDeviceWidth(int32_t width);
  // A device coordinate moved onto the pixel edge GDI rounds it to
  // (raster surfaces only).
  double SnapToPixel(double v) const;
  bool FlipsY();  // logical y grows upwards on the output

  // Objects and state (emf_renderer_state.cpp).
  bool StateRecord(const gdi::EmfRecord& r);
  void Select(uint32_t handle);
  void StockObject(uint32_t index);
  void ApplyClip();
  void AddClip(ClipItem item, bool replace);
  bool RegionRects(const gdi::EmfRecord& r, size_t off, uint32_t cb, std::vector<std::vector<Pt>>* polys);
  void ClipToCurrentPath(int mode);

  // Drawing (emf_renderer_draw.cpp).
  bool DrawRecord(const gdi::EmfRecord& r);
  bool ReadPoints(const gdi::EmfRecord& r, size_t countOff, size_t ptsOff, bool small, std::vector<Pt>* pts);
  void BeginShape();
  void FinishShape(bool fill, bool stroke);
  // How the current pen strokes on this output.
  struct Stroke {
    Pen pen;
    double width = 1;       // output units
    bool onePixel = false;  // drawn pixel by pixel (StrokeOnePixel)
    std::vector<double> dashes;  // output units, on and off; empty: solid
  };
  Stroke StrokeFor();
  void SetStroke(const Stroke& st);  // width, caps, joins, colour, dashes
  void StrokeCurrent();
  // The current path (snapped to whole pixels) drawn one pixel per step
  // along each segment's longer axis, without the last pixel of a figure,
  // with `dashes` (device pixels, on and off) counted in those steps through
  // the whole path (emf_renderer_pixels.cpp).
  void StrokeOnePixel(const std::vector<double>& dashes);
  void StrokeOnePixel(const Figures& figures);  // solid
  // Sets the pixels at these output points to the source colour.
  void FillPixels(const std::vector<Pt>& pixels);
  // DirectPixels() when the source is one opaque colour, with that colour
  // as a pixel value.
  const PixelTarget* DirectSource(uint32_t* pixel);
  template <class Shape>
  void DrawPixels(const Shape& shape, const std::vector<double>& dashes);
  // Where one-pixel lines may be written straight into the bitmap: its
  // pixels and the clip's box, when the clip is that box (nullptr when it
  // is not, or the target is no bitmap). Found again after the clip changed.
  const PixelTarget* DirectPixels();
  // Raster surfaces: the current path (curves flattened) with every point
  // moved to its pixel edge, plus `offset` (a half for pixel centres).
  void SnapCurrentPath(double offset);
  void FillCurrent(bool evenOdd);
  bool SetSourceBrush(const Brush& b);
  void SetSourceColor(gdi::COLORREF c);
  void PolyRecord(uint32_t type, const std::vector<Pt>& pts);
  void ArcShape(uint32_t type, const int32_t* v);
  void AppendArc(double l, double t, double r, double b, Pt start, Pt end, bool lineToStart, Pt* endPoint);
  void FillDeviceRect(double x, double y, double w, double h, bool logical);
  void BitBlt(const gdi::EmfRecord& r);
  void StretchDib(const gdi::EmfRecord& r);
  void FillRegion(const gdi::EmfRecord& r, size_t cbOff, size_t dataOff, int brushOff);
  bool PenVisible() const;
  bool BrushFor(uint32_t handle, Brush* b);
  void EnsureAt(Pt p);
  void DrawImage(const uint8_t* bmi, size_t cbBmi, const uint8_t* bits, size_t cbBits, double xDest,
                 double yDest, double cxDest, double cyDest, double xSrc, double ySrc, double cxSrc,
                 double cySrc, bool bottomUpOrigin);

  // Runs of lines (emf_renderer_batch.cpp): the lines of consecutive
  // records drawn with one pen (and the pixels set in its colour) are held
  // in one path, each record a figure of its own, and drawn at once when
  // anything else comes. True when `r` joined the run.
  bool BatchRecord(const gdi::EmfRecord& r);
  bool StartBatch();
  // Adds a record's points (after `first`, the pen position, when given)
  // as a figure, on the pixels the record drawn by itself is stroked along.
  void BatchFigure(const Pt* pts, size_t n, const Pt* first);
  // Whether output rows from `top` to `bottom` meet this drawing's stripes.
  bool NeedsRows(double top, double bottom) const;

  // Text (emf_renderer_text.cpp).
  struct FaceMetrics {
    double ascent = 0.8, descent = 0.2, avgWidth = 0.5;  // per em
  };
  void TextOut(const gdi::EmfRecord& r, bool wide);
  cairo_font_face_t* FaceFor(const Font& f, FaceMetrics* metrics);

  cairo_t* cr_;
  RenderOptions options_;
  gdi::EmfHeader header_;
  cairo_matrix_t base_{};  // reference-device pixels -> output
  cairo_matrix_t full_{};
  bool fullValid_ = false;
  DcState dc_;
  std::vector<DcState> saved_;
  std::vector<Object> objects_;
  bool inPath_ = false;
  bool havePath_ = false;
  bool pixelTargetKnown_ = false;
  PixelTarget pixelTarget_;
  cairo_path_t* path_ = nullptr;  // the closed path, output space
  bool batching_ = false;
  size_t batchRecords_ = 0;
  Stroke batchStroke_;
  cairo_matrix_t batchMatrix_{};  // logical -> output
  double batchOffset_ = 0;
  double batchReach_ = 0;  // how far the pen's ink reaches off its path, output units
  Figures batchFigures_;         // output space, snapped
  std::vector<Pt> batchPixels_;  // output space
  std::vector<Pt> batchPoints_;  // a record's points, kept for their memory
  std::vector<FixedPt> batchFixed_;
  // Wide lines of a run are stroked in groups of figures whose ink cannot
  // meet: where it cannot, one stroke of many figures covers the pixels the
  // figures stroked singly do, and cairo sets up the pen once per group.
  struct InkBox {
    int32_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // device pixels, inclusive; empty: unknown
  };
  std::vector<InkBox> batchBoxes_;  // one per figure
  std::vector<uint32_t> batchGroups_;
  std::vector<size_t> batchOrder_;
  // Per block of the picture: the groups of the current flush that have a
  // figure there (bit g - 1 for group g), and the flush they belong to.
  struct BlockMark {
    uint32_t flush = 0;
    uint64_t groups = 0;
  };
  std::vector<BlockMark> blockMarks_;
  uint32_t blockFlush_ = 0;
  int blockSize_ = 0, blocksX_ = 0, blocksY_ = 0;
  bool GroupFigures();
  struct CachedFace {
    std::string key;
    cairo_font_face_t* face;
    FaceMetrics metrics;
  };
  std::vector<CachedFace> faces_;
};

}  // namespace tsl
