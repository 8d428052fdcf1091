// What the user sees in the main window: result boxes of one test only, damaged raw files
// named on opening and asked about before they are stored, result boxes that show their
// beginning, each named box under its own caption, a grid whose current row is the
// highlighted one however it got there, the standard dialogs in Chinese, and printed PDFs
// proposed among the program's reports under the well's name.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "core/electric/synthetic_wave.h"
#include "core/workbench/org_decode.h"
#include "core/samples/synthetic_tests.h"
#include "core/workbench/test_libraries.h"
#include "platform/system_printer.h"
#include "platform/translations.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"
#include "../core/workbench/temp_program_folder.h"

using namespace wb;

namespace {

namespace fs = std::filesystem;

void open_file(RodEngMapDisplay& w, const QString& name) {
  w.File1->refresh();
  w.File1->set_file_name(name);
  w.File1_Click();
}

// Random bytes renamed to a joint-test file; the header's count (bytes 28, 29) claims
// 10000 samples, so the file is opened rather than refused.
Bytes random_bytes(std::size_t n) {
  std::uint32_t x = 2024;
  Bytes b(n);
  for (auto& v : b) {
    x = x * 1664525u + 1013904223u;
    v = static_cast<std::uint8_t>(x >> 24);
  }
  b[28] = 0x10;
  b[29] = 0x27;
  return b;
}

std::vector<std::string> well_names(const fs::path& lib, std::size_t record) {
  std::ifstream in(lib, std::ios::binary);
  std::vector<std::string> out;
  std::vector<char> buf(record);
  while (in.read(buf.data(), static_cast<std::streamsize>(record))) out.emplace_back(buf.data(), 16);
  return out;
}

struct Folder {
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  Folder() { prog.create_folders(); }
};

TEST(WorkbenchScreen, AReaderEmptiesTheResultBoxesItDoesNotWrite) {
  test::ScopedFakeServices fakes;
  Folder f;
  SyntheticJointParams p;
  ASSERT_TRUE(write_synthetic_joint_test(f.prog.data() / "J1.o01", p));
  ASSERT_TRUE(write_synthetic_wave_test(f.prog.data() / "X1.x01"));
  RodEngMapDisplay w(f.prog);
  open_file(w, "J1.o01");
  w.Image1_Click(7);  // the card and the electric record into their libraries
  for (int i = 1; i <= 13; ++i) ASSERT_FALSE(w.Text3[i]->text().isEmpty()) << i;

  // The electric record writes input power, the electric means and the RMS values; the
  // polished-rod power, the half-stroke boxes and the card's stroke and rate stay empty.
  w.Image1_Click(3);
  w.Grid1->set_row(1);
  w.Grid1_Click();
  ASSERT_EQ(w.st.read_sgt_dnt_org, kKindElectric);
  for (int i : {1, 5, 6, 7, 8, 9, 10, 11}) EXPECT_FALSE(w.Text3[i]->text().isEmpty()) << i;
  for (int i : {0, 2, 3, 4, 12, 13, 14, 15}) EXPECT_TRUE(w.Text3[i]->text().isEmpty()) << i;

  // A card row: only the stroke and the rate its chart measures.
  open_file(w, "J1.o01");
  w.Image1_Click(4);
  w.Grid1->set_row(1);
  w.Grid1_Click();
  ASSERT_EQ(w.st.read_sgt_dnt_org, kKindCard);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(w.Text3[i]->text().isEmpty(), i != 12 && i != 13) << i;

  // A waveform file writes no result box at all.
  open_file(w, "J1.o01");
  w.Image1_Click(12);
  open_file(w, "X1.x01");
  ASSERT_EQ(w.st.read_sgt_dnt_org, kKindWave);
  for (int i = 0; i < 16; ++i) EXPECT_TRUE(w.Text3[i]->text().isEmpty()) << i;
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST(WorkbenchScreen, ADamagedRawFileIsNamedOnOpeningAndStoredOnlyWhenTheUserSaysSo) {
  test::ScopedFakeServices fakes;
  Folder f;
  test::put_bytes(f.prog.data() / "JUNK.o01", random_bytes(5000));
  RodEngMapDisplay w(f.prog);
  open_file(w, "JUNK.o01");
  ASSERT_EQ(w.st.read_sgt_dnt_org, kKindJoint);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  const auto& told = fakes.messages.shown[0];
  EXPECT_EQ(told.title, kOrgDoubtsTitle);
  EXPECT_EQ(told.buttons, MsgButtons::Ok);
  EXPECT_NE(told.text.find("JUNK.o01"), std::string::npos);
  EXPECT_NE(told.text.find("文件头记录 10000 个采样点，文件中只有 397 个"), std::string::npos) << told.text;

  const fs::path sgt = library_path(f.prog, LibraryKind::Card), dnt = library_path(f.prog, LibraryKind::Electric);
  fakes.messages.answers = {MsgAnswer::No};
  w.Image1_Click(7);
  ASSERT_EQ(fakes.messages.shown.size(), 2u);
  EXPECT_EQ(fakes.messages.shown[1].buttons, MsgButtons::YesNo);
  EXPECT_NE(fakes.messages.shown[1].text.find("仍要存入库吗"), std::string::npos);
  EXPECT_FALSE(fs::exists(sgt));
  EXPECT_FALSE(fs::exists(dnt));
  fakes.messages.answers = {MsgAnswer::No};
  w.Image1_Click(9);  // the efficiency command stores too: asked as well
  EXPECT_FALSE(fs::exists(f.prog.sys() / "DlPh.dat"));
  EXPECT_FALSE(fs::exists(sgt));

  fakes.messages.answers = {MsgAnswer::Yes};
  w.Image1_Click(7);
  EXPECT_EQ(fs::file_size(sgt), 512u);
  EXPECT_EQ(fs::file_size(dnt), 1024u);

  // A sound file opened next is stored without a question.
  SyntheticJointParams p;
  ASSERT_TRUE(write_synthetic_joint_test(f.prog.data() / "J2.o01", p));
  const std::size_t before = fakes.messages.shown.size();
  open_file(w, "J2.o01");
  w.Image1_Click(7);
  EXPECT_EQ(fakes.messages.shown.size(), before);
  EXPECT_EQ(fs::file_size(sgt), 1024u);
}

TEST(WorkbenchScreen, AThirtySampleFileIsTooShortForAStroke) {
  test::ScopedFakeServices fakes;
  Folder f;
  SyntheticJointParams p;
  p.sample_count = 30;
  ASSERT_TRUE(write_synthetic_joint_test(f.prog.data() / "S.o01", p));
  RodEngMapDisplay w(f.prog);
  open_file(w, "S.o01");
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_NE(fakes.messages.shown[0].text.find("只有 30 个采样点（0.6 秒），不足一个冲程"), std::string::npos);
  EXPECT_EQ(fakes.messages.shown[0].text.find("文件头记录"), std::string::npos);  // nothing is missing
}

TEST(WorkbenchScreen, ResultBoxesShowTheBeginningOfTheirLongestText) {
  test::ScopedFakeServices fakes;
  Folder f;
  RodEngMapDisplay w(f.prog);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  for (int i = 0; i < 16; ++i) w.st.Text3[i] = i == 3 || i == 4 ? "-327.7/-327.7" : "-32768.00";
  w.st.Text3[4] = "326.4/327.6";
  w.sync_to_widgets();
  QApplication::processEvents();
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i);
    QLineEdit* e = w.Text3[i];
    EXPECT_EQ(e->cursorPosition(), 0);
    // The whole text fits between the box's frame and margins.
    const QString longest = QString::fromLatin1(i == 3 || i == 4 ? "-327.7/-327.7" : "-32768.00");
    EXPECT_GE(e->width(), result_box_width(*e, i));
    EXPECT_GT(result_box_width(*e, i), e->fontMetrics().horizontalAdvance(longest));
  }
  // A box still too narrow for a text (the user shrank nothing: a longer text) shows its start.
  w.st.Text3[2] = "12345678901234567890";
  w.sync_to_widgets();
  EXPECT_EQ(w.Text3[2]->cursorPosition(), 0);
}

