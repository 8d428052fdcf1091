#include "core/workbench/batch_print.h"

#include <memory>

#include "core/charts/electric_chart.h"
#include "core/electric/waveform_page.h"
#include "core/printing/card_print_page.h"
#include "core/printing/page_guard_canvas.h"
#include "core/workbench/print_mark.h"
#include "core/workbench/record_readers.h"

namespace wb {

PrintMarks collect_print_marks(const std::vector<std::string>& column0) {
  PrintMarks marks;
  for (std::size_t r = 1; r < column0.size(); ++r) {
    if (!Print_Mark(column0[r])) continue;
    if (marks.rows.size() == static_cast<std::size_t>(kMaxPrintMarks) || r > 32767) {
      marks.overflow = true;
      if (r > 32767) marks.beyond_limit = r;
      break;
    }
    marks.rows.push_back(static_cast<std::int16_t>(r));
  }
  return marks;
}

std::string print_marks_refusal(const PrintMarks& marks) {
  if (!marks.overflow) return {};
  if (marks.beyond_limit)
    return "选定的第" + std::to_string(marks.beyond_limit) + "行超出了记录编号所能容纳的32767条，不能打印。\n没有打印任何记录。";
  return "选定打印的记录超过" + std::to_string(kMaxPrintMarks) + "条，没有打印任何记录。\n请少选一些记录再打印。";
}

namespace {

void plan_cards(const BatchRequest& req, BatchPlan& plan) {
  const CardSheetLayout* layout = nullptr;
  if (req.combo3_item0 && req.combo3_text == *req.combo3_item0) {
    plan.paper_code = kPaperA4;
    plan.orientation = kPortrait;
    layout = &kCardSheetA4;
  } else if (req.combo3_item1 && req.combo3_text == *req.combo3_item1) {
    plan.paper_code = kPaperFanfoldUS;
    plan.orientation = req.option1 ? kPortrait : kLandscape;
    layout = &kCardSheetFanfold;
  }
  if (!layout) return;

  std::vector<std::int16_t> records;
  if (req.marked_rows.size() == 1) {
    if (req.copies > 0) records.assign(static_cast<std::size_t>(req.copies), req.marked_rows.front());
  } else {
    records = req.marked_rows;
  }
  for (std::size_t k = 0; k < records.size(); ++k) {
    const int p = static_cast<int>(k % layout->per_sheet);
    const int c = p % layout->columns;
    const int r = p / layout->columns;
    plan.blocks.push_back(BatchBlock{static_cast<int>(k / layout->per_sheet), records[k],
                                     layout->x0 + layout->pitch_x * c, layout->y0 + layout->pitch_y * r});
  }
}

}  // namespace

BatchPlan plan_marked_print(const BatchRequest& req) {
  BatchPlan plan;
  const LibraryInfo* lib = library_by_caption(req.frame2_caption);
  if (!lib) return plan;
  plan.kind = lib->kind;
  switch (lib->kind) {
    case LibraryKind::Card:
      plan_cards(req, plan);
      break;
    case LibraryKind::Electric:
      for (std::size_t k = 0; k < req.marked_rows.size(); ++k)
        plan.blocks.push_back(
            BatchBlock{static_cast<int>(k / 2), req.marked_rows[k], kDntBlockX, kDntBlockY[k % 2]});
      break;
    case LibraryKind::Wave:
      for (std::size_t k = 0; k < req.marked_rows.size(); ++k)
        plan.blocks.push_back(BatchBlock{static_cast<int>(k), req.marked_rows[k], 0.0, 0.0});
      break;
  }
  return plan;
}

BatchResult prt_main_marked(const ProgramFolder& prog, const BatchRequest& req, const TestState& shown,
                            Canvas& printer, PrinterSettings& settings, const std::function<void()>& after_report) {
  BatchResult result;
  if (req.marked_rows.empty()) {
    result.status = BatchStatus::NoMarks;
    return result;
  }
  result.plan = plan_marked_print(req);
  if (!result.plan.kind) {
    result.status = BatchStatus::UnknownLibrary;
    return result;
  }
  const LibraryKind kind = *result.plan.kind;
  if (result.plan.paper_code) settings.paper_code = *result.plan.paper_code;
  if (result.plan.orientation) settings.orientation = *result.plan.orientation;

  // The record routines write their record into this copy only.
  auto work = std::make_unique<TestState>(shown);
  const std::filesystem::path lib = library_path(prog, kind);
  PageGuardCanvas page(printer);
  int sheet = 0;
  for (const BatchBlock& b : result.plan.blocks) {
    if (b.sheet != sheet) {
      page.new_page();
      sheet = b.sheet;
    }
    page.set_scale_mm();
    switch (kind) {
      case LibraryKind::Card:
        prt_RodEngMapDisplay_main_new(*work, page, lib, b.record, b.x, b.y);
        break;
      case LibraryKind::Electric:
        // A record that cannot be read leaves its place empty rather than printing the
        // curves of whatever test was loaded before.
        if (tx_d_prt_read(*work, lib, b.record) != ReadStatus::Ok) break;
        page.set_scale_mm();
        draw_dnt_print(page, b.x, b.y);
        iup_line_prt(*work, page, b.x + kDntChartDx, b.y + kDntChartDy);
        break;
      case LibraryKind::Wave:
        if (tx_x_prt_read(*work, lib, b.record) != ReadStatus::Ok) break;
        xbt_prt_page(page, *work);
        if (after_report) after_report();
        break;
    }
  }
  page.end_doc();
  result.sheets = page.sheets();
  result.status = BatchStatus::Printed;
  return result;
}

}  // namespace wb
