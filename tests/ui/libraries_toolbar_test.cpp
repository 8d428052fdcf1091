// The main window's libraries, toolbar, grid and picture commands, driven as a user would:
// open a test, save it, list the library, load, mark, export and delete rows, cycle the
// views, save a picture, open the report workbooks and the analysis windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <fstream>

#include "core/common/trim.h"
#include "core/printing/excel_plan.h"
#include "core/samples/synthetic_tests.h"
#include "core/workbench/test_libraries.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"
#include "../core/workbench/temp_program_folder.h"

using namespace wb;

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> bytes_of(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string text_at(const std::vector<std::uint8_t>& b, std::size_t off, std::size_t len) {
  return std::string(b.begin() + static_cast<std::ptrdiff_t>(off), b.begin() + static_cast<std::ptrdiff_t>(off + len));
}

// Clicks a file of the browser as the user does.
void open_file(RodEngMapDisplay& w, const QString& name) {
  w.File1->refresh();
  w.File1->set_file_name(name);
  w.File1_Click();
}

// A card library of `n` records, wells W1 … Wn.
void card_library(const ProgramFolder& prog, int n) {
  std::vector<std::uint8_t> all;
  for (int i = 1; i <= n; ++i) {
    SgtRecord r;
    r.well_name = "W" + std::to_string(i);
    r.test_date = "20040101123" + std::to_string(i % 10);
    r.point_num = 500;
    r.theo_max_load = static_cast<std::int16_t>(1000 + i);
    r.ss_cos[0] = 3.0f;
    r.gg_cos[0] = 80.0f;
    auto b = r.encode();
    all.insert(all.end(), b.begin(), b.end());
  }
  test::put_bytes(library_path(prog, LibraryKind::Card), all);
}

struct RecordingBalance : QWidget, BalanceHandOver {
  int calls = 0;
  std::int16_t count = -1, mode = -1, kind = -1;
  float first_load = 0;
  void sh_ow(SampleArray&, SampleArray&, SampleArray&, SampleArray&, SampleArray&, SampleArray& ggs1,
             std::int16_t& gt_num1, std::int16_t& cs_fs1, std::int16_t& DispCurveType1) override {
    ++calls;
    count = gt_num1;
    mode = cs_fs1;
    kind = DispCurveType1;
    first_load = ggs1[0];
  }
};

struct RecordingEfficiency : QWidget, EfficiencyHandOver {
  int calls = 0;
  std::int16_t gt = -1, iu = -1, mode = -1, tx_main = -1, kind = -1;
  void sh_ow(SampleArray&, SampleArray&, SampleArray&, SampleArray&, SampleArray&, SampleArray&, std::int16_t& gt_num1,
             std::int16_t& iu_num1, std::int16_t& cs_fs1, std::int16_t& tx_main1, std::int16_t& kind1) override {
    ++calls;
    gt = gt_num1;
    iu = iu_num1;
    mode = cs_fs1;
    tx_main = tx_main1;
    kind = kind1;
  }
};

// Registers the two recording windows for one test and removes them again.
struct ScopedAnalysisWindows {
  RecordingBalance* balance = nullptr;
  RecordingEfficiency* efficiency = nullptr;
  int made = 0;
  QPointer<QWidget> alive[2];  // the main window deletes them when it goes first
  ScopedAnalysisWindows() {
    analysis_windows()[AnalysisWindow::Balance] = [this](MainWindowLink&) {
      ++made;
      alive[0] = balance = new RecordingBalance;
      return balance;
    };
    analysis_windows()[AnalysisWindow::Efficiency] = [this](MainWindowLink&) {
      ++made;
      alive[1] = efficiency = new RecordingEfficiency;
      return efficiency;
    };
  }
  ~ScopedAnalysisWindows() {
    analysis_windows() = {};
    for (QPointer<QWidget>& w : alive) delete w.data();
  }
};

}  // namespace

