// Writes EMF records directly, the way GDI's metafile DC records them, so
// that a conversion gives the same bytes on every platform.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/gdi/device.h"

namespace gdi {

// The reference device of the metafile. Away from Windows a fixed virtual
// screen, so that output never depends on the machine.
struct ReferenceDevice {
  Size szlDevice{1920, 1080};       // pixels
  Size szlMillimeters{508, 286};    // millimetres
};

// What a closed metafile reports (GetEnhMetaFileHeader).
struct EmfSummary {
  Rect rclBounds;
  Rect rclFrame;
  uint32_t nBytes = 0;
  uint32_t nRecords = 0;
  uint16_t nHandles = 0;
};

class EmfRecorder : public Device {
 public:
  // A metafile recorded into memory.
  static std::unique_ptr<EmfRecorder> CreateMemory(Objects& objects, const std::string& description,
                                                   const ReferenceDevice& ref = {});
  // A metafile streamed to a file. The records go to a temporary file beside
  // `path` and the file is renamed into place by a successful Close, so that
  // no truncated metafile ever stands under the final name; a file that
  // stood there before is replaced only then, and kept when the recording
  // fails or is abandoned. Memory use does not grow with the drawing.
  // Returns nullptr and sets *error (the system's text) when the file
  // cannot be created.
  // `description` is the 8-bit description with its embedded NULs
  // ("app\0picture\0\0"), stored as UTF-16 through code page 1252 and
  // always ending in two NULs; an empty one stores no description.
  static std::unique_ptr<EmfRecorder> CreateFile(Objects& objects, const std::string& path,
                                                 const std::string& description,
                                                 const ReferenceDevice& ref, std::string* error);
  ~EmfRecorder() override;

  // Writes EMR_EOF and the final header. False (with *error) on an I/O
  // failure or when the metafile would exceed 4 GB, in which case no file
  // is left under the final name. Calls after Close are ignored; a second
  // Close fails. Destroying the recorder without Close abandons it.
  virtual bool Close(std::string* error) = 0;
  // After Close: the header values of the finished metafile.
  virtual EmfSummary Summary() const = 0;
  // After Close of a memory metafile: the whole file.
  virtual const std::vector<uint8_t>& Bytes() const = 0;

 protected:
  EmfRecorder() = default;
};

}  // namespace gdi
