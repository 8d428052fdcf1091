// Copies of every printout of every window, printed as the user prints them (the window's
// own print command, the dialog answered) into a PDF: two copies give twice the sheets of a
// single print, and each copy's sheets are pixel for pixel the single print's sheets.
// The sheets are compared as pdftoppm renders them.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "core/common/record_store.h"
#include "core/printing/print_test_util.h"
#include "core/records/gt_ym_record.h"
#include "design/design_outputs_fixture.h"
#include "integration_fixture.h"
#include "platform/qt_text.h"
#include "print_test_helpers.h"
#include "ui/balance/balance_print.h"
#include "ui/design/design_print.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/level/level_display.h"
#include "ui/statistics/sys_effi_assemble.h"

namespace wb {
namespace {

using test::Workbench;

// The sheets of a PDF as pdftoppm renders them (grey, 36 dpi).
std::vector<QImage> sheets(const QString& pdf) {
  QTemporaryDir dir;
  QProcess p;
  p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-gray"), pdf,
                                       dir.filePath(QStringLiteral("s"))});
  EXPECT_TRUE(p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
      << "pdftoppm " << pdf.toStdString() << ": " << p.readAllStandardError().toStdString();
  std::vector<QImage> out;
  const QStringList files = QDir(dir.path()).entryList({QStringLiteral("s-*.pgm")}, QDir::Files, QDir::Name);
  for (const QString& f : files) out.push_back(QImage(dir.filePath(f)));
  return out;
}

// Whether a sheet carries anything but white.
bool inked(const QImage& sheet) {
  const QImage g = sheet.convertToFormat(QImage::Format_Grayscale8);
  for (int y = 0; y < g.height(); ++y)
    for (int x = 0; x < g.width(); ++x)
      if (g.constScanLine(y)[x] < 128) return true;
  return false;
}

template <class Rec>
void put_library(const std::filesystem::path& file, const std::vector<Rec>& recs) {
  Bytes all;
  for (const Rec& r : recs) {
    const Bytes b = r.encode();
    all.insert(all.end(), b.begin(), b.end());
  }
  ASSERT_TRUE(write_file_atomic(file, all));
}

GtYmRecord effi_record(const std::string& well) {
  GtYmRecord r;
  r.well_name = well;
  r.block_unit = "一队";
  r.vals[kValTestDate] = "20260105";
  r.vals[kValPumpDia] = "38";
  r.vals[kValInputPower] = "10";
  return r;
}

// Lists a main-window library and marks its rows 1 and 2.
void mark_two_rows(Workbench& b, const char* caption, const char* file,
                   void (RodEngMapDisplay::*load)(const std::filesystem::path&)) {
  RodEngMapDisplay& w = *b.main;
  w.st.frame2_caption = caption;
  w.sync_to_widgets();
  (w.*load)(b.prog.sys() / file);
  for (int r : {1, 2}) {
    w.Grid1->set_row(r);
    w.Grid1_DblClick(r, 0);
  }
}

BalanceAnalysis* balance_window(Workbench& b) {
  b.main->Image1_Click(1);
  auto* w = dynamic_cast<BalanceAnalysis*>(b.main->analysis_window(AnalysisWindow::Balance));
  EXPECT_NE(w, nullptr);
  if (!w) return nullptr;
  w->Text2[1]->setText(QStringLiteral("12"));  // blocks of 12 kN at 1.2 m: the checks pass
  w->Text2[2]->setText(QStringLiteral("1.2"));
  return w;
}

// A printout: sets its window up on the sample folder and gives the print command as the
// user gives it.
struct Printout {
  const char* name;
  std::function<std::function<void()>(Workbench&)> set_up;
};

const std::vector<Printout>& printouts() {
  static const std::vector<Printout> all{
      {"card",
       [](Workbench& b) -> std::function<void()> {
         std::vector<SgtRecord> cards;
         for (int i = 1; i <= 3; ++i) cards.push_back(print_test::make_card("C" + std::to_string(i), 250, 3000, 5000, 1000));
         put_library(b.prog.sys() / "Sgt.dat", cards);
         mark_two_rows(b, "功图数据主库", "Sgt.dat", &RodEngMapDisplay::Load_Grid_Dat_sgt);
         return [&b] { b.main->print_marked_command(); };
       }},
      {"electric",
       [](Workbench& b) -> std::function<void()> {
         put_library(b.prog.sys() / "Dnt.dat", std::vector<DntRecord>{print_test::make_dnt("D1"), print_test::make_dnt("D2")});
         mark_two_rows(b, "电力曲线主库", "Dnt.dat", &RodEngMapDisplay::Load_Grid_Dat_Pow);
         return [&b] { b.main->print_marked_command(); };
       }},
      {"waveform",
       [](Workbench& b) -> std::function<void()> {
         put_library(b.prog.sys() / "xbt.dat", std::vector<XbtRecord>{print_test::make_xbt("X1"), print_test::make_xbt("X2")});
         mark_two_rows(b, "波形分析主库", "xbt.dat", &RodEngMapDisplay::Load_Grid_Dat_Wav);
         return [&b] { b.main->print_marked_command(); };
       }},
      {"efficiency",
       [](Workbench& b) -> std::function<void()> {
         b.main->Image1_Click(9);
         auto* w = dynamic_cast<SysEffiAnalysis*>(b.main->analysis_window(AnalysisWindow::Efficiency));
         EXPECT_NE(w, nullptr);
         return [w] { w->Cmd_Prnt_Click(); };
       }},
      {"counterbalance_current_well",
       [](Workbench& b) -> std::function<void()> {
         BalanceAnalysis* w = balance_window(b);
         w->Cmd_Prnt_Click();
         return [w] { w->print_window()->Command1_Click(); };
       }},
      {"counterbalance_chosen_wells",
       [](Workbench& b) -> std::function<void()> {
         BalanceAnalysis* w = balance_window(b);
         w->Run_PH_Analysis(0);
         w->Cmd_Save_Click();
         w->Cmd_Prnt_Click();
         BalancePrint* bp = w->print_window();
         bp->Option2->setChecked(true);
         bp->Option2_Click();
         EXPECT_EQ(bp->Grid1->rows(), 2);  // the saved record
         bp->Grid1->set_row(1);
         bp->Grid1_DblClick();
         return [bp] { bp->Command1_Click(); };
       }},
      {"diagnosis",
       [](Workbench& b) -> std::function<void()> {
         b.main->Image1_Click(14);
         auto* w = dynamic_cast<WellDiagnosis*>(b.main->analysis_window(AnalysisWindow::Diagnosis));
         EXPECT_NE(w, nullptr);
         EXPECT_GE(w->Comb_WellName->count(), 1);
         w->Comb_WellName->setCurrentIndex(0);
         w->Comb_WellName_Click();
         return [w] { w->Cmd_Prnt_Click(); };
       }},
      {"design_report_and_centralizers",
       [](Workbench& b) -> std::function<void()> {
         auto st = std::make_shared<design::DesignState>();
         design::fill_design(*st);
         return [&b, st] { design::PrintCom_Click(b.main.get(), *st); };
       }},
      {"statistics",
       [](Workbench& b) -> std::function<void()> {
         put_library(gt_ym_path(b.prog), std::vector<GtYmRecord>{effi_record("北1-1"), effi_record("北1-2")});
         auto w = std::make_shared<SysEffiAssemble>(b.prog);
         w->show();
         return [w] { w->Command1_Click(); };
       }},
      {"level_report",
       [](Workbench& b) -> std::function<void()> {
         b.main->Image1_Click(11);
         auto* w = dynamic_cast<LevelDisplay*>(b.main->analysis_window(AnalysisWindow::Level));
         EXPECT_NE(w, nullptr);
         w->File1->set_file_name(QStringLiteral("示范井1.y01"));
         w->File1_Click();
         w->Command2->click();
         w->Grid1->set_row(1);
         w->Grid1_DblClick();
         return [w] { w->Command6_Click(); };
       }},
  };
  return all;
}

class EveryPrintout : public ::testing::TestWithParam<std::size_t> {};

TEST_P(EveryPrintout, TwoCopiesAreTwiceTheSinglePrint) {
  const Printout& p = printouts()[GetParam()];
  SCOPED_TRACE(p.name);
  PrintDlg::destroy();
  current_printer() = PrinterSettings{};
  PrintSession::force_pdf() = true;
  {
    Workbench b;
    const std::function<void()> print_command = p.set_up(b);
    ASSERT_TRUE(print_command);
    auto print = [&](int copies) {
      const QString pdf = QString::fromStdString(path_text(b.prog.root / (std::to_string(copies) + ".pdf")));
      b.fakes.files.answers = {pdf.toStdString()};
      test::when_dialog_waits([copies](PrintDlg& d) {
        d.Text2->setText(QString::number(copies));
        QTest::mouseClick(d.Command1, Qt::LeftButton);
      });
      print_command();
      if (const QByteArray keep = qgetenv("WB_PRINT_PDF_DIR"); !keep.isEmpty()) {
        const QString copy = QString::fromLocal8Bit(keep) + "/" + p.name + "_" + QString::number(copies) + ".pdf";
        QFile::remove(copy);
        QFile::copy(pdf, copy);
      }
      return sheets(pdf);
    };
    const std::vector<QImage> single = print(1);
    const std::vector<QImage> two = print(2);
    EXPECT_TRUE(b.fakes.messages.shown.empty()) << b.fakes.messages.shown.front().text;
    ASSERT_FALSE(single.empty());
    for (const QImage& sheet : single) EXPECT_TRUE(inked(sheet));
    ASSERT_EQ(two.size(), 2 * single.size());
    for (std::size_t i = 0; i < two.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(two[i], single[i % single.size()]);
    }
  }
  PrintSession::force_pdf() = false;
  PrintDlg::destroy();
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryPrintout, ::testing::Range<std::size_t>(0, printouts().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           return std::string(printouts()[info.param].name);
                         });

}  // namespace
}  // namespace wb
