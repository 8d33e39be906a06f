// Polyline Encoded: a whole polyline with pen changes and pen-up moves in one
// compact command. The text is decoded here, not by the parameter parser,
// and drawn through the output routines.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "drawing/pe_decoder.h"
#include "interpreter/output_routines.h"
#include "interpreter/conversion_log.h"
#include "interpreter/handlers.h"
#include "interpreter/numeric.h"
#include "interpreter/transform.h"

namespace tsl {

namespace {

// Fractional bits beyond this leave nothing of any coordinate.
constexpr int64_t kMaxFractionBits = 1100;

Arg Coordinate(int64_t v, int fractionBits) {
  Arg a;
  if (fractionBits == 0) {
    a.d = static_cast<double>(v);
    a.l = Sat32(v);
  } else {
    a.d = std::ldexp(static_cast<double>(v), -fractionBits);
    a.l = Trunc32(a.d);
  }
  return a;
}

// Whether the point transform reduces to plain integer placement: no user
// scaling, no rotation, no mirroring. None of these can change inside PE.
bool PlainTransform(const PlotterState& ps) {
  const SettingsSet& s = *ps.settings;
  return !(ps.bMode & SCALED) && ps.nRotation == 0 && !s.Has(Rotate) && !s.Has(MirrorX) &&
         !s.Has(MirrorY);
}

class PeRun {
 public:
  PeRun(PlotterState& ps, const char* data, gdi::Point* points, size_t capacity)
      : ps_(ps), dec_(data), plain_(PlainTransform(ps)), points_(points), capacity_(capacity) {}

  void Decode() {
    bool penUpNext = false;
    while (!dec_.AtEnd()) {
      const uint8_t c = dec_.Peek() & 0x7F;
      int64_t v;
      switch (c) {
        case ':':
          dec_.Skip();
          if (dec_.ReadNumber(&v)) SelectPen(v);
          continue;
        case '<':
          dec_.Skip();
          penUpNext = true;
          continue;
        case '=':
          dec_.Skip();
          ps_.bMode &= static_cast<uint8_t>(~RELATIVE);
          continue;
        case '>':
          dec_.Skip();
          if (dec_.ReadNumber(&v))
            fractionBits_ = static_cast<int>(v < 0 ? 0 : v > kMaxFractionBits ? kMaxFractionBits : v);
          continue;
        case '7':
          dec_.Skip();
          dec_.SetFiveBit();
          continue;
        default:
          break;
      }
      ps_.fPenDown = 1;
      if (c < 63) return;
      if (penUpNext) {
        // The request holds across flags until a pair uses it, so "<=" is
        // an absolute pen-up move.
        penUpNext = false;
        if (!PenUpPair()) return;
        if (!dec_.StartsNumber()) continue;
      }
      PenDownRun();
    }
  }

  bool Stopped() const { return dec_.Stopped(); }
  uint8_t StrayByte() const { return dec_.StrayByte(); }

 private:
  int32_t IntegerForm(int64_t v) const {
    return fractionBits_ == 0 ? Sat32(v) : Trunc32(std::ldexp(static_cast<double>(v), -fractionBits_));
  }

  // Reads a coordinate pair and turns it into a pen point. A pair whose y
  // is missing altogether (the data ended after x) is dropped.
  bool ReadPoint(gdi::Point* p) {
    int64_t x = 0, y = 0;
    dec_.ReadNumber(&x);
    bool complete = dec_.ReadNumber(&y);
    if (complete) {
      if (!plain_) {
        *p = Units(ps_, Coordinate(x, fractionBits_), Coordinate(y, fractionBits_));
      } else if (ps_.bMode & RELATIVE) {
        // What Units gives in this case, without its general steps: PE is
        // the hot path of large files.
        p->x = Sat32(int64_t{ps_.xPen} + IntegerForm(x));
        p->y = Sat32(int64_t{ps_.yPen} + IntegerForm(y));
      } else {
        p->x = IntegerForm(x);
        p->y = IntegerForm(y);
      }
    }
    // "=" makes one pair absolute only.
    ps_.bMode |= RELATIVE;
    return complete;
  }

  bool PenUpPair() {
    gdi::Point p;
    if (!ReadPoint(&p)) return false;
    MoveToScaled(ps_, p.x, p.y);
    GrowExtents(ps_, p.x, p.y);
    ps_.xPen = p.x;
    ps_.yPen = p.y;
    return true;
  }

  // Pairs as long as another number follows: one is a line, more a polyline.
  void PenDownRun() {
    gdi::Point* pts = points_;
    size_t count = 0;
    SyncDrawingPosition(ps_);
    // The run's box, from the point it starts at, grows the extents once at
    // its end: clamping into the window is monotonic, so the result is the
    // same as point by point.
    gdi::Point lo{ps_.xPen, ps_.yPen}, hi{ps_.xPen, ps_.yPen};
    gdi::Point p;
    do {
      if (!ReadPoint(&p)) break;
      pts[count++] = p;
      ps_.xPen = p.x;
      ps_.yPen = p.y;
      lo.x = p.x < lo.x ? p.x : lo.x;
      lo.y = p.y < lo.y ? p.y : lo.y;
      hi.x = p.x > hi.x ? p.x : hi.x;
      hi.y = p.y > hi.y ? p.y : hi.y;
    } while (count < capacity_ && dec_.StartsNumber());
    if (count == 0) return;
    GrowExtents(ps_, lo.x, lo.y);
    GrowExtents(ps_, hi.x, hi.y);
    if (count == 1)
      DoLineTo(ps_, pts[0].x, pts[0].y);
    else
      DoPolylineXX(ps_, pts, count);
  }

  void SelectPen(int64_t v) {
    if (v < 0 || v >= ps_.nPens) {
      ps_.log->Warning("PE: SelectPen (%d) out of range!\n", Sat32(v));
      v = ps_.nPens > 0 ? ps_.nPens - 1 : 0;
    }
    ps_.iPen = static_cast<uint16_t>(v);
    CreateCurrentPen(ps_);
  }

  PlotterState& ps_;
  PeDecoder dec_;
  const bool plain_;
  gdi::Point* const points_;
  const size_t capacity_;
  int fractionBits_ = 0;
};

}  // namespace

void DoPE(uint16_t, const char* text, PlotterState& ps) {
  size_t len = std::strlen(text);
  // Every pair takes at least two bytes, so this always has room.
  size_t capacity = len / 2 + 1;
  std::vector<gdi::Point> points(capacity);

  RelativeScope relative(ps, true);
  PeRun run(ps, len >= 2 ? text + 2 : text + len, points.data(), capacity);
  run.Decode();
  if (run.Stopped())
    ps.log->Warning("Warning: PE: Invalid byte 0x%02X in encoded number, rest of command ignored at offset 0x%lx\n",
                 run.StrayByte(), static_cast<unsigned long>(ps.offCommand));
  ps.nExecuted++;
}

}  // namespace tsl
