// Batch conversion: the planned jobs converted N at a time, with one
// progress line on a terminal.
#pragma once
#include <vector>

#include "cli/plan.h"

namespace tsl {

class Reporter;

struct BatchReport {
  int converted = 0;  // with or without warnings
  int warned = 0;
  int failed = 0;
  bool cancelled = false;
};

// Converts the jobs in order, `threads` at a time; stops starting new ones
// once interrupted.
BatchReport RunBatch(const std::vector<Job>& jobs, int threads, Reporter& reporter);

}  // namespace tsl
