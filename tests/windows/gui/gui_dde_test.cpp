// The DDE service as another program sees it: a DDEML client of ours asks
// the running Tessella.exe for its version, has it convert and measure
// plots, polls for the result, lists its topics and makes it exit; the
// host viewer's plug-in hears the progress.
#include <gtest/gtest.h>

#include "gui_actions.h"

#include <dde.h>
#include <ddeml.h>

#include <sstream>

#include "dde/tessella_dde.h"

namespace gui {
namespace {

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

class Client {
 public:
  Client() { DdeInitializeA(&inst_, ClientCallback, APPCMD_CLIENTONLY, 0); }
  ~Client() {
    for (HCONV c : convs_) DdeDisconnect(c);
    DdeUninitialize(inst_);
  }
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  // The program registers its service a moment after its frame shows.
  HCONV Connect(const char* service, const char* topic, DWORD ms = 5000) {
    HSZ s = Hsz(service), t = Hsz(topic);
    HCONV c = nullptr;
    WaitFor([&] { return (c = DdeConnect(inst_, s, t, nullptr)) != nullptr; }, ms);
    DdeFreeStringHandle(inst_, s);
    DdeFreeStringHandle(inst_, t);
    if (c) convs_.push_back(c);
    return c;
  }
  // The bytes of the reply, or false with the DDEML error in *error.
  bool Request(HCONV conv, const char* item, UINT format, std::string* data, UINT* error = nullptr) {
    HSZ i = Hsz(item);
    DWORD result = 0;
    HDDEDATA h = DdeClientTransaction(nullptr, 0, conv, i, format, XTYP_REQUEST, 3000, &result);
    DdeFreeStringHandle(inst_, i);
    if (error) *error = h ? DMLERR_NO_ERROR : DdeGetLastError(inst_);
    if (!h) return false;
    DWORD size = DdeGetData(h, nullptr, 0, 0);
    data->assign(size, '\0');
    DdeGetData(h, reinterpret_cast<LPBYTE>(data->data()), size, 0);
    DdeFreeDataHandle(h);
    // Wine's server acknowledges the data it sent once more; let that
    // arrive now, or the conversation's next transaction takes it for its
    // own answer.
    Pump(200);
    return true;
  }
  // DMLERR_NO_ERROR when acknowledged, DMLERR_BUSY when refused as busy.
  UINT Execute(HCONV conv, const std::string& command) {
    DWORD result = 0;
    HDDEDATA h = DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(command.c_str())),
                                      static_cast<DWORD>(command.size() + 1), conv, nullptr, CF_TEXT, XTYP_EXECUTE,
                                      5000, &result);
    return h ? DMLERR_NO_ERROR : DdeGetLastError(inst_);
  }
  bool Accepted(HCONV conv, const std::string& command) { return Execute(conv, command) == DMLERR_NO_ERROR; }
  // Requests the result until the service answers: the text, or empty on
  // timeout.
  std::string PollResult(HCONV conv, DWORD ms = 20000) {
    std::string data;
    WaitFor([&] { return Request(conv, "Result", CF_TEXT, &data); }, ms);
    return data;
  }
  DWORD inst() const { return inst_; }

 private:
  static void Pump(DWORD ms) {
    DWORD until = GetTickCount() + ms;
    MSG msg;
    while (GetTickCount() < until) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(10);
    }
  }
  HSZ Hsz(const char* s) { return DdeCreateStringHandleA(inst_, s, CP_WINANSI); }
  std::string Name(HSZ h) {
    char text[256] = {};
    DdeQueryStringA(inst_, h, text, sizeof text, CP_WINANSI);
    return text;
  }
  DWORD inst_ = 0;
  std::vector<HCONV> convs_;
};

// The (service, topic) pairs that answer a wild initiate (no service, no
// topic), as the DDE protocol itself asks: each answers with an
// acknowledgement from a window of its own, which is then let go.
std::vector<std::string>* gPairs = nullptr;

LRESULT CALLBACK WildAckProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_DDE_ACK || !gPairs) return DefWindowProcA(hwnd, msg, wParam, lParam);
  char service[256] = {}, topic[256] = {};
  GlobalGetAtomNameA(LOWORD(lParam), service, sizeof service);
  GlobalGetAtomNameA(HIWORD(lParam), topic, sizeof topic);
  gPairs->push_back(std::string(service) + "|" + topic);
  PostMessageA(reinterpret_cast<HWND>(wParam), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
  return 0;
}

