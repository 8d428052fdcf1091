// What the user waits for in the drawing windows: from the command until every view it
// redraws has been painted on screen (offscreen platform, real windows, fake services).
//
// BM_OpenJointTestFirstOpen is the first open after start: run it alone in a fresh process
// (--benchmark_filter=FirstOpen), once per process, and take the median over processes.
#include <stdexcept>
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QPlainTextEdit>
#include <memory>
#include <vector>

#include "core/level/level_analysis.h"
#include "core/level/synthetic_level.h"
#include "core/samples/synthetic_tests.h"
#include "platform/file_browser.h"
#include "platform/picture_box.h"
#include "ui/balance/balance_analysis.h"
#include "ui/level/level_display.h"
#include "ui/workbench/analysis_windows.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

namespace wb {
namespace {

// Watches widgets for their paint events: arm() before the command, wait() after it returns
// processes events until each watched widget has painted since arm().
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(std::vector<QWidget*> widgets) : widgets_(std::move(widgets)), painted_(widgets_.size()) {
    for (QWidget* w : widgets_) w->installEventFilter(this);
  }
  void arm() { std::fill(painted_.begin(), painted_.end(), false); }
  // False when a widget did not paint within the limit (the case is then reported as failed).
  bool wait() {
    QElapsedTimer t;
    t.start();
    while (std::find(painted_.begin(), painted_.end(), false) != painted_.end()) {
      if (t.elapsed() > 5000) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
  }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint)
      for (std::size_t i = 0; i < widgets_.size(); ++i)
        if (widgets_[i] == o) painted_[i] = true;
    return false;
  }

 private:
  std::vector<QWidget*> widgets_;
  std::vector<bool> painted_;
};

void settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// A program folder with two joint tests that differ in well, stroke and counterweights.
struct JointFolder {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  JointFolder() {
    prog.create_folders();
    SyntheticJointParams a;
    a.counterbalance = 30;
    if (!write_synthetic_joint_test(prog.data() / "B1.o01", a)) throw std::runtime_error("cannot write the benchmark's sample files");
    SyntheticJointParams b;
    b.well_name = "示范井2";
    b.period = 600;
    b.stroke = 2.5;
    b.seed = 7;
    if (!write_synthetic_joint_test(prog.data() / "B2.o01", b)) throw std::runtime_error("cannot write the benchmark's sample files");
  }
};

void open_test(RodEngMapDisplay& w, const char* name) {
  w.File1->set_file_name(QString::fromUtf8(name));
  w.File1_Click();
}

void BM_BalanceWindowAutomatic(benchmark::State& state) {
  JointFolder f;
  register_balance_window();
  auto main = std::make_unique<RodEngMapDisplay>(f.prog);
  main->File1->refresh();
  open_test(*main, "B1.o01");
  main->Image1_Click(1);
  auto* w = dynamic_cast<BalanceAnalysis*>(main->analysis_window(AnalysisWindow::Balance));
  if (!w) {
    state.SkipWithError("no balance window");
    return;
  }
  w->Text2[1]->setText("12");  // crank block weight and offset, so the analysis runs
  w->Text2[2]->setText("1.2");
  w->show();
  w->Command1->click();
  settle();
  // The command draws both charts and turns to the advice page: the wait is for that page.
  PaintWatch watch({w->Text1->viewport()});
  for (auto _ : state) {
    watch.arm();
    w->Command1->click();
    if (!watch.wait()) state.SkipWithError("advice not painted");
  }
  analysis_windows() = {};
}
BENCHMARK(BM_BalanceWindowAutomatic)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LevelWindowAutomatic(benchmark::State& state) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder folder{tmp.path()};
  folder.create_folders();
  if (!write_level_template(folder.sys() / kLevelTemplateFile)) throw std::runtime_error("cannot write the benchmark's sample files");
  if (!write_synthetic_level_test(folder.data() / u8path("示范井1.y01"), SyntheticLevelParams{})) throw std::runtime_error("cannot write the benchmark's sample files");
  LevelDisplay w(folder);
  w.show();
  w.File1->set_file_name(QStringLiteral("示范井1.y01"));
  w.File1_Click();
  settle();
  PaintWatch watch({w.Picture1, w.Picture2});
  for (auto _ : state) {
    watch.arm();
    w.Command4->click();
    if (!watch.wait()) state.SkipWithError("pictures not painted");
  }
}
BENCHMARK(BM_LevelWindowAutomatic)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening the two tests in turn in the main window, each until its picture is painted.
void BM_OpenJointTestAllViews(benchmark::State& state) {
  JointFolder f;
  RodEngMapDisplay w(f.prog);
  w.show();
  w.File1->refresh();
  open_test(w, "B1.o01");
  settle();
  open_test(w, "B2.o01");
  settle();
  PaintWatch watch({w.Picture1});
  bool second = false;
  for (auto _ : state) {
    watch.arm();
    open_test(w, second ? "B2.o01" : "B1.o01");
    second = !second;
    if (!watch.wait()) state.SkipWithError("picture not painted");
  }
}
BENCHMARK(BM_OpenJointTestAllViews)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first open after start: the main window is built, made ready as the program makes it
// while its splash shows (warm_up) and painted, then one test opened. The window outlives
// the timed part: its destruction is not what the user waits on.
void BM_OpenJointTestFirstOpen(benchmark::State& state) {
  JointFolder f;
  std::unique_ptr<RodEngMapDisplay> w;
  for (auto _ : state) {
    state.PauseTiming();
    w = std::make_unique<RodEngMapDisplay>(f.prog);
    w->warm_up();
    w->show();
    w->File1->refresh();
    settle();
    PaintWatch watch({w->Picture1});
    state.ResumeTiming();
    open_test(*w, "B1.o01");
    if (!watch.wait()) state.SkipWithError("picture not painted");
  }
}
BENCHMARK(BM_OpenJointTestFirstOpen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(1);

}  // namespace
}  // namespace wb
