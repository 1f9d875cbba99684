// Plain, obviously-correct models of the text operations, written straight from their
// rules, against which the fuzz targets compare the real ones. Slow is fine here.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace model {

inline std::string beforeZero(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    if (c == '\0') break;
    out += c;
  }
  return out;
}

inline bool isLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Full-width forms become their single-byte characters; a lone lead byte at the end is
// dropped; every other character is kept.
inline std::string normalise(std::string_view text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      i += 1;
      continue;
    }
    if (i + 1 >= text.size()) break;
    unsigned char c = static_cast<unsigned char>(text[i + 1]);
    if (b == 0xA1 && c == 0xA1) {
      out += ' ';
    } else if (b == 0xA1 && c == 0xAB) {
      out += '~';
    } else if (b == 0xA1 && (c == 0xEE || c == 0xEF)) {
      out += '*';
    } else if (b == 0xA3 && c >= 0xA1 && c <= 0xFE) {
      out += static_cast<char>(c - 0x80);
    } else {
      out += static_cast<char>(b);
      out += static_cast<char>(c);
    }
    i += 2;
  }
  return out;
}

inline int32_t toInteger(std::string_view text) {
  std::string s = normalise(text);
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\v' ||
                          s[i] == '\f' || s[i] == '\r')) {
    ++i;
  }
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  }
  uint32_t value = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    value = value * 10u + static_cast<uint32_t>(s[i] - '0');
    ++i;
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

inline int32_t toInteger(double value) {
  if (std::isnan(value)) return 0;
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) return 0;
  int64_t whole = static_cast<int64_t>(value);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(whole)));
}

// Splitting as the rules state it, step by step.
inline std::vector<std::string> split(std::string_view text, std::optional<std::string_view> d,
                                      std::optional<int32_t> max) {
  std::string_view delimiter = d ? *d : std::string_view(",");
  int64_t left = max ? (*max < 0 ? 0 : *max) : -1;
  std::vector<std::string> out;
  if (text.empty() || left == 0) return out;
  if (delimiter.empty()) return {std::string(text)};
  size_t start = 0;
  size_t p = 0;
  while (p < text.size() && text.size() - p >= delimiter.size()) {
    if (text.compare(p, delimiter.size(), delimiter) == 0) {
      out.emplace_back(text.substr(start, p - start));
      p += delimiter.size();
      start = p;
      if (left > 0 && --left == 0) return out;
    } else if (isLead(text[p])) {
      if (p + 1 >= text.size()) break;
      p += 2;
    } else {
      p += 1;
    }
  }
  if (start < text.size()) out.emplace_back(text.substr(start));
  return out;
}

inline int32_t compare(std::string_view a, std::string_view b) {
  if (a.empty()) return b.empty() ? 0 : -1;
  if (b.empty()) return 1;
  for (size_t i = 0;; ++i) {
    unsigned x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0u;
    unsigned y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0u;
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

}  // namespace model

namespace model {

// The lines of a whole game file: separated by CR LF where a character starts, a zero byte
// being an ordinary byte; no line after a final CR LF; none at all for empty content.
struct Line {
  size_t begin;
  size_t end;
};

inline bool endsInLoneLeadByte(std::string_view line) {
  size_t p = 0;
  while (p < line.size()) p += isLead(line[p]) ? 2 : 1;
  return p > line.size();
}

inline std::vector<Line> fileLines(std::string_view content) {
  std::vector<Line> lines;
  size_t start = 0;
  size_t p = 0;
  while (p + 1 < content.size()) {
    if (content[p] == '\r' && content[p + 1] == '\n') {
      lines.push_back({start, p});
      p += 2;
      start = p;
    } else {
      ++p;
    }
  }
  if (start < content.size()) lines.push_back({start, content.size()});
  return lines;
}

}  // namespace model
