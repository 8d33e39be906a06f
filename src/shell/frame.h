// The frame window: the one top-level window with the menu, the toolbar and
// the drawing view; every command arrives here.
#pragma once
#include "shell/metafile.h"

namespace tsl::shell {

extern const char kFrameClass[];  // "Tessella"

// Registers the frame's and the client's window classes: false when either
// fails.
bool RegisterClasses(HINSTANCE instance);

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Recomputes the title from the current source file and the view's zoom.
void SetCaption(HWND frame);
// The title with `source` named, for the drawing a run has just handed
// over before its names become the current ones.
void SetCaptionFor(HWND frame, const std::string& source);

// The toolbar of the frame: 17 entries with tooltips.
HWND CreateToolbar(HWND frame);
// The tooltip text of a toolbar command (empty when it has none).
std::string ToolTipText(unsigned id);

// Shows the welcome picture, fitted.
void WelcomeScreen(HWND frame);

}  // namespace tsl::shell
