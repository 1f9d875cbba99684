#include "frame/DisplayScale.h"

#include <algorithm>
#include <variant>

int32_t scaleToDpi(int32_t value, int32_t dpi) {
  int64_t product = int64_t(value) * dpi;
  int64_t half = templateDpi / 2;
  bool negative = (value < 0) != (dpi < 0);
  int64_t result = (negative ? product - half : product + half) / templateDpi;
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return static_cast<int32_t>(result);
}

UnitLayout layoutAtDpi(const UnitTemplate& unit, int32_t dpi) {
  UnitLayout layout;
  layout.left = scaleToDpi(unit.left, dpi);
  layout.top = scaleToDpi(unit.top, dpi);
  layout.width = scaleToDpi(unit.width, dpi);
  layout.height = scaleToDpi(unit.height, dpi);
  layout.createHeight = layout.height;
  if (const auto* list = std::get_if<DropDownListAttributes>(&unit.attributes)) {
    if (list->listType == 1 || list->listType == 2) {
      layout.createHeight = scaleToDpi(std::max(unit.height, droppedListMinimum), dpi);
    }
    layout.extraItemHeight = scaleToDpi(list->extraItemHeight, dpi);
  }
  return layout;
}
