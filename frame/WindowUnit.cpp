#include "frame/WindowUnit.h"

#include <vector>

#include "frame/FrameState.h"
#include "frame/IcoFile.h"
#include "frame/IconImage.h"
#include "frame/MonitorScale.h"
#include "frame/UnitNumbers.h"
#include "frame/WindowFocus.h"
#include "services/Wide.h"

namespace {

// The window is gone: every unit object of it is deleted (its entry stays in the registry),
// and the quit message follows when it was the last window of the program.
void unloadWindow(WindowEntry& entry) {
  for (size_t i = entry.units.size(); i-- > 0;) entry.units[i].live.reset();
  if (!anyWindowAlive() && frameState().loopEntered) PostQuitMessage(0);
}

// The icon of an entry at the size asked for: the entry's own image when it has that size,
// else the image drawn anew at that size (the system's own stretch, should that fail).
HICON makeIcon(const std::string& ico, const IcoEntry& e, int width, int height) {
  std::string drawn;
  if (e.width != width || e.height != height) {
    drawn = resampledIconImage(std::string_view(ico).substr(e.offset, e.size), width, height);
  }
  auto* bits = reinterpret_cast<PBYTE>(drawn.empty() ? const_cast<char*>(ico.data() + e.offset)
                                                     : drawn.data());
  auto size = static_cast<DWORD>(drawn.empty() ? e.size : drawn.size());
  return CreateIconFromResourceEx(bits, size, TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
}

}  // namespace

WindowUnit::~WindowUnit() {
  detach();
  releaseIcons();
}

const WindowAttributes& WindowUnit::attributes() const {
  return std::get<WindowAttributes>(description().attributes);
}

bool WindowUnit::create(HWND owner, int /*childId*/) {
  const UnitTemplate& d = description();
  const WindowAttributes& a = attributes();
  DWORD style = WS_CLIPCHILDREN;
  DWORD exStyle = 0;
  bool resizable = false;
  if (a.borderStyle != 0) {
    if (!a.title.empty() || a.controlBox) style |= WS_CAPTION;
    if (a.controlBox) style |= WS_SYSMENU;
    style |= WS_DLGFRAME;
    resizable = a.borderStyle == 1 || a.borderStyle == 3 || a.borderStyle == 5;
    if (resizable) style |= WS_THICKFRAME;
    if (a.borderStyle == 3 || a.borderStyle == 4) exStyle |= WS_EX_TOOLWINDOW;
    if (a.borderStyle == 5 || a.borderStyle == 6) exStyle |= WS_EX_CLIENTEDGE;
  }
  if (a.maximiseBox) style |= WS_MAXIMIZEBOX;
  if (a.minimiseBox) style |= WS_MINIMIZEBOX;
  if (d.flags & unitDisabled) style |= WS_DISABLED;
  // The window opens at the scale of the monitor it opens on: the primary one when centred.
  int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  RECT opening = a.startPosition == 1 ? RECT{screenWidth / 2, screenHeight / 2, screenWidth / 2 + 1,
                                             screenHeight / 2 + 1}
                                      : RECT{d.left, d.top, d.left + d.width, d.top + d.height};
  dpi_ = monitorDpi(opening);
  UnitLayout layout = layoutAtDpi(d, dpi_);
  int left = layout.left, top = layout.top;
  if (a.startPosition == 1) {
    left = (screenWidth - layout.width) / 2;
    top = (screenHeight - layout.height) / 2;
  } else if (a.startPosition == 2) {
    style |= WS_MINIMIZE;
  } else if (a.startPosition == 3 && resizable) {
    style |= WS_MAXIMIZE;
  }
  background_ = solidBrush(a.backgroundColour);
  HWND hwnd = CreateWindowExW(exStyle, windowClassName, gbkToWide(a.title).c_str(), style, left,
                              top, layout.width, layout.height, a.showInTaskbar ? nullptr : owner,
                              nullptr, moduleInstance(), this);
  if (hwnd == nullptr) return false;
  RECT r;
  GetWindowRect(hwnd, &r);
  if (r.right - r.left != layout.width || r.bottom - r.top != layout.height) {
    MoveWindow(hwnd, r.left, r.top, layout.width, layout.height, FALSE);
  }
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (a.alwaysOnTop)
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!a.movable) DeleteMenu(GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND);
  setIcons();
  return true;
}

