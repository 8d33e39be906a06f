// The printed page made with cairo: the page layout of page_layout.h drawn
// onto PDF pages of the printer's paper, at the printer's resolution, for
// the print queue or a file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "output/page_layout.h"

namespace tsl {

// The paper of a printer: its size and printable area in 0.01 mm, and its
// resolution.
struct PrinterPaper {
  int32_t width = 21000, length = 29700;  // A4
  int32_t left = 0, right = 0, top = 0, bottom = 0;  // unprintable edges
  int32_t dpi = 600;
};

// GetDeviceCaps of such a printer: the printable area in device pixels.
PrinterMetrics MetricsOf(const PrinterPaper& paper);

struct PrintedPage {
  const uint8_t* emf = nullptr;  // one metafile per page
  size_t size = 0;
};

// The job name of a page: its picture name, or "No Title".
std::string DocumentNameOf(const PrintedPage& page);

// Writes `pages` as a PDF file at `path` (replaced only when complete), one
// sheet each, with the heading and footer of `setup` expanded at `now`.
// The PDF's title is the first page's document name. False with a reason
// in *error (a damaged metafile, margins that leave no room, a write error).
bool WritePrintPdf(const std::vector<PrintedPage>& pages, const PageSetup& setup, const PrinterPaper& paper,
                   int64_t now, const std::string& path, std::string* error);

}  // namespace tsl
