// HTML Help, loaded at run time from hhctrl.ocx: the program runs (with
// its Help items disabled) where it is missing.
#include "shell/help_topics.h"

#include "resources/resource_ids.h"

#include "shell/commands.h"
#include "shell/globals.h"
#include "shell/help_viewer.h"

namespace tsl::shell {

namespace {

// The HTML Help commands in use.
constexpr UINT kDisplayTopic = 0x0000;
constexpr UINT kDisplayToc = 0x0001;
constexpr UINT kCloseAll = 0x0012;
constexpr UINT kInitialize = 0x001C;
constexpr UINT kUninitialize = 0x001D;

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HMODULE hhctrl = nullptr;
HtmlHelpFn htmlHelp = nullptr;
bool helpUsed = false;

// Loads the viewer and initialises it once; false when it is missing.
bool Ready() {
  if (htmlHelp) return true;
  if (!hhctrl) hhctrl = LoadLibraryA("hhctrl.ocx");
  if (!hhctrl) return false;
  htmlHelp = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(hhctrl, "HtmlHelpA")));
  if (!htmlHelp) return false;
  htmlHelp(nullptr, nullptr, kInitialize, reinterpret_cast<DWORD_PTR>(&gvGlobals.helpCookie));
  helpUsed = true;
  return true;
}

}  // namespace

HWND ShowHelp(HWND frame, unsigned id) {
  if (gvGlobals.helpFile.empty() || !Ready()) return nullptr;
  if (id == IDM_HELP_SEARCH) return htmlHelp(frame, gvGlobals.helpFile.c_str(), kDisplayToc, 0);
  int context = HelpContextOf(id);
  std::string topic = HelpTopicUrl(gvGlobals.helpFile, context < 0 ? 0 : context);
  return htmlHelp(frame, topic.c_str(), kDisplayTopic, 0);
}

void CloseHelp() {
  if (helpUsed && htmlHelp) {
    htmlHelp(nullptr, nullptr, kCloseAll, 0);
    htmlHelp(nullptr, nullptr, kUninitialize, gvGlobals.helpCookie);
  }
  helpUsed = false;
  htmlHelp = nullptr;
  if (hhctrl) FreeLibrary(hhctrl);
  hhctrl = nullptr;
}

}  // namespace tsl::shell
