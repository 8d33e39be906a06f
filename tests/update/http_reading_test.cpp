// Reading a reply through the receive record, over a connection that hands
// out scripted pieces: lines and chunks split anywhere, over-long lines,
// replies that end or stall early.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "support/allocation_failure.h"
#include "update/http_client.h"

namespace tsl {
namespace {

// Each piece arrives in one receive (cut to the capacity asked for); after
// the last the server ends the stream, or stalls when `stall` is set.
class ScriptedConnection : public TcpConnection {
 public:
  explicit ScriptedConnection(std::vector<std::string> pieces, bool stall = false)
      : pieces_(std::move(pieces)), stall_(stall) {}
  bool Send(const char*, size_t, NetStatus*) override { return true; }
  bool ShutdownSend(NetStatus*) override { return true; }
  long Receive(char* buffer, size_t capacity, int timeoutMs, NetStatus* status) override {
    largestAsk = std::max(largestAsk, capacity);
    longestWait = std::max(longestWait, timeoutMs);
    ++receives;
    if (next_ >= pieces_.size()) {
      if (!stall_) return 0;
      status->failure = NetFailure::ReceiveTimeout;
      return -1;
    }
    std::string& piece = pieces_[next_];
    size_t n = std::min(capacity, piece.size());
    std::memcpy(buffer, piece.data(), n);
    piece.erase(0, n);
    if (piece.empty()) ++next_;
    return static_cast<long>(n);
  }

  size_t largestAsk = 0;
  int longestWait = 0;
  int receives = 0;

