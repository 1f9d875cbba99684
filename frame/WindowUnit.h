// The window's own unit: a "WTWindow" window with its caption, icons, background and the
// keyboard navigation between its controls.
#pragma once

#include <optional>

#include "frame/GdiObject.h"
#include "frame/Unit.h"

inline constexpr wchar_t windowClassName[] = L"WTWindow";

class WindowUnit final : public Unit {
 public:
  using Unit::Unit;
  ~WindowUnit() override;

  bool create(HWND owner, int childId) override;
  bool canTakeFocus() const override { return false; }
  bool preTranslate(MSG& message) override;
  bool callMethod(int32_t number, std::span<const int32_t> arguments, int32_t& result) override;

  const WindowAttributes& attributes() const;
  // Asks for the window to be destroyed: at once, or through the posted private message.
  void requestDestroy(bool atOnce);
  // A close request held while a launcher routine ran is made again, unless the window is
  // being destroyed anyway.
  void releaseHeldClose();
  // The scale the window is laid out for: its monitor's.
  int32_t layoutDpi() const override { return dpi_; }
  // Lays the window out for another scale inside the rectangle the system suggests.
  void changeDpi(int32_t dpi, const RECT& suggested);

  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // What a message handler gives back: the message's result, or nothing for the default
  // processing (DefWindowProcW).
  using Handled = std::optional<LRESULT>;
  using Handler = Handled (WindowUnit::*)(WPARAM wParam, LPARAM lParam);
  struct Route {
    UINT message;
    Handler handler;
  };
  static const Route routes[];

  Handled onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  Handled onEraseBackground(WPARAM wParam, LPARAM lParam);
  Handled onPaint(WPARAM wParam, LPARAM lParam);
  Handled onControlCommand(WPARAM wParam, LPARAM lParam);
  Handled onControlColourMessage(WPARAM wParam, LPARAM lParam);
  Handled onClose(WPARAM wParam, LPARAM lParam);
  Handled onDestroy(WPARAM wParam, LPARAM lParam);
  Handled onMove(WPARAM wParam, LPARAM lParam);
  Handled onSize(WPARAM wParam, LPARAM lParam);
  Handled onActivate(WPARAM wParam, LPARAM lParam);
  Handled onShowWindow(WPARAM wParam, LPARAM lParam);
  Handled onSetFocus(WPARAM wParam, LPARAM lParam);
  Handled onKillFocus(WPARAM wParam, LPARAM lParam);
  Handled onDestroyRequest(WPARAM wParam, LPARAM lParam);
  Handled onWindowShown(WPARAM wParam, LPARAM lParam);
  Handled onSetFont(WPARAM wParam, LPARAM lParam);
  Handled onGetFont(WPARAM wParam, LPARAM lParam);
  Handled onDpiChanged(WPARAM wParam, LPARAM lParam);

  void setIcons();
  void releaseIcons();
  // The focus given back when the window gets it: the control that had it last, else the
  // first of the Tab order.
  void focusFirstOrRemembered();
  // Enter: clicks the focused default push button, or moves the focus when the window says
  // so, or clicks the window's default push button. False when it does none of these.
  bool pressEnter();

  GdiObject background_;
  HFONT font_ = nullptr;     // set by WM_SETFONT; the units keep their own
  HICON bigIcon_ = nullptr;  // owned, made for the window's scale
  HICON smallIcon_ = nullptr;
  int32_t dpi_ = templateDpi;
  bool closing_ = false;
  bool closeHeld_ = false;
  bool firstActivated_ = false;
  HWND lastFocus_ = nullptr;
};

// Called once no launcher routine is running any more (the frame state's handlersEnded):
// every window that held back a close request while one ran gets it again.
void releaseHeldCloseRequests();
