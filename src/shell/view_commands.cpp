// The View menu and the scrolling keys.
#include "resources/resource_ids.h"
#include "shell/commands.h"
#include "shell/view.h"

namespace tsl::shell {

LRESULT CmdZoom(HWND frame, unsigned id, LPARAM) {
  ChangeZoomFactor(frame, id);
  return 0;
}

LRESULT CmdShrinkWrap(HWND frame, unsigned, LPARAM) {
  ShrinkWrap(frame);
  return 0;
}

LRESULT CmdScroll(HWND frame, unsigned id, LPARAM) {
  HWND client = ClientOf(frame);
  if (!client) return 0;
  switch (id) {
    case IDM_SCROLL_PAGE_DOWN: ScrollClient(client, WM_VSCROLL, SB_PAGEDOWN); break;
    case IDM_SCROLL_PAGE_UP: ScrollClient(client, WM_VSCROLL, SB_PAGEUP); break;
    case IDM_SCROLL_LINE_UP: ScrollClient(client, WM_VSCROLL, SB_LINEUP); break;
    case IDM_SCROLL_LINE_DOWN: ScrollClient(client, WM_VSCROLL, SB_LINEDOWN); break;
    case IDM_SCROLL_PAGE_LEFT: ScrollClient(client, WM_HSCROLL, SB_PAGELEFT); break;
    case IDM_SCROLL_PAGE_RIGHT: ScrollClient(client, WM_HSCROLL, SB_PAGERIGHT); break;
    case IDM_SCROLL_LINE_LEFT: ScrollClient(client, WM_HSCROLL, SB_LINELEFT); break;
    case IDM_SCROLL_LINE_RIGHT: ScrollClient(client, WM_HSCROLL, SB_LINERIGHT); break;
  }
  return 0;
}

}  // namespace tsl::shell
