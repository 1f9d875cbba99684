// A path of the file system, held as the platform's wide calls take it (UTF-16), so that a
// folder named in any language is reached whatever the system code page is.
#pragma once

#include <string>
#include <string_view>
#include <utility>

class Path {
 public:
  Path() = default;
  explicit Path(std::wstring wide) : wide_(std::move(wide)) {}

  const std::wstring& wide() const { return wide_; }
  const wchar_t* c_str() const { return wide_.c_str(); }
  bool empty() const { return wide_.empty(); }

  friend bool operator==(const Path& a, const Path& b) { return a.wide_ == b.wide_; }

 private:
  std::wstring wide_;
};

// The part of a full path before its last backslash; empty when it has none. (In UTF-16 a
// backslash is always a character of its own.)
inline Path folderOfPath(const Path& path) {
  size_t last = path.wide().rfind(L'\\');
  return last == std::wstring::npos ? Path() : Path(path.wide().substr(0, last));
}

// The path followed by a name of the program's own, given as GBK bytes and beginning with a
// backslash ("\wdpz.ini", "\Level\sn01_.pst"). Windows only.
Path withName(const Path& folder, std::string_view gbkName);