void WindowUnit::releaseIcons() {
  if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
  bigIcon_ = smallIcon_ = nullptr;
}

// The large and small icons at the sizes the system asks for at the window's scale, drawn
// from the icon's image (the 64 x 64 one of the launcher window).
void WindowUnit::setIcons() {
  int bigWidth = metricAtDpi(SM_CXICON, dpi_), bigHeight = metricAtDpi(SM_CYICON, dpi_);
  int smallWidth = metricAtDpi(SM_CXSMICON, dpi_), smallHeight = metricAtDpi(SM_CYSMICON, dpi_);
  HICON oldBig = bigIcon_, oldSmall = smallIcon_;
  bigIcon_ = smallIcon_ = nullptr;
  const std::string& ico = attributes().icon;
  std::vector<IcoEntry> entries = icoEntries(ico);
  const IcoEntry* big = pickIcoEntry(entries, bigWidth);
  const IcoEntry* small = pickIcoEntry(entries, smallWidth);
  if (big != nullptr && small != nullptr) {
    bigIcon_ = makeIcon(ico, *big, bigWidth, bigHeight);
    smallIcon_ = makeIcon(ico, *small, smallWidth, smallHeight);
  }
  if (bigIcon_ == nullptr || smallIcon_ == nullptr) {
    // No usable icon of its own: the program's icon resource.
    releaseIcons();
    bigIcon_ = static_cast<HICON>(
        LoadImageW(moduleInstance(), L"DEFAULT_ICON", IMAGE_ICON, bigWidth, bigHeight, 0));
    smallIcon_ = static_cast<HICON>(
        LoadImageW(moduleInstance(), L"DEFAULT_ICON", IMAGE_ICON, smallWidth, smallHeight, 0));
  }
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  // The window no longer shows the icons of the former scale.
  if (oldBig != nullptr) DestroyIcon(oldBig);
  if (oldSmall != nullptr) DestroyIcon(oldSmall);
}

