// The system code page a run of the tests is meant to have: the one that the locale it runs
// under (LC_ALL, LC_CTYPE or LANG, in that order, as Wine reads them) gives Windows
// programs. Each locale the suite runs under has its code page here; the tests hold what
// they get to it rather than to whatever the system happens to give.
#pragma once

#include <windows.h>

#include <string>

// The locale's name as the run gives it ("zh_CN.UTF-8"); "" when none is set.
inline std::string runLocale() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    char value[256] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length > 0 && length < sizeof value) return value;
  }
  return "";
}

// The code page of the run's locale; 0 for a locale the suite does not run under.
inline unsigned localeCodePage() {
  const std::string locale = runLocale();
  const std::string language = locale.substr(0, locale.find('.'));
  const struct {
    const char* language;
    unsigned codePage;
  } kCodePages[] = {
      {"zh_CN", 936},   // Simplified Chinese: GBK
      {"en_US", 1252},  // Western
      {"zh_TW", 950},   // Traditional Chinese: Big5
      {"ja_JP", 932},   // Japanese: Shift JIS
      {"ko_KR", 949},   // Korean
  };
  for (const auto& known : kCodePages) {
    if (language == known.language) return known.codePage;
  }
  return 0;
}
