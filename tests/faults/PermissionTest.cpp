// Files the real program cannot write, each cause produced for real under Wine: the one
// message lists every such file with its cause and one line of what to do; a lack of
// permission asks whether to save the settings with administrator rights, and Yes starts
// the program itself with the "runas" verb and the elevated-apply argument carrying the
// choices. Also that argument given by hand: anything but its exact form changes nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/faults/FaultRun.h"
#include "tests/support/GameFolder.h"
#include "tests/support/Immutable.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/TempFolder.h"

namespace {

// The program's words, as the user reads them.
const wchar_t kNotWritten[] = L"以下文件无法写入，其中的设置没有生效：";
const wchar_t kReadOnly[] = L"（文件设为只读）";
const wchar_t kInUse[] = L"（文件正被其他程序使用）";
const wchar_t kNoPermission[] = L"（没有写入此文件的权限）";
const wchar_t kFolderInPlace[] = L"（此处是一个同名的文件夹）";
const wchar_t kNoNewFiles[] = L"（所在文件夹不允许新建文件）";
const wchar_t kHintReadOnly[] = L"清除文件的只读属性";
const wchar_t kHintInUse[] = L"关闭正在使用文件的程序";
const wchar_t kHintFolderInPlace[] = L"移走与文件同名的文件夹";
const wchar_t kHintNoPermission[] = L"把游戏移到可以写入的文件夹";
const wchar_t kQuestion[] =
    L"\r\n\r\n游戏所在的文件夹需要管理员权限才能写入。是否以管理员身份保存这些设置？";
const wchar_t kArgumentRejected[] =
    L"无法识别的命令行参数，没有更改任何文件。\r\n直接运行本程序即可，不需要任何参数。";

// What an apply of the test's choices leaves in each file.
// 忍刀 with 速度属性（风）, the choice every apply here makes, is weapon number 58.
std::string applied(const std::string& name) {
  if (name == "wdpz.ini") return profileText(11, 3, 1, false);
  if (name == "config.ini") return patchedConfig(1024, 768);
  return patchedMission(name == missionPath(1) ? 1 : 2, 58);
}

// The game of two missions, in a folder of this test's own name, or in a folder of the
// given name inside it.
struct Game : GameFolder {
  explicit Game(const std::string& subfolder = "")
      : GameFolder("perm", twoMissionGameFiles(), subfolder) {}
  // The full path of a file of the folder, as the program shows it.
  std::wstring wide(const std::string& name) const { return fromGbk(*this / name); }
};

// The launcher started in the folder, the choices made and the button pressed.
bool startAndPress(RunningProgram& program, const std::string& dir, HWND* window = nullptr) {
  if (!program.start(dir + "\\launcher.exe", dir)) return false;
  HWND found = waitForWindow(program.processId(), L"WTWindow", kPatienceMs);
  if (found == nullptr) return false;
  chooseInLauncher(found);
  pressStart(found);
  if (window != nullptr) *window = found;
  return true;
}

void press(HWND box, int button) { PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0); }

// The message box of another process than `except`: now, and waited for.
HWND otherBox(DWORD except) {
  return firstVisibleTopWindow(
      [&](HWND window) { return processOf(window) != except && classOf(window) == L"#32770"; });
}
HWND waitForOtherBox(DWORD except, DWORD ms) {
  HWND found = nullptr;
  waitUntil([&] { return (found = otherBox(except)) != nullptr; }, ms);
  return found;
}

