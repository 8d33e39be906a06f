// What the dialogs and menus of the Windows program decide without a
// window: Open HP-GL Special's choices, the enabled menu items, the file
// dialogs' strings, the hand-over to a running instance, the About box.
#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include "resources/resource_ids.h"
#include "settings/settings_sets.h"
#include "shell/about_text.h"
#include "shell/dialog_text.h"
#include "shell/hand_over.h"
#include "shell/menu_rules.h"
#include "shell/open_with_options_choice.h"

namespace tsl::shell {
namespace {

TEST(OpenSpecial, OpensWithTheSetUntilAChoiceIsRemembered) {
  SettingsSet set = DefaultSettings();
  set.Set(Rotate, true);
  set.Rotation = 180;
  set.Set(MirrorY, true);
  set.ScalePercent = 33.4f;
  SpecialChoice c = InitialChoice(kNoChoice, 100, set);
  EXPECT_TRUE(c.fixRotation);
  EXPECT_EQ(c.rotation, 180u);
  EXPECT_FALSE(c.mirrorX);
  EXPECT_TRUE(c.mirrorY);
  EXPECT_EQ(ScaleText(c.scale), "33%");

  SpecialChoice chosen{false, 270, true, false, 250};
  uint32_t word = PackChoice(chosen);
  EXPECT_EQ(word, 270u | (1u << 25));
  SpecialChoice again = InitialChoice(word, 250, set);
  EXPECT_FALSE(again.fixRotation);
  EXPECT_EQ(again.rotation, 270u);
  EXPECT_TRUE(again.mirrorX);
  EXPECT_FALSE(again.mirrorY);
  EXPECT_EQ(ScaleText(again.scale), "250%");
  set.Rotation = 45;  // not one of the four radios: 0 is checked
  EXPECT_EQ(InitialChoice(kNoChoice, 100, set).rotation, 0u);
}

TEST(OpenSpecial, TheScaleTextAndTheChoiceWrittenIntoTheSet) {
  EXPECT_EQ(ScaleFromText("abc", 50), 100.0f);
  EXPECT_EQ(ScaleFromText("0%", 50), 100.0f);
  EXPECT_EQ(ScaleFromText("-20", 50), 100.0f);
  EXPECT_EQ(ScaleFromText("150.7%", 50), 150.0f);
  EXPECT_EQ(ScaleFromText("", 50), 50.0f) << "an empty box keeps the scale";
  EXPECT_EQ(ScaleText(99.5f), "100%");

  SettingsSet set = DefaultSettings();
  ApplyChoice(SpecialChoice{false, 90, false, true, 200}, &set);
  EXPECT_FALSE(set.Has(Rotate));
  EXPECT_EQ(set.Rotation, 0) << "no rotation without Fix Rotation";
  EXPECT_TRUE(set.Has(MirrorY));
  EXPECT_EQ(set.ScalePercent, 200.0f);
  ApplyChoice(SpecialChoice{true, 270, true, false, 25}, &set);
  EXPECT_TRUE(set.Has(Rotate));
  EXPECT_EQ(set.Rotation, 270);
  EXPECT_TRUE(set.Has(MirrorX));
  EXPECT_FALSE(set.Has(MirrorY));
}

bool Enabled(const std::vector<MenuItemState>& states, unsigned id) {
  for (const MenuItemState& s : states)
    if (s.id == id) return s.enabled;
  ADD_FAILURE() << "no rule for " << id;
  return false;
}

TEST(MenuRules, SaveAndCopyNeedASourcePasteAMetafileOnTheClipboard) {
  // After Open Metafile there is no source file.
  auto opened = MenuEnabling(MenuFacts{false, false, false});
  for (unsigned id : {IDM_SAVE_EMF, IDM_SAVE_EMZ, IDM_EXPORT_AS, IDM_PRINT, IDM_COPY, IDM_PASTE,
                      IDM_HELP_CONTENTS, IDM_HELP_SEARCH})
    EXPECT_FALSE(Enabled(opened, id)) << id;
  // After a conversion (and after Clear, which keeps the source).
  auto converted = MenuEnabling(MenuFacts{true, true, false});
  for (unsigned id : {IDM_SAVE_EMF, IDM_SAVE_EMZ, IDM_EXPORT_AS, IDM_PRINT, IDM_COPY, IDM_PASTE})
    EXPECT_TRUE(Enabled(converted, id)) << id;
  EXPECT_TRUE(Enabled(MenuEnabling(MenuFacts{false, false, true}), IDM_HELP_SEARCH));
}

TEST(FileDialogs, FiltersTitlesAndNames) {
  std::string f = DialogFilter("HP-GL Files (*.PLT, *.HPG, *.HGL)$*.plt;*.hpg;*.hgl$All Files (*.*)$*.*$$");
  EXPECT_EQ(f, std::string("HP-GL Files (*.PLT, *.HPG, *.HGL)\0*.plt;*.hpg;*.hgl\0All Files (*.*)\0*.*\0\0\0\0", 75));
  EXPECT_EQ(DialogFilter("A|*.a||"), std::string("A\0*.a\0\0\0\0", 9)) << "its own last character separates";
  for (unsigned id : {40014u, 40017u, 40020u, 40032u, 40084u, 40088u}) EXPECT_TRUE(IsSaveDialog(id)) << id;
  for (unsigned id : {40005u, 40008u, 40011u, 40023u, 40029u}) EXPECT_FALSE(IsSaveDialog(id)) << id;
  EXPECT_EQ(EmzSuggestion("C:\\out\\plan.emf"), "C:\\out\\plan.emz");
  EXPECT_EQ(EmzSuggestion("C:\\out\\PLAN.EMF"), "C:\\out\\PLAN.EMz");
  EXPECT_EQ(EmzSuggestion("plan.wmx"), "plan.wmx");
  EXPECT_EQ(ShowLogFailureText("C:\\a.log", 2), "Cannot view C:\\a.log:\n\nThe specified file was not found.");
  EXPECT_EQ(ShowLogFailureText("a.log", 77), "Cannot view a.log:\n\nAn unexpected error has occurred.");
  EXPECT_EQ(SaveCompleteText("C:\\out\\plan.emf", 1536), "File 'plan.emf' (1.5 KB)\nhas been saved to folder\nC:\\out.");
  EXPECT_EQ(SaveCompleteCaption(), "Save As... Complete");
}

TEST(HandOver, TheSecondStartSendsItsCommandLineMarked) {
  EXPECT_EQ(HandOverText("b.plt"), "-2 b.plt");
  EXPECT_EQ(HandOverText(""), "-2 ");
  EXPECT_EQ(HandOverText(std::string(300, 'x')).size(), 255u) << "an atom holds no more";
  EXPECT_TRUE(RunsOnItsOwn("/DDE"));
  EXPECT_TRUE(RunsOnItsOwn("a.plt -DDE:Other"));
  EXPECT_FALSE(RunsOnItsOwn("/dde a.plt")) << "as written";
  EXPECT_FALSE(RunsOnItsOwn("dde.plt"));
}

TEST(About, NamesTheProgramAndTheLibrariesItWasLinkedWith) {
  EXPECT_EQ(AboutProgramName(), "Tessella");
  EXPECT_EQ(AboutVersion(), "Version 5.4.1110");
  EXPECT_NE(AboutCopyright().find("Copyright"), std::string::npos);
  std::string libs = AboutLibraries();
  EXPECT_NE(libs.find(std::string("zlib ") + zlibVersion()), std::string::npos) << libs;
  EXPECT_NE(libs.find(std::string("libpng ") + png_get_libpng_ver(nullptr)), std::string::npos) << libs;
  EXPECT_NE(libs.find("libjpeg-turbo "), std::string::npos) << libs;
}

}  // namespace
}  // namespace tsl::shell
