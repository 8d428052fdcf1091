#include "ui/efficiency/effi_report_print.h"

#include "core/efficiency/sys_effi_state.h"
#include "core/printing/print_state.h"
#include "platform/print_dialog.h"
#include "ui/printing/print_preview.h"

namespace wb {

int print_effi_report(QWidget* caller, const EffiBoxTexts& Text1, EffiStroke& stroke, double* rod_len_sum) {
  PrintPresets presets;
  // Another window may have replaced the dialog's paper list: show the standard sizes, so the
  // disabled box really reads A4.
  presets.paper_items = standard_paper_items();
  presets.paper_item = 1;          // the A4 entry of the dialog's own list
  presets.paper_enabled = false;   // the report is laid out for A4 only
  presets.landscape = false;
  presets.name = PrintName{Text1[effi_box::kWell], "系统效率报表"};
  return print_protocol(caller, presets, [&](Canvas& printer, int) {
    current_printer().paper_code = kPaperA4;
    current_printer().orientation = kPortrait;
    const double len = prt_effi_page(printer, Text1, stroke);
    if (rod_len_sum) *rod_len_sum = len;
  });
}

void preview_effi_report(const EffiBoxTexts& Text1, EffiStroke& stroke, double* rod_len_sum) {
  PrintPreview* pv = PrintPreview::show_preview();
  const double len = prt_effi_page(pv->page_a4(), Text1, stroke);
  if (rod_len_sum) *rod_len_sum = len;
  pv->Picture2->update();
}

}  // namespace wb
