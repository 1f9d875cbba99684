// A file held open by "another program" for as long as the object lives, as a running
// program holds it: sharing with readers only (it can still be read, not written, replaced
// or deleted), or sharing nothing (not even read).
#pragma once

#include <windows.h>

#include <string>

class HeldFile {
 public:
  enum Sharing { readersOnly, nothing };

  HeldFile(const std::string& path, Sharing sharing)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ | (sharing == nothing ? GENERIC_WRITE : 0),
                            sharing == readersOnly ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};
