// The zoom of the drawing view, in thousandths: 0 fits the drawing to the
// window, 1000 is 1:1, 2000 is 2:1, 500 is 1:2.
#pragma once

namespace tsl::shell {

constexpr unsigned kZoomFit = 0;
constexpr unsigned kZoomNormal = 1000;
constexpr unsigned kZoomLargest = 32000;
constexpr unsigned kZoomSmallest = 31;  // a little under 1:32

// The zoom that View command `id` (Fit, 1:1, the fixed zooms, one step in
// or out) makes of `zoom`; other IDs leave it as it is.
unsigned ChangeZoom(unsigned zoom, unsigned id);

// True for the commands ChangeZoom understands.
bool IsZoomCommand(unsigned id);

}  // namespace tsl::shell
