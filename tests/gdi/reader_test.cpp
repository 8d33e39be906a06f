// Parsing metafiles back, the record dump, and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "common/gdi/emf_bytes.h"
#include "recording.h"

namespace tsl::test {
namespace {

using namespace gdi;

void DrawSample(EmfRecorder& dc, Objects& objects) {
  dc.SelectObject(objects.CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  dc.SelectObject(GetStockObject(NULL_BRUSH));
  dc.SetTextAlign(TA_BASELINE | TA_CENTER);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(0, 0, 255));
  dc.MoveToEx(0, 0);
  dc.LineTo(100, 100);
  const Point pts[] = {{1, 2}, {3, 4}, {5, 6}};
  dc.PolylineTo(pts, 3);
  dc.Arc(-100, 100, 100, -100, 100, 0, 0, 100);
  LogFont f;
  f.lfHeight = -40;
  f.lfWidth = 24;
  f.lfWeight = 400;
  f.lfPitchAndFamily = 0x31;
  std::strcpy(f.lfFaceName, "Courier New");
  const Handle font = objects.CreateFontIndirect(f);
  dc.SelectObject(font);
  dc.TextOutA(0, 160, "\"A\xE9", 3);
  dc.FillRect(Rect{0, 0, 100, 100}, objects.CreateHatchBrush(HS_HORIZONTAL, 0));
  dc.BeginPath();
  dc.MoveToEx(0, 0);
  dc.LineTo(10, 10);
  dc.CloseFigure();
  dc.EndPath();
  dc.FillPath();
  dc.IntersectClipRect(0, 0, 50, 50);
  dc.SelectClipRgnNone();
  dc.SetPixel(1, 1, RGB(1, 2, 3));
  dc.SelectObject(GetStockObject(ANSI_FIXED_FONT));
  dc.DeleteObject(font);
}

const std::string kSample = std::string("Tessella\0a.plt\0\0", 16);

TEST(EmfDump, OneLinePerRecordWithDecodedParameters) {
  Recording rec(DrawSample, MM_LOMETRIC, kSample);
  EXPECT_EQ(rec.Dump(), R"(EMR_HEADER bounds=(-14,-73,38,0) frame=(-370,-1933,1005,0) version=0x10000 bytes=1124 records=31 handles=4 palette=0 device=1920x1080 mm=508x286 description="Tessella\0a.plt\0\0"
EMR_SETMAPMODE 2
EMR_CREATEPEN 1 style=0 width=1 color=#0000ff
EMR_SELECTOBJECT 1
EMR_SELECTOBJECT stock 5
EMR_SETTEXTALIGN 0x1e
EMR_SETBKMODE 1
EMR_SETTEXTCOLOR #ff0000
EMR_MOVETOEX (0,0)
EMR_LINETO (100,100)
EMR_POLYLINETO16 bounds=(0,-38,38,-1) n=3 (1,2) (3,4) (5,6)
EMR_ARC box=(-100,-100,99,99) start=(100,0) end=(0,100)
EMR_EXTCREATEFONTINDIRECTW 2 face="Courier New" height=-40 width=24 escapement=0 orientation=0 weight=400 italic=0 charset=0 quality=0 pitch=0x31
EMR_SELECTOBJECT 2
EMR_EXTTEXTOUTW bounds=(-14,-73,14,-56) mode=1 scale=10,-10 ref=(0,160) options=0x0 text="\"Aé" dx=24,24,24
EMR_CREATEBRUSHINDIRECT 3 style=2 color=#000000 hatch=0
EMR_SELECTOBJECT 3
EMR_BITBLT bounds=(0,0,99,99) dest=(0,0) size=100x100 rop=0x00f00021 src=(0,0) bmi=0 bits=0
EMR_SELECTOBJECT stock 5
EMR_BEGINPATH
EMR_MOVETOEX (0,0)
EMR_LINETO (10,10)
EMR_CLOSEFIGURE
EMR_ENDPATH
EMR_FILLPATH bounds=(0,-4,4,0)
EMR_INTERSECTCLIPRECT (0,0,50,50)
EMR_EXTSELECTCLIPRGN mode=5 rgnData=0
EMR_SETPIXELV (1,1) #030201
EMR_SELECTOBJECT stock 11
EMR_DELETEOBJECT 2
EMR_EOF palette=0
)");
}

// A valid metafile to break in the tests below.
std::vector<uint8_t> Sample() {
  Objects objects;
  auto dc = EmfRecorder::CreateMemory(objects, kSample);
  dc->SetMapMode(MM_LOMETRIC);
  DrawSample(*dc, objects);
  std::string error;
  EXPECT_TRUE(dc->Close(&error));
  return dc->Bytes();
}

// Hands out its bytes a few at a time (1, 2, ... 13, then again), so that
// records straddle every boundary of the reader's buffer.
class DribbleSource : public ByteSource {
 public:
  explicit DribbleSource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  size_t Read(uint8_t* buf, size_t n, std::string*) override {
    size_t total = 0;
    while (total < n && at_ < bytes_.size()) {
      size_t piece = std::min({n - total, bytes_.size() - at_, step_ % 13 + 1});
      std::memcpy(buf + total, bytes_.data() + at_, piece);
      at_ += piece;
      total += piece;
      ++step_;
    }
    return total;
  }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t at_ = 0, step_ = 0;
};

// The stream reader must take what Parse takes, hand out the same records,
// and refuse what it refuses (with the same reason when `sameReason`: with
// several faults, each names the first it meets).
void ExpectStreamAgrees(const std::vector<uint8_t>& bytes, const EmfReader& parsed, bool ok,
                        const std::string& parseError, bool sameReason) {
  DribbleSource source(bytes);
  EmfStreamReader stream(&source);
  std::string error;
  size_t i = 0;
  EmfStreamReader::Step step = stream.ReadHeader(&error) ? EmfStreamReader::Step::kRecord
                                                         : EmfStreamReader::Step::kFault;
  EmfRecord r;
  while (step == EmfStreamReader::Step::kRecord && (step = stream.Next(&r, &error)) == EmfStreamReader::Step::kRecord) {
    if (ok) {
      ASSERT_LT(i, parsed.Records().size());
      const EmfRecord& want = parsed.Records()[i];
      ASSERT_EQ(r.type, want.type);
      ASSERT_EQ(r.size, want.size);
      ASSERT_EQ(r.offset, want.offset);
      ASSERT_EQ(0, std::memcmp(r.data, want.data, r.size)) << "record " << i;
    }
    ++i;
  }
  EXPECT_EQ(step == EmfStreamReader::Step::kEnd, ok) << parseError << " / " << error;
  if (ok) {
    EXPECT_EQ(i, parsed.Records().size());
  } else if (sameReason) {
    EXPECT_EQ(error, parseError);
  } else {
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(CheckEmf(bytes.data(), bytes.size(), &error), ok);
}

// Parses a copy of exactly `n` bytes, so that any read past them is caught
// by the address sanitizer; dumps whatever parsed. The stream reader and
// CheckEmf are held to the same verdict.
bool ParseCopy(const std::vector<uint8_t>& bytes, size_t n, std::string* error, bool sameReason = false) {
  std::vector<uint8_t> copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
  EmfReader reader;
  const bool ok = reader.Parse(copy.data(), copy.size(), error);
  ExpectStreamAgrees(copy, reader, ok, *error, sameReason);
  if (ok) {
    EXPECT_FALSE(DumpEmf(reader).empty());
    size_t total = 0;
    for (const auto& r : reader.Records()) total += r.size;
    EXPECT_LE(total, n);
  }
  return ok;
}

void Put(std::vector<uint8_t>& b, size_t off, uint32_t v) { PutU32(b.data() + off, v); }

struct Damage {
  const char* what;
  void (*apply)(std::vector<uint8_t>&);
  const char* message;  // a piece of the expected error
};

TEST(EmfReader, RefusesDamagedMetafilesWithAReason) {
  const std::vector<uint8_t> good = Sample();
  const size_t headerSize = GetU32(good.data() + 4);
  std::string error;
  ASSERT_TRUE(ParseCopy(good, good.size(), &error)) << error;

  static size_t hs;
  hs = headerSize;
  const Damage cases[] = {
      {"not a header", [](auto& b) { Put(b, 0, EMR_EOF); }, "does not begin"},
      {"header size small", [](auto& b) { Put(b, 4, 84); }, "invalid size"},
      {"header size odd", [](auto& b) { Put(b, 4, 110); }, "invalid size"},
      {"header size huge", [](auto& b) { Put(b, 4, 0xFFFFFFF0); }, "truncated"},
      {"signature", [](auto& b) { b[40] = 'X'; }, "signature"},
      {"nBytes beyond", [](auto& b) { Put(b, 48, GetU32(b.data() + 48) + 4); }, "truncated"},
      {"nBytes short", [](auto& b) { Put(b, 48, 40); }, "invalid file size"},
      {"description long", [](auto& b) { Put(b, 60, 1000); }, "description"},
      {"description early", [](auto& b) { Put(b, 64, 8); }, "description"},
      {"description wraps", [](auto& b) { Put(b, 60, 0x80000000); }, "description"},
      {"record size zero", [](auto& b) { Put(b, hs + 4, 0); }, "invalid size"},
      {"record size 6", [](auto& b) { Put(b, hs + 4, 6); }, "invalid size"},
      {"record size misaligned", [](auto& b) { Put(b, hs + 4, 13); }, "invalid size"},
      {"record size negative", [](auto& b) { Put(b, hs + 4, 0xFFFFFFF8); }, "past the end"},
      {"record past end", [](auto& b) { Put(b, hs + 4, static_cast<uint32_t>(b.size())); },
       "past the end"},
      {"no EOF", [](auto& b) { Put(b, b.size() - 20, EMR_LINETO); }, "EMR_EOF"},
  };
  for (const Damage& d : cases) {
    std::vector<uint8_t> bad = good;
    d.apply(bad);
    error.clear();
    EXPECT_FALSE(ParseCopy(bad, bad.size(), &error, true)) << d.what;
    EXPECT_NE(error.find(d.message), std::string::npos) << d.what << ": " << error;
  }
  EXPECT_FALSE(EmfReader().Parse(nullptr, 0, &error));
  EXPECT_FALSE(EmfReader().Parse(good.data(), 0, &error));
}

TEST(EmfReader, EveryTruncationIsRefusedAndDataAfterTheEndIsIgnored) {
  const std::vector<uint8_t> good = Sample();
  std::string error;
  for (size_t n = 0; n < good.size(); ++n) ASSERT_FALSE(ParseCopy(good, n, &error, true)) << n;

  // Bytes after nBytes, or after EMR_EOF within nBytes, are not records.
  std::vector<uint8_t> longer = good;
  longer.insert(longer.end(), 64, 0xEE);
  EmfReader reader;
  ASSERT_TRUE(reader.Parse(longer.data(), longer.size(), &error)) << error;
  const size_t count = reader.Records().size();
  Put(longer, 48, static_cast<uint32_t>(longer.size()));
  ASSERT_TRUE(reader.Parse(longer.data(), longer.size(), &error)) << error;
  EXPECT_EQ(reader.Records().size(), count);
  EXPECT_EQ(reader.Records().back().type, EMR_EOF);
}

TEST(EmfReader, SurvivesRandomDamage) {
  const std::vector<uint8_t> good = Sample();
  std::mt19937 rng(20240611);
  std::string error;
  int parsed = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bad = good;
    const int hits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < hits; ++i) {
      const size_t at = rng() % bad.size();
      switch (rng() % 3) {
        case 0: bad[at] = static_cast<uint8_t>(rng()); break;
        case 1: bad[at] ^= static_cast<uint8_t>(1u << (rng() % 8)); break;
        default:  // a plausible-looking size or count
          if (at + 4 <= bad.size()) Put(bad, at & ~size_t{3}, rng() % 512);
      }
    }
    const size_t n = rng() % 4 ? bad.size() : rng() % (bad.size() + 1);
    parsed += ParseCopy(bad, n, &error);
  }
  EXPECT_GT(parsed, 0);  // damage inside records parses and dumps
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> noise(rng() % 400);
    for (auto& b : noise) b = static_cast<uint8_t>(rng());
    if (noise.size() >= 44) Put(noise, 40, kEmfSignature);
    if (noise.size() >= 4) Put(noise, 0, EMR_HEADER);
    ParseCopy(noise, noise.size(), &error);
  }
}

