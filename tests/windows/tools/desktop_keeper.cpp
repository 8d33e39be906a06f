// Keeps Wine's desktop process alive for a test run: Wine ends it a few
// seconds after the last window goes, and the next window then waits ten
// seconds for a new one. This program owns a hidden window until it is
// ended (wineserver -k at the end of the run).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HWND hidden = CreateWindowExA(0, "STATIC", "Tessella test desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hidden) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
