#include "tests/support/Immutable.h"

#include <windows.h>

#include "tests/support/Patience.h"

namespace {

// The Unix path of a Windows path under Wine; empty elsewhere.
std::string unixPathOf(const std::string& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return std::string();
  wchar_t wide[MAX_PATH * 2];
  if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2) == 0) return "";
  char* name = unixName(wide);
  if (name == nullptr) return std::string();
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Starts chattr, a Linux program, which Wine runs directly but without a handle to wait on.
bool startChattr(const char* change, const std::string& unixPath) {
  std::string commandLine = std::string("/usr/bin/chattr ") + change + " \"" + unixPath + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  return true;
}

// True when the path can be changed now: a file opened for writing, or a new file made in
// a folder (and removed again).
bool changeable(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    std::string probe = path + "\\~immutable-probe";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// Changes the mark and waits until the change shows (up to a minute on a loaded machine).
bool chattr(const char* change, const std::string& path, const std::string& unixPath) {
  if (!startChattr(change, unixPath)) return false;
  const bool wantChangeable = change[0] == '-';
  const DWORD start = GetTickCount();
  while (changeable(path) != wantChangeable) {
    if (GetTickCount() - start > kPatienceMs) return false;
    Sleep(10);
  }
  return true;
}

}  // namespace

Immutable::Immutable(const std::string& path) : path_(path), unixPath_(unixPathOf(path)) {
  set_ = !unixPath_.empty() && chattr("+i", path_, unixPath_);
}

// Also after a mark that did not show in time: it may still come.
Immutable::~Immutable() {
  if (!unixPath_.empty()) chattr("-i", path_, unixPath_);
}
