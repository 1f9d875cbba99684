#include "frame/Units.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "frame/FrameState.h"
#include "services/Wide.h"

namespace {

constexpr wchar_t windowClassName[] = L"WTWindow";
constexpr wchar_t labelClassName[] = L"WTLabel";
constexpr wchar_t unitProperty[] = L"WTUnit";
constexpr UINT gbkCodePage = 936;

HINSTANCE moduleInstance() { return GetModuleHandleW(nullptr); }

GdiObject solidBrush(uint32_t colour) {
  return GdiObject(CreateSolidBrush(resolveColour(colour)), true);
}

DWORD horizontalButtonAlignment(int32_t a) {
  return a == 0 ? BS_LEFT : a == 2 ? BS_RIGHT : BS_CENTER;
}
DWORD verticalButtonAlignment(int32_t a) {
  return a == 0 ? BS_TOP : a == 2 ? BS_BOTTOM : BS_VCENTER;
}

// The window is gone: every unit object of it is deleted (its entry stays in the registry),
// and the quit message follows when it was the last window of the program.
void unloadWindow(WindowEntry& entry) {
  for (size_t i = entry.units.size(); i-- > 0;) entry.units[i].live.reset();
  if (!anyWindowAlive() && frameState().loopEntered) PostQuitMessage(0);
}

// Reads a little-endian field of an ICO file; false when it lies outside the data.
bool readIcoField(const std::string& ico, size_t at, size_t size, uint32_t& value) {
  if (at > ico.size() || size > ico.size() - at) return false;
  value = 0;
  for (size_t i = 0; i < size; ++i)
    value |= uint32_t(static_cast<unsigned char>(ico[at + i])) << (8 * i);
  return true;
}

struct IcoEntry {
  int width = 0, height = 0;
  uint32_t colourCount = 0, size = 0, offset = 0;
};

std::vector<IcoEntry> icoEntries(const std::string& ico) {
  std::vector<IcoEntry> entries;
  uint32_t type = 0, count = 0;
  if (!readIcoField(ico, 2, 2, type) || type != 1 || !readIcoField(ico, 4, 2, count))
    return entries;
  for (uint32_t i = 0; i < count; ++i) {
    size_t at = 6 + size_t(i) * 16;
    IcoEntry e;
    uint32_t w = 0, h = 0;
    if (!readIcoField(ico, at, 1, w) || !readIcoField(ico, at + 1, 1, h) ||
        !readIcoField(ico, at + 2, 1, e.colourCount) || !readIcoField(ico, at + 8, 4, e.size) ||
        !readIcoField(ico, at + 12, 4, e.offset)) {
      break;
    }
    e.width = w == 0 ? 256 : int(w);
    e.height = h == 0 ? 256 : int(h);
    if (e.offset > ico.size() || e.size > ico.size() - e.offset) break;
    entries.push_back(e);
  }
  return entries;
}

// The first entry of the wanted width with more than 15 colours, else the last entry.
const IcoEntry* pickIcoEntry(const std::vector<IcoEntry>& entries, int width) {
  for (const IcoEntry& e : entries) {
    if (e.width == width && e.colourCount > 15) return &e;
  }
  return entries.empty() ? nullptr : &entries.back();
}

HICON makeIcon(const std::string& ico, const IcoEntry& e) {
  auto* bits = reinterpret_cast<PBYTE>(const_cast<char*>(ico.data() + e.offset));
  return CreateIconFromResourceEx(bits, e.size, TRUE, 0x00030000, e.width, e.height,
                                  LR_DEFAULTCOLOR);
}

}  // namespace

