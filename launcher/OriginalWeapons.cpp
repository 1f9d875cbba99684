#include "launcher/OriginalWeapons.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "GbkTexts.h"
#include "launcher/MissionContent.h"

namespace {

// The mission's name in the record: its file name without the folder ("sn01_.pst").
std::string_view recordName(const Text& fileName) {
  constexpr std::string_view folder = gbk::levelFolderName;
  return fileName.view().substr(folder.size() + 1);
}

// The mission a record line names before its tab, or 0.
int32_t missionOfName(std::string_view name) {
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    if (recordName(missionFileName(n)) == name) return n;
  }
  return 0;
}

// The mark of a mission's version as the record writes it: "#", 16 hexadecimal digits,
// "-" and the length in decimal.
std::string versionMark(const MissionVersion& version) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string mark = "#";
  for (int shift = 60; shift >= 0; shift -= 4) mark += kDigits[(version.hash >> shift) & 0xF];
  mark += '-';
  mark += std::to_string(version.length);
  return mark;
}

// The version a mark names; no value for anything but a mark in the form written.
std::optional<MissionVersion> readVersionMark(std::string_view mark) {
  constexpr size_t kHexDigits = 16;
  if (mark.size() < kHexDigits + 3 || mark[0] != '#' || mark[kHexDigits + 1] != '-') {
    return std::nullopt;
  }
  MissionVersion version;
  for (size_t i = 1; i <= kHexDigits; ++i) {
    const char c = mark[i];
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    version.hash = version.hash << 4 | static_cast<uint64_t>(digit);
  }
  const std::string_view length = mark.substr(kHexDigits + 2);
  if (length.size() > 1 && length[0] == '0') return std::nullopt;
  for (const char c : length) {
    if (c < '0' || c > '9') return std::nullopt;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (version.length > (UINT64_MAX - digit) / 10) return std::nullopt;
    version.length = version.length * 10 + digit;
  }
  return version;
}

// What a record line holds after the mission's name and its tab: the weapon line, marked
// with its version or not. No value when it is not in either form.
std::optional<RecordedOriginal> readRecordedOriginal(std::string_view field) {
  RecordedOriginal recorded;
  if (field.starts_with('#')) {
    const size_t tab = field.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    recorded.version = readVersionMark(field.substr(0, tab));
    if (!recorded.version) return std::nullopt;
    field.remove_prefix(tab + 1);
  }
  std::optional<std::string> line = unescapeOriginalLine(field);
  // Only a weapon line is ever recorded.
  if (!line || !line->starts_with(gbk::weaponLinePrefix)) return std::nullopt;
  recorded.line = std::move(*line);
  return recorded;
}

// The next line of the content, which loses it and its break (CR LF, CR or LF).
std::string_view takeLine(std::string_view& content) {
  const size_t end = content.find_first_of("\r\n");
  const std::string_view line = content.substr(0, end);
  if (end == std::string_view::npos) {
    content = {};
  } else {
    content.remove_prefix(content.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
  }
  return line;
}

}  // namespace

void VersionHash::add(std::string_view bytes) {
  for (const char c : bytes) {
    version_.hash = (version_.hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  }
  version_.length += bytes.size();
}

const RecordedOriginal* OriginalWeapons::original(int32_t n) const {
  if (damaged(n)) return nullptr;
  const std::optional<RecordedOriginal>& line = lines_[static_cast<size_t>(n - 1)];
  return line ? &*line : nullptr;
}

bool OriginalWeapons::damaged(int32_t n) const {
  return allDamaged_ || damaged_[static_cast<size_t>(n - 1)];
}

OriginalWeapons readOriginalWeapons(std::string_view content) {
  OriginalWeapons record;
  for (int32_t number = 1; !content.empty(); ++number) {
    const std::string_view line = takeLine(content);
    if (line.empty() || line.starts_with('#')) continue;
    const size_t tab = line.find('\t');
    const int32_t n = tab == std::string_view::npos ? 0 : missionOfName(line.substr(0, tab));
    if (n == 0) {
      // A line that names no mission may be the damaged line of any of them.
      record.allDamaged_ = true;
      record.damagedLines_.push_back({number, 0});
      continue;
    }
    const size_t slot = static_cast<size_t>(n - 1);
    std::optional<RecordedOriginal> original = readRecordedOriginal(line.substr(tab + 1));
    // A second line for a mission stands for a new version of it: it supersedes a marked
    // line with another mark. Any other second line, or one that does not parse, leaves the
    // record of that mission in doubt.
    const std::optional<RecordedOriginal>& before = record.lines_[slot];
    const bool follows = !before || (before->version && original && original->version &&
                                     *before->version != *original->version);
    if (!original || !follows || record.damaged_[slot]) {
      record.damaged_[slot] = true;
      record.lines_[slot].reset();
      record.damagedLines_.push_back({number, n});
      continue;
    }
    record.lines_[slot] = std::move(original);
  }
  return record;
}
std::string escapeOriginalLine(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (const char c : line) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\0':
        out += "\\0";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::optional<std::string> unescapeOriginalLine(std::string_view escaped) {
  std::string out;
  out.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    const char c = escaped[i];
    if (c == '\r' || c == '\n') return std::nullopt;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == escaped.size()) return std::nullopt;
    switch (escaped[i]) {
      case '\\':
        out += '\\';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case '0':
        out += '\0';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::string originalWeaponRecordLine(int32_t n, const RecordedOriginal& original) {
  std::string line(recordName(missionFileName(n)));
  line += '\t';
  if (original.version) {
    line += versionMark(*original.version);
    line += '\t';
  }
  line += escapeOriginalLine(original.line);
  line += "\r\n";
  return line;
}

std::string withOriginalWeapons(std::string_view content,
                                const std::vector<std::pair<int32_t, RecordedOriginal>>& added) {
  std::string out(content);
  if (out.empty()) {
    out += gbk::originalWeaponsComment;
    out += "\r\n";
  } else if (out.ends_with('\r')) {
    out += '\n';  // the CR already there ends the last line
  } else if (!out.ends_with('\n')) {
    out += "\r\n";
  }
  for (const auto& [n, original] : added) out += originalWeaponRecordLine(n, original);
  return out;
}
