// The drawing view: the client window below the toolbar that shows the
// current enhanced metafile, fitted or zoomed and scrolled.
#pragma once
#include "shell/metafile.h"

namespace tsl::shell {

extern const char kClientClass[];  // "Tessella_Client"

// Window bytes of the client: the metafile it shows (owned) and the zoom.
constexpr int kClientSlotMetafile = 0;
constexpr int kClientSlotZoom = 4;
constexpr int kClientExtraBytes = 12;
// Window bytes of the frame: its toolbar and its client.
constexpr int kFrameSlotToolbar = 0;
constexpr int kFrameSlotClient = 4;
constexpr int kFrameExtraBytes = 8;

// The toolbar sits at the top of the frame, this high.
constexpr int kToolbarHeight = 30;

LRESULT CALLBACK ClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

HWND ToolbarOf(HWND frame);
HWND ClientOf(HWND frame);

// The metafile the view shows (still owned by the view), or nullptr.
HENHMETAFILE ViewMetafile(HWND frame);
// The view shows `emf` from now on and deletes the metafile it showed.
void ReplaceViewMetafile(HWND frame, EnhMetaFile emf);
unsigned ViewZoom(HWND frame);
void SetViewZoom(HWND frame, unsigned zoom);

// Lays out toolbar and client and sets the scroll bars; with `keep` the
// scroll positions stay at the same fraction of the drawing.
void ChangeSize(HWND frame, bool keep);
void ChangeZoomFactor(HWND frame, unsigned id);
// Moves the horizontal (WM_HSCROLL) or vertical scroll bar by `code`.
void ScrollClient(HWND client, UINT kind, int code);
// Fits the frame around the zoomed drawing.
void ShrinkWrap(HWND frame);

}  // namespace tsl::shell
