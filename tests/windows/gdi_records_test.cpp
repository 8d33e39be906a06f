// What Windows GDI itself records for the calls the interpreter makes, held
// against the reference observations the EMF writer follows. Run under Wine;
// a change here means the writer's reference changed.
#include <gtest/gtest.h>

#include "common/gdi/emf_types.h"
#include "windows/emf_walk.h"
#include "windows/hdc_device.h"

namespace {

using namespace gdi;
using tsl::test::RawRecord;
using tsl::test::RecordWithGdi;
using tsl::test::Types;
using tsl::test::WalkEmf;

std::vector<RawRecord> Body(const std::vector<uint8_t>& emf) {
  std::vector<RawRecord> all = WalkEmf(emf);
  EXPECT_GE(all.size(), 2u);
  if (all.size() < 2) return {};
  EXPECT_EQ(all.front().type, EMR_HEADER);
  EXPECT_EQ(all.back().type, EMR_EOF);
  return std::vector<RawRecord>(all.begin() + 1, all.end() - 1);
}

TEST(GdiRecords, PensLinesAndStockObjectsAsObserved) {
  Objects objects;
  Handle pen = objects.CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  std::vector<uint8_t> emf = RecordWithGdi("Tessella\0test\0\0", objects, [&](Device& d) {
    d.SetMapMode(MM_LOMETRIC);
    d.SetGraphicsMode(GM_COMPATIBLE);
    EXPECT_EQ(d.SelectObject(pen), GetStockObject(BLACK_PEN));
    d.MoveToEx(10, -20);
    d.LineTo(300, -400);
    Point small[] = {{1, 2}, {3, 4}};
    d.PolylineTo(small, 2);
    Point large[] = {{70000, 2}, {3, -70000}};
    d.PolylineTo(large, 2);
    EXPECT_FALSE(d.DeleteObject(pen)) << "a selected object must not be deleted";
    EXPECT_EQ(d.SelectObject(GetStockObject(NULL_PEN)), pen);
    EXPECT_TRUE(d.DeleteObject(pen));
  });
  std::vector<RawRecord> r = Body(emf);
  ASSERT_EQ(Types(r), (std::vector<uint32_t>{EMR_SETMAPMODE, EMR_CREATEPEN, EMR_SELECTOBJECT,
                                             EMR_MOVETOEX, EMR_LINETO, EMR_POLYLINETO16,
                                             EMR_POLYLINETO, EMR_SELECTOBJECT, EMR_DELETEOBJECT}));
  EXPECT_EQ(r[0].U32(8), static_cast<uint32_t>(MM_LOMETRIC));
  uint32_t slot = r[1].U32(8);
  EXPECT_EQ(slot, 1u) << "the lowest free slot";
  EXPECT_EQ(r[1].U32(12), PS_SOLID);
  EXPECT_EQ(r[1].I32(16), 1);
  EXPECT_EQ(r[1].U32(24), RGB(255, 0, 0));
  EXPECT_EQ(r[2].U32(8), slot);
  EXPECT_EQ(r[3].I32(8), 10);
  EXPECT_EQ(r[3].I32(12), -20);
  EXPECT_EQ(r[4].I32(8), 300);
  EXPECT_EQ(r[4].I32(12), -400);
  EXPECT_EQ(r[5].U32(24), 2u) << "point count after the device bounds";
  EXPECT_EQ(r[5].bytes.size(), 28u + 2 * 4);
  EXPECT_EQ(r[6].bytes.size(), 28u + 2 * 8);
  EXPECT_EQ(r[6].I32(28), 70000);
  EXPECT_EQ(r[7].U32(8), 0x80000000u | NULL_PEN);
  EXPECT_EQ(r[8].U32(8), slot);
}

TEST(GdiRecords, BoxesAreNormalisedAndInclusiveAndFillRectIsABitBlt) {
  Objects objects;
  Handle brush = objects.CreateHatchBrush(HS_HORIZONTAL, RGB(0, 0, 255));
  std::vector<uint8_t> emf = RecordWithGdi("", objects, [&](Device& d) {
    d.SetMapMode(MM_LOMETRIC);
    d.Rectangle(0, 0, 100, 100);
    d.Arc(-100, 100, 100, -100, 100, 0, -100, 0);
    d.FillRect(Rect{0, 0, 100, 100}, brush);
  });
  std::vector<RawRecord> r = Body(emf);
  ASSERT_GE(r.size(), 4u);
  EXPECT_EQ(r[1].type, EMR_RECTANGLE);
  EXPECT_EQ(r[1].I32(8), 0);
  EXPECT_EQ(r[1].I32(16), 99);
  EXPECT_EQ(r[1].I32(20), 99);
  EXPECT_EQ(r[2].type, EMR_ARC);
  EXPECT_EQ(r[2].I32(8), -100);
  EXPECT_EQ(r[2].I32(12), -100);
  EXPECT_EQ(r[2].I32(16), 99);
  EXPECT_EQ(r[2].I32(20), 99);
  EXPECT_EQ(r[2].I32(24), 100) << "start point as given";

  std::vector<uint32_t> rest;
  for (size_t i = 3; i < r.size(); ++i) rest.push_back(r[i].type);
  ASSERT_EQ(rest, (std::vector<uint32_t>{EMR_CREATEBRUSHINDIRECT, EMR_SELECTOBJECT, EMR_BITBLT,
                                         EMR_SELECTOBJECT}));
  EXPECT_EQ(r[3].U32(12), BS_HATCHED);
  EXPECT_EQ(r[3].U32(16), RGB(0, 0, 255));
  EXPECT_EQ(r[3].U32(20), HS_HORIZONTAL);
  const RawRecord& blt = r[5];
  EXPECT_EQ(blt.bytes.size(), 100u);
  EXPECT_EQ(blt.U32(40), 0x00F00021u) << "PATCOPY";
  EXPECT_EQ(r[6].U32(8), 0x80000000u | WHITE_BRUSH) << "the brush selected before comes back";
}

}  // namespace
