// The desktop's opener as the program uses it: its answer is waited for, so a file that
// nothing could open is reported instead of being taken as opened.
#include <gtest/gtest.h>

#include <QStandardPaths>

#include "platform/services_qt.h"

using namespace wb;

TEST(ShellService, OpenDocumentReportsTheOpenersAnswer) {
  struct Case {
    const char* opener;
    bool opened;
  };
  const Case cases[] = {
      {"true", true},                         // the opener found a program
      {"false", false},                       // it reported that nothing opens the file
      {"no-such-opener-program-xyz", false},  // no opener at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.opener);
    QtShellService shell;
    shell.opener = QString::fromLatin1(c.opener);
    if (c.opened || std::string(c.opener) == "false") {
      ASSERT_FALSE(QStandardPaths::findExecutable(shell.opener).isEmpty());
    }
    EXPECT_EQ(shell.open_document("/tmp/报表.xlsx"), c.opened);
  }
}
