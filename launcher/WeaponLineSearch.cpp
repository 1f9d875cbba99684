#include "launcher/WeaponLineSearch.h"

#include "GbkTexts.h"

namespace {

constexpr std::string_view kPrefix = gbk::weaponLinePrefix;
// The prefix is looked for by its "W", a byte that is rare in mission files.
constexpr size_t kAnchor = kPrefix.find('W');
static_assert(kAnchor != std::string_view::npos);
// Bytes kept from one piece for the next: a prefix that began in the piece before, and the
// CR LF in front of it.
constexpr size_t kTail = kPrefix.size() + 1;
// Bytes of a piece looked at together with the kept ones.
constexpr size_t kSeamBytes = kTail + 2;

}  // namespace

bool WeaponLineSearch::characterStartsAt(const Window& window, size_t at) {
  size_t highBytes = 0;
  while (highBytes < at && static_cast<unsigned char>(window.bytes[at - highBytes - 1]) >= 0x80) {
    ++highBytes;
  }
  const bool odd = highBytes % 2 == 1;
  // A run of bytes >= 0x80 that reaches the window's start continues the one before it.
  return highBytes == at && window.oddHighBefore ? odd : !odd;
}

bool WeaponLineSearch::take(std::string_view piece) {
  if (done_) return true;
  // What crosses the border between the pieces is looked at in the seam: the kept bytes and
  // the piece's first bytes. The piece itself is looked at where it lies, without a copy.
  seam_.assign(tail_);
  seam_.append(piece.substr(0, kSeamBytes));
  const Window seam{seam_, tailBase_, oddHighBefore_};
  const Window whole{piece, tailBase_ + tail_.size(), !characterStartsAt(seam, tail_.size())};
  for (const Window& window : {seam, whole}) {
    if (!started_) searchStart(window);
    if (started_) searchEnd(window);
    if (done_) return true;
  }
  // The last bytes seen so far are kept for the next piece.
  const Window& last = piece.size() >= kTail ? whole : seam;
  const size_t cut = last.bytes.size() > kTail ? last.bytes.size() - kTail : 0;
  oddHighBefore_ = !characterStartsAt(last, cut);
  tailBase_ = last.base + cut;
  tail_.assign(last.bytes.substr(cut));
  return false;
}

void WeaponLineSearch::finish() {
  if (done_) return;
  done_ = true;
  if (!started_) return;
  line_->end = tailBase_ + tail_.size();
  line_->separated = false;
  if (head_.size() > line_->end - line_->begin) head_.resize(line_->end - line_->begin);
}

void WeaponLineSearch::searchStart(const Window& window) {
  const std::string_view bytes = window.bytes;
  if (bytes.size() < kPrefix.size()) return;
  const size_t lastBegin = bytes.size() - kPrefix.size();
  const std::string_view searched = bytes.substr(0, lastBegin + kAnchor + 1);
  size_t from = (nextBegin_ > window.base ? nextBegin_ - window.base : 0) + kAnchor;
  while (from < searched.size()) {
    const size_t hit = findByte(searched, from, 'W');
    if (hit == std::string_view::npos) break;
    const size_t begin = hit - kAnchor;
    const bool lineStart = window.base + begin == 0 ||
                           (begin >= 2 && bytes[begin - 2] == '\r' && bytes[begin - 1] == '\n' &&
                            characterStartsAt(window, begin - 2));
    if (lineStart && bytes.substr(begin, kPrefix.size()) == kPrefix) {
      line_ = LineSpan{window.base + begin, 0, false};
      started_ = true;
      nextCr_ = window.base + begin;
      return;
    }
    from = hit + 1;
  }
  if (window.base + lastBegin + 1 > nextBegin_) nextBegin_ = window.base + lastBegin + 1;
}

void WeaponLineSearch::searchEnd(const Window& window) {
  const std::string_view bytes = window.bytes;
  const size_t size = bytes.size();
  // The line's first bytes, before its end is looked for.
  const size_t headAt = line_->begin + head_.size();
  if (head_.size() < keep_ && headAt >= window.base && headAt - window.base < size) {
    head_.append(bytes.substr(headAt - window.base, keep_ - head_.size()));
  }
  size_t from = nextCr_ > window.base ? nextCr_ - window.base : 0;
  while (from + 2 <= size) {
    const size_t cr = findByte(bytes.substr(0, size - 1), from, '\r');
    if (cr == std::string_view::npos) break;
    if (bytes[cr + 1] == '\n' && characterStartsAt(window, cr)) {
      line_->end = window.base + cr;
      line_->separated = true;
      done_ = true;
      if (head_.size() > line_->end - line_->begin) head_.resize(line_->end - line_->begin);
      return;
    }
    from = cr + 1;
  }
  // A CR as the window's last byte is looked at again with what follows it.
  if (size > 0 && window.base + size - 1 > nextCr_) nextCr_ = window.base + size - 1;
}
