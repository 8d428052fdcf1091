#include "platform/grid.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace wb {

Grid::Grid(QWidget* parent) : QTableWidget(parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->setDefaultSectionSize(20);
  set_cols(2);
  set_rows(2);
}

void Grid::style_fixed() {
  for (int r = 0; r < rowCount(); ++r)
    for (int c = 0; c < columnCount(); ++c) {
      QTableWidgetItem* it = item(r, c);
      if (!it) {
        it = new QTableWidgetItem();
        setItem(r, c, it);
      }
      bool fixed = r < fixed_rows_ || c < fixed_cols_;
      it->setBackground(fixed ? QBrush(QColor(212, 208, 200)) : QBrush());
      it->setFlags(fixed ? Qt::ItemIsEnabled : (Qt::ItemIsEnabled | Qt::ItemIsSelectable));
    }
}

void Grid::set_rows(int n) {
  setRowCount(std::max(0, n));
  style_fixed();
  if (cur_row_ >= rowCount()) cur_row_ = std::max(0, rowCount() - 1);
}

void Grid::set_cols(int n) {
  setColumnCount(std::max(0, n));
  style_fixed();
  if (cur_col_ >= columnCount()) cur_col_ = std::max(0, columnCount() - 1);
}

void Grid::set_fixed_rows(int n) {
  fixed_rows_ = n;
  style_fixed();
}

void Grid::set_fixed_cols(int n) {
  fixed_cols_ = n;
  style_fixed();
}

QString Grid::text(int r, int c) const {
  const QTableWidgetItem* it = item(r, c);
  return it ? it->text() : QString();
}

void Grid::set_text(int r, int c, const QString& t) {
  if (r < 0 || c < 0 || r >= rowCount() || c >= columnCount()) return;
  QTableWidgetItem* it = item(r, c);
  if (!it) {
    it = new QTableWidgetItem();
    setItem(r, c, it);
  }
  it->setText(t);
  // A column is never narrower than its longest text, so dates and names stay readable
  // whatever width the design gave the column.
  int need = fontMetrics().horizontalAdvance(t) + 8;
  if (need > columnWidth(c)) setColumnWidth(c, need);
}

void Grid::set_row(int r) {
  if (r < 0 || r >= rowCount()) return;
  cur_row_ = r;
  if (r >= fixed_rows_) setCurrentCell(r, std::max(cur_col_, 0));
}

void Grid::set_col(int c) {
  if (c < 0 || c >= columnCount()) return;
  cur_col_ = c;
}

void Grid::set_col_width_twips(int col, int twips) { setColumnWidth(col, twips * 96 / 1440); }

QString Grid::clip(int r1, int c1, int r2, int c2) const {
  QString out;
  for (int r = r1; r <= r2; ++r) {
    for (int c = c1; c <= c2; ++c) {
      if (c > c1) out += '\t';
      out += text(r, c);
    }
    out += "\r\n";
  }
  return out;
}

void Grid::mousePressEvent(QMouseEvent* e) {
  QModelIndex idx = indexAt(e->position().toPoint());
  if (idx.isValid()) {
    cur_row_ = idx.row();
    cur_col_ = idx.column();
  }
  QTableWidget::mousePressEvent(e);
  if (idx.isValid()) emit cell_clicked(idx.row(), idx.column(), e->button());
}

void Grid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableWidget::currentChanged(current, previous);
  if (!current.isValid()) return;
  cur_row_ = current.row();
  cur_col_ = current.column();
}

void Grid::mouseDoubleClickEvent(QMouseEvent* e) {
  QModelIndex idx = indexAt(e->position().toPoint());
  QTableWidget::mouseDoubleClickEvent(e);
  if (idx.isValid()) emit cell_double_clicked(idx.row(), idx.column());
}

}  // namespace wb
