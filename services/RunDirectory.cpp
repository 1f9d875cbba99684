#include <windows.h>

#include "services/RunDirectory.h"

namespace {

Text& storedRunDirectory() {
  static Text folder;
  return folder;
}

bool isAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

void initRunDirectory() {
  char path[260];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length > sizeof path) length = 0;
  storedRunDirectory() = folderOfPath(std::string_view(path, length), isAnsiLeadByte);
}

void setRunDirectory(const Text& folder) { storedRunDirectory() = folder; }

Text runDirectory() { return storedRunDirectory(); }
