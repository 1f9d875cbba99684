// Test helpers for real files: a temporary folder removed with everything in it, and
// whole-file reads and writes that bypass the code under test.
#pragma once

#include <string>

class TempFolder {
 public:
  // A new, empty folder under the system's temporary folder; `tag` goes into its name
  // (it may hold blanks or GBK bytes to test such paths).
  explicit TempFolder(const std::string& tag = "t");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }  // ANSI, no trailing backslash
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// The wide form of a path written in the system code page, as the tests build them.
std::wstring widePath(const std::string& path);

bool makeFolder(const std::string& path);
// Paths as the tests build them (system code page) or wide, for names outside it.
void writeBytes(const std::string& path, const std::string& bytes);
void writeBytes(const std::wstring& path, const std::string& bytes);
// The whole content; "<missing>" when the file cannot be opened.
std::string readBytes(const std::string& path);
std::string readBytes(const std::wstring& path);
bool pathExists(const std::string& path);
void removeTree(const std::string& path);
// Folder of the running test executable (where support programs such as the stand-in game
// are built), without trailing backslash.
std::string testProgramFolder();
