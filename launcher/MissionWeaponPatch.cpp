#include "launcher/MissionWeaponPatch.h"

#include "GbkTexts.h"
#include "launcher/MissionContent.h"
#include "services/Files.h"

namespace {

int32_t chosenItem(LauncherControls& controls, LauncherList list) {
  return controls.itemValue(list, controls.selection(list));
}

}  // namespace

void MissionWeaponPatch(LauncherControls& controls, LauncherHost& host,
                        std::vector<Text>& unwritten) {
  if (!fileExists(concat(host.runDirectory(), gbk::levelFolderName))) {
    host.showMessage(gbk::missionFolderMissing, 0);
    return;
  }
  const int32_t number = weaponNumber(chosenItem(controls, LauncherList::weapon),
                                      chosenItem(controls, LauncherList::attribute));
  for (int32_t n = 1; n <= 20; ++n) {
    const Text name = concat(host.runDirectory(), missionFileName(n));
    if (!fileExists(name)) continue;
    ByteBuffer content = readFile(name);
    if (!patchMissionContentInPlace(content.bytes, number)) continue;
    if (!writeFile(name, content)) unwritten.push_back(name);
  }
}
