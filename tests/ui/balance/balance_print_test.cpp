#include <gtest/gtest.h>

#include <QTest>
#include <cmath>
#include <filesystem>

#include "core/balance/phfx_record.h"
#include "core/common/record_store.h"
#include "core/printing/print_state.h"
#include "core/samples/synthetic_tests.h"
#include "printing/print_test_helpers.h"
#include "ui/balance/balance_analysis.h"
#include "ui/balance/balance_print.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

// A balance library of `n` records P1 … Pn, crank balance, 2 blocks of 10 kN at 1 m.
void library(const fs::path& lib, int n) {
  std::vector<std::uint8_t> all;
  for (int k = 1; k <= n; ++k) {
    const int pts = 300;
    std::vector<float> u(pts, 380), i(pts, 20), p(pts), q(pts, 2), s(pts), g(pts, 30);
    for (int j = 0; j < pts; ++j) {
      const double t = 2 * 3.14159265358979 * j / pts;
      p[static_cast<std::size_t>(j)] = static_cast<float>(8 + k * std::sin(t));
      s[static_cast<std::size_t>(j)] = static_cast<float>(1.5 * (1 - std::cos(t)));
    }
    HeldStroke h;
    take_stroke(h, u.data(), i.data(), p.data(), q.data(), s.data(), g.data(), pts, 1, 3);
    h.Cur_Well = "P" + std::to_string(k);
    h.Cur_Test = "20080101120" + std::to_string(k % 10);
    ParameterBoxes t = default_parameter_boxes();
    t[1] = "10";
    t[2] = "1";
    PhfxRecord r;
    ASSERT_FALSE(fill_phfx(r, h, t, BalanceMode::Crank, ""));
    const Bytes b = r.encode();
    all.insert(all.end(), b.begin(), b.end());
  }
  ASSERT_TRUE(write_file_atomic(lib, all));
}

struct Fixture {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  std::unique_ptr<RodEngMapDisplay> main;
  BalanceAnalysis* w = nullptr;
  Fixture() {
    PrintDlg::destroy();
    current_printer() = PrinterSettings{};
    PrintSession::force_pdf() = true;
    prog.create_folders();
    register_balance_window();
    SyntheticJointParams p;
    EXPECT_TRUE(write_synthetic_joint_test(prog.data() / "B1.o01", p));
    main = std::make_unique<RodEngMapDisplay>(prog);
    main->File1->refresh();
    main->File1->set_file_name("B1.o01");
    main->File1_Click();
  }
  ~Fixture() {
    analysis_windows() = {};
    PrintSession::force_pdf() = false;
  }
  void open() {
    main->Image1_Click(1);
    w = dynamic_cast<BalanceAnalysis*>(main->analysis_window(AnalysisWindow::Balance));
  }
  QString print(BalancePrint& bp, const std::string& name) {
    const QString pdf = QString::fromStdString((prog.root / (name + ".pdf")).string());
    fakes.files.answers = {pdf.toStdString()};
    test::when_dialog_waits([](PrintDlg& d) {
      d.Text2->setText("1");
      QTest::mouseClick(d.Command1, Qt::LeftButton);
    });
    bp.Command1_Click();
    const QByteArray keep = qgetenv("WB_PRINT_PDF_DIR");  // to look at the pages
    if (!keep.isEmpty()) QFile::copy(pdf, QString::fromLocal8Bit(keep) + "/" + QString::fromStdString(name) + ".pdf");
    return pdf;
  }
};

TEST(BalancePrintWindow, ThreeMarkedRecordsPrintOnTwoPages) {
  Fixture f;
  library(f.prog.sys() / "phfx.dat", 4);
  f.open();
  const std::string held = f.w->state.held.Cur_Well;
  f.w->Cmd_Prnt_Click();
  BalancePrint* bp = f.w->print_window();
  ASSERT_NE(bp, nullptr);
  EXPECT_EQ(bp->windowTitle(), "平衡分析打印");
  ASSERT_EQ(bp->Grid1->rows(), 5);
  EXPECT_EQ(bp->Grid1->text(2, 1), "P2");
  EXPECT_FALSE(bp->Grid1->isEnabled());

  // No mark: the message, no dialog.
  bp->Option2->setChecked(true);
  bp->Option2_Click();
  EXPECT_TRUE(bp->Grid1->isEnabled());
  bp->Command1_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(f.fakes.messages.shown[0].text, kBalanceNoMarkText);
  EXPECT_EQ(f.fakes.messages.shown[0].title, kBalanceNoMarkTitle);

  for (int r : {1, 3, 4}) {
    bp->Grid1->set_row(r);
    bp->Grid1_DblClick();
  }
  bp->Grid1->set_row(0);
  bp->Grid1_DblClick();  // the header row changes nothing
  EXPECT_EQ(bp->Grid1->text(3, 0), "▲3");
  EXPECT_EQ(bp->marked_rows(), (std::vector<int>{1, 3, 4}));
  const QString pdf = f.print(*bp, "three");
  EXPECT_EQ(test::pdf_pages(pdf), 2);
  // The window still holds its own test.
  EXPECT_EQ(f.w->state.held.Cur_Well, held);
}

TEST(BalancePrintWindow, CurrentTestAndDeletingFromTheList) {
  Fixture f;
  library(f.prog.sys() / "phfx.dat", 2);
  f.open();
  f.w->Text2[1]->setText("12");
  f.w->Text2[2]->setText("1.2");
  f.w->Cmd_Prnt_Click();
  BalancePrint* bp = f.w->print_window();
  const QString pdf = f.print(*bp, "current");
  EXPECT_EQ(test::pdf_pages(pdf), 1);

  // Right button: delete both records; the list keeps only its header.
  bp->Option2->setChecked(true);
  bp->Option2_Click();
  bp->Grid1->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 2), true);
  f.fakes.messages.answers.push_back(MsgAnswer::Yes);
  bp->Grid1_MouseDown(Qt::RightButton);
  EXPECT_EQ(f.fakes.messages.shown.back().text, "确实要删除 1至 2号记录吗?");
  EXPECT_EQ(bp->Grid1->rows(), 1);
  std::size_t n = 9;
  ASSERT_EQ(RecordStore(f.prog.sys() / "phfx.dat", kPhfxRecordSize).count(n), StoreStatus::Ok);
  EXPECT_EQ(n, 0u);
}

// The current test with boxes the checks refuse: the print window says why in front of
// itself, with the checks' own message, and no dialog opens.
TEST(BalancePrintWindow, CurrentTestThatFailsTheChecksIsSaid) {
  Fixture f;
  f.open();
  f.w->Text2[1]->setText("0");  // blocks of no weight
  f.w->Cmd_Prnt_Click();
  BalancePrint* bp = f.w->print_window();
  ASSERT_NE(bp, nullptr);
  bp->Command1_Click();
  ASSERT_EQ(f.fakes.messages.shown.size(), 1u);
  const std::string& text = f.fakes.messages.shown[0].text;
  EXPECT_EQ(f.fakes.messages.shown[0].title, "打印");
  EXPECT_EQ(text.rfind("本井的参数未通过检查，平衡分析报表未能打印：", 0), 0u) << text;
  EXPECT_NE(text.find("请重新输入以上参数"), std::string::npos) << text;  // the checks' own message
  EXPECT_FALSE(PrintDlg::exists() && PrintDlg::instance().isVisible());
  EXPECT_TRUE(f.fakes.files.asked.empty());
}

}  // namespace
}  // namespace wb
