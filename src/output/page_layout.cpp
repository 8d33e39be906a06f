#include "output/page_layout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>

#include "common/version.h"
#include "settings/settings_registry.h"

namespace tsl {

namespace {

constexpr int64_t kMaxCoord = INT32_MAX;

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::max<int64_t>(-kMaxCoord, std::min(v, kMaxCoord))); }

// The drawing's size on the printer when printed at its recorded size:
// its frame (0.01 mm) at the printer's resolution. A metafile without a
// frame falls back to its bounds, taken as pixels of the printer.
void RecordedSize(const LayoutInput& in, int64_t* w, int64_t* h) {
  int64_t fw = static_cast<int64_t>(in.frame.right) - in.frame.left;
  int64_t fh = static_cast<int64_t>(in.frame.bottom) - in.frame.top;
  if (fw > 0 && fh > 0) {
    *w = static_cast<int64_t>(static_cast<double>(fw) * in.printer.logPixelsX / 2540.0);
    *h = static_cast<int64_t>(static_cast<double>(fh) * in.printer.logPixelsY / 2540.0);
    return;
  }
  *w = static_cast<int64_t>(in.bounds.right) - in.bounds.left;
  *h = static_cast<int64_t>(in.bounds.bottom) - in.bounds.top;
}

// Shrinks (l, t, r, b) to the largest rectangle of the drawing's
// proportions (w : h) that the area holds, centred or at the top left.
void KeepAspect(int64_t w, int64_t h, bool centre, int64_t* l, int64_t* t, int64_t* r, int64_t* b) {
  int64_t W = *r - *l, H = *b - *t;
  if (w <= 0 || h <= 0) return;  // no proportions to keep
  double a = static_cast<double>(w) / static_cast<double>(h);
  if (static_cast<double>(w) * H >= static_cast<double>(h) * W) {
    // Wider than the area: full width, the height from it.
    int64_t d = (H - static_cast<int64_t>(W / a)) / 2;
    if (centre) *t += d, *b -= d;
    else *b -= 2 * d;
  } else {
    int64_t d = (W - static_cast<int64_t>(H * a)) / 2;
    if (centre) *l += d, *r -= d;
    else *r -= 2 * d;
  }
}

std::string LocalTimeText(int64_t now, const char* format) {
  std::time_t tt = static_cast<std::time_t>(now);
  std::tm tm{};
#if defined(_WIN32)
  if (localtime_s(&tm, &tt) != 0) return std::string();
#else
  if (!localtime_r(&tt, &tm)) return std::string();
#endif
  char buf[128];
  size_t n = std::strftime(buf, sizeof buf, format, &tm);
  return std::string(buf, n);
}

}  // namespace

PageLayout LayOutPage(const LayoutInput& in) {
  PageLayout out;
  const PrinterMetrics& p = in.printer;
  const PageSetup& s = in.setup;
  // Whole pixels per millimetre, as the margins have always been measured.
  int64_t px = static_cast<int64_t>(p.logPixelsX / 25.4), py = static_cast<int64_t>(p.logPixelsY / 25.4);
  int64_t left = s.leftMargin * px, top = s.topMargin * py;
  int64_t right = p.horzRes - s.rightMargin * px, bottom = p.vertRes - s.bottomMargin * py;

  if (!in.heading.empty()) {
    out.hasHeading = true;
    out.headingX = Clamp32(std::max<int64_t>(0, left + (right - left - in.headingSize.cx) / 2));
    out.headingY = Clamp32(top);
    top += in.headingSize.cy;
  }
  if (!in.footer.empty()) {
    out.hasFooter = true;
    out.footerX = Clamp32(std::max<int64_t>(0, left + (right - left - in.footerSize.cx) / 2));
    out.footerY = Clamp32(bottom - in.footerSize.cy);
    bottom -= in.footerSize.cy;
  }
  out.area = {Clamp32(left), Clamp32(top), Clamp32(right), Clamp32(bottom)};
  int64_t W = right - left, H = bottom - top;
  if (W <= 0 || H <= 0) return out;  // ok stays false

  int64_t bw = 0, bh = 0;
  RecordedSize(in, &bw, &bh);
  if (!s.fitToPage && bw > 0 && bh > 0 && bw <= W && bh <= H) {
    int64_t sx = (W - bw) >> 1, sy = (H - bh) >> 1;
    if (s.centerOnPage) {
      left += sx, top += sy, right -= sx, bottom -= sy;
    } else {
      right -= 2 * sx;
      bottom -= (H - bh) & ~int64_t{1};
    }
  } else if (!s.fitToPage || s.maintainAspectRatio) {
    // Fitted with its proportions, and a drawing larger than the area
    // shrunk to it the same way.
    KeepAspect(bw, bh, s.centerOnPage, &left, &top, &right, &bottom);
  }
  out.picture = {Clamp32(left), Clamp32(top), Clamp32(right), Clamp32(bottom)};
  out.ok = true;
  return out;
}

