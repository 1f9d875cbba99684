#include "launcher/OriginalWeapons.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "GbkTexts.h"
#include "launcher/MissionContent.h"

namespace {

constexpr std::string_view kOriginalKind = "original";
constexpr std::string_view kWrittenKind = "written";
constexpr std::string_view kEndName = "end";
// The lines the launcher wrote that it still knows as its own, per mission: the last one,
// and the one before it, which the mission still holds when the launcher was ended after
// the record was written and before the mission was.
constexpr size_t kWrittenKept = 2;

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

// A decimal number from 1 up, without leading zeros, as the record writes entry numbers.
std::optional<uint32_t> readEntryNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 9 || digits[0] == '0') return std::nullopt;
  uint32_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  return value;
}

std::string checkField(std::string_view checked) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const uint32_t crc = recordLineCheck(checked);
  std::string field = "~";
  for (int shift = 28; shift >= 0; shift -= 4) field += kDigits[(crc >> shift) & 0xF];
  return field;
}

// The line's fields before its check, when the check after its last tab is right.
std::optional<std::string_view> checkedPart(std::string_view line) {
  const size_t tab = line.rfind('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  const std::string_view checked = line.substr(0, tab);
  if (line.substr(tab + 1) != checkField(checked)) return std::nullopt;
  return checked;
}

// The fields of a line split at its tabs.
std::vector<std::string_view> fieldsOf(std::string_view line) {
  std::vector<std::string_view> fields;
  for (size_t at = 0;;) {
    const size_t tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
    if (tab == std::string_view::npos) return fields;
    at = tab + 1;
  }
}

// An entry of the present form as read: its number, mission, kind and line.
struct ReadEntry {
  uint32_t number = 0;
  int32_t mission = 0;
  EntryKind kind = EntryKind::original;
  std::string line;
  size_t place = 0;
};

// The entry a line of the present form holds (its fields after the name); no value when
// its check, number, kind or line is not right.
std::optional<ReadEntry> readEntry(std::string_view line, int32_t mission) {
  const std::optional<std::string_view> checked = checkedPart(line);
  if (!checked) return std::nullopt;
  const std::vector<std::string_view> fields = fieldsOf(*checked);
  if (fields.size() != 4) return std::nullopt;
  ReadEntry entry;
  entry.mission = mission;
  const std::optional<uint32_t> number = readEntryNumber(fields[1]);
  if (!number) return std::nullopt;
  entry.number = *number;
  if (fields[2] == kOriginalKind) {
    entry.kind = EntryKind::original;
  } else if (fields[2] == kWrittenKind) {
    entry.kind = EntryKind::written;
  } else {
    return std::nullopt;
  }
  std::optional<std::string> weaponLine = unescapeOriginalLine(fields[3]);
  // Only a weapon line is ever recorded.
  if (!weaponLine || !weaponLine->starts_with(gbk::weaponLinePrefix)) return std::nullopt;
  entry.line = std::move(*weaponLine);
  return entry;
}

// The mark of a version in an older record's line: "#", 16 lower-case hexadecimal digits,
// "-" and a decimal length without leading zeros.
bool isVersionMark(std::string_view mark) {
  constexpr size_t kHexDigits = 16;
  if (mark.size() < kHexDigits + 3 || mark.size() > kHexDigits + 22 || mark[0] != '#' ||
      mark[kHexDigits + 1] != '-') {
    return false;
  }
  for (size_t i = 1; i <= kHexDigits; ++i) {
    const char c = mark[i];
    if (!(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'f')) return false;
  }
  const std::string_view length = mark.substr(kHexDigits + 2);
  if (length.size() > 1 && length[0] == '0') return false;
  return std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What an older record's line holds after the name and its tab: the original line and its
// version mark ("" for none). No value when it is not in either older form.
std::optional<std::pair<std::string, std::string>> readOlderLine(std::string_view field) {
  std::string mark;
  if (field.starts_with('#')) {
    const size_t tab = field.find('\t');
    if (tab == std::string_view::npos || !isVersionMark(field.substr(0, tab))) return std::nullopt;
    mark = field.substr(0, tab);
    field.remove_prefix(tab + 1);
  }
  std::optional<std::string> line = unescapeOriginalLine(field);
  if (!line || !line->starts_with(gbk::weaponLinePrefix)) return std::nullopt;
  return std::make_pair(std::move(*line), std::move(mark));
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

std::string entryLine(uint32_t number, const RecordEntry& entry) {
  std::string line(recordName(missionFileName(entry.mission)));
  line += '\t';
  line += std::to_string(number);
  line += '\t';
  line += entry.kind == EntryKind::original ? kOriginalKind : kWrittenKind;
  line += '\t';
  line += escapeOriginalLine(entry.line);
  line += '\t' + checkField(line) + "\r\n";
  return line;
}

std::string endLine(uint32_t last) {
  std::string line(kEndName);
  line += '\t';
  line += std::to_string(last);
  line += '\t' + checkField(line) + "\r\n";
  return line;
}

}  // namespace

uint32_t recordLineCheck(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

bool hasLauncherForm(std::string_view line) {
  constexpr std::string_view kPrefix = gbk::weaponLinePrefix;
  constexpr std::string_view kEquals = " = ";
  if (!line.starts_with(kPrefix) || !line.ends_with(';')) return false;
  line.remove_prefix(kPrefix.size());
  if (!line.starts_with(kEquals)) return false;
  std::string_view number = line.substr(kEquals.size(), line.size() - kEquals.size() - 1);
  if (number.starts_with('-')) number.remove_prefix(1);
  return !number.empty() && number.size() <= 10 &&
         std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const std::string* OriginalWeapons::original(int32_t n) const {
  const std::optional<std::string>& line = mission(n).original;
  return line ? &*line : nullptr;
}

bool OriginalWeapons::inDoubt(int32_t n) const {
  const Mission& m = mission(n);
  if (allInDoubt_ || endMissing_) return true;
  // An older record's lines that contradict each other, unless an original was recorded
  // after them.
  if (m.doubt && m.originalNumber == 0) return true;
  // A lost or damaged line counts unless the mission's original was recorded after it: what
  // was recorded before an original no longer tells anything about the mission.
  for (const uint32_t number : missingNumbers_) {
    if (number > m.originalNumber) return true;
  }
  for (const DamagedRecordLine& line : damagedLines_) {
    if ((line.mission == n || line.mission == 0) &&
        static_cast<size_t>(line.number) > m.originalPlace) {
      return true;
    }
  }
  return false;
}

LineOwner OriginalWeapons::owner(int32_t n, std::string_view line) const {
  // A line of another form the launcher never wrote, whatever the record says.
  if (!hasLauncherForm(line)) return LineOwner::other;
  if (inDoubt(n)) return LineOwner::unknown;
  const Mission& m = mission(n);
  if (m.hasEntries) {
    return std::find(m.written.begin(), m.written.end(), line) != m.written.end()
               ? LineOwner::launcher
               : LineOwner::other;
  }
  // Only an older record's line: the launcher changed the mission, and its own form is the
  // launcher's, as that record has always been read.
  return m.original ? LineOwner::launcher : LineOwner::other;
}

bool OriginalWeapons::sound() const {
  // Damaged or lost lines that came before each mission's original tell nothing any more.
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    if (inDoubt(n)) return false;
  }
  return true;
}

OriginalWeapons readOriginalWeapons(std::string_view content) {
  OriginalWeapons record;
  // The content's lines; a line there twice, byte for byte, says what it says once.
  std::vector<std::string_view> lines;
  for (std::string_view rest = content; !rest.empty();) lines.push_back(takeLine(rest));
  std::vector<size_t> order(lines.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return lines[a] < lines[b]; });
  std::vector<bool> repeated(lines.size());
  for (size_t k = 1; k < order.size(); ++k) {
    if (lines[order[k]] == lines[order[k - 1]]) repeated[order[k]] = true;
  }
  std::vector<ReadEntry> entries;
  std::optional<uint32_t> end;
  bool anyEntry = false;
  struct OlderLine {
    int32_t number;
    int32_t mission;
    std::string_view line;
  };
  std::vector<OlderLine> olderLines;
  std::vector<uint32_t> damagedNumbers;
  for (size_t at = 0; at < lines.size(); ++at) {
    const std::string_view line = lines[at];
    const auto number = static_cast<int32_t>(at + 1);
    if (line.empty() || line.starts_with('#') || repeated[at]) continue;
    const size_t tab = line.find('\t');
    const std::string_view name = line.substr(0, tab);
    if (name == kEndName) {
      anyEntry = true;
      const std::optional<std::string_view> checked = checkedPart(line);
      const std::vector<std::string_view> fields =
          checked ? fieldsOf(*checked) : std::vector<std::string_view>{};
      const std::optional<uint32_t> last =
          fields.size() == 2 ? readEntryNumber(fields[1]) : std::nullopt;
      if (!last) {
        record.damagedLines_.push_back({number, 0});
        continue;
      }
      end = std::max(end.value_or(0), *last);
      continue;
    }
    const int32_t n = tab == std::string_view::npos ? 0 : missionOfName(name);
    if (n == 0) {
      // A line that names no mission may be the damaged line of any of them.
      record.damagedLines_.push_back({number, 0});
      continue;
    }
    const std::string_view rest = line.substr(tab + 1);
    if (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') {
      // An entry of the present form: it begins with its number.
      anyEntry = true;
      std::optional<ReadEntry> entry = readEntry(line, n);
      if (!entry) {
        record.damagedLines_.push_back({number, n});
        // Its number, when still readable, is not a lost line: the damaged line already
        // puts its mission in doubt.
        const size_t numberEnd = rest.find('\t');
        if (const std::optional<uint32_t> damagedNumber =
                readEntryNumber(rest.substr(0, numberEnd))) {
          damagedNumbers.push_back(*damagedNumber);
        }
        continue;
      }
      entry->place = static_cast<size_t>(number);
      entries.push_back(std::move(*entry));
      continue;
    }
    olderLines.push_back({number, n, line});
  }
  // Lines of the older forms are read as before in a record of those forms alone. Beside
  // entries of the present form they can only be damaged entries (or lines the launcher has
  // since recorded anew as entries), since every write of the record takes them over.
  for (const OlderLine& older : olderLines) {
    OriginalWeapons::Mission& m = record.missions_[static_cast<size_t>(older.mission - 1)];
    std::optional<std::pair<std::string, std::string>> read =
        anyEntry ? std::nullopt : readOlderLine(older.line.substr(older.line.find('\t') + 1));
    if (!read) {
      record.damagedLines_.push_back({older.number, older.mission});
      continue;
    }
    // A second older line supersedes the first only when both carry marks and the marks
    // differ (a new version of the mission); any other leaves the mission in doubt.
    if (m.olderLine &&
        (m.olderMark.empty() || read->second.empty() || read->second == m.olderMark)) {
      m.doubt = true;
      record.damagedLines_.push_back({older.number, older.mission});
      continue;
    }
    m.olderLine = std::string(older.line);
    m.olderMark = read->second;
    m.original = std::move(read->first);
  }
  std::sort(
      record.damagedLines_.begin(), record.damagedLines_.end(),
      [](const DamagedRecordLine& a, const DamagedRecordLine& b) { return a.number < b.number; });
  // The entries in the order of their numbers; a number given to two different entries
  // tells neither apart from the other, and counts as missing.
  std::sort(damagedNumbers.begin(), damagedNumbers.end());
  std::stable_sort(entries.begin(), entries.end(),
                   [](const ReadEntry& a, const ReadEntry& b) { return a.number < b.number; });
  uint32_t expected = 1;
  const auto noteMissing = [&](uint32_t number) {
    if (!std::binary_search(damagedNumbers.begin(), damagedNumbers.end(), number)) {
      record.missingNumbers_.push_back(number);
    }
  };
  for (size_t i = 0; i < entries.size(); ++i) {
    const uint32_t entryNumber = entries[i].number;
    for (; expected < entryNumber; ++expected) noteMissing(expected);
    expected = entryNumber + 1;
    record.lastNumber_ = entryNumber;
    if (i + 1 < entries.size() && entries[i + 1].number == entryNumber) {
      record.missingNumbers_.push_back(entryNumber);
      while (i + 1 < entries.size() && entries[i + 1].number == entryNumber) ++i;
      continue;
    }
    ReadEntry& entry = entries[i];
    OriginalWeapons::Mission& m = record.missions_[static_cast<size_t>(entry.mission - 1)];
    m.hasEntries = true;
    if (entry.kind == EntryKind::original) {
      m.original = std::move(entry.line);
      m.originalNumber = entry.number;
      m.originalPlace = entry.place;
    } else {
      m.written.push_back(std::move(entry.line));
      if (m.written.size() > kWrittenKept) m.written.erase(m.written.begin());
    }
  }
  record.lastNumber_ = std::max(record.lastNumber_, end.value_or(0));
  if (!damagedNumbers.empty()) {
    record.lastNumber_ = std::max(record.lastNumber_, damagedNumbers.back());
  }
  for (; anyEntry && expected <= end.value_or(0); ++expected) noteMissing(expected);
  // Without an "end" line at or after the last entry, entries after it may have been lost.
  record.endMissing_ = anyEntry && (!end || (!entries.empty() && entries.back().number > *end));
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
      case '\t':
        out += "\\t";
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
      case 't':
        out += '\t';
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

std::string recordWith(std::string_view content, const OriginalWeapons& record,
                       const std::vector<RecordEntry>& added) {
  std::string out;
  uint32_t number = 0;
  if (!record.sound()) {
    // Kept byte for byte: a line it cannot understand may be a mission's lost original.
    out = content;
    if (out.ends_with('\r')) {
      out += '\n';  // the CR already there ends the last line
    } else if (!out.empty() && !out.ends_with('\n')) {
      out += "\r\n";
    }
    // After lines lost at the end, a number is left out: missions recorded before the loss
    // stay in doubt (their lost entries may have come after) until they are recorded anew.
    number = record.lastNumber_ + (record.endMissing_ ? 1 : 0);
    for (const RecordEntry& entry : added) out += entryLine(++number, entry);
    return out + endLine(number);
  }
  out = gbk::originalWeaponsComment;
  out += "\r\n";
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    const OriginalWeapons::Mission& m = record.mission(n);
    std::optional<std::string> original = m.originalNumber > 0 ? m.original : std::nullopt;
    std::vector<std::string> written = m.written;
    for (const RecordEntry& entry : added) {
      if (entry.mission != n) continue;
      if (entry.kind == EntryKind::original) {
        original = entry.line;
      } else {
        written.push_back(entry.line);
      }
    }
    if (written.size() > kWrittenKept) {
      written.erase(written.begin(), written.end() - static_cast<std::ptrdiff_t>(kWrittenKept));
    }
    // An older record's line stays as it stands while no entry has taken its place.
    if (!original && m.olderLine) out += *m.olderLine + "\r\n";
    if (original) out += entryLine(++number, {n, EntryKind::original, *original});
    for (const std::string& line : written)
      out += entryLine(++number, {n, EntryKind::written, line});
  }
  return out + endLine(number);
}
