// The table printer of the single-well report pages: a centred title, a ruled table of
// label/value pairs laid out in column pairs, and the page frame that also encloses what the
// caller draws below the table. It draws on any Canvas (printer, preview page, recording
// canvas), in millimetres; the caller has set the millimetre scale before.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "core/common/canvas.h"

namespace wb {

// Ten single-precision numbers; lengths in millimetres.
struct TableLayout {
  float rows = 0;          // rows per column pair
  float cols = 0;          // columns: label, value, label, value … (odd: the last is a lone label column)
  float row_height = 0;    // height of one row
  float label_width = 0;   // width of every label column
  float value_width = 0;   // width of every value column; 0: computed by Print_Table and written back
  float left = 0;          // left edge of the table and the frame
  float top = 0;           // top edge of the table and the frame; the title is printed 13 mm above it
  float width = 0;         // width of the table and the frame
  float frame_height = 0;  // height of the frame from the top edge
  float font_size = 0;     // body font, points

  // Index access in the order above (0 rows … 9 font_size).
  float& operator[](std::size_t i);
  float operator[](std::size_t i) const;
};

// Entries 0..n of label/value pairs. Entry 0 carries the title (label "报表名称", value the
// title text); entries 1..n are the cells, filling the first column pair top to bottom, then
// the next pair. An entry whose label is empty is absent: neither label nor value is drawn.
// Numbers go in as their text (num_text / num_print, as the page wants them).
struct TableCells {
  std::vector<std::string> labels;  // (0, k)
  std::vector<std::string> values;  // (1, k)

  TableCells() = default;
  // Entries 0..n, all empty.
  explicit TableCells(std::size_t n) : labels(n + 1), values(n + 1) {}
  // Entries 0..n for a layout (n = table_entry_count(layout)), entry 0 set to the title.
  static TableCells for_layout(const TableLayout& layout, const std::string& title);

  // Sets entry k, growing the table when k is beyond its end.
  void set(std::size_t k, std::string label, std::string value);
  void set_title(std::string title) { set(0, "报表名称", std::move(title)); }
  // Empty text for an entry the table does not hold.
  const std::string& label(std::size_t k) const;
  const std::string& value(std::size_t k) const;
  std::size_t size() const { return labels.size(); }
};

// n = rows × cols / 2 rounded to the nearest integer, ties to even (0.5 gives 0); never negative.
int table_entry_count(const TableLayout& layout);

// Draws title, rules, frame and texts on `target`. When layout.value_width is 0 it becomes
// width / cols × 2 − label_width and is stored back into `layout`. Leaves the target with
// font "宋体" at layout.font_size (not bold), line width 2, solid lines.
void Print_Table(TableLayout& layout, const TableCells& cells, Canvas& target);

}  // namespace wb
