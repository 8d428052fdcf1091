#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/common/gbk.h"
#include "core/common/journal_folder.h"
#include "core/common/messages.h"
#include "core/balance/balance_charts.h"
#include "core/balance/balance_torque.h"
#include "core/balance/phfx_record.h"
#include "core/common/dlph_record.h"
#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/efficiency/well_base_record.h"
#include "core/samples/synthetic_tests.h"
#include "ui/balance/balance_analysis.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A main window showing a decoded synthetic joint test, with the balance window registered.
struct Fixture {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  std::unique_ptr<RodEngMapDisplay> main;
  Fixture() {
    prog.create_folders();
    register_balance_window();
    SyntheticJointParams p;
    p.counterbalance = 30;  // light counterweights: the motor works harder on the upstroke
    EXPECT_TRUE(write_synthetic_joint_test(prog.data() / "B1.o01", p));
    main = std::make_unique<RodEngMapDisplay>(prog);
    main->File1->refresh();
    main->File1->set_file_name("B1.o01");
    main->File1_Click();
  }
  ~Fixture() { analysis_windows() = {}; }
  BalanceAnalysis* open() {
    main->Image1_Click(1);
    return dynamic_cast<BalanceAnalysis*>(main->analysis_window(AnalysisWindow::Balance));
  }
};

void fill_crank(BalanceAnalysis& w) {
  w.Text2[1]->setText("12");
  w.Text2[2]->setText("1.2");
}

TEST(BalanceWindow, HandOverRunsTheAutomaticAnalysis) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "抽油机井平衡分析专家系统");
  EXPECT_EQ(w->state.held.Cur_Well, "B1");
  EXPECT_GT(w->state.held.gt_num, 200);
  // The default boxes lack the crank block weight: the check's message, nothing saved.
  EXPECT_NE(w->advice_text().find("曲柄平衡块单重错误，只能在 1- 30之间！"), std::string::npos);
  EXPECT_EQ(w->SSTab1->currentIndex(), 1);
  EXPECT_FALSE(w->Cmd_Save->isEnabled());
  EXPECT_GE(f.fakes.shell.beeps, 1);

  fill_crank(*w);
  QTest::mouseClick(w->Command1, Qt::LeftButton);
  EXPECT_EQ(w->advice_text().rfind("\r\n      B1井平衡调整建议\r\n", 0), 0u) << w->advice_text();
  EXPECT_NE(w->advice_text().find("  二、建议:"), std::string::npos);
  EXPECT_TRUE(w->Cmd_Save->isEnabled());
  EXPECT_EQ(w->Text1->toPlainText().toStdString().find("井平衡调整建议") != std::string::npos, true);
  EXPECT_TRUE(f.fakes.messages.shown.empty());
}

// The command turns to the advice page; the charts on the hidden pages are drawn when a page
// is first shown, with what the command had then, whatever the state holds by then.
TEST(BalanceWindow, ChartsOnHiddenPagesShowWhatTheCommandDrew) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  ASSERT_TRUE(w->isVisible());
  fill_crank(*w);
  QTest::mouseClick(w->Command1, Qt::LeftButton);
  ASSERT_EQ(w->SSTab1->currentIndex(), 1);
  ASSERT_TRUE(w->Cmd_Save->isEnabled());
  EXPECT_TRUE(w->Picture1->drawing_pending());
  EXPECT_TRUE(w->Picture2->drawing_pending());

  // What the charts must show, drawn at once on pictures of the same size.
  const BalanceState drawn = w->state;
  TorqueAnalysis t = compute_torques(w->state, static_cast<float>(w->Text2[4]->text().toDouble()));
  auto reference = [](const std::function<void(ImageCanvas&)>& draw) {
    ImageCanvas c(1, 1, 240.0);  // the charts' drawing area, 9375 x 4215 twips at 240 dpi
    c.set_page_mm(9375 * 25.4 / 1440.0, 4215 * 25.4 / 1440.0);
    draw(c);
    return c.image().copy();
  };
  const QImage power = reference([&](ImageCanvas& c) { draw_power_chart(c, drawn, true, true); });
  const QImage torque = reference([&](ImageCanvas& c) { draw_torque_chart(c, t, "B1", {}); });

  // The state moves on without a redraw (as a record browsed would leave it).
  for (float& v : w->state.pps_after) v *= 0.5f;
  w->state.held.Cur_Well = "X9";

  w->SSTab1->setCurrentIndex(2);
  EXPECT_FALSE(w->Picture1->drawing_pending());
  EXPECT_TRUE(w->Picture2->drawing_pending());
  EXPECT_EQ(w->Picture1->image(), power);
  w->SSTab1->setCurrentIndex(3);
  EXPECT_EQ(w->Picture2->image(), torque);
}

