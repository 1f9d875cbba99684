// The program's own host: its message box is a task-modal box with the caption "信息：",
// and the end after a failure ends the process with exit code 0xFFFFFFFF.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "GbkTexts.h"
#include "app/DesktopLauncherHost.h"
#include "services/RunDirectory.h"
#include "services/Wide.h"

namespace {

struct SeenBox {
  bool found = false;
  std::wstring text;
  bool ownWindowEnabled = true;
};

// Waits for the box from another thread, reads it, then presses its OK button.
SeenBox closeBoxWhenShown(HWND ownWindow) {
  SeenBox seen;
  const std::wstring caption = gbkToWide(gbk::defaultCaption);
  for (int i = 0; i < 200 && !seen.found; ++i) {
    HWND box = FindWindowW(L"#32770", caption.c_str());
    if (box == nullptr) {
      Sleep(25);
      continue;
    }
    seen.found = true;
    wchar_t text[512] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    seen.text = text;
    seen.ownWindowEnabled = IsWindowEnabled(ownWindow) != FALSE;
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  }
  return seen;
}

TEST(DesktopLauncherHost, MessageBoxIsTaskModalWithTheDefaultCaption) {
  HWND ownWindow = CreateWindowExW(0, L"STATIC", L"launcher", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                   0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(ownWindow, nullptr);
  SeenBox seen;
  std::thread closer([&] { seen = closeBoxWhenShown(ownWindow); });
  DesktopLauncherHost host;
  host.showMessage(gbkToWide(gbk::missionFolderMissing), 0);
  closer.join();
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(seen.text, gbkToWide(gbk::missionFolderMissing));
  EXPECT_FALSE(seen.ownWindowEnabled);  // task-modal: the thread's windows take no input
  EXPECT_TRUE(IsWindowEnabled(ownWindow));
  DestroyWindow(ownWindow);
}

TEST(DesktopLauncherHost, RunDirectoryIsTheOneSetAtStartUp) {
  setRunDirectory(Path(L"C:\\Games\\\uAC8C\uC784"));
  EXPECT_EQ(DesktopLauncherHost().runDirectory().wide(), L"C:\\Games\\\uAC8C\uC784");
}

TEST(DesktopLauncherHostDeathTest, EndAfterFailureExitsWithAllBitsSet) {
  EXPECT_EXIT(DesktopLauncherHost().endAfterFailure(), ::testing::ExitedWithCode(-1), "");
}

}  // namespace
