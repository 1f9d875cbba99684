// Message boxes: the style and result mappings, and real boxes read and answered from
// another thread through window messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "GbkTexts.h"
#include "services/MessageBox.h"
#include "tests/support/BoxWatcher.h"

namespace {

TEST(MessageBoxMapping, Style) {
  struct Case {
    int32_t buttons;
    uint32_t expected;
  } cases[] = {
      // clang-format off
      {0,            0x2000},
      {MB_YESNO,     0x2004},
      {MB_ICONERROR, 0x2010},
      {0x1000,       0x1000},
      {0x1004,       0x1004},
      {0x2000,       0x2000},
      {0x3000,       0x3000},
      {MB_OKCANCEL,  0x2001},
      // clang-format on
  };
  for (const Case& c : cases) EXPECT_EQ(messageBoxStyle(c.buttons), c.expected) << c.buttons;
}

TEST(MessageBoxMapping, Result) {
  struct Case {
    int platform;
    int32_t expected;
  } cases[] = {
      // clang-format off
      {IDOK,     0},
      {IDCANCEL, 1},
      {IDABORT,  2},
      {IDRETRY,  3},
      {IDIGNORE, 4},
      {IDYES,    5},
      {IDNO,     6},
      {0,        0},
      {8,        0},
      {10,       0},
      {-1,       0},
      // clang-format on
  };
  for (const Case& c : cases) EXPECT_EQ(messageBoxResult(c.platform), c.expected) << c.platform;
}

struct Seen {
  std::wstring text;
  bool icon = true;
  bool ownerEnabled = true;
  bool found = false;
};

// Shows the box on this thread while another thread reads it and presses the button.
int32_t answerBox(const Text& message, int32_t buttons, const std::optional<Text>& caption,
                  const std::wstring& expectedCaption, int press, HWND otherWindow, Seen& seen) {
  std::thread user([&] {
    HWND box = waitForBox(GetCurrentProcessId(), expectedCaption);
    if (box == nullptr) return;
    seen.found = true;
    seen.text = boxText(box);
    seen.icon = boxHasIcon(box);
    seen.ownerEnabled = IsWindowEnabled(otherWindow) != FALSE;
    if (!pressBoxButton(box, press)) pressBoxButton(box, IDOK);
  });
  int32_t result = messageBox(message, buttons, caption);
  user.join();
  return result;
}

class MessageBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    window = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                             100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override { DestroyWindow(window); }
  HWND window = nullptr;
};

TEST_F(MessageBoxTest, LauncherBoxIsTaskModalWithDefaultCaption) {
  Seen seen;
  int32_t result =
      answerBox(Text(gbk::missionFolderMissing), 0, std::nullopt, L"信息：", IDOK, window, seen);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(seen.text, L"找不到任务文件。");
  EXPECT_FALSE(seen.icon);
  EXPECT_FALSE(seen.ownerEnabled);  // task-modal: the thread's other windows take no input
  EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(MessageBoxTest, YesNoAnswers) {
  struct Case {
    int press;
    int32_t expected;
  } cases[] = {
      {IDYES, 5},
      {IDNO, 6},
  };
  for (const Case& c : cases) {
    Seen seen;
    int32_t result =
        answerBox(Text("?"), MB_YESNO, Text("\xcc\xe1\xca\xbe"), L"提示", c.press, window, seen);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(seen.text, L"?");
  }
}

// A quit request made before the box (the last window gone) neither cancels the box nor
// is lost: the box waits for its answer and the request is still there afterwards.
TEST_F(MessageBoxTest, PendingQuitRequestWaitsForTheAnswer) {
  PostQuitMessage(3);
  Seen seen;
  int32_t result = answerBox(Text("?"), MB_YESNO, std::nullopt, L"信息：", IDNO, window, seen);
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(result, 6);
  MSG quit{};
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 3u);
}

}  // namespace
