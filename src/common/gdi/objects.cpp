#include "common/gdi/objects.h"

namespace gdi {

Handle Objects::Add(ObjectData data) {
  if (!free_.empty()) {
    Handle h = free_.back();
    free_.pop_back();
    table_[h - 1] = std::move(data);
    serials_[h - 1] = ++lastSerial_;
    return h;
  }
  table_.push_back(std::move(data));
  serials_.push_back(++lastSerial_);
  return static_cast<Handle>(table_.size());
}

Handle Objects::CreatePen(uint32_t style, int32_t width, COLORREF color) {
  return Add(LogPen{style, width, color});
}
Handle Objects::ExtCreatePen(uint32_t style, int32_t width, COLORREF color, const uint32_t* dashes,
                             size_t count) {
  LogPen pen{style, width, color};
  pen.extended = true;
  pen.entries = static_cast<uint32_t>(count < 16 ? count : 16);
  for (uint32_t i = 0; i < pen.entries; ++i) pen.dashes[i] = dashes[i];
  return Add(pen);
}

Handle Objects::CreateSolidBrush(COLORREF color) { return Add(LogBrush{BS_SOLID, color, 0}); }
Handle Objects::CreateHatchBrush(uint32_t hatch, COLORREF color) {
  return Add(LogBrush{BS_HATCHED, color, hatch});
}
Handle Objects::CreateFontIndirect(const LogFont& font) { return Add(font); }

const ObjectData* Objects::Find(Handle h) const {
  if (h == 0 || IsStock(h) || h > table_.size()) return nullptr;
  const ObjectData& d = table_[h - 1];
  return std::holds_alternative<std::monostate>(d) ? nullptr : &d;
}

bool Objects::Remove(Handle h) {
  if (!Find(h)) return false;
  table_[h - 1] = std::monostate{};
  free_.push_back(h);
  return true;
}

ObjectKind Objects::Kind(Handle h) const {
  if (IsStock(h)) return StockKind(h);
  const ObjectData* d = Find(h);
  if (!d) return ObjectKind::None;
  if (std::holds_alternative<LogPen>(*d)) return ObjectKind::Pen;
  if (std::holds_alternative<LogBrush>(*d)) return ObjectKind::Brush;
  return ObjectKind::Font;
}

uint64_t Objects::Serial(Handle h) const { return Find(h) ? serials_[h - 1] : 0; }

size_t Objects::LiveCount() const { return table_.size() - free_.size(); }

ObjectKind StockKind(Handle h) {
  if (!IsStock(h)) return ObjectKind::None;
  switch (h & ~kStockFlag) {
    case WHITE_BRUSH: case LTGRAY_BRUSH: case GRAY_BRUSH: case DKGRAY_BRUSH: case BLACK_BRUSH:
    case NULL_BRUSH:
      return ObjectKind::Brush;
    case WHITE_PEN: case BLACK_PEN: case NULL_PEN:
      return ObjectKind::Pen;
    case OEM_FIXED_FONT: case ANSI_FIXED_FONT: case ANSI_VAR_FONT: case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: case SYSTEM_FIXED_FONT: case DEFAULT_GUI_FONT:
      return ObjectKind::Font;
    default:
      return ObjectKind::None;
  }
}

}  // namespace gdi
