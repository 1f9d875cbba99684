#include "launcher/CrLfLines.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

size_t findByteFrom(const char* data, size_t p, size_t size, char byte) {
  for (; p < size; ++p) {
    if (data[p] == byte) return p;
  }
  return std::string_view::npos;
}

}  // namespace

size_t findByteByWords(std::string_view content, size_t from, char byte) {
  static_assert(std::endian::native == std::endian::little);
  constexpr uint64_t ones = 0x0101010101010101ull;
  constexpr uint64_t highBits = 0x8080808080808080ull;
  const char* data = content.data();
  const uint64_t wanted = ones * static_cast<unsigned char>(byte);
  size_t p = from;
  for (; p + 8 <= content.size(); p += 8) {
    uint64_t word;
    std::memcpy(&word, data + p, sizeof word);
    const uint64_t x = word ^ wanted;
    // The lowest flagged byte is the first zero byte of x; flags above it may be false.
    const uint64_t zeros = (x - ones) & ~x & highBits;
    if (zeros != 0) return p + static_cast<size_t>(std::countr_zero(zeros)) / 8;
  }
  return findByteFrom(data, p, content.size(), byte);
}

size_t findByte(std::string_view content, size_t from, char byte) {
#if defined(__SSE2__)
  const char* data = content.data();
  const __m128i wanted = _mm_set1_epi8(byte);
  size_t p = from;
  for (; p + 16 <= content.size(); p += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)));
    if (mask != 0) return p + static_cast<size_t>(std::countr_zero(mask));
  }
  return findByteFrom(data, p, content.size(), byte);
#else
  return findByteByWords(content, from, byte);
#endif
}

// Each CR is looked at once: the whole split is linear in the content.
bool CrLfLines::next(LineSpan& line) {
  const size_t size = content_.size();
  if (start_ >= size) return false;
  const char* data = content_.data();
  size_t from = start_;
  while (from + 2 <= size) {
    const size_t cr = findByte(content_.substr(0, size - 1), from, '\r');
    if (cr == std::string_view::npos) break;
    if (data[cr + 1] == '\n') {
      line = LineSpan{start_, cr, true};
      start_ = cr + 2;
      return true;
    }
    from = cr + 1;
  }
  line = LineSpan{start_, size, false};
  start_ = size;
  return true;
}
