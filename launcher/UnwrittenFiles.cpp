#include "launcher/UnwrittenFiles.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "GbkTexts.h"
#include "launcher/MissionContent.h"
#include "launcher/OriginalWeapons.h"
#include "services/Wide.h"

namespace {

bool needsPermission(FileFault fault) {
  return fault == FileFault::noPermission || fault == FileFault::folderRefusesNewFiles;
}

std::string_view reasonOf(FileFault fault) {
  switch (fault) {
    case FileFault::readOnly:
      return gbk::reasonReadOnly;
    case FileFault::inUse:
      return gbk::reasonInUse;
    case FileFault::noPermission:
      return gbk::reasonNoPermission;
    case FileFault::diskFull:
      return gbk::reasonDiskFull;
    case FileFault::folderInPlace:
      return gbk::reasonFolderInPlace;
    case FileFault::folderRefusesNewFiles:
      return gbk::reasonFolderRefusesNewFiles;
    case FileFault::unreadable:
      return gbk::reasonUnreadable;
    case FileFault::recordDamaged:
      return gbk::reasonRecordDamaged;
    case FileFault::recordUnavailable:
      return gbk::reasonRecordUnavailable;
    case FileFault::weaponLineMissing:
      return gbk::reasonWeaponLineMissing;
    case FileFault::recordLinesMissing:
      return gbk::reasonRecordLinesMissing;
    case FileFault::lineBreaks:
      return gbk::reasonLineBreaks;
    case FileFault::recordLineDamaged:  // said with its line, below
    case FileFault::byteOrderMark:
      return gbk::reasonByteOrderMark;
    case FileFault::none:
    case FileFault::other:
      break;
  }
  return gbk::reasonOther;
}

bool anyWith(const std::vector<UnwrittenFile>& files, bool (*test)(FileFault)) {
  for (const UnwrittenFile& file : files) {
    if (test(file.fault)) return true;
  }
  return false;
}

template <FileFault wanted>
bool is(FileFault fault) {
  return fault == wanted;
}

// "（第N行已损坏：sn02_.pst）", or with "不属于任何一关" for a line that names no mission.
std::string damagedLineReason(const UnwrittenFile& file) {
  std::string mission = gbk::recordLineOfNoMission;
  if (file.recordMission >= 1 && file.recordMission <= kMissionCount) {
    const Text name = missionFileName(file.recordMission);
    mission = name.view().substr(name.view().rfind('\\') + 1);
  }
  char reason[256];
  std::snprintf(reason, sizeof reason, gbk::reasonRecordLineDamaged,
                static_cast<int>(file.recordLine), mission.c_str());
  return reason;
}

}  // namespace

bool administratorMayHelp(const std::vector<UnwrittenFile>& files) {
  return anyWith(files, &needsPermission);
}

std::wstring unwrittenFilesMessage(const std::vector<UnwrittenFile>& files, bool askAdministrator) {
  std::wstring message = gbkToWide(gbk::filesNotWritten);
  for (const UnwrittenFile& file : files) {
    message += L"\r\n";
    message += file.name.wide();
    message += gbkToWide(file.fault == FileFault::recordLineDamaged ? damagedLineReason(file)
                                                                    : reasonOf(file.fault));
  }

  // One hint per cause present, in a fixed order, each once.
  struct Hint {
    bool (*present)(FileFault);
    const char* text;
  };
  const Hint hints[] = {
      {&is<FileFault::readOnly>, gbk::hintReadOnly},
      {&is<FileFault::inUse>, gbk::hintInUse},
      {&is<FileFault::diskFull>, gbk::hintDiskFull},
      {&is<FileFault::folderInPlace>, gbk::hintFolderInPlace},
      {&is<FileFault::recordDamaged>, gbk::hintRecordDamaged},
      {&is<FileFault::weaponLineMissing>, gbk::hintWeaponLineMissing},
      {&is<FileFault::lineBreaks>, gbk::hintLineBreaks},
      {&is<FileFault::byteOrderMark>, gbk::hintByteOrderMark},
      {&needsPermission, askAdministrator ? nullptr : gbk::hintNoPermission},
  };
  std::string line;
  for (const Hint& hint : hints) {
    if (hint.text == nullptr || !anyWith(files, hint.present)) continue;
    line += line.empty() ? gbk::hintStart : gbk::hintSeparator;
    line += hint.text;
  }
  if (!line.empty()) message += gbkToWide(line + gbk::hintEnd);
  if (anyWith(files, &is<FileFault::recordDamaged>)) message += gbkToWide(gbk::recordKept);
  if (askAdministrator && administratorMayHelp(files)) message += gbkToWide(gbk::askAdministrator);
  return message;
}

std::wstring administratorStartFailedMessage(uint32_t error, const std::wstring& reason) {
  char head[256];
  std::snprintf(head, sizeof head, gbk::administratorStartFailed, static_cast<unsigned>(error));
  return gbkToWide(head) + reason;
}
