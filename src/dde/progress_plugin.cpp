#include "dde/progress_plugin.h"

#include "dde/dde_server.h"

namespace tsl::dde {

namespace {

struct Plugin {
  HMODULE library = nullptr;
  TSLSetProgressProc setProgress = nullptr;
  ProgressGate gate;
};
Plugin gPlugin;

}  // namespace

void PluginProgress(const std::string& service, int percent) {
  if (!gPlugin.gate.Pass(percent)) return;
  if (!gPlugin.library) {
    // A library that is not there must not stop the run with a box.
    UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    gPlugin.library = LoadLibraryA(TSL_PLUGIN_LIBRARY);
    SetErrorMode(mode);
  }
  if (!gPlugin.library) return;
  if (!gPlugin.setProgress)
    gPlugin.setProgress = reinterpret_cast<TSLSetProgressProc>(
        reinterpret_cast<void*>(GetProcAddress(gPlugin.library, TSL_PLUGIN_FUNCTION)));
  if (!gPlugin.setProgress) return;
  gPlugin.setProgress(service.c_str(), percent);
}

void PluginRelease() {
  if (gPlugin.library) FreeLibrary(gPlugin.library);
  gPlugin.library = nullptr;
  gPlugin.setProgress = nullptr;
  gPlugin.gate.Reset();
}

}  // namespace tsl::dde