TEST(LibrariesToolbar, SavingAJointTestWritesTheThreeLibrariesOnce) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  SyntheticJointParams p;
  p.test_date = "200605121430";
  ASSERT_TRUE(write_synthetic_joint_test(prog.data() / "J7.o01", p));
  RodEngMapDisplay w(prog);
  open_file(w, "J7.o01");
  ASSERT_EQ(w.st.read_sgt_dnt_org, kKindJoint);
  ASSERT_GT(w.st.gt_num, 200);

  const fs::path sgt = prog.sys() / "Sgt.dat", dnt = prog.sys() / "Dnt.dat", dlph = prog.sys() / "DlPh.dat";
  w.Image1_Click(7);  // save: the card and the electric record
  EXPECT_EQ(fs::file_size(sgt), 512u);
  EXPECT_EQ(fs::file_size(dnt), 1024u);
  EXPECT_FALSE(fs::exists(dlph));
  EXPECT_EQ(w.Grid1->rows(), 1);  // a joint test's save does not list a library

  w.Image1_Click(9);  // efficiency: stores both again and the summary
  w.Image1_Click(7);
  w.Image1_Click(9);
  w.Image1_Click(1);
  EXPECT_EQ(fs::file_size(sgt), 512u);
  EXPECT_EQ(fs::file_size(dnt), 1024u);
  ASSERT_EQ(fs::file_size(dlph), 1264u);
  for (const auto& lib : {sgt, dnt, dlph}) {
    SCOPED_TRACE(lib.filename().string());
    auto b = bytes_of(lib);
    EXPECT_EQ(text_at(b, 0, 16), "J7              ");
    EXPECT_EQ(text_at(b, 16, 12), "200605121430");
  }
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST(LibrariesToolbar, CardLibraryListLoadMarkExportDelete) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  card_library(prog, 4);
  RodEngMapDisplay w(prog);

  w.Image1_Click(4);
  EXPECT_EQ(w.Frame2->title(), QStringLiteral("功图数据主库"));
  EXPECT_EQ(w.Frame1->title(), QStringLiteral("功图数据文件"));
  EXPECT_EQ(w.File1->pattern(), QStringLiteral("*.g*"));
  ASSERT_EQ(w.Grid1->rows(), 5);
  EXPECT_EQ(w.Grid1->text(2, 0), QStringLiteral("2"));
  EXPECT_EQ(w.Grid1->text(2, 1), QStringLiteral("W2              "));

  // Choosing row 2 loads that card.
  w.Grid1->set_row(2);
  w.Grid1_MouseDown(2, 1, Qt::LeftButton);
  EXPECT_EQ(w.st.read_sgt_dnt_org, kKindCard);
  EXPECT_EQ(w.Text1[2]->text(), QStringLiteral("W2"));
  EXPECT_EQ(w.Text1[4]->text(), QStringLiteral("10.02"));
  EXPECT_EQ(w.Image1[0]->toolTip(), QStringLiteral("示功图数据出库"));
  EXPECT_EQ(w.Image1[7]->toolTip(), QStringLiteral("保存功图测试文件到库"));

  // Double click marks, again unmarks; p marks the selected block.
  w.Grid1_DblClick(2, 1);
  EXPECT_EQ(w.Grid1->text(2, 0), QStringLiteral("▲2"));
  w.Grid1_DblClick(2, 1);
  EXPECT_EQ(w.Grid1->text(2, 0), QStringLiteral("2"));
  w.Grid1->setRangeSelected(QTableWidgetSelectionRange(1, 0, 3, 2), true);
  w.Grid1_KeyPress('p');
  EXPECT_EQ(w.Grid1->text(1, 0), QStringLiteral("▲1"));
  EXPECT_EQ(w.Grid1->text(3, 0), QStringLiteral("▲3"));
  EXPECT_EQ(w.Grid1->text(4, 0), QStringLiteral("4"));
  w.Grid1_KeyPress('x');
  EXPECT_EQ(w.Grid1->text(1, 0), QStringLiteral("▲1"));

  // Export: the loaded card with the boxes' static values into data/W2.g01, then .g02.
  w.Text1[3]->setText("3");
  w.Image1_Click(0);
  w.Image1_Click(0);
  EXPECT_EQ(fs::file_size(prog.data() / "W2.g01"), 512u);
  EXPECT_EQ(fs::file_size(prog.data() / "W2.g02"), 512u);
  EXPECT_EQ(w.File1->count(), 2);
  auto g = bytes_of(prog.data() / "W2.g01");
  EXPECT_EQ(g[44] | (g[45] << 8), 3000);

  // Right button: asks, No keeps; Yes deletes and relists.
  w.Grid1->set_row(2);
  fakes.messages.answers = {MsgAnswer::No};
  w.Grid1_MouseDown(2, 0, Qt::RightButton);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "确实要删除功图数据主库的 2号记录吗?\n井号：W2\n测试日期：200401011232");
  EXPECT_EQ(fakes.messages.shown[0].title, "警告");
  EXPECT_EQ(fs::file_size(library_path(prog, LibraryKind::Card)), 4u * 512u);
  fakes.messages.answers = {MsgAnswer::Yes};
  w.Grid1_MouseDown(2, 0, Qt::RightButton);
  EXPECT_EQ(fs::file_size(library_path(prog, LibraryKind::Card)), 3u * 512u);
  ASSERT_EQ(w.Grid1->rows(), 4);
  EXPECT_EQ(w.Grid1->text(2, 1), QStringLiteral("W3              "));
  EXPECT_EQ(w.Grid1->text(1, 0), QStringLiteral("1"));  // relisting drops the marks
}

