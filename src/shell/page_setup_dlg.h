// The Page Setup dialog: margins, fitting, heading and footer templates
// and the printer, written to the settings on OK.
#pragma once
#include "shell/print_job.h"

namespace tsl::shell {

// Opens dialog 4000 on the record; true when it ended with OK (the nine
// page-setup values were then written).
bool MyPageSetupDlg(HWND owner, PrintRecord* record);

}  // namespace tsl::shell
