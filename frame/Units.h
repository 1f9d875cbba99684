// The five kinds of unit as native windows: the window ("WTWindow"), the label ("WTLabel",
// painted by the frame), the push button and check box (BUTTON) and the drop-down list
// (COMBOBOX). Every text reaches the screen through the wide calls, converted from GBK.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "frame/TemplateReader.h"
#include "frame/WindowRegistry.h"

// Private messages of the frame.
inline constexpr UINT destroyRequestMessage = 0x8065;  // a posted, deferred destroy
inline constexpr UINT listSelectedMessage = 0x8066;    // posted after CBN_SELENDOK
inline constexpr UINT windowShownMessage = 0x8076;     // sent to every unit once shown

inline constexpr int firstChildId = 100;
inline constexpr int childIdStep = 10;

// Owns one GDI object; stock objects are never deleted.
class GdiObject {
 public:
  GdiObject() = default;
  GdiObject(HGDIOBJ object, bool owned) : object_(object), owned_(owned) {}
  ~GdiObject() { reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = other.object_;
      owned_ = other.owned_;
      other.object_ = nullptr;
    }
    return *this;
  }
  HGDIOBJ get() const { return object_; }
  void reset() {
    if (owned_ && object_ != nullptr) DeleteObject(object_);
    object_ = nullptr;
    owned_ = false;
  }

 private:
  HGDIOBJ object_ = nullptr;
  bool owned_ = false;
};

// 0xFF000000 stands for COLOR_BTNFACE, resolved when the colour is applied.
COLORREF resolveColour(uint32_t colour);
// The font of a unit: DEFAULT_GUI_FONT when the attribute is empty (with the GB2312
// character set asked for where the system's code page is not GBK), else a font made from
// its LOGFONTA.
GdiObject defaultUnitFont();
GdiObject makeUnitFont(const std::string& logFont);

class Unit {
 public:
  Unit(WindowEntry& window, size_t index) : window_(window), index_(index) {}
  virtual ~Unit() = default;
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;

  HWND handle() const { return hwnd_; }
  const UnitTemplate& description() const { return *window_.units[index_].description; }
  WindowEntry& window() const { return window_; }
  size_t index() const { return index_; }
  uint32_t windowId() const { return window_.id(); }
  // The id that this unit's events carry: 0 for the window's own unit.
  uint32_t eventUnitId() const { return index_ == 0 ? 0 : description().id; }
  bool raise(int32_t number, EventRecord* out = nullptr) {
    return raiseUnitEvent(windowId(), eventUnitId(), number, out);
  }

  // Creates the native window (hidden). False when it cannot be created.
  virtual bool create(HWND parent, int childId) = 0;
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

// Registers "WTWindow" and "WTLabel" once. False when a class cannot be registered.
bool registerUnitClasses();
// Makes the unit object of a template record (null for a kind the frame does not know).
std::unique_ptr<Unit> makeUnit(WindowEntry& window, size_t index);

class WindowUnit final : public Unit {
 public:
  using Unit::Unit;
  ~WindowUnit() override;

  bool create(HWND owner, int childId) override;
  bool canTakeFocus() const override { return false; }
  bool preTranslate(MSG& message) override;
  bool callMethod(int32_t number, std::span<const int32_t> arguments, int32_t& result) override;

  const WindowAttributes& attributes() const;
  // The focus order: focusable, visible, enabled tab-stop units by ascending tab-order key,
  // equal keys by descending template position.
  std::vector<Unit*> focusOrder() const;
  void moveFocus(bool forward);
  // Asks for the window to be destroyed: at once, or through the posted private message.
  void requestDestroy(bool atOnce);
  // A close request held while a launcher routine ran is made again, unless the window is
  // being destroyed anyway.
  void releaseHeldClose();

  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  Unit* unitOfControl(HWND control) const;
  Unit* unitHoldingFocus() const;
  void setIcons();
  void focusFirstOrRemembered();
  bool pressEnter();

  GdiObject background_;
  HFONT font_ = nullptr;  // set by WM_SETFONT; the units keep their own
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool ownIcons_ = false;
  bool closing_ = false;
  bool closeHeld_ = false;
  bool firstActivated_ = false;
  HWND lastFocus_ = nullptr;
};

// Called once no launcher routine is running any more: every window that held back a close
// request gets it again.
void releaseHeldCloseRequests();

// The units that are controls: created as children of the window, subclassed so that
// focus changes and private messages reach the unit.
class ControlUnit : public Unit {
 public:
  using Unit::Unit;
  ~ControlUnit() override;

 protected:
  // CreateWindowExW with the common control styles, then the subclass.
  bool createControl(const wchar_t* className, const std::wstring& text, DWORD style, HWND parent,
                     int childId, int heightOverride = -1);
  virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT callOriginal(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC original_ = nullptr;
};

class LabelUnit final : public Unit {
 public:
  using Unit::Unit;
  ~LabelUnit() override;
  bool create(HWND parent, int childId) override;
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  const LabelAttributes& attributes() const;
  void paint();
  GdiObject font_;
};

class ButtonUnit final : public ControlUnit {
 public:
  using ControlUnit::ControlUnit;
  bool create(HWND parent, int childId) override;
  bool canTakeFocus() const override { return true; }
  void onCommand(WORD code) override;
  bool isDefaultPushButton() const override;

 private:
  const ButtonAttributes& attributes() const;
  GdiObject font_;
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

 private:
  const CheckBoxAttributes& attributes() const;
  GdiObject font_;
  GdiObject background_;
};

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
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  const DropDownListAttributes& attributes() const;
  void select(int32_t index);
  GdiObject font_;
  GdiObject background_;
};

// Property and method numbers used by the launcher.
inline constexpr int32_t tickStateProperty = 18;
inline constexpr int32_t currentSelectionProperty = 19;
inline constexpr int32_t itemValueMethod = 0x1000E;
inline constexpr int32_t destroyMethod = 0x10001;
