// The names of the temporary files of whole-file writes, and the writer read back from them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "services/TemporaryName.h"

namespace {

TEST(TemporaryName, WrittenInLowerCaseHexadecimal) {
  EXPECT_EQ(temporaryName(0x1c, 1), "~wr1c-1.tmp");
  EXPECT_EQ(temporaryName(0, 0xff), "~wr0-ff.tmp");
  EXPECT_EQ(temporaryName(0xFFFFFFFF, 0x10), "~wrffffffff-10.tmp");
}

TEST(TemporaryName, WriterReadBackOnlyFromTheWritersOwnForm) {
  struct Case {
    std::string name;
    std::optional<uint32_t> writer;
  } cases[] = {
      {temporaryName(0x1c, 1), 0x1c},
      {temporaryName(0, 7), 0},
      {temporaryName(0xFFFFFFFF, 0xFFFFFFFF), 0xFFFFFFFF},
      {"~wr1C-1.tmp", std::nullopt},  // upper case
      {"~WR1c-1.tmp", std::nullopt},
      {"~wr01c-1.tmp", std::nullopt},  // leading zero
      {"~wr1c-01.tmp", std::nullopt},
      {"~wr100000000-1.tmp", std::nullopt},  // past 32 bits
      {"~wr-1.tmp", std::nullopt},
      {"~wr1c-.tmp", std::nullopt},
      {"~wr1c.tmp", std::nullopt},
      {"~wr1c-1-2.tmp", std::nullopt},
      {"~wr1c-1.tmp.bak", std::nullopt},
      {"x~wr1c-1.tmp", std::nullopt},
      {"~wr1c-1.TMP", std::nullopt},
      {"~wrzz-1.tmp", std::nullopt},
      {"~wr.tmp", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(writerOfTemporaryName(c.name), c.writer) << c.name;
}

}  // namespace
