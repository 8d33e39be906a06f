// One planned conversion with everything around it: the older outputs kept
// aside, the run, its copies, what goes to standard output, and what the
// user is told.
#pragma once
#include "cli/plan.h"

namespace tsl {

class Progress;
class Reporter;

enum class JobStatus { Converted, Warned, Failed, Cancelled };

// `onlyFile`: the command line converts this file alone (a terminal then
// hears what it wrote).
JobStatus ConvertJob(const Job& job, Progress* progress, Reporter& reporter, bool onlyFile);

// Whether a run read something that is no plot: nothing it holds was
// executed, or nearly every command was unknown. *why says which.
struct RunResult;
bool LooksLikeNoPlot(const SettingsSet& settings, const RunResult& result, std::string* why);

}  // namespace tsl
