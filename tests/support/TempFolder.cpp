#include "tests/support/TempFolder.h"

#include <windows.h>

#include <cstdio>

TempFolder::TempFolder(const std::string& tag) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    char name[64];
    std::snprintf(name, sizeof name, "lt%lu_%u_", GetCurrentProcessId(), ++counter);
    std::string candidate = std::string(base) + name + tag;
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
}

TempFolder::~TempFolder() { removeTree(path_); }

std::wstring widePath(const std::string& path) {
  if (path.empty()) return std::wstring();
  int size = static_cast<int>(path.size());
  int length = MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), size, wide.data(), length);
  return wide;
}

bool makeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

void writeBytes(const std::string& path, const std::string& bytes) {
  writeBytes(widePath(path), bytes);
}

void writeBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  if (!bytes.empty())
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string readBytes(const std::string& path) { return readBytes(widePath(path)); }

std::string readBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) out.append(chunk, got);
  CloseHandle(file);
  return out;
}

bool pathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// Wide, so that names outside the system code page go too.
void removeWideTree(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") removeWideTree(path + L"\\" + name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

void removeTree(const std::string& path) { removeWideTree(widePath(path)); }

std::string testProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path, length);
  return full.substr(0, full.find_last_of('\\'));
}
