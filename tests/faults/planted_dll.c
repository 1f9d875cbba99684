/* A DLL planted in a program's folder under the name of a system DLL. When any process
   loads it, it appends "<program path> <its own path>" and a line break to
   planted-loaded.txt in its own folder, and loads nothing else. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    char self_path[MAX_PATH];
    char record[MAX_PATH + 32];
    DWORD self_length = GetModuleFileNameA(self, self_path, MAX_PATH);
    DWORD length = self_length;
    lstrcpynA(record, self_path, MAX_PATH);
    while (length > 0 && record[length - 1] != '\\') --length;
    lstrcpyA(record + length, "planted-loaded.txt");
    HANDLE file = CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
      char line[2 * MAX_PATH + 4];
      DWORD size = GetModuleFileNameA(NULL, line, MAX_PATH);
      line[size++] = ' ';
      CopyMemory(line + size, self_path, self_length);
      size += self_length;
      line[size++] = '\r';
      line[size++] = '\n';
      DWORD written = 0;
      WriteFile(file, line, size, &written, NULL);
      CloseHandle(file);
    }
  }
  return TRUE;
}
