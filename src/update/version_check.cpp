#include "update/version_check.h"

#include <cstdio>

#include "common/notify.h"
#include "resources/string_ids.h"

namespace tsl {

namespace {

std::string Seconds(int ms) {
  if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
  return Format("%.1f s", ms / 1000.0);
}

std::string WithSystemText(std::string text, const NetStatus& net) {
  if (!net.systemText.empty()) text += ": " + net.systemText;
  return text;
}

// What a reply that stopped short did: stalled past a bound, failed, or ended.
std::string HowItStopped(const NetStatus& net, int receiveMs) {
  if (net.failure == NetFailure::ReceiveTimeout) return "stalled (no data within " + Seconds(receiveMs) + ")";
  if (net.failure == NetFailure::Receive) return WithSystemText("failed", net);
  return "ended";
}

}  // namespace

VersionCheck RunVersionCheck(const UpdateServer& server, const HttpTimeouts& timeouts) {
  VersionCheck check;
  check.server = server;
  check.timeouts = timeouts;
  if (server.off) return check;
  char query[24];
  std::snprintf(query, sizeof query, "app=%s", kProductName);
  std::string request = HttpRequestText(ACTION_GET, VCHK_PATH, query, server.host, server.port);
  char body[kVersionBodyCapacity + 1];
  HttpEndpoint to{server.host, server.port, timeouts};
  size_t length = DoHttpSocketEx(to, request, &check.status, kVersionBodyCapacity, body, &check.report);
  check.body.assign(body, length);
  // Only a whole reply decides: a cut one may have lost digits of a number.
  if (check.report.failure == HttpFailure::None) check.decision = DecideVersion(check.status, body);
  return check;
}

VersionCheck RunConfiguredVersionCheck(const HttpTimeouts& timeouts) {
  UpdateServer server;
  std::string why;
  if (!ReadUpdateServer(&server, &why)) {
    VersionCheck check;
    check.setupProblem = why;
    return check;
  }
  return RunVersionCheck(server, timeouts);
}

std::string DescribeFailure(const VersionCheck& check) {
  if (!check.setupProblem.empty()) return check.setupProblem;
  if (check.server.off) return "the update check is turned off (UpdateServer is \"off\")";
  std::string where = UpdateServerText(check.server);
  if (check.server.port == kDefaultUpdatePort) where += ":80";
  const NetStatus& net = check.report.net;
  int receiveMs = check.timeouts.receiveMs;
  switch (check.report.failure) {
    case HttpFailure::None: break;
    case HttpFailure::NoMemory: return "there was no memory for the reply";
    case HttpFailure::Connection:
      switch (net.failure) {
        case NetFailure::NoNetwork: return WithSystemText("the network could not be used", net);
        case NetFailure::Resolve:
          return WithSystemText("the host name '" + check.server.host + "' could not be resolved", net);
        case NetFailure::NoSocket: return WithSystemText("no socket could be made", net);
        case NetFailure::Refused: return where + " refused the connection (nothing listens there)";
        case NetFailure::ConnectTimeout:
          return where + " did not accept the connection within " + Seconds(check.timeouts.connectMs);
        default: return WithSystemText("could not connect to " + where, net);
      }
    case HttpFailure::Send: return WithSystemText("the request could not be sent to " + where, net);
    case HttpFailure::NoReply:
      if (net.failure == NetFailure::ReceiveTimeout) return where + " sent no reply within " + Seconds(receiveMs);
      return WithSystemText(where + " closed the connection without a reply", net);
    case HttpFailure::CutInHeaders:
      return "the reply from " + where + " " + HowItStopped(net, receiveMs) + " within its headers";
    case HttpFailure::CutInBody:
      return "the reply from " + where + " " + HowItStopped(net, receiveMs) + " before its body was complete";
    case HttpFailure::HeadersTooLong: return "the reply from " + where + " has too many headers";
    case HttpFailure::TooSlow:
      return "the reply from " + where + " took longer than " + Seconds(check.timeouts.replyMs);
  }
  switch (check.decision.verdict) {
    case VersionVerdict::NotOk:
      if (check.status == 0) return where + " did not answer with an HTTP status line";
      return where + " answered with HTTP status " + std::to_string(check.status);
    case VersionVerdict::Unreadable: {
      std::string missing;
      const PublishedRelease& r = check.decision.release;
      for (auto [name, value] : {std::pair<const char*, long>{"Vmajor", r.major}, {"Vminor", r.minor},
                                 {"Vbuild", r.build}})
        if (value < 0) missing += std::string(missing.empty() ? "" : ", ") + name;
      return "the reply from " + where + " names no release (no " + missing + ")";
    }
    default: return std::string();
  }
}

void ShowVersionCheck(const VersionCheck& check, bool interactive, Notices& notices, const PageOpener& open) {
  switch (check.decision.verdict) {
    case VersionVerdict::Current:
      if (interactive) notices.Tell(UpToDateNotice());
      return;
    case VersionVerdict::Different: {
      if (notices.Tell(UpdateAvailableNotice(check.decision.release)) != NoticeAnswer::Yes) return;
      std::string systemText;
      if (!open(ProductPageAddress(), &systemText)) {
        Notice failed;  // the system's text alone
        failed.reason = systemText;
        failed.icon = NoticeIcon::Error;
        notices.Tell(failed);
      }
      return;
    }
    default:
      // A failed check stays silent in the window; only memory running out
      // is told, as everywhere.
      if (check.report.failure == HttpFailure::NoMemory)
        notices.Tell(MakeNotice(IDS_ALLOCATION_FAILED, {std::to_string(sizeof(RecvRecord))}, NoticeIcon::Error));
      return;
  }
}

void GetCurrentVersionInfo(Notices& notices, bool interactive, const PageOpener& open, const HttpTimeouts& timeouts) {
  ShowVersionCheck(RunConfiguredVersionCheck(timeouts), interactive, notices, open);
}

}  // namespace tsl
