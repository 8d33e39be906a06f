// Core headers go before <windows.h> (through frame.h): its macros (RGB,
// TRANSPARENT, LoadString, ...) would rewrite their declarations.
#include "common/notify.h"
#include "interpreter/tessella.h"

#include "shell/frame.h"

namespace tsl::shell {

const char kFrameClass[] = "Tessella";

std::string CaptionText(const std::string& source, unsigned zoom) {
  std::string title = source.empty() ? std::string(kBanner) : Format("%s - %s", source.c_str(), "Tessella");
  if (zoom != 0) title += zoom >= 1000 ? Format(" [%u:1]", zoom / 1000) : Format(" [1:%u]", 1000 / zoom);
  if (title.size() > 255) title.resize(255);
  return title;
}

namespace {
Frame* FrameOf(HWND hwnd) { return reinterpret_cast<Frame*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }
}  // namespace

bool RegisterFrameClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kFrameClass;
  return RegisterClassExA(&wc) != 0;
}

HWND CreateFrame(HINSTANCE instance, Frame* frame, int show) {
  HWND hwnd = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_OVERLAPPEDWINDOW, kFrameClass, "Tessella",
                              WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, instance, frame);
  if (!hwnd) return nullptr;
  SetCaption(*frame);
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  return hwnd;
}

void SetCaption(Frame& frame) {
  if (frame.hwnd) SetWindowTextA(frame.hwnd, CaptionText(frame.source, frame.zoom).c_str());
}

void ReplaceDrawing(Frame& frame, EnhMetaFile drawing) {
  frame.drawing = std::move(drawing);
  if (frame.hwnd) InvalidateRect(frame.hwnd, nullptr, TRUE);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      auto* frame = static_cast<Frame*>(cs->lpCreateParams);
      if (frame) frame->hwnd = hwnd;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
      break;
    }
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Frame* frame = FrameOf(hwnd);
      if (frame && frame->drawing) {
        RECT client;
        GetClientRect(hwnd, &client);
        PaintFitted(dc, frame->drawing.get(), client);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      if (Frame* frame = FrameOf(hwnd)) {
        frame->drawing.Reset();
        frame->hwnd = nullptr;
      }
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace tsl::shell
