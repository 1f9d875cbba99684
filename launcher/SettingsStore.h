// The reader and writer of "wdpz.ini": one key at a time in section "我的设置" of the
// profile file in the run directory. The file name is built afresh at each use.
#pragma once

#include "launcher/LauncherHost.h"
#include "services/Text.h"

class SettingsStore {
 public:
  explicit SettingsStore(LauncherHost& host) : host_(host) {}

  Text fileName() const;  // run directory + "\wdpz.ini"
  // The key's value, or defaultText when the file, the section or the key is missing.
  Text read(const Text& key, const Text& defaultText) const;
  // True when the value was stored.
  bool write(const Text& key, const Text& value) const;

 private:
  LauncherHost& host_;
};
