#include "frame/DropDownListUnit.h"

#include "frame/UnitNumbers.h"
#include "services/Wide.h"

const DropDownListAttributes& DropDownListUnit::attributes() const {
  return std::get<DropDownListAttributes>(description().attributes);
}

bool DropDownListUnit::create(HWND parent, int childId) {
  const DropDownListAttributes& a = attributes();
  DWORD style = WS_VSCROLL | CBS_AUTOHSCROLL;
  style |= a.listType == 0 ? CBS_SIMPLE : a.listType == 1 ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
  if (a.sorted) style |= CBS_SORT;
  // Created at its height with the list dropped down, then in this order: font, item height,
  // limit, entries, selection; every size for the window's scale.
  background_ = solidBrush(a.backgroundColour);
  if (!createControl(L"COMBOBOX", L"", style, parent, childId)) return false;
  setFont();
  SendMessageW(hwnd_, CB_LIMITTEXT, static_cast<WPARAM>(a.maxLength), 0);
  for (size_t i = 0; i < a.entries.size(); ++i) {
    LRESULT at = SendMessageW(hwnd_, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(gbkToWide(a.entries[i]).c_str()));
    if (at >= 0 && i < a.itemValues.size()) {
      SendMessageW(hwnd_, CB_SETITEMDATA, static_cast<WPARAM>(at),
                   static_cast<LPARAM>(a.itemValues[i]));
    }
  }
  select(a.initialSelection);
  if (a.listType != 2) {
    SetWindowTextW(hwnd_, gbkToWide(a.content).c_str());
    SendMessageW(hwnd_, CB_SETEDITSEL, 0,
                 MAKELPARAM(a.selectionStart, a.selectionStart + a.selectionLength));
  }
  return true;
}

// The list items: the font's item height and the extra height at the window's scale.
void DropDownListUnit::afterFont() {
  LRESULT itemHeight = SendMessageW(hwnd_, CB_GETITEMHEIGHT, 0, 0);
  SendMessageW(hwnd_, CB_SETITEMHEIGHT, 0, itemHeight + layout().extraItemHeight);
}

const std::string& DropDownListUnit::fontAttribute() const { return attributes().font; }

void DropDownListUnit::select(int32_t index) {
  auto count = static_cast<int32_t>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
  if (index > count - 1) index = count - 1;
  if (index < -1) index = -1;
  SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool DropDownListUnit::ownsHandle(HWND hwnd) const {
  if (hwnd == nullptr || hwnd_ == nullptr) return false;
  if (hwnd == hwnd_) return true;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(hwnd_, &info) && (info.hwndList == hwnd || info.hwndItem == hwnd);
}

bool DropDownListUnit::keepsNavigationKeys() const {
  return hwnd_ != nullptr && SendMessageW(hwnd_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void DropDownListUnit::onCommand(WORD code) {
  // Raised once the selection has changed: after the notification has been handled.
  if (code == CBN_SELENDOK) PostMessageW(hwnd_, frame_message::listSelected, 0, 0);
}

LRESULT DropDownListUnit::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == frame_message::listSelected) {
    raise(unit_event::selectionChanged);
    return 0;
  }
  return ControlUnit::onMessage(message, wParam, lParam);
}

HBRUSH DropDownListUnit::onControlColour(HDC dc) {
  SetTextColor(dc, resolveColour(attributes().textColour));
  SetBkColor(dc, resolveColour(attributes().backgroundColour));
  return static_cast<HBRUSH>(background_.get());
}

bool DropDownListUnit::readProperty(int32_t number, int32_t& value) {
  if (number != unit_property::currentSelection) return false;
  value = static_cast<int32_t>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
  return true;
}

bool DropDownListUnit::writeProperty(int32_t number, int32_t value) {
  if (number != unit_property::currentSelection) return false;
  select(value);
  return true;
}

bool DropDownListUnit::callMethod(int32_t number, std::span<const int32_t> arguments,
                                  int32_t& result) {
  if (number != unit_method::itemValue) return false;
  int32_t index = arguments.empty() ? 0 : arguments[0];
  auto count = static_cast<int32_t>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
  result = index < 0 || index >= count ? -1
                                       : static_cast<int32_t>(SendMessageW(
                                             hwnd_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  return true;
}
