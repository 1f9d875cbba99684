// Starting programs: the show-mode table, and real starts of the stand-in game program,
// which records its command line and current folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "services/Launch.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(ShowMode, Table) {
  struct Case {
    std::optional<int32_t> mode;
    int32_t expected;
  } cases[] = {
      {std::nullopt, SW_SHOWNORMAL},
      {1, SW_HIDE},
      {2, SW_SHOWNORMAL},
      {3, SW_SHOWMINIMIZED},
      {4, SW_SHOWMAXIMIZED},
      {5, SW_SHOWNOACTIVATE},
      {6, SW_MINIMIZE},
      {0, SW_HIDE},
      {INT32_MIN, SW_HIDE},
      {7, SW_MINIMIZE},
      {INT32_MAX, SW_MINIMIZE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(showWindowForMode(c.mode), c.expected) << c.mode.value_or(-99);
  }
}

class LaunchTest : public testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(game.path().c_str()));
  }
  void TearDown() override { SetCurrentDirectoryA(previous); }

  // The stand-in game copied into folder as name; returns its full path.
  std::string installGame(const std::string& folder, const std::string& name = "Drovar.exe") {
    std::string path = folder + "\\" + name;
    EXPECT_TRUE(
        CopyFileA((testProgramFolder() + "\\standin_game.exe").c_str(), path.c_str(), FALSE));
    return path;
  }

  TempFolder game{"game"};
  char previous[MAX_PATH] = {};
};

TEST_F(LaunchTest, WaitReturnsAfterTheProgramHasEnded) {
  std::string exe = installGame(game.path());
  EXPECT_TRUE(runProgram(widePath(exe + " w"), true));
  // Nothing to wait for: the program has written its record and ended.
  EXPECT_EQ(readBytes(game / "launch-record.txt"),
            "cmdline=" + exe + " w\r\ncwd=" + game.path() + "\r\n");
}

TEST_F(LaunchTest, WithoutWaitTheProgramRunsOn) {
  std::string exe = installGame(game.path());
  EXPECT_TRUE(runProgram(widePath(exe)));
  std::string expected = "cmdline=" + exe + "\r\ncwd=" + game.path() + "\r\n";
  for (int poll = 0; poll < 500 && readBytes(game / "launch-record.txt") != expected; ++poll) {
    Sleep(20);
  }
  EXPECT_EQ(readBytes(game / "launch-record.txt"), expected);
}

TEST_F(LaunchTest, UnquotedPathWithBlankIsResolvedByThePlatform) {
  std::string folder = game / "my game";
  ASSERT_TRUE(makeFolder(folder));
  std::string exe = installGame(folder);
  EXPECT_TRUE(runProgram(widePath(exe + " w"), true));
  // The program in "my game" is found, and gets the argument. (Wine hands the started program
  // its resolved path in quotation marks; Windows hands on the line as given.)
  std::string record = readBytes(folder + "\\launch-record.txt");
  std::erase(record, '"');
  EXPECT_EQ(record, "cmdline=" + exe + " w\r\ncwd=" + game.path() + "\r\n");
}

TEST_F(LaunchTest, MissingProgramIsNotStarted) {
  installGame(game.path(), "Decoy.exe");
  struct Case {
    std::string commandLine;
  } cases[] = {
      {game / "Drovar.exe"},
      {game / "Drovar.exe w"},
      {game / "missing\\Drovar.exe"},
      {""},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(runProgram(widePath(c.commandLine), true)) << c.commandLine;
    EXPECT_FALSE(runProgram(widePath(c.commandLine), false)) << c.commandLine;
  }
  EXPECT_FALSE(pathExists(game / "launch-record.txt"));
}

}  // namespace
