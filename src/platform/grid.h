// The grid control: a text matrix whose row 0 (and optionally column 0) is a fixed header,
// a current row and column, and column widths in twips (1/1440 inch). Row and column
// numbers count the fixed row: the first record is row 1. The fixed rows stay in view when
// the table scrolls down and the fixed columns when it scrolls sideways.
//
// The texts live in the grid's own table model as UTF-8 strings; the fixed cells' colour
// and flags are worked out when a view asks, so a grid of ten thousand rows holds no object
// per cell (the texts of all rows lie packed in one block). A big grid is filled a block of
// whole rows at a time with set_rows_text.
#pragma once

#include <QTableView>
#include <QTableWidgetSelectionRange>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wb {

class GridFrozenView;
class GridModel;

class Grid : public QTableView {
  Q_OBJECT
 public:
  explicit Grid(QWidget* parent = nullptr);
  ~Grid() override;

  int rows() const;
  void set_rows(int n);
  int cols() const;
  void set_cols(int n);
  int fixed_rows() const { return fixed_rows_; }
  void set_fixed_rows(int n);
  int fixed_cols() const { return fixed_cols_; }
  void set_fixed_cols(int n);
  QString text(int row, int col) const;
  void set_text(int row, int col, const QString& t);
  // Replaces every row from `first_row` on with `block` (the grid then has first_row +
  // block.size() rows; the rows above keep their texts), each row's texts from column 0 (a
  // short row leaves the rest of its cells empty, texts beyond the last column are dropped).
  // Each column is widened once, to its widest text, as set_text would have done cell by cell.
  // The current row stays where it was (or moves to the last row when the grid got shorter).
  void set_rows_text(int first_row, std::vector<std::vector<std::string>> block);
  // The same for `count` rows whose texts a caller keeps in its own form: row i's cell c
  // (0-based within the block) is text(i, c), asked for every column (an empty text for an
  // empty cell); the texts must stay as they are until this returns, which copies them.
  using CellText = std::function<std::string_view(std::size_t row, std::size_t col)>;
  void set_rows_text(int first_row, std::size_t count, const CellText& text);
  // The current cell: the highlighted one, however it got there (mouse, arrow keys, page
  // keys or set_row).
  int row() const { return cur_row_; }
  int col() const { return cur_col_; }
  void set_row(int r);
  void set_col(int c);
  void set_col_width_twips(int col, int twips);
  // Tab- and CR LF-separated text of a block of cells (the clipboard form).
  QString clip(int r1, int c1, int r2, int c2) const;
  // Keeps a fixed cell where it is and brings any other out from under the fixed ones.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

  // The table-widget calls the windows and tests use on a grid.
  int rowCount() const { return rows(); }
  int columnCount() const { return cols(); }
  int currentRow() const { return currentIndex().row(); }
  int currentColumn() const { return currentIndex().column(); }
  void setCurrentCell(int row, int col);
  QList<QTableWidgetSelectionRange> selectedRanges() const;
  void setRangeSelected(const QTableWidgetSelectionRange& range, bool select);

 signals:
  void cell_clicked(int row, int col, Qt::MouseButton button);
  void cell_double_clicked(int row, int col);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void updateGeometries() override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  friend class GridFrozenView;
  // Widens column c to `need` pixels when it is narrower.
  void widen(int c, int need);
  void after_resize();
  // The fixed rows and columns are drawn again by three views laid over the viewport (left
  // strip, top strip, corner) that share the model and the selection; they show only while
  // the table is scrolled, and pass every mouse event on to the table itself.
  int frozen_width() const;
  int frozen_height() const;
  void place_frozen();
  void sync_frozen_sizes();
  void forward_from_frozen(const GridFrozenView* v, QEvent* e);
  GridModel* model_ = nullptr;
  GridFrozenView* frozen_left_ = nullptr;
  GridFrozenView* frozen_top_ = nullptr;
  GridFrozenView* frozen_corner_ = nullptr;
  bool frozen_sizes_dirty_ = true;
  int fixed_rows_ = 1;
  int fixed_cols_ = 0;
  int cur_row_ = 0;
  int cur_col_ = 0;
};

}  // namespace wb
