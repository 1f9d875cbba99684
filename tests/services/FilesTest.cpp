// Whole-file access on real files in a temporary folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/FileReading.h"
#include "services/FileReplacement.h"
#include "tests/support/TempFolder.h"

namespace {

// The names in a folder, sorted as the directory search gives them.
std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

class FilesTest : public testing::Test {
 protected:
  TempFolder temp{"files"};
};

TEST_F(FilesTest, FileExists) {
  makeFolder(temp / "Level");
  writeBytes(temp / "config.ini", "x");
  writeBytes(temp / "with blank.ini", "");
  struct Case {
    std::string name;
    bool expected;
  } cases[] = {
      {temp / "Level", true},
      {temp / "config.ini", true},
      {temp / "with blank.ini", true},
      {temp / "Level\\", false},
      {temp / "config.ini\\", false},
      {temp / "missing", false},
      {temp / "missing\\config.ini", false},
      {temp / "*.ini", true},
      {temp / "conf?g.ini", true},
      {temp / "*.pst", false},
      {"", false},
      {"C:\\", false},
  };
  for (const Case& c : cases) EXPECT_EQ(fileExists(Path(widePath(c.name))), c.expected) << c.name;
}

TEST_F(FilesTest, FileExistsOfFileNamedLikeTheMissionFolder) {
  writeBytes(temp / "Level", "not a folder");
  EXPECT_TRUE(fileExists(Path(widePath(temp / "Level"))));
  EXPECT_FALSE(fileExists(Path(widePath(temp / "Level\\"))));
}

TEST_F(FilesTest, ReadFile) {
  makeFolder(temp / "Level");
  writeBytes(temp / "empty.ini", "");
  writeBytes(temp / "zero.ini", std::string("a\0b\r\n", 5));
  writeBytes(temp / "with blank.ini", "w\r\n");
  struct Case {
    std::string name;
    std::string expected;
    bool readable;  // tryReadFile gives a value: an empty file is read, a missing one not
  } cases[] = {
      {temp / "missing.ini", "", false},
      {temp / "Level", "", false},
      {temp / "empty.ini", "", true},
      {temp / "zero.ini", std::string("a\0b\r\n", 5), true},
      {temp / "with blank.ini", "w\r\n", true},
      {"", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readFileOrEmpty(Path(widePath(c.name))).bytes, c.expected) << c.name;
    EXPECT_EQ(tryReadFile(Path(widePath(c.name))).has_value(), c.readable) << c.name;
  }
}

TEST_F(FilesTest, ReadFileHeldByAnotherHandle) {
  std::string name = temp / "config.ini";
  writeBytes(name, "1\r\n2\r\n3\r\n");
  {
    HANDLE reader = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(readFileOrEmpty(Path(widePath(name))).bytes, "1\r\n2\r\n3\r\n");  // readers share
    CloseHandle(reader);
  }
  HANDLE writer = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(readFileOrEmpty(Path(widePath(name))).bytes, "");  // held open for writing
  EXPECT_FALSE(tryReadFile(Path(widePath(name))).has_value());
  CloseHandle(writer);
}

TEST_F(FilesTest, LargeFileRoundTrip) {
  std::string content;
  for (int i = 0; content.size() < (8u << 20); ++i)
    content += "int Line" + std::to_string(i) + " = 1;\r\n";
  std::string name = temp / "big.pst";
  EXPECT_TRUE(writeFile(Path(widePath(name)), ByteBuffer{content}));
  EXPECT_EQ(readFileOrEmpty(Path(widePath(name))).bytes, content);
}

// All pieces of a file, read from `offset` on, back to back.
std::optional<std::string> readAll(FileReader& reader, uint64_t offset = 0) {
  if (!reader.seek(offset)) return std::nullopt;
  std::string all;
  for (;;) {
    const std::optional<std::string_view> piece = reader.next();
    if (!piece) return std::nullopt;
    if (piece->empty()) return all;
    EXPECT_LE(piece->size(), 4096u);
    all += *piece;
  }
}

// One reader for many files, a piece at a time: each file reads back whole, whether it is
// smaller or larger than a piece, from any offset; one that cannot be read is refused.
TEST_F(FilesTest, FileReaderReadsManyFilesPieceByPiece) {
  makeFolder(temp / "Level");
  std::string large;
  for (int i = 0; large.size() < 20000; ++i) large += "line " + std::to_string(i) + "\r\n";
  struct Case {
    std::string name;
    std::optional<std::string> content;  // no value: the file cannot be read
  } cases[] = {
      {temp / "small.pst", std::string("int PlayerWeapon2 = 1;\r\n")},
      {temp / "large.pst", large},
      {temp / "empty.pst", std::string()},
      {temp / "zero.pst", std::string("a\0b", 3)},
      {temp / "missing.pst", std::nullopt},
      {temp / "Level", std::nullopt},
      {temp / "exactly one piece.pst", std::string(4096, 'p')},
  };
  for (const Case& c : cases) {
    if (c.content && c.name != temp / "Level") writeBytes(c.name, *c.content);
  }
  FileReader reader(4096);
  for (const Case& c : cases) {
    ASSERT_EQ(reader.open(Path(widePath(c.name))), c.content.has_value()) << c.name;
    if (!c.content) continue;
    EXPECT_EQ(readAll(reader), *c.content) << c.name;
    EXPECT_EQ(readAll(reader, c.content->size() / 3), c.content->substr(c.content->size() / 3))
        << c.name;
  }
  ASSERT_TRUE(reader.open(Path(widePath(temp / "large.pst"))));
  const std::optional<std::string_view> some = reader.next(7);
  ASSERT_TRUE(some.has_value());
  EXPECT_EQ(std::string(*some), large.substr(0, 7));
  // While it is open nobody may write the file.
  EXPECT_FALSE(writeFile(Path(widePath(temp / "large.pst")), ByteBuffer{"new"}));
  reader.close();
  EXPECT_TRUE(writeFile(Path(widePath(temp / "large.pst")), ByteBuffer{"new"}));
}

// A replacement dropped without commit, or one that fails, leaves the target as it was
// and nothing beside it; a committed one holds the pieces back to back.
TEST_F(FilesTest, FileReplacementOnlyCommitChangesTheTarget) {
  std::string name = temp / "sn01_.pst";
  writeBytes(name, "old");
  {
    FileReplacement dropped{Path(widePath(name))};
    EXPECT_TRUE(dropped.append("new content"));
  }
  EXPECT_EQ(readBytes(name), "old");
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"sn01_.pst"});
  {
    FileReplacement held{Path(widePath(name))};
    held.append("new");
    HANDLE other = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(held.commit());  // held open by another program when the rename is due
    CloseHandle(other);
  }
  EXPECT_EQ(readBytes(name), "old");
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"sn01_.pst"});
  FileReplacement pieces{Path(widePath(name))};
  EXPECT_TRUE(pieces.append("int "));
  EXPECT_TRUE(pieces.append(""));
  EXPECT_TRUE(pieces.append(std::string("Player\0Weapon2", 14)));
  EXPECT_TRUE(pieces.commit());
  EXPECT_EQ(readBytes(name), std::string("int Player\0Weapon2", 18));
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"sn01_.pst"});
}

