#include "services/MessageBox.h"

#include <windows.h>

#include "GbkTexts.h"
#include "services/Wide.h"

uint32_t messageBoxStyle(int32_t buttons) {
  uint32_t style = static_cast<uint32_t>(buttons);
  return (style & MB_SYSTEMMODAL) != 0 ? style : style | MB_TASKMODAL;
}

int32_t messageBoxResult(int platformResult) {
  return platformResult >= IDOK && platformResult <= IDNO ? platformResult - IDOK : 0;
}

int32_t messageBox(const Text& message, int32_t buttons, const std::optional<Text>& caption) {
  std::wstring text = gbkToWide(message);
  std::wstring title = gbkToWide(caption ? caption->view() : std::string_view(gbk::defaultCaption));
  // A quit request already made (the last window gone) would end the box before it is
  // seen: it is taken out while the box is up and made again once the box is answered.
  MSG quit{};
  bool quitPending = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
  int pressed = MessageBoxW(nullptr, text.c_str(), title.c_str(), messageBoxStyle(buttons));
  if (quitPending) PostQuitMessage(static_cast<int>(quit.wParam));
  return messageBoxResult(pressed);
}

int32_t messageBox(const std::wstring& message, int32_t buttons) {
  std::wstring title = gbkToWide(gbk::defaultCaption);
  return messageBoxResult(
      MessageBoxW(nullptr, message.c_str(), title.c_str(), messageBoxStyle(buttons)));
}
