#include "settings/settings_set.h"

#include <cstring>

namespace tsl {

namespace {
constexpr gdi::COLORREF kDefaultPens[kConfiguredPens] = {
    gdi::RGB(0, 0, 0),       gdi::RGB(0, 0, 0),     gdi::RGB(255, 0, 0),   gdi::RGB(0, 255, 0),
    gdi::RGB(255, 255, 0),   gdi::RGB(0, 0, 255),   gdi::RGB(255, 0, 255), gdi::RGB(0, 255, 255),
    gdi::RGB(128, 0, 128),   gdi::RGB(0, 0, 0),     gdi::RGB(128, 0, 0),   gdi::RGB(0, 128, 0),
    gdi::RGB(128, 128, 0),   gdi::RGB(0, 0, 128),   gdi::RGB(128, 0, 128), gdi::RGB(0, 128, 128),
    gdi::RGB(0, 0, 0)};
}  // namespace

gdi::COLORREF DefaultPenColor(unsigned pen) {
  return pen < kConfiguredPens ? kDefaultPens[pen] : 0;
}

SettingsSet DefaultSettings(const char* name) {
  SettingsSet s;
  std::strncpy(s.Name, name ? name : "Default", sizeof s.Name - 1);
  for (unsigned pen = 0; pen < kConfiguredPens; ++pen) s.PenColor[pen] = kDefaultPens[pen];
  s.FramePicture = 1;
  s.PageWidth = 297;
  s.PageHeight = 210;
  s.InitialCmdBuffer = 1024;
  s.Flags = AutoCopy | CompatibilityMode | AssumeIN | OEMConvert;
  s.ScalePercent = 100.0f;
  s.Font.lfWeight = 400;
  s.Font.lfQuality = 1;
  s.Font.lfPitchAndFamily = 0x31;
  std::strncpy(s.Font.lfFaceName, "Courier New", sizeof s.Font.lfFaceName - 1);
  return s;
}

}  // namespace tsl
