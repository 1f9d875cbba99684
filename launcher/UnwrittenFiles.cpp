#include "launcher/UnwrittenFiles.h"

#include <string>
#include <string_view>

#include "GbkTexts.h"
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

}  // namespace

bool administratorMayHelp(const std::vector<UnwrittenFile>& files) {
  return anyWith(files, &needsPermission);
}

std::wstring unwrittenFilesMessage(const std::vector<UnwrittenFile>& files, bool askAdministrator) {
  std::wstring message = gbkToWide(gbk::filesNotWritten);
  for (const UnwrittenFile& file : files) {
    message += L"\r\n";
    message += file.name.wide();
    message += gbkToWide(reasonOf(file.fault));
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
  if (askAdministrator && administratorMayHelp(files)) message += gbkToWide(gbk::askAdministrator);
  return message;
}
