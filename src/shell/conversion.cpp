// Core headers go before <windows.h> (through conversion.h): its macros
// would rewrite their declarations.
#include "common/names.h"
#include "common/notify.h"
#include "common/strings.h"
#include "interpreter/tessella.h"
#include "output/emz.h"
#include "platform/win32/system_text.h"
#include "resources/string_ids.h"

#include "shell/conversion.h"

#include <shellapi.h>

#undef LoadString  // tsl::LoadString, not the Win32 macro

namespace tsl::shell {

std::string CommandLineFile(const char* commandLine) {
  std::string s = commandLine ? commandLine : "";
  auto junk = [](char c) { return c == ' ' || c == '\t' || c == '"'; };
  size_t b = 0, e = s.size();
  while (b < e && junk(s[b])) ++b;
  while (e > b && junk(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool IsMetafileName(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t sep = path.find_last_of("\\/:");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return false;
  return _stricmp(path.c_str() + dot, ".emf") == 0;
}

gdi::ReferenceDevice ScreenReference() {
  gdi::ReferenceDevice ref;
  if (HDC screen = GetDC(nullptr)) {
    int w = GetDeviceCaps(screen, HORZRES), h = GetDeviceCaps(screen, VERTRES);
    int mw = GetDeviceCaps(screen, HORZSIZE), mh = GetDeviceCaps(screen, VERTSIZE);
    if (w > 0 && h > 0 && mw > 0 && mh > 0) {
      ref.szlDevice = {w, h};
      ref.szlMillimeters = {mw, mh};
    }
    ReleaseDC(nullptr, screen);
  }
  return ref;
}

bool DoOpenEMF(Frame& frame, Notices& notices, const std::string& path) {
  std::string error;
  EnhMetaFile emf = OpenEnhMetaFile(path, &error);
  if (!emf) {
    notices.Tell(MakeSystemNotice(IDS_OPEN_METAFILE_FAILED, path, error));
    return false;
  }
  frame.source.clear();
  ReplaceDrawing(frame, std::move(emf));
  SetCaption(frame);
  return true;
}

bool DoConversion(Frame& frame, Notices& notices, const SettingsSet& settings, const std::string& plotFile) {
  OutputNames names;
  if (!MakeNames(notices, plotFile, nullptr, &names)) return false;

  // The run hands over the drawing before its closing message, so the
  // window shows it while the message is up.
  bool shown = false;
  RunEnvironment env;
  env.notices = &notices;
  env.compressEMF = CompressEMF;
  env.reference = ScreenReference();
  env.replaceEMF = [&](const std::string* path, const std::vector<uint8_t>* bytes) {
    EnhMetaFile emf;
    if (path) emf = EnhMetaFile(GetEnhMetaFileA(path->c_str()));
    else if (bytes && !bytes->empty())
      emf = EnhMetaFile(SetEnhMetaFileBits(static_cast<UINT>(bytes->size()), bytes->data()));
    if (!emf) return;
    shown = true;
    frame.source = names.plot;
    ReplaceDrawing(frame, std::move(emf));
    SetCaption(frame);
    if (frame.hwnd) UpdateWindow(frame.hwnd);
  };
  env.showLog = [&frame](const std::string& logPath) { ShowLog(frame.hwnd, logPath, nullptr); };

  return Tessella(settings, names.plot, names.metafile.c_str(), names.log, env) && shown;
}

void ShowLog(HWND owner, const std::string& logPath, const char* viewer) {
  if (!viewer || !*viewer) {
    auto r = reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, "open", logPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (r > 32) return;
    viewer = "NOTEPAD";
  }
  auto r = reinterpret_cast<INT_PTR>(
      ShellExecuteA(owner, "open", viewer, logPath.c_str(), nullptr, SW_SHOWNORMAL));
  if (r > 32) return;
  std::string reason;
  if (!LoadString(100 + static_cast<unsigned>(r), &reason)) reason = "An unexpected error has occurred.";
  std::string text = "Cannot view " + logPath + ":\n\n" + reason;
  MessageBoxA(owner, text.c_str(), nullptr, MB_OK | MB_ICONWARNING);
}

}  // namespace tsl::shell
