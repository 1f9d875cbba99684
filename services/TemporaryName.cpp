#include "services/TemporaryName.h"

namespace {

constexpr std::wstring_view kPrefix = L"~wr";
constexpr std::wstring_view kSuffix = L".tmp";

void appendHex(std::wstring& out, uint32_t value) {
  wchar_t digits[8];
  int count = 0;
  do {
    digits[count++] = L"0123456789abcdef"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  while (count > 0) out += digits[--count];
}

// A number as appendHex writes it, taken from the front of `text`; the rest stays in text.
std::optional<uint32_t> takeHex(std::wstring_view& text) {
  size_t length = 0;
  uint64_t value = 0;
  while (length < text.size() && length <= 8) {
    const wchar_t c = text[length];
    int digit = -1;
    if (c >= L'0' && c <= L'9') digit = static_cast<int>(c - L'0');
    if (c >= L'a' && c <= L'f') digit = static_cast<int>(c - L'a') + 10;
    if (digit < 0) break;
    value = value * 16 + static_cast<uint64_t>(digit);
    ++length;
  }
  if (length == 0 || length > 8 || (length > 1 && text[0] == L'0')) return std::nullopt;
  text.remove_prefix(length);
  return static_cast<uint32_t>(value);
}

bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The target's name as a temporary name carries it: cut to its first characters.
std::wstring_view carriedTargetName(std::wstring_view targetName) {
  if (targetName.size() <= temporaryTargetNameMost) return targetName;
  size_t kept = temporaryTargetNameMost;
  if (isHighSurrogate(targetName[kept - 1])) --kept;
  return targetName.substr(0, kept);
}

}  // namespace

std::wstring temporaryName(uint32_t processId, uint32_t n, std::wstring_view targetName) {
  std::wstring name(kPrefix);
  appendHex(name, processId);
  name += L'-';
  appendHex(name, n);
  name += L'.';
  name += carriedTargetName(targetName);
  name += kSuffix;
  return name;
}

std::optional<uint32_t> writerOfTemporaryName(std::wstring_view name,
                                              std::wstring_view targetName) {
  // The prefix and the suffix share no character, so a name with both holds them apart.
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return std::nullopt;
  std::wstring_view rest =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  const std::optional<uint32_t> writer = takeHex(rest);
  if (!writer || rest.empty() || rest[0] != L'-') return std::nullopt;
  rest.remove_prefix(1);
  if (!takeHex(rest) || rest.size() < 2 || rest[0] != L'.') return std::nullopt;
  if (rest.substr(1) != carriedTargetName(targetName)) return std::nullopt;
  return writer;
}
