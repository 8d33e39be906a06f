// A readable line per record, stable enough to compare whole conversions
// with reviewed files. Colours are shown as the hexadecimal COLORREF
// (0xBBGGRR), like the call log of the handler tests.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "common/gdi/emf_bytes.h"
#include "common/gdi/emf_reader.h"

namespace gdi {

namespace {

const char* const kNames[] = {
    nullptr, "EMR_HEADER", "EMR_POLYBEZIER", "EMR_POLYGON", "EMR_POLYLINE", "EMR_POLYBEZIERTO",
    "EMR_POLYLINETO", "EMR_POLYPOLYLINE", "EMR_POLYPOLYGON", "EMR_SETWINDOWEXTEX",
    "EMR_SETWINDOWORGEX", "EMR_SETVIEWPORTEXTEX", "EMR_SETVIEWPORTORGEX", "EMR_SETBRUSHORGEX",
    "EMR_EOF", "EMR_SETPIXELV", "EMR_SETMAPPERFLAGS", "EMR_SETMAPMODE", "EMR_SETBKMODE",
    "EMR_SETPOLYFILLMODE", "EMR_SETROP2", "EMR_SETSTRETCHBLTMODE", "EMR_SETTEXTALIGN",
    "EMR_SETCOLORADJUSTMENT", "EMR_SETTEXTCOLOR", "EMR_SETBKCOLOR", "EMR_OFFSETCLIPRGN",
    "EMR_MOVETOEX", "EMR_SETMETARGN", "EMR_EXCLUDECLIPRECT", "EMR_INTERSECTCLIPRECT",
    "EMR_SCALEVIEWPORTEXTEX", "EMR_SCALEWINDOWEXTEX", "EMR_SAVEDC", "EMR_RESTOREDC",
    "EMR_SETWORLDTRANSFORM", "EMR_MODIFYWORLDTRANSFORM", "EMR_SELECTOBJECT", "EMR_CREATEPEN",
    "EMR_CREATEBRUSHINDIRECT", "EMR_DELETEOBJECT", "EMR_ANGLEARC", "EMR_ELLIPSE", "EMR_RECTANGLE",
    "EMR_ROUNDRECT", "EMR_ARC", "EMR_CHORD", "EMR_PIE", "EMR_SELECTPALETTE", "EMR_CREATEPALETTE",
    "EMR_SETPALETTEENTRIES", "EMR_RESIZEPALETTE", "EMR_REALIZEPALETTE", "EMR_EXTFLOODFILL",
    "EMR_LINETO", "EMR_ARCTO", "EMR_POLYDRAW", "EMR_SETARCDIRECTION", "EMR_SETMITERLIMIT",
    "EMR_BEGINPATH", "EMR_ENDPATH", "EMR_CLOSEFIGURE", "EMR_FILLPATH", "EMR_STROKEANDFILLPATH",
    "EMR_STROKEPATH", "EMR_FLATTENPATH", "EMR_WIDENPATH", "EMR_SELECTCLIPPATH", "EMR_ABORTPATH",
    nullptr, "EMR_GDICOMMENT", "EMR_FILLRGN", "EMR_FRAMERGN", "EMR_INVERTRGN", "EMR_PAINTRGN",
    "EMR_EXTSELECTCLIPRGN", "EMR_BITBLT", "EMR_STRETCHBLT", "EMR_MASKBLT", "EMR_PLGBLT",
    "EMR_SETDIBITSTODEVICE", "EMR_STRETCHDIBITS", "EMR_EXTCREATEFONTINDIRECTW", "EMR_EXTTEXTOUTA",
    "EMR_EXTTEXTOUTW", "EMR_POLYBEZIER16", "EMR_POLYGON16", "EMR_POLYLINE16",
    "EMR_POLYBEZIERTO16", "EMR_POLYLINETO16", "EMR_POLYPOLYLINE16", "EMR_POLYPOLYGON16",
    "EMR_POLYDRAW16", "EMR_CREATEMONOBRUSH", "EMR_CREATEDIBPATTERNBRUSHPT", "EMR_EXTCREATEPEN",
    "EMR_POLYTEXTOUTA", "EMR_POLYTEXTOUTW", "EMR_SETICMMODE", "EMR_CREATECOLORSPACE",
    "EMR_SETCOLORSPACE", "EMR_DELETECOLORSPACE", "EMR_GLSRECORD", "EMR_GLSBOUNDEDRECORD",
    "EMR_PIXELFORMAT"};

template <typename... A>
std::string F(const char* fmt, A... args) {
  char buf[128];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

// Quoted, with NUL, control characters, quotes and backslashes escaped.
std::string Quoted(const std::u16string& text) {
  std::string out = "\"";
  std::u16string run;
  auto flush = [&] {
    out += Utf16ToUtf8(run.data(), run.size());
    run.clear();
  };
  for (char16_t c : text) {
    if (c == 0) {
      flush();
      out += "\\0";
    } else if (c < 0x20 || c == 0x7F) {
      flush();
      out += F("\\x%02x", static_cast<unsigned>(c));
    } else if (c == '"' || c == '\\') {
      flush();
      out += '\\';
      out += static_cast<char>(c);
    } else {
      run += c;
    }
  }
  flush();
  return out + "\"";
}

class Line {
 public:
  explicit Line(const EmfRecord& r) : r_(r) {}
  std::string text;
  bool ok = true;

  void Add(const std::string& s) {
    if (!text.empty()) text += ' ';
    text += s;
  }
  uint32_t U32(size_t off) {
    uint32_t v = 0;
    ok = r_.U32(off, &v) && ok;
    return v;
  }
  int32_t I32(size_t off) {
    int32_t v = 0;
    ok = r_.I32(off, &v) && ok;
    return v;
  }
  std::string Pt(size_t off) { return F("(%d,%d)", I32(off), I32(off + 4)); }
  std::string Box(size_t off) {
    return F("(%d,%d,%d,%d)", I32(off), I32(off + 4), I32(off + 8), I32(off + 12));
  }
  std::string Color(size_t off) { return F("#%06" PRIx32, U32(off)); }
  std::string Float(size_t off) {
    float v = 0;
    ok = r_.F32(off, &v) && ok;
    return F("%g", static_cast<double>(v));
  }
  std::u16string Wide(size_t off, uint64_t count) {
    std::u16string s;
    for (uint64_t i = 0; i < count && ok; ++i) {
      int16_t c = 0;
      ok = r_.I16(static_cast<size_t>(off + 2 * i), &c) && ok;
      if (ok) s += static_cast<char16_t>(static_cast<uint16_t>(c));
    }
    return s;
  }
  // `count` points after the bounds and count fields, 16 or 32 bits each.
  void Points(size_t off, bool small) {
    const uint32_t n = U32(off);
    const size_t each = small ? 4 : 8;
    if (!ok || n > (r_.size - off - 4) / each) {
      ok = false;
      return;
    }
    Add(F("n=%" PRIu32, n));
    for (uint32_t i = 0; i < n; ++i) {
      const size_t p = off + 4 + i * each;
      if (small) {
        int16_t x = 0, y = 0;
        r_.I16(p, &x);
        r_.I16(p + 2, &y);
        Add(F("(%d,%d)", x, y));
      } else {
        Add(Pt(p));
      }
    }
  }

 private:
  const EmfRecord& r_;
};

void DumpHeader(const EmfReader& reader, Line& l) {
  const EmfHeader& h = reader.Header();
  l.Add("bounds=" + F("(%d,%d,%d,%d)", h.rclBounds.left, h.rclBounds.top, h.rclBounds.right,
                      h.rclBounds.bottom));
  l.Add("frame=" + F("(%d,%d,%d,%d)", h.rclFrame.left, h.rclFrame.top, h.rclFrame.right,
                     h.rclFrame.bottom));
  l.Add(F("version=0x%" PRIx32 " bytes=%" PRIu32 " records=%" PRIu32 " handles=%u", h.nVersion,
          h.nBytes, h.nRecords, h.nHandles));
  l.Add(F("palette=%" PRIu32 " device=%dx%d mm=%dx%d", h.nPalEntries, h.szlDevice.cx,
          h.szlDevice.cy, h.szlMillimeters.cx, h.szlMillimeters.cy));
  l.Add("description=" + Quoted(h.description));
}

void DumpFont(Line& l) {
  std::u16string face = l.Wide(40, 32);
  face = face.substr(0, face.find(u'\0'));
  l.Add(F("%" PRIu32, l.U32(8)));
  l.Add("face=" + Quoted(face));
  l.Add(F("height=%d width=%d escapement=%d orientation=%d weight=%d", l.I32(12), l.I32(16),
          l.I32(20), l.I32(24), l.I32(28)));
  const uint32_t b = l.U32(32), c = l.U32(36);
  l.Add(F("italic=%u charset=%u quality=%u pitch=0x%02x", b & 0xFF, b >> 24, (c >> 16) & 0xFF,
          c >> 24));
}

void DumpText(Line& l, bool wide) {
  l.Add("bounds=" + l.Box(8));
  l.Add("mode=" + F("%" PRIu32, l.U32(24)) + " scale=" + l.Float(28) + "," + l.Float(32));
  l.Add("ref=" + l.Pt(36));
  const uint32_t n = l.U32(44), offString = l.U32(48), offDx = l.U32(72);
  l.Add(F("options=0x%" PRIx32, l.U32(52)));
  if (!l.ok || n > 0x100000) {
    l.ok = false;
    return;
  }
  std::u16string text;
  if (wide) {
    text = l.Wide(offString, n);
  } else {
    for (uint32_t i = 0; i < n && l.ok; ++i) {
      const uint32_t word = l.U32((offString + i) & ~size_t{3});
      text += Cp1252ToUnicode(static_cast<uint8_t>(word >> (8 * ((offString + i) & 3))));
    }
  }
  l.Add("text=" + Quoted(text));
  if (offDx == 0) return;
  std::string dx = "dx=";
  for (uint32_t i = 0; i < n && l.ok; ++i) dx += F(i ? ",%d" : "%d", l.I32(offDx + 4 * size_t{i}));
  l.Add(dx);
}

std::string DumpRecord(const EmfReader& reader, const EmfRecord& r) {
  Line l(r);
  switch (r.type) {
    case EMR_HEADER: DumpHeader(reader, l); break;
    case EMR_EOF: l.Add(F("palette=%" PRIu32, l.U32(8))); break;
    case EMR_SETMAPMODE: case EMR_SETBKMODE: case EMR_SETPOLYFILLMODE: case EMR_SETROP2:
    case EMR_SETSTRETCHBLTMODE: case EMR_SETARCDIRECTION: case EMR_RESTOREDC: case EMR_SETICMMODE:
      l.Add(F("%d", l.I32(8)));
      break;
    case EMR_SETTEXTALIGN: case EMR_SETMAPPERFLAGS: case EMR_SETLAYOUT:
      l.Add(F("0x%" PRIx32, l.U32(8)));
      break;
    case EMR_SETTEXTCOLOR: case EMR_SETBKCOLOR: l.Add(l.Color(8)); break;
    case EMR_MOVETOEX: case EMR_LINETO: case EMR_SETBRUSHORGEX: case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTORGEX: case EMR_SETWINDOWEXTEX: case EMR_SETVIEWPORTEXTEX:
    case EMR_OFFSETCLIPRGN:
      l.Add(l.Pt(8));
      break;
    case EMR_SETPIXELV: l.Add(l.Pt(8) + " " + l.Color(16)); break;
    case EMR_SELECTOBJECT: case EMR_DELETEOBJECT: {
      const uint32_t h = l.U32(8);
      l.Add(h & 0x80000000u ? F("stock %" PRIu32, h & 0x7FFFFFFFu) : F("%" PRIu32, h));
      break;
    }
    case EMR_CREATEPEN:
      l.Add(F("%" PRIu32 " style=%" PRIu32 " width=%d", l.U32(8), l.U32(12), l.I32(16)));
      l.Add("color=" + l.Color(24));
      break;
    case EMR_EXTCREATEPEN: {
      l.Add(F("%" PRIu32 " style=0x%" PRIx32 " width=%d brush=%" PRIu32, l.U32(8), l.U32(28), l.I32(32),
              l.U32(36)));
      l.Add("color=" + l.Color(40));
      std::string dashes;
      uint32_t n = l.U32(48);
      for (uint32_t i = 0; i < n && i < 64; ++i) dashes += (i ? "," : "") + F("%" PRIu32, l.U32(52 + 4 * i));
      if (n) l.Add("dashes=" + dashes);
      break;
    }
    case EMR_CREATEBRUSHINDIRECT:
      l.Add(F("%" PRIu32 " style=%" PRIu32, l.U32(8), l.U32(12)));
      l.Add("color=" + l.Color(16) + F(" hatch=%" PRIu32, l.U32(20)));
      break;
    case EMR_EXTCREATEFONTINDIRECTW: DumpFont(l); break;
    case EMR_POLYLINE16: case EMR_POLYLINETO16: case EMR_POLYBEZIER16: case EMR_POLYBEZIERTO16:
    case EMR_POLYGON16:
      l.Add("bounds=" + l.Box(8));
      l.Points(24, true);
      break;
    case EMR_POLYLINE: case EMR_POLYLINETO: case EMR_POLYBEZIER: case EMR_POLYBEZIERTO:
    case EMR_POLYGON:
      l.Add("bounds=" + l.Box(8));
      l.Points(24, false);
      break;
    case EMR_ARC: case EMR_ARCTO: case EMR_PIE: case EMR_CHORD:
      l.Add("box=" + l.Box(8) + " start=" + l.Pt(24) + " end=" + l.Pt(32));
      break;
    case EMR_RECTANGLE: case EMR_ELLIPSE: l.Add("box=" + l.Box(8)); break;
    case EMR_INTERSECTCLIPRECT: case EMR_EXCLUDECLIPRECT: l.Add(l.Box(8)); break;
    case EMR_EXTSELECTCLIPRGN:
      l.Add(F("mode=%" PRIu32 " rgnData=%" PRIu32, l.U32(12), l.U32(8)));
      break;
    case EMR_FILLPATH: case EMR_STROKEPATH: case EMR_STROKEANDFILLPATH:
      l.Add("bounds=" + l.Box(8));
      break;
    case EMR_BITBLT:
      l.Add("bounds=" + l.Box(8) + " dest=" + l.Pt(24) + F(" size=%dx%d", l.I32(32), l.I32(36)));
      l.Add(F("rop=0x%08" PRIx32 " src=", l.U32(40)) + l.Pt(44) +
            F(" bmi=%" PRIu32 " bits=%" PRIu32, l.U32(88), l.U32(96)));
      break;
    case EMR_EXTTEXTOUTW: DumpText(l, true); break;
    case EMR_EXTTEXTOUTA: DumpText(l, false); break;
    case EMR_BEGINPATH: case EMR_ENDPATH: case EMR_CLOSEFIGURE: case EMR_SAVEDC:
    case EMR_ABORTPATH: case EMR_FLATTENPATH: case EMR_WIDENPATH: case EMR_REALIZEPALETTE:
      break;
    default: l.Add(F("size=%" PRIu32, r.size)); break;
  }
  const char* known = RecordName(r.type);
  if (!known) return F("record %" PRIu32 " size=%" PRIu32, r.type, r.size);
  std::string name = known;
  if (!l.ok) return name + F(" size=%" PRIu32 " (malformed)", r.size);
  return l.text.empty() ? name : name + " " + l.text;
}

}  // namespace

const char* RecordName(uint32_t type) {
  if (type < sizeof kNames / sizeof kNames[0] && kNames[type]) return kNames[type];
  switch (type) {
    case EMR_SETLAYOUT: return "EMR_SETLAYOUT";
    case EMR_ALPHABLEND: return "EMR_ALPHABLEND";
    case EMR_TRANSPARENTBLT: return "EMR_TRANSPARENTBLT";
    case EMR_GRADIENTFILL: return "EMR_GRADIENTFILL";
    default: return nullptr;
  }
}

std::string DumpEmf(const EmfReader& reader) {
  std::string out;
  for (const EmfRecord& r : reader.Records()) {
    out += DumpRecord(reader, r);
    out += '\n';
  }
  return out;
}

}  // namespace gdi
