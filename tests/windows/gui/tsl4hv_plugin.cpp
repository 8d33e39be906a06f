// A stand-in for the host viewer's progress plug-in: every call is appended
// to TSL4HV.log beside the library, one line "service percent".
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
HMODULE gSelf = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) gSelf = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) int32_t __stdcall TSLSetProgress(const char* service, int32_t percent) {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(gSelf, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 0;
  char* dot = std::strrchr(path, '.');
  if (!dot || static_cast<size_t>(dot - path) + 5 > sizeof path) return 0;
  std::strcpy(dot, ".log");
  if (FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s %d\n", service ? service : "(null)", static_cast<int>(percent));
    std::fclose(f);
  }
  return 1;
}
