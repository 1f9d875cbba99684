// splitText of arbitrary bytes with an absent, empty or short delimiter and an absent or
// small maximum count, against the plain model of the splitting rules.
//
// Input: byte 0 bit 0 delimiter present, bit 1 maximum present; byte 1 low two bits the
// delimiter length; byte 2 the maximum as a signed byte; then the delimiter; then the text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/TextModel.h"
#include "services/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  bool hasDelimiter = (data[0] & 1) != 0;
  bool hasMax = (data[0] & 2) != 0;
  size_t delimiterLength = data[1] & 3;
  int32_t max = static_cast<int8_t>(data[2]);
  bytes.remove_prefix(3);
  if (bytes.size() < delimiterLength) return 0;
  Text delimiter(bytes.substr(0, delimiterLength));
  Text text(bytes.substr(delimiterLength));

  std::optional<Text> d;
  if (hasDelimiter) d = delimiter;
  std::optional<int32_t> m;
  if (hasMax) m = max;
  TextArray got = splitText(text, d, m);

  std::optional<std::string_view> modelDelimiter;
  if (hasDelimiter) modelDelimiter = delimiter.view();
  std::vector<std::string> want = model::split(text.view(), modelDelimiter, m);

  if (elementCount(got) != static_cast<int32_t>(want.size())) {
    std::fprintf(stderr, "splitText: %d elements, want %zu\n", elementCount(got), want.size());
    std::abort();
  }
  for (int32_t i = 1; i <= elementCount(got); ++i) {
    if (got.at(i).view() != want[static_cast<size_t>(i) - 1]) {
      std::fprintf(stderr, "splitText: element %d differs\n", i);
      std::abort();
    }
  }

  // Splitting by "\r\n" without a limit is what both file patches rest on.
  TextArray lines = splitText(text, Text("\r\n"));
  std::vector<std::string> wantLines = model::split(text.view(), std::string_view("\r\n"), {});
  if (elementCount(lines) != static_cast<int32_t>(wantLines.size())) std::abort();
  for (int32_t i = 1; i <= elementCount(lines); ++i) {
    if (lines.at(i).view() != wantLines[static_cast<size_t>(i) - 1]) std::abort();
  }
  return 0;
}
