// Windows metafiles (WMF) translated into enhanced metafiles, the role
// SetWinMetaFileBits plays on Windows, so that WMF and placeable WMF files
// open, render and export like any EMF.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tsl {

// The picture description of a placeable file (METAFILEPICT).
struct MetafilePict {
  int32_t mm = 8;    // MM_ANISOTROPIC
  int32_t xExt = 0;  // 0.01 mm
  int32_t yExt = 0;
  // The placeable header's bounding box, the window the picture fills.
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Translates `size` bytes of WMF into EMF bytes. Without `mfp` the picture
// fills the reference surface. The common records are translated; others
// are skipped; a damaged record ends the picture. False with a reason when
// the data are not a WMF at all.
bool WmfToEmf(const uint8_t* wmf, size_t size, const MetafilePict* mfp, std::vector<uint8_t>* emf,
              std::string* error);

}  // namespace tsl
