// The reader and writer of "wdpz.ini": the keys of section "我的设置" of the profile file in
// the run directory, read one by one and saved together in one replacement of the file.
// The file name is built afresh at each use.
#pragma once

#include <initializer_list>
#include <utility>

#include "launcher/LauncherHost.h"
#include "services/FileFault.h"
#include "services/Path.h"
#include "services/Text.h"

class SettingsStore {
 public:
  explicit SettingsStore(LauncherHost& host) : host_(host) {}

  Path fileName() const;  // run directory + "\wdpz.ini"
  // The key's value, or defaultText when the file, the section or the key is missing.
  Text read(const Text& key, const Text& defaultText) const;
  // True when the value was stored.
  bool write(const Text& key, const Text& value) const;
  // Stores every key=value in one replacement of the file: either all are stored or the
  // file stays as it was.
  bool writeAll(std::initializer_list<std::pair<Text, Text>> items,
                FileFault* fault = nullptr) const;

 private:
  LauncherHost& host_;
};
