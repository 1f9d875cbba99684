// Text values, byte buffers and text arrays, and the operations on them.
//
// A text value is a run of GBK bytes without a zero byte inside; lengths and positions
// are in bytes, and a byte of 0x80 or above starts a two-byte character. A byte buffer
// is a run of bytes that may hold zero bytes (whole files). A text array is indexed from
// 1; an index outside 1..count ends the process through the index error handler (code 4
// below 1, code 1 above the count) before anything is touched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Text {
 public:
  Text() = default;
  Text(const char* zeroEnded);            // NOLINT: literals and C strings read as texts
  explicit Text(std::string_view bytes);  // keeps the bytes before the first zero byte
  explicit Text(std::string&& bytes);     // same, without a copy when there is no zero byte

  const char* c_str() const { return bytes_.c_str(); }
  std::string_view view() const { return bytes_; }
  const std::string& str() const { return bytes_; }
  bool empty() const { return bytes_.empty(); }
  operator std::string_view() const { return bytes_; }  // NOLINT: texts read as byte views

  friend bool operator==(const Text& a, const Text& b) { return a.bytes_ == b.bytes_; }

 private:
  std::string bytes_;
};

struct ByteBuffer {
  std::string bytes;  // may hold zero bytes
  friend bool operator==(const ByteBuffer& a, const ByteBuffer& b) { return a.bytes == b.bytes; }
};

class TextArray {
 public:
  TextArray() = default;
  explicit TextArray(std::vector<Text> elements) : elements_(std::move(elements)) {}

  int32_t count() const { return static_cast<int32_t>(elements_.size()); }
  const Text& at(int32_t index) const;  // index rule applies
  void set(int32_t index, Text value);  // index rule applies
  const std::vector<Text>& elements() const { return elements_; }

 private:
  std::vector<Text> elements_;
};

// concat: the parts joined in order; absent or empty parts add nothing.
Text concat(std::initializer_list<std::string_view> parts);
template <class... Parts>
Text concat(const Parts&... parts) {
  return concat({std::string_view(parts)...});
}

int32_t textLength(const Text& text);
Text leftPart(const Text& text, int32_t count);
int32_t compareText(const Text& a, const Text& b);  // -1, 0 or 1; bytes compared unsigned

int32_t toInteger(const Text& text);  // full-width forms normalised; wraps modulo 2^32
// As toInteger reads it, without the wrap: no value for a number outside 32 bits.
std::optional<int32_t> toIntegerWithin(const Text& text);
int32_t toInteger(double value);  // truncated through 64 bits; NaN and out of range give 0

Text toText(int32_t value);             // "%d"
Text toText(bool value);                // "真" / "假"
Text toText(const ByteBuffer& buffer);  // the bytes before the first zero byte

// An absent delimiter means ","; a present empty one gives the whole text as one element.
// An absent maximum count means no limit; a negative one counts as 0.
TextArray splitText(const Text& text, const std::optional<Text>& delimiter = std::nullopt,
                    std::optional<int32_t> maxCount = std::nullopt);

ByteBuffer toByteBuffer(const Text& text);
int32_t elementCount(const TextArray& array);

// What an index outside a text array runs: a handler that never returns (the frame installs
// its fatal report at start-up). Without one the process aborts.
using IndexErrorHandler = void (*)(int32_t code);
void setIndexErrorHandler(IndexErrorHandler handler);