 private:
  std::vector<std::string> pieces_;
  size_t next_ = 0;
  bool stall_;
};

HttpTimeouts Quick() {
  HttpTimeouts t;
  t.receiveMs = 300;
  t.replyMs = 2000;
  return t;
}

struct Reply {
  int status = -1;
  std::string body;
  HttpReport report;
  bool terminated = false;  // a NUL right after the body text
};

Reply Read(ScriptedConnection& c, size_t capacity = 1024) {
  std::vector<char> body(capacity + 1, 'Z');
  Reply r;
  size_t n = ReadHttpReply(c, Quick(), &r.status, capacity, body.data(), &r.report);
  r.body.assign(body.data(), n);
  r.terminated = body[n] == '\0';
  return r;
}

TEST(RecvGetline, JoinsPiecesStopsShortOfTheSizeAndEndsWithTheStream) {
  ScriptedConnection c({"HTT", "P/1.1 200 OK\r", "\nabcdefghij\ntail"});
  ReplyStream s(c, Quick());
  RecvRecord rec{};
  char line[8];
  char big[64];
  EXPECT_EQ(recv_getline(s, &rec, big, sizeof big), 17u);
  EXPECT_STREQ(big, "HTTP/1.1 200 OK\r\n");
  EXPECT_EQ(recv_getline(s, &rec, line, sizeof line), 7u);  // size - 1 bytes and the NUL
  EXPECT_STREQ(line, "abcdefg");
  EXPECT_EQ(recv_getline(s, &rec, line, sizeof line), 4u);
  EXPECT_STREQ(line, "hij\n");
  EXPECT_EQ(recv_getline(s, &rec, line, sizeof line), 4u);
  EXPECT_STREQ(line, "tail");
  EXPECT_EQ(recv_getline(s, &rec, line, sizeof line), 0u);
  EXPECT_STREQ(line, "");
  EXPECT_TRUE(s.ended);
  EXPECT_TRUE(s.net.ok()) << "the server ended the stream in order";
  int receives = c.receives;
  EXPECT_EQ(recv_getline(s, &rec, line, sizeof line), 0u);
  EXPECT_EQ(c.receives, receives) << "an ended stream is not asked again";
}

TEST(RecvGetchunk, ReceivesAtMostOneRecordAtATimeAndKeepsTheOrder) {
  std::string data;
  for (int i = 0; i < 20000; ++i) data += static_cast<char>('a' + i % 26);
  ScriptedConnection c({data});
  ReplyStream s(c, Quick());
  RecvRecord rec{};
  std::string dest(20000, '\0');
  EXPECT_EQ(recv_getchunk(s, &rec, &dest[0], dest.size(), 25000), 20000u);
  EXPECT_EQ(dest, data);
  EXPECT_EQ(c.largestAsk, 8180u);
  EXPECT_EQ(c.receives, 3);
  EXPECT_LE(c.longestWait, 300);
  // Limited by the destination, whatever the count.
  ScriptedConnection again({"0123456789"});
  ReplyStream s2(again, Quick());
  RecvRecord rec2{};
  char four[4];
  EXPECT_EQ(recv_getchunk(s2, &rec2, four, sizeof four, 10), 4u);
  EXPECT_EQ(std::string(four, 4), "0123");
}

TEST(RecvHeader, ReadsTheStatusAndTheTransferEncoding) {
  struct Case {
    std::string reply;
    int status;
    bool chunked;
  } cases[] = {
      {"HTTP/1.1 404 Not Found\r\n\r\n", 404, false},
      {"HTTP/1.0   200\r\nTransfer-Encoding: chunked\r\n\r\n", 200, true},
      // Header names are not case-sensitive, and the blank after the colon
      // is optional.
      {"HTTP/1.1 200 OK\r\ntransfer-encoding:Chunked\r\n\r\n", 200, true},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n", 200, false},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nTransfer-Encoding: identity\r\n\r\n", 200, false},
      {"HTTP/1.1 200 OK\r\nX-Chunked chunked\r\nNoValueHere\r\n\r\n", 200, false},
      {"HELLO\r\n\r\n", 0, false},
  };
  for (const Case& k : cases) {
    ScriptedConnection c({k.reply});
    ReplyStream s(c, Quick());
    RecvRecord rec{};
    int status = -1;
    bool chunked = !k.chunked;
    EXPECT_TRUE(recv_header(s, &rec, &status, &chunked)) << k.reply;
    EXPECT_EQ(status, k.status) << k.reply;
    EXPECT_EQ(chunked, k.chunked) << k.reply;
  }
}

TEST(RecvHeader, TheTailOfAnOverlongLineIsNotTakenForTheBlankLine) {
  // 249 characters and CR LF: the line buffer holds 249, so its "\r\n" comes
  // on its own, and read as a line of two bytes it would end the headers.
  std::string longLine = "X-Long: " + std::string(241, 'v') + "\r\n";
  ASSERT_EQ(longLine.size(), 251u);
  ScriptedConnection c({"HTTP/1.1 200 OK\r\n" + longLine + "Transfer-Encoding: chunked\r\n\r\n5\r\nVbuil\r\n0\r\n\r\n"});
  Reply r = Read(c);
  EXPECT_EQ(r.report.failure, HttpFailure::None);
  EXPECT_EQ(r.body, "Vbuil");
}

TEST(ReadHttpReply, JoinsChunksSplitAnywhere) {
  ScriptedConnection c({"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1", "2\r\nRelDate=2024-", "05-01\r",
                        "\n3;ext=1\r\nVma\r\n", "0\r\n", "\r\n"});
  Reply r = Read(c);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "RelDate=2024-05-01Vma");
  EXPECT_TRUE(r.terminated);
  EXPECT_EQ(r.report.failure, HttpFailure::None);
}