std::vector<std::string> WildConnect() {
  std::vector<std::string> found;
  gPairs = &found;
  WNDCLASSA wc{};
  wc.lpfnWndProc = WildAckProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TslWildInitiate";
  RegisterClassA(&wc);
  HWND me = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(me), 0, SMTO_NORMAL, 5000, &result);
  // The terminations the servers send back.
  MSG msg;
  DWORD until = GetTickCount() + 500;
  while (GetTickCount() < until) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(20);
  }
  DestroyWindow(me);
  gPairs = nullptr;
  return found;
}

std::string ResultText(const std::string& path, int w, int h) {
  return "File=\"" + path + "\" Width=" + std::to_string(w) + " Height=" + std::to_string(h) + std::string(1, '\0');
}

// A plot of many commands, so that its progress passes many percentages.
std::string LongPlot(int lines) {
  std::string p = "IN;SP1;";
  for (int i = 0; i < lines; ++i) {
    std::string y = std::to_string(i * 10);
    p += "PU0," + y + ";PD0," + y + ",4000," + y + ";";
  }
  return p + "PU;SP0;";
}

std::vector<std::pair<std::string, int>> PluginCalls(const std::string& log) {
  std::vector<std::pair<std::string, int>> calls;
  std::istringstream in(ReadFile(log));
  std::string service;
  int pct;
  while (in >> service >> pct) calls.emplace_back(service, pct);
  return calls;
}

std::string PluginDll() {
  const std::string& probe = Where().probeDll;
  return probe.substr(0, probe.find_last_of('\\') + 1) + TSL_PLUGIN_LIBRARY;
}

TEST(Dde, VersionConvertParseAndExit) {
  ResetSettings();
  WriteFile(Work("dde.plt"), BoxPlot(4000, 2000, 3));
  WriteFile(Work("measure.plt"), BoxPlot(1200, 800, 2));
  App app("/DDE");
  ASSERT_TRUE(app.frame());
  Client client;

  HCONV version = client.Connect("Tessella", "Version");
  ASSERT_TRUE(version);
  std::string text;
  ASSERT_TRUE(client.Request(version, "Version", CF_TEXT, &text));
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\0') << "with its NUL";
  text.pop_back();
  EXPECT_EQ(text.substr(0, text.find("\r\n")), "Tessella Version 5.4 Build 1110 (14 Feb 2018)");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;

  HCONV convert = client.Connect("Tessella", "Convert");
  ASSERT_TRUE(convert);
  EXPECT_TRUE(client.Accepted(convert, Work("dde.plt")));
  EXPECT_EQ(client.PollResult(convert), ResultText(Work("dde.emf"), 4000, 2000));
  EXPECT_TRUE(FileExists(Work("dde.emf")));
  EXPECT_TRUE(app.Running()) << "a DDE run keeps the program";

  HCONV parse = client.Connect("Tessella", "Parse");
  ASSERT_TRUE(parse);
  EXPECT_TRUE(client.Accepted(parse, Work("measure.plt")));
  EXPECT_EQ(client.PollResult(parse), ResultText("", 1200, 800));
  EXPECT_FALSE(FileExists(Work("measure.emf"))) << "measured, not written";
  EXPECT_FALSE(FileExists(Work("measure.log")));

  std::vector<std::string> pairs = WildConnect();
  EXPECT_EQ(pairs, (std::vector<std::string>{"Tessella|Convert", "Tessella|Parse", "Tessella|Version"}));

  HCONV exit = client.Connect("Tessella", "Exit");
  ASSERT_TRUE(exit);
  client.Execute(exit, "");
  EXPECT_EQ(app.WaitExit(), 0) << "Exit ends the program";
}