TEST(BalanceWindow, RedrawsKeepTheAdviceAndManualStepsMoveTheResult) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  fill_crank(*w);
  w->Run_PH_Analysis(0);
  const std::string advice = w->advice_text();
  const QImage before = w->Picture1->image().copy();
  w->Label1_Click(6);  // current curves off
  EXPECT_FALSE(w->Disp_I_Flag);
  EXPECT_EQ(w->advice_text(), advice);
  EXPECT_NE(w->Picture1->image(), before);
  w->Label1_Click(6);
  EXPECT_EQ(w->Picture1->image(), before);

  const float dR = w->state.Crank_dR;
  w->Run_PH_Analysis(1);
  EXPECT_NEAR(w->state.Crank_dR, dR + 0.05f, 1e-6);
  w->Run_PH_Analysis(2);
  w->Run_PH_Analysis(2);
  EXPECT_NEAR(w->state.Crank_dR, dR - 0.05f, 1e-6);

  // The torque chart follows the rated-torque box and the legend switches.
  const QImage torque = w->Picture2->image().copy();
  w->Text2[4]->setText("60");
  EXPECT_NE(w->Picture2->image(), torque);
  w->Label1_Click(1);
  EXPECT_FALSE(w->Disp_LoadT_Flag);

  // Right button on a chart offers its BMP save; a cancel writes nothing.
  f.fakes.files.answers.push_back("");
  QTest::mouseClick(w->Picture2, Qt::RightButton);
  const fs::path bmp = f.prog.image() / "p.bmp";
  f.fakes.files.answers.push_back(bmp.string());
  QTest::mouseClick(w->Picture1, Qt::RightButton);
  QTest::mouseClick(w->Picture1, Qt::LeftButton);
  ASSERT_EQ(f.fakes.files.asked.size(), 2u);
  EXPECT_EQ(f.fakes.files.asked[0].file_name, "B1_LJ.BMP");
  EXPECT_EQ(f.fakes.files.asked[1].title, "平衡分析电能曲线另存为图片文件");
  EXPECT_EQ(read_file(bmp).substr(0, 2), "BM");
}

// A crank block group typed beyond reason: the totals never show it, the analysis names the
// box in its check's advice and stores nothing.
TEST(BalanceWindow, AGroupBoxBeyondReasonIsNamed) {
  struct Case {
    int box;
    const char* text;
    const char* line;
  } cases[] = {
      {13, "1e300", "“第一组单块重”为 1E+300 kN"},
      {14, "99999999", "“第一组分组块数”为 99999999"},
      {13, "-10", "“第一组单块重”为 -10 kN"},
      {12, "1,5", "“第一组重心位置”中的“1,5”不是数字"},
  };
  Fixture f;
  BalanceAnalysis* w = f.open();
  ASSERT_NE(w, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::array groups = {"1.5", "10", "2", "1.2", "8", "2"};
    for (std::size_t i = 0; i < groups.size(); ++i) w->Text2[12 + i]->setText(groups[i]);
    w->Text2[static_cast<std::size_t>(c.box)]->setText(QString::fromUtf8(c.text));
    EXPECT_EQ(w->Text2[0]->text(), "2");  // the second group alone
    EXPECT_EQ(w->Text2[1]->text(), "8");
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    EXPECT_NE(w->advice_text().find(c.line), std::string::npos) << w->advice_text();
    EXPECT_FALSE(w->Cmd_Save->isEnabled());
  }
}

