// The library grid (listing, loading a row, print marks, deletion) and the main picture's
// mouse commands (the view cycle and the BMP save).
#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>

#include "core/common/trim.h"
#include "core/workbench/print_mark.h"
#include "platform/qt_text.h"
#include "platform/services_qt.h"
#include "ui/workbench/rod_eng_map_display_libs.h"
#include "core/common/messages.h"

namespace wb {

namespace {

// Key p or P on the grid, passed to Grid1_KeyPress; other keys go on to the grid. The
// keyboard's menu key (or Shift+F10) opens the grid menu "菜单" at the current row, since
// the right mouse button is the grid's delete command.
class GridKeyFilter : public QObject {
 public:
  GridKeyFilter(RodEngMapDisplay& w, QObject* parent) : QObject(parent), w_(w) {}

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override {
    if (ev->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(ev)->reason() == QContextMenuEvent::Keyboard) {
      popup_menu();
      return true;
    }
    if (ev->type() == QEvent::KeyPress) {
      const auto* k = static_cast<QKeyEvent*>(ev);
      if (k->key() == Qt::Key_F10 && k->modifiers() == Qt::ShiftModifier) {
        popup_menu();
        return true;
      }
      const QString t = k->text();
      if (t == QLatin1String("p") || t == QLatin1String("P")) {
        w_.Grid1_KeyPress(t.at(0).unicode());
        return true;
      }
    }
    return QObject::eventFilter(obj, ev);
  }

 private:
  void popup_menu() {
    const QRect cell = w_.Grid1->visualRect(w_.Grid1->model()->index(w_.Grid1->row(), 0));
    w_.num->popup(w_.Grid1->viewport()->mapToGlobal(cell.isValid() ? cell.center() : QPoint(0, 0)));
  }
  RodEngMapDisplay& w_;
};

// The grid marks a block of rows for the p key: a contiguous selection, and the key filter
// (installed once; found by its name, as the filter class has no meta-object of its own).
void prepare_grid(RodEngMapDisplay& w) {
  static const QString kName = QStringLiteral("Grid1_KeyPress");
  if (w.Grid1->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly)) return;
  w.Grid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  auto* filter = new GridKeyFilter(w, w.Grid1);
  filter->setObjectName(kName);
  w.Grid1->installEventFilter(filter);
}

void list_into_grid(RodEngMapDisplay& w, const std::filesystem::path& fil_nam, std::size_t len) {
  prepare_grid(w);
  w.Grid1->set_rows(1);
  std::shared_ptr<const GridListing> rows;
  LibStatus s = grid_listing(fil_nam, len, rows);
  if (s != LibStatus::Ok) {
    show_library_failure(LibOperation::List, s, fil_nam);
    return;
  }
  if (rows->size() == 0) return;
  // The whole list in one block, then the last record made current (and scrolled into view).
  const int last = static_cast<int>(rows->size());
  // The grid copies the texts straight from the listing.
  const RowNumbers numbers(rows->size());
  w.Grid1->set_rows_text(1, rows->size(), [&](std::size_t r, std::size_t c) -> std::string_view {
    switch (c) {
      case 0: return numbers(r + 1);
      case 1: return rows->well_name(r);
      case 2: return rows->test_date(r);
      default: return {};
    }
  });
  w.Grid1->set_row(last);
  w.Grid1->set_col(2);
}

void toggle_mark(Grid* g, int r) {
  g->set_col(0);
  g->set_text(r, 0, qs(Toggle_Print_Mark(g->text(r, 0).toStdString())));
}

// The title and name the picture-save dialog had at its last use.
FileDialogRequest& last_picture_request() {
  static FileDialogRequest last;
  return last;
}

}  // namespace

ViewDrawers view_drawers(RodEngMapDisplay& w) {
  ViewDrawers d;
  d.disp_data = [&w](TestState&) { w.draw_energy_panel(); };
  d.RodEngMapDisplay_Card = [&w](TestState&) { w.draw_card(); };
  d.iup_line_form = [&w](TestState&, int n) { w.draw_electric_curves(n); };
  d.draw_xbt_1 = [&w](TestState&, float xx, float yy) { w.draw_xbt_1(xx, yy); };
  d.draw_xbt_2 = [&w](TestState&, float xx, float yy) { w.draw_xbt_2(xx, yy); };
  return d;
}

void RodEngMapDisplay::Load_Grid_Dat_sgt(const std::filesystem::path& fil_nam) {
  list_into_grid(*this, fil_nam, kSgtRecordSize);
}
void RodEngMapDisplay::Load_Grid_Dat_Pow(const std::filesystem::path& fil_nam) {
  list_into_grid(*this, fil_nam, kDntRecordSize);
}
void RodEngMapDisplay::Load_Grid_Dat_Wav(const std::filesystem::path& fil_nam) {
  list_into_grid(*this, fil_nam, kXbtRecordSize);
}

