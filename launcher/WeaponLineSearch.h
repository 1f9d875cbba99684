// The search for the weapon line of a mission file whose content arrives in pieces (read
// through a small buffer), with the same result as findWeaponLine over the whole content:
// the first line that begins with "int PlayerWeapon2", and where that line ends.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/CrLfLines.h"

class WeaponLineSearch {
 public:
  // Looks at the next piece of the content. True once the whole line is known (its start
  // and its end); later pieces need not be given.
  bool take(std::string_view piece);
  // The content has ended: a line whose start was found ends with the content.
  void finish();

  // The line in offsets of the whole content; no value when the content has no such line.
  std::optional<LineSpan> line() const { return done_ ? line_ : std::nullopt; }
  // The line's first bytes, as many as `keep` allows (given before the first piece).
  const std::string& head() const { return head_; }
  void keepHead(size_t bytes) { keep_ = bytes; }

 private:
  // Consecutive bytes of the content: where they start in it, and whether an odd run of
  // bytes >= 0x80 ends right before them.
  struct Window {
    std::string_view bytes;
    size_t base;
    bool oddHighBefore;
  };
  static bool characterStartsAt(const Window& window, size_t at);
  void searchStart(const Window& window);
  void searchEnd(const Window& window);

  std::string tail_;              // the last bytes of the pieces before
  size_t tailBase_ = 0;           // where they start in the content
  bool oddHighBefore_ = false;    // an odd run of bytes >= 0x80 ends right before them
  std::string seam_;              // tail_ and the first bytes of the piece, back to back
  size_t nextBegin_ = 0;          // the first possible line start not yet examined
  size_t nextCr_ = 0;             // the first possible line end not yet examined
  std::optional<LineSpan> line_;  // its start once started_, its end once done_
  bool started_ = false;
  bool done_ = false;
  size_t keep_ = 0;
  std::string head_;
};
