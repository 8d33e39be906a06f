// Polyline Encoded: a whole polyline with pen changes and pen-up moves in one
// compact command. The text is decoded here, not by the parameter parser,
// and drawn through the output routines.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/memory.h"
#include "drawing/pe_decoder.h"
#include "drawing/pen_motion.h"
#include "drawing/pens.h"
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

struct PeRun {
  PlotterState& ps;
  PeDecoder dec;
  int fractionBits = 0;

  // Reads a coordinate pair and turns it into a pen point. A pair whose y
  // is missing altogether (the data ended after x) is dropped.
  bool ReadPoint(gdi::Point* p) {
    int64_t x = 0, y = 0;
    dec.ReadNumber(&x);
    bool complete = dec.ReadNumber(&y);
    if (complete) *p = Units(ps, Coordinate(x, fractionBits), Coordinate(y, fractionBits));
    // "=" makes one pair absolute only.
    ps.bMode |= RELATIVE;
    return complete;
  }

  void Reach(const gdi::Point& p) {
    GrowExtents(ps, p.x, p.y);
    ps.xPen = p.x;
    ps.yPen = p.y;
  }

  void SelectPen(int64_t v) {
    if (v < 0 || v >= ps.nPens) {
      ps.log->Logf("PE: SelectPen (%d) out of range!\n", Sat32(v));
      v = ps.nPens > 0 ? ps.nPens - 1 : 0;
    }
    ps.iPen = static_cast<uint16_t>(v);
    CreateCurrentPen(ps);
  }
};

}  // namespace

void DoPE(uint16_t, const char* text, PlotterState& ps) {
  size_t len = std::strlen(text);
  // Every pair takes at least two bytes, so this always has room.
  size_t capacity = len / 2 + 1;
  MemPtr<gdi::Point> points = AllocArray<gdi::Point>(capacity);
  if (!points) return;

  const uint8_t savedRelative = ps.bMode & RELATIVE;
  ps.bMode |= RELATIVE;
  PeRun run{ps, PeDecoder(len >= 2 ? text + 2 : text + len)};
  PeDecoder& dec = run.dec;
  bool penUpNext = false;

  while (!dec.AtEnd()) {
    const uint8_t c = dec.Peek() & 0x7F;
    int64_t v;
    switch (c) {
      case ':':
        dec.Skip();
        if (dec.ReadNumber(&v)) run.SelectPen(v);
        continue;
      case '<':
        dec.Skip();
        penUpNext = true;
        continue;
      case '=':
        dec.Skip();
        ps.bMode &= static_cast<uint8_t>(~RELATIVE);
        continue;
      case '>':
        dec.Skip();
        if (dec.ReadNumber(&v))
          run.fractionBits = static_cast<int>(v < 0 ? 0 : v > kMaxFractionBits ? kMaxFractionBits : v);
        continue;
      case '7':
        dec.Skip();
        dec.SetFiveBit();
        continue;
      default:
        break;
    }
    ps.fPenDown = 1;
    if (c < 63) break;

    gdi::Point p;
    if (penUpNext) {
      // The request holds across flags until a pair uses it, so "<=" is an
      // absolute pen-up move.
      penUpNext = false;
      if (!run.ReadPoint(&p)) break;
      MoveToScaled(ps, p.x, p.y);
      run.Reach(p);
      if (!dec.StartsNumber()) continue;
    }

    size_t count = 0;
    do {
      if (!run.ReadPoint(&p)) break;
      points.get()[count++] = p;
      run.Reach(p);
    } while (count < capacity && dec.StartsNumber());
    if (count == 1)
      DoLineTo(ps, points.get()[0].x, points.get()[0].y);
    else if (count > 1)
      DoPolylineXX(ps, points.get(), count);
  }

  if (dec.Stopped())
    ps.log->Logf("Warning: PE: Invalid byte 0x%02X in encoded number, rest of command ignored at offset 0x%lx\n",
                 dec.StrayByte(), static_cast<unsigned long>(ps.offCommand));
  ps.bMode = static_cast<uint8_t>((ps.bMode & ~RELATIVE) | savedRelative);
  ps.nExecuted++;
}

}  // namespace tsl
