// The Options and Pen Settings dialogs' logic over stand-in controls, with
// the sets saved into and read back from a store in memory, and what the
// Preferences dialog makes of the file associations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "common/ini_document.h"
#include "resources/settings_ids.h"
#include "settings/settings_sets.h"
#include "settings/settings_store.h"
#include "shell/association_text.h"
#include "shell/settings_form.h"

namespace tsl::shell {
namespace {

// The controls of the Options dialog as plain values.
class FakeControls : public SettingsControls {
 public:
  FakeControls() {
    for (const PaperPreset& p : kPaperPresets) items[IDC_SET_PAPER].push_back(p.item);
  }
  bool Checked(int id) const override { return checked.count(id) && checked.at(id); }
  void Check(int id, bool on) override { checked[id] = on; }
  void Enable(int id, bool on) override { enabled[id] = on; }
  std::string Text(int id) const override { return texts.count(id) ? texts.at(id) : std::string(); }
  void SetText(int id, const std::string& text) override { texts[id] = text; }
  long Number(int id) const override { return numbers.count(id) ? numbers.at(id) : 0; }
  void SetNumber(int id, long value) override { numbers[id] = value; }
  std::string Selection(int id) const override { return selected.count(id) ? selected.at(id) : std::string(); }
  void SelectExact(int id, const std::string& text) override {
    auto& list = items[id];
    auto it = std::find_if(list.begin(), list.end(), [&](const std::string& s) { return FoldName(s) == FoldName(text); });
    selected[id] = it == list.end() ? std::string() : *it;
  }
  void SelectPrefix(int id, const std::string& prefix) override {
    for (const std::string& s : items[id])
      if (s.compare(0, prefix.size(), prefix) == 0) {
        selected[id] = s;
        return;
      }
  }

  std::map<int, bool> checked, enabled;
  std::map<int, std::string> texts, selected;
  std::map<int, long> numbers;
  std::map<int, std::vector<std::string>> items;
};

// The registry's rules that matter here: sections and values by name
// without regard to case.
class MemoryStore : public SettingsStore {
 public:
  bool Read(const std::string& section, const std::string& name, StoreValue* value) override {
    auto s = data_.find(FoldName(section));
    if (s == data_.end()) return false;
    auto v = s->second.find(FoldName(name));
    if (v == s->second.end()) return false;
    *value = v->second;
    return true;
  }
  StoreStatus WriteNumber(const std::string& section, const std::string& name, uint32_t value) override {
    StoreValue v;
    v.number = value;
    data_[FoldName(section)][FoldName(name)] = v;
    return StoreStatus::Ok();
  }
  StoreStatus WriteText(const std::string& section, const std::string& name, const std::string& text) override {
    StoreValue v;
    v.type = StoreValue::Type::Text;
    v.text = text;
    data_[FoldName(section)][FoldName(name)] = v;
    return StoreStatus::Ok();
  }
  StoreStatus DeleteValue(const std::string& section, const std::string& name) override {
    return data_[FoldName(section)].erase(FoldName(name)) ? StoreStatus::Ok() : StoreStatus::NotFound();
  }
  StoreStatus DeleteSection(const std::string& section) override {
    return data_.erase(FoldName(section)) ? StoreStatus::Ok() : StoreStatus::NotFound();
  }
  bool ListSections(std::vector<std::string>* names) override {
    for (const auto& s : data_)
      if (!s.first.empty()) names->push_back(s.first);
    return !data_.empty();
  }
  bool ListValues(const std::string& section, std::vector<std::string>* names) override {
    for (const auto& v : data_[FoldName(section)]) names->push_back(v.first);
    return true;
  }

 private:
  std::map<std::string, std::map<std::string, StoreValue>> data_;
};

class SettingsForm : public ::testing::Test {
 protected:
  SettingsForm() {
    SetSettingsStore(&store);
    controls.items[IDC_SET_NAME] = {"Default", "Plotter"};
  }
  ~SettingsForm() override { SetSettingsStore(nullptr); }

  // What the dialog shows for `set`, taken back as a set.
  SettingsSet RoundTrip(const SettingsSet& set) {
    SetToDlg(controls, set, &pens);
    SettingsSet out;
    DlgToSet(controls, pens, &out);
    return out;
  }
  SettingsSet Stored(const char* name) {
    SettingsSet set;
    ReadIniFile(NoOneToTell(), &set, name);
    return set;
  }

