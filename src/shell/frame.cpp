// The frame's window procedure: one function per message it handles.
#include "settings/settings_registry.h"
#include "shell/caption.h"
#include "shell/menu_rules.h"

#include "resources/resource_ids.h"
#include "shell/batch.h"
#include "shell/clipboard.h"
#include "shell/commands.h"
#include "shell/conversion.h"
#include "shell/frame.h"
#include "shell/globals.h"
#include "shell/print_job.h"
#include "shell/view.h"
#include "shell/window_notices.h"
#include "update/win32/version_thread.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

namespace tsl::shell {

const char kFrameClass[] = "Tessella";

namespace {

// The help file: the program's path with the extension ".CHM"; used only
// when it exists.
std::string FindHelpFile() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  std::string p(path, n);
  size_t dot = p.find_last_of('.');
  size_t sep = p.find_last_of("\\/");
  p = dot != std::string::npos && (sep == std::string::npos || dot > sep) ? p.substr(0, dot) + ".CHM"
                                                                          : std::string("Tessella.CHM");
  DWORD attr = GetFileAttributesA(p.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY) ? p : std::string();
}

std::string Limited(std::string s) {
  if (s.size() > kMaxPath - 1) s.resize(kMaxPath - 1);
  return s;
}

void OnCreate(HWND frame) {
  gvGlobals.helpFile = FindHelpFile();
  gvGlobals.sourceFile.clear();
  gvGlobals.metafile.clear();
  gvGlobals.logFile.clear();
  gvGlobals.useFolder = GetSettingsInt(nullptr, "UseFolder", 0) != 0;
  gvGlobals.folder = Limited(GetSettingsText(nullptr, "Folder", ""));
  gvGlobals.textViewer = Limited(GetSettingsText(nullptr, "TextViewer", "NOTEPAD.EXE"));
  gvGlobals.ddeServiceName = "Tessella";
  SetCaption(frame);
}

void OnDestroy(HWND frame) {
  DragAcceptFiles(frame, FALSE);
  // A start-up check that still waits for its server gets 2.5 s, then is
  // left behind: it cannot hold the program open.
  tsl::win32::TerminateVersionCheck();
  // A print job gets 15 s to finish; one that hangs is ended.
  EndPrintThread();
  KillTimer(frame, kCommandLineTimer);
  ReplaceViewMetafile(frame, EnhMetaFile());
  gvGlobals.sourceFile.clear();
  gvGlobals.logFile.clear();
  gvGlobals.metafile.clear();
  gvGlobals.exportName.clear();
  FreePrintRecord();
  PostQuitMessage(0);
}

void OnActivateApp(HWND frame, WPARAM wParam, LPARAM lParam) {
  if (HWND client = ClientOf(frame)) SendMessageA(client, WM_ACTIVATEAPP, wParam, lParam);
  if (HWND toolbar = ToolbarOf(frame)) SendMessageA(toolbar, WM_ACTIVATEAPP, wParam, lParam);
}

LRESULT OnNotify(NMHDR* hdr) {
  if (hdr->code != TTN_GETDISPINFOA) return 0;
  auto* info = reinterpret_cast<NMTTDISPINFOA*>(hdr);
  std::string text = ToolTipText(static_cast<unsigned>(hdr->idFrom));
  lstrcpynA(info->szText, text.c_str(), sizeof info->szText);
  info->lpszText = info->szText;
  info->hinst = nullptr;
  return 0;
}

void OnInitMenu(HMENU menu) {
  MenuFacts facts;
  facts.haveSource = !gvGlobals.sourceFile.empty();
  facts.clipboardHasEmf = ClipboardHasMetafile();
  facts.haveHelp = !gvGlobals.helpFile.empty();
  for (const MenuItemState& s : MenuEnabling(facts))
    EnableMenuItem(menu, s.id, MF_BYCOMMAND | (s.enabled ? MF_ENABLED : MF_GRAYED));
}

LRESULT OnCopyData(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kHandOverFolderTag || !data->lpData || data->cbData <= sizeof(ATOM)) return FALSE;
  const char* bytes = static_cast<const char*>(data->lpData);
  ATOM atom;
  std::memcpy(&atom, bytes, sizeof atom);
  const char* text = bytes + sizeof atom;
  OnHandOverFolder(atom, std::string(text, strnlen(text, data->cbData - sizeof atom)));
  return TRUE;
}

LRESULT OnCommand(HWND frame, unsigned id, LPARAM lParam) {
  LRESULT result = 0;
  RunCommand(frame, id, lParam, &result);
  return result;
}

}  // namespace

bool RegisterClasses(HINSTANCE instance) {
  HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TESSELLA));
  HICON small = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_TESSELLA_SMALL), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.cbWndExtra = kFrameExtraBytes;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = small;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  wc.lpszMenuName = "TSL";
  wc.lpszClassName = kFrameClass;
  if (!RegisterClassExA(&wc)) return false;

  wc.lpfnWndProc = ClientProc;
  wc.cbWndExtra = kClientExtraBytes;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = kClientClass;
  return RegisterClassExA(&wc) != 0;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: OnCreate(hwnd); return 0;
    case WM_DESTROY: OnDestroy(hwnd); return 0;
    case WM_SIZE: ChangeSize(hwnd, false); return 0;
    case WM_ACTIVATEAPP: OnActivateApp(hwnd, wParam, lParam); break;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_HELP: return OnCommand(hwnd, IDM_HELP_CONTENTS, 0);
    case WM_INITMENU: OnInitMenu(reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_DROPFILES: DropFiles(hwnd, reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_COMMAND: return OnCommand(hwnd, LOWORD(wParam), lParam);
    case WM_TIMER:
      if (wParam == kCommandLineTimer) OnCommandLineTimer(hwnd);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void SetCaption(HWND frame) { SetCaptionFor(frame, gvGlobals.sourceFile); }

void SetCaptionFor(HWND frame, const std::string& source) {
  if (frame) SetWindowTextA(frame, CaptionText(source, ViewZoom(frame)).c_str());
}

}  // namespace tsl::shell
