#include "output/wmf_to_emf.h"

#include "common/notify.h"

#include <algorithm>
#include <cstring>

#include "common/gdi/emf_bytes.h"
#include "common/gdi/emf_recorder.h"
#include "common/gdi/emf_types.h"
#include "common/notify.h"
#include "output/emf_writer.h"

namespace tsl {

using namespace gdi;

namespace {
enum : uint16_t {
  META_EOF = 0x0000, META_SAVEDC = 0x001E, META_REALIZEPALETTE = 0x0035, META_CREATEPALETTE = 0x00F7,
  META_SETBKMODE = 0x0102, META_SETMAPMODE = 0x0103, META_SETROP2 = 0x0104, META_SETPOLYFILLMODE = 0x0106,
  META_RESTOREDC = 0x0127, META_SELECTCLIPREGION = 0x012C, META_SELECTOBJECT = 0x012D,
  META_SETTEXTALIGN = 0x012E, META_DIBCREATEPATTERNBRUSH = 0x0142, META_DELETEOBJECT = 0x01F0,
  META_CREATEPATTERNBRUSH = 0x01F9, META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209,
  META_SETWINDOWORG = 0x020B, META_SETWINDOWEXT = 0x020C, META_SETVIEWPORTORG = 0x020D,
  META_SETVIEWPORTEXT = 0x020E, META_OFFSETWINDOWORG = 0x020F, META_LINETO = 0x0213, META_MOVETO = 0x0214,
  META_SELECTPALETTE = 0x0234, META_CREATEPENINDIRECT = 0x02FA, META_CREATEFONTINDIRECT = 0x02FB,
  META_CREATEBRUSHINDIRECT = 0x02FC, META_POLYGON = 0x0324, META_POLYLINE = 0x0325,
  META_SCALEWINDOWEXT = 0x0410, META_EXCLUDECLIPRECT = 0x0415, META_INTERSECTCLIPRECT = 0x0416,
  META_ELLIPSE = 0x0418, META_RECTANGLE = 0x041B, META_SETPIXEL = 0x041F, META_TEXTOUT = 0x0521,
  META_POLYPOLYGON = 0x0538, META_ROUNDRECT = 0x061C, META_PATBLT = 0x061D, META_CREATEREGION = 0x06FF,
  META_ARC = 0x0817, META_PIE = 0x081A, META_CHORD = 0x0830, META_DIBBITBLT = 0x0940,
  META_EXTTEXTOUT = 0x0A32, META_DIBSTRETCHBLT = 0x0B41, META_STRETCHDIB = 0x0F43,
};

constexpr size_t kMaxObjects = 65534;


// One WMF record's parameters, read with bounds checks (0 past the end).
struct Params {
  const uint8_t* p;
  size_t words;
  int32_t S(size_t i) const { return i < words ? static_cast<int16_t>(GetU16(p + 2 * i)) : 0; }
  uint32_t U(size_t i) const { return i < words ? GetU16(p + 2 * i) : 0; }
  uint32_t U32(size_t i) const { return U(i) | (U(i + 1) << 16); }
};

class Translator {
 public:
  Translator(EmfBytesWriter& out) : out_(out) {}
  void Play(uint16_t func, const Params& a);
  uint16_t Handles() const { return static_cast<uint16_t>(std::min<size_t>(used_.size() + 1, 0xFFFF)); }

 private:
  int32_t NewObject() {
    size_t i = 0;
    while (i < used_.size() && used_[i]) ++i;
    if (i >= kMaxObjects) return -1;
    if (i == used_.size()) used_.push_back(false);
    used_[i] = true;
    return static_cast<int32_t>(i + 1);
  }
  void Poly(uint32_t type, const Params& a, size_t countAt);
  void Text(const Params& a, bool ext);
  void Dib(const Params& a, uint16_t func);

