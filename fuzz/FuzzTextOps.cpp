// The byte-level text operations on arbitrary bytes: length, left part, comparison,
// concatenation, the byte buffer conversions, integer to text, and element access of a
// split result, each against its rule.
//
// Input: byte 0 the left-part count as a signed byte; then text a up to the first zero
// byte, then text b (the rest, read as a text: up to its next zero byte).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/FuzzCheck.h"
#include "fuzz/TextModel.h"
#include "services/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  int32_t count = static_cast<int8_t>(data[0]);
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t zero = rest.find('\0');
  std::string_view aBytes = rest.substr(0, zero);
  std::string_view bBytes =
      zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);
  Text a(aBytes);
  Text b(bBytes);
  std::string bModel = model::beforeZero(bBytes);

  check(a.view() == aBytes && b.view() == bModel, "a text keeps the bytes before a zero byte");
  check(textLength(a) == static_cast<int32_t>(aBytes.size()), "textLength counts bytes");

  std::string left =
      count <= 0 ? std::string() : std::string(aBytes.substr(0, static_cast<size_t>(count)));
  check(leftPart(a, count).view() == left, "leftPart cuts by bytes");

  int32_t ab = compareText(a, b);
  check(ab == model::compare(a.view(), b.view()), "compareText against the model");
  check(compareText(b, a) == -ab, "compareText is antisymmetric");
  check(compareText(a, a) == 0, "compareText of a text with itself");

  std::string joined = std::string(aBytes) + bModel;
  check(concat(a, b).view() == joined, "concat of two parts");
  check(concat(Text(), a, Text(""), b).view() == joined, "concat skips empty parts");

  check(toByteBuffer(a).bytes == aBytes, "toByteBuffer keeps every byte");
  ByteBuffer whole{std::string(rest)};
  check(toText(whole).view() == aBytes, "toText of a buffer stops at its first zero byte");
  check(toText(toByteBuffer(b)) == b, "text to buffer to text");

  if (size >= 5) {
    int32_t number;
    std::memcpy(&number, data + 1, sizeof number);
    char printed[16];
    std::snprintf(printed, sizeof printed, "%d", number);
    check(toText(number).view() == printed, "toText of an integer is %d");
  }

  // Element access inside the bounds and replacement of one element.
  TextArray parts = splitText(a, Text("\r\n"));
  int32_t n = elementCount(parts);
  if (n > 0) {
    int32_t index = 1 + static_cast<int32_t>(static_cast<uint8_t>(data[0]) % n);
    Text other = parts.at(n + 1 - index);
    parts.set(index, b);
    check(parts.at(index) == b, "set replaces the element");
    check(index == n + 1 - index || parts.at(n + 1 - index) == other, "set changes one element");
    check(elementCount(parts) == n, "set never grows the array");
  }
  return 0;
}
