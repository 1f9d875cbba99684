// The launcher's handlers over real files in a temporary game folder: loading and saving
// "wdpz.ini", the mission and display patches, the order of an apply, the game's command
// line as the stand-in game records it, and the reports of what could not be done.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "GbkTexts.h"
#include "launcher/DisplayConfigPatch.h"
#include "launcher/LauncherFlow.h"
#include "launcher/LauncherHost.h"
#include "launcher/MissionWeaponPatch.h"
#include "services/FileReading.h"
#include "services/Launch.h"
#include "services/Wide.h"
#include "tests/support/HeldFile.h"
#include "tests/support/Immutable.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/PlainLauncherControls.h"
#include "tests/support/SampleGame.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WeaponNumbers.h"

namespace {

using namespace std::string_literals;

const std::string kConfig = "[Display]\r\nWidth 640\r\nHeight 480\r\nBpp 32\r\n";

std::string profileLine(const std::string& key, const std::string& value) {
  return key + "=" + value + "\r\n";
}

std::string profileWith(const std::string& lines) {
  return "["s + gbk::settingsSection + "]\r\n" + lines;
}

// One key of "wdpz.ini" as the platform reads it, bypassing the code under test.
std::string storedValue(const std::string& folder, const char* key) {
  char value[256] = "<none>";
  GetPrivateProfileStringA(gbk::settingsSection, key, "<none>", value, sizeof value,
                           (folder + "\\wdpz.ini").c_str());
  return value;
}

FILETIME writeTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

bool sameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// Moves a file's last write time to 2001, so that any later write shows.
void ageFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  FILETIME old{0x2A1B4000, 0x01C0A4E6};
  SetFileTime(file, nullptr, nullptr, &old);
  CloseHandle(file);
}

// The real program start; messages and the end after a failure are recorded instead of
// shown, and each call can look at the files at that moment.
class RecordingHost final : public LauncherHost {
 public:
  struct Message {
    std::string text;
    int32_t buttons;
  };

  explicit RecordingHost(std::string folder) : folder_(std::move(folder)) {}

  // The test's folder names are ASCII: their GBK and system code page forms are the same.
  Path runDirectory() override { return Path(widePath(folder_)); }
  bool takeApplyTurn() override {
    events.push_back(turnAvailable ? "turn" : "no turn");
    return turnAvailable;
  }
  void releaseApplyTurn() override { events.push_back("release"); }
  int32_t showMessage(const std::wstring& message, int32_t buttons) override {
    messages.push_back({wideToGbk(message), buttons});
    events.push_back("message");
    if (observe) observe("message");
    return answer;
  }
  AdministratorRun runAsAdministrator(const std::wstring& arguments) override {
    administratorRuns.push_back(arguments);
    events.push_back("administrator");
    return administratorRun;
  }
  bool startProgram(const std::wstring& commandLine, const Path& directory) override {
    commandLines.push_back(wideToGbk(commandLine));
    events.push_back("start");
    if (observe) observe("start");
    return runProgram(commandLine, false, std::nullopt, directory);
  }
  void endAfterFailure() override {
    events.push_back("end");
    if (observe) observe("end");
  }

  bool turnAvailable = true;  // whether takeApplyTurn has the turn
  int32_t answer = 0;         // what every message box answers
  AdministratorRun administratorRun{AdministratorRun::Outcome::refused, 0, 0, L""};
  std::vector<Message> messages;
  std::vector<std::wstring> administratorRuns;
  std::vector<std::string> commandLines;
  std::vector<std::string> events;
  std::function<void(const std::string&)> observe;

 private:
  std::string folder_;
};

// The stand-in game's record of its starts; waits for a start that is expected.
std::string launchRecord(const std::string& folder, bool expectStart = true) {
  return expectStart ? waitForLaunchRecord(folder) : readBytes(folder + "\\launch-record.txt");
}

bool installStandIn(const std::string& path) {
  return CopyFileA((testProgramFolder() + "\\standin_game.exe").c_str(), path.c_str(), FALSE) != 0;
}

// A game folder: "config.ini", "Level" and the stand-in game as "Drovar.exe". It is the
// run directory and the current directory while the test runs, as start-up makes it.
class LauncherFlowTest : public ::testing::Test {
 protected:
  LauncherFlowTest() : dir_(temp_.path()) {}

  void SetUp() override { useRunDirectory(dir_); }
  void TearDown() override { SetCurrentDirectoryA(testProgramFolder().c_str()); }

  void useRunDirectory(const std::string& dir) {
    dir_ = dir;
    host_ = std::make_unique<RecordingHost>(dir_);
    SetCurrentDirectoryA(dir_.c_str());
  }

  void installGame() {
    writeBytes(path("config.ini"), kConfig);
    makeFolder(path("Level"));
    ASSERT_TRUE(installStandIn(path("Drovar.exe")));
  }
  std::string path(const std::string& name) const { return dir_ + "\\" + name; }
  std::string mission(int n) const { return path(missionPath(n)); }

  // A new run: the window is created, the controls loaded.
  void createWindow() {
    controls_ = std::make_unique<PlainLauncherControls>();
    LauncherFlow(*controls_, *host_).onWindowCreated();
  }
  void apply() { LauncherFlow(*controls_, *host_).onStartGameClicked(); }
  void choose(int32_t weapon, int32_t attribute, int32_t resolution, bool windowed) {
    controls_->setSelection(LauncherList::weapon, weapon);
    controls_->setSelection(LauncherList::attribute, attribute);
    controls_->setSelection(LauncherList::resolution, resolution);
    controls_->setTicked(windowed);
  }
  std::string gameRecord(bool windowed) const {
    const std::string folder = recordedPath(dir_);
    return "cmdline=\"" + folder + "\\Drovar.exe\"" + (windowed ? " w" : "") + "\r\ncwd=" + folder +
           "\r\n";
  }

