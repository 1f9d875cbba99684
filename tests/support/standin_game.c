/* A stand-in for the game: records how it was started, then ends at once.
 *
 * Each start appends to "launch-record.txt" in the folder of its own executable, in UTF-8:
 *   cmdline=<the command line as received>\r\n
 *   cwd=<the current directory>\r\n
 * so a test can copy it into a game folder as Drovar.exe (or as a decoy under another
 * name) and see whether, and how, it was started, whatever the folder is named. Exit
 * code 0. */
#include <windows.h>

#define LONGEST_PATH 32768

static wchar_t path[LONGEST_PATH + 32];
static wchar_t folder[LONGEST_PATH];
static char utf8[4 * LONGEST_PATH];

static void appendText(HANDLE file, const wchar_t* text) {
  DWORD written = 0;
  int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
  if (length > 1) WriteFile(file, utf8, (DWORD)(length - 1), &written, NULL);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  DWORD length = GetModuleFileNameW(NULL, path, LONGEST_PATH);
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  while (length > 0 && path[length - 1] != L'\\') --length;
  path[length] = L'\0';
  lstrcatW(path, L"launch-record.txt");
  GetCurrentDirectoryW(LONGEST_PATH, folder);
  for (int attempt = 0; attempt < 50; ++attempt) {
    HANDLE file =
        CreateFileW(path, FILE_APPEND_DATA, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
      appendText(file, L"cmdline=");
      appendText(file, GetCommandLineW());
      appendText(file, L"\r\ncwd=");
      appendText(file, folder);
      appendText(file, L"\r\n");
      CloseHandle(file);
      break;
    }
    Sleep(20);
  }
  return 0;
}
