// The program under test: starting and ending it, its commands and keys,
// and the questions its probe answers.
#include "gui_actions.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace gui {

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

}  // namespace gui
