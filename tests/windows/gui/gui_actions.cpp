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
    for (const char* name : {"TextViewer", "UseFolder", "Folder"}) RegDeleteValueA(base, name);
    RegCloseKey(base);
  }
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

// --- the program -------------------------------------------------------------------

namespace {

struct Shared {
  HANDLE mapping = nullptr;
  HANDLE done = nullptr;
  ProbeBlock* block = nullptr;
  HMODULE dll = nullptr;
  HOOKPROC proc = nullptr;
  UINT message = 0;
};

Shared& Probe() {
  static Shared s;
  if (!s.mapping) {
    s.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ProbeBlock), kProbeMapping);
    s.block = static_cast<ProbeBlock*>(MapViewOfFile(s.mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ProbeBlock)));
    s.done = CreateEventA(nullptr, FALSE, FALSE, kProbeDone);
    s.dll = LoadLibraryA(Where().probeDll.c_str());
    if (s.dll) {
      FARPROC p = GetProcAddress(s.dll, "ProbeHook@12");
      if (!p) p = GetProcAddress(s.dll, kProbeHookName);
      s.proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(p));
    }
    s.message = RegisterWindowMessageA(kProbeMessage);
  }
  return s;
}

}  // namespace

App::App(const std::string& args, bool waitFrame, const std::string& cwd) {
  std::string line = "\"" + Where().exe + "\" " + args;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  const std::string& folder = cwd.empty() ? Where().work : cwd;
  if (!CreateProcessA(Where().exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                      &pi_)) {
    pi_ = PROCESS_INFORMATION{};
    return;
  }
  if (waitFrame) FindFrame();
}

HWND App::FindFrame() {
  frame_ = WaitTop("Tessella", nullptr, pid(), 15000);
  if (frame_ && !hook_) {
    Shared& s = Probe();
    if (s.proc) hook_ = SetWindowsHookExA(WH_GETMESSAGE, s.proc, s.dll, GetWindowThreadProcessId(frame_, nullptr));
  }
  return frame_;
}

