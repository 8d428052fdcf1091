// The efficiency statistics window as a user meets it: the library's table on opening, the
// filter through the two lists and "执行统计", a right-click deletion from a filtered table
// read back from disk, the open button with a cancelled, an empty and a truncated file, the
// text export and the printed report of 40 rows, and the efficiency window's "效率统计".
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/common/record_store.h"
#include "core/records/gt_ym_record.h"
#include "core/printing/print_state.h"
#include "core/statistics/effi_stat_export.h"
#include "platform/grid.h"
#include "platform/qt_text.h"
#include "printing/print_test_helpers.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/statistics/sys_effi_assemble.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

GtYmRecord rec(const std::string& well, const std::string& block, const std::string& pump) {
  GtYmRecord r;
  r.well_name = well;
  r.block_unit = block;
  r.vals[kValTestDate] = "2026010" + std::to_string(well.size());
  r.vals[kValPumpDia] = pump;
  r.vals[kValInputPower] = "10";
  return r;
}

void put_library(const std::filesystem::path& p, const std::vector<GtYmRecord>& recs) {
  std::vector<std::uint8_t> b;
  for (const auto& r : recs) {
    const auto e = r.encode();
    b.insert(b.end(), e.begin(), e.end());
  }
  ASSERT_TRUE(write_file_atomic(p, b));
}

std::vector<std::string> wells_in(const std::filesystem::path& lib) {
  std::vector<GtYmRecord> recs;
  EXPECT_EQ(read_gt_ym_records(lib, recs), StoreStatus::Ok);
  std::vector<std::string> out;
  for (const auto& r : recs) out.push_back(r.key_well());
  return out;
}

class StatisticsWindow : public ::testing::Test {
 protected:
  StatisticsWindow() {
    SysEffiAssemble::today_override() = "20261210";
    folder.root = tmp.path();
    folder.create_folders();
    lib = gt_ym_path(folder);
    put_library(lib, {rec("北1-1", "一队", "38"), rec("北1-22", "二队", "44"), rec("北2-333", "一队", "56"),
                      rec("北2-4444", "三队", "38"), rec("北3-55555", "一队", "44")});
  }
  ~StatisticsWindow() override {
    delete w;
    SysEffiAssemble::today_override().clear();
  }
  void open() {
    w = new SysEffiAssemble(folder);
    w->show();
  }
  QString cell(int r, int c) const { return w->Grid1->text(r, c); }
  void pick(QComboBox* box, const char* text, void (SysEffiAssemble::*handler)()) {
    const int i = box->findText(qs(text));
    ASSERT_GE(i, 0) << text;
    box->setCurrentIndex(i);
    (w->*handler)();
  }

  test::TempProgramFolder tmp;
  test::ScopedFakeServices fakes;
  ProgramFolder folder;
  std::filesystem::path lib;
  SysEffiAssemble* w = nullptr;
};

