#include "cli/check_update.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

#include "cli/terminal_notices.h"
#include "settings/settings_registry.h"
#include "update/version_check.h"

namespace tsl {

namespace {

constexpr int kOk = 0, kFailed = 1, kUsage = 2, kDifferent = 3;

const char kHelp[] =
    "Usage: tessella --check-update [--timeout SECONDS]\n"
    "Asks the update server whether a release other than this one is published.\n"
    "\n"
    "  --timeout SECONDS   the longest wait for each step (look-up, connection,\n"
    "                      each piece of the reply); the whole reply may take three\n"
    "                      times as long (default 5)\n"
    "\n"
    "The server is the product's own unless 'tessella settings set UpdateServer\n"
    "HOST[:PORT]' names another; 'off' turns the check off.\n"
    "Exit status: 0 this is the published release, 3 another release is published,\n"
    "1 the check failed (the reason is printed), 2 usage error.\n";

int Usage(std::ostream& err, const std::string& problem) {
  err << "tessella: " << problem << "\nTry 'tessella --check-update --help'.\n";
  return kUsage;
}

// Seconds, with a fraction if wanted, from 0.1 to 600.
bool ParseSeconds(const std::string& text, int* ms) {
  char* end = nullptr;
  double s = std::strtod(text.c_str(), &end);
  if (text.empty() || *end || !(s >= 0.1 && s <= 600)) return false;
  *ms = static_cast<int>(s * 1000 + 0.5);
  return true;
}

}  // namespace

int RunCheckUpdate(int argc, char** argv, std::ostream& out, std::ostream& err) {
  HttpTimeouts timeouts;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      out << kHelp;
      return kOk;
    }
    std::string value;
    if (a == "--timeout") {
      if (i + 1 >= argc) return Usage(err, "--timeout needs a number of seconds");
      value = argv[++i];
    } else if (a.compare(0, 10, "--timeout=") == 0) {
      value = a.substr(10);
    } else {
      return Usage(err, "--check-update takes no '" + a + "'");
    }
    int ms;
    if (!ParseSeconds(value, &ms)) return Usage(err, "--timeout needs a number of seconds from 0.1 to 600");
    timeouts.resolveMs = timeouts.connectMs = timeouts.receiveMs = ms;
    timeouts.replyMs = 3 * ms;
  }

  VersionCheck check = RunConfiguredVersionCheck(timeouts);
  const PublishedRelease& r = check.decision.release;
  switch (check.decision.verdict) {
    case VersionVerdict::Current:
      out << "Tessella is up-to-date: " << kRunningVersionText << " is the current version.\n";
      return kOk;
    case VersionVerdict::Different:
      out << "A new version of Tessella is available: " << VersionText(r)
          << (r.relDate.empty() ? " is published" : " was released " + r.relDate) << " (you are running "
          << kRunningVersionText << "); see " << ProductPageAddress() << "\n";
      return kDifferent;
    default:
      err << "tessella: the update check failed: " << DescribeFailure(check) << "\n";
      return kFailed;
  }
}

int RunCheckUpdate(int argc, char** argv) { return RunCheckUpdate(argc, argv, std::cout, std::cerr); }

bool IsUpdateServerKey(const std::string& key) {
  if (key.size() != std::strlen(kUpdateServerValue)) return false;
  for (size_t i = 0; i < key.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(key[i])) !=
        std::tolower(static_cast<unsigned char>(kUpdateServerValue[i])))
      return false;
  return true;
}

int SetUpdateServerSetting(const std::string& value, bool inSet, std::ostream& out, std::ostream& err) {
  const char* prefix = "tessella settings: ";
  if (inSet) {
    err << prefix << "UpdateServer belongs to no settings set: leave out --set\n"
        << "Try 'tessella settings --help'.\n";
    return kUsage;
  }
  UpdateServer server;
  std::string why;
  if (!ParseUpdateServer(value, &server, &why)) {
    err << prefix << why << "\nTry 'tessella settings --help'.\n";
    return kUsage;
  }
  bool productServer = value.find_first_not_of(" \t") == std::string::npos;
  std::string stored = UpdateServerText(server);
  TerminalNotices notices({}, &err);
  if (!WriteSettingsString(notices, nullptr, kUpdateServerValue, productServer ? nullptr : stored.c_str())) {
    err << prefix << "could not change UpdateServer\n";
    return kFailed;
  }
  out << "UpdateServer = " << (productServer ? "(empty: " + stored + ")" : stored) << "\n";
  return kOk;
}

}  // namespace tsl
