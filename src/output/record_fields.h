// Record fields for the renderer: a field that lies outside its record reads
// as 0, which the drawing code treats as "nothing to draw".
#pragma once
#include <cstddef>
#include <cstdint>

#include "common/gdi/emf_reader.h"

namespace tsl {

inline int32_t I32(const gdi::EmfRecord& r, size_t off) {
  int32_t v = 0;
  r.I32(off, &v);
  return v;
}
inline uint32_t U32(const gdi::EmfRecord& r, size_t off) {
  uint32_t v = 0;
  r.U32(off, &v);
  return v;
}

}  // namespace tsl
