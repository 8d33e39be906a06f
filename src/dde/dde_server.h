// The DDE conversion service: other programs send a command line to convert
// (topic "Convert") or measure ("Parse"), poll until the run is done and
// request its result as text or as a TSLData record; "Version" and "Exit"
// do what they say.
#pragma once
#include "dde/dde_logic.h"

#include "platform/windows_lean.h"
#include <ddeml.h>

#include <string>

namespace tsl::dde {

// Registers the service under `serviceName`; command lines go to `frame`
// as command 1999 with an atom, Exit as command 1030. False when DDEML
// could not be initialised (the program goes on without the service).
bool StartDDEServer(HWND frame, const std::string& serviceName);
// Unregisters it; nothing happens when it is not running.
void StopDDEServer();

HDDEDATA CALLBACK DdeCallback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                              ULONG_PTR data1, ULONG_PTR data2);

// A DDE run's progress, for the host viewer's plug-in.
void DDEFeedbackProgress(int percent);
// A DDE run has ended: `path` is the metafile written, none when nothing
// was written. The service answers again, with this result.
void DDEProcessingComplete(const char* path, uint32_t width, uint32_t height);

// The command line in `atom` has been processed. When it was the one an
// execute posted and no conversion completed it (no file matched, the
// file could not be read, ...), the service leaves its busy state with an
// empty result instead of staying busy for good.
void DdeCommandLineDone(ATOM atom);

bool DdeBusy();
const TSLData& DdeCurrent();          // tslCurrent: the last result
const std::string& DdeServiceName();  // the name it is registered under
DWORD DdeInstance();                  // 0 when not running

}  // namespace tsl::dde
