// The host viewer's progress plug-in (TSL4HV.DLL, TSLSetProgress), loaded
// when a DDE run first reports progress and freed when the run ends. A
// missing library or function only means no progress display.
#pragma once
#include <string>

namespace tsl::dde {

// Passes `percent` on to the plug-in when it differs from the last one.
void PluginProgress(const std::string& service, int percent);
// Frees the plug-in; the next run's first percentage is passed whatever it is.
void PluginRelease();

}  // namespace tsl::dde
