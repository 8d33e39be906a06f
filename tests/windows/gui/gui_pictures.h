// What the driver reads from pictures of the screen: the hatch around a
// drawing, where the drawing is, the toolbar's button images.
#pragma once
#include <vector>

#include "gui_actions.h"

namespace gui {

constexpr uint32_t kWhite = 0xFFFFFF;

struct Box2 {
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; empty when right < left
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
  bool Empty() const { return right < left || bottom < top; }
};

// The colour the view draws its hatch with (the system's grey text).
uint32_t HatchColor();
// A diagonal cross hatch covers part of the picture.
bool HasHatch(const Picture& p);
// The rows and columns where no hatch is drawn: the drawing's place.
Box2 UnhatchedBox(const Picture& p);
// The bounding box of the pixels that are neither `background` nor hatch.
Box2 InkBox(const Picture& p, uint32_t background);
int CountDiffering(const Picture& p, uint32_t color);
int CountColor(const Picture& p, uint32_t color);
Picture Crop(const Picture& p, const Box2& b);
// The 16 x 16 image of each toolbar button, from a picture of the
// toolbar's client area.
std::vector<Picture> ButtonImages(const App& app, const Picture& bar);

}  // namespace gui
