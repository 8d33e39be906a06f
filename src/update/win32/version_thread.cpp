#include "update/win32/version_thread.h"

#include <objbase.h>
#include <process.h>
#include <shellapi.h>

#include "platform/win32/message_box_notices.h"
#include "platform/win32/system_text.h"
#include "update/version_check.h"

namespace tsl::win32 {

namespace {

// The start-up check's thread, touched only by the user-interface thread.
HANDLE hTrd = nullptr;
unsigned uTID = 0;

unsigned __stdcall VCProc(void* hwnd) {
  GetCurrentVersionInfo(static_cast<HWND>(hwnd), 0);
  return 0;
}

}  // namespace

bool LaunchVersionCheck(HWND hwnd) {
  if (hTrd) {
    if (WaitForSingleObject(hTrd, 0) != WAIT_OBJECT_0) return false;
    CloseHandle(hTrd);
    hTrd = nullptr;
  }
  uintptr_t h = _beginthreadex(nullptr, 0, VCProc, hwnd, 0, &uTID);
  hTrd = reinterpret_cast<HANDLE>(h);
  return hTrd != nullptr;
}

void TerminateVersionCheck() {
  if (!hTrd) return;
  DWORD start = GetTickCount();
  for (;;) {
    DWORD spent = GetTickCount() - start;
    if (spent >= kVersionCheckWaitMs) break;
    // The check's box sends to its owner (the frame, on this thread) as it
    // opens and closes: those messages are answered meanwhile, nothing else,
    // so a check that is just ending is not held up by this wait.
    DWORD w = MsgWaitForMultipleObjects(1, &hTrd, FALSE, kVersionCheckWaitMs - spent, QS_SENDMESSAGE);
    if (w != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(hTrd);
  hTrd = nullptr;
  uTID = 0;
}

void GetCurrentVersionInfo(HWND owner, int interactive) {
  MessageBoxNotices notices(owner);
  tsl::GetCurrentVersionInfo(notices, interactive != 0, OpenWebPage);
}

bool OpenWebPage(const std::string& address, std::string* systemText) {
  // Some shell handlers need COM on the calling thread.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  // Failures are ours to report, with the system's text; no box of the shell's.
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = GetDesktopWindow();
  info.lpVerb = "open";
  info.lpFile = address.c_str();
  info.nShow = SW_SHOWNORMAL;
  bool ok = ShellExecuteExA(&info) && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
  DWORD error = ok ? 0 : GetLastError();
  if (SUCCEEDED(com)) CoUninitialize();
  if (!ok) *systemText = SystemErrorText(error ? error : ERROR_NO_ASSOCIATION);
  return ok;
}

}  // namespace tsl::win32
