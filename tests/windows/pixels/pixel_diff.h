// Compares two renderings of one metafile by different rasterisers (GDI and
// cairo), allowing for what legitimately differs between them: where a
// shape's edge falls on the pixel grid.
#pragma once
#include <string>

#include "bmp24.h"

namespace tsl::pixels {

struct Tolerance {
  // A pixel agrees when a pixel of the same colour lies within `radius`
  // pixels (in x and in y) in the other picture, both ways round.
  int radius = 1;
  // Largest difference per colour channel still counted as the same colour.
  int channelDelta = 8;
  // Largest share of disagreeing pixels among the inked ones, in parts per
  // thousand.
  double maxPerMille = 5;
  // Largest number of disagreeing pixels that touch one another: rasterising
  // differences are scattered specks, a missing or misplaced shape is a blob.
  long maxCluster = 12;
  // Anti-aliased pictures: every channel is first taken to 0 or 255 at the
  // half, so a pixel counts in the colour that covers at least half of it.
  bool halfCoverage = false;

  std::string Describe() const;
};

struct Comparison {
  bool sameSize = false;
  long compared = 0;   // pixels not white in either picture
  long differing = 0;  // of those, pixels without a partner
  long largestCluster = 0;
  // The differences drawn for a reader: agreeing ink pale grey, pixels of
  // the first picture without partner red, of the second blue.
  Image marks;

  bool Passes(const Tolerance& t) const;
  double PerMille() const { return compared ? 1000.0 * differing / compared : 0; }
};

Comparison Compare(const Image& a, const Image& b, const Tolerance& t);

// `image` moved by (dx, dy), white where nothing moved in.
Image Shifted(const Image& image, int dx, int dy);
// `image` with the square of side `side` that holds the most ink painted
// white: a shape gone missing.
Image WithoutDensestSquare(const Image& image, int side);

}  // namespace tsl::pixels
