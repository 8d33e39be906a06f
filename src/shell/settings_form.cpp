#include "shell/settings_form.h"

#include <algorithm>
#include <cstring>

#include "common/ini_document.h"
#include "resources/settings_ids.h"
#include "settings/settings_keys.h"
#include "settings/settings_sets.h"

namespace tsl::shell {

namespace {

struct FlagBox {
  int id;
  SettingsFlag flag;
};

constexpr FlagBox kFlagBoxes[] = {
    {IDC_SET_AUTO_COPY, AutoCopy},         {IDC_SET_NO_AUTO_CLOSE, NoAutoClose},
    {IDC_SET_NO_INFO, NoInfoMessages},     {IDC_SET_NO_NOP, NoNOPWarnings},
    {IDC_SET_NO_WARNINGS, NoWarnings},     {IDC_SET_PURGE_LOGS, PurgeLogs},
    {IDC_SET_PURGE_EMF, PurgeEMF},         {IDC_SET_AUTO_EMZ, AutoEMZ},
    {IDC_SET_COMPATIBILITY, CompatibilityMode}, {IDC_SET_ASSUME_IN, AssumeIN},
    {IDC_SET_OEM_CONVERT, OEMConvert},     {IDC_SET_LJ_MODE, LJMode},
    {IDC_SET_HIGH_RES, HighResolution},    {IDC_SET_NORMALIZE, Normalize},
    {IDC_SET_MULTIPLE_PAGES, MultiplePages}, {IDC_SET_MIRROR_X, MirrorX},
    {IDC_SET_MIRROR_Y, MirrorY},           {IDC_SET_DRAW_CHARS, DrawChars},
};

constexpr const char* kDefaultFace = "Courier New";

}  // namespace

const PaperPreset kPaperPresets[5] = {
    {"DIN A4 (297mm x 210mm)", 297, 210, 100}, {"DIN A3 (420mm x 297mm)", 420, 297, 100},
    {"DIN A2 (594mm x 420mm)", 594, 420, 100}, {"DIN A1 (840mm x 594mm)", 840, 594, 50},
    {"DIN A0 (1188mm x 840mm)", 1188, 840, 50},
};

std::vector<std::string> SetListNames(const std::vector<std::string>& stored) {
  std::vector<std::string> names;
  for (const std::string& n : stored)
    if (FoldName(n) != FoldName("Tessella")) names.push_back(n);
  if (names.empty()) names.push_back(kDefaultSetName);
  return names;
}

std::string PaperFor(const SettingsSet& set) {
  // A set that never had a scale (0, or nonsense) is taken at 100 %
  // rather than divided by.
  double scale = set.ScalePercent > 0 ? set.ScalePercent : 100.0;
  long s = static_cast<long>(std::min(set.PageWidth, set.PageHeight) * 100.0 / scale);
  if (s >= 211 && s <= 297) return "DIN A3";
  if (s >= 298 && s <= 420) return "DIN A2";
  if (s >= 421 && s <= 594) return "DIN A1";
  if (s >= 595 && s <= 840) return "DIN A0";
  return "DIN A4";
}

int16_t FrameFromDialog(bool expand, long number) {
  if (!expand) return static_cast<int16_t>(std::clamp(number, 0L, 100L));
  return static_cast<int16_t>(-std::clamp(number < 0 ? -number : number, 1L, 32767L));
}

int16_t LimitPenWidth(long width) {
  return static_cast<int16_t>(std::clamp<long>(width, kMinPenWidth, kMaxPenWidth));
}

void ResetPens(PenScratch* pens) {
  for (unsigned pen = 1; pen < kConfiguredPens; ++pen) {
    pens->color[pen] = DefaultPenColor(pen);
    pens->width[pen] = 0;
  }
  pens->ignoreLT = false;
}

void SetToDlg(SettingsControls& controls, const SettingsSet& set, PenScratch* pens) {
  for (unsigned pen = 1; pen < kConfiguredPens; ++pen) {
    pens->color[pen] = set.PenColor[pen];
    pens->width[pen] = set.PenWidth[pen];
  }
  pens->ignoreLT = set.Has(IgnoreLT);

  bool expand = set.FramePicture < 0;
  controls.Check(IDC_SET_FRAME_PAPER, expand);
  controls.Check(IDC_SET_FRAME_MARGIN, !expand);
  controls.SetNumber(IDC_SET_MARGIN, expand ? -static_cast<long>(set.FramePicture) : set.FramePicture);
  controls.Enable(IDC_SET_MARGIN, !expand);

  controls.SelectPrefix(IDC_SET_PAPER, PaperFor(set));

  for (const FlagBox& box : kFlagBoxes) controls.Check(box.id, set.Has(box.flag));
  controls.Enable(IDC_SET_SELECT_FONT, !set.Has(DrawChars));
  controls.Enable(IDC_SET_MULTIPLE_PAGES, true);
  controls.Enable(IDC_SET_AUTO_EMZ, true);

  controls.SelectExact(IDC_SET_NAME, std::string(set.Name, strnlen(set.Name, sizeof set.Name)));
  std::string face(set.Font.lfFaceName, strnlen(set.Font.lfFaceName, sizeof set.Font.lfFaceName));
  controls.SetText(IDC_SET_FONT, face.empty() ? kDefaultFace : face);
}

void DlgToSet(const SettingsControls& controls, const PenScratch& pens, SettingsSet* set) {
  *set = SettingsSet{};
  for (unsigned pen = 1; pen < kConfiguredPens; ++pen) {
    set->PenColor[pen] = pens.color[pen];
    set->PenWidth[pen] = pens.width[pen];
  }
  set->Set(IgnoreLT, pens.ignoreLT);

  set->FramePicture = FrameFromDialog(controls.Checked(IDC_SET_FRAME_PAPER), controls.Number(IDC_SET_MARGIN));

  std::string paper = controls.Selection(IDC_SET_PAPER);
  const PaperPreset* preset = &kPaperPresets[0];
  if (paper.size() > 5 && paper.compare(0, 5, "DIN A") == 0 && paper[5] >= '0' && paper[5] <= '3')
    preset = &kPaperPresets[4 - (paper[5] - '0')];
  set->PageWidth = preset->width;
  set->PageHeight = preset->height;
  set->ScalePercent = preset->scale;

  for (const FlagBox& box : kFlagBoxes) set->Set(box.flag, controls.Checked(box.id));

  std::string name = controls.Selection(IDC_SET_NAME);
  if (name.size() > kMaxSetName) name.resize(kMaxSetName);
  std::memcpy(set->Name, name.data(), name.size());
  set->InitialCmdBuffer = 1024;
  if (!name.empty()) {
    SettingsSet stored;
    ReadIniFile(NoOneToTell(), &stored, name.c_str());
    set->InitialCmdBuffer = stored.InitialCmdBuffer;
    set->Set(IgnorePC, stored.Has(IgnorePC));
  }

  set->Font = gdi::LogFont{};
  set->Font.lfPitchAndFamily = 0x31;
  std::string face = controls.Text(IDC_SET_FONT);
  if (face.size() > kMaxFaceName) face.resize(kMaxFaceName);
  // The default face is stored as none, so that the set follows the default.
  if (face != kDefaultFace) std::memcpy(set->Font.lfFaceName, face.data(), face.size());
}

}  // namespace tsl::shell
