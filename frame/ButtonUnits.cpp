#include "frame/ButtonUnits.h"

#include "frame/UnitNumbers.h"
#include "services/Wide.h"

namespace {

DWORD horizontalButtonAlignment(int32_t a) {
  return a == 0 ? BS_LEFT : a == 2 ? BS_RIGHT : BS_CENTER;
}
DWORD verticalButtonAlignment(int32_t a) {
  return a == 0 ? BS_TOP : a == 2 ? BS_BOTTOM : BS_VCENTER;
}

}  // namespace

const ButtonAttributes& ButtonUnit::attributes() const {
  return std::get<ButtonAttributes>(description().attributes);
}

bool ButtonUnit::create(HWND parent, int childId) {
  const ButtonAttributes& a = attributes();
  DWORD style = BS_MULTILINE | (a.type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                horizontalButtonAlignment(a.hAlign) | verticalButtonAlignment(a.vAlign);
  if (!createControl(L"BUTTON", gbkToWide(a.text), style, parent, childId)) return false;
  setFont();
  return true;
}

const std::string& ButtonUnit::fontAttribute() const { return attributes().font; }

void ButtonUnit::onCommand(WORD code) {
  if (code == BN_CLICKED) raise(unit_event::clicked);
}

bool ButtonUnit::isDefaultPushButton() const {
  return hwnd_ != nullptr && (GetWindowLongW(hwnd_, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// ------------------------------------------------------------------ check box

const CheckBoxAttributes& CheckBoxUnit::attributes() const {
  return std::get<CheckBoxAttributes>(description().attributes);
}

bool CheckBoxUnit::create(HWND parent, int childId) {
  const CheckBoxAttributes& a = attributes();
  DWORD style = BS_MULTILINE | BS_AUTOCHECKBOX | horizontalButtonAlignment(a.hAlign) |
                verticalButtonAlignment(a.vAlign);
  if (a.pushLike) style |= BS_PUSHLIKE;
  if (a.flat) style |= BS_FLAT;
  if (a.leftText) style |= BS_LEFTTEXT;
  background_ = solidBrush(a.backgroundColour);
  if (!createControl(L"BUTTON", gbkToWide(a.text), style, parent, childId)) return false;
  setFont();
  if (a.ticked == 1) SendMessageW(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
  return true;
}

const std::string& CheckBoxUnit::fontAttribute() const { return attributes().font; }

void CheckBoxUnit::onCommand(WORD code) {
  if (code == BN_CLICKED) raise(unit_event::clicked);
}

HBRUSH CheckBoxUnit::onControlColour(HDC dc) {
  SetTextColor(dc, resolveColour(attributes().textColour));
  SetBkColor(dc, resolveColour(attributes().backgroundColour));
  return static_cast<HBRUSH>(background_.get());
}

bool CheckBoxUnit::readProperty(int32_t number, int32_t& value) {
  if (number != unit_property::tickState) return false;
  value = SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  return true;
}

bool CheckBoxUnit::writeProperty(int32_t number, int32_t value) {
  if (number != unit_property::tickState) return false;
  SendMessageW(hwnd_, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  return true;
}