void WindowUnit::changeDpi(int32_t dpi, const RECT& suggested) {
  dpi_ = dpi;
  setIcons();
  for (size_t i = 1; i < window_.units.size(); ++i) {
    if (Unit* unit = window_.units[i].live.get(); unit != nullptr && unit->hwnd() != nullptr) {
      unit->applyDpi(dpi);
    }
  }
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void WindowUnit::requestDestroy(bool atOnce) {
  closing_ = true;
  if (atOnce) {
    closing_ = false;
    DestroyWindow(hwnd_);
    return;
  }
  PostMessageW(hwnd_, frame_message::destroyRequest, 0, 0);
}

void WindowUnit::releaseHeldClose() {
  if (!closeHeld_) return;
  closeHeld_ = false;
  if (!closing_ && hwnd_ != nullptr) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void releaseHeldCloseRequests() {
  for (WindowEntry& window : windowRegistry().windows) {
    if (window.units.empty() || !window.units[0].live) continue;
    if (window.units[0].description->kind != unit_kind::window) continue;
    static_cast<WindowUnit*>(window.units[0].live.get())->releaseHeldClose();
  }
}

bool WindowUnit::callMethod(int32_t number, std::span<const int32_t> arguments, int32_t& result) {
  if (number != unit_method::destroy) return false;
  result = 0;
  requestDestroy(!arguments.empty() && arguments[0] != 0);
  return true;
}

LRESULT CALLBACK WindowUnit::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    static_cast<WindowUnit*>(create->lpCreateParams)->attach(hwnd);
  }
  auto* unit = static_cast<WindowUnit*>(unitFromHandle(hwnd));
  if (unit == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
    unit->detach();
    unit->forgetHandle();
    unloadWindow(unit->window());  // deletes the unit
    return result;
  }
  // A handler may destroy the window and with it the unit: the default processing uses the
  // handle noted before.
  if (Handled result = unit->onMessage(message, wParam, lParam)) return *result;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// ------------------------------------------------------------------ messages

const WindowUnit::Route WindowUnit::routes[] = {
    {WM_ERASEBKGND, &WindowUnit::onEraseBackground},
    {WM_PAINT, &WindowUnit::onPaint},
    {WM_COMMAND, &WindowUnit::onControlCommand},
    {WM_CTLCOLORSTATIC, &WindowUnit::onControlColourMessage},
    {WM_CTLCOLOREDIT, &WindowUnit::onControlColourMessage},
    {WM_CTLCOLORLISTBOX, &WindowUnit::onControlColourMessage},
    {WM_CTLCOLORBTN, &WindowUnit::onControlColourMessage},
    {WM_CLOSE, &WindowUnit::onClose},
    {WM_DESTROY, &WindowUnit::onDestroy},
    {WM_MOVE, &WindowUnit::onMove},
    {WM_SIZE, &WindowUnit::onSize},
    {WM_ACTIVATE, &WindowUnit::onActivate},
    {WM_SHOWWINDOW, &WindowUnit::onShowWindow},
    {WM_SETFOCUS, &WindowUnit::onSetFocus},
    {WM_KILLFOCUS, &WindowUnit::onKillFocus},
    {frame_message::destroyRequest, &WindowUnit::onDestroyRequest},
    {frame_message::windowShown, &WindowUnit::onWindowShown},
    {WM_SETFONT, &WindowUnit::onSetFont},
    {WM_GETFONT, &WindowUnit::onGetFont},
    {WM_DPICHANGED, &WindowUnit::onDpiChanged},
};

WindowUnit::Handled WindowUnit::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const Route& route : routes) {
    if (route.message == message) return (this->*route.handler)(wParam, lParam);
  }
  return std::nullopt;
}

WindowUnit::Handled WindowUnit::onEraseBackground(WPARAM, LPARAM) {
  return 1;  // WM_PAINT fills the whole update area
}

WindowUnit::Handled WindowUnit::onPaint(WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(background_.get()));
  EndPaint(hwnd_, &ps);
  return 0;
}

WindowUnit::Handled WindowUnit::onControlCommand(WPARAM wParam, LPARAM lParam) {
  WORD id = LOWORD(wParam);
  // 0xE100 and above: the system's own commands; 20000 and above: menu items, of which no
  // window of the frame has any. Below: a control's notification.
  if (id >= 20000) return 0;
  if (Unit* unit = unitOfControl(window_, reinterpret_cast<HWND>(lParam)))
    unit->onCommand(HIWORD(wParam));
  return 0;
}

WindowUnit::Handled WindowUnit::onControlColourMessage(WPARAM wParam, LPARAM lParam) {
  if (Unit* unit = unitOfControl(window_, reinterpret_cast<HWND>(lParam))) {
    if (HBRUSH brush = unit->onControlColour(reinterpret_cast<HDC>(wParam))) {
      return reinterpret_cast<LRESULT>(brush);
    }
  }
  return std::nullopt;
}

WindowUnit::Handled WindowUnit::onClose(WPARAM, LPARAM) {
  // A close request ("End task", or any other sender) that arrives while a launcher routine
  // runs, in the loop of its message box, waits until the routine has returned: an apply
  // once started runs to its end.
  if (frameState().handlersRunning > 0) {
    closeHeld_ = true;
    return 0;
  }
  EventRecord event;
  if (raise(unit_event::closeQuery, &event) && event.hasResult && event.result == 0) return 0;
  return std::nullopt;  // the default processing destroys the window
}

