// The units that are controls of the system's classes (BUTTON, COMBOBOX): created as children
// of the window and subclassed, so that focus changes and private messages reach the unit.
#pragma once

#include <string>

#include "frame/Unit.h"

class ControlUnit : public Unit {
 public:
  using Unit::Unit;
  ~ControlUnit() override;

 protected:
  // CreateWindowExW with the common control styles, then the subclass.
  bool createControl(const wchar_t* className, const std::wstring& text, DWORD style, HWND parent,
                     int childId, int height);
  // A message of the control: focus changes raise events, the rest go to the class.
  virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT callOriginal(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC original_ = nullptr;
};