TEST(EmfReader, MalformedRecordsDumpAsSuch) {
  std::vector<uint8_t> b = Sample();
  EmfReader reader;
  std::string error;
  ASSERT_TRUE(reader.Parse(b.data(), b.size(), &error));
  // A polyline claiming more points than it holds, and an unknown record.
  size_t poly = 0, other = 0;
  for (const auto& r : reader.Records()) {
    if (r.type == EMR_POLYLINETO16) poly = r.offset;
    if (r.type == EMR_SETBKMODE) other = r.offset;
  }
  Put(b, poly + 24, 0x40000000);
  Put(b, other, 4000);
  ASSERT_TRUE(reader.Parse(b.data(), b.size(), &error));
  const std::string dump = DumpEmf(reader);
  EXPECT_NE(dump.find("EMR_POLYLINETO16 size=40 (malformed)\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("record 4000 size=12\n"), std::string::npos) << dump;
}

// Counts what the reader asks of its source.
class CountingSource : public MemorySource {
 public:
  using MemorySource::MemorySource;
  size_t Read(uint8_t* buf, size_t n, std::string* error) override {
    largest = std::max(largest, n);
    return MemorySource::Read(buf, n, error);
  }
  size_t largest = 0;
};

TEST(EmfStreamReader, SizesThatLieCostNoMoreThanTheDataPresent) {
  // A header counting 4 GB and a record claiming 2 GB, in a few hundred
  // bytes: refused as truncated without taking memory for the claims.
  std::vector<uint8_t> b = Sample();
  const size_t hs = GetU32(b.data() + 4);
  Put(b, 48, 0xFFFFFFF0);
  Put(b, hs + 4, 0x7FFFFFF0);
  CountingSource source(b.data(), b.size());
  EmfStreamReader reader(&source);
  std::string error;
  ASSERT_TRUE(reader.ReadHeader(&error)) << error;
  EmfRecord r;
  ASSERT_EQ(reader.Next(&r, &error), EmfStreamReader::Step::kRecord);  // the header
  EXPECT_EQ(reader.Next(&r, &error), EmfStreamReader::Step::kFault);
  EXPECT_NE(error.find("truncated"), std::string::npos) << error;
  EXPECT_LE(source.largest, size_t{1} << 20);
  // Once refused, it stays refused.
  EXPECT_NE(reader.Next(&r, &error), EmfStreamReader::Step::kRecord);
}

TEST(EmfStreamReader, ARecordLargerThanTheBufferArrivesWhole) {
  Objects objects;
  auto dc = EmfRecorder::CreateMemory(objects, kSample);
  std::vector<Point> pts;
  for (int i = 0; i < 200000; ++i) pts.push_back({i % 1000, i / 1000});
  dc->PolylineTo(pts.data(), static_cast<int>(pts.size()));
  std::string error;
  ASSERT_TRUE(dc->Close(&error)) << error;
  const std::vector<uint8_t> bytes = dc->Bytes();
  EmfReader whole;
  ASSERT_TRUE(whole.Parse(bytes.data(), bytes.size(), &error)) << error;
  ASSERT_GT(whole.Records()[1].size, 512u * 1024);  // past the reader's first buffer
  ExpectStreamAgrees(bytes, whole, true, "", true);
}

TEST(EmfRecord, AccessorsStayInsideTheRecord) {
  const uint8_t bytes[12] = {1, 0, 0, 0, 12, 0, 0, 0, 0x78, 0x56, 0x34, 0x12};
  EmfRecord r;
  r.type = 1;
  r.size = 12;
  r.data = bytes;
  uint32_t u = 0;
  int16_t s = 0;
  float f = 0;
  EXPECT_TRUE(r.U32(8, &u));
  EXPECT_EQ(u, 0x12345678u);
  EXPECT_TRUE(r.I16(10, &s));
  EXPECT_EQ(s, 0x1234);
  EXPECT_FALSE(r.U32(9, &u));
  EXPECT_FALSE(r.I16(11, &s));
  EXPECT_FALSE(r.F32(12, &f));
  EXPECT_FALSE(r.U32(SIZE_MAX - 1, &u));
  EXPECT_FALSE(EmfRecord().U32(0, &u));
}

}  // namespace
}  // namespace tsl::test
