// The DDE service in this process, through its callback: the TSLData reply
// (which Wine's DDEML does not carry between processes), busy answers, the
// posted command line, the wild connect's pairs, and a run's completion.
#include "dde/dde_logic.h"
#include "dde/dde_run.h"
#include "dde/dde_server.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"

namespace tsl::dde {
namespace {

class DdeService : public testing::Test {
 protected:
  void SetUp() override {
    frame_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame_);
    ASSERT_TRUE(StartDDEServer(frame_, "TslServiceTest"));
    DDEProcessingComplete(nullptr, 0, 0);
  }
  void TearDown() override {
    for (HSZ h : hsz_) DdeFreeStringHandle(DdeInstance(), h);
    StopDDEServer();
    DestroyWindow(frame_);
  }
  HSZ Hsz(const char* s) {
    hsz_.push_back(DdeCreateStringHandleA(DdeInstance(), s, CP_WINANSI));
    return hsz_.back();
  }
  // The reply to a request, or none.
  bool Request(const char* topic, const char* item, UINT format, std::string* bytes) {
    HDDEDATA h = DdeCallback(XTYP_REQUEST, format, nullptr, Hsz(topic), Hsz(item), nullptr, 0, 0);
    if (!h) return false;
    DWORD size = DdeGetData(h, nullptr, 0, 0);
    bytes->assign(size, '\0');
    DdeGetData(h, reinterpret_cast<LPBYTE>(bytes->data()), size, 0);
    DdeFreeDataHandle(h);
    return true;
  }
  ULONG_PTR Execute(const char* topic, const std::string& command) {
    HDDEDATA data = DdeCreateDataHandle(DdeInstance(), reinterpret_cast<LPBYTE>(const_cast<char*>(command.c_str())),
                                        static_cast<DWORD>(command.size() + 1), 0, nullptr, CF_TEXT, 0);
    HDDEDATA r = DdeCallback(XTYP_EXECUTE, 0, nullptr, Hsz(topic), nullptr, data, 0, 0);
    DdeFreeDataHandle(data);
    return reinterpret_cast<ULONG_PTR>(r);
  }
  // The command the service posted to the frame: its ID, and the text of
  // its atom.
  bool Posted(unsigned* id, std::string* text, ATOM* atom = nullptr) {
    MSG msg;
    if (!PeekMessageA(&msg, frame_, WM_COMMAND, WM_COMMAND, PM_REMOVE)) return false;
    *id = LOWORD(msg.wParam);
    char buffer[300] = {};
    if (msg.lParam) GlobalGetAtomNameA(static_cast<ATOM>(msg.lParam), buffer, sizeof buffer);
    *text = buffer;
    if (atom) *atom = static_cast<ATOM>(msg.lParam);
    else if (msg.lParam) GlobalDeleteAtom(static_cast<ATOM>(msg.lParam));
    return true;
  }
  UINT TslFormat() { return RegisterClipboardFormatA(TSL_DDE_FORMAT); }

  HWND frame_ = nullptr;
  std::vector<HSZ> hsz_;
};

TEST_F(DdeService, RepliesTheResultAsRecordAndAsText) {
  DDEProcessingComplete("C:\\plots\\plan.emf", 1000, 500);
  std::string bytes;
  ASSERT_TRUE(Request("Convert", "Result", TslFormat(), &bytes));
  EXPECT_EQ(bytes.size(), 268u);
  std::vector<uint8_t> expected = TslDataBytes(MakeTslData("C:\\plots\\plan.emf", 1000, 500));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);
  ASSERT_TRUE(Request("Parse", "anything", CF_TEXT, &bytes));
  EXPECT_EQ(bytes, std::string("File=\"C:\\plots\\plan.emf\" Width=1000 Height=500") + '\0');
  EXPECT_FALSE(Request("Convert", "Result", CF_BITMAP, &bytes)) << "other formats get no data";
  ASSERT_TRUE(Request("Version", "Version", CF_TEXT, &bytes));
  EXPECT_EQ(bytes, VersionText() + '\0');
  // An advise request answers the same way.
  HDDEDATA h = DdeCallback(XTYP_ADVREQ, CF_TEXT, nullptr, Hsz("Convert"), Hsz("Result"), nullptr, 0, 0);
  ASSERT_TRUE(h);
  DdeFreeDataHandle(h);
}

