// What the Options and Pen Settings dialogs show for a settings set, and
// what a set becomes from their controls, over a small interface to the
// controls: the dialog procedures only move values between the controls and
// these functions, and the tests run them without a window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_set.h"

namespace tsl::shell {

// The controls of the Options dialog, by their IDs.
class SettingsControls {
 public:
  virtual ~SettingsControls() = default;
  virtual bool Checked(int id) const = 0;
  virtual void Check(int id, bool on) = 0;
  virtual void Enable(int id, bool on) = 0;
  virtual std::string Text(int id) const = 0;
  virtual void SetText(int id, const std::string& text) = 0;
  // A signed number edit; 0 when it holds no number.
  virtual long Number(int id) const = 0;
  virtual void SetNumber(int id, long value) = 0;
  // Combo boxes: the selected item ("" with none), and selecting the item
  // that is `text` (exactly) or begins with it.
  virtual std::string Selection(int id) const = 0;
  virtual void SelectExact(int id, const std::string& text) = 0;
  virtual void SelectPrefix(int id, const std::string& prefix) = 0;
};

// Pens 1..16 and IgnoreLT while the Options dialog is open: the Pen
// Settings dialog edits them, and they reach a set only through DlgToSet.
struct PenScratch {
  gdi::COLORREF color[kConfiguredPens] = {};
  int16_t width[kConfiguredPens] = {};
  bool ignoreLT = false;
};

// The paper combo box's items, A4 first; the sizes and scales they set.
struct PaperPreset {
  const char* item;
  int16_t width, height;  // mm
  float scale;            // percent
};
extern const PaperPreset kPaperPresets[5];

// The set names the set list offers: the store's sets but one named
// "Tessella" (any case), or "Default" alone when there are none.
std::vector<std::string> SetListNames(const std::vector<std::string>& stored);

void SetToDlg(SettingsControls& controls, const SettingsSet& set, PenScratch* pens);
// The set shown: cleared, then filled from the controls and the pens.
// InitialCmdBuffer and IgnorePC are not on the dialog: they come from the
// stored set of the selected name.
void DlgToSet(const SettingsControls& controls, const PenScratch& pens, SettingsSet* set);

// What the paper combo box selects for a set ("DIN A4" ... "DIN A0").
std::string PaperFor(const SettingsSet& set);

// The margin as stored: 0..100 mm for equal space; with the frame expanded
// to the paper, negative (never 0, which would mean no margin instead).
int16_t FrameFromDialog(bool expand, long number);

// A pen width as the Pen Settings dialog stores it: limited to -80..50.
int16_t LimitPenWidth(long width);
// Reset: default colours, widths 0, LT commands obeyed.
void ResetPens(PenScratch* pens);

}  // namespace tsl::shell
