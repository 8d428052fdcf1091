#include "ui/design/design_print.h"

#include <QDate>

#include "core/design/workbench/design_report.h"
#include "platform/print_dialog.h"
#include "platform/services_qt.h"
#include "platform/system_printer.h"
#include "core/common/messages.h"

namespace wb::design {

std::string fzq_print_date_today() {
  const QDate d = QDate::currentDate();
  return fzq_print_date(d.year(), d.month(), d.day());
}

int PrintCom_Click(QWidget* caller, DesignState& st) {
  PrintPresets presets;
  presets.paper_items = standard_paper_items();  // item 1 reads A4 whatever list another window left
  presets.paper_item = 1;
  presets.paper_enabled = false;  // every copy sets A4 itself
  presets.landscape = false;
  presets.name = PrintName{st.JName_Comb, "杆柱设计报表"};
  const std::string date = fzq_print_date_today();
  return print_protocol(caller, presets, [&](Canvas& printer, int) { print_design_copy(printer, st, date); });
}

bool RodPrint_Click(QWidget* caller, const DesignState& st) {
  const std::string date = fzq_print_date_today();
  return print_once(caller, [&](Canvas& printer, int) { RodRepPrt(printer, st, date); },
                    PrintName{st.JName_Comb, "扶正器布置数据表"});
}

}  // namespace wb::design
