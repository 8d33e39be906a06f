// Printing metafiles that carry OpenGL records: a pixel format and a
// palette on the printer's context, and a rendering context made current
// for the playback.
#include <GL/gl.h>

#include <memory>
#include <vector>

#include "output/print_palette.h"
#include "shell/print_page.h"

namespace tsl::shell {

struct OpenGlState {
  HGLRC rc = nullptr;
  HPALETTE palette = nullptr, oldPalette = nullptr;
  bool systemPalette = false;  // SYSPAL_NOSTATIC and the system colours changed
  COLORREF savedColours[kStaticColours] = {};
};

namespace {

using GetPixelFormatFn = UINT(WINAPI*)(HENHMETAFILE, UINT, PIXELFORMATDESCRIPTOR*);

HPALETTE MakePalette(const std::vector<PalEntry>& entries) {
  if (entries.empty() || entries.size() > 65535) return nullptr;
  std::vector<BYTE> buf(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(entries.size());
  for (size_t i = 0; i < entries.size(); ++i)
    lp->palPalEntry[i] = {entries[i].red, entries[i].green, entries[i].blue, entries[i].flags};
  return CreatePalette(lp);
}

// Reloads the physical palette: a palette of n reserved entries selected,
// realised and dropped again.
void FlushPalette(HDC dc, int n) {
  std::vector<PalEntry> reserved(n, PalEntry{0, 0, 0, kPcReserved | kPcNoCollapse});
  HPALETTE pal = MakePalette(reserved);
  if (!pal) return;
  HPALETTE old = SelectPalette(dc, pal, FALSE);
  RealizePalette(dc);
  SelectPalette(dc, old, FALSE);
  DeleteObject(pal);
}

void SaveStaticEntries(OpenGlState* s) {
  for (int i = 0; i < kStaticColours; ++i) s->savedColours[i] = GetSysColor(kStaticIndex[i]);
}

// The palette takes the whole system palette: the system colours become
// black and white until the job ends.
void UseStaticEntries(OpenGlState* s) {
  SetSysColors(kStaticColours, kStaticIndex, reinterpret_cast<const COLORREF*>(kBlackAndWhite));
  PostMessageA(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
  s->systemPalette = true;
}

PixelLayout LayoutOf(const PIXELFORMATDESCRIPTOR& p) {
  return {p.cColorBits, p.cRedBits, p.cRedShift, p.cGreenBits, p.cGreenShift, p.cBlueBits, p.cBlueShift};
}

void SelectOwnPalette(HDC dc, OpenGlState* s, const std::vector<PalEntry>& entries) {
  s->palette = MakePalette(entries);
  if (!s->palette) return;
  s->oldPalette = SelectPalette(dc, s->palette, FALSE);
  RealizePalette(dc);
}

}  // namespace

OpenGlState* BeginOpenGlPrinting(HDC dc, HENHMETAFILE emf, HMODULE gdi) {
  auto fn = gdi ? reinterpret_cast<GetPixelFormatFn>(
                      reinterpret_cast<void*>(GetProcAddress(gdi, "GetEnhMetaFilePixelFormat")))
                : nullptr;
  if (!fn) return nullptr;
  PIXELFORMATDESCRIPTOR pfd{};
  if (fn(emf, sizeof pfd, &pfd) == 0) {
    pfd = PIXELFORMATDESCRIPTOR{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cAccumBits = 24;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 24;
  }
  int format = ChoosePixelFormat(dc, &pfd);
  if (!format) return nullptr;  // printed without OpenGL
  SetPixelFormat(dc, format, &pfd);
  DescribePixelFormat(dc, format, sizeof pfd, &pfd);
  auto state = std::make_unique<OpenGlState>();
  if (pfd.iPixelType == PFD_TYPE_RGBA) {
    if (pfd.dwFlags & PFD_NEED_PALETTE) {
      PixelLayout layout = LayoutOf(pfd);
      std::vector<PalEntry> entries = RgbFormatPalette(layout);
      bool takeSystem = false;
      if (pfd.cColorBits == 8 && !entries.empty()) {
        if (pfd.dwFlags & PFD_NEED_SYSTEM_PALETTE) {
          entries.front().flags = entries.back().flags = 0;
          SaveStaticEntries(state.get());
          SetSystemPaletteUse(dc, SYSPAL_NOSTATIC);
          takeSystem = true;
        } else {
          PlaceDefaultColours(layout, &entries);
        }
        FlushPalette(dc, static_cast<int>(entries.size()));
      }
      SelectOwnPalette(dc, state.get(), entries);
      if (takeSystem) UseStaticEntries(state.get());
    }
  } else {
    std::vector<PalEntry> entries = ColorIndexPalette(pfd.cColorBits);
    if (pfd.cColorBits == 8) FlushPalette(dc, 256);
    SelectOwnPalette(dc, state.get(), entries);
  }
  state->rc = wglCreateContext(dc);
  if (state->rc) wglMakeCurrent(dc, state->rc);
  return state.release();
}

void EndOpenGlPrinting(HDC dc, OpenGlState* raw) {
  std::unique_ptr<OpenGlState> state(raw);
  if (HGLRC current = wglGetCurrentContext()) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(current);
  }
  if (state->palette) {
    SelectPalette(dc, state->oldPalette, FALSE);
    DeleteObject(state->palette);
  }
  if (state->systemPalette) {
    // The desktop's colours were the user's before this job: give them back.
    SetSystemPaletteUse(dc, SYSPAL_STATIC);
    SetSysColors(kStaticColours, kStaticIndex, state->savedColours);
    PostMessageA(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
  }
}

}  // namespace tsl::shell
