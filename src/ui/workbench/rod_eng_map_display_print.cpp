// Printing from the main window: the toolbar's print command for the library rows marked
// "▲", the batch print itself, and the preview of the waveform report page.
#include <QRadioButton>
#include <vector>

#include "core/printing/pdf_file_name.h"
#include "core/workbench/batch_print.h"
#include "platform/print_dialog.h"
#include "platform/services_qt.h"
#include "platform/system_printer.h"
#include "ui/printing/print_preview.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "core/common/messages.h"

namespace wb {
namespace {

// Column-0 texts of every grid row, the header row included; the current cell ends at
// column 0 of the last row, where walking the rows leaves it.
std::vector<std::string> grid_column0(Grid* grid) {
  std::vector<std::string> col0;
  grid->set_col(0);
  for (int r = 0; r < grid->rows(); ++r) col0.push_back(grid->text(r, 0).toStdString());
  if (grid->rows() > 1) grid->set_row(grid->rows() - 1);
  return col0;
}

}  // namespace

void RodEngMapDisplay::Command1_Click() {
  sync_from_widgets();
  PrintPreview* preview = PrintPreview::show_preview();
  xbt_prt_page(preview->Picture2);
  preview->setWindowTitle(QStringLiteral("单井电流电压波形曲线以及谐波分析打印预览"));
}

void RodEngMapDisplay::print_marked_command() {
  const PrintMarks marks = collect_print_marks(grid_column0(Grid1));
  if (marks.overflow) {  // more than 250 marked rows, or one past the record numbers: nothing is printed
    services().messages->show(print_marks_refusal(marks), kPrintTitle, MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  if (marks.rows.empty()) {
    services().messages->show(kNoMarkText, kNoMarkTitle, MsgButtons::Ok);
    return;
  }
  sync_from_widgets();
  const LibraryInfo* lib = library_by_caption(st.frame2_caption);
  const bool cards = lib && lib->kind == LibraryKind::Card;
  PrintPresets presets;
  presets.paper_items = cards ? card_paper_items() : standard_paper_items();
  presets.paper_item = cards ? 0 : 1;
  presets.paper_enabled = cards;
  // The marked rows of one well name their job and PDF after it (column 1 is the well).
  std::vector<std::string> wells;
  for (std::int16_t r : marks.rows) wells.push_back(Grid1->text(r, 1).toStdString());
  presets.name = PrintName{one_well_of(wells), st.frame2_caption};
  // A single card lays out all copies on its sheets itself.
  const bool single_card = cards && marks.rows.size() == 1;
  print_protocol(
      this, presets,
      [&](Canvas& printer, int) {
        if (!single_card) {
          current_printer().paper_code = kPaperA4;
          current_printer().orientation = kPortrait;
        }
        prt_main_marked(printer);
      },
      single_card ? CopyCalls::Once : CopyCalls::EachCopy);
}

void RodEngMapDisplay::prt_main_marked(Canvas& printer) {
  sync_from_widgets();
  BatchRequest req;
  req.frame2_caption = st.frame2_caption;
  req.marked_rows = collect_print_marks(grid_column0(Grid1)).rows;
  req.copies = Print_Copies;
  const PrintDlg& dlg = PrintDlg::instance();
  req.combo3_text = dlg.paper_text();
  req.combo3_item0 = dlg.paper_item(0);
  req.combo3_item1 = dlg.paper_item(1);
  req.option1 = dlg.Option1->isChecked();
  const BatchResult result =
      wb::prt_main_marked(program_folder(), req, st, printer, current_printer(), [this] { repaint(); });
  if (result.status == BatchStatus::NoMarks) services().messages->show(kNoMarkText, kNoMarkTitle, MsgButtons::Ok);
}

}  // namespace wb
