// The GUI driver: runs the scenarios against Tessella.exe. Arguments (Unix
// or Windows paths): --exe=Tessella.exe --probe=tsl_probe.dll
// --examples=<repository>/examples --shots=<folder for screenshots>
// --viewer=record_args.exe, then GoogleTest's own.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gui_actions.h"

namespace {

// "/work/x/y" becomes "Z:\work\x\y"; a Windows path stays as it is.
std::string WindowsPath(std::string p) {
  if (!p.empty() && p[0] == '/') p = "Z:" + p;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string Folder(std::string p) {
  p = WindowsPath(p);
  if (!p.empty() && p.back() != '\\') p += '\\';
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  gui::Paths& w = gui::Where();
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* key) { return a.rfind(key, 0) == 0 ? a.substr(std::strlen(key)) : std::string(); };
    if (a.rfind("--exe=", 0) == 0) w.exe = WindowsPath(value("--exe="));
    else if (a.rfind("--probe=", 0) == 0) w.probeDll = WindowsPath(value("--probe="));
    else if (a.rfind("--examples=", 0) == 0) w.examples = Folder(value("--examples="));
    else if (a.rfind("--shots=", 0) == 0) w.shots = Folder(value("--shots="));
    else if (a.rfind("--viewer=", 0) == 0) w.viewer = WindowsPath(value("--viewer="));
  }
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  // Wine gives the same process numbers run after run: the time makes the
  // folder new.
  w.work = std::string(temp) + "tessella-gui-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "\\";
  CreateDirectoryA(w.work.c_str(), nullptr);
  if (w.shots.empty()) w.shots = w.work;
  CreateDirectoryA(w.shots.c_str(), nullptr);
  if (w.exe.empty() || w.probeDll.empty()) {
    std::fprintf(stderr, "gui: --exe and --probe are needed\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}
