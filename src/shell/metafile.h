// An enhanced-metafile handle with an owner, and what the shell does with
// one: load it, take its frame, play it fitted into a window.
#pragma once
#include "platform/windows_lean.h"

#include <string>
#include <utility>

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
  explicit operator bool() const { return h_ != nullptr; }
  void Reset() {
    if (h_) DeleteEnhMetaFile(h_);
    h_ = nullptr;
  }

 private:
  HENHMETAFILE h_ = nullptr;
};

// The enhanced metafile at `path`; empty, with the system's text in *error,
// when it cannot be opened or is no enhanced metafile.
EnhMetaFile OpenEnhMetaFile(const std::string& path, std::string* error);

// Where a picture whose frame is `frameWidth` x `frameHeight` (any unit) is
// drawn in a client area of `clientWidth` x `clientHeight` pixels: as large
// as fits with its proportions kept, centred. An empty frame or client
// gives an empty rectangle.
RECT FitToClient(long frameWidth, long frameHeight, long clientWidth, long clientHeight);

// Plays `emf` into `dc`, fitted into `client`.
void PaintFitted(HDC dc, HENHMETAFILE emf, const RECT& client);

}  // namespace tsl::shell