TEST(LibrariesToolbar, DeleteActsOnlyOnTheLibraryOnScreen) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  card_library(prog, 2);
  DntRecord e;
  e.well_name = "E7";
  e.test_date = "200512241015";
  e.point_num = 480;
  test::put_bytes(library_path(prog, LibraryKind::Electric), e.encode());
  const auto cards = bytes_of(library_path(prog, LibraryKind::Card));
  RodEngMapDisplay w(prog);

  // At start the frame lists no library: nothing to delete, and nothing is asked.
  w.sc_num_Click();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, kNoLibraryShownText);

  // 功, row 1 chosen, then 联 hides the grid: the card library is no longer on screen.
  w.Image1_Click(4);
  w.Grid1->set_row(1);
  w.Grid1_MouseDown(1, 1, Qt::LeftButton);
  w.Image1_Click(2);
  ASSERT_TRUE(w.Frame2->isHidden());
  w.sc_num_Click();
  ASSERT_EQ(fakes.messages.shown.size(), 2u);
  EXPECT_EQ(fakes.messages.shown[1].text, kNoLibraryShownText);
  EXPECT_EQ(fakes.messages.shown[1].buttons, MsgButtons::Ok);
  EXPECT_EQ(bytes_of(library_path(prog, LibraryKind::Card)), cards);

  // 电 shows the electric library: the heading row names no record; row 1 is asked about
  // by library, well and date, and only that library loses it.
  w.Image1_Click(3);
  w.Grid1->set_row(0);
  w.sc_num_Click();
  ASSERT_EQ(fakes.messages.shown.size(), 3u);
  EXPECT_EQ(fakes.messages.shown[2].text, kNoRecordChosenText);
  EXPECT_EQ(fs::file_size(library_path(prog, LibraryKind::Electric)), kDntRecordSize);
  w.Grid1->set_row(1);
  w.sc_num_Click();
  ASSERT_EQ(fakes.messages.shown.size(), 4u);
  EXPECT_EQ(fakes.messages.shown[3].text, "确实要删除电力曲线主库的 1号记录吗?\n井号：E7\n测试日期：200512241015");
  EXPECT_EQ(fakes.messages.shown[3].buttons, MsgButtons::YesNo);
  EXPECT_FALSE(fs::exists(library_path(prog, LibraryKind::Electric)) &&
               fs::file_size(library_path(prog, LibraryKind::Electric)) != 0);
  EXPECT_EQ(bytes_of(library_path(prog, LibraryKind::Card)), cards);
}

