#include "gui_pictures.h"

#include <commctrl.h>

namespace gui {

uint32_t HatchColor() {
  COLORREF c = GetSysColor(COLOR_GRAYTEXT);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

bool HasHatch(const Picture& p) {
  // Diagonal lines whose pattern repeats every 8 pixels across and down.
  uint32_t h = HatchColor();
  int hatch = 0, repeated = 0;
  for (int y = 1; y + 8 < p.height; ++y)
    for (int x = 0; x + 8 < p.width; ++x)
      if (p.At(x, y) == h) {
        ++hatch;
        bool diagonal = p.At(x + 1, y + 1) == h || p.At(x + 1, y - 1) == h;
        repeated += diagonal && p.At(x + 8, y) == h && p.At(x, y + 8) == h;
      }
  return hatch > 100 && repeated * 10 > hatch * 7;
}

Box2 UnhatchedBox(const Picture& p) {
  // Across the middle: a column of the hatch has a hatch pixel in any 8
  // rows running; one of the drawing has none. Likewise down the middle.
  uint32_t h = HatchColor();
  int cx = p.width / 2, cy = p.height / 2;
  auto hatchedColumn = [&](int x) {
    for (int y = cy - 4; y < cy + 4; ++y)
      if (y >= 0 && y < p.height && p.At(x, y) == h) return true;
    return false;
  };
  auto hatchedRow = [&](int y) {
    for (int x = cx - 4; x < cx + 4; ++x)
      if (x >= 0 && x < p.width && p.At(x, y) == h) return true;
    return false;
  };
  Box2 b;
  b.left = 0;
  while (b.left < p.width && hatchedColumn(b.left)) ++b.left;
  b.right = p.width - 1;
  while (b.right >= b.left && hatchedColumn(b.right)) --b.right;
  b.top = 0;
  while (b.top < p.height && hatchedRow(b.top)) ++b.top;
  b.bottom = p.height - 1;
  while (b.bottom >= b.top && hatchedRow(b.bottom)) --b.bottom;
  return b;
}

Box2 InkBox(const Picture& p, uint32_t background) {
  uint32_t h = HatchColor();
  Box2 b{p.width, p.height, -1, -1};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      uint32_t c = p.At(x, y);
      if (c == background || c == h) continue;
      b.left = std::min(b.left, x);
      b.right = std::max(b.right, x);
      b.top = std::min(b.top, y);
      b.bottom = std::max(b.bottom, y);
    }
  return b;
}

int CountDiffering(const Picture& p, uint32_t color) {
  int n = 0;
  for (uint32_t c : p.pixels) n += c != color;
  return n;
}

int CountColor(const Picture& p, uint32_t color) {
  int n = 0;
  for (uint32_t c : p.pixels) n += c == color;
  return n;
}

Picture Crop(const Picture& p, const Box2& b) {
  Picture out;
  if (b.Empty()) return out;
  out.width = b.Width();
  out.height = b.Height();
  for (int y = b.top; y <= b.bottom; ++y)
    for (int x = b.left; x <= b.right; ++x)
      out.pixels.push_back(x >= 0 && y >= 0 && x < p.width && y < p.height ? p.At(x, y) : 0);
  return out;
}

std::vector<Picture> ButtonImages(const App& app, const Picture& bar) {
  std::vector<Picture> images;
  HWND toolbar = app.Toolbar();
  void* remote = VirtualAllocEx(app.process(), nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return images;
  std::vector<ToolButton> buttons = ReadToolbar(app);
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (buttons[i].separator) continue;
    DWORD_PTR ok = 0;
    SendMessageTimeoutA(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &ok);
    RECT r{};
    SIZE_T read = 0;
    if (!ok || !ReadProcessMemory(app.process(), remote, &r, sizeof r, &read)) continue;
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    images.push_back(Crop(bar, Box2{cx - 8, cy - 8, cx + 7, cy + 7}));
  }
  VirtualFreeEx(app.process(), remote, 0, MEM_RELEASE);
  return images;
}

}  // namespace gui
