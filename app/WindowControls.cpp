#include "app/WindowControls.h"

#include "app/LauncherWindow.h"
#include "frame/UnitAccess.h"
#include "frame/UnitNumbers.h"

namespace {

uint32_t listUnit(LauncherList list) {
  switch (list) {
    case LauncherList::weapon:
      return launcher_unit::weaponList;
    case LauncherList::attribute:
      return launcher_unit::attributeList;
    case LauncherList::resolution:
      return launcher_unit::resolutionList;
  }
  return 0;
}

}  // namespace

int32_t WindowControls::selection(LauncherList list) {
  return readUnitProperty(launcherWindowId, listUnit(list), unit_property::currentSelection);
}

void WindowControls::setSelection(LauncherList list, int32_t index) {
  writeUnitProperty(launcherWindowId, listUnit(list), unit_property::currentSelection, index);
}

int32_t WindowControls::itemValue(LauncherList list, int32_t index) {
  const int32_t arguments[] = {index};
  return callUnitMethod(launcherWindowId, listUnit(list), unit_method::itemValue, arguments);
}

bool WindowControls::isTicked() {
  return readUnitProperty(launcherWindowId, launcher_unit::windowedBox, unit_property::tickState) !=
         0;
}

void WindowControls::setTicked(bool ticked) {
  writeUnitProperty(launcherWindowId, launcher_unit::windowedBox, unit_property::tickState,
                    ticked ? 1 : 0);
}

void WindowControls::destroyWindow() {
  callUnitMethod(launcherWindowId, windowUnitId, unit_method::destroy);
}
