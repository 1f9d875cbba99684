#include "services/ProfileContent.h"

#include <vector>

namespace profile {
namespace {

bool isLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool isTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}
bool isBlank(unsigned char byte) { return byte == ' ' || (byte >= 0x09 && byte <= 0x0D); }
unsigned char lowerAscii(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// The bytes as the platform takes them in: every lead byte without a valid trail byte after
// it becomes "?" (with the byte after it, unless that is a zero byte), except that a lead
// byte alone at the end of a name or value given by the caller is dropped. In the result a
// lead byte is always followed by its trail byte, and bytes below 0x40 are never trail
// bytes, so line breaks, blanks, "=", quotation marks and zero bytes can be found byte by
// byte.
enum class LoneLeadAtEnd { question, dropped };
std::string wellFormed(std::string_view bytes, LoneLeadAtEnd atEnd = LoneLeadAtEnd::dropped) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t p = 0; p < bytes.size();) {
    unsigned char byte = static_cast<unsigned char>(bytes[p]);
    if (!isLeadByte(byte)) {
      out += bytes[p++];
      continue;
    }
    if (p + 1 < bytes.size() && isTrailByte(static_cast<unsigned char>(bytes[p + 1]))) {
      out.append(bytes.substr(p, 2));
      p += 2;
      continue;
    }
    if (p + 1 < bytes.size() || atEnd == LoneLeadAtEnd::question) out += '?';
    p += p + 1 < bytes.size() && bytes[p + 1] != '\0' ? 2 : 1;
  }
  return out;
}

std::string_view trimmedLeft(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && isBlank(static_cast<unsigned char>(text[start]))) ++start;
  return text.substr(start);
}

std::string_view trimmedRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && isBlank(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(0, end);
}

std::string_view trimmed(std::string_view text) { return trimmedRight(trimmedLeft(text)); }

// Names of well-formed texts: letters A..Z match their small forms; two-byte characters
// match only themselves (their trail bytes are never folded).
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t p = 0; p < a.size();) {
    unsigned char x = static_cast<unsigned char>(a[p]);
    unsigned char y = static_cast<unsigned char>(b[p]);
    if (isLeadByte(x)) {
      if (x != y || a[p + 1] != b[p + 1]) return false;
      p += 2;
      continue;
    }
    if (lowerAscii(x) != lowerAscii(y)) return false;
    ++p;
  }
  return true;
}

// The position of the last "]" character of a well-formed text, or npos.
size_t lastClosingBracket(std::string_view text) {
  size_t found = std::string_view::npos;
  for (size_t p = 0; p < text.size();) {
    unsigned char byte = static_cast<unsigned char>(text[p]);
    if (byte == ']') found = p;
    p += isLeadByte(byte) ? 2 : 1;
  }
  return found;
}

// The longest run of whole characters that fits a buffer of `size` bytes with its zero byte.
std::string fitted(std::string_view text, size_t size) {
  if (size == 0) return std::string();
  if (text.size() < size) return std::string(text);
  size_t end = 0;
  for (size_t p = 0; p < text.size();) {
    size_t next = p + (isLeadByte(static_cast<unsigned char>(text[p])) ? 2 : 1);
    if (next > size - 1) break;
    end = p = next;
  }
  return std::string(text.substr(0, end));
}

struct Entry {
  std::string name;
  std::optional<std::string> value;  // none: a line without "="
  std::string verbatim;              // a line that holds a zero byte is written back as it was
};

struct Section {
  std::optional<std::string> name;  // none: the lines before the first section
  std::vector<Entry> entries;
};

using Document = std::vector<Section>;

void addLine(Document& document, std::string_view line) {
  size_t zero = line.find('\0');
  std::string_view text = trimmedLeft(line.substr(0, zero));
  if (text.empty()) return;
  if (text[0] == '[') {
    size_t close = lastClosingBracket(text);
    if (close != std::string_view::npos) {
      document.push_back(Section{std::string(trimmed(text.substr(1, close - 1))), {}});
      return;
    }
  }
  Entry entry;
  size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    entry.name = trimmedRight(text);
  } else {
    entry.name = trimmedRight(text.substr(0, equals));
    entry.value = std::string(trimmed(text.substr(equals + 1)));
  }
  if (zero != std::string_view::npos) entry.verbatim = line;
  document.back().entries.push_back(std::move(entry));
}

