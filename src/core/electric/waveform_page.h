// The waveform report page: one waveform test on one A4 portrait page. The upper box holds
// the title, a table of current and voltage every 10 degrees, both curves in one chart and
// the six electric values; the lower box the title, the share table of orders 1..40, the
// voltage and current bar charts and the electric values again. The same drawing serves the
// printer and the preview page; only the preparation of the target and the page end differ.
#pragma once

#include <array>
#include <span>
#include <string>

#include "core/common/canvas.h"
#include "core/printing/table_printer.h"
#include "core/records/drawn_test.h"

namespace wb {

// Ten values that place one box's legend block (title, captions, headers, value table):
// 0 left edge, 1 top, 2 last row of the value table, 3 step of the value index per row,
// 4 value index of row 0 in the first half, 5 in the second half, 6 step per row of the
// number in the first column, 7 that number in row 0, 8 width over which the title is
// centred, 9 row pitch of the value table.
using LegendLayout = std::array<float, 10>;
// 0 first-column header, 1 current header, 2 voltage header, 3 title, 4 voltage caption
// (light red), 5 current caption (light green).
using LegendTexts = std::array<std::string, 6>;

// Fills entries 0..6 of the electric-value table from the record (values unrounded, in the
// short number form); entry 0 has an empty title.
void xbt_prt_table(TableCells& cells, const XbtRecord& rec);

// One box's legend block. `a` and `b` are the current and the voltage values; the table
// reads a[g4 + g3·r], a[g5 + g3·r] (and the same of b) for r = 0..g2.
// A row whose index falls outside the arrays ends the table there.
void xbt_prt_legend(Canvas& c, std::span<const float> a, std::span<const float> b, const LegendTexts& s,
                    const LegendLayout& g);

// Draws the whole page of the waveform test held in `st` (xbt_rec, iis, uus, iu_num) in
// millimetres. A preview target is cleared first (the caller has sized it to A4); on a
// printer the page ends with a new page and the job stays open for the caller to end.
void xbt_prt_page(Canvas& target, const DrawnTest& st);

}  // namespace wb
