#include "services/RunDirectory.h"

namespace {
// The longest path the platform has: 32,767 characters and the terminating zero.
constexpr uint32_t longestPath = 32768;
}  // namespace

std::optional<std::wstring> wholeModulePath(ModulePathGetter get) {
  std::wstring buffer;
  for (uint32_t size = 260; size <= 2 * longestPath; size *= 2) {
    buffer.assign(size, L'\0');
    uint32_t length = get(buffer.data(), size);
    if (length == 0) return std::nullopt;
    if (length < size) {
      buffer.resize(length);
      return buffer;
    }
  }
  return std::nullopt;
}
