/* Loads one DLL by its bare name with the ordinary search order, as any program that does
   not restrict its DLL search would: dll_probe <name>. Exit code 0 when it was loaded. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)show;
  return LoadLibraryW(commandLine) != NULL ? 0 : 1;
}
