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

// A value as the reader gives it: without one pair of quotation marks around it.
std::string_view unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

struct Entry {
  std::string name;
  std::optional<std::string> value;  // none: a line without "="
};

struct Section {
  std::optional<std::string> name;  // none: the lines before the first section
  std::vector<Entry> entries;
};

using Document = std::vector<Section>;

// What one well-formed line is: blank, a section header or a key; a zero byte ends it.
struct LineMeaning {
  enum Kind { blank, section, entry } kind = blank;
  std::string name;                  // of the section or the key
  std::optional<std::string> value;  // of a key with "="
};

LineMeaning meaningOf(std::string_view line) {
  LineMeaning meaning;
  std::string_view text = trimmedLeft(line.substr(0, line.find('\0')));
  if (text.empty()) return meaning;
  if (text[0] == '[') {
    size_t close = lastClosingBracket(text);
    if (close != std::string_view::npos) {
      meaning.kind = LineMeaning::section;
      meaning.name = trimmed(text.substr(1, close - 1));
      return meaning;
    }
  }
  meaning.kind = LineMeaning::entry;
  size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    meaning.name = trimmedRight(text);
  } else {
    meaning.name = trimmedRight(text.substr(0, equals));
    meaning.value = std::string(trimmed(text.substr(equals + 1)));
  }
  return meaning;
}

void addLine(Document& document, std::string_view line) {
  LineMeaning meaning = meaningOf(line);
  if (meaning.kind == LineMeaning::section) {
    document.push_back(Section{std::move(meaning.name), {}});
  } else if (meaning.kind == LineMeaning::entry) {
    document.back().entries.push_back(Entry{std::move(meaning.name), std::move(meaning.value)});
  }
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

// One line of the file as it stands: where its bytes are, and where its line break (CR LF,
// CR or LF) ends. Lines are found as the reader finds them: a lead byte takes the byte after
// it along, a line break included.
struct RawLine {
  size_t begin = 0;
  size_t end = 0;       // the line's own bytes end here
  size_t breakEnd = 0;  // and its line break here (== end: none)
};

std::vector<RawLine> rawLines(std::string_view content) {
  std::vector<RawLine> lines;
  size_t begin = 0;
  size_t p = 0;
  while (p < content.size()) {
    const char byte = content[p];
    if (byte == '\r' || byte == '\n') {
      size_t breakEnd = p + 1;
      if (byte == '\r' && breakEnd < content.size() && content[breakEnd] == '\n') ++breakEnd;
      lines.push_back({begin, p, breakEnd});
      begin = p = breakEnd;
      continue;
    }
    if (isLeadByte(static_cast<unsigned char>(byte)) && p + 1 < content.size() &&
        content[p + 1] != '\0') {
      p += 2;
    } else {
      ++p;
    }
  }
  if (begin < content.size()) lines.push_back({begin, content.size(), content.size()});
  return lines;
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
      return fitted(unquoted(*entry->value), bufferSize);
    }
  }
  std::string fallback = wellFormed(defaultText);
  while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
  return fitted(fallback, bufferSize);
}

std::optional<std::string> writeValue(std::string_view content, std::string_view section,
                                      std::optional<std::string_view> key,
                                      std::optional<std::string_view> value) {
  // Names are matched without the blanks around them; a new section or key is written with
  // its trailing blanks, as given. Only the lines of what changes are touched: every other
  // line keeps its bytes and its own line break.
  const std::string sectionText = wellFormed(section);
  const std::string_view sectionName = trimmedLeft(sectionText);
  const std::vector<RawLine> lines = rawLines(content);
  std::vector<LineMeaning> meanings;
  meanings.reserve(lines.size());
  for (const RawLine& line : lines) {
    meanings.push_back(meaningOf(
        wellFormed(content.substr(line.begin, line.end - line.begin), LoneLeadAtEnd::question)));
  }
  // The first section of the name: its header line and the line where the next one begins.
  size_t header = lines.size();
  for (size_t i = 0; i < lines.size() && header == lines.size(); ++i) {
    if (meanings[i].kind == LineMeaning::section &&
        sameName(meanings[i].name, trimmedRight(sectionName))) {
      header = i;
    }
  }
  size_t next = header;
  if (header < lines.size()) {
    for (next = header + 1; next < lines.size() && meanings[next].kind != LineMeaning::section;
         ++next) {
    }
  }
  auto cut = [&](size_t from, size_t to) {  // the content without lines [from, to)
    std::string out(content.substr(0, lines[from].begin));
    out.append(content.substr(to < lines.size() ? lines[to].begin : content.size()));
    return out;
  };
  if (!key) {
    if (header == lines.size()) return std::nullopt;
    return cut(header, next);
  }
  const std::string keyText = wellFormed(*key);
  const std::string_view keyName = trimmedLeft(keyText);
  size_t found = lines.size();
  for (size_t i = header + 1; i < next && found == lines.size(); ++i) {
    if (meanings[i].kind == LineMeaning::entry &&
        sameName(meanings[i].name, trimmedRight(keyName))) {
      found = i;
    }
  }
  if (!value) {
    if (found == lines.size()) return std::nullopt;
    return cut(found, found + 1);
  }
  const std::string valueText = wellFormed(*value);
  const std::string_view newValue = trimmedLeft(valueText);
  auto keyLine = [newValue](std::string_view name) {  // "KEY=VALUE", without a line break
    std::string line(name);
    line += '=';
    line.append(newValue);
    return line;
  };
  if (found < lines.size()) {
    // Already right when the key reads as it would after the write (the reader takes the
    // blanks and one pair of quotation marks away on both sides).
    if (meanings[found].value &&
        unquoted(*meanings[found].value) == unquoted(trimmedRight(newValue))) {
      return std::nullopt;
    }
    // The key keeps its name as the file has it.
    std::string out(content.substr(0, lines[found].begin));
    out += keyLine(meanings[found].name);
    out.append(content.substr(lines[found].end));
    return out;
  }
  if (header < lines.size()) {
    // After the last line of the section that is not blank, so that blank lines before the
    // next section stay where they are.
    size_t last = header;
    for (size_t i = header + 1; i < next; ++i) {
      if (meanings[i].kind != LineMeaning::blank) last = i;
    }
    std::string out(content.substr(0, lines[last].breakEnd));
    if (lines[last].breakEnd == lines[last].end) out += "\r\n";
    out += keyLine(keyName);
    out += "\r\n";
    out.append(content.substr(lines[last].breakEnd));
    return out;
  }
  std::string out(content);
  // A last line without a line break of its own (a last CR or LF that a lead byte takes
  // along is none) gets one first.
  if (!lines.empty() && lines.back().breakEnd == lines.back().end) out += "\r\n";
  out += '[';
  out.append(sectionName);
  out += "]\r\n";
  out += keyLine(keyName);
  out += "\r\n";
  return out;
}

}  // namespace profile