PictureNames DescriptionNames(const std::string& description) {
  PictureNames names;
  if (description.empty() || description[0] == '\0') {
    names.application = names.picture = "(untitled)";
    return names;
  }
  size_t end = description.find('\0');
  names.application = description.substr(0, end);
  if (end != std::string::npos) {
    size_t end2 = description.find('\0', end + 1);
    names.picture = description.substr(end + 1, end2 == std::string::npos ? end2 : end2 - end - 1);
  }
  return names;
}

std::string DocumentName(const std::string& description) {
  if (description.empty()) return "No Title";
  PictureNames names = DescriptionNames(description);
  return names.picture.empty() ? "No Title" : names.picture;
}

std::string PrintDate(int64_t now) { return LocalTimeText(now, "%d. %b %Y"); }
std::string PrintTime(int64_t now) { return LocalTimeText(now, "%X"); }

std::string VarSubst(const std::string& text, const PictureNames& names, int64_t now) {
  constexpr size_t kMax = 511;  // the 512-byte buffer with its terminator
  std::string out;
  for (size_t i = 0; i < text.size() && out.size() < kMax; ++i) {
    char c = text[i];
    if (c != '&') {
      out += c;
      continue;
    }
    if (++i >= text.size()) break;  // a lone "&" at the end ends the text
    switch (text[i]) {
      case 'A': case 'a': out += names.application; break;
      case 'D': case 'd': out += PrintDate(now); break;
      case 'N': {
        std::string upper = names.picture;
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        out += upper;
        break;
      }
      case 'n': out += names.picture; break;
      case 'T': case 't': out += PrintTime(now); break;
      case 'V': out += "Tessella"; break;
      case 'v': out += TESSELLA_BANNER; break;
      default: out += text[i]; break;
    }
  }
  if (out.size() > kMax) out.resize(kMax);
  return out;
}

void ReadDefaultPageSetup(PageSetup* s) {
  *s = PageSetup();
  s->fitToPage = GetSettingsInt(nullptr, "FitToPage", 0) != 0;
  s->maintainAspectRatio = GetSettingsInt(nullptr, "MaintainAspectRatio", 1) != 0;
  s->centerOnPage = GetSettingsInt(nullptr, "CenterOnPage", 1) != 0;
  // Margins are whole millimetres; a stored value past any page is kept
  // (the layout then finds no room) but cannot overflow the arithmetic.
  auto margin = [](const char* name) {
    return static_cast<int32_t>(std::min<uint32_t>(GetSettingsInt(nullptr, name, 10), 100000));
  };
  s->topMargin = margin("TopMargin");
  s->leftMargin = margin("LeftMargin");
  s->bottomMargin = margin("BottomMargin");
  s->rightMargin = margin("RightMargin");
  // A longer template (written by hand) is cut rather than dropped.
  s->heading = GetSettingsText(nullptr, "PageHeading", "").substr(0, kMaxPageTemplate);
  s->footer = GetSettingsText(nullptr, "PageFooter", "").substr(0, kMaxPageTemplate);
}

bool WritePageSetup(Notices& notices, const PageSetup& s) {
  SettingsBatch batch(notices);
  std::string heading = s.heading.substr(0, kMaxPageTemplate), footer = s.footer.substr(0, kMaxPageTemplate);
  int ok = WriteSettingsInt(notices, nullptr, "FitToPage", s.fitToPage) &
           WriteSettingsInt(notices, nullptr, "MaintainAspectRatio", s.maintainAspectRatio) &
           WriteSettingsInt(notices, nullptr, "CenterOnPage", s.centerOnPage) &
           WriteSettingsInt(notices, nullptr, "TopMargin", static_cast<uint32_t>(s.topMargin)) &
           WriteSettingsInt(notices, nullptr, "LeftMargin", static_cast<uint32_t>(s.leftMargin)) &
           WriteSettingsInt(notices, nullptr, "BottomMargin", static_cast<uint32_t>(s.bottomMargin)) &
           WriteSettingsInt(notices, nullptr, "RightMargin", static_cast<uint32_t>(s.rightMargin)) &
           WriteSettingsString(notices, nullptr, "PageHeading", heading.c_str()) &
           WriteSettingsString(notices, nullptr, "PageFooter", footer.c_str());
  return batch.Commit() && ok;
}

}  // namespace tsl
