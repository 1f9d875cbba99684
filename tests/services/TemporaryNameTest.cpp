// The names of the temporary files of whole-file writes, and the writer read back from them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "services/TemporaryName.h"

namespace {

TEST(TemporaryName, WrittenInLowerCaseHexadecimalWithTheTargetsName) {
  EXPECT_EQ(temporaryName(0x1c, 1, L"sn01_.pst"), L"~wr1c-1.sn01_.pst.tmp");
  EXPECT_EQ(temporaryName(0, 0xff, L"wdpz.ini"), L"~wr0-ff.wdpz.ini.tmp");
  EXPECT_EQ(temporaryName(0xFFFFFFFF, 0x10, L"原版副武器.txt"),
            L"~wrffffffff-10.原版副武器.txt.tmp");
}

// A target's name too long to be carried whole: its first characters, never half of a pair
// of surrogates, so that the name fits the 255 characters of a file name.
TEST(TemporaryName, LongTargetNameCutToFit) {
  const std::wstring full(255, L'n');
  const std::wstring longest = temporaryName(0xFFFFFFFF, 0xFFFFFFFF, full);
  EXPECT_EQ(longest, L"~wrffffffff-ffffffff." + std::wstring(230, L'n') + L".tmp");
  EXPECT_EQ(longest.size(), 255u);
  std::wstring split(229, L'n');
  split += static_cast<wchar_t>(0xD83D);  // a pair of surrogates across the cut
  split += static_cast<wchar_t>(0xDE00);
  EXPECT_EQ(temporaryName(1, 1, split), L"~wr1-1." + std::wstring(229, L'n') + L".tmp");
  EXPECT_EQ(temporaryName(1, 1, std::wstring(230, L'n')),
            L"~wr1-1." + std::wstring(230, L'n') + L".tmp");
}

TEST(TemporaryName, WriterReadBackOnlyFromTheWritersOwnFormForItsTarget) {
  const std::wstring longName(300, L'n');
  struct Case {
    std::wstring name;
    std::wstring target;
    std::optional<uint32_t> writer;
  } cases[] = {
      {temporaryName(0x1c, 1, L"sn01_.pst"), L"sn01_.pst", 0x1c},
      {temporaryName(0, 7, L"x"), L"x", 0},
      {temporaryName(0xFFFFFFFF, 0xFFFFFFFF, longName), longName, 0xFFFFFFFF},
      {L"~wr1c-1.原版副武器.txt.tmp", L"原版副武器.txt", 0x1c},
      // Another target's name, or the target's name cut or lengthened.
      {temporaryName(0x1c, 1, L"sn01_.pst"), L"sn02_.pst", std::nullopt},
      {L"~wr7ff0-6.mysave.dat.tmp", L"config.ini", std::nullopt},
      {L"~wr1c-1.config.ini.tmp", L"Config.ini", std::nullopt},
      {L"~wr1c-1.config.ini.tmp", L"config.in", std::nullopt},
      {L"~wr1c-1.config.ini.tmp", L"onfig.ini", std::nullopt},
      {temporaryName(1, 1, longName), std::wstring(229, L'n'), std::nullopt},
      {L"~wr1c-1.tmp", L"x", std::nullopt},  // the form without the target's name
      {L"~wr2a-7.tmp", L"x", std::nullopt},
      {L"~wr1c-1..tmp", L"", std::nullopt},  // an empty target's name
      {L"~wr1c-1x.tmp", L"x", std::nullopt},
      {L"~wr1C-1.x.tmp", L"x", std::nullopt},  // upper case
      {L"~WR1c-1.x.tmp", L"x", std::nullopt},
      {L"~wr01c-1.x.tmp", L"x", std::nullopt},  // leading zero
      {L"~wr1c-01.x.tmp", L"x", std::nullopt},
      {L"~wr100000000-1.x.tmp", L"x", std::nullopt},  // past 32 bits
      {L"~wr-1.x.tmp", L"x", std::nullopt},
      {L"~wr1c-.x.tmp", L"x", std::nullopt},
      {L"~wr1c.x.tmp", L"x", std::nullopt},
      {L"~wr1c-1-2.x.tmp", L"x", std::nullopt},
      {L"~wr1c-1.x.tmp.bak", L"x", std::nullopt},
      {L"x~wr1c-1.x.tmp", L"x", std::nullopt},
      {L"~wr1c-1.x.TMP", L"x", std::nullopt},
      {L"~wrzz-1.x.tmp", L"x", std::nullopt},
      {L"~wr.tmp", L"", std::nullopt},
      {L"", L"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(writerOfTemporaryName(c.name, c.target), c.writer) << c.name << L" for " << c.target;
  }
}

}  // namespace
