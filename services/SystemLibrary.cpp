#include "services/SystemLibrary.h"

#include <windows.h>

#include <string>

namespace {

// The full path of `library` in the system folder; empty when the system folder is unknown.
std::wstring systemLibraryPath(const wchar_t* library) {
  // With no buffer the call gives the size the folder needs, its terminating zero included.
  UINT needed = GetSystemDirectoryW(nullptr, 0);
  if (needed == 0) return std::wstring();
  std::wstring path(needed, L'\0');
  UINT length = GetSystemDirectoryW(path.data(), needed);
  if (length == 0 || length >= needed) return std::wstring();
  path.resize(length);
  if (path.back() != L'\\') path += L'\\';
  return path + library;
}

}  // namespace

void* systemFunctionAddress(const wchar_t* library, const char* name) {
  const std::wstring path = systemLibraryPath(library);
  if (path.empty()) return nullptr;
  HMODULE module = LoadLibraryW(path.c_str());
  if (module == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(module, name));
}
