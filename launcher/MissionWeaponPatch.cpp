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
  const Text replacement = weaponLine(number);
  FileReader reader;  // one read area for every mission file
  for (int32_t n = 1; n <= 20; ++n) {
    const Text name = concat(host.runDirectory(), missionFileName(n));
    if (!fileExists(name)) continue;
    // A mission that is there but cannot be read (held by another program, a folder of
    // that name) keeps its old weapon: the user is told as for a failed write.
    const std::optional<std::string_view> content = reader.read(name);
    if (!content) {
      unwritten.push_back(name);
      continue;
    }
    const std::string_view bytes = *content;
    const std::optional<LineSpan> line = findWeaponLine(bytes);
    if (!line) continue;
    // A file whose weapon line already holds the number is already right: not written.
    const std::string_view old = bytes.substr(line->begin, line->end - line->begin);
    if (old == replacement.view()) continue;
    // The new content goes out straight from the bytes read: the part before the weapon
    // line, the new line, the part after it.
    FileReplacement patched(name);
    patched.append(bytes.substr(0, line->begin));
    patched.append(replacement.view());
    patched.append(bytes.substr(line->end));
    if (!patched.commit()) unwritten.push_back(name);
  }
}
