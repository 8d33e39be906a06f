#include "output/print_page.h"

#include <cairo-pdf.h>

#include <cerrno>
#include <cmath>
#include <memory>

#include "common/atomic_file.h"
#include "common/gdi/emf_bytes.h"
#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "common/strings.h"
#include "common/version.h"
#include "resources/string_ids.h"
#include "output/cairo_file_stream.h"
#include "output/emf_renderer.h"

namespace tsl {

namespace {

// The printer's own font for the heading and footer: 12 points, as a
// printer's default font is.
constexpr double kTextPoints = 12;

std::string Description(const gdi::EmfHeader& h) {
  return gdi::Utf16ToUtf8(h.description.data(), h.description.size());
}

void SelectTextFont(cairo_t* cr, int32_t dpi) {
  cairo_select_font_face(cr, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kTextPoints * dpi / 72.0);
}

// GetTextExtentPoint32: the advance and the font's line height.
TextSize MeasureText(cairo_t* cr, const std::string& text) {
  if (text.empty()) return {};
  cairo_text_extents_t te;
  cairo_font_extents_t fe;
  cairo_text_extents(cr, text.c_str(), &te);
  cairo_font_extents(cr, &fe);
  return {static_cast<int32_t>(std::ceil(te.x_advance)), static_cast<int32_t>(std::ceil(fe.ascent + fe.descent))};
}

// TextOut with the default alignment: (x, y) is the top left of the line.
void DrawText(cairo_t* cr, const std::string& text, int32_t x, int32_t y) {
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_move_to(cr, x, y + fe.ascent);
  cairo_show_text(cr, text.c_str());
  cairo_new_path(cr);
}

bool DrawPage(cairo_t* cr, const gdi::EmfReader& emf, const PageSetup& setup, const PrinterPaper& paper,
              int64_t now, std::string* error) {
  const gdi::EmfHeader& h = emf.Header();
  PictureNames names = DescriptionNames(Description(h));
  LayoutInput in;
  in.setup = setup;
  in.printer = MetricsOf(paper);
  in.frame = {h.rclFrame.left, h.rclFrame.top, h.rclFrame.right, h.rclFrame.bottom};
  in.bounds = {h.rclBounds.left, h.rclBounds.top, h.rclBounds.right, h.rclBounds.bottom};
  in.heading = VarSubst(setup.heading, names, now);
  in.footer = VarSubst(setup.footer, names, now);
  cairo_save(cr);
  SelectTextFont(cr, paper.dpi);
  in.headingSize = MeasureText(cr, in.heading);
  in.footerSize = MeasureText(cr, in.footer);
  PageLayout layout = LayOutPage(in);
  if (!layout.ok) {
    cairo_restore(cr);
    if (!LoadString(IDS_PRINT_NO_ROOM, error)) *error = "The margins leave no room for the drawing on the page.";
    return false;
  }
  if (layout.hasHeading) DrawText(cr, in.heading, layout.headingX, layout.headingY);
  if (layout.hasFooter) DrawText(cr, in.footer, layout.footerX, layout.footerY);
  RenderOptions ro;
  ro.antialias = true;
  ro.pixelCentres = false;
  ro.minLineWidth = 1;  // one printer dot, as GDI draws on a printer
  ro.cosmeticWidth = 1;
  const PageRect& p = layout.picture;
  PlayEnhMetaFile(cr, emf, DestRect{static_cast<double>(p.left), static_cast<double>(p.top),
                                    static_cast<double>(p.right) - p.left, static_cast<double>(p.bottom) - p.top},
                  ro);
  cairo_restore(cr);
  cairo_show_page(cr);
  return true;
}

}  // namespace

PrinterMetrics MetricsOf(const PrinterPaper& paper) {
  PrinterMetrics m;
  m.logPixelsX = m.logPixelsY = paper.dpi;
  auto pixels = [&](int32_t hundredths) {
    return static_cast<int32_t>(static_cast<double>(hundredths) * paper.dpi / 2540.0);
  };
  m.horzRes = pixels(paper.width - paper.left - paper.right);
  m.vertRes = pixels(paper.length - paper.top - paper.bottom);
  return m;
}

std::string DocumentNameOf(const PrintedPage& page) {
  gdi::EmfReader reader;
  std::string why;
  if (!page.emf || !reader.Parse(page.emf, page.size, &why)) return DocumentName("");
  return DocumentName(Description(reader.Header()));
}

bool WritePrintPdf(const std::vector<PrintedPage>& pages, const PageSetup& setup, const PrinterPaper& paper,
                   int64_t now, const std::string& path, std::string* error) {
  if (pages.empty()) {
    *error = "there is nothing to print";
    return false;
  }
  if (paper.width <= 0 || paper.length <= 0 || paper.dpi <= 0) {
    *error = "the printer's paper has no size";
    return false;
  }
  // Every page is read before anything is written: a damaged one fails
  // the job rather than leave half a document.
  std::vector<gdi::EmfReader> readers(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    std::string why;
    if (!pages[i].emf || !readers[i].Parse(pages[i].emf, pages[i].size, &why)) {
      *error = "the metafile cannot be read: " + why;
      return false;
    }
  }
  AtomicFile file;
  if (!file.Open(path)) {
    *error = GetSysErr();
    return false;
  }
  CairoFileTarget target{file.Stream()};
  double w = paper.width / 2540.0 * 72.0, h = paper.length / 2540.0 * 72.0;
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
      cairo_pdf_surface_create_for_stream(WriteToCairoFile, &target, w, h), cairo_surface_destroy);
  cairo_surface_t* raw = surface.get();
  if (cairo_surface_status(raw) != CAIRO_STATUS_SUCCESS) {
    *error = cairo_status_to_string(cairo_surface_status(raw));
    return false;
  }
  std::string title = DocumentName(Description(readers[0].Header()));
  cairo_pdf_surface_set_metadata(raw, CAIRO_PDF_METADATA_CREATOR, "Tessella " TESSELLA_VERSION);
  cairo_pdf_surface_set_metadata(raw, CAIRO_PDF_METADATA_TITLE, title.c_str());
  // Device units are the printer's dots, from the printable area's corner,
  // as on a printer's device context.
  cairo_surface_set_device_scale(raw, 72.0 / paper.dpi, 72.0 / paper.dpi);
  cairo_surface_set_device_offset(raw, paper.left / 2540.0 * 72.0, paper.top / 2540.0 * 72.0);
  {
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(raw), cairo_destroy);
    for (const gdi::EmfReader& r : readers)
      if (!DrawPage(cr.get(), r, setup, paper, now, error)) return false;
  }
  cairo_surface_finish(raw);
  cairo_status_t status = cairo_surface_status(raw);
  surface.reset();
  if (status != CAIRO_STATUS_SUCCESS) {
    *error = cairo_status_to_string(status);
    if (target.error) *error += ": " + SysErrText(target.error);
    return false;
  }
  if (!file.Commit()) {
    *error = GetSysErr();
    return false;
  }
  return true;
}

}  // namespace tsl
