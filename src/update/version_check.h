// One version check: ask the update server which release is published,
// decide, and tell the user. The window shows message boxes through its
// notices; the command line states the outcome in a line.
#pragma once
#include <functional>
#include <string>

#include "platform/notices.h"
#include "update/http_client.h"
#include "update/update_server.h"
#include "update/version_decision.h"

namespace tsl {

// The request's fixed parts.
constexpr const char ACTION_GET[] = "GET";
constexpr const char VCHK_PATH[] = "/software/vercheck.php";
// The reply's body is read up to this many bytes.
constexpr size_t kVersionBodyCapacity = 1024;

struct VersionCheck {
  UpdateServer server;
  std::string setupProblem;  // the stored UpdateServer value cannot be used
  HttpTimeouts timeouts;
  int status = 0;
  std::string body;
  HttpReport report;
  VersionDecision decision;  // NotOk unless a whole reply came
};

// Asks `server` (nothing when it is off).
VersionCheck RunVersionCheck(const UpdateServer& server, const HttpTimeouts& timeouts = HttpTimeouts());
// The same for the server the settings name.
VersionCheck RunConfiguredVersionCheck(const HttpTimeouts& timeouts = HttpTimeouts());

// Why a check that reached no decision failed, in a sentence for the user.
std::string DescribeFailure(const VersionCheck& check);

// Opens a web page; false with the system's words on failure.
using PageOpener = std::function<bool(const std::string& address, std::string* systemText)>;

// Tells the user what the check found: another release in a Yes/No box
// (Yes opens the product page), the running one only when the user asked
// (`interactive`); a failed check says nothing.
void ShowVersionCheck(const VersionCheck& check, bool interactive, Notices& notices, const PageOpener& open);

// One whole check against the configured server, told through `notices`.
void GetCurrentVersionInfo(Notices& notices, bool interactive, const PageOpener& open,
                           const HttpTimeouts& timeouts = HttpTimeouts());

}  // namespace tsl
