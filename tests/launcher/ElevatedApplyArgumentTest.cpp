// The elevated-apply argument of the program started with administrator rights.
#include <gtest/gtest.h>

#include <string>

#include "launcher/ElevatedApplyArgument.h"

namespace {

const ListSizes kLists{13, 4, 2};  // the launcher window's lists

TEST(ElevatedApplyArgument, EveryChoiceReadsBackAsWrittenAndNoneAsTheLast) {
  for (int32_t w = -1; w < kLists.weapon; ++w) {
    for (int32_t a = -1; a < kLists.attribute; ++a) {
      for (int32_t r = -1; r < kLists.resolution; ++r) {
        for (bool windowed : {false, true}) {
          LauncherSettings settings{w, a, r, windowed};
          std::wstring argument = elevatedApplyArgument(settings);
          std::optional<LauncherSettings> back = parseElevatedApplyArgument(argument, kLists);
          ASSERT_TRUE(back.has_value()) << std::string(argument.begin(), argument.end());
          // None (-1) reads back as the list's last entry.
          EXPECT_EQ(back->weaponIndex, w == -1 ? kLists.weapon - 1 : w);
          EXPECT_EQ(back->attributeIndex, a == -1 ? kLists.attribute - 1 : a);
          EXPECT_EQ(back->resolutionIndex, r == -1 ? kLists.resolution - 1 : r);
          EXPECT_EQ(back->windowed, windowed);
        }
      }
    }
  }
  EXPECT_EQ(elevatedApplyArgument({11, 3, 1, true}), L"--apply-settings=11,3,1,1");
  EXPECT_EQ(elevatedApplyArgument({12, 0, 1, false}), L"--apply-settings=12,0,1,0");
}

TEST(ElevatedApplyArgument, AnythingElseIsRejected) {
  const std::wstring overlong = L"--apply-settings=" + std::wstring(5000, L'1') + L",0,0,0";
  const wchar_t* cases[] = {
      L"",                                   // missing
      L"--apply-settings=",                  // no choices
      L"--apply-settings=1,2,1",             // one missing
      L"--apply-settings=1,2,1,",            // empty last
      L"--apply-settings=1,,1,0",            // empty inside
      L"--apply-settings=1,2,1,0,",          // extra comma
      L"--apply-settings=1,2,1,0,5",         // extra part
      L"--apply-settings=1,2,1,0 ",          // trailing blank
      L"--apply-settings=1,2,1,0 --x",       // extra argument
      L" --apply-settings=1,2,1,0",          // leading blank
      L"--apply-settings=13,0,0,0",          // weapon past the list
      L"--apply-settings=0,4,0,0",           // attribute past the list
      L"--apply-settings=0,0,2,0",           // resolution past the list
      L"--apply-settings=0,0,0,2",           // windowed neither 0 nor 1
      L"--apply-settings=-2,0,0,0",          // below none
      L"--apply-settings=0,0,0,-1",          // windowed cannot be none
      L"--apply-settings=01,0,0,0",          // leading zero
      L"--apply-settings=+1,0,0,0",          // sign
      L"--apply-settings=-0,0,0,0",          // minus zero
      L"--apply-settings=a,0,0,0",           // not a number
      L"--apply-settings=1.0,0,0,0",         // not an integer
      L"--apply-settings=\uff11,0,0,0",      // full-width digit
      L"--apply-settings= 1,0,0,0",          // blank inside
      L"--APPLY-SETTINGS=1,0,0,0",           // other case
      L"--apply-settings:1,0,0,0",           // other separator
      L"/apply-settings=1,0,0,0",            // other form
      L"--apply-settings=4294967297,0,0,0",  // wraps to 1 in 32 bits
      overlong.c_str(),
  };
  for (const wchar_t* c : cases) {
    std::wstring argument = c;
    EXPECT_FALSE(parseElevatedApplyArgument(argument, kLists).has_value())
        << std::string(argument.begin(), argument.end());
  }
  // A zero byte ends nothing: the rest still counts.
  EXPECT_FALSE(
      parseElevatedApplyArgument(std::wstring(L"--apply-settings=1,0,0,0\0x", 26), kLists));
}

}  // namespace
