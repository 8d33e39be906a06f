// Tessella.exe: converts the plot file named on the command line (or opens
// the enhanced metafile named there) and shows the drawing.
#include "platform/win32/message_box_notices.h"
#include "settings/settings_sets.h"
#include "shell/conversion.h"
#include "shell/frame.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  using namespace tsl::shell;
  if (!RegisterFrameClass(instance)) return 0;

  tsl::win32::MessageBoxNotices notices;

  // The start-up settings set, as the user last saved it.
  tsl::InitUtil(notices);
  tsl::SettingsSet setOptions = tsl::DefaultSettings();
  tsl::ReadIniFile(notices, &setOptions, nullptr);

  Frame frame;
  if (!CreateFrame(instance, &frame, show)) {
    tsl::TerminateUtil();
    return 0;
  }
  notices.SetOwner(frame.hwnd);

  std::string file = CommandLineFile(commandLine);
  if (!file.empty()) {
    if (IsMetafileName(file)) DoOpenEMF(frame, notices, file);
    else DoConversion(frame, notices, setOptions, file);
  }

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  tsl::TerminateUtil();
  return static_cast<int>(msg.wParam);
}
