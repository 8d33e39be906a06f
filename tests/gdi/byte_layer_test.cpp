// The byte layer every reader and writer of binary data shares.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "common/gdi/emf_bytes.h"
#include "common/gdi/emf_reader.h"

namespace gdi {
namespace {

TEST(ByteLayer, FieldsAreLittleEndianBothWays) {
  std::vector<uint8_t> v;
  Append16(v, 0xBEEF);
  Append32(v, 0x12345678);
  EXPECT_EQ(v, (std::vector<uint8_t>{0xEF, 0xBE, 0x78, 0x56, 0x34, 0x12}));
  EXPECT_EQ(GetU16(v.data()), 0xBEEF);
  EXPECT_EQ(GetI16(v.data()), static_cast<int16_t>(0xBEEF));
  EXPECT_EQ(GetU32(v.data() + 2), 0x12345678u);
  uint8_t p[4];
  PutU32(p, 0x80000000u);
  EXPECT_EQ(GetI32(p), INT32_MIN);
}

// A field read from a file can never reach past the data, however large
// the offset or length it was given.
TEST(ByteLayer, CheckedReadsStopAtTheEnd) {
  const uint8_t data[6] = {1, 0, 2, 0, 0, 0};
  ByteSpan span{data, sizeof data};
  EXPECT_EQ(span.U16(0), 1);
  EXPECT_EQ(span.U32(2), 2u);
  EXPECT_TRUE(span.Has(2, 4));
  EXPECT_FALSE(span.Has(3, 4));
  EXPECT_EQ(span.U32(3), 0u);  // partly outside
  EXPECT_EQ(span.U16(6), 0);   // just past the end
  EXPECT_FALSE(span.Has(SIZE_MAX, 2));
  EXPECT_FALSE(span.Has(2, SIZE_MAX));
  EXPECT_EQ(span.From(4).size, 2u);
  EXPECT_EQ(span.From(7).size, 0u);
}

// Recorder and WMF translator write their headers with the same function:
// what it writes is a header our reader takes, description and all.
TEST(ByteLayer, TheSharedHeaderReadsBack) {
  RecordBuilder rb;
  EmfHeaderFields h;
  h.bounds = {1, 2, 30, 40};
  h.frame = {0, 0, 500, 600};
  h.nHandles = 3;
  h.description = std::u16string(u"app\0pic\0\0", 10);
  h.device = {1920, 1080};
  h.millimeters = {508, 286};
  ByteView header = BuildEmfHeader(rb, h);
  ASSERT_EQ(header.size % 4, 0u);
  EXPECT_EQ(GetU32(header.data + 4), header.size);
  std::vector<uint8_t> emf(header.data, header.data + header.size);
  RecordBuilder eof;
  eof.Begin(EMR_EOF);
  for (uint32_t f : {0u, 16u, 20u}) eof.U32(f);
  ByteView end = eof.End();
  emf.insert(emf.end(), end.data, end.data + end.size);
  PutU32(&emf[48], static_cast<uint32_t>(emf.size()));
  PutU32(&emf[52], 2);
  EmfReader reader;
  std::string error;
  ASSERT_TRUE(reader.Parse(emf.data(), emf.size(), &error)) << error;
  EXPECT_EQ(reader.Header().rclBounds.right, 30);
  EXPECT_EQ(reader.Header().nHandles, 3);
  EXPECT_EQ(GetU32(emf.data() + 100), 508000u);  // szlMicrometers
}

}  // namespace
}  // namespace gdi
