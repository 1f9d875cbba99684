#include "services/Profile.h"

#include <windows.h>

#include "services/Files.h"

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

namespace {

// A file of the temporary folder, removed when it goes.
class TemporaryFile {
 public:
  TemporaryFile() {
    char folder[MAX_PATH];
    char name[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length > 0 && length < MAX_PATH && GetTempFileNameA(folder, "wdp", 0, name) != 0) {
      name_ = Text(name);
    }
  }
  ~TemporaryFile() {
    if (!name_.empty()) DeleteFileA(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const Text& name() const { return name_; }

 private:
  Text name_;
};

// The file's size, 0 for a missing file; false for a folder or an unreadable entry.
bool sizeOfFile(const Text& file, ULONGLONG& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) {
    size = 0;
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

}  // namespace

bool writeProfileItems(const Text& file, const Text& section,
                       std::initializer_list<std::pair<Text, Text>> items) {
  ULONGLONG size = 0;
  if (file.empty() || !sizeOfFile(file, size)) return false;
  const ByteBuffer old = readFile(file);
  if (old.bytes.size() != size) return false;  // held by another program, or unreadable
  TemporaryFile copy;
  if (copy.name().empty() || !writeFile(copy.name(), old)) return false;
  for (const auto& [key, value] : items) {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                    copy.name().c_str())) {
      return false;
    }
  }
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy.name().c_str());  // flush
  const ByteBuffer updated = readFile(copy.name());
  if (updated.bytes.empty()) return false;
  if (updated == old) return true;  // every item already holds its value: nothing to write
  return writeFile(file, updated);
}
