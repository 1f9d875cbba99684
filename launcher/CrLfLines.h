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

class CrLfLines {
 public:
  explicit CrLfLines(std::string_view content) : content_(content) {}

  // The next line in order; false once every line has been given.
  bool next(LineSpan& line);

 private:
  std::string_view content_;
  size_t start_ = 0;  // where the next line begins; always the start of a character
};
