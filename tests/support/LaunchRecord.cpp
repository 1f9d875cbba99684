#include "tests/support/LaunchRecord.h"

#include <windows.h>

#include "tests/support/TempFolder.h"

namespace {

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// True when the record holds `starts` starts or more, each written whole.
bool complete(const std::string& record, size_t starts) {
  const size_t written = occurrences(record, "cmdline=");
  return record != "<missing>" && record.size() >= 2 &&
         record.compare(record.size() - 2, 2, "\r\n") == 0 && written >= starts &&
         written == occurrences(record, "\r\ncwd=");
}

}  // namespace

std::string waitForLaunchRecord(const std::string& folder, size_t starts) {
  const std::string path = folder + "\\launch-record.txt";
  const DWORD start = GetTickCount();
  for (;;) {
    std::string record = readBytes(path);
    if (complete(record, starts)) return record;
    if (GetTickCount() - start >= kPatienceMs) return record;
    Sleep(20);
  }
}

std::string recordedPath(const std::string& path) {
  std::wstring wide = widePath(path);
  int size = static_cast<int>(wide.size());
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}
