#include "gui_actions.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace gui {

Paths& Where() {
  static Paths paths;
  return paths;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(30);
  }
}

// --- files ---------------------------------------------------------------------

std::string Work(const std::string& name) { return Where().work + name; }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

std::string BoxPlot(int w, int h, int pen) {
  char text[160];
  std::snprintf(text, sizeof text, "IN;SP%d;PU0,0;PD%d,0,%d,%d,0,%d,0,0;PU;SP0;", pen, w, w, h, h);
  return text;
}

std::string RunAndRead(const std::string& commandLine, DWORD ms) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::string();
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                &si, &pi) != FALSE;
  CloseHandle(writeEnd);  // the child's copy is the only writer left
  std::string out;
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) {
      TerminateProcess(pi.hProcess, 1);
      out.clear();
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(readEnd);
  return out;
}

// --- settings --------------------------------------------------------------------

namespace {
constexpr char kKey[] = "Software\\Quillmark\\Tessella";
}

void SetSetting(const char* name, uint32_t value) {
  HKEY key;
  std::string set = std::string(kKey) + "\\Default";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, set.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0) return;
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

void SetPreference(const char* name, const std::string& text) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0) return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

void ResetSettings() {
  HKEY base;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &base) == 0) {
    // "Settings" names the start-up set: a scenario that saved another set
    // must not hand it to the next one.
    for (const char* name : {"TextViewer", "UseFolder", "Folder", "Settings"}) RegDeleteValueA(base, name);
    RegCloseKey(base);
  }
  // No start of the program asks an update server unless a scenario names
  // the loopback one.
  SetPreference("UpdateServer", "off");
  // Only values of the program's own key, which the tests' prefix owns.
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kKey) + "\\Default").c_str(), 0, KEY_ALL_ACCESS, &key) != 0)
    return;
  for (;;) {
    char name[256];
    DWORD n = sizeof name;
    if (RegEnumValueA(key, 0, name, &n, nullptr, nullptr, nullptr, nullptr) != 0) break;
    if (RegDeleteValueA(key, name) != 0) break;
  }
  RegCloseKey(key);
}

// --- windows -----------------------------------------------------------------------

std::string ClassOf(HWND hwnd) {
  char cls[128] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return cls;
}

std::string TextOf(HWND hwnd) {
  char text[1024] = {};
  // WM_GETTEXT is carried between processes; GetWindowText would not ask.
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, nullptr);
  return text;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

namespace {
struct TopSearch {
  const char* cls;
  const char* title;
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchTop(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<TopSearch*>(lParam);
  if (!IsWindowVisible(hwnd)) return TRUE;
  if (s->pid && ProcessOf(hwnd) != s->pid) return TRUE;
  if (s->cls && ClassOf(hwnd) != s->cls) return TRUE;
  if (s->title && TextOf(hwnd) != s->title) return TRUE;
  s->found = hwnd;
  return FALSE;
}
}  // namespace

HWND FindTop(const char* cls, const char* title, DWORD pid) {
  TopSearch s{cls, title, pid, nullptr};
  EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitTop(const char* cls, const char* title, DWORD pid, DWORD ms) {
  HWND found = nullptr;
  WaitFor([&] { return (found = FindTop(cls, title, pid)) != nullptr; }, ms);
  return found;
}

namespace {
BOOL CALLBACK CollectChild(HWND hwnd, LPARAM out) {
  reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
  return TRUE;
}
}  // namespace

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND ChildById(HWND parent, int id) {
  for (HWND c : Children(parent))
    if (GetDlgCtrlID(c) == id) return c;
  return nullptr;
}

void Repaint(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);
}

// --- message boxes and dialogs ---------------------------------------------------------

namespace {
// A message box: a dialog whose only text is one static, beside buttons.
bool IsMessageBox(HWND dialog, std::string* text) {
  int texts = 0;
  for (HWND c : Children(dialog)) {
    std::string cls = ClassOf(c);
    if (cls == "Static") {
      std::string t = TextOf(c);
      if (!t.empty()) {
        ++texts;
        *text = t;
      }
    } else if (cls != "Button") {
      return false;
    }
  }
  return texts == 1;
}

struct BoxSearch {
  DWORD pid;
  Box box;
};

BOOL CALLBACK MatchBox(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<BoxSearch*>(lParam);
  if (!IsWindowVisible(hwnd) || ProcessOf(hwnd) != s->pid || ClassOf(hwnd) != "#32770") return TRUE;
  std::string text;
  if (!IsMessageBox(hwnd, &text)) return TRUE;
  s->box = Box{hwnd, TextOf(hwnd), text};
  return FALSE;
}
}  // namespace

std::string ConvertedText(const std::string& plot, const std::string& emf) {
  return "File '" + plot + "' was converted into '" + emf + "' and copied to the Windows clipboard.";
}

Box WaitBox(DWORD pid, DWORD ms) {
  BoxSearch s{pid, Box{}};
  WaitFor(
      [&] {
        EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&s));
        return s.box.hwnd != nullptr;
      },
      ms);
  return s.box;
}

