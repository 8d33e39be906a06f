#include "common/gdi/emf_recorder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <functional>
#include <queue>
#include <variant>

#include "common/gdi/emf_bytes.h"
#include "common/gdi/emf_geometry.h"
#include "common/gdi/emf_sink.h"
#include "common/gdi/emf_text.h"
#include "common/gdi/emf_types.h"

namespace gdi {

namespace {

constexpr size_t kHeaderFixed = kEmfHeaderFixed;
constexpr uint32_t kMaxSlot = 0xFFFE;  // nHandles is 16 bits
constexpr uint32_t kPatCopy = 0x00F00021;
constexpr uint32_t kRgnCopy = 5;

// "app\0picture\0\0", whatever NULs the caller supplied; empty stays empty.
std::u16string DescriptionOf(const std::string& text) {
  if (text.empty()) return {};
  const size_t appEnd = std::min(text.find('\0'), text.size());
  std::string out = text.substr(0, appEnd);
  out += '\0';
  if (appEnd < text.size()) {
    const size_t picStart = appEnd + 1;
    const size_t picEnd = std::min(text.find('\0', picStart), text.size());
    out += text.substr(picStart, picEnd - picStart);
  }
  out += '\0';
  out += '\0';
  return Cp1252ToUtf16(out.data(), out.size());
}

// Whether every point inside the box fits the 16-bit form of a record.
bool Fits16(const Rect& box) {
  return box.left >= -32768 && box.top >= -32768 && box.right <= 32767 && box.bottom <= 32767;
}

class Recorder final : public EmfRecorder {
 public:
  Recorder(Objects& objects, std::unique_ptr<RecordSink> sink, const std::string& description,
           const ReferenceDevice& ref)
      : objects_(objects), sink_(std::move(sink)), ref_(ref), description_(DescriptionOf(description)) {
    headerSize_ = kHeaderFixed + (description_.size() * 2 + 3) / 4 * 4;
    if (description_.size() > std::numeric_limits<uint32_t>::max() / 4) {
      Fail("The metafile description is too long.");
      return;
    }
    const std::vector<uint8_t> placeholder(headerSize_, 0);
    Emit(ByteView{placeholder.data(), placeholder.size()});
  }

  // Whatever did not end in a finished file (a failure, or memory running
  // out part way through Close) leaves nothing behind.
  ~Recorder() override {
    if (!finished_) sink_->Abandon();
  }

  bool Close(std::string* error) override;
  EmfSummary Summary() const override { return summary_; }
  const std::vector<uint8_t>& Bytes() const override { return sink_->Bytes(); }

  void SetMapMode(int mode) override {
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return;
    Simple(EMR_SETMAPMODE, static_cast<uint32_t>(mode));
    SettleBounds();
    map_ = Mapping::For(mode, ref_.szlDevice, ref_.szlMillimeters);
  }
  // There is no record for the graphics mode; it shows in the text records.
  void SetGraphicsMode(int mode) override {
    if (mode == GM_COMPATIBLE || mode == GM_ADVANCED) graphicsMode_ = mode;
  }
  void SetBkMode(int mode) override { Simple(EMR_SETBKMODE, static_cast<uint32_t>(mode)); }
  void SetTextAlign(uint32_t align) override {
    Simple(EMR_SETTEXTALIGN, align);
    textAlign_ = align;
  }
  void SetTextColor(COLORREF color) override { Simple(EMR_SETTEXTCOLOR, color); }
  void SetPolyFillMode(int mode) override { Simple(EMR_SETPOLYFILLMODE, static_cast<uint32_t>(mode)); }
  void SetArcDirection(int direction) override {
    if (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE) return;
    Simple(EMR_SETARCDIRECTION, static_cast<uint32_t>(direction));
    arcDirection_ = direction;
  }
  void SetBrushOrgEx(int32_t x, int32_t y) override { PointRecord(EMR_SETBRUSHORGEX, {x, y}); }
  void SelectClipRgnNone() override {
    rb_.Begin(EMR_EXTSELECTCLIPRGN);
    rb_.U32(0);  // cbRgnData
    rb_.U32(kRgnCopy);
    Emit(rb_.End());
  }
  void IntersectClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
    rb_.Begin(EMR_INTERSECTCLIPRECT);
    rb_.RectL(Rect{left, top, right, bottom});
    Emit(rb_.End());
  }

