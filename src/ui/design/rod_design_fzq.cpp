// The design window's tab "抽油杆扶正器": the centralizer table Grid2, its pop-up menu
// "扶正器打印" and the in-grid depth editor txtEdit.
#include <QAction>
#include <QMenu>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "core/common/number_text.h"
#include "core/design/workbench/fzq_table.h"
#include "platform/excel_export.h"
#include "platform/grid.h"
#include "platform/qt_text.h"
#include "platform/services_qt.h"
#include "ui/design/rod_design.h"

namespace wb::design {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kFzqWidths[11] = {420, 780, 720, 700, 720, 860, 880, 880, 860, 620, 700};  // twips
constexpr int kHeadingHeight = 400 / kTwipsPerPixel;

}  // namespace

QWidget* RodDesign::build_fzq_tab() {
  auto* page = new QWidget;
  auto* outer = new QVBoxLayout(page);
  outer->setContentsMargins(2, 2, 2, 2);
  auto* frame = new QGroupBox(QStringLiteral("抽油杆扶正器布置数据表"), page);
  outer->addWidget(frame);
  // The table fills its frame (8415 × 3855 twips at 120, 360 in the window's design).
  auto* inner = new QVBoxLayout(frame);
  inner->setContentsMargins(120 / kTwipsPerPixel, 360 / kTwipsPerPixel - 12, 120 / kTwipsPerPixel, 4);
  Grid2 = new Grid(frame);
  Grid2->setMinimumSize(8415 / kTwipsPerPixel, 3855 / kTwipsPerPixel);
  inner->addWidget(Grid2);
  Grid2->set_cols(11);
  Grid2->set_fixed_cols(1);
  for (int c = 0; c < 11; ++c) Grid2->set_col_width_twips(c, kFzqWidths[c]);
  Grid2->viewport()->installEventFilter(this);

  // The editor starts over the depth of row 1, below the column's heading, and stays there
  // as the frame is laid out until it is first placed on a row.
  txtEdit = new QLineEdit(frame);
  txtEdit->setGeometry(720 / kTwipsPerPixel, 600 / kTwipsPerPixel, 495 / kTwipsPerPixel + 8, 270 / kTwipsPerPixel + 4);
  txtEdit->installEventFilter(this);
  Grid2->installEventFilter(this);
  txtEdit->raise();
  connect(txtEdit, &QLineEdit::textChanged, this, [this](const QString& t) { txtEdit_Change(st, t.toStdString()); });
  // Whatever the user changes (a paste, a cut, Delete, an undo as much as a digit) is typed.
  connect(txtEdit, &QLineEdit::textEdited, this, [this] { st.fzq_edit_changed = true; });
  connect(Grid2, &Grid::cell_clicked, this, [this](int row, int col, Qt::MouseButton) {
    st.Grid2.row = row;
    st.Grid2.col = col;
  });

  ShortcutMenu = new QMenu(QStringLiteral("扶正器打印"), this);
  RodPrint = ShortcutMenu->addAction(QStringLiteral("打印"));
  mnuSep = ShortcutMenu->addSeparator();
  mnuSep->setVisible(false);
  ImportExcel = ShortcutMenu->addAction(QStringLiteral("导入到Excel"));
  // The row commands exist as core functions; nothing in the window offers them.
  mnuAdd = ShortcutMenu->addAction(QStringLiteral("增加"));
  mnuIns = ShortcutMenu->addAction(QStringLiteral("插入"));
  mnuDel = ShortcutMenu->addAction(QStringLiteral("删除"));
  for (QAction* a : {mnuAdd, mnuIns, mnuDel}) a->setVisible(false);
  connect(RodPrint, &QAction::triggered, this, [this] { RodPrint_Click(); });
  connect(ImportExcel, &QAction::triggered, this, [this] { ImportExcel_Click(); });
  return page;
}