App::~App() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (pi_.hProcess) {
    if (Running()) {
      // Whatever box is up goes first, then the frame.
      for (int i = 0; i < 5 && Running(); ++i) {
        HWND box = FindTop("#32770", nullptr, pid());
        if (!box) break;
        PostMessageA(box, WM_CLOSE, 0, 0);
        Sleep(200);
      }
      if (frame_ && IsWindow(frame_)) PostMessageA(frame_, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(pi_.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
}

bool App::Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

int App::WaitExit(DWORD ms) {
  if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return static_cast<int>(code);
}

void App::Place(int x, int y, int w, int h) {
  SetWindowPos(frame_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  Sync();
}

RECT App::FrameRect() const {
  RECT r{};
  GetWindowRect(frame_, &r);
  return r;
}

HWND App::Client() const { return reinterpret_cast<HWND>(GetWindowLongPtrA(frame_, 4)); }
HWND App::Toolbar() const { return reinterpret_cast<HWND>(GetWindowLongPtrA(frame_, 0)); }

LRESULT App::Send(unsigned id, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(frame_, WM_COMMAND, id, lParam, SMTO_NORMAL, 60000, &result);
  return static_cast<LRESULT>(result);
}

void App::Post(unsigned id, LPARAM lParam) { PostMessageA(frame_, WM_COMMAND, id, lParam); }

void App::Sync() { Objects(); }

namespace {
void KeyEvent(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_PRIOR || vk == VK_NEXT || vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT ||
      vk == VK_DELETE)
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendInput(1, &in, sizeof in);
}
}  // namespace

namespace {
// Keys go where the keyboard focus is: the frame is made the active
// window of its thread (after a box closed, that may take a moment).
void Focus(HWND frame) {
  DWORD thread = GetWindowThreadProcessId(frame, nullptr);
  bool ok = WaitFor(
      [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        bool ready = GetForegroundWindow() == frame && GetGUIThreadInfo(thread, &info) &&
                     info.hwndActive == frame && (info.hwndFocus == frame || IsChild(frame, info.hwndFocus));
        if (!ready) SetForegroundWindow(frame);
        return ready;
      },
      3000);
  if (!ok) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread, &info);
    HWND fg = GetForegroundWindow();
    std::fprintf(stderr, "gui: the frame did not get the keyboard: foreground %p '%s' (%s), active %p, focus %p\n",
                 static_cast<void*>(fg), TextOf(fg).c_str(), ClassOf(fg).c_str(), static_cast<void*>(info.hwndActive),
                 static_cast<void*>(info.hwndFocus));
  }
}
}  // namespace

void App::Keys(const std::vector<WORD>& keys) {
  Focus(frame_);
  for (WORD k : keys) {
    KeyEvent(k, false);
    KeyEvent(k, true);
  }
  Sync();
}

void App::Chord(WORD modifier, WORD key) {
  Focus(frame_);
  KeyEvent(modifier, false);
  KeyEvent(key, false);
  KeyEvent(key, true);
  KeyEvent(modifier, true);
  Sync();
}

void App::Type(const std::string& chars) {
  Focus(frame_);
  for (char c : chars) {
    SHORT scan = VkKeyScanA(c);
    WORD vk = LOBYTE(scan);
    bool shift = (HIBYTE(scan) & 1) != 0;
    if (shift) KeyEvent(VK_SHIFT, false);
    KeyEvent(vk, false);
    KeyEvent(vk, true);
    if (shift) KeyEvent(VK_SHIFT, true);
  }
  Sync();
}

bool App::Ask(ProbeBlock* block) {
  Shared& s = Probe();
  if (!s.block || !hook_) {
    std::fprintf(stderr, "gui: no probe in the program (hook %p, dll %p)\n", static_cast<void*>(hook_),
                 static_cast<void*>(s.dll));
    return false;
  }
  *s.block = *block;
  s.block->done = 0;
  ResetEvent(s.done);
  if (!IsWindow(frame_) || !PostMessageA(frame_, s.message, block->query, 0)) return false;
  // An answer, or the end of the program (a key that closed it).
  HANDLE waits[2] = {s.done, pi_.hProcess};
  bool ok = WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0 && s.block->done;
  *block = *s.block;
  if (!ok && Running())
    std::fprintf(stderr, "gui: the probe did not answer query %u\n", static_cast<unsigned>(block->query));
  return ok;
}

std::vector<uint32_t> App::MenuStates(const std::vector<uint32_t>& ids) {
  auto b = std::make_unique<ProbeBlock>();
  *b = ProbeBlock{};
  b->query = kQueryMenuStates;
  b->count = static_cast<uint32_t>(std::min<size_t>(ids.size(), 128));
  std::copy(ids.begin(), ids.begin() + b->count, b->ids);
  if (!Ask(b.get())) return {};
  return std::vector<uint32_t>(b->states, b->states + b->count);
}

ProbeBlock App::Scroll() {
  ProbeBlock b{};
  b.query = kQueryScroll;
  Ask(&b);
  return b;
}

ProbeBlock App::Objects() {
  ProbeBlock b{};
  b.query = kQueryObjects;
  Ask(&b);
  return b;
}

void App::Drop(const std::vector<std::string>& files) {
  ProbeBlock b{};
  b.query = kQueryDrop;
  size_t at = 0;
  for (const std::string& f : files) {
    std::memcpy(b.files + at, f.c_str(), f.size() + 1);
    at += f.size() + 1;
  }
  b.files[at] = '\0';
  Ask(&b);
}

std::vector<std::string> App::ToolTips(const std::vector<uint32_t>& ids) {
  ProbeBlock b{};
  b.query = kQueryToolTips;
  b.count = static_cast<uint32_t>(std::min<size_t>(ids.size(), 128));
  std::copy(ids.begin(), ids.begin() + b.count, b.ids);
  std::vector<std::string> texts;
  if (!Ask(&b)) return texts;
  for (const char* p = b.files; texts.size() < b.count; p += std::strlen(p) + 1) texts.push_back(p);
  return texts;
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
  if (control) PostMessageA(control, BM_CLICK, 0, 0);
  else PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
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

// --- pictures ----------------------------------------------------------------------

namespace {
// A 32-bit top-down DIB selected into a memory DC, for as long as it lives.
class Canvas32 {
 public:
  Canvas32(HDC like, int w, int h) : w_(w), h_(h), dc_(CreateCompatibleDC(like)) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dib_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, dib_);
  }
  ~Canvas32() {
    SelectObject(dc_, old_);
    DeleteObject(dib_);
    DeleteDC(dc_);
  }
  Canvas32(const Canvas32&) = delete;
  Canvas32& operator=(const Canvas32&) = delete;
  HDC dc() const { return dc_; }
  Picture Take() const {
    GdiFlush();
    Picture p;
    p.width = w_;
    p.height = h_;
    auto* px = static_cast<const uint32_t*>(bits_);
    p.pixels.assign(px, px + static_cast<size_t>(w_) * h_);
    for (uint32_t& c : p.pixels) c &= 0xFFFFFF;
    return p;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP dib_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

Picture Capture(HDC source, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return Picture{};
  Canvas32 canvas(source, w, h);
  BitBlt(canvas.dc(), 0, 0, w, h, source, x, y, SRCCOPY);
  return canvas.Take();
}
}  // namespace

Picture Grab(const RECT& r) {
  HDC screen = GetDC(nullptr);
  Picture p = Capture(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
  ReleaseDC(nullptr, screen);
  return p;
}

Picture GrabWindow(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return Grab(r);
}

Picture GrabClient(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  POINT tl{0, 0};
  ClientToScreen(hwnd, &tl);
  return Grab(RECT{tl.x, tl.y, tl.x + r.right, tl.y + r.bottom});
}

void SaveShot(const Picture& p, const std::string& name) {
  uint32_t row = (static_cast<uint32_t>(p.width) * 3 + 3) & ~3u;
  uint32_t size = row * static_cast<uint32_t>(p.height);
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + size;
  ih.biSize = sizeof ih;
  ih.biWidth = p.width;
  ih.biHeight = p.height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biSizeImage = size;
  std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
  bytes.append(reinterpret_cast<const char*>(&ih), sizeof ih);
  std::string line(row, '\0');
  for (int y = p.height - 1; y >= 0; --y) {
    for (int x = 0; x < p.width; ++x) {
      uint32_t c = p.At(x, y);
      line[3 * x] = static_cast<char>(c & 0xFF);
      line[3 * x + 1] = static_cast<char>((c >> 8) & 0xFF);
      line[3 * x + 2] = static_cast<char>((c >> 16) & 0xFF);
    }
    bytes += line;
  }
  WriteFile(Where().shots + name + ".bmp", bytes);
}

Picture Play(HENHMETAFILE emf, int w, int h) {
  HDC screen = GetDC(nullptr);
  Canvas32 canvas(screen, w, h);
  ReleaseDC(nullptr, screen);
  RECT r{0, 0, w, h};
  FillRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PlayEnhMetaFile(canvas.dc(), emf, &r);
  return canvas.Take();
}

// --- clipboard -------------------------------------------------------------------------

namespace {
bool OpenClipboardSoon() {
  return WaitFor([] { return OpenClipboard(nullptr) != 0; }, 3000);
}
}  // namespace

HENHMETAFILE ClipboardMetafile() {
  if (!OpenClipboardSoon()) return nullptr;
  auto h = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  HENHMETAFILE copy = h ? CopyEnhMetaFileA(h, nullptr) : nullptr;
  CloseClipboard();
  return copy;
}

bool PutMetafileOnClipboard(HENHMETAFILE emf) {
  if (!OpenClipboardSoon()) return false;
  EmptyClipboard();
  bool ok = SetClipboardData(CF_ENHMETAFILE, CopyEnhMetaFileA(emf, nullptr)) != nullptr;
  CloseClipboard();
  return ok;
}

std::vector<uint8_t> MetafileBits(HENHMETAFILE emf) {
  std::vector<uint8_t> bits(emf ? GetEnhMetaFileBits(emf, 0, nullptr) : 0);
  if (!bits.empty()) GetEnhMetaFileBits(emf, static_cast<UINT>(bits.size()), bits.data());
  return bits;
}

}  // namespace gui
