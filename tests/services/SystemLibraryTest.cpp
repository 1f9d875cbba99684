// Functions of the system's DLLs looked up at run time: found in the DLL of the system
// folder, none for a DLL or a function the system lacks.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "services/SystemLibrary.h"

namespace {

TEST(SystemFunction, FoundOnlyWhereTheSystemHasIt) {
  struct Case {
    const wchar_t* library;
    const char* name;
    bool found;
  } cases[] = {
      {L"shcore.dll", "GetDpiForMonitor", true},
      {L"shell32.dll", "ShellExecuteExW", true},
      {L"kernel32.dll", "SetDllDirectoryW", true},
      {L"shcore.dll", "NoSuchFunction", false},
      {L"no-such-library.dll", "GetDpiForMonitor", false},
      {L"", "GetDpiForMonitor", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(systemFunctionAddress(c.library, c.name) != nullptr, c.found) << c.name;
  }
}

TEST(SystemFunction, IsTheOneOfTheLoadedSystemDll) {
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  const auto function = systemFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
  ASSERT_NE(function, nullptr);
  HMODULE shcore = GetModuleHandleW(L"shcore.dll");
  ASSERT_NE(shcore, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(function),
            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
  // The DLL that was loaded is the system folder's.
  wchar_t system[MAX_PATH];
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_GT(length, 0u);
  wchar_t loaded[MAX_PATH];
  DWORD loadedLength = GetModuleFileNameW(shcore, loaded, MAX_PATH);
  ASSERT_GT(loadedLength, 0u);
  EXPECT_EQ(_wcsicmp(loaded, (std::wstring(system, length) + L"\\shcore.dll").c_str()), 0);
}

}  // namespace