  Handle SelectObject(Handle h) override;
  bool DeleteObject(Handle h) override;

  void MoveToEx(int32_t x, int32_t y) override {
    PointRecord(EMR_MOVETOEX, {x, y});
    pos_ = {x, y};
  }
  void LineTo(int32_t x, int32_t y) override {
    LineDrawn(x, y);
    PointRecord(EMR_LINETO, {x, y});
    pos_ = {x, y};
  }
  void LineToWithPixel(int32_t x, int32_t y, COLORREF color) override {
    // The pixel lies on the line's end, inside the box the line adds.
    LineDrawn(x, y);
    pos_ = {x, y};
    if (uint8_t* p = Direct(16 + 20, 2)) {
      PutPoint(p, EMR_LINETO, {x, y});
      PutPixel(p + 16, {x, y}, color);
    }
  }
  void Polyline(const Point* pts, size_t n) override {
    if (!pts || n < 2) return;
    const Rect points = PointsBox(pts, n);
    PolyRecord(EMR_POLYLINE16, EMR_POLYLINE, pts, n, points, Drawn(points, true));
  }
  void PolylineTo(const Point* pts, size_t n) override {
    if (!pts || n == 0) return;
    PolyToRecord(EMR_POLYLINETO16, EMR_POLYLINETO, pts, n);
  }
  // A Bezier curve stays inside the hull of its control points, so their box
  // bounds it.
  void PolyBezierTo(const Point* pts, size_t n) override {
    if (!pts || n == 0 || n % 3 != 0) return;  // GDI refuses incomplete curves
    PolyToRecord(EMR_POLYBEZIERTO16, EMR_POLYBEZIERTO, pts, n);
  }
  void Polygon(const Point* pts, size_t n) override {
    if (!pts || n < 2) return;
    const Rect points = PointsBox(pts, n);
    PolyRecord(EMR_POLYGON16, EMR_POLYGON, pts, n, points, Drawn(points, true));
  }
  void Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
           int32_t ye) override {
    const Rect box{l, t, r, b};
    Drawn(ArcExtent(box, {xs, ys}, {xe, ye}, ArcIncreasing()), true);
    ArcRecord(EMR_ARC, box, {xs, ys}, {xe, ye});
  }
  void ArcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
             int32_t ye) override {
    const Rect box{l, t, r, b};
    Bounds extent;
    extent.Add(ArcExtent(box, {xs, ys}, {xe, ye}, ArcIncreasing()));
    extent.Add(Rect{pos_.x, pos_.y, pos_.x, pos_.y});  // the line to the arc's start
    Drawn(extent.Get(), true);
    ArcRecord(EMR_ARCTO, box, {xs, ys}, {xe, ye});
    pos_ = ArcPoint(box, {xe, ye});
  }
  void Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
           int32_t ye) override {
    const Rect box{l, t, r, b};
    Bounds extent;
    extent.Add(ArcExtent(box, {xs, ys}, {xe, ye}, ArcIncreasing()));
    const Rect n = Normalised(box);
    const Point centre{static_cast<int32_t>((int64_t{n.left} + n.right) / 2),
                       static_cast<int32_t>((int64_t{n.top} + n.bottom) / 2)};
    extent.Add(Rect{centre.x, centre.y, centre.x, centre.y});
    Drawn(extent.Get(), true);
    ArcRecord(EMR_PIE, box, {xs, ys}, {xe, ye});
  }
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override {
    const Rect box = Inclusive(Rect{l, t, r, b});
    Drawn(box, true);
    rb_.Begin(EMR_RECTANGLE);
    rb_.RectL(box);
    Emit(rb_.End());
  }
  void FillRect(const Rect& rc, Handle brush) override;
  void SetPixel(int32_t x, int32_t y, COLORREF color) override {
    DrawnUnrecorded(Rect{x, y, x, y}, false);
    if (uint8_t* p = Direct(20)) PutPixel(p, {x, y}, color);
  }
  void TextOutA(int32_t x, int32_t y, const char* text, size_t n) override;
  Point GetCurrentPositionEx() const override { return pos_; }

  void BeginPath() override {
    Simple(EMR_BEGINPATH);
    inPath_ = true;
    pathBounds_.Reset();
  }
  void EndPath() override {
    Simple(EMR_ENDPATH);
    inPath_ = false;
  }
  void CloseFigure() override { Simple(EMR_CLOSEFIGURE); }
  void StrokePath() override { ConsumePath(EMR_STROKEPATH, PenHalfWidth()); }
  void FillPath() override { ConsumePath(EMR_FILLPATH, 0); }

 private:
  void Fail(const std::string& why) {
    if (!failed_) error_ = why;
    failed_ = true;
  }
  void Emit(ByteView record);
  // Room for `records` small records of `n` bytes in all in the output
  // buffer, counted as written; nullptr when nothing more is written
  // (closed, failed, 4 GB).
  uint8_t* Direct(size_t n, unsigned records = 1) {
    if (closed_ || failed_) return nullptr;
    if (nBytes_ + n > std::numeric_limits<uint32_t>::max()) {
      Fail("The metafile would exceed 4 GB.");
      return nullptr;
    }
    if (n > kOutBuffer - outUsed_ && !Drain()) return nullptr;
    uint8_t* p = out_.data() + outUsed_;
    outUsed_ += n;
    nBytes_ += n;
    nRecords_ += records;
    return p;
  }
  // Hands the buffered records to the sink; false (and failed) when it
  // could not take them.
  // `last`: the final block, which nothing is drawn beside any more; it is
  // written in place, so a metafile of one block never starts the writer.
  bool Drain(bool last = false);
  void Simple(uint32_t type) {
    rb_.Begin(type);
    Emit(rb_.End());
  }
  void Simple(uint32_t type, uint32_t value) {
    rb_.Begin(type);
    rb_.U32(value);
    Emit(rb_.End());
  }
  void PointRecord(uint32_t type, Point pt) {
    if (uint8_t* p = Direct(16)) PutPoint(p, type, pt);
  }
  // A record of one point (16 bytes) and EMR_SETPIXELV (20 bytes), written
  // at p.
  static void PutPoint(uint8_t* p, uint32_t type, Point pt) {
    PutU32(p, type);
    PutU32(p + 4, 16);
    PutU32(p + 8, static_cast<uint32_t>(pt.x));
    PutU32(p + 12, static_cast<uint32_t>(pt.y));
  }
  static void PutPixel(uint8_t* p, Point pt, COLORREF color) {
    PutU32(p, EMR_SETPIXELV);
    PutU32(p + 4, 20);
    PutU32(p + 8, static_cast<uint32_t>(pt.x));
    PutU32(p + 12, static_cast<uint32_t>(pt.y));
    PutU32(p + 16, color);
  }
  // Accounts for a line from the drawing position to (x, y).
  void LineDrawn(int32_t x, int32_t y) {
    DrawnUnrecorded(Rect{std::min(pos_.x, x), std::min(pos_.y, y), std::max(pos_.x, x), std::max(pos_.y, y)},
                    true);
  }
  // A record drawing from the current position through `pts`, which it
  // moves to the last point.
  void PolyToRecord(uint32_t type16, uint32_t type32, const Point* pts, size_t n) {
    const Rect points = PointsBox(pts, n);
    Bounds box;
    box.Add(points);
    box.Add(Rect{pos_.x, pos_.y, pos_.x, pos_.y});
    if (PolyRecord(type16, type32, pts, n, points, Drawn(box.Get(), true))) pos_ = pts[n - 1];
  }
  // `points` is the box of the points, `bounds` the record's device bounds.
  bool PolyRecord(uint32_t type16, uint32_t type32, const Point* pts, size_t n, const Rect& points,
                  const Rect& bounds);
  void ArcRecord(uint32_t type, const Rect& box, Point start, Point end) {
    rb_.Begin(type);
    rb_.RectL(Inclusive(box));
    rb_.PointL(start);
    rb_.PointL(end);
    Emit(rb_.End());
  }
  void ConsumePath(uint32_t type, int32_t logicalWiden);

  // GDI records boxes normalised with the right and bottom edges excluded.
  static Rect Inclusive(const Rect& r) {
    Rect n = Normalised(r);
    n.right = static_cast<int32_t>(std::max<int64_t>(n.left, int64_t{n.right} - 1));
    n.bottom = static_cast<int32_t>(std::max<int64_t>(n.top, int64_t{n.bottom} - 1));
    return n;
  }
  // Counterclockwise on the device is toward increasing logical angles when
  // the mapping turns logical y upward.
  bool ArcIncreasing() const { return (arcDirection_ == AD_COUNTERCLOCKWISE) == map_.YUp(); }
  int32_t PenHalfWidth() const {
    if ((penData_.style & 0x0F) == PS_NULL || penData_.width <= 1) return 0;
    return static_cast<int32_t>((int64_t{penData_.width} + 1) / 2);
  }
  // Accounts for something drawn over the logical box; returns its device
  // rectangle. Inside a path only the path's bounds grow, and the pen
  // counts when the path is stroked.
  Rect Drawn(const Rect& box, bool stroked) {
    if (inPath_) {
      const Rect dev = map_.ToDevice(box);
      pathBounds_.Add(dev);
      return dev;
    }
    const Rect dev = map_.ToDevice(stroked ? Grown(box, PenHalfWidth()) : box);
    bounds_.Add(dev);
    return dev;
  }
  // The same for records that carry no bounds of their own (`box`
  // normalised): the logical box is only gathered, and mapped once (SettleBounds). The mapping is
  // monotonic on each axis, so the device box of the union is the union of
  // the device boxes.
  void DrawnUnrecorded(const Rect& box, bool stroked) {
    if (inPath_) {
      pathBounds_.Add(map_.ToDevice(box));
      return;
    }
    const int32_t half = stroked ? PenHalfWidth() : 0;
    logicalBounds_.AddNormalised(half ? Grown(box, half) : box);
  }
  // Brings the gathered logical box into the device bounds, before the
  // mapping changes and before the bounds are read.
  void SettleBounds() {
    if (logicalBounds_.Empty()) return;
    bounds_.Add(map_.ToDevice(logicalBounds_.Get()));
    logicalBounds_.Reset();
  }
  // The slot of an object in this metafile, writing its creation record the
  // first time; 0 when no slot is free.
  uint32_t SlotFor(Handle h, const ObjectData& data);
  void WriteCreation(uint32_t slot, const ObjectData& data);

  Objects& objects_;
  std::unique_ptr<RecordSink> sink_;
  ReferenceDevice ref_;
  std::u16string description_;
  size_t headerSize_ = 0;
  uint64_t nBytes_ = 0;
  uint64_t nRecords_ = 0;

  Mapping map_;
  int graphicsMode_ = GM_COMPATIBLE;
  uint32_t textAlign_ = TA_LEFT | TA_TOP;
  int arcDirection_ = AD_COUNTERCLOCKWISE;
  Point pos_;
  Handle pen_ = GetStockObject(BLACK_PEN);
  Handle brush_ = GetStockObject(WHITE_BRUSH);
  Handle font_ = GetStockObject(SYSTEM_FONT);
  LogPen penData_{PS_SOLID, 0, 0};
  LogFont fontData_ = StockFont(GetStockObject(SYSTEM_FONT));

  // The slot of each object in this metafile, by handle; the serial tells a
  // reused handle from the object that had it before.
  struct SlotEntry {
    uint64_t serial = 0;
    uint32_t slot = 0;
  };
  SlotEntry* SlotOf(Handle h) {
    if (h >= slots_.size()) return nullptr;
    SlotEntry& e = slots_[h];
    return e.slot != 0 && e.serial == objects_.Serial(h) ? &e : nullptr;
  }
  std::vector<SlotEntry> slots_;
  // GDI hands out the lowest free slot.
  std::priority_queue<uint32_t, std::vector<uint32_t>, std::greater<uint32_t>> freeSlots_;
  uint32_t highestSlot_ = 0;

  Bounds bounds_;
  Bounds logicalBounds_;  // in the current mapping's logical units
  Bounds pathBounds_;
  bool inPath_ = false;

  RecordBuilder rb_;
  // Records go out in blocks: most are a few bytes, and each write to the
  // sink would cost more than the record.
  static constexpr size_t kOutBuffer = 256 * 1024;
  std::vector<uint8_t> out_ = std::vector<uint8_t>(kOutBuffer);
  size_t outUsed_ = 0;
  bool closed_ = false;
  bool finished_ = false;
  bool failed_ = false;
  std::string error_;
  EmfSummary summary_;
};

