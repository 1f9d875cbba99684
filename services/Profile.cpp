#include "services/Profile.h"

#include <windows.h>

namespace {

constexpr DWORD profileBufferSize = 10240;

// Leading blanks and control characters (0x01..0x20) are not part of a name. The result is
// a suffix of a zero-ended text, so its data() stays zero-ended.
const char* skipLeadingBlanks(const Text& text) {
  const char* p = text.c_str();
  while (*p >= 0x01 && *p <= 0x20) ++p;
  return p;
}

}  // namespace

Text readProfileItem(const Text& file, const Text& section, const Text& key,
                     const std::optional<Text>& defaultText) {
  const char* f = skipLeadingBlanks(file);
  const char* s = skipLeadingBlanks(section);
  const char* k = skipLeadingBlanks(key);
  if (*f == '\0' || *s == '\0' || *k == '\0') return Text();
  const char* d = defaultText ? defaultText->c_str() : "";
  char buffer[profileBufferSize];
  buffer[0] = '\0';
  GetPrivateProfileStringA(s, k, d, buffer, profileBufferSize, f);
  return Text(buffer);
}

bool writeProfileItem(const Text& file, const Text& section, const std::optional<Text>& key,
                      const std::optional<Text>& value) {
  return WritePrivateProfileStringA(section.c_str(), key ? key->c_str() : nullptr,
                                    value ? value->c_str() : nullptr, file.c_str()) != FALSE;
}
