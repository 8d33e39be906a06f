// The logical GDI objects of one conversion run. Objects live apart from any
// metafile, as GDI objects do: a brush made before a page split is still
// valid on the next page, and a measure-only run (no device) may still make
// them. A recorder writes an object's creation record when the object is
// first selected into its metafile, as GDI does.
#pragma once
#include <cstdint>
#include <cstddef>
#include <variant>
#include <vector>

#include "common/gdi/types.h"

namespace gdi {

enum class ObjectKind { None, Pen, Brush, Font };

using ObjectData = std::variant<std::monostate, LogPen, LogBrush, LogFont>;

class Objects {
 public:
  Handle CreatePen(uint32_t style, int32_t width, COLORREF color);
  // ExtCreatePen with a solid brush; at most 16 dashes (GDI's limit) are
  // kept.
  Handle ExtCreatePen(uint32_t style, int32_t width, COLORREF color, const uint32_t* dashes, size_t count);
  Handle CreateSolidBrush(COLORREF color);
  Handle CreateHatchBrush(uint32_t hatch, COLORREF color);
  Handle CreateFontIndirect(const LogFont& font);

  // Forgets the object. Returns false for stock objects and unknown handles.
  bool Remove(Handle h);

  ObjectKind Kind(Handle h) const;
  const ObjectData* Find(Handle h) const;  // nullptr when unknown or stock
  size_t LiveCount() const;
  // A number unique to this creation of the object (handles are reused
  // after Remove), 0 when unknown or stock. Recorders key their slots by it.
  uint64_t Serial(Handle h) const;

 private:
  Handle Add(ObjectData data);
  std::vector<ObjectData> table_;  // index = handle - 1
  std::vector<uint64_t> serials_;  // parallel to table_
  std::vector<Handle> free_;
  uint64_t lastSerial_ = 0;
};

ObjectKind StockKind(Handle h);

}  // namespace gdi
