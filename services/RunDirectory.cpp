#include <windows.h>

#include "services/RunDirectory.h"

namespace {

Path& storedRunDirectory() {
  static Path folder;
  return folder;
}

uint32_t ownModulePath(wchar_t* buffer, uint32_t size) {
  return GetModuleFileNameW(nullptr, buffer, size);
}

}  // namespace

std::optional<std::wstring> ownProgramPath() { return wholeModulePath(&ownModulePath); }

bool initRunDirectory() {
  std::optional<std::wstring> path = ownProgramPath();
  storedRunDirectory() = path ? folderOfPath(Path(*path)) : Path();
  return path.has_value() && !storedRunDirectory().empty();
}

void setRunDirectory(const Path& folder) { storedRunDirectory() = folder; }

Path runDirectory() { return storedRunDirectory(); }
