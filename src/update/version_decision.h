// What the update server's reply means for the running release, and the
// texts that tell the user.
#pragma once
#include <string>

#include "platform/notices.h"

namespace tsl {

// The running release.
constexpr long kRunningMajor = 5;
constexpr long kRunningMinor = 4;
constexpr long kRunningBuild = 1110;
constexpr const char kRunningVersionText[] = "Version 5.4 Build 1110";
constexpr const char kProductName[] = "Tessella";

// The release a reply names: -1 for a number it lacks, an empty date when
// it gives none.
struct PublishedRelease {
  long major = -1;
  long minor = -1;
  long build = -1;
  std::string relDate;
};

enum class VersionVerdict {
  Current,     // the reply names the running release
  Different,   // it names any other one, older or newer
  NotOk,       // the status was not 200
  Unreadable,  // a 200 reply that does not name a whole release
};

struct VersionDecision {
  VersionVerdict verdict = VersionVerdict::NotOk;
  PublishedRelease release;
};

// Reads "RelDate", "Vmajor", "Vminor" and "Vbuild" from the body: each is
// found as plain text and counts only where an "=" follows it at once.
PublishedRelease ReadPublishedRelease(const std::string& body);
// The decision for a reply with HTTP status `status` and body text `body`.
VersionDecision DecideVersion(int status, const std::string& body);

// The question "A new version of ... is available ..." for `release`
// ("Update Available", Yes and No), and the confirmation "You are currently
// running ..." ("Tessella is up-to-date").
Notice UpdateAvailableNotice(const PublishedRelease& release);
Notice UpToDateNotice();
// "Version M.m Build B".
std::string VersionText(const PublishedRelease& release);
// The product's web page.
std::string ProductPageAddress();

}  // namespace tsl
