#include "frame/LabelUnit.h"

#include <string>

#include "frame/UnitFonts.h"
#include "services/Wide.h"

LabelUnit::~LabelUnit() { detach(); }

const LabelAttributes& LabelUnit::attributes() const {
  return std::get<LabelAttributes>(description().attributes);
}

bool LabelUnit::create(HWND parent, int childId) {
  const UnitTemplate& d = description();
  const LabelAttributes& a = attributes();
  DWORD exStyle = a.borderStyle == 1   ? WS_EX_CLIENTEDGE
                  : a.borderStyle == 2 ? WS_EX_STATICEDGE
                  : a.borderStyle == 3 ? WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME
                                       : 0;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (d.flags & unitDisabled) style |= WS_DISABLED;
  font_ = makeUnitFont(a.font, dpi());
  UnitLayout at = layout();
  HWND hwnd = CreateWindowExW(exStyle, labelClassName, gbkToWide(a.text).c_str(), style, at.left,
                              at.top, at.width, at.height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)),
                              moduleInstance(), this);
  return hwnd != nullptr;
}

void LabelUnit::applyDpi(int32_t dpi) {
  font_ = makeUnitFont(attributes().font, dpi);
  UnitLayout at = layout();
  SetWindowPos(hwnd_, nullptr, at.left, at.top, at.width, at.height, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void LabelUnit::paint() {
  const LabelAttributes& a = attributes();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client, area;
  GetClientRect(hwnd_, &client);
  if (IntersectRect(&area, &ps.rcPaint, &client)) {
    GdiObject brush = solidBrush(a.backgroundColour);
    FillRect(dc, &area, static_cast<HBRUSH>(brush.get()));
  }
  int length = GetWindowTextLengthW(hwnd_);
  if (length > 0) {
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = GetWindowTextW(hwnd_, text.data(), length + 1);
    HGDIOBJ old = SelectObject(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, a.textColour);
    UINT format = DT_NOCLIP | (a.hAlign == 1 ? DT_CENTER : a.hAlign == 2 ? DT_RIGHT : DT_LEFT);
    if (!a.wordWrap) {
      format |= DT_SINGLELINE | (a.vAlign == 1 ? DT_VCENTER : a.vAlign == 2 ? DT_BOTTOM : DT_TOP);
    } else {
      format |= DT_WORDBREAK | DT_VCENTER;
    }
    DrawTextW(dc, text.c_str(), length, &client, format);
    SelectObject(dc, old);
  }
  EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK LabelUnit::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    static_cast<LabelUnit*>(create->lpCreateParams)->attach(hwnd);
  }
  auto* unit = static_cast<LabelUnit*>(unitFromHandle(hwnd));
  if (unit == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      unit->paint();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(unit->font_.get());
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case WM_NCDESTROY:
      unit->detach();
      unit->forgetHandle();
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
