#include "launcher/WeaponLineSearch.h"

#include <algorithm>

#include "GbkTexts.h"
#include "launcher/CrLfLines.h"

namespace {

constexpr std::string_view kPrefix = gbk::weaponLinePrefix;
// The prefix is looked for by its "W", a byte that is rare in mission files.
constexpr size_t kAnchor = kPrefix.find('W');
static_assert(kAnchor != std::string_view::npos);
static_assert(kPrefix.find_first_of("\r\n") == std::string_view::npos);

bool isBreak(char byte) { return byte == '\r' || byte == '\n'; }

// The first CR or LF at or after `from`, or npos.
size_t findBreak(std::string_view bytes, size_t from) {
  const size_t cr = findByte(bytes, from, '\r');
  const size_t lf =
      findByte(bytes.substr(0, cr == std::string_view::npos ? bytes.size() : cr), from, '\n');
  return lf != std::string_view::npos ? lf : cr;
}

}  // namespace

bool WeaponLineSearch::take(std::string_view piece) {
  if (done_) return true;
  if (piece.empty()) return false;
  if (crAtEnd_) {
    // The CR that ended the line was the last byte of the piece before.
    line_.loneCr = line_.loneCr || piece[0] != '\n';
    done_ = true;
    return true;
  }
  if (started_) {
    searchEnd(piece, 0);
  } else {
    searchStart(piece);
  }
  offset_ += piece.size();
  return done_;
}

void WeaponLineSearch::searchStart(std::string_view piece) {
  // Starts among the carried bytes, completed by the piece's first bytes.
  const std::string seam = carry_ + std::string(piece.substr(0, kPrefix.size()));
  const uint64_t seamBase = offset_ - carry_.size();
  for (size_t b = 0; b < carry_.size() && b + kPrefix.size() <= seam.size(); ++b) {
    const char before = b == 0 ? beforeCarry_ : seam[b - 1];
    if (isBreak(before) && seam.compare(b, kPrefix.size(), kPrefix) == 0) {
      started_ = true;
      line_ = {seamBase + b, 0, before == '\r'};
      // The line's first bytes lie in the carry; the rest is looked at in the piece.
      text_ = carry_.substr(b);
      searchEnd(piece, 0);
      return;
    }
  }
  // Starts inside the piece with the whole prefix in it.
  if (piece.size() >= kPrefix.size()) {
    const std::string_view searched = piece.substr(0, piece.size() - kPrefix.size() + kAnchor + 1);
    for (size_t from = kAnchor; from < searched.size();) {
      const size_t hit = findByte(searched, from, 'W');
      if (hit == std::string_view::npos) break;
      const size_t b = hit - kAnchor;
      const char before = b == 0 ? (carry_.empty() ? beforeCarry_ : carry_.back()) : piece[b - 1];
      if (isBreak(before) && piece.compare(b, kPrefix.size(), kPrefix) == 0) {
        started_ = true;
        line_ = {offset_ + b, 0, before == '\r'};
        text_.clear();
        searchEnd(piece, b);
        return;
      }
      from = hit + 1;
    }
  }
  // What may still start a line is carried to the next piece: the last bytes, too few to
  // hold the prefix.
  std::string all = carry_;
  all.append(piece.substr(piece.size() > kPrefix.size() ? piece.size() - kPrefix.size() : 0));
  const size_t keep = std::min(all.size(), kPrefix.size() - 1);
  const size_t cut = all.size() - keep;
  if (cut > 0) beforeCarry_ = all[cut - 1];
  carry_ = all.substr(cut);
}

void WeaponLineSearch::searchEnd(std::string_view piece, size_t from) {
  const size_t at = findBreak(piece, from);
  if (at == std::string_view::npos) {
    // The line goes on in the next piece, which is looked at from its start.
    text_.append(piece.substr(from));
    return;
  }
  text_.append(piece.substr(from, at - from));
  line_.end = line_.begin + text_.size();
  if (piece[at] == '\r') {
    if (at + 1 == piece.size()) {
      crAtEnd_ = true;
      return;
    }
    line_.loneCr = line_.loneCr || piece[at + 1] != '\n';
  }
  done_ = true;
}

void WeaponLineSearch::finish() {
  if (done_) return;
  done_ = true;
  if (!started_) return;
  if (crAtEnd_) {
    line_.loneCr = true;  // a CR as the content's last byte ends no CR LF
    return;
  }
  line_.end = line_.begin + text_.size();
}
