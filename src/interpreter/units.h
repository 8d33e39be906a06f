// The units of a drawing, named once.
//
// A plotter unit is 0.025 mm of the plot: 40 to the millimetre (20 when a
// page side is longer than 32767 units, about 819 mm, with the scale then
// halved). The metafile records each plotter unit, times the scale, as one
// logical unit of its mapping mode: 0.1 mm (MM_LOMETRIC), or 0.01 mm with
// HighResolution. A drawing therefore comes out four times its plotted size
// in the metafile (twice on paper over 819 mm, a tenth of that with
// HighResolution): coordinates keep their full precision and stay within
// the 16-bit range that older consumers of metafiles take.
#pragma once
#include <cstdint>

namespace tsl {

constexpr int32_t kPlotterUnitsPerMm = 40;
constexpr int32_t kLargePageUnitsPerMm = 20;
constexpr double kPlotMmPerUnit = 1.0 / kPlotterUnitsPerMm;
constexpr double kMetafileMmPerUnit = 0.1;     // MM_LOMETRIC
constexpr double kHighResolutionDivisor = 10;  // MM_HIMETRIC: 0.01 mm

// A length in plotter units as millimetres of the plot.
inline double PlotMillimetres(double units) { return units * kPlotMmPerUnit; }
// The same length as the metafile's millimetres (unscaled), as the log's
// statistics give it.
inline double MetafileMillimetres(double units, bool highResolution) {
  double mm = units * kMetafileMmPerUnit;
  return highResolution ? mm / kHighResolutionDivisor : mm;
}

}  // namespace tsl