TEST(LibrariesToolbar, SavingAFileCardAppendsAndListsItsLibrary) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  card_library(prog, 1);
  SgtRecord r;
  r.well_name = "N5";
  r.test_date = "200607081200";
  r.point_num = 400;
  test::put_bytes(prog.data() / "N5.g01", r.encode());
  RodEngMapDisplay w(prog);
  w.open_card_file(prog.data() / "N5.g01");
  ASSERT_EQ(w.st.read_sgt_dnt_org, kKindCard);
  w.Image1_Click(7);
  EXPECT_EQ(w.Frame2->title(), QStringLiteral("功图数据主库"));
  EXPECT_EQ(w.Grid1->rows(), 3);
  w.Grid1->set_rows(1);  // an overwrite does not list again
  w.Image1_Click(7);
  EXPECT_EQ(w.Grid1->rows(), 1);
  EXPECT_EQ(fs::file_size(library_path(prog, LibraryKind::Card)), 1024u);
}

TEST(LibrariesToolbar, DamagedLibraryAndBrokenFilesAreRefused) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  std::vector<std::uint8_t> damaged(1500, 0x20);
  test::put_bytes(library_path(prog, LibraryKind::Electric), damaged);
  RodEngMapDisplay w(prog);
  w.Image1_Click(3);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "非法的文件格式!");
  EXPECT_EQ(fakes.messages.shown[0].title, "不能打开!");
  EXPECT_EQ(w.Grid1->rows(), 1);
  EXPECT_EQ(bytes_of(library_path(prog, LibraryKind::Electric)), damaged);

  // A card file that is not one record long opens nothing and keeps the shown card.
  SgtRecord r;
  r.well_name = "K1";
  r.test_date = "200607081200";
  test::put_bytes(prog.data() / "K1.g01", r.encode());
  std::vector<std::uint8_t> longer = r.encode();
  longer.resize(600);
  test::put_bytes(prog.data() / "K1.g02", longer);
  w.open_card_file(prog.data() / "K1.g01");
  w.Text1[4]->setText("33");
  w.open_card_file(prog.data() / "K1.g02");
  EXPECT_EQ(fakes.messages.shown.size(), 2u);
  EXPECT_EQ(w.Text1[2]->text(), QStringLiteral("K1"));
  EXPECT_EQ(w.Text1[4]->text(), QStringLiteral("33"));
  EXPECT_EQ(w.st.read_sgt_dnt_org, kKindCard);

  // A well name that would leave the data folder is refused with a message.
  w.Text1[2]->setText("../../K1");
  w.st.image1_tooltip[0] = "示功图数据出库";
  w.Image1_Click(0);
  EXPECT_EQ(fakes.messages.shown.size(), 3u);
  EXPECT_TRUE(list_files(prog.root, "*.g*").empty());
  EXPECT_TRUE(list_files(prog.data(), "*.g0?").size() == 2u);
}

TEST(LibrariesToolbar, PictureCyclesViewsAndSavesTheShownViewAsBmp) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  DntRecord d;
  d.well_name = "E9";
  d.test_date = "200607081200";
  d.point_num = 480;
  d.avg_voltage = 19000;
  d.ii_cos[0] = 50.0f;
  d.uu_cos[0] = 760.0f;
  d.pp_cos[0] = 25.0f;
  d.pp_sin[1] = 5.0f;
  test::put_bytes(prog.data() / "E9.d01", d.encode());
  RodEngMapDisplay w(prog);
  w.open_electric_file(prog.data() / "E9.d01");
  ASSERT_EQ(w.st.disp_state, 1);
  EXPECT_EQ(w.Picture1->toolTip(), QStringLiteral("单击此处可显示电能数据"));
  w.Picture1_MouseDown(Qt::LeftButton, 10, 10);
  EXPECT_EQ(w.st.disp_state, 2);
  EXPECT_EQ(w.Picture1->toolTip(), QStringLiteral("单击此处可绘制电力曲线"));

  w.Text1[2]->setText("E9  ");
  const fs::path target = prog.image() / "E9_DN.BMP";
  fakes.files.answers = {target.string()};
  w.Picture1_MouseDown(Qt::RightButton, 10, 10);
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].title, "电能数据另存为图片文件");
  EXPECT_EQ(fakes.files.asked[0].file_name, "E9_DN.BMP");
  EXPECT_EQ(fakes.files.asked[0].initial_dir, path_text(prog.image()));
  EXPECT_EQ(fakes.files.asked[0].filter, "图片文件(*.BMP)|*.BMP");
  ASSERT_TRUE(fs::exists(target));
  auto bmp = bytes_of(target);
  EXPECT_EQ(text_at(bmp, 0, 2), "BM");

  // Cancel saves nothing; an unsafe well name is refused before the dialog.
  fakes.files.answers = {""};
  w.Picture1_MouseDown(Qt::RightButton, 10, 10);
  EXPECT_EQ(fakes.files.asked.size(), 2u);
  w.Text1[2]->setText("a/../../b");
  w.Picture1_MouseDown(Qt::RightButton, 10, 10);
  EXPECT_EQ(fakes.files.asked.size(), 2u);
  EXPECT_EQ(fakes.messages.shown.size(), 1u);
}

