// Printing from the counterbalance window: the report selection and the print run. Each
// report is computed on a copy of the window's state, so the test the window holds, its
// boxes and its shown analysis stay as they were after printing.
#include <QHBoxLayout>
#include <tuple>

#include "core/balance/balance_report.h"
#include "core/balance/electric_fit.h"
#include "core/common/listing_texts.h"
#include "core/common/messages.h"
#include "core/common/trim.h"
#include "core/printing/print_state.h"
#include "platform/print_dialog.h"
#include "platform/services_qt.h"
#include "ui/balance/balance_analysis.h"
#include "ui/balance/balance_print.h"

namespace wb {
namespace {

// The current test's report when the analysis did not run: the checks' message follows the
// first; the second is for a window that holds no test.
constexpr const char* kBalanceNotPrintedText = "本井的参数未通过检查，平衡分析报表未能打印：";
constexpr const char* kBalanceNoTestText = "没有可分析的测试，平衡分析报表未能打印。";

}  // namespace

void BalanceAnalysis::Cmd_Prnt_Click() { prt_grid(); }

void BalanceAnalysis::prt_grid() {
  if (!print_window_) print_window_ = new BalancePrint(*this, this);
  Grid* g = print_window_->Grid1;
  g->set_cols(3);
  g->set_col_width_twips(0, 400);
  g->set_col_width_twips(1, 1600);
  g->set_col_width_twips(2, 1300);
  print_window_->show();
  print_window_->raise();
  // The library's kept listing: only the key fields are read. With no records left (or none
  // readable) the list holds the header only, so no stale row can be marked.
  std::shared_ptr<const KeyListing> rows;
  std::ignore = phfx_listing(u8path(Phfx_File), rows);  // an unreadable library lists nothing
  const RowNumbers numbers(rows->size());
  g->set_rows_text(1, rows->size(), [&](std::size_t r, std::size_t c) -> std::string_view {
    switch (c) {
      case 0: return numbers(r + 1);
      case 1: return rows->well_name(r);
      case 2: return rows->test_date(r);
      default: return {};
    }
  });
  g->set_text(0, 0, QStringLiteral("序号"));
  g->set_text(0, 1, QStringLiteral("    井     号"));
  g->set_text(0, 2, QStringLiteral("测试日期"));
}

void BalanceAnalysis::print_ph(int fw, const std::vector<int>& records, QWidget* caller) {
  if (fw != 1 && fw != 2) return;
  if (fw == 1) {
    const std::string refused = Run_PH_Analysis(0);
    if (!Cmd_Save->isEnabled()) {
      // The advice box behind the print window holds the checks' message: say it in front.
      services().messages->show(refused.empty() ? std::string(kBalanceNoTestText)
                                                : std::string(kBalanceNotPrintedText) + refused,
                                kPrintTitle, MsgButtons::Ok, MsgIcon::Warning);
      return;
    }
  }
  PrintPresets presets;
  presets.paper_items = standard_paper_items();
  presets.paper_item = 1;  // A4
  presets.paper_enabled = false;
  // A report of the well analysed here, or of records chosen in the library.
  presets.name = PrintName{fw == 1 ? Trim_Blank_Nul(state.held.Cur_Well) : std::string(), "平衡分析报表"};
  const BalanceMode current_mode = selected_mode();
  print_protocol(caller ? caller : this, presets, [&](Canvas& printer, int) {
    current_printer().paper_code = kPaperA4;
    current_printer().orientation = kPortrait;
    if (fw == 1) {
      BalanceState copy = state;
      const std::optional<std::string> advice = report_analysis(copy, current_mode);
      if (advice) draw_report_block(printer, copy, *advice, kReportUpperBlock, Disp_I_Flag, Disp_P_Flag);
      return;
    }
    for (std::size_t k = 0; k < records.size(); ++k) {
      if (k > 0 && k % 2 == 0) printer.new_page();
      const double yy = k % 2 == 0 ? kReportUpperBlock : kReportLowerBlock;
      const std::string number = "第" + std::to_string(records[k]) + "号记录";
      PhfxRecord rec;
      if (records[k] < 1 || read_phfx(u8path(Phfx_File), static_cast<std::size_t>(records[k]), rec) != StoreStatus::Ok) {
        draw_report_note(printer, yy, number + "无法读出，未能打印。");
        continue;
      }
      BalanceState copy = state;
      const BalanceMode mode = load_record_for_print(copy, rec);
      const int failed = copy.held.holds_stroke() ? fit_electric_regressions(copy) : 0;
      for (int i = 0; i < failed; ++i) services().messages->show(kNoUniqueSolutionText, "");
      const std::optional<std::string> advice = report_analysis(copy, mode);
      if (!advice) {
        draw_report_note(printer, yy, number + "（" + copy.held.Cur_Well + "井）数据不全，未能打印。");
        continue;
      }
      draw_report_block(printer, copy, *advice, yy, Disp_I_Flag, Disp_P_Flag);
    }
  });
}

}  // namespace wb