COLORREF resolveColour(uint32_t colour) {
  return colour == buttonFaceColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

namespace {

// True when the font selected into dc draws every character of text with its own glyphs.
bool drawsAll(HDC dc, const wchar_t* text) {
  WORD glyphs[16];
  int length = lstrlenW(text);
  if (GetGlyphIndicesW(dc, text, length, glyphs, GGI_MARK_NONEXISTING_GLYPHS) != DWORD(length)) {
    return false;
  }
  for (int i = 0; i < length; ++i) {
    if (glyphs[i] == 0xFFFF) return false;
  }
  return true;
}

// The character height of a Chinese system's interface font, which the window's layout is
// made for. Chinese faces drawn smaller lose strokes: 开 comes out as a J.
constexpr LONG chineseInterfaceHeight = -12;

// The description of an installed face that draws both the Latin and the Chinese characters
// of the window's texts, in the size of the default font but no smaller than a Chinese
// system's interface font; nothing when there is none.
std::optional<LOGFONTW> chineseFontLike(const LOGFONTW& base) {
  static const wchar_t* const faces[] = {
      L"Microsoft YaHei",     L"SimSun",          L"NSimSun", L"WenQuanYi Zen Hei",
      L"WenQuanYi Micro Hei", L"Noto Sans CJK SC"};
  HDC dc = GetDC(nullptr);
  std::optional<LOGFONTW> found;
  for (const wchar_t* face : faces) {
    LOGFONTW font = base;
    if (font.lfHeight <= 0) font.lfHeight = std::min(font.lfHeight, chineseInterfaceHeight);
    font.lfCharSet = GB2312_CHARSET;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    HFONT candidate = CreateFontIndirectW(&font);
    if (candidate == nullptr) continue;
    HGDIOBJ old = SelectObject(dc, candidate);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, chosen);
    bool fits = lstrcmpiW(chosen, face) == 0 && drawsAll(dc, L"8*Aw\x526F\x6B66\x5668\x9009");
    SelectObject(dc, old);
    DeleteObject(candidate);
    if (fits) {
      found = font;
      break;
    }
  }
  ReleaseDC(nullptr, dc);
  return found;
}

}  // namespace

GdiObject defaultUnitFont() {
  HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
  if (GetACP() == gbkCodePage) return GdiObject(stock, false);
  // Where the system's code page is not GBK, its default font may lack the Chinese
  // characters of the captions and entries (or draw them only through font links): a
  // Chinese face of the same size instead, when one is installed. The faces are searched
  // once; each unit then gets its own font of the one found.
  static const std::optional<LOGFONTW> chinese = [stock]() -> std::optional<LOGFONTW> {
    LOGFONTW font;
    if (GetObjectW(stock, sizeof font, &font) != sizeof font) return std::nullopt;
    return chineseFontLike(font);
  }();
  HFONT made = chinese ? CreateFontIndirectW(&*chinese) : nullptr;
  if (made == nullptr) return GdiObject(stock, false);
  return GdiObject(made, true);
}

GdiObject makeUnitFont(const std::string& logFont) {
  if (logFont.size() != sizeof(LOGFONTA)) return defaultUnitFont();
  LOGFONTA narrow;
  std::memcpy(&narrow, logFont.data(), sizeof narrow);
  LOGFONTW font;
  std::memcpy(&font, &narrow, offsetof(LOGFONTA, lfFaceName));
  std::string face(narrow.lfFaceName, strnlen(narrow.lfFaceName, LF_FACESIZE));
  std::wstring wideFace = gbkToWide(face).substr(0, LF_FACESIZE - 1);
  std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
  std::copy(wideFace.begin(), wideFace.end(), font.lfFaceName);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = 0;
  font.lfClipPrecision = 0;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = 0;
  HFONT made = CreateFontIndirectW(&font);
  if (made == nullptr) return defaultUnitFont();
  return GdiObject(made, true);
}

// ------------------------------------------------------------------ unit links

void Unit::attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, unitProperty, this);
}

void Unit::detach() {
  if (hwnd_ != nullptr) RemovePropW(hwnd_, unitProperty);
}

Unit* unitFromHandle(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  return static_cast<Unit*>(GetPropW(hwnd, unitProperty));
}