TEST(BalanceWindow, ModesBoxesAndKeys) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  w->Option1_Click(1);
  EXPECT_TRUE(w->Frame1->isHidden());
  EXPECT_FALSE(w->Frame2->isHidden());
  EXPECT_TRUE(w->adjust[1]->isHidden());
  EXPECT_FALSE(w->adjust[3]->isHidden());
  w->Option1_Click(2);
  EXPECT_TRUE(!w->Frame1->isHidden() && !w->Frame2->isHidden());
  EXPECT_TRUE(!w->adjust[1]->isHidden() && !w->adjust[4]->isHidden());

  // Typed group data give the totals.
  w->Text2[12]->setText("1.5");
  w->Text2[13]->setText("10");
  w->Text2[15]->setText("1.2");
  w->Text2[16]->setText("8");
  w->Text2[17]->setText("2");
  EXPECT_EQ(w->Text2[0]->text(), "4");
  EXPECT_EQ(w->Text2[1]->text(), "9");
  EXPECT_EQ(w->Text2[2]->text(), "1.37");

  w->Comb_Cyj_Mode->setEditText("CYJ10-3-53HB");
  EXPECT_EQ(w->Text2[6]->text(), "3");
  EXPECT_EQ(w->Text2[4]->text(), "53");

  w->SSTab1->setCurrentIndex(0);
  w->show();
  QApplication::setActiveWindow(w);
  w->Text2[1]->setFocus();
  QTest::keyClick(w->Text2[1], Qt::Key_Down);
  EXPECT_TRUE(w->Text2[2]->hasFocus());
  QTest::keyClick(w->Text2[2], Qt::Key_Return);
  EXPECT_TRUE(w->Text2[4]->hasFocus());
  QTest::keyClick(w->Text2[4], Qt::Key_Up);
  EXPECT_TRUE(w->Text2[2]->hasFocus());
}

TEST(BalanceWindow, FilesAdviceExportAndReopening) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  fill_crank(*w);
  w->Check2->setChecked(true);
  w->Check2_Click();
  w->Run_PH_Analysis(0);
  EXPECT_TRUE(fs::exists(f.prog.root / "B1悬点位移及扭矩因数.txt"));
  EXPECT_TRUE(fs::exists(f.prog.root / "B1平衡前后的功率及扭矩分解.txt"));
  EXPECT_FALSE(fs::exists(f.prog.root / "B1游梁平衡块的垂直位移及速度.txt"));  // crank balance

  const fs::path out = f.prog.image() / "advice.TXT";
  f.fakes.files.answers.push_back(out.string());
  w->Advice_Export();
  ASSERT_EQ(f.fakes.files.asked.size(), 1u);
  EXPECT_EQ(f.fakes.files.asked[0].file_name, "B1井平衡建议.TXT");
  EXPECT_EQ(f.fakes.files.asked[0].title, "平衡调整建议另存为文本文件");
  EXPECT_EQ(read_file(out), utf8_to_gbk(w->advice_text() + "\r\n"));

  // Closed and shown again: the held stroke is prepared again from default boxes.
  w->close();
  const int beeps = f.fakes.shell.beeps;
  f.main->show_analysis_window(AnalysisWindow::Balance);
  EXPECT_EQ(f.fakes.shell.beeps, beeps + 1);
  EXPECT_EQ(w->Text2[1]->text(), "");
  EXPECT_NE(w->advice_text().find("曲柄平衡块单重"), std::string::npos);
  EXPECT_EQ(w->Comb_WellName->currentText(), "B1");
}

TEST(BalanceWindow, WellBaseDataAndModelListFillTheWindow) {
  Fixture f;
  {
    std::ofstream cat(f.prog.sys() / "Cyj_mode.dat", std::ios::binary);
    cat << utf8_to_gbk("抽油机型=CYJ8-3-37HB\r\n冲    程=3\r\n\r\n抽油机型=CYJ10-4.2-53HB\r\n");
  }
  BalanceWellBaseSource src;
  src.Cur_Well = "B1";
  src.Cur_Test = f.main->st.Text1[0];
  src.Text2 = default_parameter_boxes();
  src.Text2[1] = "11";
  src.Text2[2] = "1.1";
  src.Text2[6] = "3";
  src.Text2[9] = "5";
  src.Text2[10] = "3";
  src.Text2[27] = "3";
  src.Comb_Cyj_Mode = "CYJ8-3-37HB";
  src.balance_mode = 2;
  ASSERT_EQ(Save_WellBase(f.prog, src, f.fakes.messages).outcome, SaveOutcome::Saved);

  BalanceAnalysis* w = f.open();
  ASSERT_EQ(w->Comb_Cyj_Mode->count(), 2);
  EXPECT_EQ(w->Comb_Cyj_Mode->itemText(1), "CYJ10-4.2-53HB");
  EXPECT_EQ(w->Comb_Cyj_Mode->currentText(), "CYJ8-3-37HB");
  EXPECT_EQ(w->Text2[1]->text(), "11");
  EXPECT_EQ(w->Text2[4]->text(), "37");
  EXPECT_TRUE(w->Option1[2]->isChecked());
  // Combined balance ran on the stored parameters: beam and crank state lines.
  EXPECT_NE(w->advice_text().find("安装了3 个5kN 的游梁平衡块；"), std::string::npos) << w->advice_text();
  EXPECT_NE(w->advice_text().find("个平均重量为11kN 的曲柄平衡块"), std::string::npos);
  EXPECT_TRUE(w->Cmd_Save->isEnabled());
}

