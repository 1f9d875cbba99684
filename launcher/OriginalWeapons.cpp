#include "launcher/OriginalWeapons.h"

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

}  // namespace

const std::string* OriginalWeapons::original(int32_t n) const {
  if (damaged(n)) return nullptr;
  const std::optional<std::string>& line = lines_[static_cast<size_t>(n - 1)];
  return line ? &*line : nullptr;
}

bool OriginalWeapons::damaged(int32_t n) const {
  return allDamaged_ || damaged_[static_cast<size_t>(n - 1)];
}

OriginalWeapons readOriginalWeapons(std::string_view content) {
  OriginalWeapons record;
  while (!content.empty()) {
    const size_t lf = content.find('\n');
    std::string_view line = content.substr(0, lf);
    content = lf == std::string_view::npos ? std::string_view() : content.substr(lf + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.starts_with('#')) continue;
    const size_t tab = line.find('\t');
    const int32_t n = tab == std::string_view::npos ? 0 : missionOfName(line.substr(0, tab));
    if (n == 0) {
      // A line that names no mission may be the damaged line of any of them.
      record.allDamaged_ = true;
      continue;
    }
    const size_t slot = static_cast<size_t>(n - 1);
    std::optional<std::string> original = unescapeOriginalLine(line.substr(tab + 1));
    // Only a weapon line is ever recorded; anything else, or a second line for the same
    // mission, leaves the record of that mission in doubt.
    if (!original || !original->starts_with(gbk::weaponLinePrefix) || record.lines_[slot] ||
        record.damaged_[slot]) {
      record.damaged_[slot] = true;
      record.lines_[slot].reset();
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

std::string originalWeaponRecordLine(int32_t n, std::string_view original) {
  std::string line(recordName(missionFileName(n)));
  line += '\t';
  line += escapeOriginalLine(original);
  line += "\r\n";
  return line;
}

std::string withOriginalWeapons(std::string_view content,
                                const std::vector<std::pair<int32_t, std::string>>& added) {
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
