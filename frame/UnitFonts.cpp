#include "frame/UnitFonts.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "frame/DisplayScale.h"
#include "frame/MonitorScale.h"
#include "services/Wide.h"

namespace {

// True when the font selected into dc draws every character of text with its own glyphs.
bool drawsAll(HDC dc, const wchar_t* text) {
  WORD glyphs[16];
  int length = lstrlenW(text);
  if (GetGlyphIndicesW(dc, text, length, glyphs, GGI_MARK_NONEXISTING_GLYPHS) != DWORD(length)) {
    return false;
  }
  for (int i = 0; i < length; ++i) {
    if (glyphs[i] == 0xFFFF) return false;
  }
  return true;
}

// The character height of a Chinese system's interface font at 96 DPI, which the window's
// layout is made for. Chinese faces drawn smaller lose strokes: 开 comes out as a J.
constexpr LONG chineseInterfaceHeight = -12;

// The description of an installed face that draws both the Latin and the Chinese characters
// of the window's texts, in the size of the default font; nothing when there is none.
std::optional<LOGFONTW> chineseFontLike(const LOGFONTW& base) {
  static const wchar_t* const faces[] = {
      L"Microsoft YaHei",     L"SimSun",          L"NSimSun", L"WenQuanYi Zen Hei",
      L"WenQuanYi Micro Hei", L"Noto Sans CJK SC"};
  HDC dc = GetDC(nullptr);
  std::optional<LOGFONTW> found;
  for (const wchar_t* face : faces) {
    LOGFONTW font = base;
    font.lfCharSet = GB2312_CHARSET;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    HFONT candidate = CreateFontIndirectW(&font);
    if (candidate == nullptr) continue;
    HGDIOBJ old = SelectObject(dc, candidate);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, chosen);
    bool fits = lstrcmpiW(chosen, face) == 0 && drawsAll(dc, L"8*Aw\x526F\x6B66\x5668\x9009");
    SelectObject(dc, old);
    DeleteObject(candidate);
    if (fits) {
      found = font;
      break;
    }
  }
  ReleaseDC(nullptr, dc);
  return found;
}

// A character height (or width) for another scale.
LONG sizeAt(LONG size, int32_t from, int32_t to) {
  return static_cast<LONG>(MulDiv(size, to, from));
}

}  // namespace

GdiObject defaultUnitFont(int32_t dpi) {
  HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
  // The stock font is made for the system's scale; for a monitor of another scale the same
  // face is made anew at that scale's character height, never stretched as a bitmap.
  static const int32_t stockDpi = systemDpi();
  static const std::optional<LOGFONTW> stockFont = [stock]() -> std::optional<LOGFONTW> {
    LOGFONTW font;
    if (GetObjectW(stock, sizeof font, &font) != sizeof font) return std::nullopt;
    return font;
  }();
  if (GetACP() == gbkCodePage) {
    if (dpi == stockDpi || !stockFont) return GdiObject(stock, false);
    LOGFONTW font = *stockFont;
    font.lfHeight = sizeAt(font.lfHeight, stockDpi, dpi);
    font.lfWidth = sizeAt(font.lfWidth, stockDpi, dpi);
    HFONT made = CreateFontIndirectW(&font);
    return made != nullptr ? GdiObject(made, true) : GdiObject(stock, false);
  }
  // Where the system's code page is not GBK, its default font may lack the Chinese
  // characters of the captions and entries (or draw them only through font links): a
  // Chinese face of the same size instead, when one is installed, no smaller than a Chinese
  // system's interface font at the same scale. The faces are searched once; each unit then
  // gets its own font of the one found.
  static const std::optional<LOGFONTW> chinese = []() -> std::optional<LOGFONTW> {
    if (!stockFont) return std::nullopt;
    return chineseFontLike(*stockFont);
  }();
  if (!chinese) return GdiObject(stock, false);
  LOGFONTW font = *chinese;
  font.lfHeight = sizeAt(font.lfHeight, stockDpi, dpi);
  font.lfWidth = sizeAt(font.lfWidth, stockDpi, dpi);
  if (font.lfHeight <= 0) {
    font.lfHeight = std::min(font.lfHeight, sizeAt(chineseInterfaceHeight, templateDpi, dpi));
  }
  HFONT made = CreateFontIndirectW(&font);
  if (made == nullptr) return GdiObject(stock, false);
  return GdiObject(made, true);
}

GdiObject makeUnitFont(const std::string& logFont, int32_t dpi) {
  if (logFont.size() != sizeof(LOGFONTA)) return defaultUnitFont(dpi);
  LOGFONTA narrow;
  std::memcpy(&narrow, logFont.data(), sizeof narrow);
  LOGFONTW font;
  std::memcpy(&font, &narrow, offsetof(LOGFONTA, lfFaceName));
  std::string face(narrow.lfFaceName, strnlen(narrow.lfFaceName, LF_FACESIZE));
  std::wstring wideFace = gbkToWide(face).substr(0, LF_FACESIZE - 1);
  std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
  std::copy(wideFace.begin(), wideFace.end(), font.lfFaceName);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = 0;
  font.lfClipPrecision = 0;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = 0;
  // The template's font sizes are given for 96 DPI.
  font.lfHeight = scaleToDpi(font.lfHeight, dpi);
  font.lfWidth = scaleToDpi(font.lfWidth, dpi);
  HFONT made = CreateFontIndirectW(&font);
  if (made == nullptr) return defaultUnitFont(dpi);
  return GdiObject(made, true);
}
