// The whole check against our loopback server, one port per kind of reply:
// what was received (status, body text), where it stopped short, and the
// decision. Runs natively and under Wine (WinSock).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "test_servers.h"
#include "update/version_check.h"

namespace tsl {
namespace {

using test::ServerPort;

const std::string kRelease = "RelDate=2024-05-01\r\nVmajor=5\r\nVminor=4\r\nVbuild=1111\r\n";

HttpTimeouts Quick() {
  HttpTimeouts t;
  t.resolveMs = t.connectMs = 2000;
  t.receiveMs = 400;
  t.replyMs = 1200;
  return t;
}

struct Timed {
  VersionCheck check;
  double seconds;
};

Timed Check(const std::string& name, const std::string& host = "127.0.0.1") {
  UpdateServer server;
  server.host = host;
  server.port = ServerPort(name);
  auto start = std::chrono::steady_clock::now();
  VersionCheck check = RunVersionCheck(server, Quick());
  return {check, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}

struct Expected {
  const char* name;
  int status;
  std::string body;
  HttpFailure failure;
  VersionVerdict verdict;
  long build;            // of the release named, -1 for none
  const char* relDate;
};

void PrintTo(const Expected& e, std::ostream* os) { *os << e.name; }

class LoopbackCheck : public ::testing::TestWithParam<Expected> {};

TEST_P(LoopbackCheck, StatusBodyAndDecision) {
  const Expected& e = GetParam();
  Timed t = Check(e.name);
  EXPECT_EQ(t.check.status, e.status);
  EXPECT_EQ(t.check.body, e.body);
  EXPECT_EQ(t.check.report.failure, e.failure) << DescribeFailure(t.check);
  EXPECT_EQ(t.check.decision.verdict, e.verdict) << DescribeFailure(t.check);
  EXPECT_EQ(t.check.decision.release.build, e.build);
  EXPECT_EQ(t.check.decision.release.relDate, e.relDate);
  EXPECT_LT(t.seconds, 1.0) << "a server that answers is not waited for";
}

INSTANTIATE_TEST_SUITE_P(
    Replies, LoopbackCheck,
    ::testing::Values(
        Expected{"current", 200, "RelDate=2024-05-01\r\nVmajor=5\r\nVminor=4\r\nVbuild=1110\r\n", HttpFailure::None,
                 VersionVerdict::Current, 1110, "2024-05-01"},
        // An older build is announced all the same: it is another release.
        Expected{"older", 200, "RelDate=2023-11-02\r\nVmajor=5\r\nVminor=4\r\nVbuild=1109\r\n", HttpFailure::None,
                 VersionVerdict::Different, 1109, "2023-11-02"},
        // "Vmajor =5" does not count, nor does "RelDate =".
        Expected{"spaced", 200, "RelDate =2024-05-01\r\nVmajor =5\r\nVminor=4\r\nVbuild=1111\r\n", HttpFailure::None,
                 VersionVerdict::Unreadable, 1111, ""},
        Expected{"missing", 200, "RelDate=2024-05-01\r\nVmajor=5\r\nVminor=4\r\n", HttpFailure::None,
                 VersionVerdict::Unreadable, -1, "2024-05-01"},
        // Three chunks in separate sends, a key split between two, then "0".
        Expected{"chunked", 200, kRelease, HttpFailure::None, VersionVerdict::Different, 1111, "2024-05-01"},
        Expected{"chunked_lower", 200, kRelease, HttpFailure::None, VersionVerdict::Different, 1111, "2024-05-01"},
        Expected{"big", 200, (kRelease + std::string(1100, 'x')).substr(0, 1024), HttpFailure::None,
                 VersionVerdict::Different, 1111, "2024-05-01"},
        Expected{"notfound", 404, "<html>Not Found</html>", HttpFailure::None, VersionVerdict::NotOk, -1, ""},
        Expected{"cut", 200, "", HttpFailure::CutInHeaders, VersionVerdict::NotOk, -1, ""},
        Expected{"refused", 0, "", HttpFailure::Connection, VersionVerdict::NotOk, -1, ""}),
    [](const ::testing::TestParamInfo<Expected>& info) { return std::string(info.param.name); });

TEST(LoopbackCheck, ARefusedPortIsToldApart) {
  Timed t = Check("refused");
  EXPECT_EQ(t.check.report.net.failure, NetFailure::Refused);
  EXPECT_NE(DescribeFailure(t.check).find("refused the connection"), std::string::npos) << DescribeFailure(t.check);
}

TEST(LoopbackCheck, TheRequestIsOneGetWithTheHostAndThenTheSendingSideCloses) {
  // The echo server reads until our half-close and sends back what it got:
  // without the half-close its reply would never come.
  Timed t = Check("echo");
  EXPECT_EQ(t.check.report.failure, HttpFailure::None) << DescribeFailure(t.check);
  EXPECT_EQ(t.check.body, "GET /software/vercheck.php?app=Tessella HTTP/1.1\r\nHost: 127.0.0.1:" +
                              std::to_string(ServerPort("echo")) + "\r\n\r\n");
}

TEST(LoopbackCheck, AServerThatNeverAnswersIsLeftAfterTheReceiveBound) {
  Timed t = Check("silent");
  EXPECT_EQ(t.check.report.failure, HttpFailure::NoReply);
  EXPECT_EQ(t.check.report.net.failure, NetFailure::ReceiveTimeout);
  EXPECT_EQ(t.check.status, 0);
  EXPECT_EQ(t.check.body, "");
  EXPECT_EQ(t.check.decision.verdict, VersionVerdict::NotOk);
  EXPECT_GE(t.seconds, 0.35);
  EXPECT_LT(t.seconds, 1.5) << "the receive bound is 0.4 s";
  EXPECT_NE(DescribeFailure(t.check).find("sent no reply within 0.4 s"), std::string::npos) << DescribeFailure(t.check);
}

TEST(LoopbackCheck, AServerTricklingBytesIsLeftAfterTheReplyBound) {
  // A byte every 50 ms never trips the receive bound; the whole reply's does.
  Timed t = Check("trickle");
  EXPECT_EQ(t.check.report.failure, HttpFailure::TooSlow);
  EXPECT_EQ(t.check.status, 200);
  EXPECT_EQ(t.check.decision.verdict, VersionVerdict::NotOk);
  EXPECT_GE(t.seconds, 1.1);
  EXPECT_LT(t.seconds, 2.5) << "the reply bound is 1.2 s";
}

TEST(LoopbackCheck, HostNamesAreLookedUp) {
  Timed t = Check("current", "localhost");
  EXPECT_EQ(t.check.decision.verdict, VersionVerdict::Current) << DescribeFailure(t.check);
  Timed none = Check("current", "no-such-host.invalid");
  EXPECT_EQ(none.check.report.failure, HttpFailure::Connection);
  EXPECT_EQ(none.check.report.net.failure, NetFailure::Resolve);
  EXPECT_LT(none.seconds, 3.0) << "the look-up bound is 2 s";
  EXPECT_NE(DescribeFailure(none.check).find("could not be resolved"), std::string::npos);
}

}  // namespace
}  // namespace tsl
