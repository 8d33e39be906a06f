#include "output/page_setup_form.h"

namespace tsl {

namespace {

bool ParseMargin(const std::string& text, int32_t* out) {
  size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
  if (b == std::string::npos) return false;
  int32_t v = 0;
  for (size_t i = b; i <= e; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > kMaxMargin) return false;
  }
  *out = v;
  return true;
}

}  // namespace

PageSetupForm FormFromSetup(const PageSetup& s) {
  PageSetupForm f;
  f.left = std::to_string(static_cast<uint32_t>(s.leftMargin));
  f.top = std::to_string(static_cast<uint32_t>(s.topMargin));
  f.right = std::to_string(static_cast<uint32_t>(s.rightMargin));
  f.bottom = std::to_string(static_cast<uint32_t>(s.bottomMargin));
  f.heading = s.heading.empty() ? "&n" : s.heading;
  f.footer = s.footer.empty() ? "&a" : s.footer;
  f.fitToPage = s.fitToPage;
  f.maintainAspectRatio = s.maintainAspectRatio;
  f.centerOnPage = s.centerOnPage;
  return f;
}

PageSetup SetupFromForm(const PageSetupForm& f, const PageSetup& current, std::string* bad) {
  PageSetup s = current;
  std::string rejected;
  struct {
    const std::string& text;
    int32_t* value;
    const char* name;
  } margins[] = {{f.left, &s.leftMargin, "Left"},
                 {f.top, &s.topMargin, "Top"},
                 {f.right, &s.rightMargin, "Right"},
                 {f.bottom, &s.bottomMargin, "Bottom"}};
  for (auto& m : margins)
    if (!ParseMargin(m.text, m.value)) rejected += rejected.empty() ? m.name : std::string(", ") + m.name;
  s.heading = f.heading.substr(0, kMaxPageTemplate);
  s.footer = f.footer.substr(0, kMaxPageTemplate);
  s.fitToPage = f.fitToPage;
  s.maintainAspectRatio = f.maintainAspectRatio;
  s.centerOnPage = f.centerOnPage;
  if (bad) *bad = rejected;
  return s;
}

}  // namespace tsl