// The names the code reads and writes the boxes by are the boxes the user sees under those
// captions.
TEST(WorkbenchScreen, EachNamedBoxCarriesItsCaption) {
  test::ScopedFakeServices fakes;
  Folder f;
  RodEngMapDisplay w(f.prog);
  struct Named {
    int box;
    const char* tooltip;
  };
  const Named appended[] = {
      {appended_box::kTestDate, "测试日期"},
      {appended_box::kStrokeLoss, "冲程损失(用于绘制静力示功图)"},
      {appended_box::kWell, "井号"},
      {appended_box::kTheoStroke, "理论冲程(用于绘制静力示功图)"},
      {appended_box::kTheoMaxLoad, "理论最大负荷(用于绘制静力示功图)"},
      {appended_box::kTheoMinLoad, "理论最小负荷(用于绘制静力示功图)"},
  };
  for (const Named& n : appended) EXPECT_EQ(w.Text1[n.box]->toolTip(), QString::fromUtf8(n.tooltip)) << n.box;
  const Named results[] = {
      {result_box::kWork, "作功量"},           {result_box::kInputPower, "输入功率"},
      {result_box::kRodPower, "光杆功率"},     {result_box::kAvgPowerUpDown, "工作功率"},
      {result_box::kMaxCurrentUpDown, "工作电流"}, {result_box::kAvgVoltage, "平均电压"},
      {result_box::kAvgCurrent, "平均电流"},   {result_box::kApparentPower, "视在功率"},
      {result_box::kReactivePower, "无功功率"}, {result_box::kPowerFactor, "功率因数"},
      {result_box::kRmsCurrent, "均方电流"},   {result_box::kRmsPower, "均方功率"},
      {result_box::kMeasuredStroke, "实测冲程"}, {result_box::kMeasuredSpm, "实测冲次"},
      {result_box::kMaxLoad, "最大载荷"},      {result_box::kMinLoad, "最小载荷"},
  };
  for (const Named& n : results) EXPECT_EQ(w.Text3[n.box]->toolTip(), QString::fromUtf8(n.tooltip)) << n.box;
}