TEST(ReadHttpReply, CutsEveryBodyAtTheCapacity) {
  std::string text(1500, 'x');
  text.replace(1020, 8, "Vbuild=1");
  ScriptedConnection plain({"HTTP/1.1 200 OK\r\n\r\n", text});
  Reply r = Read(plain);
  EXPECT_EQ(r.body, text.substr(0, 1024));
  EXPECT_TRUE(r.terminated) << "the NUL follows the 1,024 bytes";
  EXPECT_EQ(r.report.failure, HttpFailure::None);

  ScriptedConnection chunked({"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                              "a\r\n0123456789\r\n", "a\r\nabcdefghij\r\n", "0\r\n\r\n"});
  r = Read(chunked, 16);
  EXPECT_EQ(r.body, "0123456789abcdef");
  EXPECT_TRUE(r.terminated);
  EXPECT_EQ(r.report.failure, HttpFailure::None);
}

TEST(ReadHttpReply, RepliesThatEndOrStallEarlyAreNotWhole) {
  struct Case {
    std::vector<std::string> pieces;
    bool stall;
    HttpFailure failure;
    int status;
    std::string body;
  } cases[] = {
      {{}, false, HttpFailure::NoReply, 0, ""},
      {{}, true, HttpFailure::NoReply, 0, ""},
      {{"HTTP/1.1 200 OK\r\nContent-Ty"}, false, HttpFailure::CutInHeaders, 200, ""},
      {{"HTTP/1.1 200 OK\r\n\r"}, false, HttpFailure::CutInHeaders, 200, ""},
      {{"HTTP/1.1 200 OK\r\n"}, true, HttpFailure::CutInHeaders, 200, ""},
      // A plain body ends with the connection, but one that stalls may have
      // lost the rest of a number.
      {{"HTTP/1.1 200 OK\r\n\r\nVbuild=11"}, false, HttpFailure::None, 200, "Vbuild=11"},
      {{"HTTP/1.1 200 OK\r\n\r\nVbuild=11"}, true, HttpFailure::CutInBody, 200, "Vbuild=11"},
      // A chunked body knows its end: without the last chunk it is cut.
      {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nVbui\r\n"}, false, HttpFailure::CutInBody, 200,
       "Vbui"},
      {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9\r\nVbui"}, false, HttpFailure::CutInBody, 200,
       "Vbui"},
  };
  for (const Case& k : cases) {
    ScriptedConnection c(k.pieces, k.stall);
    Reply r = Read(c);
    std::string what = (k.pieces.empty() ? std::string("(nothing)") : k.pieces[0]) + (k.stall ? " stalled" : "");
    EXPECT_EQ(r.report.failure, k.failure) << what;
    EXPECT_EQ(r.status, k.status) << what;
    EXPECT_EQ(r.body, k.body) << what;
    EXPECT_EQ(r.report.net.failure == NetFailure::ReceiveTimeout, k.stall) << what;
  }
}

TEST(ReadHttpReply, EndlessHeadersStop) {
  std::vector<std::string> pieces{"HTTP/1.1 200 OK\r\n"};
  for (int i = 0; i < 20000; ++i) pieces.push_back("X-Pad: y\r\n");
  ScriptedConnection c(pieces);
  Reply r = Read(c);
  EXPECT_EQ(r.report.failure, HttpFailure::HeadersTooLong);
  EXPECT_LT(c.receives, 20000) << "reading stopped long before the server did";
}

TEST(ReadHttpReply, NoMemoryForTheReceiveRecordIsAFailedCheckNotACrash) {
  ScriptedConnection c({"HTTP/1.1 200 OK\r\n\r\nVmajor=5"});
  Reply r;
  {
    test::AllocationFailure fail([](size_t, size_t size) { return size >= sizeof(RecvRecord); });
    r = Read(c);
    EXPECT_TRUE(fail.fired());
  }
  EXPECT_EQ(r.report.failure, HttpFailure::NoMemory);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.body, "");
  EXPECT_TRUE(r.terminated);
  EXPECT_EQ(c.receives, 0) << "nothing is read without a record to read into";
}

TEST(HttpRequestText, NamesThePortOnlyWhenItIsNotTheDefault) {
  EXPECT_EQ(HttpRequestText("GET", "/software/vercheck.php", "app=Tessella", "www.quillmark.com", 80),
            "GET /software/vercheck.php?app=Tessella HTTP/1.1\r\nHost: www.quillmark.com\r\n\r\n");
  EXPECT_EQ(HttpRequestText("GET", "/p", "q=1", "127.0.0.1", 8080), "GET /p?q=1 HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n\r\n");
}

}  // namespace
}  // namespace tsl
