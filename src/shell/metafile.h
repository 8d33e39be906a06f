// An enhanced-metafile handle with an owner, and what the shell does with
// one: make it from bytes, take its bytes, fit it into a window.
#pragma once
// The core's GDI types first: <windows.h> defines macros (RGB, TRANSPARENT,
// ...) that would rewrite their declarations.
#include "common/gdi/types.h"

#include "platform/windows_lean.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tsl::shell {

class EnhMetaFile {
 public:
  EnhMetaFile() = default;
  explicit EnhMetaFile(HENHMETAFILE h) : h_(h) {}
  ~EnhMetaFile() { Reset(); }
  EnhMetaFile(EnhMetaFile&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  EnhMetaFile& operator=(EnhMetaFile&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  EnhMetaFile(const EnhMetaFile&) = delete;
  EnhMetaFile& operator=(const EnhMetaFile&) = delete;

  HENHMETAFILE get() const { return h_; }
  HENHMETAFILE Release() { return std::exchange(h_, nullptr); }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset() {
    if (h_) DeleteEnhMetaFile(h_);
    h_ = nullptr;
  }

 private:
  HENHMETAFILE h_ = nullptr;
};

// An enhanced metafile made from EMF bytes; empty when GDI refuses them.
EnhMetaFile MetafileFromBytes(const std::vector<uint8_t>& emf);
// The EMF bytes of a metafile; empty when GDI cannot give them.
std::vector<uint8_t> MetafileBytes(HENHMETAFILE emf);

// Where a picture whose frame is `frameWidth` x `frameHeight` (any unit) is
// drawn in a client area of `clientWidth` x `clientHeight` pixels: as large
// as fits with its proportions kept, centred. An empty frame or client
// gives an empty rectangle.
RECT FitToClient(long frameWidth, long frameHeight, long clientWidth, long clientHeight);


}  // namespace tsl::shell