  MemoryStore store;
  FakeControls controls;
  PenScratch pens;
};

TEST_F(SettingsForm, LargePapersShowAsA4OnTheActiveSetAndAsThemselvesOnceStored) {
  for (const char* paper : {"DIN A0", "DIN A1"}) {
    SCOPED_TRACE(paper);
    SetToDlg(controls, Stored("Plotter"), &pens);
    controls.SelectPrefix(IDC_SET_PAPER, paper);
    SettingsSet active;
    DlgToSet(controls, pens, &active);
    EXPECT_EQ(active.ScalePercent, 50.0f);
    EXPECT_EQ(std::string(active.Name), "Plotter");

    // The active set is at 50 %: its smaller side counts double.
    SetToDlg(controls, active, &pens);
    EXPECT_EQ(controls.Selection(IDC_SET_PAPER).substr(0, 6), "DIN A4");

    ASSERT_TRUE(SaveSet(NoOneToTell(), active, "Plotter"));
    SettingsSet reread = Stored("Plotter");
    EXPECT_EQ(reread.ScalePercent, 100.0f);
    SetToDlg(controls, reread, &pens);
    EXPECT_EQ(controls.Selection(IDC_SET_PAPER).substr(0, 6), paper);
  }
  // Every other size survives the store and the dialog unchanged.
  for (int i = 0; i < 3; ++i) {
    controls.selected[IDC_SET_PAPER] = kPaperPresets[i].item;
    SettingsSet set;
    DlgToSet(controls, pens, &set);
    EXPECT_EQ(RoundTrip(set).PageWidth, kPaperPresets[i].width);
  }
}

TEST_F(SettingsForm, PaperOfASetWithoutScaleOrSelectionIsA4) {
  SettingsSet set = DefaultSettings();
  set.PageWidth = 420;
  set.PageHeight = 594;
  set.ScalePercent = 0;  // never divided by
  EXPECT_EQ(PaperFor(set), "DIN A2");
  controls.selected.erase(IDC_SET_PAPER);
  SettingsSet out;
  DlgToSet(controls, pens, &out);
  EXPECT_EQ(out.PageWidth, 297);
  EXPECT_EQ(out.PageHeight, 210);
  EXPECT_EQ(out.ScalePercent, 100.0f);
}

TEST_F(SettingsForm, MarginIsLimitedForEqualSpaceAndNegatedForPaperSize) {
  SetToDlg(controls, Stored("Plotter"), &pens);
  controls.SetNumber(IDC_SET_MARGIN, 250);
  SettingsSet set;
  DlgToSet(controls, pens, &set);
  EXPECT_EQ(set.FramePicture, 100);

  controls.Check(IDC_SET_FRAME_MARGIN, false);
  controls.Check(IDC_SET_FRAME_PAPER, true);
  DlgToSet(controls, pens, &set);
  EXPECT_EQ(set.FramePicture, -250);
  SetToDlg(controls, set, &pens);
  EXPECT_EQ(controls.Number(IDC_SET_MARGIN), 250);
  EXPECT_TRUE(controls.Checked(IDC_SET_FRAME_PAPER));
  EXPECT_FALSE(controls.enabled[IDC_SET_MARGIN]);

  // "Expand" with no number still expands: 0 would mean no margin instead.
  EXPECT_EQ(FrameFromDialog(true, 0), -1);
  EXPECT_EQ(FrameFromDialog(true, 99999), -32767);
  EXPECT_EQ(FrameFromDialog(false, -5), 0);
}

TEST_F(SettingsForm, DefaultFaceIsStoredEmptyAndShownAgain) {
  SetToDlg(controls, Stored("Plotter"), &pens);
  EXPECT_EQ(controls.Text(IDC_SET_FONT), "Courier New");
  SettingsSet set;
  DlgToSet(controls, pens, &set);
  EXPECT_EQ(set.Font.lfFaceName[0], '\0');
  EXPECT_EQ(set.Font.lfPitchAndFamily, 0x31);
  ASSERT_TRUE(SaveSet(NoOneToTell(), set, "Plotter"));
  StoreValue v;
  ASSERT_TRUE(store.Read("Plotter", "FontName", &v));
  EXPECT_EQ(v.text, "");
  SetToDlg(controls, Stored("Plotter"), &pens);
  EXPECT_EQ(controls.Text(IDC_SET_FONT), "Courier New");

  controls.SetText(IDC_SET_FONT, "Arial Narrow Special Condensed Extra Long");
  DlgToSet(controls, pens, &set);
  EXPECT_EQ(std::string(set.Font.lfFaceName), std::string("Arial Narrow Special Condensed Extra Long").substr(0, 31));
}

TEST_F(SettingsForm, FlagsPensAndHiddenValuesSurviveTheDialogAndTheStore) {
  SettingsSet stored = DefaultSettings("Plotter");
  stored.InitialCmdBuffer = 4096;
  stored.Set(IgnorePC, true);
  ASSERT_TRUE(SaveSet(NoOneToTell(), stored, "Plotter"));

  SettingsSet set = Stored("Plotter");
  const uint32_t shown = AutoCopy | NoAutoClose | NoNOPWarnings | NoInfoMessages | CompatibilityMode | AssumeIN |
                         MirrorX | MirrorY | OEMConvert | LJMode | DrawChars | MultiplePages | HighResolution |
                         Normalize | PurgeLogs | PurgeEMF | NoWarnings | AutoEMZ | IgnoreLT;
  for (uint32_t flags : {shown, 0u, AutoEMZ | MirrorY}) {
    set.Flags = flags | Unattended | Quiet;  // run state is not the dialog's
    set.PenColor[5] = 0x00123456;
    set.PenWidth[16] = -7;
    SettingsSet out = RoundTrip(set);
    EXPECT_EQ(out.Flags, (flags & shown) | IgnorePC);
    EXPECT_EQ(out.InitialCmdBuffer, 4096u);
    EXPECT_EQ(out.PenColor[5], 0x00123456u);
    EXPECT_EQ(out.PenWidth[16], -7);
    EXPECT_EQ(controls.enabled[IDC_SET_SELECT_FONT], (flags & DrawChars) == 0);
  }
  // A set that is not stored gets the defaults of the hidden values.
  controls.items[IDC_SET_NAME].push_back("New");
  controls.SelectExact(IDC_SET_NAME, "New");
  SettingsSet fresh;
  DlgToSet(controls, pens, &fresh);
  EXPECT_EQ(fresh.InitialCmdBuffer, 1024u);
  EXPECT_FALSE(fresh.Has(IgnorePC));
}

TEST_F(SettingsForm, PenWidthsAreLimitedAndResetRestoresTheDefaults) {
  EXPECT_EQ(LimitPenWidth(-100), -80);
  EXPECT_EQ(LimitPenWidth(70), 50);
  EXPECT_EQ(LimitPenWidth(-80), -80);
  EXPECT_EQ(LimitPenWidth(3), 3);

  SetToDlg(controls, Stored("Plotter"), &pens);
  pens.width[1] = LimitPenWidth(-100);
  pens.width[2] = LimitPenWidth(70);
  pens.color[3] = 0x00FF8000;
  pens.ignoreLT = true;
  SettingsSet set;
  DlgToSet(controls, pens, &set);
  ASSERT_TRUE(SaveSet(NoOneToTell(), set, "Plotter"));
  SettingsSet reread = Stored("Plotter");
  EXPECT_EQ(reread.PenWidth[1], -80);
  EXPECT_EQ(reread.PenWidth[2], 50);
  EXPECT_EQ(reread.PenColor[3], 0x00FF8000u);
  EXPECT_TRUE(reread.Has(IgnoreLT));

  ResetPens(&pens);
  for (unsigned pen = 1; pen < kConfiguredPens; ++pen) {
    EXPECT_EQ(pens.color[pen], DefaultPenColor(pen));
    EXPECT_EQ(pens.width[pen], 0);
  }
  EXPECT_FALSE(pens.ignoreLT);
}

TEST(SetList, LeavesOutTheProgramsOwnKeyAndOffersDefaultWhenEmpty) {
  EXPECT_EQ(SetListNames({"A", "TESSELLA", "b"}), (std::vector<std::string>{"A", "b"}));
  EXPECT_EQ(SetListNames({"tessella"}), std::vector<std::string>{"Default"});
  EXPECT_EQ(SetListNames({}), std::vector<std::string>{"Default"});
  EXPECT_EQ(NormalizeSetName(" \t[ Engraving ]\r\n"), "Engraving");
}

TEST(Associations, OnlyChangedBoxesTouchTheRegistryAndOurDescriptionIsRecognised) {
  EXPECT_EQ(StepFor(true, false), AssociationStep::Associate);
  EXPECT_EQ(StepFor(false, true), AssociationStep::Unassociate);
  EXPECT_EQ(StepFor(false, false), AssociationStep::None);
  EXPECT_TRUE(IsOurDescription("Tessella File"));
  EXPECT_FALSE(IsOurDescription("Tessel"));
  EXPECT_FALSE(IsOurDescription("Other Plot Viewer"));
  EXPECT_EQ(FileTypeDescription("%s File", kProgramId), "Tessella File");
  // A path with blanks must not let "C:\Program.exe" open the file.
  EXPECT_EQ(OpenCommand("C:\\Program Files\\Tessella.exe"), "\"C:\\Program Files\\Tessella.exe\" \"%1\"");
  EXPECT_EQ(IconValue("C:\\T\\Tessella.exe"), "C:\\T\\Tessella.exe,0");
}

}  // namespace
}  // namespace tsl::shell
