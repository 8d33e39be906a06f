// The confirmation after a save, read from the message box itself: the
// file's name, its size in the units of the size table, and its folder.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "shell/save_report.h"

namespace {

struct Shown {
  std::string caption, text;
};

BOOL CALLBACK FindStatic(HWND child, LPARAM out) {
  char cls[32] = {}, text[1024] = {};
  GetClassNameA(child, cls, sizeof cls);
  GetWindowTextA(child, text, sizeof text);
  if (lstrcmpiA(cls, "Static") == 0 && text[0]) *reinterpret_cast<std::string*>(out) = text;
  return TRUE;
}

BOOL CALLBACK FindBox(HWND hwnd, LPARAM out) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (pid != GetCurrentProcessId() || std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(out) = hwnd;
  return FALSE;
}

// Shows the confirmation for `path` and reads it while it is up.
Shown Report(const std::string& path) {
  Shown shown;
  std::atomic<bool> done{false};
  std::thread reader([&] {
    for (int i = 0; i < 1000 && !done; ++i) {
      HWND box = nullptr;
      EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
      if (box) {
        char caption[128] = {};
        GetWindowTextA(box, caption, sizeof caption);
        shown.caption = caption;
        EnumChildWindows(box, FindStatic, reinterpret_cast<LPARAM>(&shown.text));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);
    }
  });
  tsl::shell::ReportSaveComplete(nullptr, path);
  done = true;
  reader.join();
  return shown;
}

std::string Folder() {
  char dir[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, dir);
  return dir;
}

void Sized(const char* name, size_t size) {
  std::string bytes(size, 'x');
  FILE* f = std::fopen(name, "wb");
  ASSERT_TRUE(f);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

TEST(ReportSaveComplete, SizesInTheirUnitsAndAMissingFileAsZeroBytes) {
  const std::string folder = Folder();
  auto expected = [&](const char* name, const char* size) {
    return std::string("File '") + name + "' (" + size + ")\nhas been saved to folder\n" + folder + ".";
  };
  Sized("r1023.bin", 1023);
  Sized("r1024.bin", 1024);
  Sized("r1m.bin", 1048576);
  Shown s = Report("r1023.bin");
  EXPECT_EQ(s.caption, "Save As... Complete");
  EXPECT_EQ(s.text, expected("r1023.bin", "1023 Bytes"));
  EXPECT_EQ(Report("r1024.bin").text, expected("r1024.bin", "1. KB"));
  EXPECT_EQ(Report("r1m.bin").text, expected("r1m.bin", "1. MB"));
  EXPECT_EQ(Report("never-written.bin").text, expected("never-written.bin", "0 Bytes"));
  for (const char* name : {"r1023.bin", "r1024.bin", "r1m.bin"}) DeleteFileA(name);
}

}  // namespace
