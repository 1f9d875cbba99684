#include "frame/WindowUnit.h"

#include "frame/FrameState.h"
#include "frame/IcoFile.h"
#include "frame/UnitNumbers.h"
#include "services/Wide.h"

namespace {

// The window is gone: every unit object of it is deleted (its entry stays in the registry),
// and the quit message follows when it was the last window of the program.
void unloadWindow(WindowEntry& entry) {
  for (size_t i = entry.units.size(); i-- > 0;) entry.units[i].live.reset();
  if (!anyWindowAlive() && frameState().loopEntered) PostQuitMessage(0);
}

HICON makeIcon(const std::string& ico, const IcoEntry& e) {
  auto* bits = reinterpret_cast<PBYTE>(const_cast<char*>(ico.data() + e.offset));
  return CreateIconFromResourceEx(bits, e.size, TRUE, 0x00030000, e.width, e.height,
                                  LR_DEFAULTCOLOR);
}

}  // namespace

WindowUnit::~WindowUnit() {
  detach();
  if (ownIcons_) {
    if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
    if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
  }
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
  int left = d.left, top = d.top;
  if (a.startPosition == 1) {
    left = (GetSystemMetrics(SM_CXSCREEN) - d.width) / 2;
    top = (GetSystemMetrics(SM_CYSCREEN) - d.height) / 2;
  } else if (a.startPosition == 2) {
    style |= WS_MINIMIZE;
  } else if (a.startPosition == 3 && resizable) {
    style |= WS_MAXIMIZE;
  }
  background_ = solidBrush(a.backgroundColour);
  HWND hwnd = CreateWindowExW(exStyle, windowClassName, gbkToWide(a.title).c_str(), style, left,
                              top, d.width, d.height, a.showInTaskbar ? nullptr : owner, nullptr,
                              moduleInstance(), this);
  if (hwnd == nullptr) return false;
  RECT r;
  GetWindowRect(hwnd, &r);
  if (r.right - r.left != d.width || r.bottom - r.top != d.height) {
    MoveWindow(hwnd, r.left, r.top, d.width, d.height, FALSE);
  }
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (a.alwaysOnTop)
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!a.movable) DeleteMenu(GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND);
  setIcons();
  return true;
}

void WindowUnit::setIcons() {
  const std::string& ico = attributes().icon;
  std::vector<IcoEntry> entries = icoEntries(ico);
  const IcoEntry* big = pickIcoEntry(entries, 32);
  const IcoEntry* small = pickIcoEntry(entries, 16);
  if (big != nullptr && small != nullptr) {
    bigIcon_ = makeIcon(ico, *big);
    smallIcon_ = makeIcon(ico, *small);
    ownIcons_ = true;
  }
  if (bigIcon_ == nullptr || smallIcon_ == nullptr) {
    // No usable icon of its own: the program's icon resource.
    if (ownIcons_) {
      if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
      if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
    }
    ownIcons_ = false;
    bigIcon_ = smallIcon_ = LoadIconW(moduleInstance(), L"DEFAULT_ICON");
  }
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
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
  if (Unit* unit = unitOfControl(reinterpret_cast<HWND>(lParam))) unit->onCommand(HIWORD(wParam));
  return 0;
}

WindowUnit::Handled WindowUnit::onControlColourMessage(WPARAM wParam, LPARAM lParam) {
  if (Unit* unit = unitOfControl(reinterpret_cast<HWND>(lParam))) {
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
