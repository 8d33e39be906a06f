// A stand-in text viewer for the GUI driver: writes the command line it was
// started with into the file named by TESSELLA_VIEWER_RECORD and ends.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("TESSELLA_VIEWER_RECORD", path, MAX_PATH)) return 1;
  HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 1;
  const char* line = GetCommandLineA();
  DWORD written = 0;
  WriteFile(f, line, lstrlenA(line), &written, nullptr);
  CloseHandle(f);
  return 0;
}
