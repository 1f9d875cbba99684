#include <cstring>

#include "GbkTexts.h"
#include "frame/FatalReport.h"

namespace {

// Appends bytes to a fixed buffer, cutting what does not fit; the buffer stays zero-ended.
struct BoundedWriter {
  char* out;
  size_t capacity;
  size_t length = 0;

  void append(std::string_view bytes) {
    if (capacity == 0) return;
    size_t room = capacity - 1 - length;
    size_t take = bytes.size() < room ? bytes.size() : room;
    std::memcpy(out + length, bytes.data(), take);
    length += take;
    out[length] = '\0';
  }
};

// "%d" without the C library: sign for negative values, no leading zeros.
std::string_view decimal(int32_t value, char (&digits)[12]) {
  char* end = digits + sizeof digits;
  char* p = end;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10u);
    magnitude /= 10u;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  return std::string_view(p, static_cast<size_t>(end - p));
}

const char* const numberedMessages[] = {
    gbk::indexError1, gbk::indexError2,  gbk::indexError3,  gbk::indexError4,
    gbk::indexError5, gbk::indexError6,  gbk::indexError7,  gbk::indexError8,
    gbk::indexError9, gbk::indexError10, gbk::indexError11,
};

}  // namespace

size_t formatFatalErrorBox(char* out, size_t capacity, std::string_view message, int32_t code) {
  BoundedWriter writer{out, capacity};
  if (capacity > 0) out[0] = '\0';
  writer.append(gbk::fatalHeading);
  if (code != 0) {
    char digits[12];
    writer.append(gbk::fatalCodeLabel);
    writer.append(decimal(code, digits));
    writer.append("\r\n\r\n");
  }
  if (!message.empty()) {
    writer.append(gbk::fatalMessageLabel);
    writer.append(message);
    writer.append("\r\n");
  }
  return writer.length;
}

std::string fatalErrorBoxText(std::string_view message, int32_t code) {
  std::string text(message.size() + 128, '\0');
  text.resize(formatFatalErrorBox(text.data(), text.size(), message, code));
  return text;
}

const char* fatalErrorMessage(int32_t code) {
  if (code < 1 || code > 11) return "";
  return numberedMessages[code - 1];
}
