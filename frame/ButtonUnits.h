// The push button and the check box: BUTTON controls whose BN_CLICKED raises the unit's
// clicked event; the check box's tick state is its property.
#pragma once

#include "frame/ControlUnit.h"
#include "frame/GdiObject.h"

class ButtonUnit final : public ControlUnit {
 public:
  using ControlUnit::ControlUnit;
  bool create(HWND parent, int childId) override;
  bool canTakeFocus() const override { return true; }
  void onCommand(WORD code) override;
  bool isDefaultPushButton() const override;

 protected:
  const std::string& fontAttribute() const override;

 private:
  const ButtonAttributes& attributes() const;
};

class CheckBoxUnit final : public ControlUnit {
 public:
  using ControlUnit::ControlUnit;
  bool create(HWND parent, int childId) override;
  bool canTakeFocus() const override { return true; }
  void onCommand(WORD code) override;
  HBRUSH onControlColour(HDC dc) override;
  bool readProperty(int32_t number, int32_t& value) override;
  bool writeProperty(int32_t number, int32_t value) override;

 protected:
  const std::string& fontAttribute() const override;

 private:
  const CheckBoxAttributes& attributes() const;
  GdiObject background_;
};