void RodEngMapDisplay::Grid1_Click() {
  sync_from_widgets();
  const LibraryInfo* lib = library_by_caption(st.frame2_caption);
  const int r = Grid1->row();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  RecordFindings f;
  ReadStatus s = Grid1_row_chosen(st, program_folder(), r, reader_charts(*this), &f);
  Picture1->update();
  sync_to_widgets();
  QApplication::restoreOverrideCursor();
  if (lib && r > 0) {
    show_read_failure(lib->kind, s, program_folder().sys() / lib->file_name, RecordSource::Library);
    show_record_findings(st, s, lib->kind, f, program_folder().sys() / lib->file_name);
  }
}

void RodEngMapDisplay::Grid1_MouseDown(int, int, Qt::MouseButton button) {
  if (button == Qt::LeftButton)
    Grid1_Click();
  else if (button == Qt::RightButton)
    sc_num_Click();
}

void RodEngMapDisplay::Grid1_DblClick(int, int) {
  if (Grid1->row() != 0) toggle_mark(Grid1, Grid1->row());
}

void RodEngMapDisplay::Grid1_KeyPress(int key_ascii) {
  if (key_ascii != 'p' && key_ascii != 'P') return;
  int s = Grid1->row(), e = Grid1->row();
  const auto ranges = Grid1->selectedRanges();
  if (!ranges.isEmpty()) {
    s = ranges.front().topRow();
    e = ranges.front().bottomRow();
    for (const auto& rg : ranges) {
      s = std::min(s, rg.topRow());
      e = std::max(e, rg.bottomRow());
    }
  }
  if (s == 0) s = 1;
  if (e == 0) return;
  Grid1->set_col(0);
  for (int r = s; r <= e; ++r) {
    Grid1->set_row(r);
    toggle_mark(Grid1, r);
  }
}

const LibraryInfo* RodEngMapDisplay::shown_library() const {
  // The grid keeps the rows of the library listed last while the joint tests hide it.
  if (Frame2->isHidden()) return nullptr;
  return library_by_caption(st.frame2_caption);
}

void RodEngMapDisplay::sc_num_Click() {
  sync_from_widgets();
  const LibraryInfo* lib = shown_library();
  if (!lib) {
    services().messages->show(kNoLibraryShownText, kDeleteTitle, MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  const int n = Grid1->row();
  if (n < 1 || n >= Grid1->rows() || trim_blanks(Grid1->text(n, 0).toStdString()).empty()) {
    services().messages->show(kNoRecordChosenText, kDeleteTitle, MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  const std::string question =
      delete_question(*lib, n, Grid1->text(n, 1).toStdString(), Grid1->text(n, 2).toStdString());
  if (!services().messages->ask_yes_no(question, kDeleteTitle)) return;
  DeleteResult r = delete_library_record(program_folder(), lib->kind, n);
  const std::filesystem::path path = program_folder().sys() / lib->file_name;
  if (r.status != LibStatus::Ok) {
    show_library_failure(LibOperation::Delete, r.status, path);
    return;
  }
  if (!r.relist) return;
  list_into_grid(*this, path, lib->record_length);
}

void RodEngMapDisplay::Picture1_MouseDown(Qt::MouseButton button, double, double) {
  if (button == Qt::RightButton) {
    Save_Pic_Bmp();
    return;
  }
  sync_from_widgets();
  if (picture_next_view(st, view_drawers(*this))) {
    Picture1->update();
    sync_to_widgets();
  }
}

void RodEngMapDisplay::Save_Pic_Bmp() {
  sync_from_widgets();
  FileDialogRequest req = Save_Pic_Bmp_request(program_folder(), st, last_picture_request());
  if (picture_save_rule(st.read_sgt_dnt_org, st.disp_state)) {
    // The proposed name is the well's: one that would lead out of the image folder is refused.
    const std::string well = Trim_Blank_Nul(st.Text1[appended_box::kWell]);
    if (!well.empty() && !is_safe_file_stem(well)) {
      UserMessage m = unsafe_well_name_message(well);
      services().messages->show(m.text, m.title, MsgButtons::Ok, MsgIcon::Warning);
      return;
    }
  }
  last_picture_request() = req;
  const std::string chosen = services().files->save_file(req);
  if (chosen.empty()) return;
  if (!Picture1->save_bmp(QString::fromStdString(chosen)))
    services().messages->show(picture_not_saved_text(chosen), "", MsgButtons::Ok, MsgIcon::Warning);
}

}  // namespace wb