  TempFolder temp_{"game"};
  std::string dir_;
  std::unique_ptr<RecordingHost> host_;
  std::unique_ptr<PlainLauncherControls> controls_ = std::make_unique<PlainLauncherControls>();
};

TEST_F(LauncherFlowTest, FirstRunShowsDefaultsAndTheApplyCreatesTheProfile) {
  installGame();
  createWindow();
  EXPECT_EQ(controls_->selection(LauncherList::weapon), 0);
  EXPECT_EQ(controls_->selection(LauncherList::attribute), 0);
  EXPECT_EQ(controls_->selection(LauncherList::resolution), 0);
  EXPECT_FALSE(controls_->isTicked());
  EXPECT_FALSE(pathExists(path("wdpz.ini")));

  apply();
  EXPECT_EQ(readBytes(path("wdpz.ini")),
            profileWith(profileLine(gbk::keyWeapon, "0") + profileLine(gbk::keyAttribute, "0") +
                        profileLine(gbk::keyResolution, "0") +
                        profileLine(gbk::keyWindowed, gbk::logicalFalse)));
  EXPECT_EQ(readBytes(path("config.ini")), "[Display]\r\nWidth 800\r\nHeight 600\r\nBpp 32\r\n");
  EXPECT_EQ(launchRecord(dir_), gameRecord(false));
  EXPECT_TRUE(host_->messages.empty());
  EXPECT_TRUE(controls_->destroyRequested());
}

TEST_F(LauncherFlowTest, LoadRulesAndWhatTheNextApplySaves) {
  // The four keys' values in "wdpz.ini", as the apply saves them.
  struct Saved {
    std::string weapon, attribute, resolution, windowed;
  };
  struct Case {
    const char* name;
    std::string profile;                    // "" for no "wdpz.ini" at all
    int32_t weapon, attribute, resolution;  // the selections the window loads
    bool windowed;
    Saved saved;           // after the apply
    int32_t weaponNumber;  // in the mission's weapon line
  };
  const std::string f = gbk::logicalFalse;
  const std::string t = gbk::logicalTrue;
  const Case cases[] = {
      {.name = "missing file",
       .profile = "",
       .weapon = 0,
       .attribute = 0,
       .resolution = 0,
       .windowed = false,
       .saved = {.weapon = "0", .attribute = "0", .resolution = "0", .windowed = f},
       .weaponNumber = 1},
      {.name = "index past the end: 各关原版, with nothing recorded to restore",
       .profile = profileWith(profileLine(gbk::keyWeapon, "99")),
       .weapon = 12,
       .attribute = 0,
       .resolution = 0,
       .windowed = false,
       .saved = {.weapon = "12", .attribute = "0", .resolution = "0", .windowed = f},
       .weaponNumber = 0},
      // A damaged index selects as one past the end does: never no selection, whose weapon
      // number no choice gives.
      {.name = "negative index: 各关原版",
       .profile = profileWith(profileLine(gbk::keyWeapon, "-3")),
       .weapon = 12,
       .attribute = 0,
       .resolution = 0,
       .windowed = false,
       .saved = {.weapon = "12", .attribute = "0", .resolution = "0", .windowed = f},
       .weaponNumber = 0},
      {.name = "index outside 32 bits: 各关原版, not 飞轮",
       .profile = profileWith(profileLine(gbk::keyWeapon, "4294967297")),
       .weapon = 12,
       .attribute = 0,
       .resolution = 0,
       .windowed = false,
       .saved = {.weapon = "12", .attribute = "0", .resolution = "0", .windowed = f},
       .weaponNumber = 0},
      {.name = "negative attribute: the last, 速度属性（风）",
       .profile = profileWith(profileLine(gbk::keyAttribute, "-1")),
       .weapon = 0,
       .attribute = 3,
       .resolution = 0,
       .windowed = false,
       .saved = {.weapon = "0", .attribute = "3", .resolution = "0", .windowed = f},
       .weaponNumber = 28},
      {.name = "attribute",
       .profile = profileWith(profileLine(gbk::keyAttribute, "3")),
       .weapon = 0,
       .attribute = 3,
       .resolution = 0,
       .windowed = false,
       .saved = {.weapon = "0", .attribute = "3", .resolution = "0", .windowed = f},
       .weaponNumber = 28},
      {.name = "no number",
       .profile = profileWith(profileLine(gbk::keyResolution, "abc")),
       .weapon = 0,
       .attribute = 0,
       .resolution = 0,
       .windowed = false,
       .saved = {.weapon = "0", .attribute = "0", .resolution = "0", .windowed = f},
       .weaponNumber = 1},
      {.name = "second resolution",
       .profile = profileWith(profileLine(gbk::keyResolution, "1")),
       .weapon = 0,
       .attribute = 0,
       .resolution = 1,
       .windowed = false,
       .saved = {.weapon = "0", .attribute = "0", .resolution = "1", .windowed = f},
       .weaponNumber = 1},
      {.name = "windowed",
       .profile = profileWith(profileLine(gbk::keyWindowed, t)),
       .weapon = 0,
       .attribute = 0,
       .resolution = 0,
       .windowed = true,
       .saved = {.weapon = "0", .attribute = "0", .resolution = "0", .windowed = t},
       .weaponNumber = 1},
      {.name = "not windowed",
       .profile = profileWith(profileLine(gbk::keyWindowed, f)),
       .weapon = 0,
       .attribute = 0,
       .resolution = 0,
       .windowed = false,
       .saved = {.weapon = "0", .attribute = "0", .resolution = "0", .windowed = f},
       .weaponNumber = 1},
      {.name = "empty windowed",
       .profile = profileWith(profileLine(gbk::keyWindowed, "")),
       .weapon = 0,
       .attribute = 0,
       .resolution = 0,
       .windowed = true,
       .saved = {.weapon = "0", .attribute = "0", .resolution = "0", .windowed = t},
       .weaponNumber = 1},
      {.name = "zero windowed",
       .profile = profileWith(profileLine(gbk::keyWindowed, "0")),
       .weapon = 0,
       .attribute = 0,
       .resolution = 0,
       .windowed = true,
       .saved = {.weapon = "0", .attribute = "0", .resolution = "0", .windowed = t},
       .weaponNumber = 1},
      {.name = "all four",
       .profile =
           profileWith(profileLine(gbk::keyWeapon, "10") + profileLine(gbk::keyAttribute, "2") +
                       profileLine(gbk::keyResolution, "1") + profileLine(gbk::keyWindowed, t)),
       .weapon = 10,
       .attribute = 2,
       .resolution = 1,
       .windowed = true,
       .saved = {.weapon = "10", .attribute = "2", .resolution = "1", .windowed = t},
       .weaponNumber = 53},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder("load");
    useRunDirectory(folder.path());
    installGame();
    writeBytes(mission(1), "int PlayerWeapon2 = 0;\r\n");
    if (!c.profile.empty()) writeBytes(path("wdpz.ini"), c.profile);

    createWindow();
    EXPECT_EQ(controls_->selection(LauncherList::weapon), c.weapon);
    EXPECT_EQ(controls_->selection(LauncherList::attribute), c.attribute);
    EXPECT_EQ(controls_->selection(LauncherList::resolution), c.resolution);
    EXPECT_EQ(controls_->isTicked(), c.windowed);

    apply();
    EXPECT_EQ(storedValue(dir_, gbk::keyWeapon), c.saved.weapon);
    EXPECT_EQ(storedValue(dir_, gbk::keyAttribute), c.saved.attribute);
    EXPECT_EQ(storedValue(dir_, gbk::keyResolution), c.saved.resolution);
    EXPECT_EQ(storedValue(dir_, gbk::keyWindowed), c.saved.windowed);
    EXPECT_EQ(readBytes(mission(1)),
              "int PlayerWeapon2 = " + std::to_string(c.weaponNumber) + ";\r\n");
    EXPECT_EQ(readBytes(path("config.ini")),
              c.resolution == 0 ? "[Display]\r\nWidth 800\r\nHeight 600\r\nBpp 32\r\n"
                                : "[Display]\r\nWidth 1024\r\nHeight 768\r\nBpp 32\r\n");
    EXPECT_EQ(launchRecord(dir_), gameRecord(c.windowed));
    SetCurrentDirectoryA(testProgramFolder().c_str());
  }
}

