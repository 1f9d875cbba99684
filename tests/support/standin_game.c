/* A stand-in for the game: records how it was started, then ends at once.
 *
 * Each start appends to "launch-record.txt" in the folder of its own executable:
 *   cmdline=<the command line as received>\r\n
 *   cwd=<the current directory>\r\n
 * so a test can copy it into a game folder as Drovar.exe (or as a decoy under another
 * name) and see whether, and how, it was started. Exit code 0. */
#include <windows.h>

static void appendText(HANDLE file, const char* text) {
  DWORD written = 0;
  WriteFile(file, text, lstrlenA(text), &written, NULL);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  char path[MAX_PATH + 32];
  char folder[MAX_PATH];
  DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  while (length > 0 && path[length - 1] != '\\') --length;
  path[length] = '\0';
  lstrcatA(path, "launch-record.txt");
  GetCurrentDirectoryA(MAX_PATH, folder);
  for (int attempt = 0; attempt < 50; ++attempt) {
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
      appendText(file, "cmdline=");
      appendText(file, GetCommandLineA());
      appendText(file, "\r\ncwd=");
      appendText(file, folder);
      appendText(file, "\r\n");
      CloseHandle(file);
      break;
    }
    Sleep(20);
  }
  return 0;
}
