// The run directory's functions as the program has them (services/RunDirectory.cpp), over a
// system that cannot give the program's own path whole, linked in their place into a copy
// of the program (launcher_own_path_fault.exe); everything else is the program's own. The
// environment variable LAUNCHER_OWN_PATH_FAULT says how the system fails:
//   cut     every call fills the buffer with the path cut to its size, as the system does
//           for a path longer than the buffer, however large the buffer asked with
//   failed  every call fails (length 0)
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "services/RunDirectory.h"

namespace {

Path& storedRunDirectory() {
  static Path folder;
  return folder;
}

uint32_t cutModulePath(wchar_t* buffer, uint32_t size) {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), 32768);
  path.resize(length);
  while (path.size() < size) path += L"\\longer";
  path.copy(buffer, size);
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

uint32_t failedModulePath(wchar_t*, uint32_t) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return 0;
}

}  // namespace

std::optional<std::wstring> ownProgramPath() {
  wchar_t fault[16] = {};
  GetEnvironmentVariableW(L"LAUNCHER_OWN_PATH_FAULT", fault, 16);
  return wholeModulePath(std::wstring(fault) == L"cut" ? &cutModulePath : &failedModulePath);
}

bool initRunDirectory() {
  std::optional<std::wstring> path = ownProgramPath();
  storedRunDirectory() = path ? folderOfPath(Path(*path)) : Path();
  return path.has_value() && !storedRunDirectory().empty();
}

void setRunDirectory(const Path& folder) { storedRunDirectory() = folder; }

Path runDirectory() { return storedRunDirectory(); }
