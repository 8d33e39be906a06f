// The printed page: margins, an optional heading and footer, and the
// drawing placed in what is left, fitted or at its recorded size. Plain
// data in and out, so that the Windows print thread and the Linux printing
// lay out the same page, and tests can check it without a printer. (No
// GDI types here: the Windows code includes this beside <windows.h>.)
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/notices.h"


namespace tsl {

// The page-setup fields of the print record; the defaults are those of a
// user who never opened Page Setup.
struct PageSetup {
  bool fitToPage = false;
  bool maintainAspectRatio = true;
  bool centerOnPage = true;
  std::string heading;  // template, at most kMaxPageTemplate characters
  std::string footer;
  int32_t leftMargin = 10, rightMargin = 10, topMargin = 10, bottomMargin = 10;  // millimetres
};
constexpr size_t kMaxPageTemplate = 79;

// What the layout needs of the printer (GetDeviceCaps).
struct PrinterMetrics {
  int32_t logPixelsX = 0, logPixelsY = 0;  // dots per inch
  int32_t horzRes = 0, vertRes = 0;        // printable area, device pixels
};

struct TextSize {
  int32_t cx = 0, cy = 0;
};

struct PageRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct LayoutInput {
  PageSetup setup;
  PrinterMetrics printer;
  // The expanded heading and footer (empty: none) and their sizes in the
  // printer's font.
  std::string heading, footer;
  TextSize headingSize, footerSize;
  // The drawing: its header's frame (0.01 mm) and bounds (reference-device
  // pixels, used only for a metafile without a frame).
  PageRect frame, bounds;
};

struct PageLayout {
  // False when the margins (with heading and footer) leave no room for the
  // drawing; nothing should be printed then.
  bool ok = false;
  bool hasHeading = false, hasFooter = false;
  int32_t headingX = 0, headingY = 0;  // top left of the text
  int32_t footerX = 0, footerY = 0;
  PageRect area;     // between the margins, heading and footer
  PageRect picture;  // where the drawing's frame is played
};

PageLayout LayOutPage(const LayoutInput& in);

// A metafile description's two strings: the application that made the
// picture and the picture's name.
struct PictureNames {
  std::string application, picture;
};
// From a description given as its strings each ended by a NUL; an empty
// description gives "(untitled)" for both.
PictureNames DescriptionNames(const std::string& description);
// The print job's name: the picture name, or "No Title".
std::string DocumentName(const std::string& description);

// Expands a heading or footer template: &a application, &d date, &n picture
// name (&N upper-cased), &t time, &V and &v the program's short and long
// names; "&" before any other character gives that character, and a "&"
// ending the template ends the text. The result is cut to 511 bytes.
std::string VarSubst(const std::string& text, const PictureNames& names, int64_t now);

// The date and time as the templates show them ("%d. %b %Y", "%X"), local.
std::string PrintDate(int64_t now);
std::string PrintTime(int64_t now);

// The page setup in the base key of the settings (the defaults above for
// missing values; templates cut to kMaxPageTemplate).
void ReadDefaultPageSetup(PageSetup* setup);
// Writes all nine values at once; false after `notices` were told why.
bool WritePageSetup(Notices& notices, const PageSetup& setup);

}  // namespace tsl
