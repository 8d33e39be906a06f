// The Win32 side of the seam: message boxes, string resources, system texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/strings.h"
#include "platform/win32/message_box_notices.h"
#include "platform/win32/system_text.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef LoadString  // tsl::LoadString, not the Win32 macro

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

// Shows a notice and, from another thread, finds its box by caption, reads
// its text and presses `button`.
struct BoxRun {
  tsl::NoticeAnswer answer{};
  bool found = false;
  std::vector<std::string> texts;
};
BoxRun ShowAndPress(const std::string& text, const char* caption, tsl::NoticeIcon icon,
                    tsl::NoticeButtons buttons, int button) {
  BoxRun run;
  std::atomic<bool> done{false};
  std::thread presser([&] {
    for (int i = 0; i < 500 && !done; ++i) {
      if (HWND box = FindWindowA("#32770", caption)) {
        run.found = true;
        run.texts = StaticTexts(box);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return;
      }
      Sleep(10);
    }
  });
  tsl::win32::MessageBoxNotices notices;
  run.answer = notices.Show(text, caption, icon, buttons);
  done = true;
  presser.join();
  return run;
}

TEST(MessageBoxNotices, ShowsTheTextUnderTheCaptionAndReportsTheButtonPressed) {
  BoxRun yes = ShowAndPress("View the log?", "Tessella test box", tsl::NoticeIcon::Question,
                            tsl::NoticeButtons::YesNo, IDYES);
  ASSERT_TRUE(yes.found);
  EXPECT_EQ(yes.answer, tsl::NoticeAnswer::Yes);
  EXPECT_NE(std::find(yes.texts.begin(), yes.texts.end(), "View the log?"), yes.texts.end());

  BoxRun no = ShowAndPress("Replace it?", "Tessella test box", tsl::NoticeIcon::Warning,
                           tsl::NoticeButtons::YesNo, IDNO);
  ASSERT_TRUE(no.found);
  EXPECT_EQ(no.answer, tsl::NoticeAnswer::No);

  BoxRun ok = ShowAndPress("Disk full", "Tessella test box", tsl::NoticeIcon::Error,
                           tsl::NoticeButtons::Ok, IDOK);
  ASSERT_TRUE(ok.found);
  EXPECT_EQ(ok.answer, tsl::NoticeAnswer::Ok);
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
