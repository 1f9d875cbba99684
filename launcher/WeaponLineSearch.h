// The search for the weapon line of a mission file whose content arrives in pieces (read
// through a small buffer): the first line that begins with "int PlayerWeapon2". Lines end
// at every CR LF, LF or CR, whatever byte comes before it, so that no line break is ever
// taken into a character and no line is merged with the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where the weapon line lies in the whole content.
struct WeaponLineSpan {
  uint64_t begin = 0;  // offset of its first byte
  uint64_t end = 0;    // offset one past its last byte: its line break (if any) starts here
  // The line starts after a CR alone or ends at one: a file whose lines the game separates
  // otherwise than this line shows, which is left as it is.
  bool loneCr = false;
};

class WeaponLineSearch {
 public:
  // Looks at the next piece of the content. True once the whole line is known (its start,
  // its end and the byte after its end); later pieces need not be given.
  bool take(std::string_view piece);
  // The content has ended: a line whose start was found ends with the content.
  void finish();

  // The line; no value when the content has no such line (or has not ended before it).
  std::optional<WeaponLineSpan> line() const {
    return done_ && started_ ? std::optional<WeaponLineSpan>(line_) : std::nullopt;
  }
  // The line's bytes, without its line break.
  const std::string& text() const { return text_; }

 private:
  void searchStart(std::string_view piece);
  void searchEnd(std::string_view piece, size_t from);

  uint64_t offset_ = 0;  // where the next piece starts in the content
  // The last bytes of the content seen so far at which a weapon line might still start (too
  // few follow them to hold the prefix), and the byte before them ('\n' at the content's
  // start, where a line starts too).
  std::string carry_;
  char beforeCarry_ = '\n';
  WeaponLineSpan line_;
  std::string text_;
  bool started_ = false;
  bool crAtEnd_ = false;  // the line ended at a CR that was a piece's last byte
  bool done_ = false;
};
