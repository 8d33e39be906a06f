// The comparison rules themselves: what they overlook is only what they
// document, and anything else is reported.
#include <gtest/gtest.h>

#include "common/gdi/emf_types.h"
#include "windows/record_compare.h"

namespace tsl::test {
namespace {

RawRecord Make(uint32_t type, std::vector<uint32_t> fields) {
  RawRecord r;
  r.type = type;
  fields.insert(fields.begin(), {type, static_cast<uint32_t>(8 + 4 * fields.size())});
  for (uint32_t v : fields)
    for (int i = 0; i < 4; ++i) r.bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return r;
}

TEST(RecordCompare, OverlooksOnlyTheDocumentedFields) {
  // EMR_POLYLINETO16: bounds, count, one point. Wine's bounds are its own.
  RawRecord ours = Make(gdi::EMR_POLYLINETO16, {1, 2, 3, 4, 1, 0x00050006});
  RawRecord gdis = Make(gdi::EMR_POLYLINETO16, {0, 0, 30, 40, 1, 0x00050006});
  EXPECT_EQ(RecordDifference(ours, gdis), "");
  gdis = Make(gdi::EMR_POLYLINETO16, {1, 2, 3, 4, 1, 0x00050007});
  EXPECT_EQ(RecordDifference(ours, gdis), "bytes");
  // Every other record is compared whole.
  EXPECT_EQ(RecordDifference(Make(gdi::EMR_RECTANGLE, {0, 0, 99, 99}), Make(gdi::EMR_RECTANGLE, {0, 0, 99, 98})),
            "bytes");
  EXPECT_EQ(RecordDifference(Make(gdi::EMR_LINETO, {1, 2}), Make(gdi::EMR_MOVETOEX, {1, 2})), "type");
  EXPECT_NE(RecordDifference(Make(gdi::EMR_LINETO, {1, 2}), Make(gdi::EMR_LINETO, {1, 2, 3})), "");
}

TEST(RecordCompare, TextInItsLayoutFreeParts) {
  // EMR_EXTTEXTOUTW with two characters at offString 76 and their advances.
  std::vector<uint32_t> f = {0, 0, 50, 20,               // device bounds: GDI's fonts
                             1, 0x41200000, 0xC1200000,  // graphics mode, scales
                             0, 160, 2, 76, 0,           // reference, nChars, offString, options
                             0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 80, 0x00E90041, 30, 31};
  RawRecord ours = Make(gdi::EMR_EXTTEXTOUTW, f);
  f[2] = 60, f[18] = 28;  // GDI's own bounds and advances
  EXPECT_EQ(RecordDifference(ours, Make(gdi::EMR_EXTTEXTOUTW, f)), "");
  f[17] = 0x00E80041;  // a different second character
  EXPECT_EQ(RecordDifference(ours, Make(gdi::EMR_EXTTEXTOUTW, f)), "character 1");
  f[17] = 0x00E90041, f[8] = 161;  // the reference point
  EXPECT_NE(RecordDifference(ours, Make(gdi::EMR_EXTTEXTOUTW, f)), "");
}

TEST(RecordCompare, ExtendedPensAgainstWinesPlainPens) {
  // Ours: slot 2, no bitmap, style, width 20, solid, blue, no hatch, two
  // dashes. Wine's: the same slot, style, width and colour.
  RawRecord ours = Make(gdi::EMR_EXTCREATEPEN, {2, 0, 0, 0, 0, 0x10007, 20, 0, 0xFF0000, 0, 2, 291, 291});
  RawRecord gdis = Make(gdi::EMR_CREATEPEN, {2, 0x10007, 20, 0, 0xFF0000});
  EXPECT_EQ(RecordDifference(ours, gdis), "");
  EXPECT_EQ(WineType(gdi::EMR_EXTCREATEPEN), gdi::EMR_CREATEPEN);
  EXPECT_EQ(WineType(gdi::EMR_LINETO), gdi::EMR_LINETO);
  gdis = Make(gdi::EMR_CREATEPEN, {2, 0x10007, 21, 0, 0xFF0000});
  EXPECT_NE(RecordDifference(ours, gdis), "");
  gdis = Make(gdi::EMR_CREATEPEN, {2, 0x10007, 20, 0, 0xFF00FF});
  EXPECT_NE(RecordDifference(ours, gdis), "");
  // Ours without its dashes is no line type.
  ours = Make(gdi::EMR_EXTCREATEPEN, {2, 0, 0, 0, 0, 0x10007, 20, 0, 0xFF0000, 0, 0});
  EXPECT_EQ(RecordDifference(ours, Make(gdi::EMR_CREATEPEN, {2, 0x10007, 20, 0, 0xFF0000})), "dashes");
}

TEST(RecordCompare, DropsOurBrushOriginsAndCountsThem) {
  std::vector<RawRecord> records = {Make(gdi::EMR_HEADER, {}), Make(gdi::EMR_SETBRUSHORGEX, {3, 4}),
                                    Make(gdi::EMR_LINETO, {1, 2}), Make(gdi::EMR_SETBRUSHORGEX, {0, 0})};
  uint32_t bytes = 0, count = 0;
  DropBrushOrigins(&records, &bytes, &count);
  EXPECT_EQ(Types(records), (std::vector<uint32_t>{gdi::EMR_HEADER, gdi::EMR_LINETO}));
  EXPECT_EQ(bytes, 32u);
  EXPECT_EQ(count, 2u);
}

}  // namespace
}  // namespace tsl::test
