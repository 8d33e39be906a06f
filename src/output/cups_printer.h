// The print queues of CUPS: which one to print to, its paper, and sending
// it a finished PDF. CUPS_SERVER and the user's lpoptions choose the
// server and the default queue, as for every other program.
#pragma once
#include <string>

#include "output/print_page.h"

namespace tsl {

// Looks up the queue `name` (empty: the default queue) and its default
// paper and resolution; A4 and 600 dpi where the queue does not say. On
// success *queue holds the queue's name. False with a reason in *error.
bool FindPrinter(const std::string& name, std::string* queue, PrinterPaper* paper, std::string* error);

// Queues the PDF file at `pdf` on `queue` under the job name `title`.
// Returns the job number, or 0 with a reason in *error.
int SendToPrinter(const std::string& queue, const std::string& pdf, const std::string& title, std::string* error);

}  // namespace tsl
