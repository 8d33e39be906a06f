#include "output/vector_export.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <cerrno>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "common/atomic_file.h"
#include "common/version.h"
#include "output/cairo_file_stream.h"
#include "output/emf_renderer.h"
#include "output/metafile_load_stream.h"
#include "output/raster_export.h"
#include "platform/clock.h"

namespace tsl {

namespace {
constexpr double kMaxPoints = 14400;  // PDF's page limit of 200 inches

cairo_status_t WriteToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        // Control characters are not allowed in XML 1.0.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        break;
    }
  }
  return out;
}

// SVG text elements for the collected runs: each is placed in its own
// glyph space (one unit = one em), so rotation and stretching carry over.
std::string SvgText(const std::vector<TextRun>& runs) {
  std::string out;
  for (const TextRun& r : runs) {
    cairo_matrix_t inv = r.glyphSpace;
    if (cairo_matrix_invert(&inv) != CAIRO_STATUS_SUCCESS) continue;
    const char* generic = (r.genericFamily & 0xF0) == 0x10 ? "serif"
                          : (r.genericFamily & 0xF0) == 0x30 ? "monospace"
                                                             : "sans-serif";
    std::string family = r.family.empty() ? generic : "'" + Escape(r.family) + "', " + generic;
    const cairo_matrix_t& m = r.glyphSpace;
    out += Format("<text xml:space=\"preserve\" transform=\"matrix(%g %g %g %g %g %g)\" font-size=\"1\" "
                  "font-family=\"%s\" fill=\"#%02x%02x%02x\"",
                  m.xx, m.yx, m.xy, m.yy, m.x0, m.y0, family.c_str(), gdi::GetRValue(r.color),
                  gdi::GetGValue(r.color), gdi::GetBValue(r.color));
    if (r.bold) out += " font-weight=\"bold\"";
    if (r.italic) out += " font-style=\"italic\"";
    if (r.underline || r.strikeOut)
      out += std::string(" text-decoration=\"") + (r.underline ? "underline" : "") +
             (r.underline && r.strikeOut ? " " : "") + (r.strikeOut ? "line-through" : "") + "\"";
    if (!r.xs.empty()) {
      std::string xs, ys;
      for (size_t i = 0; i < r.xs.size(); ++i) {
        double x = r.xs[i], y = r.ys[i];
        cairo_matrix_transform_point(&inv, &x, &y);
        xs += Format(i ? " %g" : "%g", x);
        ys += Format(i ? " %g" : "%g", y);
      }
      out += " x=\"" + xs + "\" y=\"" + ys + "\"";
    }
    out += ">" + Escape(r.utf8) + "</text>\n";
  }
  return out;
}
bool WriteVector(MetafileStream& stream, VectorFormat format, const std::string& path, double width,
                 std::string* error, const std::atomic<bool>* cancel);
}  // namespace

bool EmfToVectorFile(const uint8_t* emf, size_t size, VectorFormat format, const std::string& path, double width,
                     std::string* error, const std::atomic<bool>* cancel) {
  MetafileStream stream;
  std::string why;
  if (!emf || !stream.OpenBytes(emf, size, &why)) {
    *error = "The metafile cannot be read: " + (emf ? why : std::string("no data"));
    return false;
  }
  return WriteVector(stream, format, path, width, error, cancel);
}

bool EmfToVectorFile(const std::string& metafilePath, VectorFormat format, const std::string& path, double width,
                     std::string* error, const std::atomic<bool>* cancel) {
  MetafileStream stream;
  std::string why;
  if (!stream.Open(metafilePath, &why)) {
    *error = "The metafile cannot be read: " + why;
    return false;
  }
  return WriteVector(stream, format, path, width, error, cancel);
}

