// cairo's write callback onto a stdio stream, keeping the first write
// error so that a failed export can say what the system said.
#pragma once
#include <cairo.h>

#include <cerrno>
#include <cstdio>

namespace tsl {

struct CairoFileTarget {
  FILE* file;
  int error = 0;  // errno of the first failed write
};

inline cairo_status_t WriteToCairoFile(void* closure, const unsigned char* data, unsigned int length) {
  auto* target = static_cast<CairoFileTarget*>(closure);
  if (std::fwrite(data, 1, length, target->file) == length) return CAIRO_STATUS_SUCCESS;
  if (!target->error) target->error = errno ? errno : EIO;
  return CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace tsl
