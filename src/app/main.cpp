// The workbench starts through its splash into the main window. The program folder is the
// folder of the executable; data, sys, image and report live beside it.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "core/common/messages.h"
#include "core/common/record_store.h"
#include "core/common/registry.h"
#include "core/common/writer_lock.h"
#include "platform/services_qt.h"
#include "platform/fonts.h"
#include "platform/printer_info.h"
#include "platform/translations.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/balance/balance_analysis.h"
#include "ui/level/level_display.h"
#include "ui/statistics/sys_effi_assemble.h"
#include "ui/workbench/rod_eng_map_display.h"

namespace {

// WB_STARTUP_REPORT set: on the main window's first paint the program prints
// "startup-ms <n>", the milliseconds since the launch (since WB_STARTUP_T0_NS, the launcher's
// clock in nanoseconds since the epoch, when given; else since main() began), and with the
// value "quit" it then ends. scripts/startup-time.sh launches it so.
class StartupReport : public QObject {
 public:
  explicit StartupReport(const QElapsedTimer& since_main) : since_main_(since_main) {}

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    // Only a paint on screen counts (rendering the hidden window off screen paints too).
    auto* w = qobject_cast<QWidget*>(o);
    if (e->type() == QEvent::Paint && !reported_ && w && w->isVisible()) {
      reported_ = true;
      // The paint event comes before the window's picture is flushed: report after it.
      QTimer::singleShot(0, this, [this] { report(); });
    }
    return QObject::eventFilter(o, e);
  }

 private:
  void report() {
    qint64 ms = since_main_.elapsed();
    bool ok = false;
    const qint64 t0 = qEnvironmentVariable("WB_STARTUP_T0_NS").toLongLong(&ok);
    if (ok && t0 > 0) ms = (std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::system_clock::now().time_since_epoch()).count() - t0) / 1000000;
    std::printf("startup-ms %lld\n", static_cast<long long>(ms));
    std::fflush(stdout);
    if (qEnvironmentVariable("WB_STARTUP_REPORT") == QStringLiteral("quit")) QCoreApplication::quit();
  }
  const QElapsedTimer& since_main_;
  bool reported_ = false;
};

// Milliseconds since the process was started, loading included (0 when unknown): the
// kernel's start time of the process (field 22 of /proc/self/stat, in clock ticks since
// boot) against the boot-time clock.
qint64 ms_since_process_start() {
  std::FILE* f = std::fopen("/proc/self/stat", "r");
  if (!f) return 0;
  char buf[1024] = {};
  const std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = '\0';
  const char* p = std::strrchr(buf, ')');  // the command name may hold spaces
  if (!p) return 0;
  unsigned long long start_ticks = 0;
  // After the name: state (field 3) ... starttime (field 22), 19 fields on.
  if (std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                  &start_ticks) != 1)
    return 0;
  const long hz = sysconf(_SC_CLK_TCK);
  timespec now{};
  if (hz <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return 0;
  const qint64 now_ms = static_cast<qint64>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  const qint64 start_ms = static_cast<qint64>(start_ticks * 1000 / static_cast<unsigned long long>(hz));
  return std::clamp<qint64>(now_ms - start_ms, 0, 1500);
}

}  // namespace

int main(int argc, char** argv) {
  wb::use_chinese_locale();
  QElapsedTimer since_main;
  since_main.start();
  const qint64 loading_ms = ms_since_process_start();
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("抽油机井测试分析工作台"));
  wb::install_font_substitutions();
  wb::install_qt_translations();
  wb::install_default_printer_source();
  wb::register_sys_effi_analysis();
  wb::register_balance_window();
  wb::register_level_window();
  wb::ProgramFolder folder{wb::u8path(QCoreApplication::applicationDirPath().toStdString())};
  // One writer per program folder: the lock is held until the program ends. A second copy
  // started on the same folder, or a lock that cannot be taken (its file a link, a folder),
  // says so and ends before it reads or writes anything.
  folder.create_folders();
  const wb::WriterLock writer_lock(folder.sys());
  if (!writer_lock.held()) {
    wb::services().messages->show(writer_lock.start_refusal_text(), "抽油机井测试分析工作台", wb::MsgButtons::Ok,
                                  wb::MsgIcon::Warning);
    return 1;
  }
  // A save cut short by a kill or a power cut is finished or undone before anything reads
  // the libraries; one that cannot be is set aside (nothing deleted), so that saving goes on.
  // Either way the user is told once which save, which libraries and what was done.
  const wb::InterruptedSave interrupted = wb::recover_interrupted_save(folder.sys() / wb::kSaveJournalName);
  if (const std::string text = interrupted.message(); !text.empty()) {
    using Outcome = wb::InterruptedSave::Outcome;
    const bool rolled = interrupted.outcome == Outcome::Completed || interrupted.outcome == Outcome::Undone;
    wb::services().messages->show(text, wb::kSaveTitle, wb::MsgButtons::Ok,
                                  rolled ? wb::MsgIcon::Info : wb::MsgIcon::Warning);
  }
  wb::register_diagnosis_window(folder);
  wb::design::register_design_window(folder);
  wb::register_sys_effi_assemble(folder);

  // The main window is built and laid out while the splash shows; the splash's timer (1.5 s
  // from the launch of the program, loading included) or a click only shows it.
  wb::RodEngMapDisplay* main_window = nullptr;
  StartupReport startup_report(since_main);
  auto build_main = [&] {
    if (main_window) return;
    main_window = new wb::RodEngMapDisplay(folder);
    if (qEnvironmentVariableIsSet("WB_STARTUP_REPORT")) main_window->installEventFilter(&startup_report);
    // Its first paint and the first test the user opens find fonts, glyphs and code loaded.
    main_window->warm_up();
  };
  auto* splash = new wb::FrmSplash(
      [&] {
        build_main();
        main_window->show();
        main_window->activateWindow();
      },
      nullptr, loading_ms + since_main.elapsed());
  splash->after_first_paint = build_main;
  splash->show();
  int rc = app.exec();
  delete main_window;
  return rc;
}