Document parsed(std::string_view content) {
  Document document{Section{std::nullopt, {}}};
  size_t start = 0;
  for (size_t p = 0; p <= content.size(); ++p) {
    if (p == content.size() || content[p] == '\r' || content[p] == '\n') {
      addLine(document, content.substr(start, p - start));
      start = p + 1;
    }
  }
  return document;
}

std::string written(const Document& document) {
  std::string out;
  for (const Section& section : document) {
    if (section.name) {
      out += '[';
      out += *section.name;
      out += "]\r\n";
    }
    for (const Entry& entry : section.entries) {
      if (!entry.verbatim.empty()) {
        out += entry.verbatim;
      } else {
        out += entry.name;
        if (entry.value) {
          out += '=';
          out += *entry.value;
        }
      }
      out += "\r\n";
    }
  }
  return out;
}

Section* findSection(Document& document, std::string_view name) {
  for (Section& section : document) {
    if (section.name && sameName(*section.name, name)) return &section;
  }
  return nullptr;
}

Entry* findEntry(Section& section, std::string_view name) {
  for (Entry& entry : section.entries) {
    if (sameName(entry.name, name)) return &entry;
  }
  return nullptr;
}

}  // namespace

bool hasByteOrderMark(std::string_view content) {
  return content.starts_with("\xEF\xBB\xBF") || content.starts_with("\xFF\xFE") ||
         content.starts_with("\xFE\xFF");
}

std::string readValue(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view defaultText, size_t bufferSize) {
  Document document = parsed(wellFormed(content, LoneLeadAtEnd::question));
  const std::string sectionName = wellFormed(section);
  const std::string keyName = wellFormed(key);
  if (Section* found = findSection(document, trimmed(sectionName))) {
    if (Entry* entry = findEntry(*found, trimmed(keyName)); entry && entry->value) {
      std::string_view value = *entry->value;
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
      }
      return fitted(value, bufferSize);
    }
  }
  std::string fallback = wellFormed(defaultText);
  while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
  return fitted(fallback, bufferSize);
}

std::optional<std::string> writeValue(std::string_view content, std::string_view section,
                                      std::optional<std::string_view> key,
                                      std::optional<std::string_view> value) {
  Document document = parsed(wellFormed(content, LoneLeadAtEnd::question));
  // Names are matched without the blanks around them; a new section or key is written with
  // its trailing blanks, as given.
  const std::string sectionText = wellFormed(section);
  const std::string_view sectionName = trimmedLeft(sectionText);
  Section* found = findSection(document, trimmedRight(sectionName));
  if (!key) {
    if (found == nullptr) return std::nullopt;
    document.erase(document.begin() + (found - document.data()));
    return written(document);
  }
  const std::string keyText = wellFormed(*key);
  const std::string_view keyName = trimmedLeft(keyText);
  Entry* entry = found ? findEntry(*found, trimmedRight(keyName)) : nullptr;
  if (!value) {
    if (entry == nullptr) return std::nullopt;
    found->entries.erase(found->entries.begin() + (entry - found->entries.data()));
    return written(document);
  }
  const std::string valueText = wellFormed(*value);
  const std::string_view newValue = trimmedLeft(valueText);
  if (found == nullptr) {
    document.push_back(Section{std::string(sectionName), {}});
    found = &document.back();
  }
  if (entry == nullptr) {
    found->entries.push_back(Entry{std::string(keyName), std::string(newValue), {}});
  } else {
    if (entry->value && *entry->value == newValue) return std::nullopt;
    entry->value = std::string(newValue);
    entry->verbatim.clear();
  }
  return written(document);
}

}  // namespace profile