TEST_F(FilesTest, WriteFileReplacesWholeContent) {
  const ByteBuffer ab{"ab"}, cd{"cd"}, empty{}, zero{std::string("x\0y", 3)};
  struct Case {
    const char* name;
    const char* old;  // nullptr: no file before
    std::initializer_list<const ByteBuffer*> buffers;
    std::string expected;
  } cases[] = {
      {"new.ini", nullptr, {&ab, &cd}, "abcd"},
      {"old.ini", "old content that is longer", {&ab, &cd}, "abcd"},
      {"empty.ini", "old", {&empty}, ""},
      {"mixed.ini", "old", {&empty, &ab, &empty, &cd}, "abcd"},
      {"zero.ini", nullptr, {&zero}, std::string("x\0y", 3)},
      {"with blank.ini", "old", {&cd}, "cd"},
      {"\xc5\xe4\xd6\xc3.ini", "old", {&ab}, "ab"},  // 配置.ini
  };
  for (const Case& c : cases) {
    std::string name = temp / c.name;
    if (c.old != nullptr) writeBytes(name, c.old);
    EXPECT_TRUE(writeFile(Path(widePath(name)), c.buffers)) << c.name;
    EXPECT_EQ(readBytes(name), c.expected) << c.name;
  }
  // Nothing else is left in the folder: every temporary file has gone.
  EXPECT_EQ(namesIn(temp.path()).size(), std::size(cases));
}

