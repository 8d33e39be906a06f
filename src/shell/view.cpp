// The client window: paints the metafile fitted or zoomed on a hatch, and
// keeps its scroll bars.
#include "shell/caption.h"
#include "shell/view_layout.h"
#include "shell/zoom.h"

#include "shell/frame.h"
#include "shell/view.h"

namespace tsl::shell {

const char kClientClass[] = "Tessella_Client";

static_assert(kLineUp == SB_LINEUP && kLineDown == SB_LINEDOWN && kPageUp == SB_PAGEUP &&
              kPageDown == SB_PAGEDOWN && kThumbPosition == SB_THUMBPOSITION && kThumbTrack == SB_THUMBTRACK &&
              kTop == SB_TOP && kBottom == SB_BOTTOM);

namespace {

HENHMETAFILE MetafileOfClient(HWND client) {
  return reinterpret_cast<HENHMETAFILE>(GetWindowLongPtrA(client, kClientSlotMetafile));
}

unsigned ZoomOfClient(HWND client) { return static_cast<unsigned>(GetWindowLongPtrA(client, kClientSlotZoom)); }

// The drawing's size: its bounds in the reference device's pixels.
bool DrawingSize(HENHMETAFILE emf, long* width, long* height) {
  ENHMETAHEADER h{};
  if (!emf || !GetEnhMetaFileHeader(emf, sizeof h, &h)) return false;
  *width = h.rclBounds.right - h.rclBounds.left;
  *height = h.rclBounds.bottom - h.rclBounds.top;
  return true;
}

HBRUSH HatchBrush(HWND client) { return reinterpret_cast<HBRUSH>(GetClassLongPtrA(client, GCLP_HBRBACKGROUND)); }

void OnCreate(HWND client) {
  // The class background becomes the hatch the view shows around a drawing.
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, GetSysColor(COLOR_GRAYTEXT));
  if (hatch) SetClassLongPtrA(client, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(hatch));
}

void OnDestroy(HWND client) {
  if (HENHMETAFILE emf = MetafileOfClient(client)) DeleteEnhMetaFile(emf);
  SetWindowLongPtrA(client, kClientSlotMetafile, 0);
  HBRUSH hatch = HatchBrush(client);
  SetClassLongPtrA(client, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH)));
  if (hatch && hatch != GetStockObject(WHITE_BRUSH)) DeleteObject(hatch);
}

// Fills the client outside `target` with the hatch.
void PaintAround(HDC dc, HWND client, const RECT& clientRect, const RECT& target) {
  int saved = SaveDC(dc);
  ExcludeClipRect(dc, target.left, target.top, target.right, target.bottom);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  FillRect(dc, &clientRect, HatchBrush(client));
  RestoreDC(dc, saved);
}

void OnPaint(HWND client) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(client, &ps);
  RECT rc;
  GetClientRect(client, &rc);
  HENHMETAFILE emf = MetafileOfClient(client);
  long w = 0, h = 0;
  if (!emf || !DrawingSize(emf, &w, &h)) {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_APPWORKSPACE));
    EndPaint(client, &ps);
    return;
  }
  unsigned zoom = ZoomOfClient(client);
  Box t;
  if (zoom == 0) {
    // Fitted with its proportions kept: a plan must not be distorted.
    RECT fit = FitToClient(w, h, rc.right, rc.bottom);
    t = Box{fit.left, fit.top, fit.right, fit.bottom};
  } else {
    t = PaintTarget(zoom, w, h, rc.right, rc.bottom, GetScrollPos(client, SB_HORZ), GetScrollPos(client, SB_VERT));
  }
  RECT target{t.left, t.top, t.right, t.bottom};
  if (!CoversClient(t, rc.right, rc.bottom)) PaintAround(dc, client, rc, target);
  FillRect(dc, &target, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (target.right > target.left && target.bottom > target.top) PlayEnhMetaFile(dc, emf, &target);
  EndPaint(client, &ps);
}

void SetSpan(HWND client, int bar, const ScrollSpan& s) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = static_cast<int>(s.max);
  si.nPage = static_cast<UINT>(s.page);
  si.nPos = static_cast<int>(s.pos);
  // ChangeSize redraws the client once, bars included, when all is set.
  SetScrollInfo(client, bar, &si, FALSE);
}

ScrollSpan GetSpan(HWND client, int bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  ScrollSpan s;
  if (GetScrollInfo(client, bar, &si)) {
    s.max = si.nMax;
    s.page = static_cast<long>(si.nPage);
    s.pos = si.nPos;
  }
  return s;
}

}  // namespace

LRESULT CALLBACK ClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: OnCreate(hwnd); return 0;
    case WM_DESTROY: OnDestroy(hwnd); return 0;
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_HSCROLL:
    case WM_VSCROLL: ScrollClient(hwnd, msg, LOWORD(wParam)); return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND ToolbarOf(HWND frame) {
  return frame ? reinterpret_cast<HWND>(GetWindowLongPtrA(frame, kFrameSlotToolbar)) : nullptr;
}

