// The tolerances the GDI and cairo pictures of our metafiles are held to.
//
// Lines, fills, curves, clipping and stroke-font labels: both sides draw
// without anti-aliasing, in the same pure colours, from the same device
// coordinates (the renderer rounds them as GDI does); what remains is
// where each rasteriser puts the pixels of an edge or a curve, one pixel
// either way. So a pixel agrees when its colour is found within one pixel
// in the other picture, both ways round. A few stray pixels are allowed
// (0.5% of the ink, no clump larger than 12) for rounding the two do in
// other orders; a shape gone missing or moved by two pixels or more leaves
// a clump or a large share and fails.
//
// Dashed line types are geometric pens with dashes of their own
// (PS_USERSTYLE). Windows, and the renderer, take their lengths in logical
// units; Wine 8 takes them as device pixels. The plot of dashes
// (tests/windows/data/pixels/dashes.plt) is drawn so that a logical unit
// comes to a pixel at the compared size, where both readings agree; the
// other plots draw no dashes.
//
// TrueType text: GDI under Wine anti-aliases it whatever the font
// smoothing setting (fonts recorded in draft quality), cairo does not, and
// the two rasterisers hint the same font differently. Pixels are first
// taken to the colour that covers at least half of them, which undoes the
// anti-aliasing; the glyphs then differ in single stems and serifs, so 5%
// of the ink may differ in clumps of up to 32 pixels (a character is more);
// a label moved, missing or in the wrong colour still fails.
#pragma once
#include "pixel_diff.h"

namespace tsl::pixels {

inline Tolerance ShapeTolerance() { return Tolerance{}; }

inline Tolerance TextTolerance() {
  Tolerance t;
  t.halfCoverage = true;
  t.maxPerMille = 50;
  t.maxCluster = 32;
  return t;
}

}  // namespace tsl::pixels