// Answers any box another process still shows when a test ends early, so that no program
// is left waiting.
struct OtherBoxesAnswered {
  DWORD except;
  ~OtherBoxesAnswered() {
    HWND box = otherBox(except);
    if (box != nullptr) PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
};

// The message expected for the listed files: each full path with its reason, the hint
// line of the given hints, and the question when asked.
std::wstring listMessage(const Game& game,
                         const std::vector<std::pair<std::string, const wchar_t*>>& listed,
                         const std::vector<const wchar_t*>& hints, bool asks) {
  std::wstring message = kNotWritten;
  for (const auto& [name, reason] : listed) message += L"\r\n" + game.wide(name) + reason;
  for (size_t i = 0; i < hints.size(); ++i)
    message += (i == 0 ? L"\r\n\r\n请" : L"，") + std::wstring(hints[i]);
  if (!hints.empty()) message += L"，然后重新运行本程序。";
  if (asks) message += kQuestion;
  return message;
}

// What holds the faults of one case in place until the program has ended.
struct Faults {
  std::vector<std::unique_ptr<Immutable>> immutable;
  std::vector<HANDLE> held;
  ~Faults() {
    for (HANDLE file : held) CloseHandle(file);
  }
  bool makeImmutable(const std::string& path) {
    immutable.push_back(std::make_unique<Immutable>(path));
    return immutable.back()->set();
  }
  bool hold(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    held.push_back(file);
    return true;
  }
};

struct CauseCase {
  const char* name;
  std::function<bool(const std::string& dir, Faults& faults)> make;
  std::vector<std::pair<std::string, const wchar_t*>> listed;  // file, reason
  std::vector<const wchar_t*> hints;
  bool asks;  // a Yes/No question, answered No here
};

const CauseCase kCauses[] = {
    {"read-only",
     [](const std::string& dir, Faults&) {
       return SetFileAttributesA((dir + "\\config.ini").c_str(), FILE_ATTRIBUTE_READONLY) != 0;
     },
     {{"config.ini", kReadOnly}},
     {kHintReadOnly},
     false},
    {"held by another program without sharing",
     [](const std::string& dir, Faults& f) { return f.hold(dir + "\\Level\\sn01_.pst"); },
     {{"Level\\sn01_.pst", kInUse}},
     {kHintInUse},
     false},
    {"no permission (immutable)",
     [](const std::string& dir, Faults& f) { return f.makeImmutable(dir + "\\config.ini"); },
     {{"config.ini", kNoPermission}},
     {},
     true},
    {"a folder in the file's place",
     [](const std::string& dir, Faults&) {
       DeleteFileA((dir + "\\Level\\sn02_.pst").c_str());
       return makeFolder(dir + "\\Level\\sn02_.pst");
     },
     {{"Level\\sn02_.pst", kFolderInPlace}},
     {kHintFolderInPlace},
     false},
    {"a folder that takes no new file",
     [](const std::string& dir, Faults& f) { return f.makeImmutable(dir + "\\Level"); },
     {{"Level\\sn01_.pst", kNoNewFiles}, {"Level\\sn02_.pst", kNoNewFiles}},
     {},
     true},
    {"several causes at once",
     [](const std::string& dir, Faults& f) {
       return SetFileAttributesA((dir + "\\wdpz.ini").c_str(), FILE_ATTRIBUTE_READONLY) != 0 &&
              f.hold(dir + "\\Level\\sn02_.pst") && f.makeImmutable(dir + "\\config.ini");
     },
     {{"wdpz.ini", kReadOnly}, {"Level\\sn02_.pst", kInUse}, {"config.ini", kNoPermission}},
     {kHintReadOnly, kHintInUse},
     true},
};

TEST(UnwrittenFiles, EachCauseIsNamedWithWhatToDo) {
  for (const CauseCase& c : kCauses) {
    SCOPED_TRACE(c.name);
    Game game;
    FolderFiles before = readFolder(game.path());
    DWORD exitCode = 0;
    std::optional<MessageBoxInfo> box;
    {
      Faults faults;
      ASSERT_TRUE(c.make(game.path(), faults));
      RunningProgram program;
      ASSERT_TRUE(startAndPress(program, game.path()));
      HWND shown = waitForMessageBox(program.processId(), kPatienceMs);
      ASSERT_NE(shown, nullptr);
      box = readMessageBox(shown);
      press(shown, c.asks ? IDNO : IDOK);
      ASSERT_TRUE(program.waitExit(kPatienceMs, &exitCode));
    }
    EXPECT_EQ(box->caption, L"信息：");
    EXPECT_EQ(box->text, listMessage(game, c.listed, c.hints, c.asks));
    EXPECT_EQ(box->buttons.size(), c.asks ? 2u : 1u);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));