void Recorder::Emit(ByteView record) {
  if (closed_ || failed_) return;
  if (nBytes_ + record.size > std::numeric_limits<uint32_t>::max()) {
    Fail("The metafile would exceed 4 GB.");
    return;
  }
  if (record.size > kOutBuffer - outUsed_ && !Drain()) return;
  if (record.size >= kOutBuffer) {
    if (!sink_->Write(record.data, record.size)) {
      std::string why = sink_->ErrorText();
      Fail(why.empty() ? std::string("Writing the metafile failed.") : "Writing the metafile failed: " + why);
      return;
    }
  } else {
    std::memcpy(out_.data() + outUsed_, record.data, record.size);
    outUsed_ += record.size;
  }
  nBytes_ += record.size;
  ++nRecords_;
}

bool Recorder::Drain(bool last) {
  if (outUsed_ == 0) return !failed_;
  const bool ok = last ? sink_->Write(out_.data(), outUsed_) : sink_->WriteBlock(out_, outUsed_);
  outUsed_ = 0;
  if (!ok) {
    std::string why = sink_->ErrorText();
    Fail(why.empty() ? std::string("Writing the metafile failed.") : "Writing the metafile failed: " + why);
  }
  return ok;
}

bool Recorder::PolyRecord(uint32_t type16, uint32_t type32, const Point* pts, size_t n,
                          const Rect& points, const Rect& bounds) {
  const bool small = Fits16(points);
  const size_t each = small ? 4 : 8;
  if (n > (std::numeric_limits<uint32_t>::max() - 28) / each) return false;
  rb_.Begin(small ? type16 : type32);
  rb_.RectL(bounds);
  rb_.U32(static_cast<uint32_t>(n));
  uint8_t* out = rb_.Grow(n * each);
  if (small) {
    for (size_t i = 0; i < n; ++i, out += 4) {
      const uint16_t x = static_cast<uint16_t>(pts[i].x), y = static_cast<uint16_t>(pts[i].y);
      out[0] = static_cast<uint8_t>(x);
      out[1] = static_cast<uint8_t>(x >> 8);
      out[2] = static_cast<uint8_t>(y);
      out[3] = static_cast<uint8_t>(y >> 8);
    }
  } else {
    for (size_t i = 0; i < n; ++i, out += 8) {
      PutU32(out, static_cast<uint32_t>(pts[i].x));
      PutU32(out + 4, static_cast<uint32_t>(pts[i].y));
    }
  }
  Emit(rb_.End());
  return true;
}

