// The print-settings dialog and the protocol its callers follow, driven offscreen: the
// caller waits disabled while the dialog is open; OK prints the copies asked for, Cancel
// and the close button print nothing; choices carry over from one caller to the next.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/common/paths.h"
#include "core/common/record_store.h"
#include "core/common/registry.h"
#include "core/printing/pdf_output.h"
#include "print_test_helpers.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

// Starts every test from a freshly loaded dialog and default printer settings.
struct FreshDialog {
  FreshDialog() {
    PrintDlg::destroy();
    current_printer() = PrinterSettings{};
    Print_State = 0;
    Print_Copies = 0;
    PrintSession::force_pdf() = true;
  }
  ~FreshDialog() { PrintSession::force_pdf() = false; }
};

struct Caller {
  QWidget w;
  bool disabled_while_waiting = false;
  Caller() {
    w.resize(200, 100);
    w.show();
  }
};

}  // namespace

TEST(PrintDialog, FirstUseShowsTheLoadTimeChoices) {
  FreshDialog fresh;
  PrintDlg& d = PrintDlg::instance();
  set_default_printer_source([] { return std::optional<std::string>("Office Laser"); });
  d.Form_Load();
  EXPECT_EQ(d.windowTitle(), QStringLiteral("打印对话框"));
  // The default printer need not be listed; without any printer the box says the pages go to a PDF file.
  const QString no_printer = QString::fromUtf8(kNoPrinterText);
  const bool printers = !installed_printers().isEmpty();
  EXPECT_EQ(d.Combo1->currentText(), printers ? QStringLiteral("Office Laser") : no_printer);
  EXPECT_EQ(d.Combo2->currentText(), QStringLiteral("高"));
  EXPECT_EQ(d.Combo2->count(), 4);
  EXPECT_EQ(d.Combo3->count(), 4);
  EXPECT_EQ(d.Combo3->currentText(), QStringLiteral("A4, 210 x 297 毫米"));
  EXPECT_TRUE(d.Option2->isChecked());
  EXPECT_EQ(d.Text1->text(), QStringLiteral("100"));
  EXPECT_EQ(d.Text2->text(), QStringLiteral("1"));
  set_default_printer_source([] { return std::optional<std::string>(); });
  d.Form_Load();
  EXPECT_EQ(d.Combo1->currentText(), printers ? installed_printers().front() : no_printer);
}

