// The workbench starts through its splash into the main window. The program folder is the
// folder of the executable; data, sys, image and report live beside it.
#include <QApplication>
#include <QDir>

#include "core/common/registry.h"
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

int main(int argc, char** argv) {
  wb::use_chinese_locale();
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("抽油机井测试分析工作台"));
  wb::install_font_substitutions();
  wb::install_qt_translations();
  wb::install_default_printer_source();
  wb::register_sys_effi_analysis();
  wb::register_balance_window();
  wb::register_level_window();
  wb::ProgramFolder folder{wb::u8path(QCoreApplication::applicationDirPath().toStdString())};
  wb::register_diagnosis_window(folder);
  wb::design::register_design_window(folder);
  wb::register_sys_effi_assemble(folder);

  wb::RodEngMapDisplay* main_window = nullptr;
  auto* splash = new wb::FrmSplash([&] {
    main_window = new wb::RodEngMapDisplay(folder);
    main_window->show();
    main_window->activateWindow();
  });
  splash->show();
  int rc = app.exec();
  delete main_window;
  return rc;
}
