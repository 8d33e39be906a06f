// Shared by the label tests.
#pragma once
#include "support/handler_fixture.h"

namespace tsl::test {

// IN, then forgets what it recorded, logged and counted.
inline void InitFresh(HandlerFixture& f) {
  f.Init();
  f.ps.nExecuted = f.ps.nIgnored = f.ps.nErrors = 0;
}

}  // namespace tsl::test
