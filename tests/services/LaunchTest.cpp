// Starting programs: the show-mode table, and real starts of the stand-in game program,
// which records its command line and current folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "services/Launch.h"
#include "tests/support/Patience.h"
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

// A program that runs until it is let go (services_probe hold), the events that start it
// and let it go, and the file it writes once it has been let go.
class HeldProgram {
 public:
  explicit HeldProgram(const std::string& folder)
      : name_("launch-hold-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++count_)),
        marker_(folder + "\\ended.txt"),
        started_(CreateEventA(nullptr, TRUE, FALSE, (name_ + ".started").c_str())),
        go_(CreateEventA(nullptr, TRUE, FALSE, (name_ + ".go").c_str())) {}
  ~HeldProgram() {
    SetEvent(go_);
    CloseHandle(started_);
    CloseHandle(go_);
  }
  HeldProgram(const HeldProgram&) = delete;
  HeldProgram& operator=(const HeldProgram&) = delete;

  std::wstring commandLine() const {
    return widePath("\"" + testProgramFolder() + "\\services_probe.exe\" hold " + name_ + " \"" +
                    marker_ + "\"");
  }
  bool waitStarted() const { return WaitForSingleObject(started_, kPatienceMs) == WAIT_OBJECT_0; }
  void letGo() const { SetEvent(go_); }
  // "ended" once the program has been let go and has gone on to its end.
  std::string marker() const { return readBytes(marker_); }

 private:
  static inline int count_ = 0;
  std::string name_;
  std::string marker_;
  HANDLE started_;
  HANDLE go_;
};

// The call returns while the program it started still runs: the program waits to be let
// go, and is let go only once the call has returned.
TEST_F(LaunchTest, WithoutWaitTheProgramRunsOn) {
  const HeldProgram program(game.path());
  HANDLE returned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  bool started = false;
  std::thread caller([&] {
    started = runProgram(program.commandLine());
    SetEvent(returned);
  });
  EXPECT_TRUE(program.waitStarted());
  EXPECT_EQ(WaitForSingleObject(returned, kPatienceMs), WAIT_OBJECT_0)
      << "the call waited for the program";
  EXPECT_EQ(program.marker(), "<missing>") << "the program went on before it was let go";
  program.letGo();
  caller.join();
  CloseHandle(returned);
  EXPECT_TRUE(started);
}

// The call that waits returns only once the program has ended: the program is let go once
// it has started, from another thread, and what it writes after that is there when the
// call returns.
TEST_F(LaunchTest, WaitReturnsOnlyOnceTheHeldProgramHasEnded) {
  const HeldProgram program(game.path());
  std::thread releaser([&] {
    if (program.waitStarted()) program.letGo();
  });
  EXPECT_TRUE(runProgram(program.commandLine(), true));
  EXPECT_EQ(program.marker(), "ended");
  program.letGo();
  releaser.join();
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
