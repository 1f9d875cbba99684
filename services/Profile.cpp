#include "services/Profile.h"

#include <string>
#include <vector>

#include "services/FileReading.h"
#include "services/FileReplacement.h"
#include "services/ProfileContent.h"

namespace {

// Leading blanks and control characters (0x01..0x20) are not part of a name.
std::string_view skipLeadingBlanks(const Text& text) {
  std::string_view bytes = text.view();
  size_t start = 0;
  while (start < bytes.size() && bytes[start] >= 0x01 && bytes[start] <= 0x20) ++start;
  return bytes.substr(start);
}

// The file's content; the empty content for a missing file; no value for one that is there
// but cannot be read.
std::optional<std::string> currentContent(const Path& file, FileFault& fault) {
  if (std::optional<ByteBuffer> content = tryReadFile(file, &fault)) {
    return std::move(content->bytes);
  }
  if (!fileExists(file)) return std::string();
  return std::nullopt;
}

bool failWith(FileFault* out, FileFault fault) {
  if (out != nullptr) *out = fault;
  return false;
}

struct Item {
  std::optional<std::string_view> key;
  std::optional<std::string_view> value;
};

bool writeItems(const Path& file, const Text& section, const std::vector<Item>& items,
                FileFault* fault = nullptr) {
  if (file.empty()) return failWith(fault, FileFault::other);
  FileFault cause = FileFault::none;
  std::optional<std::string> content = currentContent(file, cause);
  if (!content) return failWith(fault, cause);
  if (profile::hasByteOrderMark(*content)) return failWith(fault, FileFault::byteOrderMark);
  bool changed = false;
  for (const Item& item : items) {
    if (auto next = profile::writeValue(*content, section.view(), item.key, item.value)) {
      *content = std::move(*next);
      changed = true;
    }
  }
  if (!changed) {  // every value is there already: nothing to write
    if (fault != nullptr) *fault = FileFault::none;
    return true;
  }
  return writeFile(file, ByteBuffer{std::move(*content)}, fault);
}

}  // namespace

Text readProfileItem(const Path& file, const Text& section, const Text& key,
                     const std::optional<Text>& defaultText) {
  std::string_view s = skipLeadingBlanks(section);
  std::string_view k = skipLeadingBlanks(key);
  size_t start = 0;
  while (start < file.wide().size() && file.wide()[start] >= 0x01 && file.wide()[start] <= 0x20) {
    ++start;
  }
  if (start == file.wide().size() || s.empty() || k.empty()) return Text();
  std::string_view d = defaultText ? defaultText->view() : std::string_view();
  std::optional<ByteBuffer> content = tryReadFile(Path(file.wide().substr(start)));
  std::string_view bytes = content ? std::string_view(content->bytes) : std::string_view();
  if (profile::hasByteOrderMark(bytes)) bytes = std::string_view();
  return Text(profile::readValue(bytes, s, k, d));
}

bool writeProfileItem(const Path& file, const Text& section, const std::optional<Text>& key,
                      const std::optional<Text>& value) {
  Item item;
  if (key) item.key = key->view();
  if (value) item.value = value->view();
  return writeItems(file, section, {item});
}

bool writeProfileItems(const Path& file, const Text& section,
                       std::initializer_list<std::pair<Text, Text>> items, FileFault* fault) {
  std::vector<Item> list;
  for (const auto& [key, value] : items) list.push_back(Item{key.view(), value.view()});
  return writeItems(file, section, list, fault);
}
