// The kind of a metafile by its content, and the one dispatch by kind that
// both loaders share: the portable one converts EMF and WMF itself, the
// Windows one hands them to GDI.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tsl {

enum class MetafileKind { Emf, Placeable, Wmf };

MetafileKind RecogniseMetafile(const uint8_t* data, size_t size);

// Turns data of one kind into an enhanced metafile; *error says why not.
using MetafileStep = bool (*)(const uint8_t* data, size_t size, std::vector<uint8_t>* emf,
                              std::string* error);

// Converts data held in memory by its kind: EMF through `emfStep`, plain
// WMF through `wmfStep`, placeable files through LoadPlaceableMetaFile. A
// failure writes one "<prefix>: <call> failed" debug line, `prefix` being
// "LMF" for a file and "LMFR" for a resource.
bool LoadByKind(const uint8_t* data, size_t size, std::vector<uint8_t>* emf, const char* prefix,
                MetafileStep emfStep, MetafileStep wmfStep, std::string* error);

}  // namespace tsl