TEST_F(LauncherFlowTest, SavedChoicesReadBackInTheNextRun) {
  installGame();
  createWindow();
  choose(9, 3, 1, true);
  apply();
  createWindow();
  EXPECT_EQ(controls_->selection(LauncherList::weapon), 9);
  EXPECT_EQ(controls_->selection(LauncherList::attribute), 3);
  EXPECT_EQ(controls_->selection(LauncherList::resolution), 1);
  EXPECT_TRUE(controls_->isTicked());
}

TEST_F(LauncherFlowTest, WeaponNumberOfEveryChoiceInAMissionFile) {
  installGame();
  std::vector<WeaponChoice> choices;
  for (int32_t w = 0; w < 12; ++w) {
    for (int32_t a = 0; a < 4; ++a) choices.push_back({w, a, kWeaponNumbers[w][a]});
  }
  for (const WeaponChoice& c : kWeaponNumbersWithoutSelection) choices.push_back(c);
  for (const WeaponChoice& c : choices) {
    writeBytes(mission(7), "a\r\nint PlayerWeapon2 = 0;\r\nb\r\n");
    choose(c.weapon, c.attribute, 0, false);
    std::vector<UnwrittenFile> unwritten;
    patchMissionWeapon(*controls_, *host_, unwritten);
    EXPECT_EQ(readBytes(mission(7)),
              "a\r\nint PlayerWeapon2 = " + std::to_string(c.number) + ";\r\nb\r\n")
        << "weapon " << c.weapon << " attribute " << c.attribute;
    EXPECT_TRUE(unwritten.empty());
  }
  EXPECT_TRUE(host_->messages.empty());
}

