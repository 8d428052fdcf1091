#include "platform/grid.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionViewItem>

namespace wb {

// Draws a cell of a frozen view with the grid's own delegate, and with the focus frame the
// grid would draw on its current cell.
class GridFrozenDelegate : public QAbstractItemDelegate {
 public:
  explicit GridFrozenDelegate(Grid* grid) : QAbstractItemDelegate(grid), grid_(grid) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem o(option);
    if ((grid_->hasFocus() || grid_->viewport()->hasFocus()) && index == grid_->currentIndex())
      o.state |= QStyle::State_HasFocus;
    grid_->itemDelegateForIndex(index)->paint(p, o, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return grid_->itemDelegateForIndex(index)->sizeHint(option, index);
  }

 private:
  Grid* grid_;
};

// One of the views that keep the fixed rows and columns in view. It draws the grid's own
// model through the grid's selection, scrolls only along with the grid in the directions it
// follows, and hands every mouse event to the grid, so a click on a fixed cell behaves as a
// click on that cell of the grid.
class GridFrozenView : public QTableView {
 public:
  GridFrozenView(Grid* grid, bool follow_h, bool follow_v)
      : QTableView(grid), grid_(grid), follow_h_(follow_h), follow_v_(follow_v) {
    setModel(grid->model());
    setSelectionModel(grid->selectionModel());
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAutoScroll(false);
    setItemDelegate(new GridFrozenDelegate(grid));
    hide();
  }

  void follow() {
    horizontalScrollBar()->setValue(follow_h_ ? grid_->horizontalScrollBar()->value() : 0);
    verticalScrollBar()->setValue(follow_v_ ? grid_->verticalScrollBar()->value() : 0);
  }

  // Only ever scrolled with the grid.
  void scrollTo(const QModelIndex&, ScrollHint) override {}

 protected:
  void updateGeometries() override {
    QTableView::updateGeometries();
    follow();
  }

  bool viewportEvent(QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
        grid_->forward_from_frozen(this, e);
        return true;
      default:
        return QTableView::viewportEvent(e);
    }
  }

 private:
  Grid* grid_;
  bool follow_h_;
  bool follow_v_;
};

Grid::Grid(QWidget* parent) : QTableWidget(parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->setDefaultSectionSize(20);
  // Columns differ in width: scrolling by pixels lets a column slide out from under the
  // fixed ones instead of jumping a whole column at a time.
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  frozen_left_ = new GridFrozenView(this, false, true);
  frozen_top_ = new GridFrozenView(this, true, false);
  frozen_corner_ = new GridFrozenView(this, false, false);
  auto sizes_changed = [this] {
    frozen_sizes_dirty_ = true;
    if (frozen_left_->isVisible() || frozen_top_->isVisible()) place_frozen();
  };
  for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
    connect(h, &QHeaderView::sectionResized, this, sizes_changed);
    connect(h, &QHeaderView::sectionCountChanged, this, sizes_changed);
  }
  for (QScrollBar* b : {horizontalScrollBar(), verticalScrollBar()})
    connect(b, &QScrollBar::valueChanged, this, [this] { place_frozen(); });
  set_cols(2);
  set_rows(2);
}

Grid::~Grid() {
  // The headers and scroll bars outlive this part of the grid; the frozen views go first.
  for (QObject* o : std::initializer_list<QObject*>{horizontalHeader(), verticalHeader(), horizontalScrollBar(),
                                                    verticalScrollBar()})
    disconnect(o, nullptr, this, nullptr);
  for (GridFrozenView** v : {&frozen_corner_, &frozen_top_, &frozen_left_}) {
    delete *v;
    *v = nullptr;
  }
}

int Grid::frozen_width() const {
  int w = 0;
  for (int c = 0; c < std::min(fixed_cols_, columnCount()); ++c) w += columnWidth(c);
  return w;
}

int Grid::frozen_height() const {
  int h = 0;
  for (int r = 0; r < std::min(fixed_rows_, rowCount()); ++r) h += rowHeight(r);
  return h;
}

void Grid::sync_frozen_sizes() {
  frozen_sizes_dirty_ = false;
  for (GridFrozenView* v : {frozen_left_, frozen_top_, frozen_corner_}) {
    v->setHorizontalScrollMode(horizontalScrollMode());
    v->setVerticalScrollMode(verticalScrollMode());
    v->setShowGrid(showGrid());
    v->setGridStyle(gridStyle());
    v->setWordWrap(wordWrap());
    v->setTextElideMode(textElideMode());
    // The left strip and the corner show only the fixed columns, the top strip and the
    // corner only the fixed rows.
    const int nr = v == frozen_left_ ? rowCount() : std::min(fixed_rows_, rowCount());
    const int nc = v == frozen_top_ ? columnCount() : std::min(fixed_cols_, columnCount());
    for (int r = 0; r < nr; ++r) {
      if (v->isRowHidden(r) != isRowHidden(r)) v->setRowHidden(r, isRowHidden(r));
      if (!isRowHidden(r) && v->rowHeight(r) != rowHeight(r)) v->setRowHeight(r, rowHeight(r));
    }
    for (int c = 0; c < nc; ++c) {
      if (v->isColumnHidden(c) != isColumnHidden(c)) v->setColumnHidden(c, isColumnHidden(c));
      if (!isColumnHidden(c) && v->columnWidth(c) != columnWidth(c)) v->setColumnWidth(c, columnWidth(c));
    }
  }
}

