// What the Export As dialog shows and reads, without the window: the
// ratio's text and the side that follows the other while the ratio is kept.
#pragma once
#include <cstdint>
#include <string>

namespace tsl::shell {

// The drawing's width / height with 5 significant digits.
std::string RatioText(float aspect);
// The width that keeps `aspect` for `height`, truncated.
int32_t WidthForHeight(int32_t height, float aspect);
// A pixel count typed into an edit box: its leading digits (at most
// 9, so it stays an int32); 0 when there are none.
int32_t ReadPixels(const std::string& text);

}  // namespace tsl::shell
