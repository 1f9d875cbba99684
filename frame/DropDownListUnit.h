// The drop-down list: a COMBOBOX control with its entries and their item values; its
// current selection is its property, an entry's item value its method.
#pragma once

#include "frame/ControlUnit.h"
#include "frame/GdiObject.h"

class DropDownListUnit final : public ControlUnit {
 public:
  using ControlUnit::ControlUnit;
  bool create(HWND parent, int childId) override;
  bool canTakeFocus() const override { return true; }
  void onCommand(WORD code) override;
  HBRUSH onControlColour(HDC dc) override;
  bool readProperty(int32_t number, int32_t& value) override;
  bool writeProperty(int32_t number, int32_t value) override;
  bool callMethod(int32_t number, std::span<const int32_t> arguments, int32_t& result) override;
  bool ownsHandle(HWND hwnd) const override;
  bool keepsNavigationKeys() const override;

 protected:
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  const std::string& fontAttribute() const override;
  void afterFont() override;

 private:
  const DropDownListAttributes& attributes() const;
  void select(int32_t index);
  GdiObject background_;
};
