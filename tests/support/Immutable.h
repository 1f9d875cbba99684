// A file or folder that nothing may change, for as long as the object lives: the Linux
// immutable mark (chattr +i) under Wine, which the platform reports as access denied
// without the read-only attribute, as a folder of a protected location does for an
// ordinary user. On a folder, its files may still be changed in place, but nothing may be
// created in it or renamed into it.
#pragma once

#include <string>

class Immutable {
 public:
  explicit Immutable(const std::string& path);
  ~Immutable();
  Immutable(const Immutable&) = delete;
  Immutable& operator=(const Immutable&) = delete;

  bool set() const { return set_; }  // false when the mark could not be set

 private:
  std::string path_;
  std::string unixPath_;
  bool set_ = false;
};