TEST(Dde, BusyWhileACommandLineWaitsThenAnEmptyResultForAMissingFile) {
  ResetSettings();
  App app("/DDE");
  ASSERT_TRUE(app.frame());
  Client client;
  HCONV convert = client.Connect("Tessella", "Convert");
  ASSERT_TRUE(convert);
  // The missing file's message holds the command line up: the service is
  // busy all that time.
  EXPECT_TRUE(client.Accepted(convert, Work("missing.plt")));
  Box box = WaitBox(app.pid());
  ASSERT_TRUE(box.hwnd);
  EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "Error opening '" + Work("missing.plt") + "'");
  SaveShot(GrabWindow(box.hwnd), "dde_missing_file");

  HCONV version = client.Connect("Tessella", "Version");
  std::string text;
  UINT error = 0;
  EXPECT_FALSE(client.Request(version, "Version", CF_TEXT, &text, &error)) << "busy";
  EXPECT_FALSE(client.Request(convert, "Result", CF_TEXT, &text, &error)) << "busy";
  // Refused at once (Wine's DDEML reports the busy acknowledgement as not
  // processed; Windows' as busy).
  UINT refused = client.Execute(convert, Work("other.plt"));
  EXPECT_TRUE(refused == DMLERR_BUSY || refused == DMLERR_NOTPROCESSED) << std::hex << refused;

  Press(box.hwnd, IDOK);
  EXPECT_EQ(client.PollResult(convert), ResultText("", 0, 0)) << "not busy for good";
  EXPECT_FALSE(FindTop("#32770", nullptr, app.pid())) << "the refused execute converted nothing later";
  EXPECT_TRUE(client.Request(version, "Version", CF_TEXT, &text));

  // Nothing to measure, and a file the program refuses: also empty results.
  WriteFile(Work("empty.plt"), "");
  HCONV parse = client.Connect("Tessella", "Parse");
  ASSERT_TRUE(parse);
  EXPECT_TRUE(client.Accepted(parse, Work("empty.plt")));
  EXPECT_EQ(client.PollResult(parse), ResultText("", 0, 0));
  WriteFile(Work("drawing.emf"), "");
  EXPECT_TRUE(client.Accepted(convert, Work("drawing.emf")));
  Box refusedBox = WaitBox(app.pid());
  SaveShot(GrabWindow(refusedBox.hwnd), "dde_refused_extension");
  EXPECT_NE(refusedBox.text.find("drawing.emf"), std::string::npos) << refusedBox.text;
  Press(refusedBox.hwnd, IDOK);
  EXPECT_EQ(client.PollResult(convert), ResultText("", 0, 0));
}

TEST(Dde, ProgressReachesThePluginUnderTheServiceName) {
  ResetSettings();
  std::string folder = Work("plugin");
  CreateDirectoryA(folder.c_str(), nullptr);
  folder += "\\";
  ASSERT_TRUE(CopyFileA(PluginDll().c_str(), (folder + TSL_PLUGIN_LIBRARY).c_str(), FALSE)) << PluginDll();
  WriteFile(folder + "long.plt", LongPlot(400));
  App app("/DDE:Other", true, folder);
  ASSERT_TRUE(app.frame());
  Client client;
  EXPECT_FALSE(client.Connect("Tessella", "Convert", 1000)) << "restarted under the new name";
  HCONV convert = client.Connect("Other", "Convert");
  ASSERT_TRUE(convert);

  for (int run = 0; run < 2; ++run) {
    EXPECT_TRUE(client.Accepted(convert, folder + "long.plt"));
    EXPECT_EQ(client.PollResult(convert), ResultText(folder + "long.emf", 4000, 3990));
  }
  auto calls = PluginCalls(folder + "TSL4HV.log");
  ASSERT_GT(calls.size(), 20u);
  int restarts = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].first, "Other");
    if (i > 0 && calls[i].second <= calls[i - 1].second) ++restarts;
  }
  EXPECT_EQ(restarts, 1) << "strictly rising within a run, from the start again in the next";
  EXPECT_EQ(calls.back().second, 100);
}

TEST(Dde, WithoutThePluginNothingFails) {
  ResetSettings();
  WriteFile(Work("plain.plt"), LongPlot(50));
  App app("/DDE");
  ASSERT_TRUE(app.frame());
  Client client;
  HCONV convert = client.Connect("Tessella", "Convert");
  ASSERT_TRUE(convert);
  EXPECT_TRUE(client.Accepted(convert, Work("plain.plt")));
  EXPECT_EQ(client.PollResult(convert), ResultText(Work("plain.emf"), 4000, 490));
  EXPECT_FALSE(FindTop("#32770", nullptr, app.pid())) << "no message";
}

}  // namespace
}  // namespace gui