void Recorder::ConsumePath(uint32_t type, int32_t logicalWiden) {
  Rect dev = pathBounds_.Get();
  if (!pathBounds_.Empty()) {
    dev = Grown(dev, map_.DeviceLength(logicalWiden));
    bounds_.Add(dev);
  }
  rb_.Begin(type);
  rb_.RectL(dev);
  Emit(rb_.End());
  pathBounds_.Reset();
  inPath_ = false;
}

void Recorder::WriteCreation(uint32_t slot, const ObjectData& data) {
  if (auto* pen = std::get_if<LogPen>(&data); pen && pen->extended) {
    rb_.Begin(EMR_EXTCREATEPEN);
    rb_.U32(slot);
    rb_.U32(0);  // offBmi, cbBmi, offBits, cbBits: a solid brush has no bitmap
    rb_.U32(0);
    rb_.U32(0);
    rb_.U32(0);
    rb_.U32(pen->style);
    rb_.I32(pen->width);
    rb_.U32(BS_SOLID);
    rb_.U32(pen->color);
    rb_.U32(0);  // elpHatch
    rb_.U32(pen->entries);
    for (uint32_t i = 0; i < pen->entries; ++i) rb_.U32(pen->dashes[i]);
    Emit(rb_.End());
  } else if (pen) {
    rb_.Begin(EMR_CREATEPEN);
    rb_.U32(slot);
    rb_.U32(pen->style);
    rb_.I32(pen->width);
    rb_.I32(0);
    rb_.U32(pen->color);
    Emit(rb_.End());
  } else if (auto* brush = std::get_if<LogBrush>(&data)) {
    rb_.Begin(EMR_CREATEBRUSHINDIRECT);
    rb_.U32(slot);
    rb_.U32(brush->style);
    rb_.U32(brush->color);
    rb_.U32(brush->hatch);
    Emit(rb_.End());
  } else if (auto* font = std::get_if<LogFont>(&data)) {
    BuildFontRecord(rb_, slot, *font);
    Emit(rb_.View());
  }
}

