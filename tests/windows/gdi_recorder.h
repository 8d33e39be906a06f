// An EmfRecorder whose records GDI writes: a memory metafile DC made with
// CreateEnhMetaFileA (the screen as reference device), drawn on through
// HdcDevice, so that a whole conversion can be recorded by GDI and compared
// with the same conversion recorded by ours.
#pragma once
#include <memory>
#include <string>

#include "common/gdi/emf_recorder.h"

namespace tsl::test {

// nullptr when GDI cannot make the DC. `description` is the 8-bit
// description with its NULs, as EmfRecorder takes it.
std::unique_ptr<gdi::EmfRecorder> CreateGdiRecorder(const gdi::Objects& objects,
                                                    const std::string& description);

}  // namespace tsl::test