TEST_F(FilesTest, WriteFileThatCannotBeDoneChangesNothing) {
  const ByteBuffer content{"new"};
  makeFolder(temp / "Level");
  struct Case {
    std::string name;
  } cases[] = {
      {""},
      {temp / "missing\\config.ini"},
      {temp / "Level"},
      {temp / "Level\\"},
  };
  for (const Case& c : cases) EXPECT_FALSE(writeFile(Path(widePath(c.name)), content)) << c.name;
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"Level"});
  EXPECT_TRUE(namesIn(temp / "Level").empty());
}

TEST_F(FilesTest, WriteFileRefusesReadOnlyTarget) {
  std::string name = temp / "config.ini";
  writeBytes(name, "old\r\n");
  ASSERT_TRUE(SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(writeFile(Path(widePath(name)), ByteBuffer{"new"}));
  SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readBytes(name), "old\r\n");
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"config.ini"});
}

TEST_F(FilesTest, WriteFileRefusesTargetHeldOpen) {
  std::string name = temp / "config.ini";
  writeBytes(name, "old\r\n");
  struct Case {
    DWORD access;
    DWORD sharing;
  } cases[] = {
      {GENERIC_READ, FILE_SHARE_READ},
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
      {GENERIC_WRITE, 0},
      {GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE},
  };
  for (const Case& c : cases) {
    HANDLE other =
        CreateFileA(name.c_str(), c.access, c.sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(writeFile(Path(widePath(name)), ByteBuffer{"new"}))
        << c.access << " " << c.sharing;
    CloseHandle(other);
    EXPECT_EQ(readBytes(name), "old\r\n");
  }
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"config.ini"});
  EXPECT_TRUE(writeFile(Path(widePath(name)), ByteBuffer{"new"}));  // free again
  EXPECT_EQ(readBytes(name), "new");
}

// The new file keeps the target's hidden and system marks and no more: the hidden and system
// marks of the temporary file it was written in give way to the target's before the rename.
TEST_F(FilesTest, WriteFileKeepsTheTargetsHiddenAndSystemMarksOnly) {
  const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  struct Case {
    std::optional<DWORD> target;  // none: no such file before
    DWORD after;                  // its hidden and system marks after the write
  } cases[] = {
      {std::nullopt, 0},
      {FILE_ATTRIBUTE_NORMAL, 0},
      {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN},
      {FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_SYSTEM},
      {marks, marks},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target ? std::to_string(*c.target) : "none");
    std::string name = temp / "config.ini";
    if (c.target) {
      writeBytes(name, "old");
      ASSERT_TRUE(SetFileAttributesA(name.c_str(), *c.target));
    }
    EXPECT_TRUE(writeFile(Path(widePath(name)), ByteBuffer{"new"}));
    EXPECT_EQ(readBytes(name), "new");
    EXPECT_EQ(GetFileAttributesA(name.c_str()) & marks, c.after);
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"config.ini"});
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(name.c_str());
  }
}

// A target whose path is short enough for the plain form (below MAX_PATH - 12), beside
// which the temporary file's path, which carries the target's name, is past MAX_PATH.
TEST_F(FilesTest, WriteFileWhoseTemporaryPathIsPastMaxPath) {
  const std::string leaf = "settings-of-the-player-one.ini";  // 30 characters
  std::string folder = temp.path() + "\\";
  folder += std::string(MAX_PATH - 13 - leaf.size() - 1 - folder.size(), 'd');
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string name = folder + "\\" + leaf;
  ASSERT_EQ(name.size(), size_t{MAX_PATH - 13});
  EXPECT_TRUE(writeFile(Path(widePath(name)), ByteBuffer{"new"}));
  EXPECT_EQ(readBytes(name), "new");
  EXPECT_EQ(namesIn(folder), std::vector<std::string>{leaf});
  DeleteFileA(name.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST_F(FilesTest, WriteFileByNameInCurrentFolder) {
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(temp.path().c_str()));
  bool written = writeFile(Path(widePath("plain.ini")), ByteBuffer{"abc"});
  SetCurrentDirectoryA(previous);
  EXPECT_TRUE(written);
  EXPECT_EQ(readBytes(temp / "plain.ini"), "abc");
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"plain.ini"});
}

}  // namespace
