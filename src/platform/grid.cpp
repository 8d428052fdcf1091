#include "platform/grid.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <algorithm>
#include <array>
#include <unordered_map>

#include "platform/qt_text.h"

namespace wb {

namespace {

const QColor kFixedColour(212, 208, 200);  // the fixed rows' and columns' face

}  // namespace

// The grid's texts as UTF-8, and the fixed rows and columns, whose cells are shaded and
// cannot be selected. A row's texts lie back to back in one block of the whole table, each
// after its length (7 bits a byte, the last byte of a length below 0x80), up to its last
// non-empty cell: a table of 32 767 rows of 23 cells holds about 5 MB instead of a string
// object per cell. A block of rows replaces the table's block; a cell set on its own writes
// its row anew at the block's end, and the rows left behind are dropped when they outweigh
// the rest.
class GridModel : public QAbstractTableModel {
 public:
  explicit GridModel(QObject* parent) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : cols_; }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole: {
        const std::string_view t = cell(index.row(), index.column());
        if (t.empty()) return {};
        return qs(t);
      }
      case Qt::BackgroundRole:
        if (is_fixed(index.row(), index.column())) return QBrush(kFixedColour);
        return {};
      default:
        return {};
    }
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    return is_fixed(index.row(), index.column()) ? Qt::ItemIsEnabled : (Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  }

  std::string_view cell(int r, int c) const {
    if (r < 0 || r >= rows_ || c < 0) return {};
    const Span row = spans_[static_cast<std::size_t>(r)];
    const char* p = text_.data() + row.at;
    const char* end = p + row.size;
    for (int k = 0; p < end; ++k) {
      const std::size_t len = read_length(p);
      if (k == c) return std::string_view(p, len);
      p += len;
    }
    return {};
  }

  void set_cell(int r, int c, std::string t) {
    std::vector<std::string_view> cells = cells_of(r);
    if (static_cast<std::size_t>(c) >= cells.size()) {
      if (t.empty()) return;
      cells.resize(static_cast<std::size_t>(c) + 1);
    }
    cells[static_cast<std::size_t>(c)] = t;
    // Packed apart first: the row's old texts lie in the block the new ones are added to.
    std::string packed;
    pack(cells, packed);
    garbage_ += spans_[static_cast<std::size_t>(r)].size;
    spans_[static_cast<std::size_t>(r)] = append(packed);
    drop_garbage();
    const QModelIndex i = index(r, c);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
  }

  // Rows and columns come and go at the end, the others keep their texts.
  void set_rows(int n) {
    if (n > rows_) {
      beginInsertRows({}, rows_, n - 1);
      spans_.resize(static_cast<std::size_t>(n));
      rows_ = n;
      endInsertRows();
    } else if (n < rows_) {
      beginRemoveRows({}, n, rows_ - 1);
      for (std::size_t r = static_cast<std::size_t>(n); r < spans_.size(); ++r) garbage_ += spans_[r].size;
      spans_.resize(static_cast<std::size_t>(n));
      rows_ = n;
      endRemoveRows();
      drop_garbage();
    }
  }

  void set_cols(int n) {
    if (n > cols_) {
      beginInsertColumns({}, cols_, n - 1);
      cols_ = n;
      endInsertColumns();
    } else if (n < cols_) {
      beginRemoveColumns({}, n, cols_ - 1);
      cols_ = n;
      for (int r = 0; r < rows_; ++r) {
        std::vector<std::string_view> cells = cells_of(r);
        if (cells.size() <= static_cast<std::size_t>(n)) continue;
        cells.resize(static_cast<std::size_t>(n));
        std::string packed;
        pack(cells, packed);
        garbage_ += spans_[static_cast<std::size_t>(r)].size;
        spans_[static_cast<std::size_t>(r)] = append(packed);
      }
      drop_garbage();
      endRemoveColumns();
    }
  }

  // Rows first .. first + count - 1 become the block's rows (the rows above keep their
  // texts, the rows below go): row i of the block has the texts cell(i, c) for c below the
  // column count. The whole table is written into a fresh block at once.
  void set_rows_text(int first, int count, const Grid::CellText& text) {
    set_rows(first + count);
    std::vector<char> fresh;
    std::size_t kept = 0;
    for (int r = 0; r < first; ++r) kept += spans_[static_cast<std::size_t>(r)].size;
    // About six bytes a cell; a table with longer texts grows the block.
    fresh.reserve(kept + static_cast<std::size_t>(count) * static_cast<std::size_t>(cols_) * 6);
    for (int r = 0; r < first; ++r) {
      Span& row = spans_[static_cast<std::size_t>(r)];
      const std::size_t at = fresh.size();
      fresh.insert(fresh.end(), text_.begin() + static_cast<std::ptrdiff_t>(row.at),
                   text_.begin() + static_cast<std::ptrdiff_t>(row.at + row.size));
      row.at = at;
    }
    const auto nc = static_cast<std::size_t>(cols_);
    for (int i = 0; i < count; ++i) {
      const std::size_t at = fresh.size();
      std::size_t last = 0;  // cells up to the last non-empty one
      for (std::size_t c = 0; c < nc; ++c)
        if (!text(static_cast<std::size_t>(i), c).empty()) last = c + 1;
      for (std::size_t c = 0; c < last; ++c) {
        const std::string_view t = text(static_cast<std::size_t>(i), c);
        write_length(fresh, t.size());
        fresh.insert(fresh.end(), t.begin(), t.end());
      }
      spans_[static_cast<std::size_t>(first + i)] = Span{at, static_cast<std::uint32_t>(fresh.size() - at)};
    }
    text_.swap(fresh);
    garbage_ = 0;
    if (count > 0 && cols_ > 0)
      emit dataChanged(index(first, 0), index(first + count - 1, cols_ - 1), {Qt::DisplayRole, Qt::EditRole});
  }

  void set_fixed(int rows, int cols) {
    fixed_rows_ = rows;
    fixed_cols_ = cols;
    if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1), {Qt::BackgroundRole});
  }

 private:
  struct Span {
    std::size_t at = 0;
    std::uint32_t size = 0;  // bytes
  };

  static std::size_t read_length(const char*& p) {
    std::size_t len = 0;
    for (int shift = 0;; shift += 7) {
      const auto b = static_cast<unsigned char>(*p++);
      len |= static_cast<std::size_t>(b & 0x7F) << shift;
      if (b < 0x80) return len;
    }
  }
  template <class Out>
  static void write_length(Out& out, std::size_t len) {
    while (len >= 0x80) {
      out.push_back(static_cast<char>(0x80 | (len & 0x7F)));
      len >>= 7;
    }
    out.push_back(static_cast<char>(len));
  }

  std::vector<std::string_view> cells_of(int r) const {
    std::vector<std::string_view> cells;
    const Span row = spans_[static_cast<std::size_t>(r)];
    const char* p = text_.data() + row.at;
    const char* end = p + row.size;
    while (p < end) {
      const std::size_t len = read_length(p);
      cells.emplace_back(p, len);
      p += len;
    }
    return cells;
  }

  static void pack(const std::vector<std::string_view>& cells, std::string& out) {
    std::size_t last = cells.size();
    while (last > 0 && cells[last - 1].empty()) --last;
    for (std::size_t c = 0; c < last; ++c) {
      write_length(out, cells[c].size());
      out.append(cells[c]);
    }
  }

  Span append(const std::string& packed) {
    const std::size_t at = text_.size();
    text_.insert(text_.end(), packed.begin(), packed.end());
    return Span{at, static_cast<std::uint32_t>(packed.size())};
  }

  // Writes the live rows into a fresh block once the rows left behind outweigh them.
  void drop_garbage() {
    if (garbage_ < 4096 || garbage_ * 2 < text_.size()) return;
    std::vector<char> fresh;
    fresh.reserve(text_.size() - garbage_);
    for (Span& row : spans_) {
      const std::size_t at = fresh.size();
      fresh.insert(fresh.end(), text_.begin() + static_cast<std::ptrdiff_t>(row.at),
                   text_.begin() + static_cast<std::ptrdiff_t>(row.at + row.size));
      row.at = at;
    }
    text_.swap(fresh);
    garbage_ = 0;
  }

  bool is_fixed(int r, int c) const { return r < fixed_rows_ || c < fixed_cols_; }
  std::vector<Span> spans_;  // one per row
  std::vector<char> text_;
  std::size_t garbage_ = 0;  // bytes of text_ no row refers to
  int rows_ = 0;
  int cols_ = 0;
  int fixed_rows_ = 1;
  int fixed_cols_ = 0;
};

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