TEST(LibrariesToolbar, ReportWorkbooksAreMadeCopiedAndOpened) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  RodEngMapDisplay w(prog);
  w.Image1_Click(10);
  EXPECT_TRUE(fs::exists(prog.root / "reportem.dll"));
  EXPECT_TRUE(fs::exists(prog.root / "report.dll"));
  ASSERT_EQ(fakes.shell.opened.size(), 1u);
  EXPECT_EQ(fakes.shell.opened[0], path_text(prog.report() / "report.xlsx"));
  // The templates are real workbooks (zip containers).
  EXPECT_EQ(text_at(bytes_of(prog.report() / "report.xlsx"), 0, 2), "PK");
  EXPECT_EQ(list_files(prog.report(), "系统效率及平衡分析报表????????.xlsx").size(), 1u);
  fakes.shell.can_open = false;
  w.Image1_Click(10);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, workbook_not_opened_message(path_text(prog.report() / "report.xlsx")));
}

TEST(LibrariesToolbar, AnalysisWindowsAreShownAndHandedTheJointTest) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  ScopedAnalysisWindows windows;
  SyntheticJointParams p;
  p.wiring_mode = 4;
  ASSERT_TRUE(write_synthetic_joint_test(prog.data() / "J8.o01", p));
  RodEngMapDisplay w(prog);

  // Nothing shown yet: the window opens, nothing is handed over.
  w.Image1_Click(1);
  ASSERT_NE(windows.balance, nullptr);
  EXPECT_TRUE(windows.balance->isVisible());
  EXPECT_EQ(windows.balance->calls, 0);

  open_file(w, "J8.o01");
  ASSERT_EQ(w.st.read_sgt_dnt_org, kKindJoint);
  w.Image1_Click(1);
  EXPECT_EQ(windows.made, 1);  // the second show brings the same window
  ASSERT_EQ(windows.balance->calls, 1);
  EXPECT_EQ(windows.balance->count, w.st.iu_num);
  EXPECT_EQ(windows.balance->mode, 4);
  EXPECT_EQ(windows.balance->kind, kKindJoint);
  EXPECT_EQ(windows.balance->first_load, w.st.ggs[0]);

  w.Image1_Click(9);
  ASSERT_NE(windows.efficiency, nullptr);
  ASSERT_EQ(windows.efficiency->calls, 1);
  EXPECT_EQ(windows.efficiency->gt, w.st.gt_num);
  EXPECT_EQ(windows.efficiency->iu, w.st.iu_num);
  EXPECT_EQ(windows.efficiency->mode, 4);
  EXPECT_EQ(windows.efficiency->tx_main, 1);
  EXPECT_EQ(w.st.disp_state, 3);
  EXPECT_EQ(w.Picture1->toolTip(), QStringLiteral("单击此处可绘制电力曲线"));
  EXPECT_TRUE(fs::exists(prog.sys() / "DlPh.dat"));

  // Buttons of windows not built yet do nothing.
  w.Image1_Click(11);
  w.Image1_Click(14);
  EXPECT_EQ(w.analysis_window(AnalysisWindow::Level), nullptr);
}

