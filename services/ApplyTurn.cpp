#include "services/ApplyTurn.h"

#include <cstdio>

#include "services/FileHandle.h"

namespace {

constexpr wchar_t kTurnPrefix[] = L"Local\\launcher-apply-turn-";

// FNV-1a over the UTF-16 code units of a path.
uint64_t pathHash(const std::wstring& path) {
  uint64_t hash = 14695981039346656037ull;
  for (const wchar_t c : path) {
    hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  }
  return hash;
}

std::wstring hexName(const wchar_t* kind, uint64_t high, uint64_t low) {
  wchar_t text[64];
  std::swprintf(text, sizeof text / sizeof text[0], L"%ls-%llx-%llx", kind,
                static_cast<unsigned long long>(high), static_cast<unsigned long long>(low));
  return kTurnPrefix + std::wstring(text);
}

}  // namespace

std::wstring applyTurnName(const Path& folder) {
  // No access is asked: reading a folder's identity needs none, and a folder this program
  // may not change still has one.
  const FileHandle handle(CreateFileW(platformPath(folder).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (handle.valid() && GetFileInformationByHandle(handle.get(), &info) != FALSE) {
    const uint64_t index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return hexName(L"id", info.dwVolumeSerialNumber, index);
  }
  std::wstring folded = folder.wide();
  if (!folded.empty()) {
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, folded.data(), static_cast<int>(folded.size()),
                 folded.data(), static_cast<int>(folded.size()));
  }
  return hexName(L"path", folded.size(), pathHash(folded));
}

ApplyTurn::ApplyTurn(const Path& folder, uint32_t waitMs) {
  const std::wstring name = applyTurnName(folder);
  mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
  // One made by a program of other rights may be ours to wait on and give back only.
  if (mutex_ == nullptr && GetLastError() == ERROR_ACCESS_DENIED) {
    mutex_ = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str());
  }
  if (mutex_ == nullptr) return;
  DWORD wait = WaitForSingleObject(mutex_, 0);
  if (wait == WAIT_TIMEOUT) {
    waitingForApplyTurn();
    wait = WaitForSingleObject(mutex_, waitMs);
  }
  held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

void ApplyTurn::release() {
  if (held_) ReleaseMutex(mutex_);
  held_ = false;
  if (mutex_ != nullptr) CloseHandle(mutex_);
  mutex_ = nullptr;
}
