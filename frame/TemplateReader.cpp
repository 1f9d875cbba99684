#include "frame/TemplateReader.h"

#include <cstring>

namespace {

// Reads little-endian fields from a range of bytes. The first read that would run past the
// end sets the reader failed; later reads then yield zeros and empty values.
class ByteReader {
 public:
  explicit ByteReader(std::string_view data) : data_(data) {}

  bool ok() const { return ok_; }
  size_t remaining() const { return data_.size() - pos_; }
  void fail() { ok_ = false; }

  uint32_t u32() {
    if (!take(4)) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data_.data() + pos_ - 4);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  }
  int32_t i32() { return static_cast<int32_t>(u32()); }
  bool flag() { return u32() != 0; }
  uint16_t u16() {
    if (!take(2)) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data_.data() + pos_ - 2);
    return static_cast<uint16_t>(p[0] | p[1] << 8);
  }
  std::string_view bytes(size_t count) {
    if (!take(count)) return {};
    return data_.substr(pos_ - count, count);
  }
  // A 32-bit byte count and that many bytes (a counted text or a byte block).
  std::string counted() { return std::string(bytes(u32())); }
  // Bytes up to a zero byte, which is consumed.
  std::string zeroEnded() {
    if (!ok_) return {};
    size_t end = data_.find('\0', pos_);
    if (end == std::string_view::npos) {
      fail();
      return {};
    }
    std::string text(data_.substr(pos_, end - pos_));
    pos_ = end + 1;
    return text;
  }
  void skip(size_t count) { take(count); }
  // A count of 32-bit items that must fit in what is left.
  uint32_t count32(size_t itemSize) {
    uint32_t n = u32();
    if (ok_ && n > remaining() / itemSize) fail();
    return ok_ ? n : 0;
  }

 private:
  bool take(size_t count) {
    if (!ok_ || count > remaining()) {
      ok_ = false;
      return false;
    }
    pos_ += count;
    return true;
  }

  std::string_view data_;
  size_t pos_ = 0;
  bool ok_ = true;
};

void readWindowBlock(ByteReader& in, int32_t version, WindowAttributes& a) {
  a.borderStyle = in.i32();
  a.backgroundPictureMode = in.i32();
  a.backgroundColour = in.u32();
  a.maximiseBox = in.flag();
  a.minimiseBox = in.flag();
  a.controlBox = in.flag();
  a.startPosition = in.i32();
  a.movable = in.flag();
  a.musicMode = in.i32();
  a.enterMovesFocus = in.flag();
  a.escCloses = in.flag();
  a.f1Help = in.flag();
  a.helpContext = in.i32();
  if (version >= 2) a.showInTaskbar = in.flag();
  if (version >= 3) {
    a.dragByClient = in.flag();
    a.shape = in.i32();
  }
  if (version >= 4) a.alwaysOnTop = in.flag();
  if (version >= 5) in.u32();
  if (version >= 6) a.className = in.counted();
  a.backgroundPicture = in.counted();
  a.icon = in.counted();
  a.backgroundMusic = in.counted();
  a.title = in.counted();
  a.helpFile = in.counted();
}

void readLabelBlock(ByteReader& in, int32_t version, LabelAttributes& a) {
  a.textEffect = in.i32();
  a.borderWidth = in.i32();
  a.borderStyle = in.i32();
  for (uint32_t& c : a.borderColours) c = in.u32();
  a.textColour = in.u32();
  a.backgroundColour = in.u32();
  a.backgroundPictureMode = in.i32();
  a.gradientMode = in.i32();
  for (uint32_t& c : a.gradientColours) c = in.u32();
  a.hAlign = in.i32();
  a.vAlign = in.i32();
  a.wordWrap = in.flag();
  a.font = in.counted();
  a.backgroundPicture = in.counted();
  a.text = in.counted();
  if (version >= 2) {
    in.counted();
    in.counted();
  }
}

void readButtonBlock(ByteReader& in, ButtonAttributes& a) {
  a.type = in.i32();
  a.hAlign = in.i32();
  a.vAlign = in.i32();
  a.picture = in.counted();
  a.font = in.counted();
  a.text = in.counted();
}

void readCheckBoxBlock(ByteReader& in, int32_t version, CheckBoxAttributes& a) {
  a.pushLike = in.flag();
  a.flat = in.flag();
  a.leftText = in.flag();
  a.hAlign = in.i32();
  a.vAlign = in.i32();
  a.textColour = in.u32();
  a.backgroundColour = in.u32();
  a.ticked = in.i32();
  a.picture = in.counted();
  a.font = in.counted();
  a.text = in.counted();
  if (version >= 2) {
    in.counted();
    in.counted();
  }
}

