// The gdi headers come first: <windows.h> defines macros that would rewrite
// their declarations.
#include "windows/gdi_recorder.h"

#include <optional>
#include <type_traits>

#include "windows/hdc_device.h"

#include "platform/windows_lean.h"

namespace tsl::test {

namespace {

struct MetafileDeleter {
  void operator()(HENHMETAFILE emf) const { ::DeleteEnhMetaFile(emf); }
};
using Metafile = std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, MetafileDeleter>;

// A recording DC: closing it is the only way to let it go, and an abandoned
// recording's metafile is deleted at once.
struct RecordingDcCloser {
  void operator()(HDC dc) const { ::DeleteEnhMetaFile(::CloseEnhMetaFile(dc)); }
};
using RecordingDc = std::unique_ptr<std::remove_pointer_t<HDC>, RecordingDcCloser>;

class GdiRecorder final : public gdi::EmfRecorder {
 public:
  GdiRecorder(RecordingDc dc, const gdi::Objects& objects) : dc_(std::move(dc)) {
    device_.emplace(dc_.get(), objects);
  }
  // The DC is closed before HdcDevice deletes the GDI objects it made, so
  // that none is still selected then.
  ~GdiRecorder() override {
    dc_.reset();
    device_.reset();
  }

  bool Close(std::string* error) override {
    if (!dc_) return Fail(error, "the metafile is closed already");
    Metafile emf(::CloseEnhMetaFile(dc_.release()));
    if (!emf) return Fail(error, "CloseEnhMetaFile failed");
    UINT size = ::GetEnhMetaFileBits(emf.get(), 0, nullptr);
    bytes_.resize(size);
    if (size == 0 || ::GetEnhMetaFileBits(emf.get(), size, bytes_.data()) != size) {
      bytes_.clear();
      return Fail(error, "GetEnhMetaFileBits failed");
    }
    ENHMETAHEADER h{};
    if (!::GetEnhMetaFileHeader(emf.get(), sizeof h, &h)) return Fail(error, "GetEnhMetaFileHeader failed");
    summary_.rclBounds = {h.rclBounds.left, h.rclBounds.top, h.rclBounds.right, h.rclBounds.bottom};
    summary_.rclFrame = {h.rclFrame.left, h.rclFrame.top, h.rclFrame.right, h.rclFrame.bottom};
    summary_.nBytes = h.nBytes;
    summary_.nRecords = h.nRecords;
    summary_.nHandles = h.nHandles;
    return true;
  }
  gdi::EmfSummary Summary() const override { return summary_; }
  const std::vector<uint8_t>& Bytes() const override { return bytes_; }

  // Drawing after Close goes nowhere, as with EmfRecorder.
  void SetMapMode(int mode) override { if (dc_) device_->SetMapMode(mode); }
  void SetGraphicsMode(int mode) override { if (dc_) device_->SetGraphicsMode(mode); }
  void SetBkMode(int mode) override { if (dc_) device_->SetBkMode(mode); }
  void SetTextAlign(uint32_t align) override { if (dc_) device_->SetTextAlign(align); }
  void SetTextColor(gdi::COLORREF c) override { if (dc_) device_->SetTextColor(c); }
  void SetPolyFillMode(int mode) override { if (dc_) device_->SetPolyFillMode(mode); }
  void SetArcDirection(int d) override { if (dc_) device_->SetArcDirection(d); }
  void SetBrushOrgEx(int32_t x, int32_t y) override { if (dc_) device_->SetBrushOrgEx(x, y); }
  void SelectClipRgnNone() override { if (dc_) device_->SelectClipRgnNone(); }
  void IntersectClipRect(int32_t l, int32_t t, int32_t r, int32_t b) override {
    if (dc_) device_->IntersectClipRect(l, t, r, b);
  }
  gdi::Handle SelectObject(gdi::Handle h) override { return dc_ ? device_->SelectObject(h) : 0; }
  bool DeleteObject(gdi::Handle h) override { return dc_ && device_->DeleteObject(h); }
  void MoveToEx(int32_t x, int32_t y) override { if (dc_) device_->MoveToEx(x, y); }
  void LineTo(int32_t x, int32_t y) override { if (dc_) device_->LineTo(x, y); }
  void Polyline(const gdi::Point* p, size_t n) override { if (dc_) device_->Polyline(p, n); }
  void PolylineTo(const gdi::Point* p, size_t n) override { if (dc_) device_->PolylineTo(p, n); }
  void PolyBezierTo(const gdi::Point* p, size_t n) override { if (dc_) device_->PolyBezierTo(p, n); }
  void Polygon(const gdi::Point* p, size_t n) override { if (dc_) device_->Polygon(p, n); }
  void Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
           int32_t ye) override {
    if (dc_) device_->Arc(l, t, r, b, xs, ys, xe, ye);
  }
  void ArcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
             int32_t ye) override {
    if (dc_) device_->ArcTo(l, t, r, b, xs, ys, xe, ye);
  }
  void Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe,
           int32_t ye) override {
    if (dc_) device_->Pie(l, t, r, b, xs, ys, xe, ye);
  }
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override {
    if (dc_) device_->Rectangle(l, t, r, b);
  }
  void FillRect(const gdi::Rect& rc, gdi::Handle brush) override { if (dc_) device_->FillRect(rc, brush); }
  void SetPixel(int32_t x, int32_t y, gdi::COLORREF c) override { if (dc_) device_->SetPixel(x, y, c); }
  void TextOutA(int32_t x, int32_t y, const char* text, size_t n) override {
    if (dc_) device_->TextOutA(x, y, text, n);
  }
  gdi::Point GetCurrentPositionEx() const override {
    return dc_ ? device_->GetCurrentPositionEx() : gdi::Point{};
  }
  void BeginPath() override { if (dc_) device_->BeginPath(); }
  void EndPath() override { if (dc_) device_->EndPath(); }
  void CloseFigure() override { if (dc_) device_->CloseFigure(); }
  void StrokePath() override { if (dc_) device_->StrokePath(); }
  void FillPath() override { if (dc_) device_->FillPath(); }

 private:
  static bool Fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
  }

  RecordingDc dc_;
  std::optional<HdcDevice> device_;
  gdi::EmfSummary summary_;
  std::vector<uint8_t> bytes_;
};

}  // namespace

std::unique_ptr<gdi::EmfRecorder> CreateGdiRecorder(const gdi::Objects& objects,
                                                    const std::string& description) {
  RecordingDc dc(::CreateEnhMetaFileA(nullptr, nullptr, nullptr,
                                      description.empty() ? nullptr : description.c_str()));
  if (!dc) return nullptr;
  return std::make_unique<GdiRecorder>(std::move(dc), objects);
}

}  // namespace tsl::test
