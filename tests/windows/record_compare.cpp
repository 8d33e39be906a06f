#include "windows/record_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "common/gdi/emf_types.h"

namespace tsl::test {

namespace {

std::vector<uint8_t> WithoutBounds(const RawRecord& r) {
  std::vector<uint8_t> b = r.bytes;
  if (HasDrawingBounds(r.type) && b.size() >= 24) std::fill(b.begin() + 8, b.begin() + 24, 0);
  return b;
}

// The face name up to its NUL; Wine leaves what follows uninitialised.
std::u16string Face(const RawRecord& r) {
  std::u16string name;
  for (size_t off = 40; off + 2 <= r.bytes.size() && off < 104; off += 2) {
    char16_t c = static_cast<char16_t>(r.bytes[off] | r.bytes[off + 1] << 8);
    if (!c) break;
    name += c;
  }
  return name;
}

std::string FieldDifference(const RawRecord& ours, const RawRecord& gdis, size_t off) {
  if (ours.U32(off) == gdis.U32(off)) return "";
  std::ostringstream out;
  out << "field at " << off << ": ours " << ours.I32(off) << ", GDI " << gdis.I32(off);
  return out.str();
}

}  // namespace

std::string Hex(const RawRecord& r) {
  std::ostringstream out;
  for (size_t i = 0; i < r.bytes.size(); i += 4) out << std::hex << r.U32(i) << ' ';
  return out.str();
}

uint32_t WineType(uint32_t type) { return type == gdi::EMR_EXTCREATEPEN ? gdi::EMR_CREATEPEN : type; }

std::vector<uint32_t> WineTypes(const std::vector<RawRecord>& records) {
  std::vector<uint32_t> out;
  for (const RawRecord& r : records) out.push_back(WineType(r.type));
  return out;
}

bool HasDrawingBounds(uint32_t type) {
  switch (type) {
    case gdi::EMR_POLYLINE16: case gdi::EMR_POLYLINETO16: case gdi::EMR_POLYBEZIERTO16:
    case gdi::EMR_POLYGON16: case gdi::EMR_POLYLINE: case gdi::EMR_POLYLINETO:
    case gdi::EMR_POLYBEZIERTO: case gdi::EMR_POLYGON: case gdi::EMR_FILLPATH:
    case gdi::EMR_STROKEPATH:
      return true;
    default:
      return false;
  }
}

std::string RecordDifference(const RawRecord& ours, const RawRecord& gdis) {
  if (ours.type == gdi::EMR_EXTCREATEPEN && gdis.type == gdi::EMR_CREATEPEN) {
    // Slot, style, width and colour where each record has them.
    const std::pair<size_t, size_t> fields[] = {{8, 8}, {28, 12}, {32, 16}, {40, 24}};
    for (auto [o, g] : fields)
      if (ours.U32(o) != gdis.U32(g))
        return "field at " + std::to_string(o) + ": ours " + std::to_string(ours.U32(o)) + ", GDI " +
               std::to_string(gdis.U32(g));
    uint32_t entries = ours.U32(48);
    if (entries == 0 || ours.bytes.size() != 52 + 4 * static_cast<size_t>(entries)) return "dashes";
    return "";
  }
  if (ours.type != gdis.type) return "type";
  if (ours.bytes.size() != gdis.bytes.size())
    return "size: ours " + std::to_string(ours.bytes.size()) + ", GDI " + std::to_string(gdis.bytes.size());
  if (ours.type == gdi::EMR_EXTCREATEFONTINDIRECTW) {
    // Type, size, slot and the LOGFONTW's fields, then the face name.
    for (size_t off = 0; off < 40; off += 4)
      if (std::string d = FieldDifference(ours, gdis, off); !d.empty()) return d;
    return Face(ours) == Face(gdis) ? "" : "face name";
  }
  if (ours.type == gdi::EMR_EXTTEXTOUTW) {
    // Past the device bounds: graphics mode, scales, reference point,
    // character count and offsets, options, rectangle; then the characters.
    // The advance widths are GDI's from the machine's fonts.
    for (size_t off : {24, 28, 32, 36, 40, 44, 48, 52, 56, 60, 64, 68, 72})
      if (std::string d = FieldDifference(ours, gdis, off); !d.empty()) return d;
    uint32_t nChars = ours.U32(44), offString = ours.U32(48);
    for (size_t i = 0; i < nChars; ++i) {
      size_t at = offString + 2 * i;
      if (at + 2 > ours.bytes.size() || ours.bytes[at] != gdis.bytes[at] ||
          ours.bytes[at + 1] != gdis.bytes[at + 1])
        return "character " + std::to_string(i);
    }
    return "";
  }
  return WithoutBounds(ours) == WithoutBounds(gdis) ? "" : "bytes";
}

void DropBrushOrigins(std::vector<RawRecord>* records, uint32_t* bytes, uint32_t* count) {
  auto end = std::remove_if(records->begin(), records->end(), [&](const RawRecord& r) {
    if (r.type != gdi::EMR_SETBRUSHORGEX) return false;
    *bytes += static_cast<uint32_t>(r.bytes.size());
    ++*count;
    return true;
  });
  records->erase(end, records->end());
}

void ExpectSameHeader(const RawRecord& ours, const RawRecord& gdis, int32_t boundsSlack,
                      uint32_t ourExtraBytes, uint32_t ourExtraRecords) {
  // A device pixel in 0.01 mm, from GDI's reference device, rounded up.
  int32_t pixels = std::max<int32_t>(1, gdis.I32(72)), millimetres = gdis.I32(80);
  int32_t frameSlack = (boundsSlack * 100 * millimetres + pixels - 1) / pixels;
  const struct {
    size_t off;
    const char* name;
    int32_t slack;
  } fields[] = {{8, "rclBounds.left", boundsSlack},      {12, "rclBounds.top", boundsSlack},
                {16, "rclBounds.right", boundsSlack},    {20, "rclBounds.bottom", boundsSlack},
                {24, "rclFrame.left", frameSlack},       {28, "rclFrame.top", frameSlack},
                {32, "rclFrame.right", frameSlack},      {36, "rclFrame.bottom", frameSlack},
                {40, "dSignature", 0},                   {44, "nVersion", 0},
                {48, "nBytes", 0},                       {52, "nRecords", 0},
                {56, "nHandles", 0},                     {60, "nDescription", 0},
                {68, "nPalEntries", 0},                  {72, "szlDevice.cx", 0},
                {76, "szlDevice.cy", 0},                 {80, "szlMillimeters.cx", 0},
                {84, "szlMillimeters.cy", 0}};
  for (const auto& f : fields) {
    if (boundsSlack < 0 && f.off < 40) continue;
    uint32_t a = ours.U32(f.off), b = gdis.U32(f.off);
    if (f.off == 56) a &= 0xFFFF, b &= 0xFFFF;
    if (f.off == 48) a -= ourExtraBytes;
    if (f.off == 52) a -= ourExtraRecords;
    EXPECT_NEAR(static_cast<int32_t>(a), static_cast<int32_t>(b), f.slack) << "header " << f.name;
  }
}

}  // namespace tsl::test