uint32_t Recorder::SlotFor(Handle h, const ObjectData& data) {
  if (const SlotEntry* e = SlotOf(h)) return e->slot;
  uint32_t slot;
  if (!freeSlots_.empty()) {
    slot = freeSlots_.top();
    freeSlots_.pop();
  } else if (highestSlot_ < kMaxSlot) {
    slot = ++highestSlot_;
  } else {
    return 0;
  }
  if (h >= slots_.size()) slots_.resize(size_t{h} + 1);
  slots_[h] = SlotEntry{objects_.Serial(h), slot};
  WriteCreation(slot, data);
  return slot;
}

Handle Recorder::SelectObject(Handle h) {
  ObjectKind kind;
  uint32_t index;
  const ObjectData* data = nullptr;
  if (IsStock(h)) {
    kind = StockKind(h);
    index = h;
  } else {
    data = objects_.Find(h);
    kind = objects_.Kind(h);
    index = data ? SlotFor(h, *data) : 0;
  }
  if (kind == ObjectKind::None || index == 0) return 0;
  Simple(EMR_SELECTOBJECT, index);

  Handle* current = kind == ObjectKind::Pen ? &pen_ : kind == ObjectKind::Brush ? &brush_ : &font_;
  const Handle previous = *current;
  *current = h;
  if (kind == ObjectKind::Pen) {
    if (data) penData_ = std::get<LogPen>(*data);
    else penData_ = LogPen{h == GetStockObject(NULL_PEN) ? PS_NULL : PS_SOLID, 0, 0};
  } else if (kind == ObjectKind::Font) {
    fontData_ = data ? std::get<LogFont>(*data) : StockFont(h);
  }
  return previous;
}

