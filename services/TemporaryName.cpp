#include "services/TemporaryName.h"

namespace {

constexpr std::string_view kPrefix = "~wr";
constexpr std::string_view kSuffix = ".tmp";

void appendHex(std::string& out, uint32_t value) {
  char digits[8];
  int count = 0;
  do {
    digits[count++] = "0123456789abcdef"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  while (count > 0) out += digits[--count];
}

// A number as appendHex writes it, taken from the front of `text`; the rest stays in text.
std::optional<uint32_t> takeHex(std::string_view& text) {
  size_t length = 0;
  uint64_t value = 0;
  while (length < text.size() && length <= 8) {
    const char c = text[length];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) break;
    value = value * 16 + static_cast<uint64_t>(digit);
    ++length;
  }
  if (length == 0 || length > 8 || (length > 1 && text[0] == '0')) return std::nullopt;
  text.remove_prefix(length);
  return static_cast<uint32_t>(value);
}

}  // namespace

std::string temporaryName(uint32_t processId, uint32_t n) {
  std::string name(kPrefix);
  appendHex(name, processId);
  name += '-';
  appendHex(name, n);
  name += kSuffix;
  return name;
}

std::optional<uint32_t> writerOfTemporaryName(std::string_view name) {
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return std::nullopt;
  std::string_view rest =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  const std::optional<uint32_t> writer = takeHex(rest);
  if (!writer || rest.empty() || rest[0] != '-') return std::nullopt;
  rest.remove_prefix(1);
  if (!takeHex(rest) || !rest.empty()) return std::nullopt;
  return writer;
}
