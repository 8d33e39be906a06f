// Records a few device calls into a memory metafile and parses the result,
// for tests that look at the records.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/gdi/emf_reader.h"
#include "common/gdi/emf_recorder.h"
#include "common/gdi/emf_types.h"

namespace tsl::test {

inline const std::string kDescription = std::string("Tessella\0plot.plt\0\0", 19);

class Recording {
 public:
  using Draw = std::function<void(gdi::EmfRecorder&, gdi::Objects&)>;

  // SetMapMode(mapMode) first unless mapMode is 0.
  explicit Recording(const Draw& draw, int mapMode = gdi::MM_LOMETRIC,
                     const std::string& description = kDescription) {
    auto rec = gdi::EmfRecorder::CreateMemory(objects, description);
    if (mapMode) rec->SetMapMode(mapMode);
    draw(*rec, objects);
    std::string error;
    closed = rec->Close(&error);
    summary = rec->Summary();
    bytes = rec->Bytes();
    parsed = reader.Parse(bytes.data(), bytes.size(), &error);
    EXPECT_TRUE(closed && parsed) << error;
  }
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  const std::vector<gdi::EmfRecord>& Records() const { return reader.Records(); }
  // The records of one type, in order.
  std::vector<gdi::EmfRecord> OfType(uint32_t type) const {
    std::vector<gdi::EmfRecord> out;
    for (const auto& r : Records())
      if (r.type == type) out.push_back(r);
    return out;
  }
  // The types of the records between the header (and the SetMapMode the
  // constructor wrote) and EMR_EOF.
  std::vector<uint32_t> DrawnTypes() const {
    std::vector<uint32_t> out;
    const auto& rs = Records();
    for (size_t i = first_drawn(); i + 1 < rs.size(); ++i) out.push_back(rs[i].type);
    return out;
  }
  std::string Dump() const { return gdi::DumpEmf(reader); }

  gdi::Objects objects;
  bool closed = false, parsed = false;
  gdi::EmfSummary summary;
  std::vector<uint8_t> bytes;
  gdi::EmfReader reader;

 private:
  size_t first_drawn() const {
    const auto& rs = Records();
    return rs.size() > 1 && rs[1].type == gdi::EMR_SETMAPMODE ? 2 : 1;
  }
};

inline uint32_t U32(const gdi::EmfRecord& r, size_t off) {
  uint32_t v = 0;
  EXPECT_TRUE(r.U32(off, &v)) << "offset " << off << " of a " << r.size << "-byte record";
  return v;
}
inline int32_t I32(const gdi::EmfRecord& r, size_t off) { return static_cast<int32_t>(U32(r, off)); }
inline gdi::Rect RectAt(const gdi::EmfRecord& r, size_t off) {
  return gdi::Rect{I32(r, off), I32(r, off + 4), I32(r, off + 8), I32(r, off + 12)};
}

}  // namespace tsl::test

namespace gdi {
inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
}  // namespace gdi
