#include "update/version_decision.h"

#include "common/notify.h"
#include "common/strings.h"
#include "resources/string_ids.h"

namespace tsl {

namespace {

// Where the value of `key` begins: after the first occurrence of the key
// that an "=" follows at once; npos when there is none.
size_t ValueAt(const std::string& body, const char* key) {
  std::string tagged = std::string(key) + "=";
  size_t at = body.find(tagged);
  return at == std::string::npos ? at : at + tagged.size();
}

// A decimal number after optional blanks; -1 when there are no digits or
// more than nine of them.
long NumberAt(const std::string& body, size_t at) {
  if (at == std::string::npos) return -1;
  while (at < body.size() && (body[at] == ' ' || body[at] == '\t')) ++at;
  long value = 0;
  int digits = 0;
  for (; at < body.size() && body[at] >= '0' && body[at] <= '9'; ++at, ++digits) {
    if (digits == 9) return -1;
    value = value * 10 + (body[at] - '0');
  }
  return digits ? value : -1;
}

std::string Loaded(unsigned id) {
  std::string text;
  LoadString(id, &text);
  return text;
}

}  // namespace

PublishedRelease ReadPublishedRelease(const std::string& body) {
  PublishedRelease r;
  r.major = NumberAt(body, ValueAt(body, "Vmajor"));
  r.minor = NumberAt(body, ValueAt(body, "Vminor"));
  r.build = NumberAt(body, ValueAt(body, "Vbuild"));
  size_t at = ValueAt(body, "RelDate");
  if (at != std::string::npos) {
    // The date ends at the line's end, whether the server ends lines with
    // CR LF or LF alone; no control character reaches a message or a terminal.
    size_t end = at;
    while (end < body.size() && static_cast<unsigned char>(body[end]) >= 0x20 && body[end] != 0x7F) ++end;
    r.relDate = body.substr(at, end - at);
  }
  return r;
}

VersionDecision DecideVersion(int status, const std::string& body) {
  VersionDecision d;
  if (status != 200) return d;
  d.release = ReadPublishedRelease(body);
  const PublishedRelease& r = d.release;
  // A reply without the three numbers names no release at all (a proxy's
  // page, a server's error text): announcing "Version 4294967295..." would
  // be nonsense, so it counts as a failed check.
  if (r.major < 0 || r.minor < 0 || r.build < 0) d.verdict = VersionVerdict::Unreadable;
  else if (r.major == kRunningMajor && r.minor == kRunningMinor && r.build == kRunningBuild)
    d.verdict = VersionVerdict::Current;
  else d.verdict = VersionVerdict::Different;
  return d;
}

std::string VersionText(const PublishedRelease& r) {
  return Format("Version %ld.%ld Build %ld", r.major, r.minor, r.build);
}

Notice UpdateAvailableNotice(const PublishedRelease& r) {
  Notice n = MakeNotice(IDS_NEW_VERSION_QUESTION,
                        {kProductName, std::to_string(r.major), std::to_string(r.minor), std::to_string(r.build),
                         r.relDate, kRunningVersionText},
                        NoticeIcon::Information);
  n.buttons = NoticeButtons::YesNo;
  n.caption = "Update Available";
  return n;
}

Notice UpToDateNotice() {
  Notice n = MakeNotice(IDS_CURRENT_VERSION, {kRunningVersionText, kProductName}, NoticeIcon::Information);
  n.caption = "Tessella is up-to-date";
  return n;
}

std::string ProductPageAddress() { return Loaded(IDS_PRODUCT_PAGE); }

}  // namespace tsl
