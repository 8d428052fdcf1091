// The efficiency window's single-well report: "预览" computes and shows the page in the
// preview window, "打印" prints the boxes as they stand, on A4 portrait, one job per copy.
#include "core/efficiency/effi_report.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/efficiency/effi_report_print.h"

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
  EffiStroke stroke = stroke_of(st);
  preview_effi_report(st.Text1, stroke, &st.Rod_Len_Sum);
}

void SysEffiAnalysis::Cmd_Prnt_Click() {
  EffiStroke stroke = stroke_of(st);
  print_effi_report(this, st.Text1, stroke, &st.Rod_Len_Sum);
}

}  // namespace wb
