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
// instruction, and shcore.dll by the program itself when it asks the monitor's scale; the
// others are names a program or its libraries may ask for later.
const char* const kPlanted[] = {"uxtheme.dll", "shcore.dll", "dwmapi.dll", "winmm.dll",
                                "comctl32.dll"};

// The names the program and the probe run under in this test: names of this test's own
// (its process id in them), so that the setting below names programs that no other test on
// the shared desktop prefix ever starts.
std::string ownName(const char* stem) {
  return std::string(stem) + "-plant" + std::to_string(GetCurrentProcessId()) + ".exe";
}

// While it lives, `program` takes `dll` from wherever the search finds it first. The key is
// volatile: the prefix's files never hold it, so a test ended before the destructor runs
// leaves it only in the desktop's running Wine server, under a program name of its own.
class SearchOrderSetting {
 public:
  SearchOrderSetting(const std::string& program, const std::string& dll)
      : key_("Software\\Wine\\AppDefaults\\" + program) {
    const std::string name = dll.substr(0, dll.find('.'));
    HKEY overrides = nullptr;
    created_ = RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr,
                               REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &overrides,
                               nullptr) == ERROR_SUCCESS &&
               RegSetValueExA(overrides, name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>("native,builtin"),
                              sizeof "native,builtin") == ERROR_SUCCESS;
    if (overrides != nullptr) RegCloseKey(overrides);
  }
  ~SearchOrderSetting() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
  bool created() const { return created_; }
  SearchOrderSetting(const SearchOrderSetting&) = delete;
  SearchOrderSetting& operator=(const SearchOrderSetting&) = delete;

 private:
  std::string key_;
  bool created_ = false;
};

// The probe run to its end in `folder`, with the ordinary search order.
bool runProbe(const std::string& folder, const std::string& dll) {
  std::string command = folder + "\\" + ownName("dll_probe");
  command.insert(0, 1, '"');
  command.append("\" ").append(dll);
  return runProgramToEnd(command, L"", {}, folder).exitCode != 0xDEAD0001;
}

TEST(PlantedDll, NeverLoadedByTheProgram) {
  const std::string bin = testProgramFolder();
  for (const char* dll : kPlanted) {
    SCOPED_TRACE(dll);
    const SearchOrderSetting forProgram(ownName("launcher"), dll);
    const SearchOrderSetting forProbe(ownName("dll_probe"), dll);
    ASSERT_TRUE(forProgram.created());
    ASSERT_TRUE(forProbe.created());
    GameFolder game("plant", {{"config.ini", kSampleConfig}});
    ASSERT_TRUE(
        CopyFileA((game / "launcher.exe").c_str(), (game / ownName("launcher")).c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA((bin + "\\dll_probe.exe").c_str(), (game / ownName("dll_probe")).c_str(), FALSE));
    writeBytes(game / "config.ini", kSampleConfig);
    ASSERT_TRUE(CopyFileA((bin + "\\planted_dll.dll").c_str(), (game / dll).c_str(), FALSE));
    const std::string record = game / "planted-loaded.txt";

    // The program: started, its window shown, closed as a user closes it.
    RunningProgram program;
    ASSERT_TRUE(program.start(game / ownName("launcher"), game.path()));
    HWND window = waitForWindow(program.processId(), L"WTWindow", kPatienceMs);
    EXPECT_NE(window, nullptr);
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = 0xDEAD0001;
    EXPECT_TRUE(program.waitExit(kPatienceMs, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(readBytes(record), "<missing>") << "the program loaded the planted DLL";

    // The probe, with the ordinary search order, from the same folder, takes it.
    ASSERT_TRUE(runProbe(game.path(), dll));
    std::string probeRecord = game / ownName("dll_probe");
    probeRecord.append(" ").append(game / dll).append("\r\n");
    EXPECT_EQ(readBytes(record), probeRecord);
  }
}

}  // namespace
