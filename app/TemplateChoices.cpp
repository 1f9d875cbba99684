#include "app/TemplateChoices.h"

#include <variant>

#include "app/LauncherWindow.h"
#include "frame/WindowRegistry.h"

namespace {

// One item value per entry of the list, as the window's list holds them: an entry that the
// template gives no value has 0.
std::vector<int32_t> templateItemValues(uint32_t unitId) {
  WindowEntry* window = findWindow(launcherWindowId);
  UnitRecord* unit = window != nullptr ? findUnit(*window, unitId) : nullptr;
  if (unit == nullptr || unit->description == nullptr) return {};
  const auto* list = std::get_if<DropDownListAttributes>(&unit->description->attributes);
  if (list == nullptr) return {};
  std::vector<int32_t> values(list->entries.size(), 0);
  for (size_t i = 0; i < values.size() && i < list->itemValues.size(); ++i) {
    values[i] = list->itemValues[i];
  }
  return values;
}

size_t slot(LauncherList list) { return static_cast<size_t>(list); }

}  // namespace

TemplateChoices::TemplateChoices() {
  lists_[slot(LauncherList::weapon)].itemValues = templateItemValues(launcher_unit::weaponList);
  lists_[slot(LauncherList::attribute)].itemValues =
      templateItemValues(launcher_unit::attributeList);
  lists_[slot(LauncherList::resolution)].itemValues =
      templateItemValues(launcher_unit::resolutionList);
}

ListSizes TemplateChoices::sizes() const {
  auto size = [this](LauncherList list) {
    return static_cast<int32_t>(lists_[slot(list)].itemValues.size());
  };
  return {size(LauncherList::weapon), size(LauncherList::attribute),
          size(LauncherList::resolution)};
}

void TemplateChoices::choose(const LauncherSettings& settings) {
  setSelection(LauncherList::weapon, settings.weaponIndex);
  setSelection(LauncherList::attribute, settings.attributeIndex);
  setSelection(LauncherList::resolution, settings.resolutionIndex);
  setTicked(settings.windowed);
}

int32_t TemplateChoices::selection(LauncherList list) { return lists_[slot(list)].selection; }

// As a list does: past the end selects the last entry, any negative index none.
void TemplateChoices::setSelection(LauncherList list, int32_t index) {
  const int32_t count = static_cast<int32_t>(lists_[slot(list)].itemValues.size());
  lists_[slot(list)].selection = index < 0 ? -1 : index >= count ? count - 1 : index;
}

int32_t TemplateChoices::itemValue(LauncherList list, int32_t index) {
  const std::vector<int32_t>& values = lists_[slot(list)].itemValues;
  if (index < 0 || index >= static_cast<int32_t>(values.size())) return -1;
  return values[static_cast<size_t>(index)];
}
