#include "services/FileFaults.h"

#include "services/FileHandle.h"

FileFault faultOfError(DWORD error) {
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileFault::inUse;
    case ERROR_ACCESS_DENIED:
      return FileFault::noPermission;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileFault::diskFull;
    default:
      return FileFault::other;
  }
}

FileFault faultOfLastError() { return faultOfError(GetLastError()); }

FileFault readFault(const std::wstring& name, DWORD error) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileFault::folderInPlace;
  }
  const FileFault cause = faultOfError(error);
  return cause == FileFault::inUse || cause == FileFault::noPermission ? cause
                                                                       : FileFault::unreadable;
}

FileFault replaceFault(const std::wstring& name, DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileFault::none;  // a new file
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileFault::folderInPlace;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return FileFault::readOnly;
  FileHandle probe(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  return probe.valid() ? FileFault::none : faultOfLastError();
}
