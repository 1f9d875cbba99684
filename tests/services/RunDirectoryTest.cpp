// The run directory: the folder part of the program's own path, taken whole from the
// platform however long it is, and cut at its last backslash.
#include <gtest/gtest.h>

#include <string>

#include "services/RunDirectory.h"

#ifdef _WIN32
#include <windows.h>

#include "tests/support/Patience.h"
#include "tests/support/TempFolder.h"
#endif

namespace {

TEST(RunDirectoryPath, FolderOfPath) {
  struct Case {
    const wchar_t* path;
    const wchar_t* expected;
  } cases[] = {
      {L"C:\\Games\\X\\launcher.exe", L"C:\\Games\\X"},
      {L"C:\\launcher.exe", L"C:"},
      {L"launcher.exe", L""},
      {L"", L""},
      {L"\\\\server\\share\\a.exe", L"\\\\server\\share"},
      // 乗 is 81 5C in GBK: in UTF-16 its second byte is no separator.
      {L"C:\\Games\\x\u4E57.exe", L"C:\\Games"},
      {L"C:\\Games\\\u4E57\\a.exe", L"C:\\Games\\\u4E57"},
      {L"C:\\\uAC8C\uC784 \U0001F3AE\\a.exe", L"C:\\\uAC8C\uC784 \U0001F3AE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(folderOfPath(Path(c.path)).wide(), c.expected);
  }
}

// A stand-in for GetModuleFileNameW over a path of the given length: it fills what fits and
// returns the buffer's size when the path was cut short.
std::wstring fakePath;
uint32_t fakeGetter(wchar_t* buffer, uint32_t size) {
  size_t copied = fakePath.size() < size ? fakePath.size() : size;
  fakePath.copy(buffer, copied);
  if (copied < size) buffer[copied] = L'\0';
  return static_cast<uint32_t>(copied);
}

TEST(RunDirectoryPath, WholePathHoweverLong) {
  for (size_t length : {1u, 100u, 259u, 260u, 261u, 1000u, 32767u}) {
    fakePath = L"C:\\" + std::wstring(length, L'\u6E38');
    std::optional<std::wstring> path = wholeModulePath(&fakeGetter);
    ASSERT_TRUE(path.has_value()) << length;
    EXPECT_EQ(*path, fakePath) << length;
  }
  // Longer than any path the platform has: refused, never cut.
  fakePath = std::wstring(70000, L'x');
  EXPECT_FALSE(wholeModulePath(&fakeGetter).has_value());
  fakePath.clear();  // the platform's failure (length 0)
  EXPECT_FALSE(wholeModulePath(&fakeGetter).has_value());
}

#ifdef _WIN32
TEST(RunDirectory, IsTheFolderOfTheRunningProgram) {
  ASSERT_TRUE(initRunDirectory());
  EXPECT_EQ(runDirectory().wide(), widePath(testProgramFolder()));
  // Worked out anew from the program's own path each time, whatever was there before.
  setRunDirectory(Path(L"C:\\elsewhere"));
  ASSERT_TRUE(initRunDirectory());
  EXPECT_EQ(runDirectory().wide(), widePath(testProgramFolder()));
}

TEST(RunDirectory, OwnProgramPathIsTheRunningProgram) {
  std::optional<std::wstring> path = ownProgramPath();
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(*path, widePath(testProgramFolder() + "\\run_directory_tests.exe"));
}

// Starts the probe copied into `folder` (wide) as `exe` and returns the run directory it
// computed.
std::wstring runDirectoryOfCopy(const TempFolder& temp, const std::wstring& folder,
                                const std::wstring& exe) {
  std::wstring copy = folder + L"\\" + exe;
  EXPECT_TRUE(CopyFileW(widePath(testProgramFolder() + "\\services_probe.exe").c_str(),
                        copy.c_str(), FALSE));
  std::string out = temp / "rundir.txt";
  std::wstring commandLine = L"\"" + copy + L"\" rundir \"" + widePath(out) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return L"<not started>";
  }
  WaitForSingleObject(process.hProcess, kPatienceMs);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::string bytes = readBytes(out);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

TEST(RunDirectory, FoldersOfAnyNameAndLength) {
  TempFolder temp;
  const std::wstring base = widePath(temp.path());
  struct Case {
    const char* name;
    std::wstring folder;  // under the temporary folder
    std::wstring exe;
  } cases[] = {
      // 游戏 followed by 乗 (81 5C in GBK) in the folder and in the program's name.
      {"trail byte 5C", L"\\\u6E38\u620F\u4E57", L"x\u4E57.exe"},
      {"Korean and an emoji", L"\\\uAC8C\uC784 \U0001F3AE", L"launcher.exe"},
      {"Chinese", L"\\\u6E38\u620F", L"\u542F\u52A8.exe"},
      // 160 characters: over 260 bytes in GBK, under the 260-character limit.
      {"long", L"\\" + std::wstring(60, L'\u7236') + L"\\" + std::wstring(80, L'\u6E38'),
       L"launcher.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring folder = base;
    for (size_t from = 1; from <= c.folder.size();) {
      size_t next = c.folder.find(L'\\', from);
      if (next == std::wstring::npos) next = c.folder.size();
      folder += L"\\" + c.folder.substr(from, next - from);
      CreateDirectoryW(folder.c_str(), nullptr);
      from = next + 1;
    }
    EXPECT_EQ(runDirectoryOfCopy(temp, folder, c.exe), folder);
  }
}
#endif

}  // namespace
