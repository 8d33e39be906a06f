// What the Page Setup dialog shows for a page setup, and what a page setup
// becomes from what the user left in it: plain data, so that the dialog's
// window code only moves texts and check marks.
#pragma once
#include <string>

#include "output/page_layout.h"

namespace tsl {

struct PageSetupForm {
  std::string left, top, right, bottom;  // margins in millimetres
  std::string heading, footer;
  bool fitToPage = false, maintainAspectRatio = false, centerOnPage = false;
};

// Margins as whole numbers; an empty heading shows "&n" (the picture's
// name) and an empty footer "&a" (the application), ready to be taken.
PageSetupForm FormFromSetup(const PageSetup& setup);

// The largest margin the dialog takes, in millimetres (a metre and more
// leaves nothing of any paper).
constexpr int32_t kMaxMargin = 1000;

// The page setup of the form: the templates cut to kMaxPageTemplate
// characters; a margin that is not a whole number from 0 to kMaxMargin
// keeps its value in `current`, and its name is put in *bad (empty when
// every margin was taken).
PageSetup SetupFromForm(const PageSetupForm& form, const PageSetup& current, std::string* bad = nullptr);

}  // namespace tsl