TEST_F(LauncherFlowTest, MissionFilesOfEveryKind) {
  installGame();
  const std::string comment = "// "s + gbk::keyWeapon + "\r\n";
  struct File {
    std::string name;  // under "Level"
    std::string before;
    std::string after;  // "" when the file must not be written at all
  };
  const File files[] = {
      {"sn01_.pst",
       comment + "int Life = 3;\r\nint PlayerWeapon2 = 3; // old\r\nint Enemy = 1;\r\n",
       comment + "int Life = 3;\r\nint PlayerWeapon2 = 31;\r\nint Enemy = 1;\r\n"},
      {"sn02_.pst", "int PlayerWeapon2 = 1;\r\nint PlayerWeapon2 = 2;",
       "int PlayerWeapon2 = 31;\r\nint PlayerWeapon2 = 2;"},
      {"sn03_.pst", "int Life = 3;\r\n int PlayerWeapon2 = 1;\r\n", ""},
      {"sn04_.pst", "", ""},
      {"sn08_.pst", "int PlayerWeapon2 = 1;\r\n\r\n", "int PlayerWeapon2 = 31;\r\n\r\n"},
      {"sn09_.pst", "a\0b\r\nint PlayerWeapon2 = 1;\r\n\0c\0"s,
       "a\0b\r\nint PlayerWeapon2 = 31;\r\n\0c\0"s},
      {"sn10_.pst", "int PlayerWeapon22;\r\n", "int PlayerWeapon2 = 31;\r\n"},
      {"sn20_.pst", "x\r\nint PlayerWeapon2 = 5;", "x\r\nint PlayerWeapon2 = 31;"},
      {"sn1_.pst", "int PlayerWeapon2 = 1;\r\n", ""},
      {"sn00_.pst", "int PlayerWeapon2 = 1;\r\n", ""},
      {"sn21_.pst", "int PlayerWeapon2 = 1;\r\n", ""},
      {"sn05_.pst.bak", "int PlayerWeapon2 = 1;\r\n", ""},
      {"sn06.pst", "int PlayerWeapon2 = 1;\r\n", ""},
  };
  for (const File& file : files) {
    writeBytes(path("Level\\" + file.name), file.before);
    ageFile(path("Level\\" + file.name));
  }
  makeFolder(mission(11));  // a folder under a mission file's name cannot be read: listed
  choose(3, 3, 0, false);   // "双刺" with "速度属性（风）"
  std::vector<UnwrittenFile> unwritten;
  patchMissionWeapon(*controls_, *host_, unwritten);

  for (const File& file : files) {
    const std::string name = path("Level\\" + file.name);
    if (file.after.empty()) {
      EXPECT_EQ(readBytes(name), file.before) << file.name;
      EXPECT_TRUE(sameTime(writeTime(name), FILETIME{0x2A1B4000, 0x01C0A4E6})) << file.name;
    } else {
      EXPECT_EQ(readBytes(name), file.after) << file.name;
    }
  }
  ASSERT_EQ(unwritten.size(), 1u);
  EXPECT_EQ(unwritten[0].name.wide(), widePath(mission(11)));
  EXPECT_EQ(unwritten[0].fault, FileFault::folderInPlace);
  EXPECT_TRUE(host_->messages.empty());
}

TEST_F(LauncherFlowTest, MissingMissionFolderIsReportedAndTheApplyGoesOn) {
  installGame();
  RemoveDirectoryA(path("Level").c_str());
  createWindow();
  std::vector<std::string> seen;
  host_->observe = [&](const std::string& event) {
    if (event == "message") {
      seen.push_back("profile " + storedValue(dir_, gbk::keyWeapon));
      seen.push_back("config " + readBytes(path("config.ini")));
    }
  };
  apply();
  ASSERT_EQ(host_->messages.size(), 1u);
  EXPECT_EQ(host_->messages[0].text, gbk::missionFolderMissing);
  EXPECT_EQ(host_->messages[0].buttons, 0);
  // The message comes once the profile and the missions are done, before "config.ini" is
  // written, with the turn given back while it is up and taken again after it.
  const std::string unpatched = kConfig;
  const std::string patched = "[Display]\r\nWidth 800\r\nHeight 600\r\nBpp 32\r\n";
  EXPECT_EQ(seen, (std::vector<std::string>{"profile 0", "config " + unpatched}));
  EXPECT_EQ(host_->events,
            (std::vector<std::string>{"turn", "release", "message", "turn", "release", "start"}));
  EXPECT_EQ(readBytes(path("config.ini")), patched);
  EXPECT_EQ(launchRecord(dir_), gameRecord(false));
  EXPECT_TRUE(controls_->destroyRequested());
}

TEST_F(LauncherFlowTest, LevelAsAFilePassesTheFolderTest) {
  installGame();
  RemoveDirectoryA(path("Level").c_str());
  writeBytes(path("Level"), "int PlayerWeapon2 = 1;\r\n");
  createWindow();
  apply();
  EXPECT_TRUE(host_->messages.empty());
  EXPECT_EQ(readBytes(path("Level")), "int PlayerWeapon2 = 1;\r\n");
  EXPECT_EQ(launchRecord(dir_), gameRecord(false));
}

TEST_F(LauncherFlowTest, ApplyOrderSavePatchMissionsPatchConfigStartClose) {
  installGame();
  writeBytes(mission(1), "int PlayerWeapon2 = 0;\r\n");
  createWindow();
  choose(1, 1, 1, true);
  std::string atStart;
  bool destroyedAtStart = true;
  host_->observe = [&](const std::string& event) {
    if (event != "start") return;
    atStart = storedValue(dir_, gbk::keyWeapon) + "|" + readBytes(mission(1)) + "|" +
              readBytes(path("config.ini"));
    destroyedAtStart = controls_->destroyRequested();
  };
  apply();
  EXPECT_EQ(atStart,
            "1|int PlayerWeapon2 = 11;\r\n|[Display]\r\nWidth 1024\r\nHeight 768\r\nBpp 32\r\n");
  EXPECT_FALSE(destroyedAtStart);
  EXPECT_TRUE(controls_->destroyRequested());
  EXPECT_EQ(host_->events, (std::vector<std::string>{"turn", "release", "start"}));
}