  EmfBytesWriter& out_;
  std::vector<bool> used_;
};

void Translator::Poly(uint32_t type, const Params& a, size_t countAt) {
  uint32_t n = a.U(countAt);
  if (n == 0 || countAt + 1 + 2 * static_cast<size_t>(n) > a.words) return;
  std::vector<uint8_t> p;
  for (int i = 0; i < 4; ++i) Append32(p, 0);  // bounds, unused by readers
  Append32(p, n);
  for (uint32_t i = 0; i < n; ++i) {
    Append16(p, static_cast<uint16_t>(a.S(countAt + 1 + 2 * i)));
    Append16(p, static_cast<uint16_t>(a.S(countAt + 2 + 2 * i)));
  }
  out_.Raw(type, p);
}

void Translator::Text(const Params& a, bool ext) {
  int32_t x, y;
  uint32_t count, options = 0;
  size_t strAt;
  int32_t rc[4] = {0, 0, -1, -1};
  if (ext) {
    y = a.S(0);
    x = a.S(1);
    count = a.U(2);
    options = a.U(3);
    strAt = 4;
    if (options & 0x6) {  // ETO_OPAQUE or ETO_CLIPPED bring a rectangle
      for (int i = 0; i < 4; ++i) rc[i] = a.S(4 + i);
      strAt = 8;
    }
  } else {
    count = a.U(0);
    strAt = 1;
    size_t strWords = (count + 1) / 2;
    y = a.S(strAt + strWords);
    x = a.S(strAt + strWords + 1);
    if (strAt + strWords + 2 > a.words) return;
  }
  size_t strWords = (count + 1) / 2;
  if (count == 0 || strAt + strWords > a.words) return;
  const uint8_t* s = a.p + 2 * strAt;
  size_t dxAt = strAt + strWords;
  bool haveDx = ext && dxAt + count <= a.words;

  std::vector<uint8_t> p;
  for (int i = 0; i < 4; ++i) Append32(p, 0);  // bounds
  Append32(p, 1);                              // GM_COMPATIBLE
  Append32(p, 0);                              // exScale
  Append32(p, 0);                              // eyScale
  Append32(p, static_cast<uint32_t>(x));
  Append32(p, static_cast<uint32_t>(y));
  Append32(p, count);
  uint32_t offString = 76;
  uint32_t stringBytes = ((2 * count) + 3) & ~3u;
  Append32(p, offString);
  Append32(p, options & 0x6);
  for (int32_t v : rc) Append32(p, static_cast<uint32_t>(v));
  Append32(p, haveDx ? offString + stringBytes : 0);
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t b = s[i];
    Append16(p, gdi::Cp1252ToUnicode(b));
  }
  p.resize(p.size() + (stringBytes - 2 * count), 0);
  if (haveDx)
    for (uint32_t i = 0; i < count; ++i) Append32(p, static_cast<uint32_t>(a.S(dxAt + i)));
  out_.Raw(EMR_EXTTEXTOUTW, p);
}

void Translator::Dib(const Params& a, uint16_t func) {
  // Parameters before the bitmap, and where each value sits.
  size_t head;
  int32_t xSrc, ySrc, cxSrc, cySrc, xDst, yDst, cxDst, cyDst;
  uint32_t rop = a.U32(0), usage = 0;
  if (func == META_STRETCHDIB) {
    usage = a.U(2);
    cySrc = a.S(3); cxSrc = a.S(4); ySrc = a.S(5); xSrc = a.S(6);
    cyDst = a.S(7); cxDst = a.S(8); yDst = a.S(9); xDst = a.S(10);
    head = 11;
  } else if (func == META_DIBSTRETCHBLT) {
    cySrc = a.S(2); cxSrc = a.S(3); ySrc = a.S(4); xSrc = a.S(5);
    cyDst = a.S(6); cxDst = a.S(7); yDst = a.S(8); xDst = a.S(9);
    head = 10;
  } else {
    ySrc = a.S(2); xSrc = a.S(3); cySrc = a.S(4); cxSrc = a.S(5);
    yDst = a.S(6); xDst = a.S(7);
    cxDst = cxSrc;
    cyDst = cySrc;
    head = 8;
  }
  if (a.words < head + 20) {
    // No bitmap: a pattern operation over the destination.
    if (func == META_STRETCHDIB) return;
    int32_t x = func == META_DIBBITBLT ? a.S(7) : a.S(9), y = func == META_DIBBITBLT ? a.S(6) : a.S(8);
    int32_t w = func == META_DIBBITBLT ? a.S(5) : a.S(7), h = func == META_DIBBITBLT ? a.S(4) : a.S(6);
    out_.Record(EMR_BITBLT, {0, 0, -1, -1, x, y, w, h, static_cast<int32_t>(rop), 0, 0, 0x3F800000, 0, 0,
                             0x3F800000, 0, 0, 0, 0, 0, 0, 0, 0});
    return;
  }
  const uint8_t* dib = a.p + 2 * head;
  size_t dibSize = 2 * (a.words - head);
  uint32_t biSize = GetU32(dib);
  if (biSize < 40 || biSize > dibSize) return;
  uint16_t bpp = GetU16(dib + 14);
  uint32_t compression = GetU32(dib + 16), clrUsed = GetU32(dib + 32);
  size_t colours = bpp <= 8 ? (clrUsed && clrUsed < 256 ? clrUsed : (1u << bpp)) : 0;
  size_t cbBmi = biSize + colours * 4 + (compression == 3 && biSize == 40 ? 12 : 0);
  if (cbBmi > dibSize) return;
  std::vector<uint8_t> p;
  for (int32_t v : {0, 0, -1, -1, xDst, yDst, xSrc, ySrc, cxSrc, cySrc}) Append32(p, static_cast<uint32_t>(v));
  uint32_t offBmi = 80, offBits = static_cast<uint32_t>(80 + ((cbBmi + 3) & ~static_cast<size_t>(3)));
  Append32(p, offBmi);
  Append32(p, static_cast<uint32_t>(cbBmi));
  Append32(p, offBits);
  Append32(p, static_cast<uint32_t>(dibSize - cbBmi));
  Append32(p, usage);
  Append32(p, rop);
  Append32(p, static_cast<uint32_t>(cxDst));
  Append32(p, static_cast<uint32_t>(cyDst));
  p.insert(p.end(), dib, dib + cbBmi);
  p.resize(offBits - 8, 0);
  p.insert(p.end(), dib + cbBmi, dib + dibSize);
  out_.Raw(EMR_STRETCHDIBITS, p);
}

void Translator::Play(uint16_t func, const Params& a) {
  switch (func) {
    case META_SAVEDC: out_.Record(EMR_SAVEDC, {}); break;
    case META_RESTOREDC: out_.Record(EMR_RESTOREDC, {a.S(0)}); break;
    case META_SETBKMODE: out_.Record(EMR_SETBKMODE, {static_cast<int32_t>(a.U(0))}); break;
    case META_SETMAPMODE:
      // The picture is fitted to its frame: only the scalable modes apply.
      if (a.U(0) == MM_ISOTROPIC || a.U(0) == MM_ANISOTROPIC)
        out_.Record(EMR_SETMAPMODE, {static_cast<int32_t>(a.U(0))});
      break;
    case META_SETROP2: out_.Record(EMR_SETROP2, {static_cast<int32_t>(a.U(0))}); break;
    case META_SETPOLYFILLMODE: out_.Record(EMR_SETPOLYFILLMODE, {static_cast<int32_t>(a.U(0))}); break;
    case META_SETTEXTALIGN: out_.Record(EMR_SETTEXTALIGN, {static_cast<int32_t>(a.U(0))}); break;
    case META_SETBKCOLOR: out_.Record(EMR_SETBKCOLOR, {static_cast<int32_t>(a.U32(0))}); break;
    case META_SETTEXTCOLOR: out_.Record(EMR_SETTEXTCOLOR, {static_cast<int32_t>(a.U32(0))}); break;
    case META_SETWINDOWORG: out_.Record(EMR_SETWINDOWORGEX, {a.S(1), a.S(0)}); break;
    case META_SETWINDOWEXT: out_.Record(EMR_SETWINDOWEXTEX, {a.S(1), a.S(0)}); break;
    case META_SCALEWINDOWEXT: out_.Record(EMR_SCALEWINDOWEXTEX, {a.S(3), a.S(2), a.S(1), a.S(0)}); break;
    case META_SETVIEWPORTORG:
    case META_SETVIEWPORTEXT:
      break;  // the viewport belongs to the frame
    case META_MOVETO: out_.Record(EMR_MOVETOEX, {a.S(1), a.S(0)}); break;
    case META_LINETO: out_.Record(EMR_LINETO, {a.S(1), a.S(0)}); break;
    case META_EXCLUDECLIPRECT: out_.Record(EMR_EXCLUDECLIPRECT, {a.S(3), a.S(2), a.S(1), a.S(0)}); break;
    case META_INTERSECTCLIPRECT: out_.Record(EMR_INTERSECTCLIPRECT, {a.S(3), a.S(2), a.S(1), a.S(0)}); break;
    case META_RECTANGLE: out_.Record(EMR_RECTANGLE, {a.S(3), a.S(2), a.S(1), a.S(0)}); break;
    case META_ELLIPSE: out_.Record(EMR_ELLIPSE, {a.S(3), a.S(2), a.S(1), a.S(0)}); break;
    case META_ROUNDRECT: out_.Record(EMR_ROUNDRECT, {a.S(5), a.S(4), a.S(3), a.S(2), a.S(1), a.S(0)}); break;
    case META_ARC:
    case META_PIE:
    case META_CHORD:
      out_.Record(func == META_ARC ? EMR_ARC : func == META_PIE ? EMR_PIE : EMR_CHORD,
                  {a.S(7), a.S(6), a.S(5), a.S(4), a.S(3), a.S(2), a.S(1), a.S(0)});
      break;
    case META_SETPIXEL: out_.Record(EMR_SETPIXELV, {a.S(3), a.S(2), static_cast<int32_t>(a.U32(0))}); break;
    case META_POLYGON: Poly(EMR_POLYGON16, a, 0); break;
    case META_POLYLINE: Poly(EMR_POLYLINE16, a, 0); break;
    case META_POLYPOLYGON: {
      uint32_t polys = a.U(0);
      if (polys == 0 || 1 + static_cast<size_t>(polys) > a.words) break;
      size_t total = 0;
      for (uint32_t i = 0; i < polys; ++i) total += a.U(1 + i);
      size_t ptsAt = 1 + polys;
      if (ptsAt + 2 * total > a.words) break;
      std::vector<uint8_t> p;
      for (int i = 0; i < 4; ++i) Append32(p, 0);
      Append32(p, polys);
      Append32(p, static_cast<uint32_t>(total));
      for (uint32_t i = 0; i < polys; ++i) Append32(p, a.U(1 + i));
      for (size_t i = 0; i < 2 * total; ++i) Append16(p, static_cast<uint16_t>(a.S(ptsAt + i)));
      out_.Raw(EMR_POLYPOLYGON16, p);
      break;
    }
    case META_TEXTOUT: Text(a, false); break;
    case META_EXTTEXTOUT: Text(a, true); break;
    case META_PATBLT:
      out_.Record(EMR_BITBLT, {0, 0, -1, -1, a.S(5), a.S(4), a.S(3), a.S(2), static_cast<int32_t>(a.U32(0)), 0, 0,
                               0x3F800000, 0, 0, 0x3F800000, 0, 0, 0, 0, 0, 0, 0, 0});
      break;
    case META_DIBBITBLT:
    case META_DIBSTRETCHBLT:
    case META_STRETCHDIB:
      Dib(a, func);
      break;
    case META_CREATEPENINDIRECT: {
      int32_t h = NewObject();
      if (h > 0) out_.Record(EMR_CREATEPEN, {h, static_cast<int32_t>(a.U(0)), a.S(1), 0, static_cast<int32_t>(a.U32(3))});
      break;
    }
    case META_CREATEBRUSHINDIRECT: {
      int32_t h = NewObject();
      if (h > 0)
        out_.Record(EMR_CREATEBRUSHINDIRECT,
                    {h, static_cast<int32_t>(a.U(0)), static_cast<int32_t>(a.U32(1)), static_cast<int32_t>(a.U(3))});
      break;
    }
    case META_CREATEFONTINDIRECT: {
      int32_t h = NewObject();
      if (h <= 0) break;
      std::vector<uint8_t> p;
      Append32(p, static_cast<uint32_t>(h));
      for (int i = 0; i < 5; ++i) Append32(p, static_cast<uint32_t>(a.S(static_cast<size_t>(i))));
      // Italic, underline, strike-out, charset, precisions, quality, pitch.
      for (size_t i = 0; i < 8; ++i) {
        size_t byte = 10 + i;
        p.push_back(byte / 2 < a.words ? a.p[byte] : 0);
      }
      for (size_t i = 0; i < 32; ++i) {
        size_t byte = 18 + i;
        uint8_t b = byte / 2 < a.words ? a.p[byte] : 0;
        Append16(p, gdi::Cp1252ToUnicode(b));
        if (!b) {
          p.resize(p.size() + 2 * (31 - i), 0);
          break;
        }
      }
      out_.Raw(EMR_EXTCREATEFONTINDIRECTW, p);
      break;
    }
    case META_CREATEPALETTE:
    case META_CREATEPATTERNBRUSH:
    case META_DIBCREATEPATTERNBRUSH:
    case META_CREATEREGION: {
      // They take a slot in the object table; a grey brush stands in so
      // that selecting one still paints.
      int32_t h = NewObject();
      if (h > 0 && func != META_CREATEPALETTE && func != META_CREATEREGION)
        out_.Record(EMR_CREATEBRUSHINDIRECT, {h, BS_SOLID, 0x808080, 0});
      else if (h > 0)
        out_.Record(EMR_CREATEPALETTE, {h, 0x300 | (1 << 16), 0});
      break;
    }
    case META_SELECTOBJECT: {
      uint32_t i = a.U(0);
      if (i < used_.size() && used_[i]) out_.Record(EMR_SELECTOBJECT, {static_cast<int32_t>(i + 1)});
      break;
    }
    case META_DELETEOBJECT: {
      uint32_t i = a.U(0);
      if (i < used_.size() && used_[i]) {
        used_[i] = false;
        out_.Record(EMR_DELETEOBJECT, {static_cast<int32_t>(i + 1)});
      }
      break;
    }
    case META_SELECTCLIPREGION:
      out_.Record(EMR_EXTSELECTCLIPRGN, {0, 5});  // the region itself is not kept
      break;
    default:
      break;
  }
}
}  // namespace

