// Reading the serialized window template: the window table, and for each window its units
// with their common attributes, event bindings and kind blocks. Portable: the reader only
// looks at bytes, and every read is checked against the end of the data.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace unit_kind {
inline constexpr uint32_t window = 0x00010001;
inline constexpr uint32_t label = 0x0001000A;
inline constexpr uint32_t button = 0x0001000B;
inline constexpr uint32_t checkBox = 0x0001000C;
inline constexpr uint32_t dropDownList = 0x0001000E;
}  // namespace unit_kind

// The colour value that stands for the system button face colour.
inline constexpr uint32_t buttonFaceColour = 0xFF000000;

// Unit flag bits.
inline constexpr uint32_t unitVisible = 1;
inline constexpr uint32_t unitDisabled = 2;
inline constexpr uint32_t unitTabStop = 4;

// Texts are GBK bytes as the template holds them; byte blocks are kept as they are.
struct WindowAttributes {
  int32_t borderStyle = 0;
  int32_t backgroundPictureMode = 0;
  uint32_t backgroundColour = buttonFaceColour;
  bool maximiseBox = false;
  bool minimiseBox = false;
  bool controlBox = false;
  int32_t startPosition = 0;  // 0 as designed, 1 centred, 2 minimised, 3 maximised
  bool movable = true;
  int32_t musicMode = 0;
  bool enterMovesFocus = false;
  bool escCloses = false;
  bool f1Help = false;
  int32_t helpContext = 0;
  bool showInTaskbar = true;  // version 2
  bool dragByClient = false;  // version 3
  int32_t shape = 0;          // version 3
  bool alwaysOnTop = false;   // version 4
  std::string className;      // version 6
  std::string backgroundPicture;
  std::string icon;  // ICO file form
  std::string backgroundMusic;
  std::string title;
  std::string helpFile;
};

struct LabelAttributes {
  int32_t textEffect = 0;
  int32_t borderWidth = 0;
  int32_t borderStyle = 0;
  uint32_t borderColours[3] = {};
  uint32_t textColour = 0;
  uint32_t backgroundColour = buttonFaceColour;
  int32_t backgroundPictureMode = 0;
  int32_t gradientMode = 0;
  uint32_t gradientColours[3] = {};
  int32_t hAlign = 0;  // 0 left, 1 centre, 2 right
  int32_t vAlign = 0;  // 0 top, 1 centre, 2 bottom
  bool wordWrap = false;
  std::string font;  // empty or a 60-byte LOGFONTA
  std::string backgroundPicture;
  std::string text;
};

struct ButtonAttributes {
  int32_t type = 0;  // 1: the window's default push button
  int32_t hAlign = 1;
  int32_t vAlign = 1;
  std::string picture;
  std::string font;
  std::string text;
};

struct CheckBoxAttributes {
  bool pushLike = false;
  bool flat = false;
  bool leftText = false;
  int32_t hAlign = 0;
  int32_t vAlign = 1;
  uint32_t textColour = 0;
  uint32_t backgroundColour = buttonFaceColour;
  int32_t ticked = 0;
  std::string picture;
  std::string font;
  std::string text;
};

struct DropDownListAttributes {
  int32_t listType = 2;  // 0 simple, 1 drop-down, 2 drop-down list
  int32_t maxLength = 0;
  int32_t selectionStart = 0;
  int32_t selectionLength = 0;
  bool sorted = false;
  int32_t extraItemHeight = 0;
  uint32_t textColour = 0;
  uint32_t backgroundColour = 0xFFFFFF;
  int32_t initialSelection = 0;
  std::string font;
  std::vector<int32_t> itemValues;
  std::string content;
  std::vector<std::string> entries;
};

using KindAttributes = std::variant<std::monostate, WindowAttributes, LabelAttributes,
                                    ButtonAttributes, CheckBoxAttributes, DropDownListAttributes>;

// One (event number, handler reference) pair; -1 is no handler.
struct TemplateEvent {
  int32_t number = 0;
  int32_t handler = -1;
};

struct UnitTemplate {
  uint32_t id = 0;
  uint32_t kind = 0;
  int32_t version = 0;  // of the kind block
  std::string name;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parent = 0;
  std::vector<uint32_t> children;
  std::string cursor;
  std::string tag;
  uint32_t flags = 0;
  int32_t tabOrder = 0;
  std::vector<TemplateEvent> events;
  KindAttributes attributes;  // monostate for a unit the reader could not take
};

// Why a window of a readable template cannot be built.
enum class WindowDefect {
  none,
  unknownKind,     // a unit of a kind the frame does not know
  versionTooHigh,  // a kind block newer than the frame knows
};

struct WindowTemplate {
  uint32_t windowId = 0;
  uint32_t reserved[2] = {};
  WindowDefect defect = WindowDefect::none;
  std::vector<UnitTemplate> units;  // record 0 is the window's own unit
};

struct TemplateContents {
  std::vector<WindowTemplate> windows;
};

// The highest kind-block versions the reader knows.
int32_t highestKnownVersion(uint32_t kind);  // 0 for an unknown kind

// Reads a whole template. False when the data runs past its end (or a count or offset
// points outside it); `out` is then unspecified. Unknown kinds and too-new kind blocks do
// not fail the read: they set their window's defect.
bool readWindowTemplate(std::string_view data, TemplateContents& out);
