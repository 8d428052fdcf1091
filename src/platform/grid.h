// The grid control: a text matrix whose row 0 (and optionally column 0) is a fixed header,
// a current row and column, and column widths in twips (1/1440 inch). Row and column
// numbers count the fixed row: the first record is row 1.
#pragma once

#include <QTableWidget>

namespace wb {

class Grid : public QTableWidget {
  Q_OBJECT
 public:
  explicit Grid(QWidget* parent = nullptr);

  int rows() const { return rowCount(); }
  void set_rows(int n);
  int cols() const { return columnCount(); }
  void set_cols(int n);
  int fixed_rows() const { return fixed_rows_; }
  void set_fixed_rows(int n);
  int fixed_cols() const { return fixed_cols_; }
  void set_fixed_cols(int n);
  QString text(int row, int col) const;
  void set_text(int row, int col, const QString& t);
  // The current cell: the highlighted one, however it got there (mouse, arrow keys, page
  // keys or set_row).
  int row() const { return cur_row_; }
  int col() const { return cur_col_; }
  void set_row(int r);
  void set_col(int c);
  void set_col_width_twips(int col, int twips);
  // Tab- and CR LF-separated text of a block of cells (the clipboard form).
  QString clip(int r1, int c1, int r2, int c2) const;

 signals:
  void cell_clicked(int row, int col, Qt::MouseButton button);
  void cell_double_clicked(int row, int col);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void style_fixed();
  int fixed_rows_ = 1;
  int fixed_cols_ = 0;
  int cur_row_ = 0;
  int cur_col_ = 0;
};

}  // namespace wb
