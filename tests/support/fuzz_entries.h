// The bodies of the fuzz targets: each takes arbitrary bytes and must
// neither crash, hang, nor read or write out of bounds. The libFuzzer
// programs under tests/fuzz/ call them, and the normal suite runs them over
// the saved regression inputs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tsl::fuzz {

// The lexer and the whole interpreter; the first bytes choose the settings
// (every flag), the command buffer size and whether the run records.
void Interpreter(const uint8_t* data, size_t size);
// The parameter parser.
void GetArgsText(const uint8_t* data, size_t size);
// EmfReader and the dump.
void EmfReading(const uint8_t* data, size_t size);
// The renderer over whatever parses.
void EmfRendering(const uint8_t* data, size_t size);
// Recognition of EMF, WMF and placeable WMF, the WMF translation, and the
// rendering of what it gives.
void MetafileLoading(const uint8_t* data, size_t size);
// EMZ decompression with its output cap.
void Gunzip(const uint8_t* data, size_t size);
// The INI reader behind the settings file and .SET import.
void SettingsText(const uint8_t* data, size_t size);
// The PE decoder through its handler, under rotation, mirroring and scaling.
void PolylineEncoded(const uint8_t* data, size_t size);

struct Target {
  const char* name;
  void (*run)(const uint8_t*, size_t);
};
// Every target, by the name of its folder of saved inputs.
const std::vector<Target>& Targets();

}  // namespace tsl::fuzz
