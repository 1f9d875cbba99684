/* The launcher's window written straight against Win32, with nothing of the launcher's
 * own: no window template, no units, no event dispatch. It makes what start-up makes
 * before the window is visible (OLE, a hidden owner window, the window with its icons and
 * font, the eight controls with their fonts, list entries and item values, the stacking
 * order) in the fewest calls, and shows the window. Its start-up time is the least that
 * this window costs on the system at hand; the launcher's is measured against it. */
#include <ole2.h>
#include <windows.h>

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

static HWND control(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                    int left, int top, int width, int height, int id) {
  HWND made =
      CreateWindowExW(0, className, text, WS_CHILD | WS_CLIPSIBLINGS | style, left, top, width,
                      height, parent, (HMENU)(INT_PTR)id, GetModuleHandleW(NULL), NULL);
  SendMessageW(made, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
  return made;
}

/* A drop-down list as the launcher makes it: taller list items by one pixel, the height with
 * the list dropped down kept at 160 after the font change, the entries with their values. */
static HWND dropDownList(HWND parent, int top, int id, const wchar_t* const* entries,
                         const int* values, int count) {
  HWND list =
      control(parent, L"COMBOBOX", L"",
              WS_VSCROLL | WS_TABSTOP | CBS_AUTOHSCROLL | CBS_DROPDOWNLIST, 92, top, 104, 160, id);
  LRESULT itemHeight = SendMessageW(list, CB_GETITEMHEIGHT, 0, 0);
  int i;
  SendMessageW(list, CB_SETITEMHEIGHT, 0, itemHeight + 1);
  SetWindowPos(list, NULL, 0, 0, 104, 160, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(list, CB_LIMITTEXT, 0, 0);
  for (i = 0; i < count; ++i) {
    LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)entries[i]);
    if (values != NULL) SendMessageW(list, CB_SETITEMDATA, (WPARAM)at, values[i]);
  }
  SendMessageW(list, CB_SETCURSEL, 0, 0);
  return list;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  static const wchar_t* const weapons[] = {L"飞镖", L"飞轮", L"火铳",    L"双刺", L"匕首",
                                           L"长剑", L"长枪", L"大刀",    L"大锤", L"乾坤刀",
                                           L"指虎", L"忍刀", L"各关原版"};
  static const int weaponValues[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 47, 51, 55, 0};
  static const wchar_t* const resolutions[] = {L"800*600", L"1024*788"};
  static const wchar_t* const attributes[] = {L"平均属性（林）", L"攻击属性（火）",
                                              L"防御属性（山）", L"速度属性（风）"};
  static const int attributeValues[] = {1, 2, 3, 4};
  WNDCLASSW windowClass = {0};
  HWND window, controls[8], above = HWND_TOP;
  HICON bigIcon, smallIcon;
  MSG message;
  int i;
  (void)previous;
  (void)commandLine;
  (void)show;

  OleInitialize(NULL);
  CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", 0, 0, 0, 0, 0, NULL, NULL, instance, NULL);

  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"HandBuiltWindow";
  RegisterClassW(&windowClass);
  window = CreateWindowExW(
      0, L"HandBuiltWindow", L"《VarnokII》功能设置", WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
      (GetSystemMetrics(SM_CXSCREEN) - 231) / 2, (GetSystemMetrics(SM_CYSCREEN) - 205) / 2, 231,
      205, NULL, NULL, instance, NULL);
  SendMessageW(window, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
  bigIcon = (HICON)LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, 64, 64, 0);
  smallIcon = (HICON)LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, 64, 64, 0);
  SendMessageW(window, WM_SETICON, ICON_BIG, (LPARAM)bigIcon);
  SendMessageW(window, WM_SETICON, ICON_SMALL, (LPARAM)smallIcon);

  /* Created from the bottom of the stacking order to its top, as the launcher does. */
  controls[7] = dropDownList(window, 16, 100, weapons, weaponValues, 13);
  controls[6] = control(window, L"STATIC", L"副武器选择：", 0, 16, 16, 72, 24, 110);
  controls[5] = control(window, L"STATIC", L"分辨率选择：", 0, 16, 80, 72, 24, 120);
  controls[4] = dropDownList(window, 80, 130, resolutions, NULL, 2);
  controls[3] = dropDownList(window, 40, 140, attributes, attributeValues, 4);
  controls[2] = control(window, L"STATIC", L"副武器属性：", 0, 16, 40, 72, 24, 150);
  controls[1] =
      control(window, L"BUTTON", L"开始游戏", WS_TABSTOP | BS_PUSHBUTTON, 64, 136, 80, 32, 160);
  controls[0] =
      control(window, L"BUTTON", L"窗口化", WS_TABSTOP | BS_AUTOCHECKBOX, 73, 107, 63, 24, 170);
  for (i = 0; i < 8; ++i) {
    SetWindowPos(controls[i], above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    above = controls[i];
  }
  for (i = 0; i < 8; ++i) ShowWindow(controls[i], SW_SHOWNA);

  ShowWindow(window, SW_SHOW);
  SetFocus(controls[7]);
  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DestroyIcon(bigIcon);
  DestroyIcon(smallIcon);
  OleUninitialize();
  return (int)message.wParam;
}
