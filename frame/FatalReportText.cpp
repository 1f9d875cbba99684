#include <cstring>

#include "GbkTexts.h"
#include "frame/FatalReport.h"
#include "services/Decimal.h"
#include "services/Text.h"

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
    writer.append(formatDecimal(code, digits));
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

void installFatalReport() { setIndexErrorHandler(&reportIndexError); }
