#include "pixel_diff.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tsl::pixels {

namespace {
constexpr uint32_t kWhite = 0xFFFFFF;

bool Close(uint32_t a, uint32_t b, int delta) {
  for (int shift = 0; shift < 24; shift += 8) {
    int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    if (std::abs(ca - cb) > delta) return false;
  }
  return true;
}

// Whether `color` appears in `image` within `radius` of (x, y).
bool HasPartner(const Image& image, int x, int y, uint32_t color, const Tolerance& t) {
  for (int yy = std::max(0, y - t.radius); yy <= std::min(image.height - 1, y + t.radius); ++yy)
    for (int xx = std::max(0, x - t.radius); xx <= std::min(image.width - 1, x + t.radius); ++xx)
      if (Close(image.At(xx, yy), color, t.channelDelta)) return true;
  return false;
}

// The size of the largest 8-connected group of set cells.
long LargestCluster(std::vector<char> set, int width, int height) {
  long best = 0;
  std::vector<int> stack;
  for (int start = 0; start < width * height; ++start) {
    if (!set[start]) continue;
    long size = 0;
    set[start] = 0;
    stack.push_back(start);
    while (!stack.empty()) {
      int at = stack.back();
      stack.pop_back();
      ++size;
      int x = at % width, y = at / width;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
          int n = ny * width + nx;
          if (set[n]) {
            set[n] = 0;
            stack.push_back(n);
          }
        }
    }
    best = std::max(best, size);
  }
  return best;
}
}  // namespace

std::string Tolerance::Describe() const {
  char text[96];
  std::snprintf(text, sizeof text, "r%d d%d %.1f%% c%ld%s", radius, channelDelta, maxPerMille / 10, maxCluster,
                halfCoverage ? " half" : "");
  return text;
}

bool Comparison::Passes(const Tolerance& t) const {
  return sameSize && compared > 0 && differing * 1000.0 <= t.maxPerMille * compared &&
         largestCluster <= t.maxCluster;
}

Image HalfCoverage(const Image& image) {
  Image out = image;
  for (uint32_t& p : out.rgb) {
    uint32_t q = 0;
    for (int shift = 0; shift < 24; shift += 8)
      if (((p >> shift) & 0xFF) >= 0x80) q |= 0xFFu << shift;
    p = q;
  }
  return out;
}

Comparison Compare(const Image& a0, const Image& b0, const Tolerance& t) {
  Image ha, hb;
  if (t.halfCoverage) {
    ha = HalfCoverage(a0);
    hb = HalfCoverage(b0);
  }
  const Image& a = t.halfCoverage ? ha : a0;
  const Image& b = t.halfCoverage ? hb : b0;
  Comparison c;
  c.sameSize = a.width == b.width && a.height == b.height;
  if (!c.sameSize) return c;
  c.marks = Image(a.width, a.height);
  std::vector<char> differs(a.rgb.size(), 0);
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      uint32_t pa = a.At(x, y), pb = b.At(x, y);
      if (Close(pa, kWhite, t.channelDelta) && Close(pb, kWhite, t.channelDelta)) continue;
      ++c.compared;
      bool aHas = HasPartner(b, x, y, pa, t), bHas = HasPartner(a, x, y, pb, t);
      uint32_t& mark = c.marks.At(x, y);
      if (aHas && bHas) {
        mark = 0xD0D0D0;
        continue;
      }
      ++c.differing;
      differs[static_cast<size_t>(y) * a.width + x] = 1;
      mark = !aHas ? 0xFF0000 : 0x0000FF;
    }
  c.largestCluster = LargestCluster(std::move(differs), a.width, a.height);
  return c;
}

Image Shifted(const Image& image, int dx, int dy) {
  Image out(image.width, image.height);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      int sx = x - dx, sy = y - dy;
      if (sx >= 0 && sy >= 0 && sx < image.width && sy < image.height) out.At(x, y) = image.At(sx, sy);
    }
  return out;
}

Image WithoutDensestSquare(const Image& image, int side) {
  int bestX = 0, bestY = 0;
  long best = -1;
  for (int y0 = 0; y0 + side <= image.height; y0 += side / 2)
    for (int x0 = 0; x0 + side <= image.width; x0 += side / 2) {
      long ink = 0;
      for (int y = y0; y < y0 + side; ++y)
        for (int x = x0; x < x0 + side; ++x) ink += image.At(x, y) != kWhite;
      if (ink > best) {
        best = ink;
        bestX = x0;
        bestY = y0;
      }
    }
  Image out = image;
  for (int y = bestY; y < std::min(image.height, bestY + side); ++y)
    for (int x = bestX; x < std::min(image.width, bestX + side); ++x) out.At(x, y) = kWhite;
  return out;
}

}  // namespace tsl::pixels