bool WmfToEmf(const uint8_t* wmf, size_t size, const MetafilePict* mfp, std::vector<uint8_t>* emf,
              std::string* error) {
  if (!wmf || size < 18) {
    *error = "too short for a Windows metafile";
    return false;
  }
  uint16_t type = GetU16(wmf), headerWords = GetU16(wmf + 2), version = GetU16(wmf + 4);
  if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x100 && version != 0x300)) {
    *error = "not a Windows metafile";
    return false;
  }
  ReferenceDevice ref;
  Size dev = ref.szlDevice, mm = ref.szlMillimeters;
  Rect frame{0, 0, mm.cx * 100, mm.cy * 100};
  if (mfp && mfp->xExt > 0 && mfp->yExt > 0) frame = {0, 0, mfp->xExt, mfp->yExt};
  int32_t vpX = static_cast<int32_t>(static_cast<int64_t>(frame.right) * dev.cx / (mm.cx * 100));
  int32_t vpY = static_cast<int32_t>(static_cast<int64_t>(frame.bottom) * dev.cy / (mm.cy * 100));
  if (vpX < 1) vpX = 1;
  if (vpY < 1) vpY = 1;
  EmfBytesWriter out({0, 0, vpX - 1, vpY - 1}, frame, dev, mm);
  out.Record(EMR_SETMAPMODE, {MM_ANISOTROPIC});
  if (mfp && mfp->right != mfp->left && mfp->bottom != mfp->top) {
    out.Record(EMR_SETWINDOWORGEX, {mfp->left, mfp->top});
    out.Record(EMR_SETWINDOWEXTEX, {mfp->right - mfp->left, mfp->bottom - mfp->top});
  } else {
    out.Record(EMR_SETWINDOWEXTEX, {vpX, vpY});
  }
  out.Record(EMR_SETVIEWPORTEXTEX, {vpX, vpY});

  Translator t(out);
  size_t off = 18;
  while (off < size) {
    uint32_t words = off + 6 <= size ? GetU32(wmf + off) : 0;
    // A record that claims less than itself or more than is left: the
    // file is damaged, and half a picture must not pass for the whole.
    if (words < 3 || words > (size - off) / 2) {
      *error = Format("damaged Windows metafile: the record at offset 0x%zx runs past the end of the file", off);
      return false;
    }
    uint16_t func = GetU16(wmf + off + 4);
    if (func == META_EOF) break;
    Params a{wmf + off + 6, words - 3};
    t.Play(func, a);
    off += 2 * static_cast<size_t>(words);
  }
  *emf = out.Finish(t.Handles());
  return true;
}

}  // namespace tsl
