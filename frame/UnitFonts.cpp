#include "frame/UnitFonts.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "services/Wide.h"

namespace {

constexpr UINT gbkCodePage = 936;

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

// The character height of a Chinese system's interface font, which the window's layout is
// made for. Chinese faces drawn smaller lose strokes: 开 comes out as a J.
constexpr LONG chineseInterfaceHeight = -12;

// The description of an installed face that draws both the Latin and the Chinese characters
// of the window's texts, in the size of the default font but no smaller than a Chinese
// system's interface font; nothing when there is none.
std::optional<LOGFONTW> chineseFontLike(const LOGFONTW& base) {
  static const wchar_t* const faces[] = {
      L"Microsoft YaHei",     L"SimSun",          L"NSimSun", L"WenQuanYi Zen Hei",
      L"WenQuanYi Micro Hei", L"Noto Sans CJK SC"};
  HDC dc = GetDC(nullptr);
  std::optional<LOGFONTW> found;
  for (const wchar_t* face : faces) {
    LOGFONTW font = base;
    if (font.lfHeight <= 0) font.lfHeight = std::min(font.lfHeight, chineseInterfaceHeight);
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

}  // namespace

GdiObject defaultUnitFont() {
  HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
  if (GetACP() == gbkCodePage) return GdiObject(stock, false);
  // Where the system's code page is not GBK, its default font may lack the Chinese
  // characters of the captions and entries (or draw them only through font links): a
  // Chinese face of the same size instead, when one is installed. The faces are searched
  // once; each unit then gets its own font of the one found.
  static const std::optional<LOGFONTW> chinese = [stock]() -> std::optional<LOGFONTW> {
    LOGFONTW font;
    if (GetObjectW(stock, sizeof font, &font) != sizeof font) return std::nullopt;
    return chineseFontLike(font);
  }();
  HFONT made = chinese ? CreateFontIndirectW(&*chinese) : nullptr;
  if (made == nullptr) return GdiObject(stock, false);
  return GdiObject(made, true);
}

GdiObject makeUnitFont(const std::string& logFont) {
  if (logFont.size() != sizeof(LOGFONTA)) return defaultUnitFont();
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
  HFONT made = CreateFontIndirectW(&font);
  if (made == nullptr) return defaultUnitFont();
  return GdiObject(made, true);
}
