// The save dialog gives a name typed without an extension the extension of the chosen
// file type, so "diag" under "文本文件(*.txt)" is saved as diag.txt.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "platform/services_qt.h"
#include "ui_fakes.h"

namespace wb {
namespace {

TEST(SaveDialog, SuffixComesFromTheRequestOrTheFirstFileType) {
  struct Case {
    const char* filter;
    const char* default_ext;
    const char* suffix;
  } cases[] = {
      {"文本文件(*.txt)|*.txt", "", "txt"},
      {"图片文件(*.BMP)|*.BMP", "", "BMP"},
      {"平衡数据|*.dat;*.bak|所有文件|*.*", "", "dat"},
      {"PDF 文件|*.pdf", "pdf", "pdf"},
      {"所有文件|*.*", "", ""},
      {"联合测试文件|*.o*", "", ""},
      {"所有文件|*.*", "xls", "xls"},
      {"", "", ""},
      {"说明", "", ""},
  };
  for (const Case& c : cases) {
    FileDialogRequest req;
    req.filter = c.filter;
    req.default_ext = c.default_ext;
    EXPECT_EQ(save_suffix(req).toStdString(), c.suffix) << c.filter;
  }
}

TEST(SaveDialog, ANameTypedWithoutExtensionGetsTheFileTypes) {
  test::TempProgramFolder tmp;
  FileDialogRequest req;
  req.title = "保存到文本文件";
  req.filter = "文本文件(*.txt)|*.txt";
  req.initial_dir = tmp.path().string();
  bool typed = false;
  QTimer timer;
  timer.setInterval(20);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dlg || typed) return;
    auto* name = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!name) return;
    typed = true;
    name->setText(QStringLiteral("diag"));
    QTest::keyClick(name, Qt::Key_Return);
  });
  timer.start();
  QtFileDialogService files;
  const std::string chosen = files.save_file(req);
  timer.stop();
  ASSERT_TRUE(typed);
  EXPECT_EQ(chosen, (tmp.path() / "diag.txt").string());
}

}  // namespace
}  // namespace wb
