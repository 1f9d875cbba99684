// Functions of the system's DLLs that older systems may lack, looked up at run time.
#pragma once

// The function `name` of the system DLL `library` (for example L"shcore.dll"), or null when
// the system has no such DLL or function. The DLL is loaded by its full path in the system
// folder, never found by a search, so a copy placed in the program's folder or the current
// directory is never loaded. It stays loaded for the rest of the process.
void* systemFunctionAddress(const wchar_t* library, const char* name);

// The same, typed: `Function` is the function's pointer type.
template <typename Function>
Function systemFunction(const wchar_t* library, const char* name) {
  return reinterpret_cast<Function>(systemFunctionAddress(library, name));
}
