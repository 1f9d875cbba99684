// The program's start: a Windows GUI program. Started without arguments it shows the
// launcher window; its one argument is the elevated-apply argument, with which it starts
// itself with administrator rights.
#include <windows.h>

#include "app/LauncherEntry.h"
#include "frame/FrameState.h"
#include "services/CommandLine.h"
#include "services/SystemLibrary.h"

namespace {

// DLLs are loaded from the system folder only, never from the program's folder or the
// current directory, so that a DLL placed beside the program is never picked up. The
// calls are looked up because a Windows 7 without its loader update lacks the first.
void restrictDllSearch() {
  using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
  using SetDirectory = BOOL(WINAPI*)(LPCWSTR);
  const auto setDefault =
      systemFunction<SetDefaultDirectories>(L"kernel32.dll", "SetDefaultDllDirectories");
  const auto setDirectory = systemFunction<SetDirectory>(L"kernel32.dll", "SetDllDirectoryW");
  if (setDefault != nullptr) setDefault(0x00000800);  // LOAD_LIBRARY_SEARCH_SYSTEM32
  if (setDirectory != nullptr) setDirectory(L"");     // no current directory in the search
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  restrictDllSearch();
  // A drive without a medium fails quietly instead of asking the user.
  SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  std::wstring_view arguments = commandLineArguments(GetCommandLineW());
  if (!arguments.empty()) return administratorEntry(arguments);
  launcherEntry();
  stopFrame();
  return static_cast<int>(frameState().currentMessage.wParam);
}
