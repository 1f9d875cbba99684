#include "frame/GdiObject.h"

#include "frame/TemplateReader.h"

COLORREF resolveColour(uint32_t colour) {
  return colour == buttonFaceColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

GdiObject solidBrush(uint32_t colour) {
  return GdiObject(CreateSolidBrush(resolveColour(colour)), true);
}
