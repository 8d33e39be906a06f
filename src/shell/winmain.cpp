// Tessella.exe: one instance with one frame; a second start hands its
// command line to the first.
#include <new>
#include <string>

#include "common/memory.h"
#include "resources/string_ids.h"
#include "settings/settings_sets.h"
#include "shell/hand_over.h"

#include "resources/resource_ids.h"
#include "shell/batch.h"
#include "shell/frame.h"
#include "shell/globals.h"
#include "shell/view.h"
#include "shell/window_notices.h"
#include "update/win32/version_thread.h"

#include <commctrl.h>
#include <shellapi.h>

using namespace tsl::shell;

namespace {

// Hands the command line to a running instance. Non-zero when this process
// is to go on as the application.
int FirstInstance(HINSTANCE instance, const std::string& commandLine) {
  HWND other = FindWindowA(kFrameClass, nullptr);
  if (other && !RunsOnItsOwn(commandLine)) {
    HWND popup = GetLastActivePopup(other);
    if (IsIconic(popup)) ShowWindow(popup, SW_RESTORE);
    else BringWindowToTop(popup);
    SetForegroundWindow(popup);
    ATOM atom = GlobalAddAtomA(HandOverText(commandLine).c_str());
    // Names on the command line are relative to this start's folder.
    char folder[MAX_PATH] = {};
    DWORD n = GetCurrentDirectoryA(MAX_PATH, folder);
    DWORD_PTR result = 0;
    if (atom && n > 0 && n < MAX_PATH) {
      std::string data(reinterpret_cast<const char*>(&atom), sizeof atom);
      data.append(folder, n + 1);
      COPYDATASTRUCT cds{kHandOverFolderTag, static_cast<DWORD>(data.size()), data.data()};
      SendMessageTimeoutA(other, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 10000, &result);
    }
    if (atom && SendMessageTimeoutA(other, WM_COMMAND, IDM_COMMAND_LINE, atom, SMTO_NORMAL, 0x7FFFFFFF, &result))
      return 0;
    // The other instance went away before it took the command line: this
    // one processes it after all.
    if (atom) GlobalDeleteAtom(atom);
  }
  return RegisterClasses(instance) ? 1 : 0;
}

HWND CreateClient(HINSTANCE instance, HWND frame) {
  RECT rc;
  GetClientRect(frame, &rc);
  return CreateWindowExA(0, kClientClass, nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 25, rc.right,
                         100, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CLIENT)), instance, nullptr);
}

void Shutdown() {
  RemoveWindowNotices();
  tsl::TerminateUtil();
}

int RunProgram(HINSTANCE instance, LPSTR commandLineArg, int show) {
  std::string commandLine = commandLineArg ? commandLineArg : "";
  if (!FirstInstance(instance, commandLine)) return 0;

  gvGlobals = Globals{};
  gvGlobals.instance = instance;
  tsl::InitUtil(WindowNotices());
  tsl::ReadIniFile(WindowNotices(), &setOptions, nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  HWND frame = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_OVERLAPPEDWINDOW | WS_EX_ACCEPTFILES, kFrameClass, "Tessella",
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!frame) {
    Shutdown();
    return 0;
  }
  hwndFrame = frame;
  InstallWindowNotices(frame);
  HWND toolbar = CreateToolbar(frame);
  HWND client = CreateClient(instance, frame);
  if (!client) {
    DestroyWindow(frame);
    Shutdown();
    return 0;
  }
  SetWindowLongPtrA(frame, kFrameSlotToolbar, reinterpret_cast<LONG_PTR>(toolbar));
  SetWindowLongPtrA(frame, kFrameSlotClient, reinterpret_cast<LONG_PTR>(client));

  // Asks in the background whether another release is published; its box,
  // if any, is owned by the frame.
  tsl::win32::LaunchVersionCheck(frame);
  WelcomeScreen(frame);
  ShowWindow(frame, show);
  UpdateWindow(frame);
  DragAcceptFiles(frame, TRUE);

  // The own command line is processed whole, however long: only the
  // hand-over from another start goes through a (255-character) atom.
  LRESULT processed = commandLine.empty() ? 0 : RunOwnCommandLine(frame, commandLine);
  if (processed == 0 && IsWindow(frame)) PostMessageA(frame, WM_COMMAND, IDM_OPEN_HPGL, 0);

  HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // The frame's keys work wherever in the frame the focus is.
    bool mine = msg.hwnd == hwndFrame || IsChild(hwndFrame, msg.hwnd);
    if (mine && accelerators && TranslateAcceleratorA(hwndFrame, accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  Shutdown();
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  try {
    return RunProgram(instance, commandLine, show);
  } catch (const std::bad_alloc&) {
    // What escaped every run's own boundary: said once, in a box of no window.
    RemoveWindowNotices();
    WindowNotices().Tell(tsl::MakeNotice(IDS_ALLOCATION_FAILED, {std::to_string(tsl::FailedAllocationSize())},
                                         tsl::NoticeIcon::Error));
    return 1;
  }
}