HWND ClientOf(HWND frame) {
  return frame ? reinterpret_cast<HWND>(GetWindowLongPtrA(frame, kFrameSlotClient)) : nullptr;
}

HENHMETAFILE ViewMetafile(HWND frame) {
  HWND client = ClientOf(frame);
  return client ? MetafileOfClient(client) : nullptr;
}

void ReplaceViewMetafile(HWND frame, EnhMetaFile emf) {
  HWND client = ClientOf(frame);
  if (!client) return;  // emf is deleted on the way out
  HENHMETAFILE old = MetafileOfClient(client);
  SetWindowLongPtrA(client, kClientSlotMetafile, reinterpret_cast<LONG_PTR>(emf.Release()));
  if (old) DeleteEnhMetaFile(old);
}

unsigned ViewZoom(HWND frame) {
  HWND client = ClientOf(frame);
  return client ? ZoomOfClient(client) : 0;
}

void SetViewZoom(HWND frame, unsigned zoom) {
  if (HWND client = ClientOf(frame)) SetWindowLongPtrA(client, kClientSlotZoom, static_cast<LONG_PTR>(zoom));
}

void ChangeSize(HWND frame, bool keep) {
  HWND toolbar = ToolbarOf(frame), client = ClientOf(frame);
  RECT fr;
  GetClientRect(frame, &fr);
  if (toolbar) MoveWindow(toolbar, 0, 0, fr.right, kToolbarHeight, TRUE);
  if (!client) return;
  MoveWindow(client, 0, kToolbarHeight, fr.right, std::max<long>(fr.bottom - kToolbarHeight, 0), TRUE);

  HENHMETAFILE emf = MetafileOfClient(client);
  unsigned zoom = ZoomOfClient(client);
  long w = 0, h = 0;
  if (!emf || zoom == 0 || !DrawingSize(emf, &w, &h)) {
    // No bars: nothing to scroll (a cleared view drops bars left from
    // a zoomed drawing).
    SetSpan(client, SB_HORZ, ScrollSpan{});
    SetSpan(client, SB_VERT, ScrollSpan{});
  } else {
    // Each bar that appears takes room from the other axis: the bars are
    // set again until the client's size holds, so that the page of each is
    // what the client really shows and the whole drawing can be reached.
    bool relative = keep;
    RECT before{-1, -1, -1, -1};
    for (int pass = 0; pass < 3; ++pass) {
      RECT rc;
      GetClientRect(client, &rc);
      if (rc.right == before.right && rc.bottom == before.bottom) break;
      before = rc;
      ScrollSpan hs = LayoutAxis(zoom, w, rc.right, GetSpan(client, SB_HORZ), relative);
      ScrollSpan vs = LayoutAxis(zoom, h, rc.bottom, GetSpan(client, SB_VERT), relative);
      SetSpan(client, SB_HORZ, hs);
      SetSpan(client, SB_VERT, vs);
      relative = false;
    }
  }
  InvalidateRect(frame, nullptr, TRUE);
  RedrawWindow(client, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  UpdateWindow(frame);
  UpdateWindow(client);
}

void ChangeZoomFactor(HWND frame, unsigned id) {
  SetViewZoom(frame, ChangeZoom(ViewZoom(frame), id));
  SetCaption(frame);
  ChangeSize(frame, true);
}

void ScrollClient(HWND client, UINT kind, int code) {
  int bar = kind == WM_HSCROLL ? SB_HORZ : SB_VERT;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(client, bar, &si)) return;
  long pos = ScrollTarget(code, si.nMin, si.nMax, static_cast<long>(si.nPage), si.nPos, si.nTrackPos);
  si.fMask = SIF_POS;
  si.nPos = static_cast<int>(pos);
  SetScrollInfo(client, bar, &si, TRUE);
  InvalidateRect(client, nullptr, FALSE);
  UpdateWindow(client);
}

void ShrinkWrap(HWND frame) {
  HWND client = ClientOf(frame);
  HENHMETAFILE emf = client ? MetafileOfClient(client) : nullptr;
  unsigned zoom = client ? ZoomOfClient(client) : 0;
  long w = 0, h = 0;
  if (!emf || zoom == 0 || !DrawingSize(emf, &w, &h)) return;
  RECT work, fr, cr;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(frame, &fr);
  GetClientRect(client, &cr);
  Box b = shell::ShrinkWrap(Box{fr.left, fr.top, fr.right, fr.bottom}, cr.right, cr.bottom, Zoomed(w, zoom),
                            Zoomed(h, zoom), Box{work.left, work.top, work.right, work.bottom});
  MoveWindow(frame, b.left, b.top, b.Width(), b.Height(), TRUE);
}

}  // namespace tsl::shell