bool registerUnitClasses() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW window{};
  window.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  window.lpfnWndProc = &WindowUnit::procedure;
  window.hInstance = moduleInstance();
  window.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  window.lpszClassName = windowClassName;
  WNDCLASSW label = window;
  label.lpfnWndProc = &LabelUnit::procedure;
  label.lpszClassName = labelClassName;
  if (RegisterClassW(&window) == 0 || RegisterClassW(&label) == 0) return false;
  registered = true;
  return true;
}

std::unique_ptr<Unit> makeUnit(WindowEntry& window, size_t index) {
  switch (window.units[index].description->kind) {
    case unit_kind::window:
      return std::make_unique<WindowUnit>(window, index);
    case unit_kind::label:
      return std::make_unique<LabelUnit>(window, index);
    case unit_kind::button:
      return std::make_unique<ButtonUnit>(window, index);
    case unit_kind::checkBox:
      return std::make_unique<CheckBoxUnit>(window, index);
    case unit_kind::dropDownList:
      return std::make_unique<DropDownListUnit>(window, index);
    default:
      return nullptr;
  }
}

// ------------------------------------------------------------------ window

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

std::vector<Unit*> WindowUnit::focusOrder() const {
  std::vector<Unit*> order;
  for (size_t i = window_.units.size(); i-- > 1;) {
    Unit* unit = window_.units[i].live.get();
    if (unit == nullptr || unit->handle() == nullptr || !unit->canTakeFocus()) continue;
    if (!(unit->description().flags & unitTabStop)) continue;
    if (!IsWindowVisible(unit->handle()) || !IsWindowEnabled(unit->handle())) continue;
    order.push_back(unit);
  }
  std::stable_sort(order.begin(), order.end(), [](const Unit* a, const Unit* b) {
    return a->description().tabOrder < b->description().tabOrder;
  });
  return order;
}

Unit* WindowUnit::unitOfControl(HWND control) const {
  if (control == nullptr) return nullptr;
  for (size_t i = 1; i < window_.units.size(); ++i) {
    Unit* unit = window_.units[i].live.get();
    if (unit != nullptr && unit->ownsHandle(control)) return unit;
  }
  return nullptr;
}

Unit* WindowUnit::unitHoldingFocus() const {
  for (HWND h = GetFocus(); h != nullptr && h != hwnd_; h = GetParent(h)) {
    if (Unit* unit = unitOfControl(h)) return unit;
  }
  return nullptr;
}

void WindowUnit::moveFocus(bool forward) {
  std::vector<Unit*> order = focusOrder();
  if (order.empty()) return;
  Unit* current = unitHoldingFocus();
  auto at = std::find(order.begin(), order.end(), current);
  size_t next;
  if (at == order.end()) {
    next = forward ? 0 : order.size() - 1;
  } else {
    size_t i = static_cast<size_t>(at - order.begin());
    next = forward ? (i + 1) % order.size() : (i + order.size() - 1) % order.size();
  }
  SetFocus(order[next]->handle());
}

void WindowUnit::focusFirstOrRemembered() {
  if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) &&
      IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
    SetFocus(lastFocus_);
    return;
  }
  std::vector<Unit*> order = focusOrder();
  if (!order.empty()) SetFocus(order.front()->handle());
}

bool WindowUnit::pressEnter() {
  Unit* focused = unitHoldingFocus();
  if (focused != nullptr && focused->isDefaultPushButton() && IsWindowEnabled(focused->handle())) {
    focused->raise(0);
    return true;
  }
  if (attributes().enterMovesFocus) {
    moveFocus(true);
    return true;
  }
  for (size_t i = 1; i < window_.units.size(); ++i) {
    Unit* unit = window_.units[i].live.get();
    if (unit != nullptr && unit->isDefaultPushButton()) {
      unit->raise(0);
      return true;
    }
  }
  return false;
}

