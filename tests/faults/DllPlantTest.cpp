// A DLL planted in the game folder under the name of a DLL that the system libraries load
// while the program runs is never loaded by the program: it looks for DLLs in the system
// folder only. A probe that loads the same name with the ordinary search order, from the
// same folder, takes the planted DLL, which shows the test would see it.
//
// Wine prefers its own copy of a system DLL over one found by the search; a per-program
// setting of the prefix makes it take a DLL from wherever the search finds it first, as
// Windows does for DLLs that are not among its known DLLs.
//
// Not covered: imm32.dll and version.dll, which the system libraries load while the
// process is being set up, before the program's first instruction; Windows takes those
// from the system folder (known DLLs or their dependencies).
#include <gtest/gtest.h>

#include <string>

#include "tests/faults/FaultRun.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiProbe.h"

namespace {

// uxtheme.dll is loaded when the window is built, long after the program's first
// instruction; the others are names a program or its libraries may ask for later.
const char* const kPlanted[] = {"uxtheme.dll", "dwmapi.dll", "winmm.dll", "comctl32.dll"};

// While it lives, `program` takes `dll` from wherever the search finds it first.
class SearchOrderSetting {
 public:
  SearchOrderSetting(const char* program, const std::string& dll)
      : key_(std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides") {
    std::string name = dll.substr(0, dll.find('.'));
    RegSetKeyValueA(HKEY_CURRENT_USER, key_.c_str(), name.c_str(), REG_SZ, "native,builtin",
                    sizeof "native,builtin");
  }
  ~SearchOrderSetting() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
  SearchOrderSetting(const SearchOrderSetting&) = delete;
  SearchOrderSetting& operator=(const SearchOrderSetting&) = delete;

 private:
  std::string key_;
};

// The probe run to its end in `folder`, with the ordinary search order.
bool runProbe(const std::string& folder, const std::string& dll) {
  std::string command = folder + "\\dll_probe.exe";
  command.insert(0, 1, '"');
  command.append("\" ").append(dll);
  return runProgramToEnd(command, L"", {}, folder).exitCode != 0xDEAD0001;
}

TEST(PlantedDll, NeverLoadedByTheProgram) {
  const std::string bin = testProgramFolder();
  for (const char* dll : kPlanted) {
    SCOPED_TRACE(dll);
    SearchOrderSetting forProgram("launcher.exe", dll);
    SearchOrderSetting forProbe("dll_probe.exe", dll);
    TempFolder game("plant");
    placePrograms(game.path());
    CopyFileA((bin + "\\dll_probe.exe").c_str(), (game / "dll_probe.exe").c_str(), FALSE);
    writeBytes(game / "config.ini", kSampleConfig);
    ASSERT_TRUE(CopyFileA((bin + "\\planted_dll.dll").c_str(), (game / dll).c_str(), FALSE));
    const std::string record = game / "planted-loaded.txt";

    // The program: started, its window shown, closed as a user closes it.
    RunningProgram program;
    ASSERT_TRUE(program.start(game / "launcher.exe", game.path()));
    HWND window = waitForWindow(program.processId(), L"WTWindow", 20000);
    EXPECT_NE(window, nullptr);
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = 0xDEAD0001;
    EXPECT_TRUE(program.waitExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(readBytes(record), "<missing>") << "the program loaded the planted DLL";

    // The probe, with the ordinary search order, from the same folder, takes it.
    ASSERT_TRUE(runProbe(game.path(), dll));
    std::string probeRecord = game / "dll_probe.exe";
    probeRecord.append(" ").append(game / dll).append("\r\n");
    EXPECT_EQ(readBytes(record), probeRecord);
  }
}

}  // namespace
