// The label: a "WTLabel" window that the frame paints itself (background, font, colour,
// alignment, word wrap).
#pragma once

#include "frame/GdiObject.h"
#include "frame/Unit.h"

inline constexpr wchar_t labelClassName[] = L"WTLabel";

class LabelUnit final : public Unit {
 public:
  using Unit::Unit;
  ~LabelUnit() override;
  bool create(HWND parent, int childId) override;
  void applyDpi(int32_t dpi) override;
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  const LabelAttributes& attributes() const;
  void paint();
  GdiObject font_;
};
