#include "tests/support/UiProbe.h"

#include <tlhelp32.h>

#include <cwchar>

#include "tests/support/ProgramRun.h"
#include "tests/support/TempFolder.h"

namespace {

// Answers from another process: never wait for ever on a hung window.
LRESULT sendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kPatienceMs, &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

void sendInputs(std::vector<INPUT>& inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT keyInput(UINT virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = static_cast<WORD>(virtualKey);
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

RunningProgram::~RunningProgram() {
  if (!info_.hProcess) return;
  if (running()) {
    TerminateProcess(info_.hProcess, 0xDEAD);
    WaitForSingleObject(info_.hProcess, kPatienceMs);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool RunningProgram::start(const std::string& exe, const std::string& folder,
                           const std::wstring& arguments) {
  const std::wstring program = widePath(exe);
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  return startProcess(program.c_str(), commandLine, widePath(folder).c_str(), 0, nullptr, info_);
}

bool RunningProgram::start(const std::wstring& exe, const std::wstring& folder,
                           const std::wstring* environment) {
  void* block = environment ? const_cast<wchar_t*>(environment->c_str()) : nullptr;
  return startProcess(exe.c_str(), L"\"" + exe + L"\"", folder.c_str(), CREATE_UNICODE_ENVIRONMENT,
                      block, info_);
}

bool RunningProgram::waitExit(DWORD ms, DWORD* code) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(info_.hProcess, code);
  return true;
}

bool RunningProgram::waitIdle(DWORD ms) {
  return info_.hProcess && WaitForInputIdle(info_.hProcess, ms) == 0;
}

void RunningProgram::kill() {
  if (!info_.hProcess) return;
  TerminateProcess(info_.hProcess, 9);
  WaitForSingleObject(info_.hProcess, kPatienceMs);
  for (DWORD child : childProcesses(info_.dwProcessId)) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, child);
    if (process == nullptr) continue;
    TerminateProcess(process, 9);
    WaitForSingleObject(process, kPatienceMs);
    CloseHandle(process);
  }
}

bool RunningProgram::running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<DWORD> childProcesses(DWORD pid, const wchar_t* exeName) {
  std::vector<DWORD> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == pid && entry.th32ProcessID != pid &&
        (exeName == nullptr || _wcsicmp(entry.szExeFile, exeName) == 0)) {
      children.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return children;
}

std::vector<HWND> topWindows(DWORD pid, const wchar_t* className) {
  return visibleTopWindows(
      [&](HWND window) { return processOf(window) == pid && classOf(window) == className; });
}

HWND waitForWindow(DWORD pid, const wchar_t* className, DWORD ms) {
  HWND window = nullptr;
  waitUntil(
      [&] {
        std::vector<HWND> found = topWindows(pid, className);
        window = found.empty() ? nullptr : found.front();
        return window != nullptr;
      },
      ms);
  return window;
}

std::wstring textOf(HWND window) {
  LRESULT length = sendTo(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got = sendTo(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

RECT rectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::vector<ChildInfo> childrenOf(HWND parent) {
  std::vector<ChildInfo> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back({child, GetDlgCtrlID(child), classOf(child), rectInParent(child),
                        textOf(child), GetWindowLongW(child, GWL_STYLE)});
  }
  return children;
}

HWND childById(HWND parent, int id) {
  for (const ChildInfo& child : childrenOf(parent)) {
    if (child.id == id) return child.window;
  }
  return nullptr;
}

ListState readList(HWND combo) {
  ListState state{{}, {}, static_cast<int>(sendTo(combo, CB_GETCURSEL, 0, 0))};
  LRESULT count = sendTo(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = sendTo(combo, CB_GETLBTEXTLEN, i, 0);
    std::wstring entry(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
    LRESULT got = sendTo(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(got > 0 ? static_cast<size_t>(got) : 0);
    state.entries.push_back(entry);
    state.itemValues.push_back(static_cast<LONG_PTR>(sendTo(combo, CB_GETITEMDATA, i, 0)));
  }
  return state;
}

bool isTicked(HWND checkBox) { return sendTo(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

HWND focusOf(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(threadId, &info)) return nullptr;
  return info.hwndFocus;
}

HWND waitFocusChange(DWORD threadId, HWND from, DWORD ms) {
  HWND focus = from;
  waitUntil(
      [&] {
        focus = focusOf(threadId);
        return focus != from;
      },
      ms);
  return focus;
}

int focusReaching(DWORD threadId, int want, DWORD ms) {
  int id = 0;
  waitUntil(
      [&] {
        HWND focus = focusOf(threadId);
        id = focus ? GetDlgCtrlID(focus) : 0;
        return id == want;
      },
      ms);
  return id;
}

void postKey(HWND target, UINT virtualKey) {
  LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(target, WM_KEYDOWN, virtualKey, scan | 1);
  PostMessageW(target, WM_KEYUP, virtualKey, scan | 1 | (1u << 30) | (1u << 31));
}

void typeKey(UINT virtualKey, const std::vector<UINT>& modifiers) {
  std::vector<INPUT> inputs;
  for (UINT modifier : modifiers) inputs.push_back(keyInput(modifier, false));
  inputs.push_back(keyInput(virtualKey, false));
  inputs.push_back(keyInput(virtualKey, true));
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
    inputs.push_back(keyInput(*it, true));
  }
  sendInputs(inputs);
}

void clickAt(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  std::vector<INPUT> inputs(2);
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  sendInputs(inputs);
}

bool closeBoxPoint(HWND window, POINT* screen) {
  RECT rect{};
  GetWindowRect(window, &rect);
  for (int y = rect.top + 1; y < rect.top + 40 && y < rect.bottom; ++y) {
    for (int x = rect.right - 2; x > rect.left + (rect.right - rect.left) / 2; --x) {
      if (sendTo(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
        *screen = {x - 3, y + 3};
        return sendTo(window, WM_NCHITTEST, 0, MAKELPARAM(x - 3, y + 3)) == HTCLOSE;
      }
    }
  }
  return false;
}