TEST_F(DdeService, AnExecuteIsPostedAndTheServiceIsBusyUntilTheCommandLineIsDone) {
  EXPECT_EQ(Execute("Parse", "C:\\p\\a.plt"), static_cast<ULONG_PTR>(DDE_FACK));
  EXPECT_TRUE(DdeBusy());
  unsigned id = 0;
  std::string text;
  ATOM atom = 0;
  ASSERT_TRUE(Posted(&id, &text, &atom));
  EXPECT_EQ(id, static_cast<unsigned>(IDM_COMMAND_LINE));
  EXPECT_EQ(text, "-DDE -E C:\\p\\a.plt");

  std::string bytes;
  EXPECT_FALSE(Request("Version", "Version", CF_TEXT, &bytes)) << "busy";
  EXPECT_FALSE(Request("Convert", "Result", TslFormat(), &bytes)) << "busy";
  EXPECT_EQ(Execute("Convert", "b.plt"), static_cast<ULONG_PTR>(DDE_FBUSY));
  EXPECT_FALSE(Posted(&id, &text)) << "nothing posted for the refused execute";

  DdeCommandLineDone(static_cast<ATOM>(atom + 1));
  EXPECT_TRUE(DdeBusy()) << "another command line does not end it";
  GlobalDeleteAtom(atom);
  DdeCommandLineDone(atom);
  EXPECT_FALSE(DdeBusy());
  ASSERT_TRUE(Request("Convert", "Result", TslFormat(), &bytes));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), TslDataBytes(MakeTslData(nullptr, 0, 0)));
}

TEST_F(DdeService, ConvertExitVersionAndRefusals) {
  unsigned id = 0;
  std::string text;
  EXPECT_EQ(Execute("Convert", "\"C:\\a b\\c.plt\" /WPNG"), static_cast<ULONG_PTR>(DDE_FACK));
  ASSERT_TRUE(Posted(&id, &text));
  EXPECT_EQ(text, "-DDE \"C:\\a b\\c.plt\" /WPNG");
  DDEProcessingComplete("C:\\a b\\c.emf", 1, 2);
  EXPECT_FALSE(DdeBusy());

  EXPECT_EQ(Execute("Version", "x"), static_cast<ULONG_PTR>(DDE_FACK));
  EXPECT_FALSE(Posted(&id, &text));
  EXPECT_EQ(Execute("Exit", ""), static_cast<ULONG_PTR>(DDE_FACK));
  ASSERT_TRUE(Posted(&id, &text));
  EXPECT_EQ(id, static_cast<unsigned>(IDM_EXIT));
  EXPECT_FALSE(DdeBusy());

  // Too long for the atom the frame is handed: refused, not cut.
  EXPECT_EQ(Execute("Convert", std::string(260, 'a')), static_cast<ULONG_PTR>(DDE_FNOTPROCESSED));
  EXPECT_FALSE(DdeBusy());
  EXPECT_FALSE(Posted(&id, &text));
  EXPECT_EQ(DdeCallback(XTYP_POKE, CF_TEXT, nullptr, Hsz("Convert"), Hsz("x"), nullptr, 0, 0),
            reinterpret_cast<HDDEDATA>(DDE_FACK));
  EXPECT_EQ(DdeCallback(XTYP_CONNECT, 0, nullptr, Hsz("Anything"), Hsz("TslServiceTest"), nullptr, 0, 0),
            reinterpret_cast<HDDEDATA>(TRUE));
}

