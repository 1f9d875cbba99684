#include "launcher/SettingsStore.h"

#include "GbkTexts.h"
#include "services/Profile.h"
#include "services/Wide.h"

Path SettingsStore::fileName() const {
  return withName(host_.runDirectory(), gbk::profileFileName);
}

Text SettingsStore::read(const Text& key, const Text& defaultText) const {
  return readProfileItem(fileName(), gbk::settingsSection, key, defaultText);
}

bool SettingsStore::write(const Text& key, const Text& value) const {
  return writeProfileItem(fileName(), gbk::settingsSection, key, value);
}

bool SettingsStore::writeAll(std::initializer_list<std::pair<Text, Text>> items,
                             FileFault* fault) const {
  return writeProfileItems(fileName(), gbk::settingsSection, items, fault);
}