TEST_F(LauncherFlowTest, CommandLineAsTheGameReceivesIt) {
  installGame();
  for (bool windowed : {false, true}) {
    DeleteFileA(path("launch-record.txt").c_str());
    createWindow();
    controls_->setTicked(windowed);
    apply();
    EXPECT_EQ(launchRecord(dir_), gameRecord(windowed)) << windowed;
    ASSERT_EQ(host_->commandLines.size(), 1u);
    EXPECT_EQ(host_->commandLines[0], "\"" + dir_ + "\\Drovar.exe\"" + (windowed ? " w" : ""));
    host_->commandLines.clear();
  }
}

TEST_F(LauncherFlowTest, BlankInTheRunDirectoryNeverStartsADecoy) {
  // For the unquoted path "...\My Games\X\Drovar.exe" the platform would try "...\My.exe".
  makeFolder(path("My Games"));
  makeFolder(path("My Games\\X"));
  ASSERT_TRUE(installStandIn(path("My.exe")));
  const std::string decoyFolder = dir_;
  useRunDirectory(path("My Games\\X"));
  installGame();
  for (bool windowed : {true, false}) {
    DeleteFileA(path("launch-record.txt").c_str());
    createWindow();
    controls_->setTicked(windowed);
    apply();
    EXPECT_EQ(launchRecord(dir_), gameRecord(windowed));
    EXPECT_EQ(launchRecord(decoyFolder, false), "<missing>");
  }
}

TEST_F(LauncherFlowTest, UnusableConfigEndsWithoutStartingTheGame) {
  struct Case {
    const char* name;
    const char* config;   // nullptr: no "config.ini"
    const char* message;  // what is wrong with it, before its path
  };
  const Case cases[] = {
      {"missing", nullptr, gbk::configUnreadable},
      {"empty", "", gbk::configTooFewLines},
      {"one line", "a\r\n", gbk::configTooFewLines},
      {"two lines", "[Display]\r\nWidth 640\r\n", gbk::configTooFewLines},
      {"two lines, no final break", "a\r\nb", gbk::configTooFewLines},
      {"bare line feeds", "a\nWidth 640\nHeight 480\n", gbk::configTooFewLines},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder("config");
    useRunDirectory(folder.path());
    installGame();
    DeleteFileA(path("config.ini").c_str());
    if (c.config) writeBytes(path("config.ini"), c.config);
    writeBytes(mission(2), "int PlayerWeapon2 = 0;\r\n");
    createWindow();
    controls_->setSelection(LauncherList::weapon, 2);
    apply();

    EXPECT_EQ(host_->events, (std::vector<std::string>{"turn", "release", "message", "end"}));
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].text, std::string(c.message) + path("config.ini"));
    EXPECT_NE(host_->messages[0].text.find("config.ini"), std::string::npos);
    EXPECT_EQ(host_->messages[0].buttons, 0);
    EXPECT_EQ(readBytes(path("config.ini")), c.config ? c.config : "<missing>");
    EXPECT_EQ(storedValue(dir_, gbk::keyWeapon), "2");
    EXPECT_EQ(readBytes(mission(2)), "int PlayerWeapon2 = 3;\r\n");
    EXPECT_TRUE(host_->commandLines.empty());
    EXPECT_EQ(launchRecord(dir_, false), "<missing>");
    EXPECT_FALSE(controls_->destroyRequested());
    SetCurrentDirectoryA(testProgramFolder().c_str());
  }
}

