// The profile code on arbitrary content: never a crash; after a write, reading the key gives
// the value written, writing it again changes nothing, every other key of the pool reads as
// it did before, and every line other than the written key's line survives byte for byte
// (what the write takes away lies inside one line: it holds no line feed but one that a
// lead byte before it takes along).
//
// Input: a section and a key (one byte each, picking from a pool of names: ASCII in both
// cases, GBK, two-byte characters whose trail bytes look like letters or "]"), the length
// of the value (one byte) and the value's bytes (kept where they make a plain value: printable
// ASCII but the quotation mark, and whole GBK characters), then the file's content.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "services/ProfileContent.h"

namespace {

const std::string_view names[] = {
    "a",
    "A",
    "app",
    "APP",
    "k",
    "K",
    "key x",
    "\xCE\xD2\xB5\xC4\xC9\xE8\xD6\xC3",          // 我的设置
    "\xB8\xB1\xCE\xE4\xC6\xF7\xD1\xA1\xD4\xF1",  // 副武器选择
    "\xCA\xC7\xB7\xF1\xB4\xB0\xBF\xDA\xBB\xAF",  // 是否窗口化
    "\xA3\xC1",
    "\xA3\xE1",  // full-width A and a
    "\x81\x41",
    "\x81\x61",
    "\x81\x5D",  // trail bytes "A", "a" and "]"
    ";c",
    "x]y",
};
constexpr size_t nameCount = sizeof names / sizeof names[0];

bool isLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool isTrail(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

std::string plainValue(std::string_view bytes) {
  std::string value;
  for (size_t p = 0; p < bytes.size(); ++p) {
    unsigned char byte = static_cast<unsigned char>(bytes[p]);
    if (isLead(byte) && p + 1 < bytes.size() && isTrail(static_cast<unsigned char>(bytes[p + 1]))) {
      value.append(bytes.substr(p, 2));
      ++p;
    } else if (byte > 0x20 && byte < 0x7F && byte != '"') {
      value += static_cast<char>(byte);
    }
  }
  return value;
}

// Names that the profile takes as one (A..Z against a..z; trail bytes folded too, which
// only makes the check of other keys skip a few more).
bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  std::string_view section = names[data[0] % nameCount];
  std::string_view key = names[data[1] % nameCount];
  size_t valueLength = data[2] % 48;
  if (size < 3 + valueLength) return 0;
  std::string value =
      plainValue(std::string_view(reinterpret_cast<const char*>(data) + 3, valueLength));
  std::string_view content(reinterpret_cast<const char*>(data) + 3 + valueLength,
                           size - 3 - valueLength);

  std::optional<std::string> written = profile::writeValue(content, section, key, value);
  const std::string after = written ? *written : std::string(content);
  check(profile::readValue(after, section, key, "\x01") == value, "the key reads as written");
  check(!profile::writeValue(after, section, key, value), "writing the same value changes nothing");
  size_t same = 0;
  while (same < content.size() && same < after.size() && content[same] == after[same]) ++same;
  size_t sameEnd = 0;
  while (sameEnd < content.size() - same && sameEnd < after.size() - same &&
         content[content.size() - 1 - sameEnd] == after[after.size() - 1 - sameEnd]) {
    ++sameEnd;
  }
  for (size_t p = same; p < content.size() - sameEnd; ++p) {
    if (content[p] != '\n') continue;
    check(p > 0 && isLead(static_cast<unsigned char>(content[p - 1])), "every other line survives");
  }

  // The other keys of the section, and the same key in every other section.
  auto unchanged = [&](std::string_view otherSection, std::string_view otherKey) {
    if (sameIgnoringCase(otherSection, section) && sameIgnoringCase(otherKey, key)) return;
    check(profile::readValue(after, otherSection, otherKey, "\x01") ==
              profile::readValue(content, otherSection, otherKey, "\x01"),
          "every other key reads as before");
  };
  for (std::string_view other : names) {
    unchanged(section, other);
    unchanged(other, key);
  }
  profile::writeValue(content, section, key, std::nullopt);
  profile::writeValue(content, section, std::nullopt, std::nullopt);
  return 0;
}