std::size_t records(const fs::path& lib, std::size_t len) {
  std::size_t n = 0;
  EXPECT_EQ(RecordStore(lib, len).count(n), StoreStatus::Ok);
  return n;
}

TEST(BalanceWindow, SaveAsksFirstAndStoresTheAnalysisAsShown) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  fill_crank(*w);
  w->Run_PH_Analysis(0);
  w->Run_PH_Analysis(1);  // a manual step: the shown advice is the one to keep
  const std::string shown = w->advice_text();
  const float dR = w->state.Crank_dR;
  const fs::path lib = f.prog.sys() / "phfx.dat";
  QTest::mouseClick(w->Cmd_Save, Qt::LeftButton);
  EXPECT_TRUE(f.fakes.messages.shown.empty());
  EXPECT_EQ(records(lib, kPhfxRecordSize), 1u);
  EXPECT_EQ(records(f.prog.sys() / "wellbase.dat", 2000), 1u);
  EXPECT_EQ(w->Text7->text(), "1");
  EXPECT_FALSE(w->Cmd_Save->isEnabled());
  EXPECT_EQ(w->advice_text(), shown);  // not analysed again
  EXPECT_FLOAT_EQ(w->state.Crank_dR, dR);
  Bytes b;
  ASSERT_EQ(RecordStore(f.prog.sys() / "DlPh.dat", kDlPhRecordSize).read(1, b), StoreStatus::Ok);
  DlPhRecord sum;
  ASSERT_TRUE(sum.decode(b));
  EXPECT_EQ(sum.balance_advice.substr(0, w->state.balance_advice.find_last_not_of(' ') + 1),
            w->state.balance_advice.substr(0, w->state.balance_advice.find_last_not_of(' ') + 1));
  EXPECT_EQ(sum.crank_blocks, 2);
  EXPECT_EQ(w->Comb_WellName->findText("B1"), 0);

  // Saving again asks; No writes neither library.
  w->Text2[1]->setText("13");
  w->Run_PH_Analysis(0);
  const std::string before_phfx = read_file(lib), before_wb = read_file(f.prog.sys() / "wellbase.dat");
  f.fakes.messages.answers.push_back(MsgAnswer::No);
  w->Cmd_Save_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(f.fakes.messages.shown[0].text, "B1井本次测试的平衡分析已有记录，要覆盖吗？");
  EXPECT_EQ(f.fakes.messages.shown[0].title, "警告");
  EXPECT_EQ(read_file(lib), before_phfx);
  EXPECT_EQ(read_file(f.prog.sys() / "wellbase.dat"), before_wb);
  EXPECT_TRUE(w->Cmd_Save->isEnabled());

  // A value beyond its field: refused by name, nothing written.
  w->Text2[9]->setText("40");
  w->Cmd_Save_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), 3u);  // the question (Yes) and the refusal
  EXPECT_NE(f.fakes.messages.shown[2].text.find("平衡块单重 kN"), std::string::npos);
  EXPECT_EQ(read_file(lib), before_phfx);
  EXPECT_TRUE(w->Cmd_Save->isEnabled());

  // Yes overwrites in place.
  w->Text2[9]->setText("");
  w->Cmd_Save_Click();
  EXPECT_EQ(records(lib, kPhfxRecordSize), 1u);
  PhfxRecord r;
  ASSERT_EQ(read_phfx(lib, 1, r), StoreStatus::Ok);
  EXPECT_EQ(r.crank_block_wt, 13000);
}

