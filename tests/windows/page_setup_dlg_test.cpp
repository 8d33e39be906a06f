// The Page Setup dialog driven as a user would: the values shown, changed,
// OK writes the nine values, Cancel writes none. With
// TESSELLA_SCREENSHOT_DIR set the open dialog is saved there as a BMP.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "resources/print_ids.h"
#include "settings/settings_registry.h"
#include "shell/page_setup_dlg.h"

namespace {

using namespace tsl;
using namespace tsl::shell;

const char* kNames[] = {"FitToPage",    "MaintainAspectRatio", "CenterOnPage", "TopMargin", "LeftMargin",
                        "BottomMargin", "RightMargin",         "PageHeading",  "PageFooter"};

void ForgetPageSetup() {
  SilentNotices quiet;
  for (const char* n : kNames) WriteSettingsString(quiet, nullptr, n, nullptr);
}

int StoredCount() {
  std::vector<std::string> names;
  int n = 0;
  for (const char* name : kNames)
    if (GetSettingsText(nullptr, name, "\x01") != "\x01" || GetSettingsInt(nullptr, name, 0xDEAD) != 0xDEAD) ++n;
  return n;
}

std::string Text(HWND dlg, int id) {
  char buf[256] = {};
  GetDlgItemTextA(dlg, id, buf, sizeof buf);
  return buf;
}

void SaveWindowBmp(HWND w, const std::string& path) {
  RECT r;
  GetWindowRect(w, &r);
  int cx = r.right - r.left, cy = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, cx, cy, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  DWORD stride = ((cx * 3) + 3) & ~3u, size = stride * cy;
  BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0, 0,
                      sizeof fh + sizeof bi.bmiHeader};
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
    std::fwrite(bits, 1, size, f);
    std::fclose(f);
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

// What the "user" does once the dialog is up.
struct Script {
  bool pressOk = false;
  std::string shownLeft, shownHeading, shownFooter, shownPrinter;
  bool shownCentre = false;
};
Script* gScript = nullptr;

void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = FindWindowA("#32770", "Page Setup");
  if (!dlg || !IsWindowVisible(dlg)) return;
  KillTimer(nullptr, id);
  Script& s = *gScript;
  s.shownLeft = Text(dlg, IDC_PS_LEFT);
  s.shownHeading = Text(dlg, IDC_PS_HEADING);
  s.shownFooter = Text(dlg, IDC_PS_FOOTER);
  s.shownPrinter = Text(dlg, IDC_PS_PRINTER);
  s.shownCentre = IsDlgButtonChecked(dlg, IDC_PS_CENTER) == BST_CHECKED;
  if (const char* dir = std::getenv("TESSELLA_SCREENSHOT_DIR")) {
    UpdateWindow(dlg);
    Sleep(300);
    SaveWindowBmp(dlg, std::string(dir) + "\\page_setup.bmp");
  }
  SetDlgItemTextA(dlg, IDC_PS_LEFT, "25");
  SetDlgItemTextA(dlg, IDC_PS_HEADING, "&n - &d");
  SetDlgItemTextA(dlg, IDC_PS_FOOTER, "&v");
  CheckDlgButton(dlg, IDC_PS_FIT, BST_CHECKED);
  CheckDlgButton(dlg, IDC_PS_CENTER, BST_UNCHECKED);
  PostMessageA(dlg, WM_COMMAND, s.pressOk ? IDOK : IDCANCEL, 0);
}

bool RunDialog(Script* s) {
  gScript = s;
  UINT_PTR timer = SetTimer(nullptr, 0, 100, Drive);
  bool ok = MyPageSetupDlg(nullptr, GetPrintRecord(nullptr));
  KillTimer(nullptr, timer);
  return ok;
}

TEST(PageSetupDialog, CancelWritesNothingOkWritesTheNine) {
  ForgetPageSetup();
  ASSERT_EQ(StoredCount(), 0);
  Script cancel;
  EXPECT_FALSE(RunDialog(&cancel));
  EXPECT_EQ(cancel.shownLeft, "10");
  EXPECT_EQ(cancel.shownHeading, "&n");  // an empty template offers the picture's name
  EXPECT_EQ(cancel.shownFooter, "&a");
  EXPECT_TRUE(cancel.shownCentre);
  EXPECT_EQ(StoredCount(), 0);

  Script ok;
  ok.pressOk = true;
  EXPECT_TRUE(RunDialog(&ok));
  EXPECT_EQ(StoredCount(), 9);
  EXPECT_EQ(GetSettingsInt(nullptr, "LeftMargin", 0), 25u);
  EXPECT_EQ(GetSettingsInt(nullptr, "FitToPage", 0), 1u);
  EXPECT_EQ(GetSettingsInt(nullptr, "CenterOnPage", 1), 0u);
  EXPECT_EQ(GetSettingsText(nullptr, "PageHeading", ""), "&n - &d");
  EXPECT_EQ(GetSettingsText(nullptr, "PageFooter", ""), "&v");

  // Shown again as stored.
  Script again;
  EXPECT_FALSE(RunDialog(&again));
  EXPECT_EQ(again.shownLeft, "25");
  EXPECT_EQ(again.shownHeading, "&n - &d");
  EXPECT_FALSE(again.shownCentre);
  ForgetPageSetup();
}

}  // namespace
