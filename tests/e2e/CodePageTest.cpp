// The real launcher on a system of any code page, in a game folder of any name, driven like
// a user: the window shows its Chinese texts, an existing GBK "wdpz.ini" is loaded, and
// after a press every file holds the very bytes that the same press gives on a Simplified
// Chinese system; the game is started with its quoted path and in its own folder.
//
// The program runs once per system code page (ctest starts it under zh_CN, en_US, zh_TW,
// ja_JP and ko_KR), each time for the program and for its copy that asks for the UTF-8 code
// page, in folders named in ASCII, in Chinese and in Korean with an emoji.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/GameFolder.h"
#include "tests/support/LocaleCodePage.h"
#include "tests/support/TempFolder.h"

namespace {

std::string utf8(const std::wstring& wide) {
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                   0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length,
                      nullptr, nullptr);
  return bytes;
}

const int kMissions[] = {1, 2, 7, 20};

std::wstring missionName(int number) { return widePath("\\" + missionPath(number)); }

// A game folder at a wide path: the program (or its UTF-8 copy) as launcher.exe, the
// stand-in game as Drovar.exe, "config.ini" and four missions in "Level".
void makeGame(const std::wstring& folder, const std::string& program) {
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring bin = widePath(testProgramFolder());
  CopyFileW((bin + L"\\" + widePath(program)).c_str(), (folder + L"\\launcher.exe").c_str(), FALSE);
  CopyFileW((bin + L"\\standin_game.exe").c_str(), (folder + L"\\Drovar.exe").c_str(), FALSE);
  writeBytes(folder + L"\\config.ini", kSampleConfig);
  CreateDirectoryW((folder + L"\\Level").c_str(), nullptr);
  for (int number : kMissions) writeBytes(folder + missionName(number), sampleMission(number));
}

// Waits until the process has ended or shows a message box; the box, or nullptr.
HWND boxBeforeTheEnd(RunningProgram& program) {
  HWND box = nullptr;
  waitUntil(
      [&] {
        box = waitForMessageBox(program.processId(), 0);
        return box != nullptr || !program.running();
      },
      kPatienceMs);
  return box;
}

// Picks the weapon and attribute in the started launcher and presses its button; the
// program must end with 0 and show no message on its way.
void pressStartWith(RunningProgram& run, int weapon, int attribute) {
  HWND window = waitForWindow(run.processId(), L"WTWindow", kPatienceMs);
  ASSERT_NE(window, nullptr);
  chooseInLauncher(window, {weapon, attribute, kLeave, kLeave});
  pressStart(window);
  HWND box = boxBeforeTheEnd(run);
  EXPECT_EQ(box, nullptr) << (box ? readMessageBox(box).text : L"");
  if (box != nullptr) dismissMessageBox(box);
  DWORD code = 0;
  ASSERT_TRUE(run.waitExit(kPatienceMs, &code));
  EXPECT_EQ(code, 0u);
}

// The entries of a list as the window template gives them (GBK), read as code page 936
// whatever the system's code page is.
template <size_t N>
std::vector<std::wstring> entriesOf(const TemplateEntry (&entries)[N]) {
  std::vector<std::wstring> texts;
  for (const TemplateEntry& entry : entries) texts.push_back(fromGbk(entry.text));
  return texts;
}

struct Folder {
  const char* name;
  std::wstring leaf;
};

const Folder kFolders[] = {
    {"ASCII", L"cp game"},
    {"Chinese", L"游戏 设置"},
    {"Korean and an emoji", L"게임 \U0001F3AE"},
};

struct Program {
  const char* name;
  const char* file;
};

const Program kPrograms[] = {
    {"the program", "launcher.exe"},
    {"its UTF-8 copy", "launcher_utf8.exe"},
};

