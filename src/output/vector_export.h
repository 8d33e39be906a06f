// Export of any metafile as SVG or PDF through cairo's vector surfaces: lines
// stay lines, and PDF text stays text that can be searched and copied.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tsl {

enum class VectorFormat { Svg, Pdf };

// Writes the metafile at the size of its frame (in points), or `width`
// points wide with the frame's proportions when width > 0. False with a
// reason in *error. When `cancel` is raised, playing stops and nothing is
// written. A PDF is dated SOURCE_DATE_EPOCH when that is set, so that two
// runs give the same bytes.
bool EmfToVectorFile(const uint8_t* emf, size_t size, VectorFormat format, const std::string& path, double width,
                     std::string* error, const std::atomic<bool>* cancel = nullptr);
// The same for a metafile file (EMF, EMZ, WMF), read as it is drawn.
bool EmfToVectorFile(const std::string& metafilePath, VectorFormat format, const std::string& path, double width,
                     std::string* error, const std::atomic<bool>* cancel = nullptr);

}  // namespace tsl