TEST_F(LauncherFlowTest, FilesThatCannotBeWrittenAreListedBeforeTheStart) {
  installGame();
  const std::string profile = profileWith(profileLine(gbk::keyWeapon, "5"));
  writeBytes(path("wdpz.ini"), profile);
  writeBytes(mission(1), "int PlayerWeapon2 = 0;\r\n");
  writeBytes(mission(2), "int PlayerWeapon2 = 0;\r\n");
  writeBytes(mission(3), "int PlayerWeapon2 = 0;\r\n");
  SetFileAttributesA(mission(1).c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(path("config.ini").c_str(), FILE_ATTRIBUTE_READONLY);
  createWindow();
  {
    HeldFile profileInUse(path("wdpz.ini"), HeldFile::readersOnly);
    HeldFile missionInUse(mission(3), HeldFile::readersOnly);
    ASSERT_TRUE(profileInUse.held() && missionInUse.held());
    apply();
  }
  ASSERT_EQ(host_->messages.size(), 1u);
  EXPECT_EQ(host_->messages[0].text,
            std::string(gbk::filesNotWritten) + "\r\n" + path("wdpz.ini") + gbk::reasonInUse +
                "\r\n" + mission(1) + gbk::reasonReadOnly + "\r\n" + mission(3) + gbk::reasonInUse +
                "\r\n" + path("config.ini") + gbk::reasonReadOnly + gbk::hintStart +
                gbk::hintReadOnly + gbk::hintSeparator + gbk::hintInUse + gbk::hintEnd);
  EXPECT_EQ(host_->messages[0].buttons, 0);
  EXPECT_EQ(host_->events, (std::vector<std::string>{"turn", "release", "message", "start"}));
  EXPECT_EQ(readBytes(path("wdpz.ini")), profile);
  EXPECT_EQ(readBytes(mission(1)), "int PlayerWeapon2 = 0;\r\n");
  EXPECT_EQ(readBytes(mission(2)), "int PlayerWeapon2 = 6;\r\n");
  EXPECT_EQ(readBytes(mission(3)), "int PlayerWeapon2 = 0;\r\n");
  EXPECT_EQ(readBytes(path("config.ini")), kConfig);
  EXPECT_EQ(launchRecord(dir_), gameRecord(false));
  EXPECT_TRUE(controls_->destroyRequested());
}

TEST_F(LauncherFlowTest, MissionsThatCannotBeReadAreListedAndKeepTheirWeapon) {
  installGame();
  writeBytes(mission(1), "int PlayerWeapon2 = 0;\r\n");
  makeFolder(mission(2));  // a folder where a mission file belongs
  writeBytes(mission(3), "int PlayerWeapon2 = 0;\r\n");
  writeBytes(mission(4), "");  // empty: read, nothing to patch, nothing to report
  createWindow();
  {
    // Held by a program that shares nothing: it cannot even be read.
    HeldFile held(mission(3), HeldFile::nothing);
    ASSERT_TRUE(held.held());
    apply();
  }
  ASSERT_EQ(host_->messages.size(), 1u);
  EXPECT_EQ(host_->messages[0].text,
            std::string(gbk::filesNotWritten) + "\r\n" + mission(2) + gbk::reasonFolderInPlace +
                "\r\n" + mission(3) + gbk::reasonInUse + gbk::hintStart + gbk::hintInUse +
                gbk::hintSeparator + gbk::hintFolderInPlace + gbk::hintEnd);
  EXPECT_EQ(readBytes(mission(1)), "int PlayerWeapon2 = 1;\r\n");
  EXPECT_EQ(readBytes(mission(3)), "int PlayerWeapon2 = 0;\r\n");
  EXPECT_EQ(readBytes(mission(4)), "");
  EXPECT_EQ(launchRecord(dir_), gameRecord(false));
}

// A mission is changed only once its original is recorded: a record that cannot be written
// or read leaves the missions that need it as they are, each listed, with the record
// itself listed with its own cause. A mission already recorded is changed all the same.
TEST_F(LauncherFlowTest, MissionsWhoseOriginalCannotBeRecordedKeepTheirWeapon) {
  const std::string recorded =
      gbk::originalWeaponsComment + "\r\nsn02_.pst\tint PlayerWeapon2 = 7;\r\n"s;
  for (const bool heldRecord : {false, true}) {
    SCOPED_TRACE(heldRecord ? "record held by another program" : "read-only record");
    TempFolder folder("record");
    useRunDirectory(folder.path());
    installGame();
    writeBytes(mission(1), "int PlayerWeapon2 = 0;\r\n");
    writeBytes(mission(2), "int PlayerWeapon2 = 0;\r\n");
    const std::string record = path(originalsRecordName());
    writeBytes(record, recorded);
    if (!heldRecord) SetFileAttributesA(record.c_str(), FILE_ATTRIBUTE_READONLY);
    createWindow();
    {
      std::optional<HeldFile> held;
      if (heldRecord) {
        ASSERT_TRUE(held.emplace(record, HeldFile::nothing).held());
      }
      apply();
    }
    SetFileAttributesA(record.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(host_->messages.size(), 1u);
    // Every change needs the record, which keeps the line written too: no mission changes.
    EXPECT_EQ(host_->messages[0].text,
              std::string(gbk::filesNotWritten) + "\r\n" + record +
                  (heldRecord ? gbk::reasonInUse : gbk::reasonReadOnly) + "\r\n" + mission(1) +
                  gbk::reasonRecordUnavailable + "\r\n" + mission(2) +
                  gbk::reasonRecordUnavailable + gbk::hintStart +
                  (heldRecord ? gbk::hintInUse : gbk::hintReadOnly) + gbk::hintEnd);
    EXPECT_EQ(readBytes(mission(1)), "int PlayerWeapon2 = 0;\r\n");
    EXPECT_EQ(readBytes(mission(2)), "int PlayerWeapon2 = 0;\r\n");
    EXPECT_EQ(readBytes(record), recorded);
    EXPECT_EQ(launchRecord(dir_), gameRecord(false));
    SetCurrentDirectoryA(testProgramFolder().c_str());
  }
}

TEST_F(LauncherFlowTest, GameThatCannotBeStartedIsReportedAndTheWindowCloses) {
  installGame();
  DeleteFileA(path("Drovar.exe").c_str());
  createWindow();
  apply();
  EXPECT_EQ(host_->events, (std::vector<std::string>{"turn", "release", "start", "message"}));
  ASSERT_EQ(host_->messages.size(), 1u);
  EXPECT_EQ(host_->messages[0].text, std::string(gbk::gameStartFailed) + path("Drovar.exe"));
  EXPECT_TRUE(controls_->destroyRequested());
}

TEST_F(LauncherFlowTest, TwoAppliesInARowGiveIdenticalFiles) {
  installGame();
  writeBytes(path("config.ini"), "a\r\nb\r\nc");
  writeBytes(mission(1), "x\r\nint PlayerWeapon2 = 0; // y\r\n");
  writeBytes(mission(20), "int PlayerWeapon2 = 0;");
  const std::vector<std::string> names = {path("wdpz.ini"), path("config.ini"), mission(1),
                                          mission(20)};
  auto snapshot = [&] {
    std::vector<std::string> contents;
    for (const std::string& name : names) contents.push_back(readBytes(name));
    return contents;
  };
  createWindow();
  choose(10, 2, 1, true);
  apply();
  const std::vector<std::string> first = snapshot();
  createWindow();
  apply();
  EXPECT_EQ(snapshot(), first);
  EXPECT_EQ(first[1], "a\r\nWidth 1024\r\nHeight 768\r\n");
  EXPECT_EQ(first[2], "x\r\nint PlayerWeapon2 = 53;\r\n");
  EXPECT_TRUE(host_->messages.empty());
}

// Each mission is read once by an apply, however large and wherever its weapon line lies; a
// second apply with the same choices reads each at most once more, up to its weapon line, and
// replaces none: the guard against an apply that reads the missions again, the cost that
// matters with large ones.
TEST_F(LauncherFlowTest, EachMissionIsReadOncePerApplyAndAnUnchangedOneIsNotReplaced) {
  installGame();
  const std::string filler(3 << 20, 'x');  // three pieces of the reader
  const std::string large(10 << 20, 'y');  // more than the apply holds before the line
  const std::vector<std::pair<int, std::string>> contents = {
      {1, "int PlayerWeapon2 = 1;\r\n" + filler},
      {2, filler + "\r\nint PlayerWeapon2 = 1;\r\n" + filler},
      {3, large + "\r\nint PlayerWeapon2 = 1;\r\n" + filler},
      {4, filler},
  };
  uint64_t total = 0;
  for (const auto& [n, content] : contents) {
    writeBytes(mission(n), content);
    total += content.size();
  }
  // The identity of a file: a replacement is another file, with another index.
  auto identities = [&] {
    std::vector<uint64_t> ids;
    for (const auto& [n, content] : contents) {
      const HANDLE file = CreateFileA(mission(n).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
      BY_HANDLE_FILE_INFORMATION info{};
      GetFileInformationByHandle(file, &info);
      CloseHandle(file);
      ids.push_back(uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow);
    }
    return ids;
  };
  createWindow();
  choose(11, 3, 1, false);
  uint64_t before = bytesReadInPieces();
  apply();
  const uint64_t firstRead = bytesReadInPieces() - before;
  std::printf("bytes of the missions %llu, read by the first apply %llu\n",
              static_cast<unsigned long long>(total), static_cast<unsigned long long>(firstRead));
  EXPECT_EQ(firstRead, total);
  EXPECT_EQ(readBytes(mission(3)), large + "\r\nint PlayerWeapon2 = 58;\r\n" + filler);
  const std::vector<uint64_t> written = identities();

  createWindow();
  before = bytesReadInPieces();
  apply();
  const uint64_t secondRead = bytesReadInPieces() - before;
  std::printf("read by a second apply with the same choices %llu\n",
              static_cast<unsigned long long>(secondRead));
  // Up to each weapon line, which is already the chosen one, and the mission without one whole.
  EXPECT_LE(secondRead, total);
  EXPECT_EQ(identities(), written);
  EXPECT_TRUE(host_->messages.empty());
}

// A file that fails for lack of permission turns the list into a question: Yes starts the
// program itself with administrator rights and the four choices; whatever follows, the
// game is then started by this instance. A start that fails other than by the user's
// refusal is told with the system's reason and the list; an end of the other instance
// without its own report brings the list again.
TEST_F(LauncherFlowTest, NoPermissionAsksToSaveWithAdministratorRights) {
  using Outcome = AdministratorRun::Outcome;
  const std::wstring reason = L"系统找不到指定的路径。";
  struct Case {
    const char* name;
    int32_t answer;
    AdministratorRun run;
    bool started;        // the program with administrator rights was asked for
    std::string before;  // a second message: what comes before the list without the question
  } cases[] = {
      {"No", 6, {Outcome::refused, 0, 0, L""}, false, "-"},
      {"Yes, refused", 5, {Outcome::refused, 0, 0, L""}, true, "-"},
      {"Yes, not started",
       5,
       {Outcome::notStarted, 0, 3, reason},
       true,
       wideToGbk(L"无法以管理员身份保存这些设置（错误代码 3）：" + reason + L"\r\n\r\n")},
      {"Yes, not started, no reason",
       5,
       {Outcome::notStarted, 0, 0xC0000142u, L""},
       true,
       wideToGbk(L"无法以管理员身份保存这些设置（错误代码 3221225794）：\r\n\r\n")},
      {"Yes, everything written", 5, {Outcome::ended, administratorWroteAll, 0, L""}, true, "-"},
      {"Yes, it reported what it could not write",
       5,
       {Outcome::ended, administratorReportedUnwritten, 0, L""},
       true,
       "-"},
      {"Yes, it ended without a report", 5, {Outcome::ended, 0xC000013Au, 0, L""}, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder("admin");
    useRunDirectory(folder.path());
    installGame();
    writeBytes(mission(1), "int PlayerWeapon2 = 0;\r\n");
    createWindow();
    choose(11, 3, 1, true);
    host_->answer = c.answer;
    host_->administratorRun = c.run;
    {
      Immutable locked(path("config.ini"));
      ASSERT_TRUE(locked.set());
      apply();
    }
    const std::string list =
        std::string(gbk::filesNotWritten) + "\r\n" + path("config.ini") + gbk::reasonNoPermission;
    ASSERT_GE(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].text, list + gbk::askAdministrator);
    EXPECT_EQ(host_->messages[0].buttons, yesNoButtons);
    // The program with administrator rights takes the turn itself: it is given back first.
    ASSERT_GE(host_->events.size(), 4u);
    EXPECT_EQ(host_->events[0], "turn");
    EXPECT_EQ(host_->events[1], "release");
    if (c.started) {
      EXPECT_EQ(host_->events[3], "administrator");
      EXPECT_EQ(host_->administratorRuns, std::vector<std::wstring>{L"--apply-settings=11,3,1,1"});
    } else {
      EXPECT_TRUE(host_->administratorRuns.empty());
    }
    if (c.before != "-") {
      ASSERT_EQ(host_->messages.size(), 2u);
      EXPECT_EQ(host_->messages[1].text,
                c.before + list + gbk::hintStart + gbk::hintNoPermission + gbk::hintEnd);
      EXPECT_EQ(host_->messages[1].buttons, 0);
    } else {
      EXPECT_EQ(host_->messages.size(), 1u);
    }
    EXPECT_EQ(host_->events.back(), "start");
    EXPECT_EQ(readBytes(mission(1)), "int PlayerWeapon2 = 58;\r\n");
    EXPECT_EQ(readBytes(path("config.ini")), kConfig);
    EXPECT_EQ(launchRecord(dir_), gameRecord(true));
    EXPECT_TRUE(controls_->destroyRequested());
    SetCurrentDirectoryA(testProgramFolder().c_str());
  }
}

// The work of the program started with administrator rights: the same writes, no game, no
// message for a missing mission folder or an unusable config.ini (the other instance
// reports those), and what still cannot be written listed with a hint instead of a
// question.
TEST_F(LauncherFlowTest, WritingAsAdministratorStartsNothingAndReportsWhatIsLeft) {
  struct Case {
    const char* name;
    bool lockConfig;
    bool removeLevel;
    const char* config;
    bool allWritten;
  } cases[] = {
      {"everything written", false, false, kConfig.c_str(), true},
      {"config.ini still refused", true, false, kConfig.c_str(), false},
      {"no mission folder", false, true, kConfig.c_str(), true},
      {"config.ini of two lines", false, false, "a\r\nb\r\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder("asadmin");
    useRunDirectory(folder.path());
    installGame();
    writeBytes(path("config.ini"), c.config);
    if (c.removeLevel) {
      RemoveDirectoryA(path("Level").c_str());
    } else {
      writeBytes(mission(1), "int PlayerWeapon2 = 0;\r\n");
    }
    controls_ = std::make_unique<PlainLauncherControls>();
    choose(11, 3, 1, false);
    bool allWritten = false;
    {
      std::optional<Immutable> locked;
      if (c.lockConfig) {
        locked.emplace(path("config.ini"));
        ASSERT_TRUE(locked->set());
      }
      allWritten = LauncherFlow(*controls_, *host_).writeAsAdministrator();
    }
    EXPECT_EQ(allWritten, c.allWritten);
    if (c.lockConfig) {
      ASSERT_EQ(host_->messages.size(), 1u);
      EXPECT_EQ(host_->messages[0].text, std::string(gbk::filesNotWritten) + "\r\n" +
                                             path("config.ini") + gbk::reasonNoPermission +
                                             gbk::hintStart + gbk::hintNoPermission + gbk::hintEnd);
      EXPECT_EQ(host_->messages[0].buttons, 0);
    } else {
      EXPECT_TRUE(host_->messages.empty());
    }
    EXPECT_EQ(storedValue(dir_, gbk::keyWeapon), "11");
    if (!c.removeLevel) {
      EXPECT_EQ(readBytes(mission(1)), "int PlayerWeapon2 = 58;\r\n");
    }
    EXPECT_TRUE(host_->commandLines.empty()) << "no game";
    EXPECT_FALSE(controls_->destroyRequested());
    SetCurrentDirectoryA(testProgramFolder().c_str());
  }
}

// Another apply keeps the game folder past the wait: no file is read or written, the user
// is told, and the window's apply then starts the game as after a list of unwritten files;
// the program with administrator rights ends as one that has reported what it could not
// write.
TEST_F(LauncherFlowTest, WithoutTheTurnNothingIsWrittenAndTheUserIsTold) {
  for (const bool administrator : {false, true}) {
    SCOPED_TRACE(administrator ? "administrator" : "window");
    TempFolder folder("noturn");
    useRunDirectory(folder.path());
    installGame();
    writeBytes(mission(1), "int PlayerWeapon2 = 0;\r\n");
    // A leftover of an ended writer, which only an apply with the turn removes.
    const std::string leftover = path("~wr7fffffff-1.wdpz.ini.tmp");
    writeBytes(leftover, "left");
    SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    createWindow();
    choose(11, 3, 1, true);
    host_->turnAvailable = false;
    bool allWritten = true;
    if (administrator) {
      allWritten = LauncherFlow(*controls_, *host_).writeAsAdministrator();
    } else {
      apply();
    }
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].text, gbk::applyTurnUnavailable);
    EXPECT_EQ(host_->messages[0].buttons, 0);
    EXPECT_EQ(readBytes(path("wdpz.ini")), "<missing>");
    EXPECT_EQ(readBytes(mission(1)), "int PlayerWeapon2 = 0;\r\n");
    EXPECT_EQ(readBytes(path(originalsRecordName())), "<missing>");
    EXPECT_EQ(readBytes(path("config.ini")), kConfig);
    EXPECT_EQ(readBytes(leftover), "left");
    SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (administrator) {
      EXPECT_FALSE(allWritten);
      EXPECT_EQ(host_->events, (std::vector<std::string>{"no turn", "release", "message"}));
    } else {
      EXPECT_EQ(host_->events,
                (std::vector<std::string>{"no turn", "release", "message", "start"}));
      EXPECT_EQ(launchRecord(dir_), gameRecord(true));
      EXPECT_TRUE(controls_->destroyRequested());
    }
    SetCurrentDirectoryA(testProgramFolder().c_str());
  }
}

}  // namespace