// A file is opened by the first letter of its suffix: a joint test with a one-digit number
// opens, and an electric file whose name ends in "o" before the dot is not taken for a joint
// test.
TEST(LibrariesToolbar, FileKindComesFromTheSuffix) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  ASSERT_TRUE(write_synthetic_joint_test(prog.data() / "J7.o1", SyntheticJointParams{}));
  RodEngMapDisplay w(prog);
  open_file(w, "J7.o1");
  EXPECT_EQ(w.st.read_sgt_dnt_org, kKindJoint);

  // "Jo.d1" holding joint-test bytes is read as the electric file its suffix says it is.
  fs::copy_file(prog.data() / "J7.o1", prog.data() / "Jo.d1");
  RodEngMapDisplay w2(prog);
  w2.Image1_Click(3);  // the electric files
  open_file(w2, "Jo.d1");
  EXPECT_NE(w2.st.read_sgt_dnt_org, kKindJoint);
}

// A toolbar command that stops on a fault says so instead of passing for done.
TEST(LibrariesToolbar, AFaultInACommandIsSaid) {
  struct FailingShell : test::FakeShell {
    bool open_document(const std::string&) override { throw std::runtime_error("viewer missing"); }
  } shell;
  test::ScopedFakeServices fakes;
  services().shell = &shell;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  std::ofstream(prog.root / "help.chm") << "help";
  RodEngMapDisplay w(prog);
  w.Image1_Click(13);  // about, then the help file
  ASSERT_EQ(fakes.messages.shown.size(), 2u);
  EXPECT_EQ(fakes.messages.shown[1].text, "命令未能完成：viewer missing");
}

TEST(LibrariesToolbar, PrintWithoutMarksAsksForThem) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  card_library(prog, 2);
  RodEngMapDisplay w(prog);
  w.Image1_Click(4);
  w.Image1_Click(8);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "请在主库网格中双击左键选定您需要打印的示功图或电能图！！");
  EXPECT_EQ(fakes.messages.shown[0].title, "没有选定");
}

TEST(LibrariesToolbar, BrowseButtonsSwitchFileKindLibraryAndLineLoss) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  RodEngMapDisplay w(prog);
  w.show();
  struct Case {
    int button;
    const char* frame1;
    const char* pattern;
    bool library_shown;
    bool period_frame_shown;
    bool line_loss;  // button 5 afterwards draws the line-loss view
  };
  const Case cases[] = {
      {3, "电力曲线文件", "*.d*", true, false, true},   {4, "功图数据文件", "*.g*", true, false, false},
      {12, "波形分析文件", "*.x*", true, false, false}, {2, "联合测试文件", "*.o*", false, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    w.st.read_sgt_dnt_org = kKindElectric;
    w.R_iu->setText("0.9");
    w.Image1_Click(c.button);
    EXPECT_EQ(w.Frame1->title(), QString::fromUtf8(c.frame1));
    EXPECT_EQ(w.File1->pattern(), QString::fromUtf8(c.pattern));
    EXPECT_EQ(w.Frame2->isVisible(), c.library_shown);
    EXPECT_EQ(w.Frame3->isVisible(), c.period_frame_shown);
    if (c.button == 2) {
      EXPECT_FALSE(w.Frame3->isEnabled());
      EXPECT_EQ(w.R_iu->text(), QString());
    }
    EXPECT_EQ(w.st.read_sgt_dnt_org, kKindElectric);  // browsing keeps the shown test
    w.Image1_Click(5);
    EXPECT_EQ(w.st.read_sgt_dnt_org, c.line_loss ? kKindLineLoss : kKindElectric);
  }
}

TEST(LibrariesToolbar, ClickingARowAndPressingPMarksIt) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  card_library(prog, 3);
  RodEngMapDisplay w(prog);
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.Image1_Click(4);
  const QRect cell = w.Grid1->visualRect(w.Grid1->model()->index(2, 1));
  QTest::mouseClick(w.Grid1->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(w.Text1[2]->text(), QStringLiteral("W2"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, {}, 10);
  EXPECT_EQ(w.Grid1->text(2, 0), QStringLiteral("▲2"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ShiftModifier, 10);
  EXPECT_EQ(w.Grid1->text(2, 0), QStringLiteral("2"));

  // The menu key opens the grid menu; its "打印选定" marks the current row.
  QContextMenuEvent menu_key(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
  QApplication::sendEvent(w.Grid1, &menu_key);
  ASSERT_TRUE(w.num->isVisible());
  w.dy_num->trigger();
  w.num->hide();
  EXPECT_EQ(w.Grid1->text(2, 0), QStringLiteral("▲2"));
}