TEST_F(StatisticsWindow, OpensOnTheLibraryWithItsAverageRow) {
  open();
  EXPECT_EQ(w->windowTitle(), qs("机械采油井系统效率统计分析"));
  ASSERT_EQ(w->Grid1->rows(), 7);
  EXPECT_EQ(w->Grid1->cols(), kStatColCount);
  EXPECT_EQ(cell(0, stat_col::kPumpDia), qs("泵径(mm)"));
  EXPECT_EQ(cell(3, stat_col::kNumber), qs("3"));
  EXPECT_EQ(cell(3, stat_col::kWell), qs("北2-333"));
  EXPECT_EQ(cell(6, stat_col::kNumber), qs("平均"));
  EXPECT_EQ(cell(6, stat_col::kPumpDia), qs("44"));
  EXPECT_EQ(cell(6, stat_col::kWell), QString());
  EXPECT_EQ(w->Text2->text(), qs("20261210"));
  EXPECT_EQ(w->Combo1->currentText(), qs("请选择"));
  EXPECT_EQ(w->Combo1->count(), 3);
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(StatisticsWindow, FilterThenRightClickDeletesExactlyTheShownRecords) {
  open();
  QTest::mouseClick(w->Command3, Qt::LeftButton);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "请选取统计条件");
  EXPECT_EQ(w->Grid1->rows(), 7);

  pick(w->Combo1, "单元号", &SysEffiAssemble::Combo1_Click);
  ASSERT_EQ(w->Combo2->count(), 3);
  EXPECT_EQ(w->Combo2->itemText(0), qs("一队"));
  EXPECT_EQ(w->Combo2->itemText(2), qs("三队"));
  pick(w->Combo2, "一队", &SysEffiAssemble::Combo2_Click);
  QTest::mouseClick(w->Command3, Qt::LeftButton);
  ASSERT_EQ(w->Grid1->rows(), 5);
  EXPECT_EQ(cell(2, stat_col::kNumber), qs("2"));
  EXPECT_EQ(cell(2, stat_col::kWell), qs("北2-333"));
  EXPECT_EQ(cell(4, stat_col::kPumpDia), qs("46"));  // 38, 56 and 44 of the matched wells

  // Rows 2 and 3 of the filtered table: records 3 and 5 of the library. Answer No first.
  w->Grid1->setRangeSelected(QTableWidgetSelectionRange(2, stat_col::kNumber, 3, kStatColCount - 1), true);
  fakes.messages.answers = {MsgAnswer::No};
  w->Grid1_MouseDown(2);
  EXPECT_EQ(fakes.messages.shown.back().text, "确实要删除 2至 3号记录吗?");
  EXPECT_EQ(fakes.messages.shown.back().title, "警告");
  EXPECT_EQ(wells_in(lib).size(), 5u);
  ASSERT_EQ(w->Grid1->rows(), 7);  // reloaded: the full table again

  EXPECT_EQ(w->st.tj_jls(), 0);  // the reload emptied the match list and reset the field
  EXPECT_EQ(w->Combo1->currentText(), qs("请选择"));
  pick(w->Combo1, "单元号", &SysEffiAssemble::Combo1_Click);
  pick(w->Combo2, "一队", &SysEffiAssemble::Combo2_Click);
  w->Command3_Click();
  ASSERT_EQ(w->Grid1->rows(), 5);
  w->Grid1->clearSelection();
  w->Grid1->setRangeSelected(QTableWidgetSelectionRange(2, stat_col::kNumber, 3, kStatColCount - 1), true);
  fakes.messages.answers = {MsgAnswer::Yes};
  w->Grid1_MouseDown(2);
  EXPECT_EQ(wells_in(lib), (std::vector<std::string>{"北1-1", "北1-22", "北2-4444"}));
  ASSERT_EQ(w->Grid1->rows(), 5);
  EXPECT_EQ(cell(3, stat_col::kWell), qs("北2-4444"));
  EXPECT_EQ(cell(3, stat_col::kNumber), qs("3"));
  EXPECT_FALSE(std::filesystem::exists(folder.sys() / "gt_ym_bak.dat"));

  // The left button deletes nothing.
  w->Grid1_MouseDown(1);
  EXPECT_EQ(wells_in(lib).size(), 3u);

  // A real right click on row 1 asks about that row; No keeps the library.
  fakes.messages.answers = {MsgAnswer::No};
  const QRect cell1 = w->Grid1->visualRect(w->Grid1->model()->index(1, stat_col::kRealStroke));
  const std::size_t asked = fakes.messages.shown.size();
  QTest::mouseClick(w->Grid1->viewport(), Qt::RightButton, {}, cell1.center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.messages.shown.size() > asked; }, 30000));
  EXPECT_EQ(fakes.messages.shown.back().text, "确实要删除 1号记录吗?");
  EXPECT_EQ(wells_in(lib).size(), 3u);
}

TEST_F(StatisticsWindow, OpenButtonCancelledEmptyAndTruncatedFiles) {
  open();
  fakes.files.answers = {""};
  w->Text2->setText(qs("typed"));
  QTest::mouseClick(w->Command2, Qt::LeftButton);
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].title, "打开系统效率数据");
  EXPECT_EQ(fakes.files.asked[0].filter, "效率统计文件(*.dat)|*.dat");
  EXPECT_EQ(w->Text2->text(), qs("typed"));
  EXPECT_EQ(w->Grid1->rows(), 7);

  const auto cut = folder.sys() / "cut.dat";
  ASSERT_TRUE(write_file_atomic(cut, std::vector<std::uint8_t>(kGtYmRecordSize + 10, ' ')));
  fakes.files.answers = {path_text(cut)};
  w->Command2_Click();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "非法的文件格式!");
  EXPECT_EQ(cell(1, stat_col::kWell), qs("北1-1"));
  EXPECT_EQ(w->st.cur_file, lib);

  const auto empty = folder.sys() / "empty.dat";
  ASSERT_TRUE(write_file_atomic(empty, {}));
  fakes.files.answers = {path_text(empty)};
  w->Command2_Click();
  EXPECT_TRUE(std::filesystem::exists(empty));
  EXPECT_EQ(cell(1, stat_col::kWell), QString());
  EXPECT_EQ(cell(0, stat_col::kWell), qs("井号"));
  EXPECT_EQ(w->Text2->text(), qs("20261210"));
}

TEST_F(StatisticsWindow, ExportWritesTheShownTable) {
  open();
  const auto out = folder.root / "stat.txt";
  fakes.files.answers = {path_text(out)};
  QTest::mouseClick(w->Command4, Qt::LeftButton);
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].title, "保存到文本文件");
  EXPECT_EQ(fakes.files.asked[0].file_name, "系统效率统计分析表.txt");
  EXPECT_EQ(fakes.files.asked[0].initial_dir, path_text(folder.report()));
  std::vector<std::uint8_t> got;
  ASSERT_TRUE(read_file(out, got));
  EXPECT_EQ(got, stat_export_bytes(w->st.grid.rows));
  int lines = 0;
  for (std::size_t i = 0; i + 1 < got.size(); ++i) lines += got[i] == '\r' && got[i + 1] == '\n';
  EXPECT_EQ(lines, 7);
}

