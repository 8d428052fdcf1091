// The rod-string design report page: a fixed grid of 38 rows and 236 cells on an A4 page,
// a title above it and a designer and date line below it. The grid's shape never changes;
// the design window fills the cells with headings, labels and values.
#pragma once

#include <string>
#include <vector>

#include "core/common/canvas.h"

namespace wb {

// Fixed geometry, millimetres.
inline constexpr double kRodTableLeft = 15.0;
inline constexpr double kRodTableTop = 28.5;
inline constexpr double kRodTableWidth = 180.0;
inline constexpr double kRodTableHeight = 240.0;
inline constexpr int kRodTableRows = 38;
inline constexpr int kRodTableCells = 236;  // entries 1..236; entry 0 is the well part of the title

// Number of cells in grid row i (1..38): 1, 4, 6 or 8.
int rod_table_cells_in_row(int row);
// Width of every cell of row i, mm (row 2 has 30, 60, 30, 60).
std::vector<double> rod_table_cell_widths(int row);

// Draws the page on `target`: sets the millimetre scale, the title "<entry 0>抽油井杆柱优化设计表",
// the grid with entries 1..236 in reading order, the frame, and the footer with "设计人："
// + designer and a date left blank for writing in by hand. Missing entries draw as blank cells.
// Neither starts nor ends a page. Leaves the target with "宋体" 12 points, line width 2, solid.
void prt_Rod_Table(const std::vector<std::string>& cells, Canvas& target, const std::string& designer);

}  // namespace wb
