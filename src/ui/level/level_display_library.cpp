// The fluid-level window's markers and manual methods, its library grid and its printing.
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

#include "core/level/dym_record.h"
#include "core/level/echo_display.h"
#include "core/level/level_file.h"
#include "core/level/level_library.h"
#include "core/level/level_open.h"
#include "core/level/level_methods.h"
#include "core/level/level_page.h"
#include "core/printing/pdf_file_name.h"
#include "core/workbench/print_mark.h"
#include "platform/grid.h"
#include "platform/picture_box.h"
#include "platform/print_dialog.h"
#include "platform/services_qt.h"
#include "platform/system_printer.h"
#include "ui/level/level_display.h"
#include "core/common/messages.h"
#include "core/common/listing_texts.h"

namespace wb {

namespace {

constexpr const char* kNoLevelMarkText = "请在主库网格中双击左键选定您需要打印的动液面！！";
constexpr const char* kNoLevelMarkTitle = "没有选定";

// The boxes as the user knows them, for the message naming those stored as 0.
std::string box_caption(const std::string& box) {
  if (box == "Text3") return "音标深度";
  if (box == "Text4") return "油管长";
  return "接箍数";
}

}  // namespace

void LevelDisplay::read_boxes() {
  st.Text3 = Text3->text().toStdString();
  st.Text4 = Text4->text().toStdString();
  st.Text5 = Text5->text().toStdString();
}

void LevelDisplay::show_boxes() {
  Text3->setText(QString::fromStdString(st.Text3));
  Text4->setText(QString::fromStdString(st.Text4));
  Text5->setText(QString::fromStdString(st.Text5));
}

void LevelDisplay::set_gain(int gain) {
  st.gain = gain;
  const bool was = VScroll1->blockSignals(true);
  VScroll1->setValue(gain);
  VScroll1->blockSignals(was);
}

bool LevelDisplay::library_ok(int status) {
  const LevelLibrary lib(program_folder());
  switch (static_cast<LimitedStatus>(status)) {
    case LimitedStatus::Ok: return true;
    case LimitedStatus::Damaged: services().messages->show(kBadFormatText, kBadFormatTitle, MsgButtons::Ok); break;
    case LimitedStatus::Full:
      services().messages->show(library_full_text("液面数据主库"), kSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
      break;
    case LimitedStatus::OverLimit:
      services().messages->show(over_limit_text(lib.path(), file_records_over_limit(lib.path(), kDymRecordSize)),
                                kBadFormatTitle, MsgButtons::Ok, MsgIcon::Warning);
      break;
    case LimitedStatus::IoError: break;
  }
  return false;
}

// ---- markers and methods ----

void LevelDisplay::ym_item_Click(LevelMarker m) {
  read_boxes();
  set_marker(st, m, static_cast<float>(cursor_x_), overview_width_twips());
  LevelLibrary lib(program_folder());
  library_ok(static_cast<int>(limited(lib.save_marker(st.cur_rec, m, st.marker_x(m)))));
  show_markers();
  if (m != LevelMarker::Level) return;
  switch (st.method) {
    case 3:
      if (scale_level_depth(st, *services().messages)) show_title();
      break;
    case 2:
      Command3_Click();
      break;
    case 1:
      Command1_Click();
      break;
    default:
      break;
  }
}

void LevelDisplay::Command1_Click() {
  read_boxes();
  if (!run_sound_mark_method(st, *services().messages)) return;
  redraw_graph();
  LevelLibrary lib(program_folder());
  library_ok(static_cast<int>(limited(lib.save_level(st.cur_rec, st.level_depth, 1, st.sound_speed))));
}

void LevelDisplay::Command3_Click() {
  read_boxes();
  if (!run_collar_method(st, *services().messages)) return;
  redraw_graph();
  LevelLibrary lib(program_folder());
  library_ok(static_cast<int>(limited(lib.save_level(st.cur_rec, st.level_depth, 2, st.sound_speed))));
}

// ---- library ----

void LevelDisplay::load_grid_dat() {
  // One empty row under the heading until the library is listed.
  Grid1->set_rows_text(1, {{}});
  record_count_ = 0;
  LevelLibrary lib(program_folder());
  std::shared_ptr<const LevelListing> rows;
  if (!library_ok(static_cast<int>(lib.listing(rows)))) return;
  record_count_ = static_cast<int>(rows->size());
  if (rows->size() == 0) return;
  // The grid copies the texts straight from the listing: number, well, test date.
  const RowNumbers numbers(rows->size());
  Grid1->set_rows_text(1, rows->size(), [&](std::size_t r, std::size_t c) -> std::string_view {
    switch (c) {
      case kColNumber: return numbers(r + 1);
      case kColWell: return rows->well_name(r);
      case kColDate: return rows->test_date(r);
      default: return {};
    }
  });
}

void LevelDisplay::Grid1_Click(int row) {
  // The empty row of an empty library and the heading name no record.
  if (row < 1 || row > record_count_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  LevelLibrary lib(program_folder());
  DymRecord d;
  if (library_ok(static_cast<int>(limited(lib.read(row, d))))) {
    load_dym_into_test(d, st);
    warn_invalid_rate(st, *services().messages);
    st.cur_rec = static_cast<std::int16_t>(row);
    show_boxes();
    set_gain(st.gain);
    redraw_graph();
    set_commands_enabled(true);
  }
  QApplication::restoreOverrideCursor();
}

void LevelDisplay::Grid1_DblClick() { dy_num_Click(); }

void LevelDisplay::dy_num_Click() {
  const int r = Grid1->row();
  if (r < 1) return;
  Grid1->set_text(r, kColNumber, QString::fromStdString(Toggle_Print_Mark(Grid1->text(r, kColNumber).toStdString())));
}

void LevelDisplay::Grid1_KeyPress(QChar key) {
  if (key != QLatin1Char('P') && key != QLatin1Char('p')) return;
  int first = Grid1->row(), last = Grid1->row();
  const auto ranges = Grid1->selectedRanges();
  if (!ranges.isEmpty()) {
    first = ranges.front().topRow();
    last = ranges.front().bottomRow();
    for (const auto& range : ranges) {
      first = std::min(first, range.topRow());
      last = std::max(last, range.bottomRow());
    }
  }
  if (last < 1) return;
  for (int r = std::max(first, 1); r <= last; ++r)
    Grid1->set_text(r, kColNumber, QString::fromStdString(Toggle_Print_Mark(Grid1->text(r, kColNumber).toStdString())));
}

void LevelDisplay::Grid1_MouseDown(Qt::MouseButton button) {
  if (button == Qt::RightButton) num1->popup(QCursor::pos());
}

void LevelDisplay::Command2_Click() {
  // Results of a damaged raw file would reload from the library as if they were sound.
  if (st.cur_rec == -1 && !st.file_doubts.empty() &&
      !services().messages->ask_yes_no(level_doubts_text(st.file_doubts, st.Text2) + kStoreAnywayQuestion,
                                       kLevelDoubtsTitle))
    return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  read_boxes();
  std::vector<std::string> zeroed;
  const DymRecord d = dym_from_test(st, &zeroed);
  LevelLibrary lib(program_folder());
  int record = 0;
  const LimitedStatus saved = lib.save(d, record);
  QApplication::restoreOverrideCursor();
  if (saved != LimitedStatus::Ok && saved != LimitedStatus::IoError) {
    library_ok(static_cast<int>(saved));
    return;
  }
  if (saved != LimitedStatus::Ok) {
    services().messages->show("保存失败：无法写入" + path_text(lib.path()) + cause_note(set_refusal()), kSaveTitle,
                              MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  load_grid_dat();
  if (!zeroed.empty()) {
    std::string names;
    for (const auto& z : zeroed) names += (names.empty() ? "" : "、") + box_caption(z);
    services().messages->show(names + "不是数字，已按0保存", kSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
  }
}

void LevelDisplay::sc_num_Click() {
  const int r = Grid1->row();
  if (r < 1 || r > record_count_) return;
  if (!services().messages->ask_yes_no(delete_question(r), kWarningTitle)) return;
  LevelLibrary lib(program_folder());
  if (!library_ok(static_cast<int>(limited(lib.remove(r))))) return;
  st.cur_rec = cur_rec_after_delete(st.cur_rec, r);
  load_grid_dat();
}

// ---- printing ----

std::vector<std::int16_t> LevelDisplay::marked_records() const {
  std::vector<std::int16_t> out;
  for (int r = 1; r <= record_count_ && r < Grid1->rows(); ++r)
    if (Print_Mark(Grid1->text(r, kColNumber).toStdString())) out.push_back(static_cast<std::int16_t>(r));
  return out;
}

void LevelDisplay::Command6_Click() {
  const std::vector<std::int16_t> records = marked_records();
  if (records.empty()) {
    services().messages->show(kNoLevelMarkText, kNoLevelMarkTitle, MsgButtons::Ok);
    return;
  }
  PrintPresets presets;
  presets.paper_items = card_paper_items();
  presets.paper_item = 0;
  presets.paper_enabled = true;
  presets.landscape = false;
  // A PDF of one well's tests carries the well in its name; one of several wells does not.
  std::vector<std::string> wells;
  for (std::int16_t r : records) wells.push_back(Grid1->text(r, kColWell).toStdString());
  presets.name = PrintName{one_well_of(wells), "液面测试报表"};
  LevelLibrary lib(program_folder());
  auto read = [&lib](std::int16_t r, LevelTest& into, double& mark_level) {
    DymRecord d;
    if (lib.read(r, d) != StoreStatus::Ok) return false;
    load_dym_into_test(d, into);
    mark_level = d.marks[static_cast<int>(LevelMarker::Level)];
    return true;
  };
  std::vector<std::int16_t> skipped;
  const PrintDlg& dlg = PrintDlg::instance();
  const int printed = print_protocol(this, presets, [&](Canvas& printer, int) {
    const std::string paper = dlg.paper_text();
    if (paper == dlg.paper_item(0)) {
      current_printer().paper_code = kPaperA4;
      current_printer().orientation = kLandscape;
    } else if (paper == dlg.paper_item(1)) {
      current_printer().paper_code = kPaperFanfoldUS;
      current_printer().orientation = kLandscape;
    }
    skipped = prt_level_marked(printer, st, records, current_printer().paper_code, read);
  });
  if (printed > 0 && !skipped.empty()) {
    std::string list;
    for (auto r : skipped) list += (list.empty() ? "" : "、") + std::to_string(r);
    services().messages->show("第" + list + "号记录无法读取，未打印", kPrintTitle, MsgButtons::Ok, MsgIcon::Warning);
  }
}

}  // namespace wb
