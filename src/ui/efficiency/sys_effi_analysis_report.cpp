// The efficiency window's single-well report: "预览" computes and shows the page in the
// preview window, "打印" prints the boxes as they stand, on A4 portrait, one job per copy.
#include "core/efficiency/effi_report.h"
#include "core/printing/print_state.h"
#include "platform/print_dialog.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/printing/print_preview.h"

namespace wb {
namespace {

// The window's stroke as the report charts read it; the chart of the electric curves
// rewrites the reactive power.
EffiStroke stroke_of(SysEffiState& st) {
  EffiStroke s;
  s.gt_num = st.gt_num;
  s.iu_num = st.iu_num;
  s.cs_fs = st.cs_fs;
  s.sss = st.sss;
  s.ggs = st.ggs;
  s.uus = st.uus;
  s.iis = st.iis;
  s.pps = st.pps;
  s.qqs = st.qqs;
  return s;
}

}  // namespace

void SysEffiAnalysis::Cmd_View_Click() {
  if (!calculate()) return;
  PrintPreview* preview = PrintPreview::show_preview();
  EffiStroke stroke = stroke_of(st);
  st.Rod_Len_Sum = prt_effi_page(preview->page_a4(), st.Text1, stroke);
  preview->Picture2->update();
}

void SysEffiAnalysis::Cmd_Prnt_Click() {
  PrintPresets presets;
  // The report is an A4 page: the paper box shows A4 and cannot be changed.
  presets.paper_items = standard_paper_items();
  presets.paper_item = 1;
  presets.paper_enabled = false;
  presets.landscape = false;
  print_protocol(this, presets, [this](Canvas& printer, int) {
    current_printer().paper_code = kPaperA4;
    current_printer().orientation = kPortrait;
    EffiStroke stroke = stroke_of(st);
    st.Rod_Len_Sum = prt_effi_page(printer, st.Text1, stroke);
  });
}

}  // namespace wb
