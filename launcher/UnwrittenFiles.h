// The one message that lists the files an apply could not write: each full path followed
// by its cause, then one line that says what to do for the causes present.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "services/FileFault.h"
#include "services/Path.h"

struct UnwrittenFile {
  Path name;  // the full path
  FileFault fault = FileFault::other;
  // With recordLineDamaged: the damaged line's number and the mission it names (0 for none).
  int32_t recordLine = 0;
  int32_t recordMission = 0;
};

// True when administrator rights may get a listed file written: it failed for lack of
// permission, or because its folder takes no new file.
bool administratorMayHelp(const std::vector<UnwrittenFile>& files);

// "以下文件无法写入，其中的设置没有生效：", one line per file with its cause, and below them
// the line of what to do (and, for a damaged record, why it is kept). With askAdministrator, the
// lack of permission is answered by the question whether to save the settings with administrator
// rights (a Yes/No message) instead of a hint. Each path is shown as it is.
std::wstring unwrittenFilesMessage(const std::vector<UnwrittenFile>& files, bool askAdministrator);

// "无法以管理员身份保存这些设置（错误代码 N）：" and the system's reason, for a Yes after
// which the program could not be started with administrator rights.
std::wstring administratorStartFailedMessage(uint32_t error, const std::wstring& reason);
