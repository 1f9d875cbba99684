// The owner of one GDI object, and the colours of units.
#pragma once

#include <windows.h>

#include <cstdint>

// Owns one GDI object; stock objects are never deleted.
class GdiObject {
 public:
  GdiObject() = default;
  GdiObject(HGDIOBJ object, bool owned) : object_(object), owned_(owned) {}
  ~GdiObject() { reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = other.object_;
      owned_ = other.owned_;
      other.object_ = nullptr;
    }
    return *this;
  }
  HGDIOBJ get() const { return object_; }
  void reset() {
    if (owned_ && object_ != nullptr) DeleteObject(object_);
    object_ = nullptr;
    owned_ = false;
  }

 private:
  HGDIOBJ object_ = nullptr;
  bool owned_ = false;
};

// 0xFF000000 stands for COLOR_BTNFACE, resolved when the colour is applied.
COLORREF resolveColour(uint32_t colour);
GdiObject solidBrush(uint32_t colour);
