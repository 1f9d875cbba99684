// The units that are controls of the system's classes (BUTTON, COMBOBOX): created as children
// of the window and subclassed, so that focus changes and private messages reach the unit.
#pragma once

#include <string>

#include "frame/GdiObject.h"
#include "frame/Unit.h"

class ControlUnit : public Unit {
 public:
  using Unit::Unit;
  ~ControlUnit() override;
  void applyDpi(int32_t dpi) override;

 protected:
  // CreateWindowExW with the common control styles at the unit's rectangle for the window's
  // scale (a drop-down list at its height dropped down), then the subclass.
  bool createControl(const wchar_t* className, const std::wstring& text, DWORD style, HWND parent,
                     int childId);
  // The font for the window's scale, given to the control.
  void setFont();
  virtual const std::string& fontAttribute() const = 0;
  // What the control sets after each font it is given.
  virtual void afterFont() {}
  // A message of the control: focus changes raise events, the rest go to the class.
  virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT callOriginal(UINT message, WPARAM wParam, LPARAM lParam);

  GdiObject font_;

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC original_ = nullptr;
};