bool Recorder::DeleteObject(Handle h) {
  if (IsStock(h) || h == pen_ || h == brush_ || h == font_ || !objects_.Find(h)) return false;
  if (SlotEntry* e = SlotOf(h)) {
    Simple(EMR_DELETEOBJECT, e->slot);
    freeSlots_.push(e->slot);
    *e = SlotEntry{};
  }
  objects_.Remove(h);
  return true;
}

void Recorder::FillRect(const Rect& rc, Handle brush) {
  const bool isBrush =
      IsStock(brush) ? StockKind(brush) == ObjectKind::Brush : objects_.Kind(brush) == ObjectKind::Brush;
  if (!isBrush) return;
  const Handle previous = SelectObject(brush);
  if (previous == 0) return;
  // GDI records the rectangle as given, not normalised: under a y-up
  // mapping the blit's height is negative.
  auto sat = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  Drawn(Inclusive(rc), false);
  rb_.Begin(EMR_BITBLT);
  rb_.RectL(Rect{rc.left, rc.top, sat(int64_t{rc.right} - 1), sat(int64_t{rc.bottom} - 1)});
  rb_.I32(rc.left);
  rb_.I32(rc.top);
  rb_.I32(sat(int64_t{rc.right} - rc.left));
  rb_.I32(sat(int64_t{rc.bottom} - rc.top));
  rb_.U32(kPatCopy);
  rb_.I32(0);  // xSrc
  rb_.I32(0);  // ySrc
  for (float v : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) rb_.F32(v);  // xformSrc
  rb_.U32(0);  // crBkColorSrc
  rb_.U32(0);  // iUsageSrc
  rb_.Zeros(16);  // no source bitmap
  Emit(rb_.End());
  SelectObject(previous);
}

