// The Win32 side of the seam: message boxes, string resources, system texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/strings.h"
#include "platform/win32/message_box_notices.h"
#include "platform/win32/system_text.h"
#include "resources/string_ids.h"

#include "platform/windows_lean.h"

namespace {

struct TableEntry {
  unsigned id;
  const char* text;
};
constexpr TableEntry kEntries[] = {
#define TSL_STRING(id, text) {id, text},
#include "resources/strings.inc"
#undef TSL_STRING
};

// The resource compiler must reproduce every entry of the shared list
// exactly: escapes, quotes, percent signs and '$' separators included.
TEST(StringResources, EveryEntryLoadsFromTheResourcesAsInThePortableTable) {
  ASSERT_GT(std::size(kEntries), 50u);
  for (const TableEntry& e : kEntries) {
    std::string fromResources, portable;
    ASSERT_TRUE(tsl::win32::LoadResString(nullptr, e.id, &fromResources)) << e.id;
    ASSERT_TRUE(tsl::LoadString(e.id, &portable)) << e.id;
    EXPECT_EQ(fromResources, e.text) << e.id;
    EXPECT_EQ(fromResources, portable) << e.id;
  }
}

TEST(StringResources, CutsToCapacityLikeThePortableTableAndMissesUnknownIds) {
  std::string res, portable;
  ASSERT_TRUE(tsl::win32::LoadResString(nullptr, 40001, &res, 10));
  ASSERT_TRUE(tsl::LoadString(40001, &portable, 10));
  EXPECT_EQ(res, "File '%s'");
  EXPECT_EQ(res, portable);
  EXPECT_FALSE(tsl::win32::LoadResString(nullptr, 40003, &res));
  EXPECT_FALSE(tsl::win32::LoadResString(nullptr, 40001, &res, 0));
  EXPECT_FALSE(tsl::win32::LoadResString(nullptr, 0x10000 + 40001, &res));
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM out) {
  char cls[32] = {}, text[512] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
    reinterpret_cast<std::vector<std::string>*>(out)->push_back(text);
  return TRUE;
}

// Texts of the static controls of a window.
std::vector<std::string> StaticTexts(HWND box) {
  std::vector<std::string> texts;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// Shows a notice and presses `button` on its box as soon as the box is
// activated (a CBT hook of this thread), after reading its caption and texts.
struct BoxRun {
  tsl::NoticeAnswer answer{};
  bool found = false;
  std::string caption;
  std::vector<std::string> texts;
  int button = 0;
};
BoxRun* gBoxRun = nullptr;

LRESULT CALLBACK PressOnActivate(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && gBoxRun && !gBoxRun->found) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char cls[32] = {}, caption[256] = {};
    GetClassNameA(box, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0) {
      gBoxRun->found = true;
      GetWindowTextA(box, caption, sizeof caption);
      gBoxRun->caption = caption;
      gBoxRun->texts = StaticTexts(box);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(gBoxRun->button, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BoxRun ShowAndPress(const tsl::Notice& notice, int button) {
  BoxRun run;
  run.button = button;
  gBoxRun = &run;
  HHOOK hook = SetWindowsHookExA(WH_CBT, PressOnActivate, nullptr, GetCurrentThreadId());
  EXPECT_NE(hook, nullptr);
  tsl::win32::MessageBoxNotices notices;
  // Without the hook nobody would press a button: do not show the box then.
  if (hook) run.answer = notices.Tell(notice);
  if (hook) UnhookWindowsHookEx(hook);
  gBoxRun = nullptr;
  return run;
}

// The desktop's notices: the string table's text filled with the notice's
// arguments, under the notice's caption, and the button pressed as the answer.
TEST(MessageBoxNotices, ShowsTheTextUnderTheCaptionAndReportsTheButtonPressed) {
  tsl::Notice question = tsl::MakeNotice(IDS_VIEW_LOG_QUESTION, {"c.log"}, tsl::NoticeIcon::Question);
  question.buttons = tsl::NoticeButtons::YesNo;
  BoxRun yes = ShowAndPress(question, IDYES);
  ASSERT_TRUE(yes.found);
  EXPECT_EQ(yes.caption, "Tessella");
  EXPECT_EQ(yes.answer, tsl::NoticeAnswer::Yes);
  const std::string asked = "There were warnings generated during the conversion. Do you want to view the log file?";
  EXPECT_NE(std::find(yes.texts.begin(), yes.texts.end(), asked), yes.texts.end());

  question.caption = "Tessella test box";
  BoxRun no = ShowAndPress(question, IDNO);
  ASSERT_TRUE(no.found);
  EXPECT_EQ(no.caption, "Tessella test box");
  EXPECT_EQ(no.answer, tsl::NoticeAnswer::No);

  tsl::Notice failed = tsl::MakeSystemNotice(IDS_WRITE_LOG_FAILED, "c.log", "Disk full");
  failed.icon = tsl::NoticeIcon::Error;
  BoxRun ok = ShowAndPress(failed, IDOK);
  ASSERT_TRUE(ok.found);
  EXPECT_EQ(ok.answer, tsl::NoticeAnswer::Ok);
  std::string shown;
  for (const std::string& t : ok.texts) shown += t;
  EXPECT_NE(shown.find("Error writing the log file 'c.log'"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Disk full"), std::string::npos) << shown;
}

TEST(SystemText, GivesTheSystemsMessageWithoutLineBreaksAndAFallbackForUnknownCodes) {
  std::string notFound = tsl::win32::SystemErrorText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(notFound.empty());
  EXPECT_NE(notFound.back(), '\n');
  EXPECT_NE(notFound.back(), '\r');
  EXPECT_NE(notFound, tsl::win32::SystemErrorText(ERROR_ACCESS_DENIED));

  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(tsl::win32::LastErrorText(), tsl::win32::SystemErrorText(ERROR_ACCESS_DENIED));

  EXPECT_EQ(tsl::win32::SystemErrorText(0x2ABCDEF0u), "Unknown error 717020912.");
}

}  // namespace
