// Object slots, lazy creation, selection and deletion, and the header.
#include <gtest/gtest.h>

#include "recording.h"

namespace tsl::test {
namespace {

using namespace gdi;

std::vector<uint32_t> Values(const Recording& rec, uint32_t type) {
  std::vector<uint32_t> out;
  for (const auto& r : rec.OfType(type)) out.push_back(U32(r, 8));
  return out;
}

TEST(RecorderObjects, SlotsAreReusedLowestFirst) {
  Recording rec([](EmfRecorder& dc, Objects& objects) {
    const Handle a = objects.CreatePen(PS_SOLID, 1, 0);
    const Handle b = objects.CreatePen(PS_DASH, 2, 0);
    const Handle c = objects.CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 255));
    dc.SelectObject(a);
    dc.SelectObject(b);
    dc.SelectObject(c);
    dc.SelectObject(GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(dc.DeleteObject(a));
    EXPECT_TRUE(dc.DeleteObject(c));
    dc.SelectObject(objects.CreateSolidBrush(0));  // takes slot 1
    dc.SelectObject(objects.CreatePen(PS_SOLID, 3, 0));  // takes slot 3
  });
  EXPECT_EQ(Values(rec, EMR_CREATEPEN), (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_EQ(Values(rec, EMR_CREATEBRUSHINDIRECT), (std::vector<uint32_t>{3, 1}));
  EXPECT_EQ(Values(rec, EMR_DELETEOBJECT), (std::vector<uint32_t>{1, 3}));
  EXPECT_EQ(Values(rec, EMR_SELECTOBJECT), (std::vector<uint32_t>{1, 2, 3, 0x80000005, 1, 3}));
  EXPECT_EQ(rec.reader.Header().nHandles, 4u);  // highest slot used + 1
  EXPECT_EQ(rec.summary.nHandles, 4u);
  const auto hatch = rec.OfType(EMR_CREATEBRUSHINDIRECT)[0];
  EXPECT_EQ(U32(hatch, 12), BS_HATCHED);
  EXPECT_EQ(U32(hatch, 20), HS_DIAGCROSS);
  const auto dash = rec.OfType(EMR_CREATEPEN)[1];
  EXPECT_EQ(dash.size, 28u);
  EXPECT_EQ(U32(dash, 12), PS_DASH);
  EXPECT_EQ(I32(dash, 16), 2);
  EXPECT_EQ(I32(dash, 20), 0);
}

TEST(RecorderObjects, GeometricPensWithDashesAreExtCreatePenRecords) {
  const uint32_t dashes[4] = {80, 10, 1, 10};
  Recording rec([&](EmfRecorder& dc, Objects& objects) {
    dc.SelectObject(objects.ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 25, RGB(0, 0, 255), dashes, 4));
    dc.MoveToEx(0, 0);
    dc.LineTo(1000, 0);
  });
  ASSERT_EQ(rec.OfType(EMR_EXTCREATEPEN).size(), 1u);
  EXPECT_TRUE(rec.OfType(EMR_CREATEPEN).empty());
  const auto pen = rec.OfType(EMR_EXTCREATEPEN)[0];
  // Slot, no brush bitmap, then the EXTLOGPEN with its four entries.
  EXPECT_EQ(pen.size, 52u + 4 * 4);
  EXPECT_EQ(U32(pen, 8), 1u);
  for (size_t off : {12, 16, 20, 24}) EXPECT_EQ(U32(pen, off), 0u) << off;
  EXPECT_EQ(U32(pen, 28), PS_GEOMETRIC | PS_USERSTYLE);
  EXPECT_EQ(I32(pen, 32), 25);
  EXPECT_EQ(U32(pen, 36), BS_SOLID);
  EXPECT_EQ(U32(pen, 40), RGB(0, 0, 255));
  EXPECT_EQ(U32(pen, 44), 0u);
  EXPECT_EQ(U32(pen, 48), 4u);
  EXPECT_EQ(U32(pen, 60), 1u);
  EXPECT_NE(rec.Dump().find("EMR_EXTCREATEPEN 1 style=0x10007 width=25 brush=0 color=#ff0000 dashes=80,10,1,10"),
            std::string::npos)
      << rec.Dump();
  // The pen's width widens the bounds as a plain pen's does.
  EXPECT_GE(rec.summary.rclBounds.bottom - rec.summary.rclBounds.top, 2);
}

TEST(RecorderObjects, CreationIsWrittenWhenFirstSelectedIntoThisMetafile) {
  Objects objects;
  const Handle unused = objects.CreatePen(PS_SOLID, 1, 0);
  const Handle brush = objects.CreateSolidBrush(RGB(1, 1, 1));
  for (int page = 0; page < 2; ++page) {
    auto dc = EmfRecorder::CreateMemory(objects, "");
    dc->SelectObject(brush);
    dc->SelectObject(GetStockObject(WHITE_BRUSH));
    dc->SelectObject(brush);
    std::string error;
    ASSERT_TRUE(dc->Close(&error)) << error;
    EmfReader reader;
    ASSERT_TRUE(reader.Parse(dc->Bytes().data(), dc->Bytes().size(), &error)) << error;
    int created = 0;
    for (const auto& r : reader.Records()) created += r.type == EMR_CREATEBRUSHINDIRECT;
    EXPECT_EQ(created, 1) << "page " << page;  // once per metafile
  }
  // Deleting an object that was never selected writes nothing.
  auto dc = EmfRecorder::CreateMemory(objects, "");
  EXPECT_TRUE(dc->DeleteObject(unused));
  EXPECT_EQ(objects.Find(unused), nullptr);
  std::string error;
  ASSERT_TRUE(dc->Close(&error));
  EXPECT_EQ(dc->Summary().nRecords, 2u);
  EXPECT_EQ(dc->Summary().nHandles, 1u);
}

TEST(RecorderObjects, AReusedHandleIsANewObject) {
  Recording rec([](EmfRecorder& dc, Objects& objects) {
    const Handle first = objects.CreatePen(PS_SOLID, 1, RGB(1, 0, 0));
    dc.SelectObject(first);
    dc.SelectObject(GetStockObject(NULL_PEN));
    // Forgotten behind the recorder's back; the handle comes back for a new pen.
    objects.Remove(first);
    const Handle second = objects.CreatePen(PS_SOLID, 1, RGB(2, 0, 0));
    ASSERT_EQ(second, first);
    dc.SelectObject(second);
  });
  const auto pens = rec.OfType(EMR_CREATEPEN);
  ASSERT_EQ(pens.size(), 2u);
  EXPECT_EQ(U32(pens[1], 24), RGB(2, 0, 0));
}

TEST(RecorderObjects, DeletionIsRefusedWhileSelectedOrUnknown) {
  Recording rec([](EmfRecorder& dc, Objects& objects) {
    const Handle pen = objects.CreatePen(PS_SOLID, 1, 0);
    const Handle font = objects.CreateFontIndirect(LogFont{});
    dc.SelectObject(pen);
    dc.SelectObject(font);
    EXPECT_FALSE(dc.DeleteObject(pen));
    EXPECT_FALSE(dc.DeleteObject(font));
    EXPECT_FALSE(dc.DeleteObject(0));
    EXPECT_FALSE(dc.DeleteObject(999));
    EXPECT_FALSE(dc.DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_NE(objects.Find(pen), nullptr);
    EXPECT_EQ(dc.SelectObject(GetStockObject(NULL_PEN)), pen);
    EXPECT_TRUE(dc.DeleteObject(pen));
    EXPECT_FALSE(dc.DeleteObject(pen));  // gone
  });
  EXPECT_EQ(Values(rec, EMR_DELETEOBJECT), (std::vector<uint32_t>{1}));
}

TEST(RecorderObjects, SelectObjectReturnsThePreviousObjectOfItsKind) {
  Recording rec([](EmfRecorder& dc, Objects& objects) {
    const Handle pen = objects.CreatePen(PS_SOLID, 1, 0);
    EXPECT_EQ(dc.SelectObject(pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(dc.SelectObject(GetStockObject(NULL_BRUSH)), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(dc.SelectObject(GetStockObject(ANSI_FIXED_FONT)), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(dc.SelectObject(GetStockObject(NULL_PEN)), pen);
    // Neither unknown handles nor stock indexes that are no pen, brush or
    // font are selected, and nothing is written for them.
    EXPECT_EQ(dc.SelectObject(4242), 0u);
    EXPECT_EQ(dc.SelectObject(GetStockObject(DEFAULT_PALETTE)), 0u);
    EXPECT_EQ(dc.SelectObject(GetStockObject(BLACK_PEN)), GetStockObject(NULL_PEN));
  });
  EXPECT_EQ(Values(rec, EMR_SELECTOBJECT),
            (std::vector<uint32_t>{1, 0x80000005, 0x8000000B, 0x80000008, 0x80000007}));
}

TEST(RecorderHeader, FieldsDescribeTheWholeFile) {
  Recording rec([](EmfRecorder& dc, Objects& objects) {
    dc.SelectObject(objects.CreatePen(PS_SOLID, 1, 0));
    dc.MoveToEx(0, 0);
    dc.LineTo(100, -100);
  });
  const auto& b = rec.bytes;
  const EmfHeader& h = rec.reader.Header();
  const EmfRecord& head = rec.Records().front();
  EXPECT_EQ(head.size, 108u + 40);  // 19 WCHARs padded to 40 bytes
  EXPECT_EQ(h.nVersion, 0x10000u);
  EXPECT_EQ(h.nBytes, b.size());
  EXPECT_EQ(h.nRecords, rec.Records().size());
  EXPECT_EQ(h.nHandles, 2u);
  EXPECT_EQ(h.nPalEntries, 0u);
  EXPECT_EQ(h.nDescription, 19u);
  EXPECT_EQ(h.offDescription, 108u);
  EXPECT_EQ(h.description, std::u16string(u"Tessella\0plot.plt\0\0", 19));
  EXPECT_EQ(h.szlDevice.cx, 1920);
  EXPECT_EQ(h.szlMillimeters.cy, 286);
  EXPECT_EQ(U32(head, 88), 0u);       // cbPixelFormat
  EXPECT_EQ(U32(head, 96), 0u);       // bOpenGL
  EXPECT_EQ(I32(head, 100), 508000);  // szlMicrometers
  EXPECT_EQ(I32(head, 104), 286000);
  EXPECT_EQ(rec.summary.nBytes, h.nBytes);
  EXPECT_EQ(rec.summary.nRecords, h.nRecords);

  const EmfRecord& eof = rec.Records().back();
  EXPECT_EQ(eof.type, EMR_EOF);
  EXPECT_EQ(eof.size, 20u);
  EXPECT_EQ(U32(eof, 8), 0u);
  EXPECT_EQ(U32(eof, 16), 20u);
}

TEST(RecorderHeader, DescriptionAlwaysEndsInTwoNuls) {
  Recording none([](EmfRecorder&, Objects&) {}, 0, "");
  EXPECT_EQ(none.reader.Header().nDescription, 0u);
  EXPECT_EQ(none.reader.Header().offDescription, 0u);
  EXPECT_EQ(none.Records().front().size, 108u);
  EXPECT_EQ(none.Records().size(), 2u);

  Recording appOnly([](EmfRecorder&, Objects&) {}, 0, "App\xE9");
  EXPECT_EQ(appOnly.reader.Header().description, std::u16string(u"App\u00E9\0\0\0", 7));
  Recording extra([](EmfRecorder&, Objects&) {}, 0, std::string("a\0b\0\0\0\0junk", 11));
  EXPECT_EQ(extra.reader.Header().description, std::u16string(u"a\0b\0\0", 5));
}

TEST(RecorderHeader, CloseIsFinalAndLaterCallsAreIgnored) {
  Objects objects;
  auto dc = EmfRecorder::CreateMemory(objects, "");
  std::string error;
  ASSERT_TRUE(dc->Close(&error));
  const std::vector<uint8_t> bytes = dc->Bytes();
  dc->LineTo(100, 100);
  EXPECT_FALSE(dc->Close(&error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(dc->Bytes(), bytes);
}

}  // namespace
}  // namespace tsl::test