bool Press(HWND dialog, int button) {
  if (!dialog) return false;
  // The button itself is clicked, as the user would (the file dialogs have
  // other controls with the same number).
  HWND control = nullptr;
  for (HWND c : Children(dialog))
    if (GetParent(c) == dialog && GetDlgCtrlID(c) == button && ClassOf(c) == "Button") control = c;
  auto click = [&] {
    if (control) PostMessageA(control, BM_CLICK, 0, 0);
    else PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  };
  auto gone = [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); };
  click();
  if (WaitFor(gone, 4000)) return true;
  // Under a loaded Wine a click posted to a box that has only just come up
  // was lost, and once a second click too: the dialog then gets the
  // button's command itself, as the button would send it (a box already
  // gone takes no message).
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
  if (WaitFor(gone, 4000)) return true;
  click();
  return WaitFor(gone, 6000);
}

bool DriveFileDialog(DWORD pid, const char* title, const std::string& path) {
  HWND dialog = WaitTop("#32770", title, pid, 15000);
  if (!dialog) {
    HWND fg = GetForegroundWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(fg, nullptr), &info);
    std::fprintf(stderr, "gui: no dialog '%s'; foreground %p '%s' (%s), flags %lx, active %p, focus %p, capture %p\n",
                 title, static_cast<void*>(fg), TextOf(fg).c_str(), ClassOf(fg).c_str(), info.flags,
                 static_cast<void*>(info.hwndActive), static_cast<void*>(info.hwndFocus),
                 static_cast<void*>(info.hwndCapture));
    return false;
  }
  if (path.empty()) return Press(dialog, IDCANCEL);
  // The name box: the edit inside the combo box cmb13 (0x47C), or edt1.
  HWND edit = nullptr;
  WaitFor(
      [&] {
        for (HWND c : Children(dialog)) {
          if (ClassOf(c) != "Edit") continue;
          int id = GetDlgCtrlID(c), parent = GetDlgCtrlID(GetParent(c));
          if (id == 0x47C || parent == 0x47C || id == 0x480) edit = c;
        }
        return edit != nullptr;
      },
      5000);
  if (!edit) return false;
  SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 5000, nullptr);
  return Press(dialog, IDOK);
}

// --- toolbar ---------------------------------------------------------------------

std::vector<ToolButton> ReadToolbar(const App& app) {
  std::vector<ToolButton> buttons;
  HWND toolbar = app.Toolbar();
  if (!toolbar) return buttons;
  DWORD_PTR count = 0;
  SendMessageTimeoutA(toolbar, TB_BUTTONCOUNT, 0, 0, SMTO_NORMAL, 5000, &count);
  // TB_GETBUTTON writes into the program's memory: a block is lent there.
  void* remote = VirtualAllocEx(app.process(), nullptr, sizeof(TBBUTTON), MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return buttons;
  for (DWORD_PTR i = 0; i < count; ++i) {
    DWORD_PTR ok = 0;
    SendMessageTimeoutA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &ok);
    TBBUTTON b{};
    SIZE_T read = 0;
    if (!ok || !ReadProcessMemory(app.process(), remote, &b, sizeof b, &read)) break;
    buttons.push_back(ToolButton{b.iBitmap, b.idCommand, (b.fsStyle & BTNS_SEP) != 0});
  }
  VirtualFreeEx(app.process(), remote, 0, MEM_RELEASE);
  return buttons;
}

// --- resources ---------------------------------------------------------------------

namespace {
void WalkMenu(HMENU menu, const std::string& path, std::vector<MenuItem>* out) {
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    char text[256] = {};
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE;
    mi.dwTypeData = text;
    mi.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mi)) continue;
    if (mi.fType & MFT_SEPARATOR) continue;
    std::string here = path.empty() ? std::string(text) : path + "|" + text;
    out->push_back(MenuItem{here, text, mi.hSubMenu ? 0u : mi.wID});
    if (mi.hSubMenu) WalkMenu(mi.hSubMenu, here, out);
  }
}
}  // namespace

std::vector<MenuItem> ReadMenuResource(const std::string& exe, const char* name) {
  std::vector<MenuItem> items;
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return items;
  if (HMENU menu = LoadMenuA(module, name)) {
    WalkMenu(menu, "", &items);
    DestroyMenu(menu);
  }
  FreeLibrary(module);
  return items;
}

std::vector<ACCEL> ReadAccelerators(const std::string& exe, unsigned id) {
  std::vector<ACCEL> table;
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return table;
  if (HACCEL accel = LoadAcceleratorsA(module, MAKEINTRESOURCEA(id))) {
    int n = CopyAcceleratorTableA(accel, nullptr, 0);
    table.resize(static_cast<size_t>(n));
    CopyAcceleratorTableA(accel, table.data(), n);
    DestroyAcceleratorTable(accel);
  }
  FreeLibrary(module);
  return table;
}

}  // namespace gui