void readDropDownListBlock(ByteReader& in, int32_t version, DropDownListAttributes& a) {
  a.listType = in.i32();
  a.maxLength = in.i32();
  a.selectionStart = in.i32();
  a.selectionLength = in.i32();
  a.sorted = in.flag();
  a.extraItemHeight = in.i32();
  a.textColour = in.u32();
  a.backgroundColour = in.u32();
  a.initialSelection = in.i32();
  a.font = in.counted();
  std::string values = in.counted();
  if (values.size() % 4 != 0) in.fail();
  for (size_t at = 0; in.ok() && at + 4 <= values.size(); at += 4) {
    uint32_t v;
    std::memcpy(&v, values.data() + at, 4);  // little-endian on every target
    a.itemValues.push_back(static_cast<int32_t>(v));
  }
  a.content = in.counted();
  uint32_t count = in.u16();
  if (count == 0xFFFF) count = in.u32();
  if (in.ok() && count > in.remaining() / 4) in.fail();
  for (uint32_t i = 0; in.ok() && i < count; ++i) a.entries.push_back(in.counted());
  if (version >= 2) {
    in.counted();
    in.counted();
  }
  if (version >= 3) in.u32();
}

// Reads one unit record's bytes. False when they run past the record.
bool readUnitRecord(std::string_view record, UnitTemplate& unit, WindowDefect& defect) {
  ByteReader in(record);
  unit.kind = in.u32();
  if (!in.ok()) return false;
  int32_t highest = highestKnownVersion(unit.kind);
  if (highest == 0) {
    if (defect == WindowDefect::none) defect = WindowDefect::unknownKind;
    return true;  // the rest of an unknown record is not read
  }
  in.skip(size_t{5} * 4);
  unit.name = in.zeroEnded();
  in.zeroEnded();
  in.u32();  // control slot
  unit.left = in.i32();
  unit.top = in.i32();
  unit.width = in.i32();
  unit.height = in.i32();
  in.u32();  // cursor slot
  unit.parent = in.u32();
  uint32_t children = in.count32(4);
  for (uint32_t i = 0; in.ok() && i < children; ++i) unit.children.push_back(in.u32());
  unit.cursor = in.counted();
  unit.tag = in.zeroEnded();
  in.u32();
  unit.flags = in.u32();
  unit.tabOrder = in.i32();
  uint32_t events = in.count32(8);
  for (uint32_t i = 0; in.ok() && i < events; ++i) {
    TemplateEvent e;
    e.number = in.i32();
    e.handler = in.i32();
    unit.events.push_back(e);
  }
  in.skip(size_t{5} * 4);
  unit.version = in.i32();
  if (!in.ok()) return false;
  if (unit.version > highest) {
    if (defect == WindowDefect::none) defect = WindowDefect::versionTooHigh;
    return true;
  }
  switch (unit.kind) {
    case unit_kind::window:
      readWindowBlock(in, unit.version, unit.attributes.emplace<WindowAttributes>());
      break;
    case unit_kind::label:
      readLabelBlock(in, unit.version, unit.attributes.emplace<LabelAttributes>());
      break;
    case unit_kind::button:
      readButtonBlock(in, unit.attributes.emplace<ButtonAttributes>());
      break;
    case unit_kind::checkBox:
      readCheckBoxBlock(in, unit.version, unit.attributes.emplace<CheckBoxAttributes>());
      break;
    case unit_kind::dropDownList:
      readDropDownListBlock(in, unit.version, unit.attributes.emplace<DropDownListAttributes>());
      break;
  }
  return in.ok();
}

// The unit store of one window: count, block size, then ids, offsets and records.
bool readUnitStore(ByteReader& in, WindowTemplate& window) {
  uint32_t count = in.u32();
  std::string_view block = in.bytes(in.u32());
  if (!in.ok()) return false;
  if (count > block.size() / 8) return false;  // an id and an offset per unit
  ByteReader heads(block);
  std::vector<uint32_t> unitIds(count), offsets(count);
  for (uint32_t& id : unitIds) id = heads.u32();
  for (uint32_t& offset : offsets) offset = heads.u32();
  // The records begin right after the offsets.
  std::string_view records = block.substr(size_t(count) * 8);
  window.units.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (offsets[i] > records.size()) return false;
    ByteReader at(records.substr(offsets[i]));
    std::string_view record = at.bytes(at.u32());
    if (!at.ok()) return false;
    window.units[i].id = unitIds[i];
    if (!readUnitRecord(record, window.units[i], window.defect)) return false;
  }
  return true;
}

}  // namespace

int32_t highestKnownVersion(uint32_t kind) {
  switch (kind) {
    case unit_kind::window:
      return 6;
    case unit_kind::label:
      return 2;
    case unit_kind::button:
      return 1;
    case unit_kind::checkBox:
      return 2;
    case unit_kind::dropDownList:
      return 3;
    default:
      return 0;
  }
}

bool readWindowTemplate(std::string_view data, TemplateContents& out) {
  out.windows.clear();
  ByteReader in(data);
  uint32_t tableSize = in.u32();
  if (!in.ok() || tableSize % 8 != 0 || tableSize > in.remaining()) return false;
  uint32_t count = tableSize / 8;
  out.windows.resize(count);
  for (WindowTemplate& w : out.windows) w.windowId = in.u32();
  in.skip(size_t(count) * 4);  // slots whose stored values are not used
  for (WindowTemplate& w : out.windows) {
    w.reserved[0] = in.u32();
    w.reserved[1] = in.u32();
    in.counted();
    in.counted();
    if (!in.ok() || !readUnitStore(in, w)) return false;
  }
  return in.ok();
}