void Grid::place_frozen() {
  if (!frozen_corner_) return;  // still constructing
  const QRect vp = viewport()->geometry();
  const int fw = std::min(frozen_width(), vp.width());
  const int fh = std::min(frozen_height(), vp.height());
  const QScrollBar* hb = horizontalScrollBar();
  const QScrollBar* vb = verticalScrollBar();
  // Unscrolled, the table itself shows the fixed cells where they belong.
  const bool left = fw > 0 && rowCount() > 0 && hb->value() > hb->minimum();
  const bool top = fh > 0 && columnCount() > 0 && vb->value() > vb->minimum();
  if ((left || top) && frozen_sizes_dirty_) sync_frozen_sizes();
  frozen_left_->setGeometry(vp.x(), vp.y(), fw, vp.height());
  frozen_top_->setGeometry(vp.x(), vp.y(), vp.width(), fh);
  frozen_corner_->setGeometry(vp.x(), vp.y(), fw, fh);
  frozen_left_->setVisible(left);
  frozen_top_->setVisible(top);
  frozen_corner_->setVisible(left && top);
  for (GridFrozenView* v : {frozen_left_, frozen_top_, frozen_corner_}) {
    if (!v->isVisible()) continue;
    v->follow();
    v->raise();
  }
}

void Grid::focusInEvent(QFocusEvent* e) {
  QTableWidget::focusInEvent(e);
  for (GridFrozenView* v : {frozen_left_, frozen_top_, frozen_corner_}) v->viewport()->update();
}

void Grid::focusOutEvent(QFocusEvent* e) {
  QTableWidget::focusOutEvent(e);
  for (GridFrozenView* v : {frozen_left_, frozen_top_, frozen_corner_}) v->viewport()->update();
}

void Grid::updateGeometries() {
  QTableWidget::updateGeometries();
  place_frozen();
}

void Grid::forward_from_frozen(const GridFrozenView* v, QEvent* e) {
  if (e->type() == QEvent::Wheel) {
    QCoreApplication::sendEvent(viewport(), e);
    return;
  }
  // The same point of the same cell, in the grid's viewport (left of or above it when the
  // table is scrolled).
  auto to_grid = [&](QPoint p) {
    const QModelIndex idx = v->indexAt(p);
    if (idx.isValid()) return visualRect(idx).topLeft() + (p - v->visualRect(idx).topLeft());
    return viewport()->mapFromGlobal(v->viewport()->mapToGlobal(p));
  };
  if (e->type() == QEvent::ContextMenu) {
    auto* c = static_cast<QContextMenuEvent*>(e);
    QContextMenuEvent f(c->reason(), to_grid(c->pos()), c->globalPos(), c->modifiers());
    QCoreApplication::sendEvent(viewport(), &f);
    e->setAccepted(f.isAccepted());
    return;
  }
  auto* m = static_cast<QMouseEvent*>(e);
  const QPoint p = m->position().toPoint();
  QMouseEvent f(m->type(), QPointF(to_grid(p)) + (m->position() - QPointF(p)), m->scenePosition(),
                m->globalPosition(), m->button(), m->buttons(), m->modifiers(), m->pointingDevice());
  // A drag over the fixed cells lies outside the viewport's edge; it must not scroll the
  // table back.
  const bool auto_scroll = hasAutoScroll();
  if (e->type() == QEvent::MouseMove) setAutoScroll(false);
  QCoreApplication::sendEvent(viewport(), &f);
  setAutoScroll(auto_scroll);
  e->setAccepted(f.isAccepted());
}

void Grid::scrollTo(const QModelIndex& index, ScrollHint hint) {
  QScrollBar* hb = horizontalScrollBar();
  QScrollBar* vb = verticalScrollBar();
  const int h = hb->value();
  const int v = vb->value();
  QTableWidget::scrollTo(index, hint);
  if (!index.isValid()) return;
  // A fixed cell is always in view; any other cell is brought out from under the fixed ones.
  if (index.column() < fixed_cols_) {
    hb->setValue(h);
  } else {
    const int fw = frozen_width();
    while (hb->value() > hb->minimum() && visualRect(index).left() < fw) {
      const int step = horizontalScrollMode() == ScrollPerPixel ? fw - visualRect(index).left() : 1;
      hb->setValue(hb->value() - step);
    }
  }
  if (index.row() < fixed_rows_) {
    vb->setValue(v);
  } else {
    const int fh = frozen_height();
    while (vb->value() > vb->minimum() && visualRect(index).top() < fh) {
      const int step = verticalScrollMode() == ScrollPerPixel ? fh - visualRect(index).top() : 1;
      vb->setValue(vb->value() - step);
    }
  }
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
  frozen_sizes_dirty_ = true;
  style_fixed();
  if (cur_row_ >= rowCount()) cur_row_ = std::max(0, rowCount() - 1);
}

void Grid::set_cols(int n) {
  setColumnCount(std::max(0, n));
  frozen_sizes_dirty_ = true;
  style_fixed();
  if (cur_col_ >= columnCount()) cur_col_ = std::max(0, columnCount() - 1);
}

void Grid::set_fixed_rows(int n) {
  fixed_rows_ = n;
  frozen_sizes_dirty_ = true;
  style_fixed();
  place_frozen();
}

void Grid::set_fixed_cols(int n) {
  fixed_cols_ = n;
  frozen_sizes_dirty_ = true;
  style_fixed();
  place_frozen();
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
