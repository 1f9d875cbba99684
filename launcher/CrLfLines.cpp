#include "launcher/CrLfLines.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// True when none of the eight bytes is a lead byte or a CR: all eight are single-byte
// characters and none can begin a separator, so the scan may step over them at once.
bool plainWord(const char* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  if (word & kHighBits) return false;
  uint64_t crs = word ^ (kOnes * '\r');
  return ((crs - kOnes) & ~crs & kHighBits) == 0;
}

}  // namespace

bool CrLfLines::next(LineSpan& line) {
  const size_t size = content_.size();
  if (start_ >= size) return false;
  const char* data = content_.data();
  size_t p = start_;
  while (p + 2 <= size) {
    if (p + 8 <= size && plainWord(data + p)) {
      p += 8;
      continue;
    }
    unsigned char c = static_cast<unsigned char>(data[p]);
    if (c == '\r' && data[p + 1] == '\n') {
      line = LineSpan{start_, p, true};
      start_ = p + 2;
      return true;
    }
    p += c >= 0x80 ? 2 : 1;
  }
  line = LineSpan{start_, size, false};
  start_ = size;
  return true;
}