namespace {
bool WriteVector(MetafileStream& stream, VectorFormat format, const std::string& path, double width,
                 std::string* error, const std::atomic<bool>* cancel) {
  std::string why;
  const gdi::Rect& f = stream.Header().rclFrame;
  double w = (static_cast<double>(f.right) - f.left) / 2540.0 * 72.0;
  double h = (static_cast<double>(f.bottom) - f.top) / 2540.0 * 72.0;
  if (!(w > 0) || !(h > 0)) {
    *error = "The metafile has no picture size.";
    return false;
  }
  if (width > 0) {
    h = h * width / w;
    w = width;
  }
  if (w > kMaxPoints || h > kMaxPoints) {
    double s = kMaxPoints / std::fmax(w, h);
    w *= s;
    h *= s;
  }
  AtomicFile file;
  if (!file.Open(path)) {
    *error = GetSysErr();
    return false;
  }
  // SVG is made in memory so that the text elements can go in at its end.
  std::string svg;
  std::vector<TextRun> runs;
  CairoFileTarget target{file.Stream()};
  cairo_surface_t* raw = format == VectorFormat::Pdf
                             ? cairo_pdf_surface_create_for_stream(WriteToCairoFile, &target, w, h)
                             : cairo_svg_surface_create_for_stream(WriteToString, &svg, w, h);
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(raw, cairo_surface_destroy);
  if (cairo_surface_status(raw) != CAIRO_STATUS_SUCCESS) {
    *error = cairo_status_to_string(cairo_surface_status(raw));
    return false;
  }
  if (format == VectorFormat::Pdf) {
    cairo_pdf_surface_set_metadata(raw, CAIRO_PDF_METADATA_CREATOR, "Tessella " TESSELLA_VERSION);
    cairo_pdf_surface_set_metadata(raw, CAIRO_PDF_METADATA_TITLE, path.c_str());
    // cairo would date the file now; SystemClock honours SOURCE_DATE_EPOCH.
    std::time_t now = static_cast<std::time_t>(SystemClock().Now());
    std::tm utc{};
    char date[32];
    if (gmtime_r(&now, &utc) && std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%SZ", &utc)) {
      cairo_pdf_surface_set_metadata(raw, CAIRO_PDF_METADATA_CREATE_DATE, date);
      cairo_pdf_surface_set_metadata(raw, CAIRO_PDF_METADATA_MOD_DATE, date);
    }
  }
  {
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(raw), cairo_destroy);
    RenderOptions ro;
    ro.antialias = true;
    ro.pixelCentres = false;
    ro.minLineWidth = 0.25;
    ro.cosmeticWidth = 0.75;  // a pixel at 96 dots per inch
    // cairo's SVG surface draws glyphs as outlines; text elements keep the
    // words searchable and editable.
    if (format == VectorFormat::Svg) ro.textRuns = &runs;
    ro.cancel = cancel;
    ro.timeLimit = kMaxRenderSeconds;
    PlayResult played = PlayEnhMetaFile(cr.get(), stream.Reader(), DestRect{0, 0, w, h}, ro, &why);
    cairo_show_page(cr.get());
    if (played == PlayResult::kDamaged) {
      *error = "The metafile cannot be read: " + why;
      return false;
    }
    if (played == PlayResult::kTimedOut) {
      *error = Format("Drawing the picture took longer than %.0f seconds; it was given up.", kMaxRenderSeconds);
      return false;
    }
  }
  if (cancel && cancel->load()) {
    *error = "interrupted";
    return false;
  }
  cairo_surface_finish(raw);
  cairo_status_t status = cairo_surface_status(raw);
  surface.reset();
  if (status != CAIRO_STATUS_SUCCESS) {
    *error = cairo_status_to_string(status);
    if (target.error) *error += ": " + SysErrText(target.error);
    return false;
  }
  if (format == VectorFormat::Svg) {
    size_t end = svg.rfind("</svg>");
    if (end == std::string::npos) end = svg.size();
    svg.insert(end, SvgText(runs));
    if (std::fwrite(svg.data(), 1, svg.size(), file.Stream()) != svg.size()) {
      *error = GetSysErr();
      return false;
    }
  }
  if (!file.Commit()) {
    *error = GetSysErr();
    return false;
  }
  return true;
}
}  // namespace

}  // namespace tsl