// The line-loss page is proposed as "<well>_线损分析.pdf", like every other report: the well
// box, not the test date beside it.
TEST(WorkbenchScreen, TheLineLossPdfIsNamedAfterTheWell) {
  test::ScopedFakeServices fakes;
  Folder f;
  SyntheticJointParams p;
  p.test_date = "202405061230";
  ASSERT_TRUE(write_synthetic_joint_test(f.prog.data() / "W9.o01", p));
  RodEngMapDisplay w(f.prog);
  w.show();
  open_file(w, QStringLiteral("W9.o01"));
  ASSERT_EQ(w.st.read_sgt_dnt_org, kKindJoint);
  ASSERT_EQ(w.st.Text1[appended_box::kTestDate], "202405061230");
  const bool forced = PrintSession::force_pdf();
  PrintSession::force_pdf() = true;
  fakes.files.answers = {""};  // the user cancels
  w.Get_Line_Lose_print(w.st.iu_num);
  PrintSession::force_pdf() = forced;
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].file_name, "W9_线损分析.pdf");
}

TEST(WorkbenchScreen, TheGridsCurrentRowFollowsTheArrowKeys) {
  test::ScopedFakeServices fakes;
  Folder f;
  for (int i = 1; i <= 4; ++i) {
    SyntheticJointParams p;
    p.test_date = "20060512143" + std::to_string(i);
    ASSERT_TRUE(write_synthetic_joint_test(f.prog.data() / ("W" + std::to_string(i) + ".o01"), p));
  }
  RodEngMapDisplay w(f.prog);
  for (int i = 1; i <= 4; ++i) {
    open_file(w, QStringLiteral("W%1.o01").arg(i));
    w.Image1_Click(7);
  }
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.Image1_Click(4);
  ASSERT_EQ(w.Grid1->rows(), 5);
  const QRect cell = w.Grid1->visualRect(w.Grid1->model()->index(1, 1));
  QTest::mouseClick(w.Grid1->viewport(), Qt::LeftButton, {}, cell.center());
  ASSERT_EQ(w.Grid1->row(), 1);
  QTest::keyClick(w.Grid1, Qt::Key_Down);
  QTest::keyClick(w.Grid1, Qt::Key_Down);
  EXPECT_EQ(w.Grid1->row(), 3);
  EXPECT_EQ(w.Grid1->currentRow(), 3);

  // 删除 acts on the highlighted row, not on the row clicked before.
  fakes.messages.answers = {MsgAnswer::Yes};
  w.sc_num->trigger();
  const auto names = well_names(library_path(f.prog, LibraryKind::Card), 512);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0].substr(0, 2), "W1");
  EXPECT_EQ(names[1].substr(0, 2), "W2");
  EXPECT_EQ(names[2].substr(0, 2), "W4");

  // A mark with the menu after moving up goes on the highlighted row as well.
  QTest::keyClick(w.Grid1, Qt::Key_Down);
  QTest::keyClick(w.Grid1, Qt::Key_Up);
  const int r = w.Grid1->currentRow();
  ASSERT_GE(r, 1);
  EXPECT_EQ(w.Grid1->row(), r);
  w.dy_num->trigger();
  EXPECT_TRUE(w.Grid1->text(r, 0).startsWith(QStringLiteral("▲")));
}

TEST(WorkbenchScreen, MessageBoxButtonsReadInChineseAfterStart) {
  ASSERT_TRUE(install_qt_translations());
  QMessageBox ok(QMessageBox::Warning, QStringLiteral("提示"), QStringLiteral("x"), QMessageBox::Ok);
  EXPECT_EQ(ok.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
  QMessageBox yes_no(QMessageBox::Question, QStringLiteral("警告"), QStringLiteral("x"),
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(yes_no.button(QMessageBox::Yes)->text().remove('&').left(1), QStringLiteral("是"));
  EXPECT_EQ(yes_no.button(QMessageBox::No)->text().remove('&').left(1), QStringLiteral("否"));
  EXPECT_EQ(yes_no.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
}

TEST(WorkbenchScreen, PrintingToPdfProposesTheReportFolder) {
  test::ScopedFakeServices fakes;
  Folder f;
  RodEngMapDisplay w(f.prog);
  const bool forced = PrintSession::force_pdf();
  PrintSession::force_pdf() = true;
  fakes.files.answers = {""};  // the user cancels
  EXPECT_EQ(PrintSession::open(&w), nullptr);
  PrintSession::force_pdf() = forced;
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].initial_dir, path_text(f.prog.report()));
  EXPECT_TRUE(fs::is_directory(f.prog.report()));
}

}  // namespace