bool WindowUnit::preTranslate(MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  Unit* focused = unitHoldingFocus();
  if (focused != nullptr && focused->keepsNavigationKeys()) return false;
  switch (message.wParam) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
      moveFocus(GetKeyState(VK_SHIFT) >= 0);
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

void WindowUnit::requestDestroy(bool atOnce) {
  closing_ = true;
  if (atOnce) {
    closing_ = false;
    DestroyWindow(hwnd_);
    return;
  }
  PostMessageW(hwnd_, destroyRequestMessage, 0, 0);
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
  if (number != destroyMethod) return false;
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
  return unit->handle(message, wParam, lParam);
}

LRESULT WindowUnit::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole update area
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(background_.get()));
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_COMMAND: {
      WORD id = LOWORD(wParam);
      // 0xE100 and above: the system's own commands; 20000 and above: menu items, of which
      // no window of the frame has any. Below: a control's notification.
      if (id >= 20000) return 0;
      if (Unit* unit = unitOfControl(reinterpret_cast<HWND>(lParam)))
        unit->onCommand(HIWORD(wParam));
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      if (Unit* unit = unitOfControl(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = unit->onControlColour(reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    case WM_CLOSE: {
      // A close request ("End task", or any other sender) that arrives while a launcher
      // routine runs, in the loop of its message box, waits until the routine has returned:
      // an apply once started runs to its end.
      if (frameState().handlersRunning > 0) {
        closeHeld_ = true;
        return 0;
      }
      EventRecord event;
      if (raise(1, &event) && event.hasResult && event.result == 0) return 0;
      break;  // default processing destroys the window
    }
    case WM_DESTROY:
      raise(2);
      break;
    case WM_MOVE:
      raise(3);
      break;
    case WM_SIZE:
      raise(4);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        if (!firstActivated_) {
          firstActivated_ = true;
          raise(8);
        }
        raise(5);
      } else {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd, focus)) lastFocus_ = focus;
        raise(6);
      }
      break;
    case WM_SHOWWINDOW:
      raise(wParam ? 10 : 11);
      break;
    case WM_SETFOCUS:
      raise(-7);
      focusFirstOrRemembered();
      return 0;
    case WM_KILLFOCUS:
      raise(-8);
      return 0;
    case destroyRequestMessage:
      if (closing_) {
        closing_ = false;
        DestroyWindow(hwnd);  // deletes this unit
      }
      return 0;
    case windowShownMessage:
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// ------------------------------------------------------------------ controls

ControlUnit::~ControlUnit() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    detach();
  }
}

bool ControlUnit::createControl(const wchar_t* className, const std::wstring& text, DWORD style,
                                HWND parent, int childId, int heightOverride) {
  const UnitTemplate& d = description();
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (d.flags & unitTabStop) style |= WS_TABSTOP;
  if (d.flags & unitDisabled) style |= WS_DISABLED;
  int height = heightOverride >= 0 ? heightOverride : d.height;
  HWND hwnd = CreateWindowExW(0, className, text.c_str(), style, d.left, d.top, d.width, height,
                              parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)),
                              moduleInstance(), nullptr);
  if (hwnd == nullptr) return false;
  attach(hwnd);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlUnit::procedure)));
  return true;
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
  return unit->handle(message, wParam, lParam);
}

LRESULT ControlUnit::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS: {
      LRESULT result = callOriginal(message, wParam, lParam);
      raise(-7);
      return result;
    }
    case WM_KILLFOCUS: {
      LRESULT result = callOriginal(message, wParam, lParam);
      raise(-8);
      return result;
    }
    case windowShownMessage:
      return 0;
    default:
      return callOriginal(message, wParam, lParam);
  }
}

// ------------------------------------------------------------------ label

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
  font_ = makeUnitFont(a.font);
  HWND hwnd = CreateWindowExW(
      exStyle, labelClassName, gbkToWide(a.text).c_str(), style, d.left, d.top, d.width, d.height,
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)), moduleInstance(), this);
  return hwnd != nullptr;
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

// ------------------------------------------------------------------ button

const ButtonAttributes& ButtonUnit::attributes() const {
  return std::get<ButtonAttributes>(description().attributes);
}