Grid::Grid(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
  setModel(model_);
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
  for (int c = 0; c < std::min(fixed_cols_, cols()); ++c) w += columnWidth(c);
  return w;
}

int Grid::frozen_height() const {
  int h = 0;
  for (int r = 0; r < std::min(fixed_rows_, rows()); ++r) h += rowHeight(r);
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
    const int nr = v == frozen_left_ ? rows() : std::min(fixed_rows_, rows());
    const int nc = v == frozen_top_ ? cols() : std::min(fixed_cols_, cols());
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
  const bool left = fw > 0 && rows() > 0 && hb->value() > hb->minimum();
  const bool top = fh > 0 && cols() > 0 && vb->value() > vb->minimum();
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
  QTableView::focusInEvent(e);
  for (GridFrozenView* v : {frozen_left_, frozen_top_, frozen_corner_}) v->viewport()->update();
}

void Grid::focusOutEvent(QFocusEvent* e) {
  QTableView::focusOutEvent(e);
  for (GridFrozenView* v : {frozen_left_, frozen_top_, frozen_corner_}) v->viewport()->update();
}

void Grid::updateGeometries() {
  QTableView::updateGeometries();
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
  QTableView::scrollTo(index, hint);
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

int Grid::rows() const { return model_->rowCount(); }
int Grid::cols() const { return model_->columnCount(); }

void Grid::after_resize() {
  frozen_sizes_dirty_ = true;
  if (cur_row_ >= rows()) cur_row_ = std::max(0, rows() - 1);
  if (cur_col_ >= cols()) cur_col_ = std::max(0, cols() - 1);
}

void Grid::set_rows(int n) {
  model_->set_rows(std::max(0, n));
  after_resize();
}

void Grid::set_cols(int n) {
  model_->set_cols(std::max(0, n));
  after_resize();
}

void Grid::set_fixed_rows(int n) {
  fixed_rows_ = n;
  model_->set_fixed(fixed_rows_, fixed_cols_);
  frozen_sizes_dirty_ = true;
  place_frozen();
}

void Grid::set_fixed_cols(int n) {
  fixed_cols_ = n;
  model_->set_fixed(fixed_rows_, fixed_cols_);
  frozen_sizes_dirty_ = true;
  place_frozen();
}

QString Grid::text(int r, int c) const { return qs(model_->cell(r, c)); }

// A column is never narrower than its longest text, so dates and names stay readable
// whatever width the design gave the column.
void Grid::widen(int c, int need) {
  if (need > columnWidth(c)) setColumnWidth(c, need);
}

void Grid::set_text(int r, int c, const QString& t) {
  if (r < 0 || c < 0 || r >= rows() || c >= cols()) return;
  model_->set_cell(r, c, t.toStdString());
  widen(c, fontMetrics().horizontalAdvance(t) + 8);
}

namespace {

// The width of a UTF-8 text as the sum of its characters' advances, from a table of the
// ASCII ones and a cache of the others: close to what laying the text out gives, at a
// fraction of its cost, to find the few texts of a column worth measuring exactly.
class TextWidths {
 public:
  explicit TextWidths(const QFont& font) : fm_(font) {
    for (int ch = 0; ch < 128; ++ch)
      ascii_[static_cast<std::size_t>(ch)] = ch >= 32 ? fm_.horizontalAdvance(QChar(ch)) : 0;
  }
  double of(std::string_view s) {
    double w = 0;
    for (std::size_t i = 0; i < s.size();) {
      const auto b = static_cast<unsigned char>(s[i]);
      if (b < 0x80) {
        w += ascii_[b];
        ++i;
        continue;
      }
      const std::size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
      char32_t cp = len == 1 ? b : b & (0x3F >> (len - 1));
      for (std::size_t k = 1; k < len && i + k < s.size(); ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
      auto it = others_.find(cp);
      if (it == others_.end()) it = others_.emplace(cp, fm_.horizontalAdvance(QString::fromUcs4(&cp, 1))).first;
      w += it->second;
      i += len;
    }
    return w;
  }

 private:
  QFontMetricsF fm_;
  std::array<double, 128> ascii_{};
  std::unordered_map<char32_t, double> others_;
};

}  // namespace

void Grid::set_rows_text(int first_row, std::vector<std::vector<std::string>> block) {
  set_rows_text(first_row, block.size(), [&block](std::size_t r, std::size_t c) -> std::string_view {
    const std::vector<std::string>& row = block[r];
    return c < row.size() ? std::string_view(row[c]) : std::string_view();
  });
}

void Grid::set_rows_text(int first_row, std::size_t count, const CellText& text) {
  first_row = std::clamp(first_row, 0, rows());
  const std::size_t nc = static_cast<std::size_t>(cols());
  // Each column needs its widest text's width, as set_text measures it. The estimates pick
  // the candidates, the widest few of them are measured exactly.
  TextWidths widths(font());
  std::vector<double> widest(nc, 0.0);
  std::vector<std::vector<std::pair<double, std::string_view>>> candidates(nc);
  constexpr double kSlack = 3.0;  // px an estimate may be off by
  for (std::size_t r = 0; r < count; ++r)
    for (std::size_t c = 0; c < nc; ++c) {
      const std::string_view t = text(r, c);
      if (t.empty()) continue;
      const double w = widths.of(t);
      if (w + kSlack < widest[c]) continue;
      widest[c] = std::max(widest[c], w);
      candidates[c].emplace_back(w, t);
    }
  const QFontMetrics fm = fontMetrics();
  std::vector<int> need(nc, 0);
  for (std::size_t c = 0; c < nc; ++c) {
    auto& cand = candidates[c];
    std::erase_if(cand, [&](const auto& e) { return e.first + kSlack < widest[c]; });
    constexpr std::size_t kMeasured = 16;
    const std::size_t n = std::min(kMeasured, cand.size());
    std::partial_sort(cand.begin(), cand.begin() + static_cast<std::ptrdiff_t>(n), cand.end(),
                      [](const auto& x, const auto& y) { return x.first > y.first; });
    for (std::size_t k = 0; k < n; ++k) need[c] = std::max(need[c], fm.horizontalAdvance(qs(cand[k].second)) + 8);
  }
  model_->set_rows_text(first_row, static_cast<int>(count), text);
  after_resize();
  for (std::size_t c = 0; c < nc; ++c) widen(static_cast<int>(c), need[c]);
}

void Grid::set_row(int r) {
  if (r < 0 || r >= rows()) return;
  cur_row_ = r;
  if (r < fixed_rows_) return;
  // Rows just added are laid out on the next pass of the event loop; the scroll bars must
  // know them now for the new current row to be scrolled into view.
  executeDelayedItemsLayout();
  setCurrentCell(r, std::max(cur_col_, 0));
}

void Grid::set_col(int c) {
  if (c < 0 || c >= cols()) return;
  cur_col_ = c;
}

void Grid::setCurrentCell(int row, int col) { setCurrentIndex(model_->index(row, col)); }

QList<QTableWidgetSelectionRange> Grid::selectedRanges() const {
  QList<QTableWidgetSelectionRange> out;
  for (const QItemSelectionRange& r : selectionModel()->selection())
    out.append(QTableWidgetSelectionRange(r.top(), r.left(), r.bottom(), r.right()));
  return out;
}

void Grid::setRangeSelected(const QTableWidgetSelectionRange& range, bool select) {
  if (!model_->hasIndex(range.topRow(), range.leftColumn()) ||
      !model_->hasIndex(range.bottomRow(), range.rightColumn()))
    return;
  const QItemSelection s(model_->index(range.topRow(), range.leftColumn()),
                         model_->index(range.bottomRow(), range.rightColumn()));
  selectionModel()->select(s, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
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
  QTableView::mousePressEvent(e);
  if (idx.isValid()) emit cell_clicked(idx.row(), idx.column(), e->button());
}

void Grid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (!current.isValid()) return;
  cur_row_ = current.row();
  cur_col_ = current.column();
}

void Grid::mouseDoubleClickEvent(QMouseEvent* e) {
  QModelIndex idx = indexAt(e->position().toPoint());
  QTableView::mouseDoubleClickEvent(e);
  if (idx.isValid()) emit cell_double_clicked(idx.row(), idx.column());
}

}  // namespace wb
