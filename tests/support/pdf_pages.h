// Reading printed pages back with poppler's tools, as a person would look
// at them: the text of a PDF (pdftotext) and its pages as pixels (pdftoppm).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tsl::test {

// True when pdftotext and pdftoppm can be run.
bool HavePoppler();

// The text of every page, as pdftotext lays it out.
std::string PdfText(const std::string& pdf);

struct RgbPage {
  int width = 0, height = 0, dpi = 0;
  std::vector<uint8_t> rgb;  // width * height * 3
  const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};
// Page `page` (from 1) rendered at `dpi`. False when it cannot be.
bool RenderPdfPage(const std::string& pdf, int page, int dpi, RgbPage* out);

// The smallest box holding every pixel that `match` accepts, in
// millimetres from the page's top left corner; found is false without one.
struct InkBox {
  bool found = false;
  double left = 0, top = 0, right = 0, bottom = 0;
};
InkBox FindInk(const RgbPage& page, const std::function<bool(const uint8_t* rgb)>& match);
bool IsRed(const uint8_t* rgb);
bool IsDark(const uint8_t* rgb);

}  // namespace tsl::test
