#include "support/pdf_pages.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tsl::test {

namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

bool Capture(const std::string& command, std::string* out) {
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(command.c_str(), "r"), pclose);
  if (!p) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p.get())) > 0) out->append(buf, n);
  return pclose(p.release()) == 0;
}

// The next number of a PPM header, after blanks and comments.
bool HeaderNumber(const std::string& s, size_t* pos, int* value) {
  while (*pos < s.size()) {
    char c = s[*pos];
    if (c == '#') {
      while (*pos < s.size() && s[*pos] != '\n') ++*pos;
    } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
      ++*pos;
    } else {
      break;
    }
  }
  size_t start = *pos;
  while (*pos < s.size() && s[*pos] >= '0' && s[*pos] <= '9') ++*pos;
  if (start == *pos) return false;
  *value = std::atoi(s.substr(start, *pos - start).c_str());
  return true;
}

}  // namespace

bool HavePoppler() {
  return std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdftoppm >/dev/null 2>&1") == 0;
}

std::string PdfText(const std::string& pdf) {
  std::string text;
  Capture("pdftotext -layout " + Quote(pdf) + " - 2>/dev/null", &text);
  return text;
}

bool RenderPdfPage(const std::string& pdf, int page, int dpi, RgbPage* out) {
  std::string ppm;
  std::string n = std::to_string(page);
  if (!Capture("pdftoppm -r " + std::to_string(dpi) + " -f " + n + " -l " + n + " " + Quote(pdf) + " 2>/dev/null",
               &ppm))
    return false;
  if (ppm.compare(0, 2, "P6") != 0) return false;
  size_t pos = 2;
  int w = 0, h = 0, maxval = 0;
  if (!HeaderNumber(ppm, &pos, &w) || !HeaderNumber(ppm, &pos, &h) || !HeaderNumber(ppm, &pos, &maxval) ||
      maxval != 255)
    return false;
  ++pos;  // the one blank after the header
  size_t bytes = static_cast<size_t>(w) * h * 3;
  if (ppm.size() < pos + bytes) return false;
  out->width = w;
  out->height = h;
  out->dpi = dpi;
  out->rgb.assign(ppm.begin() + pos, ppm.begin() + pos + bytes);
  return true;
}

InkBox FindInk(const RgbPage& page, const std::function<bool(const uint8_t* rgb)>& match) {
  InkBox box;
  int l = page.width, t = page.height, r = -1, b = -1;
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x)
      if (match(page.At(x, y))) {
        if (x < l) l = x;
        if (x > r) r = x;
        if (y < t) t = y;
        if (y > b) b = y;
      }
  if (r < 0) return box;
  double mm = 25.4 / page.dpi;
  box.found = true;
  box.left = l * mm;
  box.top = t * mm;
  box.right = (r + 1) * mm;
  box.bottom = (b + 1) * mm;
  return box;
}

bool IsRed(const uint8_t* p) { return p[0] > 180 && p[1] < 90 && p[2] < 90; }
bool IsDark(const uint8_t* p) { return p[0] < 100 && p[1] < 100 && p[2] < 100; }

}  // namespace tsl::test