bool ButtonUnit::create(HWND parent, int childId) {
  const ButtonAttributes& a = attributes();
  DWORD style = BS_MULTILINE | (a.type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                horizontalButtonAlignment(a.hAlign) | verticalButtonAlignment(a.vAlign);
  if (!createControl(L"BUTTON", gbkToWide(a.text), style, parent, childId)) return false;
  font_ = makeUnitFont(a.font);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return true;
}

void ButtonUnit::onCommand(WORD code) {
  if (code == BN_CLICKED) raise(0);
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
  font_ = makeUnitFont(a.font);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  if (a.ticked == 1) SendMessageW(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
  return true;
}

void CheckBoxUnit::onCommand(WORD code) {
  if (code == BN_CLICKED) raise(0);
}

HBRUSH CheckBoxUnit::onControlColour(HDC dc) {
  SetTextColor(dc, resolveColour(attributes().textColour));
  SetBkColor(dc, resolveColour(attributes().backgroundColour));
  return static_cast<HBRUSH>(background_.get());
}

bool CheckBoxUnit::readProperty(int32_t number, int32_t& value) {
  if (number != tickStateProperty) return false;
  value = SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  return true;
}

bool CheckBoxUnit::writeProperty(int32_t number, int32_t value) {
  if (number != tickStateProperty) return false;
  SendMessageW(hwnd_, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  return true;
}

// ------------------------------------------------------------------ drop-down list

const DropDownListAttributes& DropDownListUnit::attributes() const {
  return std::get<DropDownListAttributes>(description().attributes);
}

bool DropDownListUnit::create(HWND parent, int childId) {
  const DropDownListAttributes& a = attributes();
  DWORD style = WS_VSCROLL | CBS_AUTOHSCROLL;
  style |= a.listType == 0 ? CBS_SIMPLE : a.listType == 1 ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
  if (a.sorted) style |= CBS_SORT;
  int height = description().height;
  if (a.listType == 1 || a.listType == 2) height = std::max(height, 160);
  background_ = solidBrush(a.backgroundColour);
  if (!createControl(L"COMBOBOX", L"", style, parent, childId, height)) return false;
  font_ = makeUnitFont(a.font);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  LRESULT itemHeight = SendMessageW(hwnd_, CB_GETITEMHEIGHT, 0, 0);
  SendMessageW(hwnd_, CB_SETITEMHEIGHT, 0, itemHeight + a.extraItemHeight);
  if (a.listType == 1 || a.listType == 2) {
    // The font changed the height of the selection field: the list dropped down keeps the
    // total height the list was created with.
    SetWindowPos(hwnd_, nullptr, 0, 0, description().width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
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
  if (code == CBN_SELENDOK) PostMessageW(hwnd_, listSelectedMessage, 0, 0);
}

LRESULT DropDownListUnit::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == listSelectedMessage) {
    raise(0);
    return 0;
  }
  return ControlUnit::handle(message, wParam, lParam);
}

HBRUSH DropDownListUnit::onControlColour(HDC dc) {
  SetTextColor(dc, resolveColour(attributes().textColour));
  SetBkColor(dc, resolveColour(attributes().backgroundColour));
  return static_cast<HBRUSH>(background_.get());
}

bool DropDownListUnit::readProperty(int32_t number, int32_t& value) {
  if (number != currentSelectionProperty) return false;
  value = static_cast<int32_t>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
  return true;
}

bool DropDownListUnit::writeProperty(int32_t number, int32_t value) {
  if (number != currentSelectionProperty) return false;
  select(value);
  return true;
}

bool DropDownListUnit::callMethod(int32_t number, std::span<const int32_t> arguments,
                                  int32_t& result) {
  if (number != itemValueMethod) return false;
  int32_t index = arguments.empty() ? 0 : arguments[0];
  auto count = static_cast<int32_t>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
  result = index < 0 || index >= count ? -1
                                       : static_cast<int32_t>(SendMessageW(
                                             hwnd_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  return true;
}
