// The run directory: the folder part of the program's own path, cut at the last backslash
// that is a character of its own (never the second byte of a two-byte character).
#include <gtest/gtest.h>

#include <string>

#include "services/RunDirectory.h"

#ifdef _WIN32
#include <windows.h>

#include "tests/support/TempFolder.h"
#endif

namespace {

bool gbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool noLeadByte(unsigned char) { return false; }

TEST(RunDirectoryPath, FolderOfPath) {
  struct Case {
    const char* path;
    bool (*isLead)(unsigned char);
    const char* expected;
  } cases[] = {
      {"C:\\Games\\X\\launcher.exe", gbkLeadByte, "C:\\Games\\X"},
      {"C:\\launcher.exe", gbkLeadByte, "C:"},
      {"launcher.exe", gbkLeadByte, ""},
      {"", gbkLeadByte, ""},
      {"\\\\server\\share\\a.exe", gbkLeadByte, "\\\\server\\share"},
      // 81 5C is one character: its second byte is no separator.
      {"C:\\Games\\x\x81\\.exe", gbkLeadByte, "C:\\Games"},
      {"C:\\Games\\\x81\\\\a.exe", gbkLeadByte, "C:\\Games\\\x81\\"},
      {"C:\\\xc4\xe3\xba\xc3\\a.exe", gbkLeadByte, "C:\\\xc4\xe3\xba\xc3"},
      // Without two-byte characters the same byte is a separator.
      {"C:\\Games\\x\x81\\.exe", noLeadByte, "C:\\Games\\x\x81"},
      {"C:\\Games\\\x81", gbkLeadByte, "C:\\Games"},  // a lone lead byte at the end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(folderOfPath(c.path, c.isLead).str(), c.expected) << c.path;
  }
}

#ifdef _WIN32
TEST(RunDirectory, IsTheFolderOfTheRunningProgram) {
  initRunDirectory();
  EXPECT_EQ(runDirectory().str(), testProgramFolder());
  setRunDirectory(Text("C:\\elsewhere"));
  EXPECT_EQ(runDirectory().str(), "C:\\elsewhere");
  initRunDirectory();
}

// Starts the probe copied to path and returns the run directory it computed.
std::string runDirectoryOfCopy(const TempFolder& temp, const std::string& folder,
                               const std::string& exe) {
  std::string copy = folder + "\\" + exe;
  EXPECT_TRUE(
      CopyFileA((testProgramFolder() + "\\services_probe.exe").c_str(), copy.c_str(), FALSE));
  std::string out = temp / "rundir.txt";
  std::string commandLine = "\"";
  commandLine += copy + "\" rundir \"" + out + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return "<not started>";
  }
  WaitForSingleObject(process.hProcess, 60000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return readBytes(out);
}

TEST(RunDirectory, ProgramNameWithTrailByteBackslash) {
  if (GetACP() != 936) GTEST_SKIP() << "needs the GBK code page";
  TempFolder temp;
  std::string folder = temp / "\xd3\xce\xcf\xb7\x81\\";  // 游戏 followed by 81 5C
  ASSERT_TRUE(makeFolder(folder));
  EXPECT_EQ(runDirectoryOfCopy(temp, folder, "x\x81\\.exe"), folder);
  EXPECT_EQ(runDirectoryOfCopy(temp, temp.path(), "\x81\\launcher.exe"), temp.path());
}
#endif

}  // namespace
