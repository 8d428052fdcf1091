// The program's file dialogs as a Chinese user sees them: Qt's own texts (the file types of
// the list) and the modification dates in Chinese, and each filter naming its pattern once.
#include <gtest/gtest.h>

#include <tuple>
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "platform/services_qt.h"
#include "platform/translations.h"
#include "ui_fakes.h"

namespace wb {
namespace {

// As the program's main does, before the QApplication of the test main exists.
const bool kChineseLocale = [] {
  use_chinese_locale();
  return true;
}();

struct Seen {
  QStringList filters;
  QString folder_type, folder_date, file_size, file_type, size_heading;
  QStringList cut;  // texts of the size, type and date columns wider than their column
  bool columns_in_view = false;  // every column within the list, none scrolled out of view
  bool listed = false;
};

// Opens the service's dialog on `dir` and reads what it shows once the folder is listed.
Seen look_at_open_dialog(const QString& dir, const std::string& filter) {
  Seen seen;
  QTimer::singleShot(0, [&] {
    auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dlg) return;
    seen.filters = dlg->nameFilters();
    auto* view = dlg->findChild<QTreeView*>();
    if (view) {
      seen.listed = QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 3; }, 10000);
      QAbstractItemModel* m = view->model();
      seen.size_heading = m->headerData(1, Qt::Horizontal).toString();
      // The columns take their texts' widths once laid out: wait until every text is whole (or
      // the limit passes, and the checks below say what is cut).
      std::ignore = QTest::qWaitFor([&] {
        if (view->header()->length() > view->viewport()->width()) return false;
        for (int r = 0; r < m->rowCount(view->rootIndex()); ++r)
          for (int column : {1, 2, 3})
            if (view->fontMetrics().horizontalAdvance(m->index(r, column, view->rootIndex()).data().toString()) >=
                view->columnWidth(column))
              return false;
        return true;
      }, 10000);
      seen.columns_in_view = view->header()->length() <= view->viewport()->width();
      for (int r = 0; r < m->rowCount(view->rootIndex()); ++r) {
        for (int column : {1, 2, 3}) {
          const QString text = m->index(r, column, view->rootIndex()).data().toString();
          if (view->fontMetrics().horizontalAdvance(text) >= view->columnWidth(column)) seen.cut << text;
        }
        if (m->index(r, 0, view->rootIndex()).data().toString() == QStringLiteral("a.txt")) {
          seen.file_size = m->index(r, 1, view->rootIndex()).data().toString();
          seen.file_type = m->index(r, 2, view->rootIndex()).data().toString();
        }
        if (m->index(r, 0, view->rootIndex()).data().toString() != QStringLiteral("子目录")) continue;
        seen.folder_type = m->index(r, 2, view->rootIndex()).data().toString();
        seen.folder_date = m->index(r, 3, view->rootIndex()).data().toString();
      }
    }
    dlg->reject();
  });
  FileDialogRequest req;
  req.title = "打开";
  req.filter = filter;
  req.initial_dir = dir.toStdString();
  QtFileDialogService files;
  EXPECT_EQ(files.open_file(req), "");
  return seen;
}

TEST(FileDialogLocale, TypesDatesAndFiltersReadInChinese) {
  ASSERT_TRUE(install_qt_translations());
  test::TempProgramFolder tmp;
  const QString dir = QString::fromStdString(tmp.path().string());
  ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral("子目录")));
  QFile f(dir + QStringLiteral("/a.txt"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(1536, 'x'));
  f.close();
  // A long type and a size in 兆字节 beside it, as a picture folder holds.
  QFile picture(dir + QStringLiteral("/示范井1_功图.bmp"));
  ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
  ASSERT_TRUE(picture.resize(3 << 20));
  picture.close();

  const Seen seen = look_at_open_dialog(dir, "所有文件|*.*|文本文件(*.txt)|*.txt");
  ASSERT_TRUE(seen.listed);
  EXPECT_EQ(seen.filters, (QStringList{QStringLiteral("所有文件 (*.*)"), QStringLiteral("文本文件(*.txt)")}));
  EXPECT_EQ(seen.folder_type, QStringLiteral("文件夹"));
  // Sizes in the units a Chinese reader expects, under a Chinese heading; no size, type or
  // date cut short.
  EXPECT_EQ(seen.size_heading, QStringLiteral("大小"));
  EXPECT_EQ(seen.file_size, QStringLiteral("1.5 千字节"));
  EXPECT_FALSE(seen.file_type.isEmpty());
  EXPECT_TRUE(seen.cut.isEmpty()) << seen.cut.join(QStringLiteral(" | ")).toStdString();
  EXPECT_TRUE(seen.columns_in_view);
  // Chinese dates put the year first ("2026/12/10 19:12"), with no English month name.
  EXPECT_TRUE(seen.folder_date.startsWith(QString::number(QDate::currentDate().year()))) << seen.folder_date.toStdString();
}

TEST(FileDialogLocale, SizesReadInBytesThenKilobytesAndUp) {
  const std::pair<qint64, const char*> cases[] = {{0, "0 字节"},
                                                  {1023, "1023 字节"},
                                                  {1024, "1.0 千字节"},
                                                  {150 * 1024, "150 千字节"},
                                                  {5 * 1048576 / 2, "2.5 兆字节"},
                                                  {4LL << 30, "4.0 吉字节"},
                                                  {3LL << 40, "3.0 太字节"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(file_size_text(bytes), QString::fromUtf8(text)) << bytes;
}

}  // namespace
}  // namespace wb
