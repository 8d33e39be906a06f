// The raster copies a command line asks for after each conversion.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cli/plan.h"
#include "interpreter/tessella.h"

namespace tsl {

// Writes the PNG, JPEG and BMP copies that the job asks for, in that order,
// of every page (plan.png, plan-2.png, ...), each as wide as its switch
// asked and as high as the page's proportions give. Adds the names written
// to *written. False when any could not be written (the writer told the
// user) or an interrupt stopped it.
bool ExportPages(Notices& notices, const Job& job, const RunResult& result, std::vector<std::string>* written);

}  // namespace tsl
