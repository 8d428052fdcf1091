// Start-up: the splash leads to the main window, the load step makes the folders and the
// browser lists joint tests; Esc ends the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

using namespace wb;

TEST(Startup, LoadStepMakesFoldersAndListsJointTests) {
  test::TempProgramFolder tmp;
  std::filesystem::create_directories(tmp.path() / "data");
  for (const char* n : {"w1.o01", "W2.O02", "w1.g01", "w3.o1"}) QFile(QString::fromStdString((tmp.path() / "data" / n).string())).open(QIODevice::WriteOnly);
  RodEngMapDisplay w(ProgramFolder{tmp.path()});
  for (const char* sub : {"data", "sys", "image", "report"}) EXPECT_TRUE(std::filesystem::is_directory(tmp.path() / sub)) << sub;
  EXPECT_EQ(w.Frame1->title(), QStringLiteral("联合测试文件"));
  EXPECT_FALSE(w.Frame3->isEnabled());
  EXPECT_EQ(w.Grid1->rows(), 1);
  EXPECT_EQ(w.Grid1->text(0, 1), QStringLiteral(" 井  号"));
  QStringList names;
  for (int i = 0; i < w.File1->count(); ++i) names << w.File1->item(i)->text();
  // "*.o*" matches without regard to case, and a two-character extension too.
  EXPECT_EQ(names, (QStringList{"w1.o01", "W2.O02", "w3.o1"}));
}

TEST(Startup, SplashShowsMainWindowOnKey) {
  bool shown = false;
  auto* s = new FrmSplash([&] { shown = true; });
  s->show();
  QTest::keyClick(s, Qt::Key_A);
  EXPECT_TRUE(shown);
}

TEST(Startup, SplashTimerShowsMainWindow) {
  bool shown = false;
  auto* s = new FrmSplash([&] { shown = true; });
  s->show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown; }, 30000));
}

TEST(Startup, EscEndsTheProgram) {
  test::TempProgramFolder tmp;
  RodEngMapDisplay w(ProgramFolder{tmp.path()});
  w.show();
  w.activateWindow();
  QSignalSpy quit(qApp, &QCoreApplication::aboutToQuit);
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
}

TEST(Startup, RightButtonDeletesChosenFileAfterQuestion) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  std::filesystem::create_directories(tmp.path() / "data");
  auto file = tmp.path() / "data" / "w1.o01";
  QFile(QString::fromStdString(file.string())).open(QIODevice::WriteOnly);
  RodEngMapDisplay w(ProgramFolder{tmp.path()});
  // Nothing chosen: no question.
  w.File1_MouseDown(Qt::RightButton);
  EXPECT_TRUE(fakes.messages.shown.empty());
  w.File1->setCurrentRow(0);
  w.File1->item(0)->setSelected(true);
  fakes.messages.answers = {MsgAnswer::No};
  w.File1_MouseDown(Qt::RightButton);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].title, "警告");
  EXPECT_TRUE(std::filesystem::exists(file));
  fakes.messages.answers = {MsgAnswer::Yes};
  w.File1_MouseDown(Qt::RightButton);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(w.File1->count(), 0);
}

TEST(Startup, Text1EnterMovesFocusAndWraps) {
  test::TempProgramFolder tmp;
  RodEngMapDisplay w(ProgramFolder{tmp.path()});
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.Text1[5]->setFocus();
  QTest::keyClick(w.Text1[5], Qt::Key_Return);
  EXPECT_TRUE(w.Text1[0]->hasFocus());
  EXPECT_EQ(w.Text1[0]->palette().color(QPalette::Base), QColor(0, 0, 255));
  EXPECT_EQ(w.Text1[5]->palette().color(QPalette::Base), QColor(224, 224, 224));
}
