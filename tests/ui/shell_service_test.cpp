// The desktop's opener as the program uses it: its answer is waited for, so a file that
// nothing could open is reported instead of being taken as opened.
#include <gtest/gtest.h>

#include <QStandardPaths>

#include "platform/services_qt.h"

using namespace wb;

namespace {

// The desktop's associations as a test sets them; it counts the questions.
struct FakeAssociations : DesktopAssociations {
  QString type;
  QString application;
  QStringList asked;
  QString file_type(const QString& path) override {
    asked << path;
    return type;
  }
  QString default_application(const QString& mime) override {
    asked << mime;
    return application;
  }
};

}  // namespace

// A file whose type no application opens is never handed to the opener (it would fall back
// to a browser that may never end): not opened, whatever the opener would say.
TEST(ShellService, NoApplicationForTheTypeIsNotOpened) {
  const QString xlsx = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
  struct Case {
    const char* name;
    QString type;
    QString application;
    bool opened;
  };
  const Case cases[] = {
      {"type and application", xlsx, QStringLiteral("libreoffice-calc.desktop"), true},
      {"no application for the type", xlsx, QString(), false},
      {"type unknown", QString(), QStringLiteral("libreoffice-calc.desktop"), false},
  };
  ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("true")).isEmpty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAssociations desktop;
    desktop.type = c.type;
    desktop.application = c.application;
    QtShellService shell;
    shell.opener = QStringLiteral("true");  // an opener that says it opened anything
    shell.associations = &desktop;
    EXPECT_EQ(shell.open_document("/tmp/报表.xlsx"), c.opened);
    ASSERT_FALSE(desktop.asked.isEmpty());
    EXPECT_EQ(desktop.asked.front(), QStringLiteral("/tmp/报表.xlsx"));
  }
}

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
    FakeAssociations desktop;  // the file's type has an application
    desktop.type = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    desktop.application = QStringLiteral("libreoffice-calc.desktop");
    QtShellService shell;
    shell.opener = QString::fromLatin1(c.opener);
    shell.associations = &desktop;
    if (c.opened || std::string(c.opener) == "false") {
      ASSERT_FALSE(QStandardPaths::findExecutable(shell.opener).isEmpty());
    }
    EXPECT_EQ(shell.open_document("/tmp/报表.xlsx"), c.opened);
  }
}