TEST(CodePageTest, SameWindowSameFilesSameStart) {
  // The run is under the locale ctest gave it, and Wine gave its code page.
  ASSERT_EQ(GetACP(), localeCodePage()) << "locale " << runLocale();
  std::printf("system code page %u under %s\n", GetACP(), runLocale().c_str());
  for (const Program& program : kPrograms) {
    for (const Folder& f : kFolders) {
      SCOPED_TRACE(std::string(program.name) + " in a folder named in " + f.name);
      TempFolder temp("cp");
      const std::wstring folder = widePath(temp.path()) + L"\\" + f.leaf;
      makeGame(folder, program.file);

      // A first run, without "wdpz.ini": every list on its first entry, the box clear; closed
      // without a press, it writes nothing.
      {
        RunningProgram first;
        ASSERT_TRUE(first.start(folder + L"\\launcher.exe", folder));
        HWND window = waitForWindow(first.processId(), L"WTWindow", kPatienceMs);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(readList(childById(window, kWeaponList)).selection, 0);
        EXPECT_EQ(readList(childById(window, kAttributeList)).selection, 0);
        EXPECT_EQ(readList(childById(window, kResolutionList)).selection, 0);
        EXPECT_FALSE(isTicked(childById(window, kWindowedBox)));
        PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD code = 0;
        ASSERT_TRUE(first.waitExit(kPatienceMs, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(readBytes(folder + L"\\wdpz.ini"), "<missing>");
      }

      writeBytes(folder + L"\\wdpz.ini", profileText(7, 2, 1, true));
      RunningProgram run;
      ASSERT_TRUE(run.start(folder + L"\\launcher.exe", folder));
      HWND window = waitForWindow(run.processId(), L"WTWindow", kPatienceMs);
      ASSERT_NE(window, nullptr);
      EXPECT_EQ(textOf(window), fromGbk(launcher_text::window));
      EXPECT_EQ(textOf(childById(window, kWeaponLabel)), fromGbk(launcher_text::weaponLabel));
      EXPECT_EQ(textOf(childById(window, kResolutionLabel)),
                fromGbk(launcher_text::resolutionLabel));
      EXPECT_EQ(textOf(childById(window, kAttributeLabel)), fromGbk(launcher_text::attributeLabel));
      EXPECT_EQ(textOf(childById(window, kWindowedBox)), fromGbk(launcher_text::windowedBox));
      EXPECT_EQ(textOf(childById(window, kStartButton)), fromGbk(launcher_text::startButton));
      ListState weapons = readList(childById(window, kWeaponList));
      ListState attributes = readList(childById(window, kAttributeList));
      ListState resolutions = readList(childById(window, kResolutionList));
      EXPECT_EQ(weapons.entries, entriesOf(launcher_entries::weaponList));
      EXPECT_EQ(attributes.entries, entriesOf(launcher_entries::attributeList));
      EXPECT_EQ(resolutions.entries, entriesOf(launcher_entries::resolutionList));
      // The stored choices are loaded: 长枪, 防御, 1024*788, windowed.
      EXPECT_EQ(weapons.selection, 7);
      EXPECT_EQ(attributes.selection, 2);
      EXPECT_EQ(resolutions.selection, 1);
      EXPECT_TRUE(isTicked(childById(window, kWindowedBox)));

      // 乾坤刀 with 攻击属性: weapon number 48.
      chooseInLauncher(window, {9, 1, kLeave, kLeave});
      pressStart(window);
      EXPECT_EQ(boxBeforeTheEnd(run), nullptr) << "no message";
      DWORD code = 0;
      ASSERT_TRUE(run.waitExit(kPatienceMs, &code));
      EXPECT_EQ(code, 0u);

      EXPECT_EQ(readBytes(folder + L"\\wdpz.ini"), profileText(9, 1, 1, true));
      for (int number : kMissions) {
        EXPECT_EQ(readBytes(folder + missionName(number)), patchedMission(number, 48)) << number;
      }
      EXPECT_EQ(readBytes(folder + L"\\config.ini"),
                "[Screen]\r\nWidth 1024\r\nHeight 768\r\nBits 32\r\n");
      std::string record;
      waitUntil(
          [&] {
            record = readBytes(folder + L"\\launch-record.txt");
            return record.ends_with("\r\n") && record.find("cwd=") != std::string::npos;
          },
          kPatienceMs);
      EXPECT_EQ(record,
                "cmdline=\"" + utf8(folder) + "\\Drovar.exe\" w\r\ncwd=" + utf8(folder) + "\r\n");
    }
  }
}

// A launcher whose path is longer than 260 bytes in GBK (160 characters) works on its own
// folder: the copy of the game in the folder above it is neither changed nor started.
TEST(CodePageTest, LongFolderPathAppliesItsOwnGame) {
  TempFolder temp("long");
  const std::wstring parent = widePath(temp.path()) + L"\\" + std::wstring(60, L'父');
  const std::wstring folder = parent + L"\\" + std::wstring(80, L'游');
  makeGame(parent, "launcher.exe");
  makeGame(folder, "launcher.exe");
  DeleteFileW((parent + L"\\launcher.exe").c_str());

  RunningProgram run;
  ASSERT_TRUE(run.start(folder + L"\\launcher.exe", folder));
  ASSERT_NO_FATAL_FAILURE(pressStartWith(run, 9, 1));

  EXPECT_EQ(readBytes(folder + L"\\wdpz.ini"), profileText(9, 1, 0, false));
  EXPECT_EQ(readBytes(folder + missionName(7)), patchedMission(7, 48));
  EXPECT_EQ(readBytes(folder + L"\\config.ini"),
            "[Screen]\r\nWidth 800\r\nHeight 600\r\nBits 32\r\n");
  std::string record;
  waitUntil([&] { return (record = readBytes(folder + L"\\launch-record.txt")).ends_with("\r\n"); },
            kPatienceMs);
  EXPECT_EQ(record, "cmdline=\"" + utf8(folder) + "\\Drovar.exe\"\r\ncwd=" + utf8(folder) + "\r\n");

  // The game above: untouched and not started.
  EXPECT_EQ(readBytes(parent + L"\\wdpz.ini"), "<missing>");
  EXPECT_EQ(readBytes(parent + missionName(7)), sampleMission(7));
  EXPECT_EQ(readBytes(parent + L"\\config.ini"), kSampleConfig);
  EXPECT_EQ(readBytes(parent + L"\\launch-record.txt"), "<missing>");
}

// The process environment with TEMP and TMP pointing to a folder that does not exist.
std::wstring environmentWithoutTemporaryFolder(const std::wstring& missing) {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* p = strings; *p != L'\0'; p += wcslen(p) + 1) {
    std::wstring entry = p;
    if (_wcsnicmp(p, L"TEMP=", 5) == 0 || _wcsnicmp(p, L"TMP=", 4) == 0) continue;
    block += entry + L'\0';
  }
  FreeEnvironmentStringsW(strings);
  block += L"TEMP=" + missing + L'\0';
  block += L"TMP=" + missing + L'\0';
  return block;
}

// Saving the settings needs nothing but the game folder: not even a temporary folder.
TEST(CodePageTest, ProfileIsSavedWithoutATemporaryFolder) {
  TempFolder temp("notemp");
  const std::wstring folder = widePath(temp.path()) + L"\\game";
  makeGame(folder, "launcher.exe");
  writeBytes(folder + L"\\wdpz.ini", profileText(7, 2, 1, true));
  const std::wstring environment =
      environmentWithoutTemporaryFolder(widePath(temp.path()) + L"\\no such folder");

  RunningProgram run;
  ASSERT_TRUE(run.start(folder + L"\\launcher.exe", folder, &environment));
  ASSERT_NO_FATAL_FAILURE(pressStartWith(run, 9, 1));
  EXPECT_EQ(readBytes(folder + L"\\wdpz.ini"), profileText(9, 1, 1, true));
  EXPECT_EQ(readBytes(folder + missionName(7)), patchedMission(7, 48));
}

}  // namespace
