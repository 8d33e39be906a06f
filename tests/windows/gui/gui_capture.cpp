// Pictures of the screen and of metafiles, and the clipboard.
#include "gui_actions.h"

namespace gui {

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