void Recorder::TextOutA(int32_t x, int32_t y, const char* text, size_t n) {
  if (n == 0 || !text) return;
  const size_t size = TextRecordSize(n);
  if (size == 0 || size > std::numeric_limits<uint32_t>::max()) return;
  const FontMetrics metrics = MetricsOf(fontData_);
  const Rect box = TextBox({x, y}, textAlign_, metrics, n, fontData_.lfEscapement, map_.YUp());
  const std::u16string wide = Cp1252ToUtf16(text, n);
  TextRecord t;
  t.bounds = Drawn(box, false);
  t.graphicsMode = graphicsMode_;
  if (graphicsMode_ == GM_COMPATIBLE) {
    // Page units to 0.01 mm: millimetres * 100 per device pixel, times the
    // device pixels per logical unit.
    const double devX = SaneExtent(ref_.szlDevice.cx), devY = SaneExtent(ref_.szlDevice.cy);
    const double mmX = SaneExtent(ref_.szlMillimeters.cx), mmY = SaneExtent(ref_.szlMillimeters.cy);
    t.exScale = static_cast<float>(mmX * 100 * static_cast<double>(map_.vpX) /
                                   (devX * static_cast<double>(map_.wndX)));
    t.eyScale = static_cast<float>(mmY * 100 * static_cast<double>(map_.vpY) /
                                   (devY * static_cast<double>(map_.wndY)));
  }
  t.reference = {x, y};
  t.text = wide.data();
  t.n = n;
  t.advance = metrics.advance;
  BuildTextRecord(rb_, t);
  Emit(rb_.View());
}

bool Recorder::Close(std::string* error) {
  if (closed_) {
    if (error) *error = "The metafile is already closed.";
    return false;
  }
  rb_.Begin(EMR_EOF);
  rb_.U32(0);   // nPalEntries
  rb_.U32(16);  // offPalEntries
  rb_.U32(20);  // nSizeLast
  Emit(rb_.End());
  Drain(true);
  closed_ = true;
  if (failed_) {
    if (error) *error = error_;
    sink_->Abandon();
    return false;
  }

  SettleBounds();
  const Rect bounds = bounds_.Get();
  Rect frame{0, 0, -1, -1};
  if (!bounds_.Empty()) {
    // 0.01 mm from device pixels, truncated as GDI does.
    const int64_t devX = SaneExtent(ref_.szlDevice.cx), devY = SaneExtent(ref_.szlDevice.cy);
    const int64_t mmX = SaneExtent(ref_.szlMillimeters.cx) * 100;
    const int64_t mmY = SaneExtent(ref_.szlMillimeters.cy) * 100;
    auto clamp = [](int64_t v) {
      return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    frame = Rect{clamp(bounds.left * mmX / devX), clamp(bounds.top * mmY / devY),
                 clamp(bounds.right * mmX / devX), clamp(bounds.bottom * mmY / devY)};
  }
  const uint16_t nHandles = static_cast<uint16_t>(highestSlot_ + 1);

  RecordBuilder hb;
  EmfHeaderFields fields;
  fields.bounds = bounds;
  fields.frame = frame;
  fields.nBytes = static_cast<uint32_t>(nBytes_);
  fields.nRecords = static_cast<uint32_t>(nRecords_);
  fields.nHandles = nHandles;
  fields.description = description_;
  fields.device = ref_.szlDevice;
  fields.millimeters = ref_.szlMillimeters;
  const ByteView built = BuildEmfHeader(hb, fields);
  const std::vector<uint8_t> header(built.data, built.data + built.size);
  if (header.size() != headerSize_) {  // cannot happen; the placeholder had this size
    if (error) *error = "The metafile header does not fit.";
    sink_->Abandon();
    return false;
  }
  if (!sink_->Finish(header, error)) return false;
  finished_ = true;

  summary_.rclBounds = bounds;
  summary_.rclFrame = frame;
  summary_.nBytes = static_cast<uint32_t>(nBytes_);
  summary_.nRecords = static_cast<uint32_t>(nRecords_);
  summary_.nHandles = nHandles;
  return true;
}

}  // namespace

EmfRecorder::~EmfRecorder() = default;

std::unique_ptr<EmfRecorder> EmfRecorder::CreateMemory(Objects& objects, const std::string& description,
                                                       const ReferenceDevice& ref) {
  return std::make_unique<Recorder>(objects, MakeMemorySink(), description, ref);
}

std::unique_ptr<EmfRecorder> EmfRecorder::CreateFile(Objects& objects, const std::string& path,
                                                     const std::string& description,
                                                     const ReferenceDevice& ref, std::string* error) {
  std::unique_ptr<RecordSink> sink = MakeFileSink(path, error);
  if (!sink) return nullptr;
  return std::make_unique<Recorder>(objects, std::move(sink), description, ref);
}

}  // namespace gdi
