// The frame window: the one top-level window, showing the current drawing.
#pragma once
#include <string>

#include "shell/metafile.h"

namespace tsl::shell {

extern const char kFrameClass[];  // "Tessella"

// What the frame shows. Owned by WinMain; the window keeps a pointer.
struct Frame {
  HWND hwnd = nullptr;
  EnhMetaFile drawing;   // the view's own copy
  std::string source;    // plot file of the drawing, empty when none
  unsigned zoom = 0;     // thousandths; 0 fits the drawing to the window
};

// The window title: "<source> - Tessella" for a drawing from a plot file,
// else the program's banner; with a zoom, " [n:1]" or " [1:n]" appended.
// At most 255 characters.
std::string CaptionText(const std::string& source, unsigned zoom);

bool RegisterFrameClass(HINSTANCE instance);
// Creates the (visible) frame for `frame`; nullptr on failure.
HWND CreateFrame(HINSTANCE instance, Frame* frame, int show);
void SetCaption(Frame& frame);
// The frame shows `drawing` (taking it over) from now on.
void ReplaceDrawing(Frame& frame, EnhMetaFile drawing);

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace tsl::shell
