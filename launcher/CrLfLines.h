// Splits the whole content of a game file into its lines. Lines are separated by CR LF;
// a CR LF counts only where a character starts (a byte of 0x80 or above starts a two-byte
// character, whose second byte is never taken for a CR). A zero byte is an ordinary byte.
// No empty line follows a final CR LF, and an empty content has no lines at all.
#pragma once

#include <cstddef>
#include <string_view>

struct LineSpan {
  size_t begin = 0;        // offset of the line's first byte
  size_t end = 0;          // offset one past its last byte
  bool separated = false;  // a CR LF follows the line
};

// The offset of the first `byte` at or after `from`, or npos. Sixteen bytes at a time
// where the processor has SSE2, else eight; the search speed does not depend on the C
// runtime of the platform.
size_t findByte(std::string_view content, size_t from, char byte);
// The eight-bytes-at-a-time search that findByte uses without SSE2.
size_t findByteByWords(std::string_view content, size_t from, char byte);

// True when a character starts at offset `at`. Every byte below 0x80 ends a character
// (it is a one-byte character or the second byte of a pair), so a character starts right
// after one, and from there the bytes of 0x80 or above pair up: `at` is a start exactly
// when an even number of them lie between it and the nearest earlier byte below 0x80.
bool characterStartsAt(std::string_view content, size_t at);

// True when a line starts at offset `at`: the first byte, or right after a CR LF.
bool lineStartsAt(std::string_view content, size_t at);

class CrLfLines {
 public:
  // The lines from offset `start` on, which must be where a line starts.
  explicit CrLfLines(std::string_view content, size_t start = 0)
      : content_(content), start_(start) {}

  // The next line in order; false once every line has been given.
  bool next(LineSpan& line);

 private:
  std::string_view content_;
  size_t start_ = 0;  // where the next line begins
};