void RodDesign::refresh_fzq() {
  const TextGrid& g = st.Grid2;
  Grid2->set_rows(g.rows());
  for (int r = 0; r < g.rows(); ++r)
    for (int c = 0; c < g.cols(); ++c) Grid2->set_text(r, c, qs(g.text(r, c)));
  Grid2->setRowHeight(0, kHeadingHeight);
  // The editor lies over a depth cell and shows that cell's text, unless the user is typing
  // a depth into it that is not yet taken over.
  if (!st.fzq_edit_changed && g.rows() > 1) {
    const int row = std::clamp(cell_editor_row_, 1, g.rows() - 1);
    const QString t = qs(g.text(row, 1));
    if (txtEdit->text() != t) {
      const QSignalBlocker quiet(txtEdit);
      txtEdit->setText(t);
    }
  }
}

void RodDesign::Grid2_MouseUp(Qt::MouseButton button, const QPoint& global_pos) {
  if (button != Qt::RightButton) return;
  // Shown after the click's own handling has ended, so a test or a second click can close it.
  QTimer::singleShot(0, this, [this, global_pos] { ShortcutMenu->popup(global_pos); });
}

void RodDesign::ImportExcel_Click() {
  XlsxWorkbookWriter writer;
  // A refused name or a workbook that cannot be written is told by the step itself.
  std::ignore = design::ImportExcel_Click(st, folder_, writer, *services().messages, *services().shell);
}

// Keys of the depth editor. Enter commits a typed depth into the row the editor lies over,
// with the table's checks, and then moves on; a refused depth stays in the editor over its
// row. Esc drops what was typed and shows the cell's depth again. The editing shortcuts
// (select all, copy, cut, paste, undo) and Delete are the line edit's own.
bool RodDesign::txtEdit_event(QKeyEvent* k) {
  if (k->key() == Qt::Key_Escape) {
    st.fzq_edit_changed = false;
    const int row = std::clamp(cell_editor_row_, 1, std::max(st.Grid2.rows() - 1, 1));
    txtEdit->setText(qs(st.Grid2.text(row, 1)));
    txtEdit->selectAll();
    return true;
  }
  const bool shortcut = (k->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) != 0;
  if ((shortcut && k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter) || k->key() == Qt::Key_Delete)
    return false;  // Delete carries the DEL character on X11
  int code = 0;
  if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
    code = kEnterKey;
  } else if (!k->text().isEmpty()) {
    code = static_cast<int>(k->text().at(0).unicode());
  }
  if (code == 0) return false;  // arrows and other keys without a character move the caret
  if (code == kEnterKey && st.fzq_edit_changed) {
    st.fzq_edit_row = static_cast<std::int16_t>(cell_editor_row_);
    st.fzq_edit_text = txtEdit->text().toStdString();
    const double pump_depth = num_val(st.Text3[design_box::kPumpDepthAfter]);
    if (!went_through(commit_fzq_depth(st, pump_depth, *services().messages))) {
      // The refused text stays for correction, counted as typed.
      st.fzq_edit_changed = true;
      txtEdit->setFocus();
      txtEdit->selectAll();
      return true;
    }
    refresh_fzq();
  }
  if (Grid2->row() >= 1) st.Grid2.row = Grid2->row();
  if (txtEdit_KeyPress(st, code)) {
    PlaceCellEditor();
    return true;
  }
  return code == 0;  // a discarded character is not typed
}

void RodDesign::set_cell_editor_geometry(int row) {
  int y = Grid2->y() + 40 / kTwipsPerPixel;
  for (int r = 0; r < row; ++r) y += Grid2->rowHeight(r);
  y += (row - 1) * 15 / kTwipsPerPixel;
  txtEdit->setGeometry(Grid2->x() + Grid2->columnWidth(0) + 25 / kTwipsPerPixel, y, Grid2->columnWidth(1),
                       Grid2->rowHeight(std::min(row, Grid2->rows() - 1)));
}

void RodDesign::PlaceCellEditor() {
  const TextGrid& g = st.Grid2;
  const int row = g.row;
  st.Grid2.col = 1;
  cell_editor_placed_ = true;
  cell_editor_row_ = row;
  set_cell_editor_geometry(row);
  txtEdit->setText(qs(g.text(row, 1)));
  Grid2->set_row(row);
  txtEdit->setFocus();
  txtEdit->selectAll();
}

}  // namespace wb::design