    // The listed files keep their content, every other one is written.
    FolderFiles after = readFolder(game.path());
    for (const auto& [name, content] : before) {
      if (content == "<folder>" || name == "launcher.exe" || name == "Drovar.exe") continue;
      bool listed = false;
      for (const auto& entry : c.listed) listed |= entry.first == name;
      if (listed && after[name] == "<folder>") continue;  // the folder put in its place
      EXPECT_EQ(after[name], listed ? content : applied(name)) << name;
    }
    SetFileAttributesA((game.path() + "\\config.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA((game.path() + "\\wdpz.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// Yes: the program starts itself with administrator rights. Under Wine that start is not
// elevated: the second instance writes what it can (here a file freed meanwhile, with the
// choices of the first), fails on the rest the same way and says so, while the first waits
// with its window disabled; then the first starts the game itself. Also in a folder named
// "x%PATH%y", which Wine's shell, unlike Windows', expands in the path of the program it
// is asked to start.
TEST(AdministratorRights, YesStartsAnInstanceThatWritesAndReportsWhatIsLeft) {
  for (const char* folder : {"", "x%PATH%y"}) {
    SCOPED_TRACE(std::string("game folder ") + folder);
    Game game(folder);
    std::optional<Immutable> mission2(game.path() + "\\Level\\sn02_.pst");
    Immutable config(game.path() + "\\config.ini");
    ASSERT_TRUE(mission2->set() && config.set());
    RunningProgram program;
    HWND window = nullptr;
    ASSERT_TRUE(startAndPress(program, game.path(), &window));
    HWND question = waitForMessageBox(program.processId(), kPatienceMs);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(
        readMessageBox(question).text,
        listMessage(game, {{"Level\\sn02_.pst", kNoPermission}, {"config.ini", kNoPermission}}, {},
                    true));
    mission2.reset();  // the user fixed one file meanwhile
    OtherBoxesAnswered cleanup{program.processId()};
    press(question, IDYES);

    HWND report = waitForOtherBox(program.processId(), kPatienceMs);
    ASSERT_NE(report, nullptr) << "no second instance";
    MessageBoxInfo info = readMessageBox(report);
    EXPECT_EQ(info.caption, L"信息：");
    EXPECT_EQ(info.text,
              listMessage(game, {{"config.ini", kNoPermission}}, {kHintNoPermission}, false));
    EXPECT_EQ(info.buttons.size(), 1u);
    EXPECT_FALSE(IsWindowEnabled(window)) << "the first instance waits, taking no input";
    EXPECT_EQ(readBytes(game.path() + "\\Level\\sn02_.pst"), patchedMission(2, 58));
    EXPECT_EQ(readBytes(game.path() + "\\launch-record.txt"), "<missing>") << "no game yet";
    press(report, IDOK);

    DWORD exitCode = 0;
    ASSERT_TRUE(program.waitExit(kPatienceMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
    EXPECT_EQ(readBytes(game.path() + "\\config.ini"), kSampleConfig);
    EXPECT_EQ(readBytes(game.path() + "\\wdpz.ini"), profileText(11, 3, 1, false));
  }
}

// The system's own wording of an error code, without its line break.
std::wstring systemWords(DWORD error) {
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, 512, nullptr);
  std::wstring words = text;
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' '))
    words.pop_back();
  return words;
}

// Yes, but the program cannot be started again (it was moved away meanwhile): the user is
// told so, with the system's reason and the list as after No, before the game is started.
TEST(AdministratorRights, FailedStartIsToldBeforeTheGame) {
  Game game;
  Immutable config(game.path() + "\\config.ini");
  ASSERT_TRUE(config.set());
  RunningProgram program;
  ASSERT_TRUE(startAndPress(program, game.path()));
  HWND question = waitForMessageBox(program.processId(), kPatienceMs);
  ASSERT_NE(question, nullptr);
  ASSERT_TRUE(MoveFileA((game.path() + "\\launcher.exe").c_str(),
                        (game.path() + "\\launcher-moved.exe").c_str()));
  press(question, IDYES);
  ASSERT_TRUE(waitUntil([&] { return !IsWindow(question); }, kPatienceMs));
  HWND told = waitForMessageBox(program.processId(), kPatienceMs);
  ASSERT_NE(told, nullptr);
  EXPECT_EQ(readMessageBox(told).text,
            L"无法以管理员身份保存这些设置（错误代码 2）：" + systemWords(ERROR_FILE_NOT_FOUND) +
                L"\r\n\r\n" +
                listMessage(game, {{"config.ini", kNoPermission}}, {kHintNoPermission}, false));
  EXPECT_EQ(readBytes(game.path() + "\\launch-record.txt"), "<missing>") << "no game yet";
  press(told, IDOK);
  DWORD exitCode = 0;
  ASSERT_TRUE(program.waitExit(kPatienceMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
  EXPECT_EQ(readBytes(game.path() + "\\wdpz.ini"), profileText(11, 3, 1, false));
}

// The elevated-apply argument given by hand: anything but its exact form is refused with a clear
// message and no file changes.
TEST(PrivateArgument, AnythingButItsExactFormChangesNothing) {
  const std::wstring cases[] = {
      L"--apply-settings=11,3,1",                                   // missing
      L"--apply-settings=11,3,1,0,0",                               // extra
      L"--apply-settings=11,3,1,0 more",                            // extra argument
      L"--apply-settings=13,3,1,0",                                 // out of range
      L"--apply-settings=11,3,1,x",                                 // not a number
      L"--apply-settings=011,3,1,0",                                // not as written
      L"--apply-settings=" + std::wstring(4000, L'9') + L",3,1,0",  // overlong
      L"/?",
  };
  for (const std::wstring& argument : cases) {
    SCOPED_TRACE(
        std::string(argument.begin(), argument.begin() + std::min<size_t>(40, argument.size())));
    Game game;
    FolderFiles before = readFolder(game.path());
    RunningProgram program;
    ASSERT_TRUE(program.start(game.path() + "\\launcher.exe", game.path(), argument));
    HWND box = waitForMessageBox(program.processId(), kPatienceMs);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(readMessageBox(box).text, kArgumentRejected);
    press(box, IDOK);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.waitExit(kPatienceMs, &exitCode));
    EXPECT_EQ(exitCode, 2u);
    expectFolder(readFolder(game.path()), before);
  }
}

// The exact form, as the launcher passes it: the files are written for the four choices,
// without a window or a message.
TEST(PrivateArgument, ItsExactFormWritesTheFiles) {
  Game game;
  RunningProgram program;
  ASSERT_TRUE(
      program.start(game.path() + "\\launcher.exe", game.path(), L"--apply-settings=11,3,1,1"));
  DWORD exitCode = 0;
  ASSERT_TRUE(program.waitExit(kPatienceMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(readBytes(game.path() + "\\wdpz.ini"), profileText(11, 3, 1, true));
  EXPECT_EQ(readBytes(game.path() + "\\config.ini"), patchedConfig(1024, 768));
  EXPECT_EQ(readBytes(game.path() + "\\Level\\sn02_.pst"), patchedMission(2, 58));

  // 各关原版, the last entry: the missions get their recorded weapon lines back.
  RunningProgram restore;
  ASSERT_TRUE(
      restore.start(game.path() + "\\launcher.exe", game.path(), L"--apply-settings=12,3,1,1"));
  ASSERT_TRUE(restore.waitExit(kPatienceMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(readBytes(game.path() + "\\wdpz.ini"), profileText(12, 3, 1, true));
  EXPECT_EQ(readBytes(game.path() + "\\Level\\sn01_.pst"), sampleMission(1));
  EXPECT_EQ(readBytes(game.path() + "\\Level\\sn02_.pst"), sampleMission(2));
}

}  // namespace