// Another save of the test, committed but left unfinished, is completed when the save's set
// opens: the save looks for the record inside its set, so it asks about that record, and No
// leaves it the library's only one.
TEST(BalanceWindow, SaveAsksAboutTheRecordTheLibraryHoldsOnceItsSetIsOpen) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  fill_crank(*w);
  w->Run_PH_Analysis(0);
  const fs::path lib = f.prog.sys() / "phfx.dat";
  PhfxRecord theirs;
  theirs.well_name = w->state.held.Cur_Well;
  theirs.test_date = w->state.held.Cur_Test;
  theirs.point_num = 7;
  test::plant_committed_save(f.prog.root, "sys/phfx.dat", theirs.encode());
  f.fakes.messages.shown.clear();
  f.fakes.messages.answers.push_back(MsgAnswer::No);
  w->Cmd_Save_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(f.fakes.messages.shown[0].text, "B1井本次测试的平衡分析已有记录，要覆盖吗？");
  EXPECT_EQ(records(lib, kPhfxRecordSize), 1u);
  PhfxRecord back;
  ASSERT_EQ(read_phfx(lib, 1, back), StoreStatus::Ok);
  EXPECT_EQ(back.point_num, 7);
  EXPECT_FALSE(fs::exists(f.prog.sys() / "wellbase.dat"));
  EXPECT_TRUE(w->Cmd_Save->isEnabled());
}

// A library chosen outside the program folder's sys and data folders is taken for looking at
// and said at once; a save into it is still refused at its commit, nothing written anywhere.
TEST(BalanceWindow, ALibraryNoSaveCanWriteIsSaidWhenChosen) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  const fs::path elsewhere = f.prog.root / "phfx.dat";
  { std::ofstream(elsewhere, std::ios::binary).flush(); }
  f.fakes.messages.shown.clear();
  f.fakes.files.answers.push_back(path_text(elsewhere));
  w->Cmd_View_PHFX_Data_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(f.fakes.messages.shown[0].text, library_outside_sets_text(path_text(elsewhere)));
  EXPECT_EQ(f.fakes.messages.shown[0].title, "提示");
  EXPECT_EQ(w->Phfx_File, path_text(elsewhere));

  fill_crank(*w);
  w->Run_PH_Analysis(0);
  const std::string summary = read_file(f.prog.sys() / "DlPh.dat");
  f.fakes.messages.shown.clear();
  w->Cmd_Save_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
  EXPECT_NE(f.fakes.messages.shown[0].text.find("不能与其他库一起保存"), std::string::npos)
      << f.fakes.messages.shown[0].text;
  EXPECT_EQ(fs::file_size(elsewhere), 0u);
  EXPECT_FALSE(fs::exists(f.prog.sys() / "wellbase.dat"));
  EXPECT_EQ(read_file(f.prog.sys() / "DlPh.dat"), summary);
  EXPECT_TRUE(w->Cmd_Save->isEnabled());
}

TEST(BalanceWindow, AFailedSaveIsReportedAndKeepsTheButton) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  fill_crank(*w);
  w->Run_PH_Analysis(0);
  // The library's name is taken by a folder: nothing can be read or written there.
  fs::create_directories(f.prog.sys() / "phfx.dat");
  w->Cmd_Save_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(f.fakes.messages.shown[0].text.rfind("平衡分析记录保存失败！\n", 0), 0u);
  EXPECT_NE(f.fakes.messages.shown[0].text.find("phfx.dat 不能读取"), std::string::npos);  // and why
  EXPECT_TRUE(w->Cmd_Save->isEnabled());
  EXPECT_FALSE(fs::exists(f.prog.sys() / "wellbase.dat"));
}

