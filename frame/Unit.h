// A unit: the window or one control inside it, built from its template record and linked
// to its native window. The kinds: WindowUnit ("WTWindow"), LabelUnit ("WTLabel", painted
// by the frame), ButtonUnit and CheckBoxUnit (BUTTON), DropDownListUnit (COMBOBOX). Every
// text reaches the screen through the wide calls, converted from GBK.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>

#include "frame/DisplayScale.h"
#include "frame/TemplateReader.h"
#include "frame/WindowRegistry.h"

class Unit {
 public:
  Unit(WindowEntry& window, size_t index) : window_(window), index_(index) {}
  virtual ~Unit() = default;
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;

  // The unit's native window; null before it is created and once it is gone.
  HWND hwnd() const { return hwnd_; }
  const UnitTemplate& description() const { return *window_.units[index_].description; }
  WindowEntry& window() const { return window_; }
  size_t index() const { return index_; }
  uint32_t windowId() const { return window_.id(); }
  // The id that this unit's events carry: 0 for the window's own unit.
  uint32_t eventUnitId() const { return index_ == 0 ? 0 : description().id; }
  bool raise(int32_t number, EventRecord* out = nullptr) const {
    return raiseUnitEvent(windowId(), eventUnitId(), number, out);
  }

  // The scale the unit's window is laid out for, and the unit's figures at that scale.
  int32_t dpi() const;
  // The scale this unit lays its own window out for; only the window's own unit has one.
  virtual int32_t layoutDpi() const { return templateDpi; }
  UnitLayout layout() const;

  // Creates the native window (hidden). False when it cannot be created.
  virtual bool create(HWND parent, int childId) = 0;
  // The window has moved to a monitor of another scale: font, rectangle and sizes anew.
  virtual void applyDpi(int32_t /*dpi*/) {}
  virtual bool canTakeFocus() const { return false; }
  // A notification of the control handed back by its window (WM_COMMAND).
  virtual void onCommand(WORD /*code*/) {}
  // A colour message of the control handed back by its window; null: default colours.
  virtual HBRUSH onControlColour(HDC /*dc*/) { return nullptr; }
  // Keyboard handling before dispatch; true when the message is consumed.
  virtual bool preTranslate(MSG& /*message*/) { return false; }
  // True when the native window is this unit's or a part of it (a list's drop-down part).
  virtual bool ownsHandle(HWND hwnd) const { return hwnd != nullptr && hwnd == hwnd_; }
  // True while the unit needs the navigation keys itself (an open drop-down list).
  virtual bool keepsNavigationKeys() const { return false; }
  virtual bool isDefaultPushButton() const { return false; }

  // Kind properties (8 and up) and methods; false when the kind has no such number.
  virtual bool readProperty(int32_t /*number*/, int32_t& /*value*/) { return false; }
  virtual bool writeProperty(int32_t /*number*/, int32_t /*value*/) { return false; }
  virtual bool callMethod(int32_t /*number*/, std::span<const int32_t> /*arguments*/,
                          int32_t& /*result*/) {
    return false;
  }

  // The native window is gone (WM_NCDESTROY).
  void forgetHandle() { hwnd_ = nullptr; }

 protected:
  // Links the native window to this unit (window property), for the loop and the window.
  void attach(HWND hwnd);
  void detach();

  WindowEntry& window_;
  size_t index_;
  HWND hwnd_ = nullptr;
};

// The frame's unit behind a native window, or null for a foreign window.
Unit* unitFromHandle(HWND hwnd);
// The control unit of a window whose native window, or a part of it, is `control`; null for
// none of the window's controls.
Unit* unitOfControl(const WindowEntry& window, HWND control);

// The native window of a window entry's own unit, or null when it is not built.
HWND windowHandle(const WindowEntry& window);
bool isWindowAlive(const WindowEntry& window);
bool anyWindowAlive();
// Destroys what is still on the screen and frees every window record.
void clearWindowRegistry();

// The program's module, which owns the frame's window classes.
HINSTANCE moduleInstance();
