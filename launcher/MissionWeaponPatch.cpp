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
    // A mission that is there but cannot be read (held by another program, a folder of
    // that name) keeps its old weapon: the user is told as for a failed write.
    std::optional<ByteBuffer> content = readWholeFile(name);
    if (!content) {
      unwritten.push_back(name);
      continue;
    }
    if (!patchMissionContentInPlace(content->bytes, number)) continue;
    if (!writeFile(name, *content)) unwritten.push_back(name);
  }
}
