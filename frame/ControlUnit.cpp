#include "frame/ControlUnit.h"

#include "frame/UnitFonts.h"
#include "frame/UnitNumbers.h"

ControlUnit::~ControlUnit() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    detach();
  }
}

bool ControlUnit::createControl(const wchar_t* className, const std::wstring& text, DWORD style,
                                HWND parent, int childId) {
  const UnitTemplate& d = description();
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (d.flags & unitTabStop) style |= WS_TABSTOP;
  if (d.flags & unitDisabled) style |= WS_DISABLED;
  UnitLayout at = layout();
  HWND hwnd = CreateWindowExW(
      0, className, text.c_str(), style, at.left, at.top, at.width, at.createHeight, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)), moduleInstance(), nullptr);
  if (hwnd == nullptr) return false;
  attach(hwnd);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlUnit::procedure)));
  return true;
}

void ControlUnit::setFont() {
  font_ = makeUnitFont(fontAttribute(), dpi());
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  afterFont();
}

void ControlUnit::applyDpi(int32_t /*dpi*/) {
  setFont();
  UnitLayout at = layout();
  SetWindowPos(hwnd_, nullptr, at.left, at.top, at.width, at.createHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT ControlUnit::callOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(original_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK ControlUnit::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* unit = static_cast<ControlUnit*>(unitFromHandle(hwnd));
  if (unit == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    WNDPROC original = unit->original_;
    unit->detach();
    unit->forgetHandle();
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
  }
  return unit->onMessage(message, wParam, lParam);
}

LRESULT ControlUnit::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS: {
      LRESULT result = callOriginal(message, wParam, lParam);
      raise(unit_event::gotFocus);
      return result;
    }
    case WM_KILLFOCUS: {
      LRESULT result = callOriginal(message, wParam, lParam);
      raise(unit_event::lostFocus);
      return result;
    }
    case frame_message::windowShown:
      return 0;
    default:
      return callOriginal(message, wParam, lParam);
  }
}
