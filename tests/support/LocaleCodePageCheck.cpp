// Linked into every Windows test program: before any test, the program holds the system
// code page to the one its run's locale means (tests/support/LocaleCodePage.h). A locale
// that never reached Wine, or one Wine read otherwise, fails the whole program instead of
// running its tests under a code page nobody chose.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/LocaleCodePage.h"

namespace {

class LocaleCodePageCheck : public testing::Environment {
 public:
  void SetUp() override {
    const unsigned meant = localeCodePage();
    ASSERT_NE(meant, 0u) << "the run's locale \"" << runLocale()
                         << "\" is none the tests know the code page of";
    ASSERT_EQ(GetACP(), meant) << "the system code page under the locale \"" << runLocale() << "\"";
  }
};

[[maybe_unused]] testing::Environment* const kCheck =
    testing::AddGlobalTestEnvironment(new LocaleCodePageCheck);

}  // namespace
