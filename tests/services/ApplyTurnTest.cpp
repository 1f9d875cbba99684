// The game folder's turn over real folders: one name for every path that leads to a folder,
// and a turn held through one path is not had through another until it is given back or
// its holder has ended.
#include "services/ApplyTurn.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/TempFolder.h"

namespace {

// The path of a folder through Wine's drive Z:, which holds the whole Unix file system.
std::string throughDriveZ(const std::string& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return std::string();
  char* name = unixName(widePath(path).c_str());
  if (name == nullptr) return std::string();
  std::string z = std::string("Z:") + name;
  HeapFree(GetProcessHeap(), 0, name);
  std::replace(z.begin(), z.end(), '/', '\\');
  return z;
}

// Whether another thread has the turn of `path` at once (a mutex is its holding thread's
// own, so the same thread would have it again).
bool hadByAnother(const std::string& path) {
  bool held = false;
  std::thread other([&] { held = ApplyTurn(Path(widePath(path)), 0).held(); });
  other.join();
  return held;
}

struct Folders {
  TempFolder parent{"turn"};
  std::string game = parent / "A Game Folder";
  Folders() { makeFolder(game); }
};

TEST(ApplyTurn, EveryPathToAFolderNamesOneTurn) {
  Folders folders;
  const std::string& game = folders.game;
  char shortName[MAX_PATH] = "";
  ASSERT_NE(GetShortPathNameA(game.c_str(), shortName, MAX_PATH), 0u);
  std::string upper = game;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  });
  const std::string z = throughDriveZ(game);
  ASSERT_FALSE(z.empty());
  const struct {
    const char* name;
    std::string path;
    bool same;
  } cases[] = {
      {"the path itself", game, true},
      {"in capitals", upper, true},
      {"with a closing backslash", game + "\\", true},
      {"its short name", shortName, true},
      {"through another drive", z, true},
      {"the folder above", folders.parent.path(), false},
  };
  const std::wstring name = applyTurnName(Path(widePath(game)));
  EXPECT_EQ(name.rfind(L"Local\\", 0), 0u);
  for (const auto& c : cases) {
    EXPECT_EQ(applyTurnName(Path(widePath(c.path))) == name, c.same) << c.name << ": " << c.path;
  }
}

TEST(ApplyTurn, AHeldTurnIsNotHadThroughAnotherPathUntilItIsFree) {
  Folders folders;
  const std::string z = throughDriveZ(folders.game);
  ASSERT_FALSE(z.empty());
  {
    const ApplyTurn turn(Path(widePath(folders.game)), 0);
    ASSERT_TRUE(turn.held());
    EXPECT_FALSE(hadByAnother(z));
    EXPECT_TRUE(hadByAnother(folders.parent.path())) << "another folder has its own turn";
  }
  EXPECT_TRUE(hadByAnother(z)) << "given back";

  // A holder that ended without giving the turn back leaves it free.
  std::optional<ApplyTurn> left;
  std::thread ended([&] { left.emplace(Path(widePath(folders.game)), 0); });
  ended.join();
  ASSERT_TRUE(left->held());
  const ApplyTurn after(Path(widePath(z)), 0);
  EXPECT_TRUE(after.held());
}

}  // namespace