// "保存" when one of its three libraries holds the record limit: the library is named with
// the limit, none of the three is written and the button stays for another try.
TEST(BalanceWindow, AFullLibraryIsNamedAndNoneIsWritten) {
  const std::pair<const char*, std::size_t> libs[] = {
      {kWellBaseFileName, kWellBaseRecordSize}, {kPhfxFileName, kPhfxRecordSize}, {kDlPhFileName, kDlPhRecordSize}};
  const char* names[] = {kWellBaseLibraryName, kPhfxLibraryName, kDlPhLibraryName};
  for (std::size_t k = 0; k < std::size(libs); ++k) {
    SCOPED_TRACE(libs[k].first);
    Fixture f;
    BalanceAnalysis* w = f.open();
    fill_crank(*w);
    w->Run_PH_Analysis(0);
    for (const auto& [file, len] : libs) fs::remove(f.prog.sys() / file);
    const fs::path full = f.prog.sys() / libs[k].first;
    { std::ofstream(full, std::ios::binary); }
    fs::resize_file(full, kMaxLibraryRecords * libs[k].second);  // sparse zeroed records
    f.fakes.messages.shown.clear();
    w->Cmd_Save_Click();
    ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(f.fakes.messages.shown[0].text,
              library_full_text(names[k]) + "\n平衡分析记录、井基础数据和汇总数据都未保存，原有数据保持不变。");
    for (const auto& [file, len] : libs) {
      if (file == libs[k].first) continue;
      EXPECT_FALSE(fs::exists(f.prog.sys() / file)) << file;
    }
    EXPECT_EQ(fs::file_size(full), kMaxLibraryRecords * libs[k].second);
    EXPECT_TRUE(w->Cmd_Save->isEnabled());
  }
}

TEST(BalanceWindow, BrowsingDeletingAndLibraryFiles) {
  Fixture f;
  const fs::path lib = f.prog.sys() / "phfx.dat";
  {
    std::vector<std::uint8_t> all;
    for (int k = 1; k <= 3; ++k) {
      PhfxRecord r;
      ASSERT_FALSE(fill_phfx(r, [] {
        HeldStroke h;
        std::vector<float> u(300, 380), i(300, 20), p(300), q(300, 2), s(300), g(300, 30);
        for (int j = 0; j < 300; ++j) {
          p[static_cast<std::size_t>(j)] = static_cast<float>(8 + 4 * std::sin(2 * 3.14159265 * j / 300));
          s[static_cast<std::size_t>(j)] = static_cast<float>(1.5 * (1 - std::cos(2 * 3.14159265 * j / 300)));
        }
        take_stroke(h, u.data(), i.data(), p.data(), q.data(), s.data(), g.data(), 300, 1, 3);
        return h;
      }(), [] { ParameterBoxes t = default_parameter_boxes(); t[1] = "10"; t[2] = "1"; return t; }(),
                           BalanceMode::Crank, ""));
      r.well_name = "R" + std::to_string(k);
      r.test_date = "20070101120" + std::to_string(k);
      const Bytes b = r.encode();
      all.insert(all.end(), b.begin(), b.end());
    }
    ASSERT_TRUE(write_file_atomic(lib, all));
  }
  BalanceAnalysis* w = f.open();
  EXPECT_EQ(w->Comb_WellName->count(), 3);
  w->Text7->setText("2");
  EXPECT_EQ(w->state.held.Cur_Well, "R2");
  EXPECT_EQ(w->Text2[1]->text(), "10");
  EXPECT_NE(w->advice_text().find("R2井平衡调整建议"), std::string::npos);
  w->Cmd_Review_Click(1);
  EXPECT_EQ(w->Text7->text(), "3");
  w->Cmd_Review_Click(1);
  EXPECT_EQ(w->Text7->text(), "3");
  w->Cmd_Review_Click(2);  // delete record 3 of 3: record 2 is shown
  EXPECT_EQ(records(lib, kPhfxRecordSize), 2u);
  EXPECT_EQ(w->Text7->text(), "2");
  EXPECT_EQ(w->state.held.Cur_Well, "R2");

  // The list: choosing a well with one test shows it.
  w->Comb_WellName->setCurrentIndex(0);
  w->Comb_WellName_Click();
  EXPECT_EQ(w->Text7->text(), "1");
  EXPECT_EQ(w->state.held.Cur_Well, "R1");

  // kill_jl asks with the numbers in print form.
  f.fakes.messages.answers.push_back(MsgAnswer::No);
  EXPECT_FALSE(w->kill_jl(1, 2, -1));
  EXPECT_EQ(f.fakes.messages.shown.back().text, "确实要删除 1至 2号记录吗?");
  EXPECT_TRUE(w->kill_jl(2, 2, 2));
  EXPECT_EQ(f.fakes.messages.shown.back().text, "确实要删除 2号记录吗?");
  EXPECT_EQ(records(lib, kPhfxRecordSize), 1u);

  // A library of a wrong length is refused and left as it was.
  const fs::path bad = f.prog.sys() / "bad.dat";
  std::ofstream(bad, std::ios::binary) << std::string(100, 'x');
  f.fakes.files.answers.push_back(bad.string());
  w->Cmd_View_PHFX_Data_Click();
  EXPECT_EQ(f.fakes.messages.shown.back().text, "非法的文件格式!");
  EXPECT_EQ(f.fakes.messages.shown.back().title, "不能打开!");
  EXPECT_EQ(w->Text3->text(), "");
  EXPECT_EQ(fs::file_size(bad), 100u);
  EXPECT_EQ(w->Phfx_File, lib.string());

  // An empty library is an empty library, not deleted.
  const fs::path empty = f.prog.sys() / "empty.dat";
  std::ofstream(empty, std::ios::binary).flush();
  w->Text3->setText(QString::fromStdString(empty.string()));
  EXPECT_TRUE(fs::exists(empty));
  EXPECT_EQ(w->Comb_WellName->count(), 0);
}