WindowUnit::Handled WindowUnit::onDestroy(WPARAM, LPARAM) {
  raise(unit_event::destroying);
  return std::nullopt;
}

WindowUnit::Handled WindowUnit::onMove(WPARAM, LPARAM) {
  raise(unit_event::moved);
  return std::nullopt;
}

WindowUnit::Handled WindowUnit::onSize(WPARAM, LPARAM) {
  raise(unit_event::resized);
  return std::nullopt;
}

WindowUnit::Handled WindowUnit::onActivate(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) != WA_INACTIVE) {
    if (!firstActivated_) {
      firstActivated_ = true;
      raise(unit_event::firstActivated);
    }
    raise(unit_event::activated);
  } else {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
    raise(unit_event::deactivated);
  }
  return std::nullopt;
}

WindowUnit::Handled WindowUnit::onShowWindow(WPARAM wParam, LPARAM) {
  raise(wParam ? unit_event::shown : unit_event::hidden);
  return std::nullopt;
}

WindowUnit::Handled WindowUnit::onSetFocus(WPARAM, LPARAM) {
  raise(unit_event::gotFocus);
  focusFirstOrRemembered();
  return 0;
}

WindowUnit::Handled WindowUnit::onKillFocus(WPARAM, LPARAM) {
  raise(unit_event::lostFocus);
  return 0;
}

WindowUnit::Handled WindowUnit::onDestroyRequest(WPARAM, LPARAM) {
  if (closing_) {
    closing_ = false;
    DestroyWindow(hwnd_);  // deletes this unit
  }
  return 0;
}

WindowUnit::Handled WindowUnit::onWindowShown(WPARAM, LPARAM) { return 0; }

WindowUnit::Handled WindowUnit::onSetFont(WPARAM wParam, LPARAM) {
  font_ = reinterpret_cast<HFONT>(wParam);
  return 0;
}

WindowUnit::Handled WindowUnit::onGetFont(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(font_);
}

// Moved to a monitor of another scale: the system's suggested rectangle, and every control
// laid out and lettered again for the new scale.
WindowUnit::Handled WindowUnit::onDpiChanged(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == 0 || lParam == 0) return std::nullopt;
  changeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
  return 0;
}

// ------------------------------------------------------------------ keyboard

void WindowUnit::focusFirstOrRemembered() {
  if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) &&
      IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
    SetFocus(lastFocus_);
    return;
  }
  std::vector<Unit*> order = focusOrder(window_);
  if (!order.empty()) SetFocus(order.front()->hwnd());
}

bool WindowUnit::pressEnter() {
  Unit* focused = unitHoldingFocus(window_);
  if (focused != nullptr && focused->isDefaultPushButton() && IsWindowEnabled(focused->hwnd())) {
    focused->raise(unit_event::clicked);
    return true;
  }
  if (attributes().enterMovesFocus) {
    moveFocus(window_, true);
    return true;
  }
  if (Unit* button = defaultPushButton(window_)) {
    button->raise(unit_event::clicked);
    return true;
  }
  return false;
}

// Tab and Shift+Tab, Esc and Enter, before dispatch.
bool WindowUnit::preTranslate(MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  Unit* focused = unitHoldingFocus(window_);
  if (focused != nullptr && focused->keepsNavigationKeys()) return false;
  switch (message.wParam) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
      moveFocus(window_, GetKeyState(VK_SHIFT) >= 0);
      return true;
    case VK_ESCAPE:
      if (!attributes().escCloses) return false;
      SendMessageW(hwnd_, WM_CLOSE, 0, 0);  // may destroy this unit: nothing below touches it
      return true;
    case VK_RETURN:
      return pressEnter();
    default:
      return false;  // F1 help is off in every window the frame builds
  }
}