TEST(PrintDialog, OkPrintsTheCopiesAskedFor) {
  FreshDialog fresh;
  Caller caller;
  test::when_dialog_waits([&](PrintDlg& d) {
    caller.disabled_while_waiting = !caller.w.isEnabled() && d.isVisible();
    d.Text2->setText(QStringLiteral("3"));
    d.Combo2->setCurrentText(QStringLiteral("中"));
    d.Option1->setChecked(true);
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  EXPECT_TRUE(run_print_dialog(&caller.w, PrintPresets{}));
  EXPECT_TRUE(caller.disabled_while_waiting);
  EXPECT_TRUE(caller.w.isEnabled());
  EXPECT_FALSE(PrintDlg::instance().isVisible());
  EXPECT_EQ(Print_State, -1);
  EXPECT_EQ(Print_Copies, 3);
  EXPECT_EQ(current_printer().quality, -3);
  EXPECT_EQ(current_printer().orientation, 2);
  EXPECT_EQ(current_printer().paper_code, 9);
}

TEST(PrintDialog, CancelAndCloseButtonPrintNothing) {
  struct Case {
    const char* name;
    std::function<void(PrintDlg&)> dismiss;
  };
  const Case cases[] = {
      {"cancel button", [](PrintDlg& d) { QTest::mouseClick(d.Command2, Qt::LeftButton); }},
      {"window close button", [](PrintDlg& d) { d.close(); }},
      {"Esc", [](PrintDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreshDialog fresh;
    test::ScopedFakeServices fakes;
    Print_Copies = 4;  // left from an earlier confirmed dialog
    Caller caller;
    int printed = 0;
    test::when_dialog_waits([&](PrintDlg& d) {
      d.Text2->setText(QStringLiteral("2"));
      d.Combo3->setCurrentText(QStringLiteral("A3, 297 x 420 毫米"));
      c.dismiss(d);
    });
    EXPECT_EQ(print_protocol(&caller.w, PrintPresets{}, [&](Canvas&, int) { ++printed; }), 0);
    EXPECT_EQ(printed, 0);
    EXPECT_EQ(Print_State, 2);
    EXPECT_EQ(current_printer().paper_code, 9);  // no setting applied
    EXPECT_TRUE(fakes.files.asked.empty());      // no file asked for
    EXPECT_TRUE(caller.w.isEnabled());
    // The dialog is only hidden: it keeps what the user typed for the next request.
    ASSERT_TRUE(PrintDlg::exists());
    EXPECT_EQ(PrintDlg::instance().Text2->text(), QStringLiteral("2"));
  }
}

TEST(PrintDialog, TypedTextsAreComparedNotAddedToTheLists) {
  FreshDialog fresh;
  Caller caller;
  current_printer().paper_code = 13;
  current_printer().quality = -1;
  // The user types a quality and a paper of their own; Enter in a box confirms the dialog.
  test::when_dialog_waits([](PrintDlg& d) {
    d.Combo2->lineEdit()->selectAll();
    QTest::keyClicks(d.Combo2->lineEdit(), QStringLiteral("best"));
    d.Combo3->lineEdit()->selectAll();
    QTest::keyClicks(d.Combo3->lineEdit(), QStringLiteral("Letter"));
    QTest::keyClick(d.Combo3->lineEdit(), Qt::Key_Return);
  });
  EXPECT_TRUE(run_print_dialog(&caller.w, PrintPresets{}));
  PrintDlg& d = PrintDlg::instance();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.Combo3->count(), 4);
  EXPECT_EQ(d.Combo3->currentText(), QStringLiteral("Letter"));
  EXPECT_EQ(current_printer().paper_code, 13);  // no paper text matched
  EXPECT_EQ(current_printer().quality, -1);     // no quality item matched
  // Enter in the quality box: the typed text is not added either.
  test::when_dialog_waits([](PrintDlg& dlg) {
    dlg.Combo2->lineEdit()->selectAll();
    QTest::keyClicks(dlg.Combo2->lineEdit(), QStringLiteral("best"));
    QTest::keyClick(dlg.Combo2->lineEdit(), Qt::Key_Return);
  });
  EXPECT_TRUE(run_print_dialog(&caller.w, PrintPresets{}));
  EXPECT_EQ(d.Combo2->count(), 4);
  EXPECT_EQ(d.Combo2->currentText(), QStringLiteral("best"));
  EXPECT_EQ(current_printer().quality, -1);
}

TEST(PrintDialog, CopiesBoxAndSpinFollowEachOther) {
  FreshDialog fresh;
  PrintDlg& d = PrintDlg::instance();
  d.Text2->setText(QStringLiteral("5x"));
  EXPECT_EQ(d.VScroll1->value(), 5);
  EXPECT_EQ(d.Text2->text(), QStringLiteral("5"));  // the spin moved, so it rewrote the box
  d.Text2->setText(QStringLiteral("5y"));
  EXPECT_EQ(d.Text2->text(), QStringLiteral("5y"));  // the spin stayed at 5
  d.VScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // the lower arrow raises
  EXPECT_EQ(d.Text2->text(), QStringLiteral("6"));
}

TEST(PrintDialog, CallerPresetsCarryOverBetweenCallers) {
  FreshDialog fresh;
  Caller caller;
  // A card-library print: its own paper list, item 0, enabled.
  PrintPresets cards;
  cards.paper_items = card_paper_items();
  cards.paper_item = 0;
  cards.paper_enabled = true;
  test::when_dialog_waits([](PrintDlg& d) {
    EXPECT_EQ(d.Combo3->currentText(), QStringLiteral("A4, 210 x 297 毫米"));
    EXPECT_TRUE(d.Combo3->isEnabled());
    EXPECT_EQ(d.Combo3->count(), 2);
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  EXPECT_TRUE(run_print_dialog(&caller.w, cards));
  // A caller that keeps the list and takes item 1 disabled now shows the fan-fold text.
  PrintPresets report;
  report.paper_enabled = false;
  test::when_dialog_waits([](PrintDlg& d) {
    EXPECT_EQ(d.Combo3->currentText(), QStringLiteral("宽行打印纸(381)"));
    EXPECT_FALSE(d.Combo3->isEnabled());
    EXPECT_TRUE(d.Option2->isChecked());
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  current_printer().paper_code = 13;
  EXPECT_TRUE(run_print_dialog(&caller.w, report));
  EXPECT_EQ(current_printer().paper_code, 13);  // the fan-fold text maps to no paper code
}

TEST(PrintDialog, ProtocolPrintsEachCopyIntoTheNamedPdf) {
  FreshDialog fresh;
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  const QString pdf = QString::fromStdString((tmp.path() / "copies").string());  // no suffix given
  fakes.files.answers = {pdf.toStdString()};
  Caller caller;
  test::when_dialog_waits([](PrintDlg& d) {
    d.Text2->setText(QStringLiteral("2"));
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  std::vector<int> copies;
  const int n = print_protocol(&caller.w, PrintPresets{}, [&](Canvas& prn, int copy) {
    copies.push_back(copy);
    prn.set_scale_mm();
    prn.line(10, 10, 100, 10);
    prn.print_at(10, 20, "副本");
    prn.end_doc();  // each copy is one job
  });
  EXPECT_EQ(n, 2);
  EXPECT_EQ(copies, (std::vector<int>{0, 1}));
  ASSERT_EQ(fakes.files.asked.size(), 1u);  // one file for the whole request
  EXPECT_EQ(test::pdf_pages(pdf + ".pdf"), 2);
}

// A PDF the disk cannot take whole (a write cut short half way, here by the file size
// limit) is said with its path and the cause; nothing is left at the path nor beside it, and
// an earlier file of that name stays as it was.
TEST(PrintDialog, APdfCutShortIsSaidAndNothingIsLeft) {
  FreshDialog fresh;
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  const std::filesystem::path folder = tmp.path() / "out";
  std::filesystem::create_directories(folder);
  const std::filesystem::path pdf = folder / u8path("示范井1_报表.pdf");
  ASSERT_TRUE(write_file_atomic(pdf, {'o', 'l', 'd'}));
  fakes.files.answers = {path_text(pdf)};
  Print_Copies = 1;
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int printed = print_copies(nullptr, [](Canvas& prn, int) {
    prn.set_scale_mm();
    for (int i = 0; i < 40; ++i) prn.print_at(10, 10 + 5 * i, "满盘时写不完的一页 " + std::to_string(i));
  });
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
  EXPECT_EQ(printed, 0);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, pdf_not_written_text(path_text(pdf), "文件超过系统允许的大小"));
  std::vector<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(folder)) left.push_back(path_text(e.path().filename()));
  EXPECT_EQ(left, std::vector<std::string>{"示范井1_报表.pdf"});
  std::vector<std::uint8_t> kept;
  std::ifstream in(pdf, std::ios::binary);
  kept.assign(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(kept, (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

// Copies that are not a whole number are refused on OK with a message naming the box; the
// dialog stays open, and nothing is printed until the box is corrected.
TEST(PrintDialog, CopiesThatAreNoNumberAreRefusedByName) {
  for (const char* typed : {"ab", "", "0"}) {
    SCOPED_TRACE(typed);
    FreshDialog fresh;
    test::ScopedFakeServices fakes;
    test::TempProgramFolder tmp;
    const QString pdf = QString::fromStdString((tmp.path() / "c.pdf").string());
    fakes.files.answers = {pdf.toStdString()};
    Caller caller;
    bool stayed_open = false;
    test::when_dialog_waits([&](PrintDlg& d) {
      d.Text2->setText(QString::fromUtf8(typed));
      QTest::mouseClick(d.Command1, Qt::LeftButton);
      stayed_open = d.isVisible() && fakes.files.asked.empty();
      ASSERT_EQ(fakes.messages.shown.size(), 1u);
      EXPECT_NE(fakes.messages.shown[0].text.find("打印份数"), std::string::npos);
      d.Text2->setText(QStringLiteral("2"));
      QTest::mouseClick(d.Command1, Qt::LeftButton);
    });
    int printed = 0;
    EXPECT_EQ(print_protocol(&caller.w, PrintPresets{}, [&](Canvas&, int) { ++printed; }), 2);
    EXPECT_TRUE(stayed_open);
    EXPECT_EQ(printed, 2);
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
  }
}

TEST(PrintDialog, NoFileNamePrintsNothing) {
  FreshDialog fresh;
  test::ScopedFakeServices fakes;
  Caller caller;
  int printed = 0;
  fakes.files.answers = {""};  // the user declines to name a file
  test::when_dialog_waits([](PrintDlg& d) {
    d.Text2->setText(QStringLiteral("1"));
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  EXPECT_EQ(print_protocol(&caller.w, PrintPresets{}, [&](Canvas&, int) { ++printed; }), 0);
  EXPECT_EQ(printed, 0);
}

namespace {

// The printing system's queues as a test sets them.
struct FakeQueues : PrinterQueues {
  QStringList listed;
  QStringList refusing;
  QStringList paused_queues;
  FakeQueues() { set_printer_queues(this); }
  ~FakeQueues() override { set_printer_queues(nullptr); }
  QStringList names() override { return listed; }
  bool accepting(const QString& name) override { return !refusing.contains(name); }
  bool paused(const QString& name) override { return paused_queues.contains(name); }
};

struct NoDefaultPrinter {
  NoDefaultPrinter() { set_default_printer_source([] { return std::optional<std::string>(); }); }
  ~NoDefaultPrinter() { set_default_printer_source(nullptr); }
};

}  // namespace

// The job goes to the printer the user chose or the user is told why not; never elsewhere.
TEST(PrintDialog, ChosenPrinterGoneOrRefusingIsSaidAndNothingPrints) {
  struct Case {
    const char* chosen;
    QStringList refusing;
    const char* said;
  };
  const Case cases[] = {
      {"Gone Laser", {}, "打印机“Gone Laser”已不存在"},
      {"Office", {QStringLiteral("Office")}, "打印机“Office”不接受打印任务"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    FreshDialog fresh;
    PrintSession::force_pdf() = false;
    test::ScopedFakeServices fakes;
    FakeQueues queues;
    queues.listed = {QStringLiteral("Office"), QStringLiteral("Plotter")};
    queues.refusing = c.refusing;
    current_printer().device_name = c.chosen;
    Print_Copies = 2;
    int printed = 0;
    EXPECT_EQ(print_copies(nullptr, [&](Canvas&, int) { ++printed; }, PrintName{"井1", "诊断报表"}), 0);
    EXPECT_EQ(printed, 0);
    EXPECT_TRUE(fakes.files.asked.empty());  // no PDF file in its place either
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_NE(fakes.messages.shown[0].text.find(c.said), std::string::npos) << fakes.messages.shown[0].text;
  }
}

// A paused printer takes the job into its queue: the copies are printed and the user is told
// that they wait for the printer; a printer that is not paused says nothing.
TEST(PrintDialog, PausedPrinterIsSaidAndTheJobWaits) {
  for (const bool paused : {true, false}) {
    SCOPED_TRACE(paused);
    FreshDialog fresh;
    PrintSession::force_pdf() = false;
    test::ScopedFakeServices fakes;
    FakeQueues queues;
    queues.listed = {QStringLiteral("Office")};
    if (paused) queues.paused_queues = {QStringLiteral("Office")};
    current_printer().device_name = "Office";
    Print_Copies = 2;
    int calls = 0;
    EXPECT_EQ(print_copies(nullptr, [&](Canvas&, int) { ++calls; }, PrintName{"井1", "诊断报表"}), 2);
    EXPECT_EQ(calls, 2);
    if (!paused) {
      EXPECT_TRUE(fakes.messages.shown.empty());
      continue;
    }
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, printer_paused_message("Office"));
    EXPECT_EQ(fakes.messages.shown[0].text, "打印机“Office”已暂停：打印任务已送到它的队列，在打印机恢复后才会打印。");
  }
}

TEST(PrintDialog, PrinterListIsReadEachTimeTheDialogOpens) {
  FreshDialog fresh;
  NoDefaultPrinter no_default;
  FakeQueues queues;
  queues.listed = {QStringLiteral("A"), QStringLiteral("B")};
  Caller caller;
  auto open_with = [&](const QString& choose) {
    QStringList shown;
    QString current;
    test::when_dialog_waits([&](PrintDlg& d) {
      for (int i = 0; i < d.Combo1->count(); ++i) shown << d.Combo1->itemText(i);
      current = d.Combo1->currentText();
      if (!choose.isEmpty()) d.Combo1->setCurrentText(choose);
      QTest::mouseClick(d.Command1, Qt::LeftButton);
    });
    EXPECT_TRUE(run_print_dialog(&caller.w, PrintPresets{}));
    return std::pair(shown, current);
  };
  EXPECT_EQ(open_with(QStringLiteral("B")).first, (QStringList{"A", "B"}));
  queues.listed = {QStringLiteral("B"), QStringLiteral("C")};  // A deleted, C added meanwhile
  const auto [again, kept] = open_with({});
  EXPECT_EQ(again, (QStringList{"B", "C"}));
  EXPECT_EQ(kept, QStringLiteral("B"));  // the user's choice is still there
  queues.listed = {QStringLiteral("C")};
  const auto [last, fallback] = open_with({});
  EXPECT_EQ(last, (QStringList{"C"}));
  EXPECT_EQ(fallback, QStringLiteral("C"));  // the chosen printer is gone: not shown any more
  EXPECT_EQ(current_printer().device_name, "C");
}

// Under a window manager a dialog without a parent window can open behind the window it
// locks: it is the caller's window's own and the active window once shown.
TEST(PrintDialog, OpensAsTheCallersWindowsDialogAndIsActive) {
  FreshDialog fresh;
  QWidget window;
  window.resize(300, 200);
  auto* button = new QPushButton(QStringLiteral("印"), &window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QWidget* parent = nullptr;
  bool active = false;
  test::when_dialog_waits([&](PrintDlg& d) {
    parent = d.owner_window();
    active = QTest::qWaitFor([&] { return QApplication::activeWindow() == &d; });
    QTest::mouseClick(d.Command2, Qt::LeftButton);
  });
  EXPECT_FALSE(run_print_dialog(button, PrintPresets{}));
  EXPECT_EQ(parent, &window);
  EXPECT_TRUE(active);
  // A window whose dialog was never closed with it: the dialog (and its choices) outlive it.
  EXPECT_EQ(PrintDlg::instance().parentWidget(), nullptr);
}

// Each copy starts from a fresh drawing state, whatever the copy before left.
TEST(PrintDialog, EveryCopyStartsFromAFreshDrawingState) {
  RecordingCanvas printer(210, 297, true);
  struct Start {
    Rgb fore, fill;
    int width;
    Font font;
    double scale_width;
  };
  std::vector<Start> starts;
  ASSERT_TRUE(print_calls(printer, 3, [&](Canvas& c, int) {
    starts.push_back({c.fore_color, c.fill_color, c.draw_width, c.font, c.scale_width()});
    c.print_at(10, 10, "副本");
    c.fore_color = kBlue;
    c.fill_color = kRed;
    c.draw_width = 5;
    c.font.bold = true;
    c.font.size = 20;
    c.set_scale(0, 0, 1, 1);
    c.end_doc();
  }));
  ASSERT_EQ(starts.size(), 3u);
  for (const Start& s : starts) {
    EXPECT_EQ(s.fore, kBlack);
    EXPECT_EQ(s.fill, kBlack);
    EXPECT_EQ(s.width, 1);
    EXPECT_EQ(s.font, Font{});
    EXPECT_EQ(s.scale_width, 0);  // millimetres
  }
}

// The driver ends each call's job, whether the page procedure ends it or not; a call that
// throws has its job ended too and stops the copies.
TEST(PrintDialog, CopyThatThrowsEndsItsJobAndStops) {
  RecordingCanvas printer(210, 297, true);
  int calls = 0;
  EXPECT_FALSE(print_calls(printer, 3, [&](Canvas& c, int copy) {
    ++calls;
    c.print_at(10, 10, "页");
    if (copy == 1) throw std::runtime_error("damaged record");
  }));
  EXPECT_EQ(calls, 2);
  std::vector<RecordingCanvas::Op> ops;
  for (const auto& item : printer.items) ops.push_back(item.op);
  using Op = RecordingCanvas::Op;
  EXPECT_EQ(ops, (std::vector<Op>{Op::Text, Op::EndDoc, Op::Text, Op::EndDoc}));
}

TEST(PrintDialog, JobsCarryTheReportName) {
  FreshDialog fresh;
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  fakes.files.answers = {(tmp.path() / "j.pdf").string(), (tmp.path() / "k.pdf").string()};
  auto s = PrintSession::open(nullptr, PrintName{"示范井1", "诊断报表"});
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->job_name(), QStringLiteral("示范井1_诊断报表"));
  auto t = PrintSession::open(nullptr, PrintName{"", "液面测试报表"});
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->job_name(), QStringLiteral("液面测试报表"));
}
