// The statistics block that closes every page of the log.
#pragma once
#include <cstdint>
#include <string>

#include "common/gdi/emf_recorder.h"
#include "interpreter/plotter_state.h"

namespace tsl {

class Clock;

// `metafile` is the closed page's summary, or nullptr when there is none
// (measure-only, or the metafile could not be made).
void LogConversionStats(const gdi::EmfSummary* metafile, PlotterState& ps, int64_t started,
                        const Clock& clock);

// A number the way the runtime's _gcvt writes it with `digits` significant
// digits: a whole number keeps its decimal point (1188 gives "1188.").
std::string Gcvt(double value, int digits);

// "1023 Bytes", "1. KB", "1.5 MB": a file size as the save confirmation
// shows it.
std::string SizeText(uint64_t size);

}  // namespace tsl