// A well name that could lead out of the image folder is left out of the proposed names;
// pictures and texts go through the atomic writer and a failed write is reported.
TEST(BalanceWindow, SaveDialogsProposeSafeNamesAndReportFailedWrites) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  fill_crank(*w);
  w->Run_PH_Analysis(0);
  w->state.held.Cur_Well = "../../x";
  f.fakes.files.answers = {"", "", ""};
  QTest::mouseClick(w->Picture1, Qt::RightButton);
  QTest::mouseClick(w->Picture2, Qt::RightButton);
  w->Advice_Export();
  ASSERT_EQ(f.fakes.files.asked.size(), 3u);
  EXPECT_EQ(f.fakes.files.asked[0].file_name, "_PD.BMP");
  EXPECT_EQ(f.fakes.files.asked[1].file_name, "_LJ.BMP");
  EXPECT_EQ(f.fakes.files.asked[2].file_name, "井平衡建议.TXT");
  EXPECT_TRUE(f.fakes.messages.shown.empty());

  const fs::path missing = f.prog.image() / "no" / "such";
  f.fakes.files.answers = {(missing / "p.BMP").string(), (missing / "a.TXT").string()};
  QTest::mouseClick(w->Picture1, Qt::RightButton);
  w->Advice_Export();
  ASSERT_EQ(f.fakes.messages.shown.size(), 2u);
  EXPECT_EQ(f.fakes.messages.shown[0].text, "图片文件不能保存：" + (missing / "p.BMP").string());
  EXPECT_EQ(f.fakes.messages.shown[1].text, "文本文件不能保存：" + (missing / "a.TXT").string());
  EXPECT_FALSE(fs::exists(f.prog.image() / "no"));

  // An intermediate file that cannot be written is named; the others are written.
  w->state.held.Cur_Well = "B1";
  fs::create_directories(f.prog.root / "B1悬点位移及扭矩因数.txt");
  w->Check2->setChecked(true);
  w->Check2_Click();
  w->Run_PH_Analysis(0);
  ASSERT_EQ(f.fakes.messages.shown.size(), 3u);
  EXPECT_EQ(f.fakes.messages.shown[2].text, "中间计算结果文件不能保存：B1悬点位移及扭矩因数.txt");
  EXPECT_TRUE(fs::is_regular_file(f.prog.root / "B1平衡前后的功率及扭矩分解.txt"));
}

// "×" and "是" on the only record deletes it, and the emptied library file goes.
TEST(BalanceWindow, DeletingTheOnlyRecordRemovesTheLibrary) {
  Fixture f;
  BalanceAnalysis* w = f.open();
  fill_crank(*w);
  w->Run_PH_Analysis(0);
  const fs::path lib = u8path(w->Phfx_File);
  f.fakes.messages.answers = {MsgAnswer::Yes};
  w->Cmd_Save_Click();
  ASSERT_EQ(records(lib, kPhfxRecordSize), 1u);
  w->Text7->setText("1");
  f.fakes.messages.answers = {MsgAnswer::No};
  w->Cmd_Review_Click(2);
  EXPECT_EQ(records(lib, kPhfxRecordSize), 1u);
  f.fakes.messages.answers = {MsgAnswer::Yes};
  w->Cmd_Review_Click(2);
  EXPECT_FALSE(fs::exists(lib));
  EXPECT_EQ(w->Comb_WellName->count(), 0);
}

}  // namespace
}  // namespace wb
