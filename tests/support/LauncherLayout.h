// The launcher window's controls as the window template lays them out, in stacking order
// from the top (the template order): what the tests compare the built window with.
#pragma once

#include <cstdint>

struct LayoutControl {
  uint32_t unit;                 // unit id in the template
  int childId;                   // control id of the native window
  const wchar_t* className;      // compared without regard to case
  int left, top, right, bottom;  // in the client area; lists: bottom 0 (the system's height)
  const wchar_t* text;           // the caption; lists: the entry shown on a first start
};

inline constexpr LayoutControl kLauncherLayout[] = {
    {0x16010049, 170, L"BUTTON", 73, 107, 136, 131, L"窗口化"},         // 选择框1
    {0x16010029, 160, L"BUTTON", 64, 136, 144, 168, L"开始游戏"},       // 按钮1
    {0x16010025, 150, L"WTLabel", 16, 40, 88, 64, L"副武器属性："},     // 标签3
    {0x16010026, 140, L"COMBOBOX", 92, 40, 196, 0, L"平均属性（林）"},  // 组合框3
    {0x1601000B, 130, L"COMBOBOX", 92, 80, 196, 0, L"800*600"},         // 组合框2
    {0x1601000A, 120, L"WTLabel", 16, 80, 88, 104, L"分辨率选择："},    // 标签2
    {0x16010007, 110, L"WTLabel", 16, 16, 88, 40, L"副武器选择："},     // 标签1
    {0x16010002, 100, L"COMBOBOX", 92, 16, 196, 0, L"飞镖"},            // 组合框1
};
