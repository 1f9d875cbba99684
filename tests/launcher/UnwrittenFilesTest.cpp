// The message that lists unwritten files: each path as it is with the words of its cause,
// then one line of what to do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GbkTexts.h"
#include "launcher/UnwrittenFiles.h"
#include "services/Wide.h"

namespace {

// Each cause has its own words after the path; the line below says what to do for the
// causes present, each once and in a fixed order; a lack of permission is either a
// question or a hint.
TEST(UnwrittenFilesMessage, ReasonsAndOneHintLine) {
  using F = FileFault;
  const std::string head = std::string(gbk::filesNotWritten) + "\r\n";
  const std::string end = gbk::hintEnd;
  const std::string sep = gbk::hintSeparator;
  struct Case {
    const char* name;
    std::vector<UnwrittenFile> files;
    bool ask;
    std::string message;
  } cases[] = {
      {"read-only",
       {{Path(L"C:\\g\\a"), F::readOnly}},
       false,
       head + "C:\\g\\a" + gbk::reasonReadOnly + gbk::hintStart + gbk::hintReadOnly + end},
      {"two files in use, one hint",
       {{Path(L"a"), F::inUse}, {Path(L"b"), F::inUse}},
       false,
       head + "a" + gbk::reasonInUse + "\r\nb" + gbk::reasonInUse + gbk::hintStart +
           gbk::hintInUse + end},
      {"disk full",
       {{Path(L"a"), F::diskFull}},
       false,
       head + "a" + gbk::reasonDiskFull + gbk::hintStart + gbk::hintDiskFull + end},
      {"folder in place",
       {{Path(L"a"), F::folderInPlace}},
       false,
       head + "a" + gbk::reasonFolderInPlace + gbk::hintStart + gbk::hintFolderInPlace + end},
      {"could not be read: no hint",
       {{Path(L"a"), F::unreadable}},
       false,
       head + "a" + gbk::reasonUnreadable},
      {"saved with a byte-order mark",
       {{Path(L"a"), F::byteOrderMark}},
       false,
       head + "a" + gbk::reasonByteOrderMark + gbk::hintStart + gbk::hintByteOrderMark + end},
      {"anything else: no hint", {{Path(L"a"), F::other}}, false, head + "a" + gbk::reasonOther},
      {"no permission, asked",
       {{Path(L"a"), F::noPermission}},
       true,
       head + "a" + gbk::reasonNoPermission + gbk::askAdministrator},
      {"no permission, not asked",
       {{Path(L"a"), F::noPermission}},
       false,
       head + "a" + gbk::reasonNoPermission + gbk::hintStart + gbk::hintNoPermission + end},
      {"folder refuses new files, asked",
       {{Path(L"a"), F::folderRefusesNewFiles}},
       true,
       head + "a" + gbk::reasonFolderRefusesNewFiles + gbk::askAdministrator},
      {"every cause, in the order of the hints",
       {{Path(L"p"), F::noPermission},
        {Path(L"d"), F::diskFull},
        {Path(L"r"), F::readOnly},
        {Path(L"n"), F::folderRefusesNewFiles},
        {Path(L"f"), F::folderInPlace},
        {Path(L"u"), F::inUse},
        {Path(L"x"), F::unreadable}},
       true,
       head + "p" + gbk::reasonNoPermission + "\r\nd" + gbk::reasonDiskFull + "\r\nr" +
           gbk::reasonReadOnly + "\r\nn" + gbk::reasonFolderRefusesNewFiles + "\r\nf" +
           gbk::reasonFolderInPlace + "\r\nu" + gbk::reasonInUse + "\r\nx" + gbk::reasonUnreadable +
           gbk::hintStart + gbk::hintReadOnly + sep + gbk::hintInUse + sep + gbk::hintDiskFull +
           sep + gbk::hintFolderInPlace + end + gbk::askAdministrator},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(unwrittenFilesMessage(c.files, c.ask), gbkToWide(c.message)) << c.name;
  }
  EXPECT_FALSE(administratorMayHelp({{Path(L"a"), F::readOnly}, {Path(L"b"), F::inUse}}));
  EXPECT_TRUE(
      administratorMayHelp({{Path(L"a"), F::readOnly}, {Path(L"b"), F::folderRefusesNewFiles}}));
}

}  // namespace
