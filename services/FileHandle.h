// What the file services share: a handle of the file interfaces that closes itself, and the
// form in which the file calls take a path of any length. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "services/Path.h"

// A handle of the file interfaces, closed when it goes.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool close() {
    if (!valid()) return true;
    bool closed = CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// The form in which the platform takes a path of any length: a full path of 248 characters
// or more gets the "\\?\" prefix (and "\\server\share" becomes "\\?\UNC\server\share"),
// which lifts the 260-character limit of the file calls. Other paths go as they are.
inline std::wstring platformPath(const Path& path) {
  const std::wstring& wide = path.wide();
  constexpr size_t longFrom = MAX_PATH - 12;
  if (wide.size() < longFrom || wide.starts_with(L"\\\\?\\")) return wide;
  if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') return L"\\\\?\\" + wide;
  if (wide.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + wide.substr(2);
  return wide;
}

// A name of ASCII characters as the wide calls take it.
inline std::wstring wideAscii(std::string_view ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}
