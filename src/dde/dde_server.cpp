#include "dde/dde_server.h"

#include "resources/resource_ids.h"

#include "dde/progress_plugin.h"

#include <vector>

namespace tsl::dde {

namespace {

struct Service {
  DWORD instance = 0;
  HSZ service = nullptr, convert = nullptr, parse = nullptr, version = nullptr, exit = nullptr;
  HWND frame = nullptr;
  bool busy = false;
  ATOM pending = 0;  // the command line an execute posted, until it is done
  UINT tslDataFormat = 0;
  std::string name;
};
Service gService;
TSLData tslCurrent = MakeTslData(nullptr, 0, 0);

HSZ MakeHsz(const char* text) { return DdeCreateStringHandleA(gService.instance, text, CP_WINANSI); }
void FreeHsz(HSZ& hsz) {
  if (hsz) DdeFreeStringHandle(gService.instance, hsz);
  hsz = nullptr;
}
bool Is(HSZ a, HSZ b) { return a && b && DdeCmpStringHandles(a, b) == 0; }

Topic TopicOf(HSZ hsz) {
  if (!hsz) return Topic::None;
  if (Is(hsz, gService.convert)) return Topic::Convert;
  if (Is(hsz, gService.parse)) return Topic::Parse;
  if (Is(hsz, gService.version)) return Topic::Version;
  if (Is(hsz, gService.exit)) return Topic::Exit;
  return Topic::Other;
}

HSZ TopicHsz(Topic t) {
  switch (t) {
    case Topic::Convert: return gService.convert;
    case Topic::Parse: return gService.parse;
    case Topic::Version: return gService.version;
    default: return nullptr;
  }
}

HDDEDATA Reply(const void* bytes, size_t size, UINT format) {
  return DdeCreateDataHandle(gService.instance, static_cast<LPBYTE>(const_cast<void*>(bytes)),
                             static_cast<DWORD>(size), 0, gService.service, format, 0);
}
HDDEDATA ReplyText(const std::string& text) { return Reply(text.c_str(), text.size() + 1, CF_TEXT); }

HDDEDATA WildConnect(HSZ topic, HSZ service) {
  bool ours = !service || Is(service, gService.service);
  if (!AnswersWildConnect(TopicOf(topic), ours)) return nullptr;
  std::vector<HSZPAIR> pairs;
  for (Topic t : WildConnectTopics()) pairs.push_back(HSZPAIR{gService.service, TopicHsz(t)});
  pairs.push_back(HSZPAIR{nullptr, nullptr});
  return Reply(pairs.data(), pairs.size() * sizeof(HSZPAIR), 0);
}

HDDEDATA Request(UINT format, HSZ item) {
  // Busy: no data; the client asks again later.
  if (gService.busy) return nullptr;
  if (Is(item, gService.version)) return ReplyText(VersionText());
  if (format == gService.tslDataFormat && format != 0) {
    std::vector<uint8_t> bytes = TslDataBytes(tslCurrent);
    return Reply(bytes.data(), bytes.size(), format);
  }
  if (format == CF_TEXT) return ReplyText(ResultText(tslCurrent));
  return nullptr;
}

std::string ExecuteText(HDDEDATA data) {
  DWORD size = data ? DdeGetData(data, nullptr, 0, 0) : 0;
  if (size == 0) return std::string();
  std::vector<char> bytes(size + 1, '\0');
  DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), size, 0);
  return std::string(bytes.data());  // up to its NUL
}

HDDEDATA Execute(HSZ topic, HDDEDATA data) {
  if (gService.busy) {
    OutputDebugStringA("XTYP_EXECUTE : Blocking\n");
    return reinterpret_cast<HDDEDATA>(DDE_FBUSY);
  }
  Topic t = TopicOf(topic);
  if (t == Topic::Version) return reinterpret_cast<HDDEDATA>(DDE_FACK);
  if (t == Topic::Exit) {
    PostMessageA(gService.frame, WM_COMMAND, IDM_EXIT, 0);
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
  }
  std::string line = DdeCommandLine(t == Topic::Parse, ExecuteText(data));
  // A command line an atom cannot hold is refused rather than cut: a cut
  // file name would convert the wrong file, or none, and say nothing.
  ATOM atom = line.size() <= kMaxAtomText ? GlobalAddAtomA(line.c_str()) : 0;
  if (!atom) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
  gService.busy = true;
  gService.pending = atom;
  if (!PostMessageA(gService.frame, WM_COMMAND, IDM_COMMAND_LINE, static_cast<LPARAM>(atom))) {
    GlobalDeleteAtom(atom);
    gService.busy = false;
    gService.pending = 0;
    return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
  }
  // Callbacks stay enabled: DDEML would hold the client's transactions
  // until they time out and then carry them out after all (a refused
  // execute would convert later); the busy flag answers at once instead.
  return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

}  // namespace

HDDEDATA CALLBACK DdeCallback(UINT type, UINT format, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA data, ULONG_PTR,
                              ULONG_PTR) {
  switch (type) {
    case XTYP_CONNECT: return reinterpret_cast<HDDEDATA>(TRUE);
    case XTYP_WILDCONNECT: return WildConnect(hsz1, hsz2);
    case XTYP_REQUEST:
    case XTYP_ADVREQ: return Request(format, hsz2);
    case XTYP_EXECUTE: return Execute(hsz1, data);
    case XTYP_POKE: return reinterpret_cast<HDDEDATA>(DDE_FACK);
    default: return nullptr;
  }
}

bool StartDDEServer(HWND frame, const std::string& serviceName) {
  gService = Service{};
  DWORD instance = 0;
  if (DdeInitializeA(&instance, DdeCallback,
                     APPCLASS_STANDARD | CBF_FAIL_POKES | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS |
                         CBF_SKIP_DISCONNECTS,
                     0) != DMLERR_NO_ERROR)
    return false;
  gService.instance = instance;
  gService.name = serviceName;
  gService.convert = MakeHsz(TSL_DDE_TOPIC_CONVERT);
  gService.parse = MakeHsz(TSL_DDE_TOPIC_PARSE);
  gService.version = MakeHsz(TSL_DDE_TOPIC_VERSION);
  gService.exit = MakeHsz(TSL_DDE_TOPIC_EXIT);
  gService.service = MakeHsz(serviceName.c_str());
  DdeNameService(instance, gService.service, nullptr, DNS_REGISTER);
  gService.frame = frame;
  gService.tslDataFormat = RegisterClipboardFormatA(TSL_DDE_FORMAT);
  return true;
}

void StopDDEServer() {
  if (!gService.instance) return;
  DdeNameService(gService.instance, gService.service, nullptr, DNS_UNREGISTER);
  FreeHsz(gService.service);
  FreeHsz(gService.convert);
  FreeHsz(gService.parse);
  FreeHsz(gService.version);
  FreeHsz(gService.exit);
  DdeUninitialize(gService.instance);
  gService = Service{};
}

void DDEFeedbackProgress(int percent) { PluginProgress(gService.name, percent); }

void DDEProcessingComplete(const char* path, uint32_t width, uint32_t height) {
  tslCurrent = MakeTslData(path, width, height);
  gService.busy = false;
  gService.pending = 0;
  PluginRelease();
}

void DdeCommandLineDone(ATOM atom) {
  if (gService.busy && atom == gService.pending) DDEProcessingComplete(nullptr, 0, 0);
}

bool DdeBusy() { return gService.busy; }
const TSLData& DdeCurrent() { return tslCurrent; }
const std::string& DdeServiceName() { return gService.name; }
DWORD DdeInstance() { return gService.instance; }

}  // namespace tsl::dde