TEST_F(StatisticsWindow, ReportOfFortyRowsPrintsTwoLandscapePages) {
  std::vector<GtYmRecord> recs;
  for (int i = 1; i <= 40; ++i) recs.push_back(rec("W" + std::to_string(i), "B", "38"));
  recs[0].well_name = "FIRSTWELL";
  recs[39].well_name = "LASTWELL";
  put_library(lib, recs);
  PrintDlg::destroy();
  current_printer() = PrinterSettings{};
  PrintSession::force_pdf() = true;
  open();
  w->Text1->setText(qs("采油一矿"));
  const std::string pdf = path_text(folder.root / "stat.pdf");
  fakes.files.answers = {pdf};
  test::when_dialog_waits([](PrintDlg& d) {
    EXPECT_TRUE(d.Option1->isChecked());
    EXPECT_FALSE(d.Combo3->isEnabled());
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  w->Grid1->set_row(3);
  w->Grid1->set_col(stat_col::kMotorModel);
  QTest::mouseClick(w->Command1, Qt::LeftButton);
  PrintSession::force_pdf() = false;
  // Printing leaves the grid's current cell on the average row, in the last column.
  EXPECT_EQ(w->Grid1->row(), 41);
  EXPECT_EQ(w->Grid1->col(), kStatColCount - 1);
  const QString qpdf = QString::fromStdString(pdf);
  const QByteArray keep = qgetenv("WB_PRINT_PDF_DIR");  // for a look at the pages
  if (!keep.isEmpty()) QFile::copy(qpdf, QString::fromLocal8Bit(keep) + "/statistics.pdf");
  ASSERT_EQ(test::pdf_pages(qpdf), 2);
  for (const QSizeF& b : test::pdf_media_boxes(qpdf)) EXPECT_GT(b.width(), b.height());
  auto page_text = [&](int page) {
    QProcess p;
    p.start("pdftotext", {"-enc", "UTF-8", "-f", QString::number(page), "-l", QString::number(page), qpdf, "-"});
    EXPECT_TRUE(p.waitForFinished(20000));
    return QString::fromUtf8(p.readAllStandardOutput()).remove(' ');
  };
  const QString p1 = page_text(1), p2 = page_text(2);
  EXPECT_TRUE(p1.contains(qs("机械采油井系统效率统计分析表")));
  EXPECT_TRUE(p1.contains(qs("制表单位:采油一矿")));
  EXPECT_TRUE(p1.contains(qs("FIRSTWELL")));
  EXPECT_FALSE(p1.contains(qs("平均")));
  EXPECT_TRUE(p2.contains(qs("LASTWELL")));
  EXPECT_TRUE(p2.contains(qs("平均")));
  EXPECT_TRUE(p2.contains(qs("2026年12月10日")));
}

TEST_F(StatisticsWindow, EfficiencyButtonShowsOneWindow) {
  register_sys_effi_assemble(folder);
  ASSERT_TRUE(sys_effi_assemble_opener());
  sys_effi_assemble_opener()();
  SysEffiAssemble* first = sys_effi_assemble_window();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->Grid1->rows(), 7);
  // Shown again while open: the same window, not reloaded.
  put_library(lib, {rec("X", "B", "1")});
  sys_effi_assemble_opener()();
  EXPECT_EQ(sys_effi_assemble_window(), first);
  EXPECT_EQ(first->Grid1->rows(), 7);
  // Closed, then shown: loaded afresh.
  first->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(sys_effi_assemble_window(), nullptr);
  sys_effi_assemble_opener()();
  ASSERT_NE(sys_effi_assemble_window(), nullptr);
  EXPECT_EQ(sys_effi_assemble_window()->Grid1->rows(), 3);
  sys_effi_assemble_window()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  sys_effi_assemble_opener() = nullptr;
}

TEST_F(StatisticsWindow, GridFollowsTheWindowSize) {
  open();
  w->resize(900, 600);
  QCoreApplication::processEvents();
  const QSize outer = w->frameGeometry().size();
  EXPECT_EQ(w->Grid1->width(), outer.width() - 350 / 15);
  EXPECT_EQ(w->Grid1->height(), outer.height() - 1700 / 15);
  EXPECT_EQ(w->Grid1->x(), 8);
  EXPECT_EQ(w->Grid1->y(), 80);
  w->resize(40, 40);
  QCoreApplication::processEvents();
  EXPECT_GT(w->Grid1->height(), 0);
}

}  // namespace

