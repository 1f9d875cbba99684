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
#include "tests/support/BoxWatcher.h"
#include "tests/support/TempFolder.h"

namespace {

struct SeenBox {
  bool found = false;
  std::wstring text;
  bool ownWindowEnabled = true;
};

// Waits for the box from another thread, reads it, then presses its OK button.
SeenBox closeBoxWhenShown(HWND ownWindow) {
  SeenBox seen;
  HWND box = waitForBox(GetCurrentProcessId(), gbkToWide(gbk::defaultCaption));
  if (box == nullptr) return seen;
  seen.found = true;
  seen.text = boxText(box);
  seen.ownWindowEnabled = IsWindowEnabled(ownWindow) != FALSE;
  pressBoxButton(box, IDOK);
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

// The folder that start-up works out from the program's own path: the test program's.
TEST(DesktopLauncherHost, RunDirectoryIsTheOneSetAtStartUp) {
  ASSERT_TRUE(initRunDirectory());
  EXPECT_EQ(DesktopLauncherHost().runDirectory().wide(), widePath(testProgramFolder()));
}

TEST(DesktopLauncherHostDeathTest, EndAfterFailureExitsWithAllBitsSet) {
  EXPECT_EXIT(DesktopLauncherHost().endAfterFailure(), ::testing::ExitedWithCode(-1), "");
}

}  // namespace