TEST_F(DdeService, WildConnectListsThreePairsAndAnEmptyOne) {
  for (const char* topic : {static_cast<const char*>(nullptr), "Convert", "Parse"}) {
    HDDEDATA h = DdeCallback(XTYP_WILDCONNECT, 0, nullptr, topic ? Hsz(topic) : nullptr, nullptr, nullptr, 0, 0);
    ASSERT_TRUE(h) << (topic ? topic : "no topic");
    std::vector<HSZPAIR> pairs(DdeGetData(h, nullptr, 0, 0) / sizeof(HSZPAIR));
    DdeGetData(h, reinterpret_cast<LPBYTE>(pairs.data()), static_cast<DWORD>(pairs.size() * sizeof(HSZPAIR)), 0);
    DdeFreeDataHandle(h);
    ASSERT_EQ(pairs.size(), 4u);
    const char* topics[] = {"Convert", "Parse", "Version"};
    for (int i = 0; i < 3; ++i) {
      char s[64] = {}, t[64] = {};
      DdeQueryStringA(DdeInstance(), pairs[i].hszSvc, s, sizeof s, CP_WINANSI);
      DdeQueryStringA(DdeInstance(), pairs[i].hszTopic, t, sizeof t, CP_WINANSI);
      EXPECT_STREQ(s, "TslServiceTest");
      EXPECT_STREQ(t, topics[i]);
    }
    EXPECT_FALSE(pairs[3].hszSvc);
    EXPECT_FALSE(pairs[3].hszTopic);
  }
  EXPECT_FALSE(DdeCallback(XTYP_WILDCONNECT, 0, nullptr, Hsz("Version"), nullptr, nullptr, 0, 0));
  EXPECT_FALSE(DdeCallback(XTYP_WILDCONNECT, 0, nullptr, nullptr, Hsz("SomeoneElse"), nullptr, 0, 0));
  HDDEDATA ours = DdeCallback(XTYP_WILDCONNECT, 0, nullptr, nullptr, Hsz("TslServiceTest"), nullptr, 0, 0);
  EXPECT_TRUE(ours);
  if (ours) DdeFreeDataHandle(ours);
}

class CountingProgress : public NullProgress {
 public:
  bool SetPct(int percent) override {
    ++calls;
    return percent < cancelAt;
  }
  int calls = 0;
  int cancelAt = 1000;
};

TEST_F(DdeService, ARunCompletesTheServiceWhicheverWayItEnds) {
  unsigned id = 0;
  std::string text;
  ATOM atom = 0;
  ASSERT_EQ(Execute("Convert", "a.plt"), static_cast<ULONG_PTR>(DDE_FACK));
  ASSERT_TRUE(Posted(&id, &text, &atom));
  GlobalDeleteAtom(atom);
  CountingProgress inner;
  inner.cancelAt = 50;
  {
    DdeRun run(true);
    Progress* p = run.Wrap(&inner);
    EXPECT_EQ(p, &run);
    EXPECT_TRUE(p->SetPct(10));
    EXPECT_FALSE(p->SetPct(60)) << "the box's cancel comes through";
    EXPECT_EQ(inner.calls, 2);
    run.Finished("C:\\x.emf", 30, 40);
    EXPECT_TRUE(DdeBusy()) << "until the run is over";
  }
  EXPECT_FALSE(DdeBusy());
  EXPECT_STREQ(DdeCurrent().szPath, "C:\\x.emf");
  EXPECT_EQ(DdeCurrent().width, 30u);

  // A run that never got to convert (refused, out of memory) completes it
  // too, with nothing.
  ASSERT_EQ(Execute("Convert", "b.plt"), static_cast<ULONG_PTR>(DDE_FACK));
  ASSERT_TRUE(Posted(&id, &text));
  { DdeRun refused(true); }
  EXPECT_FALSE(DdeBusy());
  EXPECT_STREQ(DdeCurrent().szPath, "");
  EXPECT_EQ(DdeCurrent().height, 0u);

  // Not a DDE run: the progress is the box's own, the service untouched.
  DDEProcessingComplete("C:\\kept.emf", 5, 6);
  {
    DdeRun plain(false);
    EXPECT_EQ(plain.Wrap(&inner), &inner);
    EXPECT_EQ(plain.Wrap(nullptr), nullptr);
  }
  EXPECT_STREQ(DdeCurrent().szPath, "C:\\kept.emf");
}

}  // namespace
}  // namespace tsl::dde
