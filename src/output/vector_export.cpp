#include "output/vector_export.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <cmath>
#include <memory>

#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "output/atomic_file.h"
#include "output/emf_renderer.h"

namespace tsl {

namespace {
constexpr double kMaxPoints = 14400;  // PDF's page limit of 200 inches

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length) {
  FILE* f = static_cast<FILE*>(closure);
  return std::fwrite(data, 1, length, f) == length ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}
}  // namespace

bool EmfToVectorFile(const uint8_t* emf, size_t size, VectorFormat format, const std::string& path, double width,
                     std::string* error) {
  gdi::EmfReader reader;
  std::string why;
  if (!emf || !reader.Parse(emf, size, &why)) {
    *error = "The metafile cannot be read: " + why;
    return false;
  }
  const gdi::Rect& f = reader.Header().rclFrame;
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
  cairo_surface_t* raw = format == VectorFormat::Pdf
                             ? cairo_pdf_surface_create_for_stream(WriteToFile, file.File(), w, h)
                             : cairo_svg_surface_create_for_stream(WriteToFile, file.File(), w, h);
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(raw, cairo_surface_destroy);
  if (cairo_surface_status(raw) != CAIRO_STATUS_SUCCESS) {
    *error = cairo_status_to_string(cairo_surface_status(raw));
    return false;
  }
  if (format == VectorFormat::Pdf) {
    cairo_pdf_surface_set_metadata(raw, CAIRO_PDF_METADATA_CREATOR, "Tessella 5.4.1110");
    cairo_pdf_surface_set_metadata(raw, CAIRO_PDF_METADATA_TITLE, path.c_str());
  }
  {
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(raw), cairo_destroy);
    RenderOptions ro;
    ro.antialias = true;
    ro.pixelCentres = false;
    ro.minLineWidth = 0.25;
    PlayEnhMetaFile(cr.get(), reader, DestRect{0, 0, w, h}, ro);
    cairo_show_page(cr.get());
  }
  cairo_surface_finish(raw);
  cairo_status_t status = cairo_surface_status(raw);
  surface.reset();
  if (status != CAIRO_STATUS_SUCCESS) {
    *error = cairo_status_to_string(status);
    return false;
  }
  if (!file.Commit()) {
    *error = GetSysErr();
    return false;
  }
  return true;
}

}  // namespace tsl
