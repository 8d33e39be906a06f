// The toolbar: 17 entries over the images of bitmap 5500, with tooltips
// from the string table.
#include "common/strings.h"

#include "resources/resource_ids.h"
#include "shell/frame.h"
#include "shell/globals.h"

#include <commctrl.h>

#undef LoadString  // tsl::LoadString, not the Win32 macro

namespace tsl::shell {

namespace {

struct Button {
  int image;  // -1: separator
  unsigned id;
};

constexpr Button kButtons[] = {
    {-1, 0},
    {0, IDM_OPEN_HPGL},
    {1, IDM_VIEW_LOG},
    {-1, 0},
    {2, IDM_PRINT},
    {-1, 0},
    {3, IDM_COPY},
    {4, IDM_PASTE},
    {-1, 0},
    {5, IDM_OPTIONS},
    {-1, 0},
    {6, IDM_NORMAL_VIEW},
    {10, IDM_FIT_WINDOW},
    {7, IDM_ZOOM_IN},
    {8, IDM_ZOOM_OUT},
    {-1, 0},
    {9, IDM_HELP_CONTENTS},
};

}  // namespace

std::string ToolTipText(unsigned id) {
  for (const Button& b : kButtons) {
    if (b.image >= 0 && b.id == id) {
      std::string text;
      if (!LoadString(id, &text, 80)) text.clear();
      return text;
    }
  }
  return std::string();
}

HWND CreateToolbar(HWND frame) {
  TBBUTTON buttons[std::size(kButtons)] = {};
  for (size_t i = 0; i < std::size(kButtons); ++i) {
    const Button& b = kButtons[i];
    buttons[i].iBitmap = b.image < 0 ? 0 : b.image;
    buttons[i].idCommand = static_cast<int>(b.id);
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = b.image < 0 ? BTNS_SEP : BTNS_BUTTON;
  }
  return CreateToolbarEx(frame, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, IDC_TOOLBAR, IDB_TOOLBAR_IMAGES,
                         gvGlobals.instance, IDB_TOOLBAR, buttons, static_cast<int>(std::size(kButtons)), 16, 16,
                         16, 16, sizeof(TBBUTTON));
}

}  // namespace tsl::shell
