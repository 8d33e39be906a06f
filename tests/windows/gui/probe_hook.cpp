// The probe: a message hook the driver places on Tessella.exe's user-
// interface thread. On the driver's registered message it answers one
// question from inside the program, in the shared block.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include "probe_protocol.h"

namespace {

using gui::ProbeBlock;

HWND ClientOf(HWND frame) { return reinterpret_cast<HWND>(GetWindowLongPtrA(frame, 4)); }

void MenuStates(HWND frame, ProbeBlock* b) {
  HMENU menu = GetMenu(frame);
  // As when the user opens the menu: the program sets the states first.
  SendMessageA(frame, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  for (uint32_t i = 0; i < b->count && i < 128; ++i) b->states[i] = GetMenuState(menu, b->ids[i], MF_BYCOMMAND);
}

void Scroll(HWND frame, ProbeBlock* b) {
  HWND client = ClientOf(frame);
  for (int bar = 0; bar < 2; ++bar) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(client, bar == 0 ? SB_HORZ : SB_VERT, &si)) si = SCROLLINFO{};
    b->scroll[bar][0] = si.nMin;
    b->scroll[bar][1] = si.nMax;
    b->scroll[bar][2] = static_cast<int32_t>(si.nPage);
    b->scroll[bar][3] = si.nPos;
  }
  RECT rc{};
  GetClientRect(client, &rc);
  b->clientWidth = rc.right;
  b->clientHeight = rc.bottom;
  LONG style = GetWindowLongA(client, GWL_STYLE);
  b->horzVisible = (style & WS_HSCROLL) != 0;
  b->vertVisible = (style & WS_VSCROLL) != 0;
}

void Drop(HWND frame, ProbeBlock* b) {
  size_t n = 0;
  while (n + 1 < sizeof b->files && (b->files[n] || b->files[n + 1])) ++n;
  n += 2;  // the last name's NUL and the list's
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + n);
  if (!h) return;
  auto* df = static_cast<DROPFILES*>(GlobalLock(h));
  df->pFiles = sizeof(DROPFILES);
  std::memcpy(df + 1, b->files, n);
  GlobalUnlock(h);
  PostMessageA(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0);
}

// Asks the frame for each tooltip as the toolbar's tooltip control does.
void ToolTips(HWND frame, ProbeBlock* b) {
  HWND toolbar = reinterpret_cast<HWND>(GetWindowLongPtrA(frame, 0));
  HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
  size_t at = 0;
  for (uint32_t i = 0; i < b->count && i < 128; ++i) {
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = tips;
    info.hdr.idFrom = b->ids[i];
    info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(frame, WM_NOTIFY, b->ids[i], reinterpret_cast<LPARAM>(&info));
    const char* text = info.lpszText && !IS_INTRESOURCE(info.lpszText) ? info.lpszText : info.szText;
    size_t n = std::strlen(text);
    if (at + n + 2 > sizeof b->files) break;
    std::memcpy(b->files + at, text, n + 1);
    at += n + 1;
  }
  b->files[at] = '\0';
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<uint32_t*>(count);
  return TRUE;
}

BOOL CALLBACK CountTop(HWND hwnd, LPARAM count) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<uint32_t*>(count);
  EnumChildWindows(hwnd, CountChild, count);
  return TRUE;
}

// Wine keeps a Windows-like GDI handle table per process; GetGuiResources
// is not implemented there.
uint32_t GdiTableEntries() {
#if defined(_M_IX86) || defined(__i386__)
  const uint8_t* peb = nullptr;
  asm("movl %%fs:0x30, %0" : "=r"(peb));
  auto* table = *reinterpret_cast<const uint8_t* const*>(peb + 0x94);
  if (!table) return 0;
  uint32_t used = 0;
  for (uint32_t i = 0; i < 0x10000; ++i) used += table[i * 24 + 14] != 0;  // the entry's type
  return used;
#else
  return 0;
#endif
}

void Objects(ProbeBlock* b) {
  SetLastError(0);
  b->gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  b->gdiFromTable = 0;
  if (b->gdiObjects == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
    b->gdiObjects = GdiTableEntries();
    b->gdiFromTable = 1;
  }
  b->userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  b->windows = 0;
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&b->windows));
}

void Answer(HWND frame, uint32_t query) {
  HANDLE map = OpenFileMappingA(FILE_MAP_WRITE | FILE_MAP_READ, FALSE, gui::kProbeMapping);
  if (!map) return;
  auto* b = static_cast<ProbeBlock*>(MapViewOfFile(map, FILE_MAP_WRITE | FILE_MAP_READ, 0, 0, sizeof(ProbeBlock)));
  if (b) {
    switch (query) {
      case gui::kQueryMenuStates: MenuStates(frame, b); break;
      case gui::kQueryScroll: Scroll(frame, b); break;
      case gui::kQueryDrop: Drop(frame, b); break;
      case gui::kQueryObjects: Objects(b); break;
      case gui::kQueryToolTips: ToolTips(frame, b); break;
    }
    b->done = 1;
    UnmapViewOfFile(b);
  }
  CloseHandle(map);
  if (HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, gui::kProbeDone)) {
    SetEvent(done);
    CloseHandle(done);
  }
}

// Keys and clicks the driver sent come after posted messages: a question
// waits for them, so that its answer sees what they did.
HWND gDeferredFrame = nullptr;
WPARAM gDeferredQuery = 0;
UINT_PTR gDeferTimer = 0;

void CALLBACK AskAgain(HWND, UINT, UINT_PTR, DWORD) {
  KillTimer(nullptr, gDeferTimer);
  gDeferTimer = 0;
  PostMessageA(gDeferredFrame, RegisterWindowMessageA(gui::kProbeMessage), gDeferredQuery, 0);
}

bool InputPending() { return (HIWORD(GetQueueStatus(QS_INPUT)) & QS_INPUT) != 0; }

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM removed, LPARAM lParam) {
  static const UINT probe = RegisterWindowMessageA(gui::kProbeMessage);
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == probe) {
    if (InputPending() && !gDeferTimer) {
      gDeferredFrame = msg->hwnd;
      gDeferredQuery = msg->wParam;
      gDeferTimer = SetTimer(nullptr, 0, 20, AskAgain);
    } else {
      Answer(msg->hwnd, static_cast<uint32_t>(msg->wParam));
    }
    msg->message = WM_NULL;  // the program never sees the question
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}
