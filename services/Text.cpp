#include "services/Text.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "GbkTexts.h"
#include "services/Decimal.h"

namespace {

IndexErrorHandler indexErrorHandler = nullptr;

[[noreturn]] void reportIndexError(int32_t code) {
  if (indexErrorHandler != nullptr) indexErrorHandler(code);
  std::abort();
}

std::string_view beforeZero(std::string_view bytes) {
  // find, not memchr: an empty view may have no data pointer at all.
  return bytes.substr(0, bytes.find('\0'));
}

bool isLead(unsigned char byte) { return byte >= 0x80; }

bool isSpace(unsigned char byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');  // \t \n \v \f \r
}

// The single byte a two-byte full-width form stands for, or 0 when the character is not
// one of them (it is then kept as it is).
unsigned char narrowForm(unsigned char lead, unsigned char trail) {
  if (lead == 0xA1) {
    if (trail == 0xA1) return ' ';
    if (trail == 0xAB) return '~';
    if (trail == 0xEE || trail == 0xEF) return '*';
    return 0;
  }
  if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
    return static_cast<unsigned char>(trail - 0x80);
  return 0;
}

}  // namespace

Text::Text(const char* zeroEnded) {
  if (zeroEnded != nullptr) bytes_.assign(zeroEnded);
}

Text::Text(std::string_view bytes) : bytes_(beforeZero(bytes)) {}

Text::Text(std::string&& bytes) : bytes_(std::move(bytes)) {
  size_t zero = bytes_.find('\0');
  if (zero != std::string::npos) bytes_.resize(zero);
}

void setIndexErrorHandler(IndexErrorHandler handler) { indexErrorHandler = handler; }

const Text& TextArray::at(int32_t index) const {
  if (index < 1) reportIndexError(4);
  if (index > count()) reportIndexError(1);
  return elements_[static_cast<size_t>(index) - 1];
}

void TextArray::set(int32_t index, Text value) {
  if (index < 1) reportIndexError(4);
  if (index > count()) reportIndexError(1);
  elements_[static_cast<size_t>(index) - 1] = std::move(value);
}

Text concat(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (std::string_view part : parts) total += beforeZero(part).size();
  std::string joined;
  joined.reserve(total);
  for (std::string_view part : parts) joined.append(beforeZero(part));
  return Text(std::move(joined));
}

int32_t textLength(const Text& text) { return static_cast<int32_t>(text.view().size()); }

Text leftPart(const Text& text, int32_t count) {
  if (count <= 0) return Text();
  std::string_view bytes = text.view();
  return Text(bytes.substr(0, static_cast<size_t>(count)));
}

int32_t compareText(const Text& a, const Text& b) {
  std::string_view x = a.view();
  std::string_view y = b.view();
  if (x.empty()) return y.empty() ? 0 : -1;
  if (y.empty()) return 1;
  size_t common = x.size() < y.size() ? x.size() : y.size();
  int order = std::memcmp(x.data(), y.data(), common);  // memcmp compares unsigned bytes
  if (order == 0) {
    if (x.size() == y.size()) return 0;
    return x.size() < y.size() ? -1 : 1;
  }
  return order < 0 ? -1 : 1;
}

namespace {

// The number a text starts with, as toInteger reads it, before it is wrapped to 32 bits:
// exact within 32 bits; any larger magnitude is given as one outside them whose low 32 bits
// are those toInteger keeps.
int64_t leadingNumber(const Text& text) {
  // Normalise and parse in one walk: the parse only ever looks at the next normalised byte,
  // and stops at the first byte that cannot continue a number.
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.c_str());
  auto next = [&p]() -> unsigned char {
    unsigned char byte = *p;
    if (byte == 0) return 0;
    if (!isLead(byte)) {
      ++p;
      return byte;
    }
    if (p[1] == 0) {  // a lone lead byte before the end is dropped
      ++p;
      return 0;
    }
    unsigned char narrow = narrowForm(byte, p[1]);
    p += 2;
    return narrow != 0 ? narrow : byte;  // any other character stops the number at its lead
  };

  unsigned char byte = next();
  while (isSpace(byte)) byte = next();
  bool negative = false;
  if (byte == '-' || byte == '+') {
    negative = byte == '-';
    byte = next();
  }
  uint64_t value = 0;
  uint64_t low = 0;  // modulo 2^32, as toInteger gives it
  while (byte >= '0' && byte <= '9') {
    const uint64_t digit = static_cast<uint64_t>(byte - '0');
    value = value > (INT64_MAX - digit) / 10 ? INT64_MAX : value * 10 + digit;
    low = (low * 10 + digit) & 0xFFFFFFFFu;
    byte = next();
  }
  // Within 32 bits the exact value, else one that is outside them and wraps as toInteger
  // does: its low 32 bits are the wrapped value's.
  if (value > UINT32_MAX) value = (uint64_t{1} << 40) | low;
  return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
}

}  // namespace

int32_t toInteger(const Text& text) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(leadingNumber(text))));
}

std::optional<int32_t> toIntegerWithin(const Text& text) {
  const int64_t value = leadingNumber(text);
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t toInteger(double value) {
  // Truncated toward zero to 64 bits, then the low 32 bits. NaN fails both comparisons.
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) return 0;
  int64_t whole = static_cast<int64_t>(value);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(whole)));
}

Text toText(int32_t value) {
  char digits[12];
  return Text(formatDecimal(value, digits));
}

Text toText(bool value) { return Text(value ? gbk::logicalTrue : gbk::logicalFalse); }

Text toText(const ByteBuffer& buffer) { return Text(std::string_view(buffer.bytes)); }

TextArray splitText(const Text& text, const std::optional<Text>& delimiter,
                    std::optional<int32_t> maxCount) {
  std::string_view t = text.view();
  std::string_view d = delimiter ? delimiter->view() : std::string_view(",");
  bool limited = maxCount.has_value();
  int32_t left = limited && *maxCount > 0 ? *maxCount : 0;
  std::vector<Text> pieces;
  if (t.empty() || (limited && left == 0)) return TextArray();
  if (d.empty()) {
    pieces.emplace_back(t);
    return TextArray(std::move(pieces));
  }

  const char* data = t.data();
  const size_t size = t.size();
  const size_t width = d.size();
  const char first = d[0];
  size_t start = 0;
  size_t p = 0;
  while (size - p >= width) {
    if (data[p] == first && std::memcmp(data + p, d.data(), width) == 0) {
      pieces.emplace_back(t.substr(start, p - start));
      p += width;
      start = p;
      if (limited && --left == 0) return TextArray(std::move(pieces));
      continue;
    }
    if (isLead(static_cast<unsigned char>(data[p]))) {
      if (p + 1 == size) break;  // a lone lead byte at the end
      p += 2;
    } else {
      p += 1;
    }
  }
  if (start < size) pieces.emplace_back(t.substr(start));
  return TextArray(std::move(pieces));
}

ByteBuffer toByteBuffer(const Text& text) { return ByteBuffer{text.str()}; }

int32_t elementCount(const TextArray& array) { return array.count(); }
