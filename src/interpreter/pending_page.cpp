#include "interpreter/pending_page.h"

namespace tsl {

void PendingPage::Begin(const gdi::Objects& objects, const Start& start, Opener open) {
  objects_ = &objects;
  open_ = std::move(open);
  target_ = nullptr;
  failed_ = false;
  pen_ = start.pen ? start.pen : gdi::GetStockObject(gdi::BLACK_PEN);
  font_ = start.font ? start.font : gdi::GetStockObject(gdi::SYSTEM_FONT);
  brush_ = gdi::GetStockObject(gdi::NULL_BRUSH);
  align_ = gdi::TA_BASELINE | gdi::TA_CENTER;
  bkMode_ = gdi::TRANSPARENT;
  textColor_ = start.textColor;
  fillMode_ = arcDirection_ = 0;
  brushOrgSet_ = false;
  clip_.clear();
  positionSet_ = false;
  position_ = {};
}

gdi::Device* PendingPage::Target() {
  if (target_ || failed_) return target_;
  gdi::Device* dc = open_ ? open_() : nullptr;
  if (!dc) {
    failed_ = true;
    return nullptr;
  }
  // What the page had been given so far, in the order a page is set up.
  dc->SetTextAlign(align_);
  dc->SetBkMode(bkMode_);
  dc->SetTextColor(textColor_);
  for (gdi::Handle h : {pen_, font_, brush_}) dc->SelectObject(h);
  if (fillMode_) dc->SetPolyFillMode(fillMode_);
  if (arcDirection_) dc->SetArcDirection(arcDirection_);
  if (brushOrgSet_) dc->SetBrushOrgEx(brushOrg_.x, brushOrg_.y);
  for (const gdi::Rect& r : clip_) dc->IntersectClipRect(r.left, r.top, r.right, r.bottom);
  if (positionSet_) dc->MoveToEx(position_.x, position_.y);
  target_ = dc;
  return target_;
}

void PendingPage::SetBkMode(int mode) {
  if (target_) target_->SetBkMode(mode);
  else bkMode_ = mode;
}

void PendingPage::SetTextAlign(uint32_t align) {
  if (target_) target_->SetTextAlign(align);
  else align_ = align;
}

void PendingPage::SetTextColor(gdi::COLORREF color) {
  if (target_) target_->SetTextColor(color);
  else textColor_ = color;
}

void PendingPage::SetPolyFillMode(int mode) {
  if (target_) target_->SetPolyFillMode(mode);
  else fillMode_ = mode;
}

void PendingPage::SetArcDirection(int direction) {
  if (target_) target_->SetArcDirection(direction);
  else arcDirection_ = direction;
}

void PendingPage::SetBrushOrgEx(int32_t x, int32_t y) {
  if (target_) {
    target_->SetBrushOrgEx(x, y);
    return;
  }
  brushOrgSet_ = true;
  brushOrg_ = {x, y};
}

void PendingPage::SelectClipRgnNone() {
  if (target_) target_->SelectClipRgnNone();
  else clip_.clear();
}

void PendingPage::IntersectClipRect(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (target_) target_->IntersectClipRect(l, t, r, b);
  else clip_.push_back({l, t, r, b});
}

gdi::Handle PendingPage::SelectObject(gdi::Handle h) {
  if (target_) return target_->SelectObject(h);
  // As a metafile would: the object of the same kind it replaced.
  gdi::Handle* slot = nullptr;
  switch (objects_ ? objects_->Kind(h) : gdi::StockKind(h)) {
    case gdi::ObjectKind::Pen: slot = &pen_; break;
    case gdi::ObjectKind::Brush: slot = &brush_; break;
    case gdi::ObjectKind::Font: slot = &font_; break;
    default: break;
  }
  if (!slot) return 0;
  gdi::Handle old = *slot;
  *slot = h;
  return old;
}

bool PendingPage::DeleteObject(gdi::Handle h) {
  if (target_) return target_->DeleteObject(h);
  // Nothing of the page refers to an object it does not hold.
  return h != pen_ && h != brush_ && h != font_;
}

void PendingPage::MoveToEx(int32_t x, int32_t y) {
  if (target_) {
    target_->MoveToEx(x, y);
    return;
  }
  positionSet_ = true;
  position_ = {x, y};
}

gdi::Point PendingPage::GetCurrentPositionEx() const {
  return target_ ? target_->GetCurrentPositionEx() : position_;
}

void PendingPage::LineTo(int32_t x, int32_t y) {
  if (gdi::Device* dc = Target()) dc->LineTo(x, y);
}
void PendingPage::Polyline(const gdi::Point* pts, size_t n) {
  if (gdi::Device* dc = Target()) dc->Polyline(pts, n);
}
void PendingPage::PolylineTo(const gdi::Point* pts, size_t n) {
  if (gdi::Device* dc = Target()) dc->PolylineTo(pts, n);
}
void PendingPage::PolyBezierTo(const gdi::Point* pts, size_t n) {
  if (gdi::Device* dc = Target()) dc->PolyBezierTo(pts, n);
}
void PendingPage::Polygon(const gdi::Point* pts, size_t n) {
  if (gdi::Device* dc = Target()) dc->Polygon(pts, n);
}
void PendingPage::Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) {
  if (gdi::Device* dc = Target()) dc->Arc(l, t, r, b, xs, ys, xe, ye);
}
void PendingPage::ArcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) {
  if (gdi::Device* dc = Target()) dc->ArcTo(l, t, r, b, xs, ys, xe, ye);
}
void PendingPage::Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) {
  if (gdi::Device* dc = Target()) dc->Pie(l, t, r, b, xs, ys, xe, ye);
}
void PendingPage::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (gdi::Device* dc = Target()) dc->Rectangle(l, t, r, b);
}
void PendingPage::FillRect(const gdi::Rect& rc, gdi::Handle brush) {
  if (gdi::Device* dc = Target()) dc->FillRect(rc, brush);
}
void PendingPage::SetPixel(int32_t x, int32_t y, gdi::COLORREF color) {
  if (gdi::Device* dc = Target()) dc->SetPixel(x, y, color);
}
void PendingPage::TextOutA(int32_t x, int32_t y, const char* text, size_t n) {
  if (gdi::Device* dc = Target()) dc->TextOutA(x, y, text, n);
}
void PendingPage::BeginPath() {
  if (gdi::Device* dc = Target()) dc->BeginPath();
}
void PendingPage::EndPath() {
  if (gdi::Device* dc = Target()) dc->EndPath();
}
void PendingPage::CloseFigure() {
  if (gdi::Device* dc = Target()) dc->CloseFigure();
}
void PendingPage::StrokePath() {
  if (gdi::Device* dc = Target()) dc->StrokePath();
}
void PendingPage::FillPath() {
  if (gdi::Device* dc = Target()) dc->FillPath();
}

}  // namespace tsl
