// Splits the whole content of a game file into its lines. Lines are separated by CR LF,
// wherever it stands: in valid GBK a CR or LF is never part of a character, and in a file
// that is not valid GBK a byte before a CR LF never takes it into a character, so no line
// is merged with the next. A zero byte is an ordinary byte. No empty line follows a final
// CR LF, and an empty content has no lines at all.
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
