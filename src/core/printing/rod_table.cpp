#include "core/printing/rod_table.h"

namespace wb {

namespace {

constexpr const char* kRodTitle = "抽油井杆柱优化设计表";
constexpr double kTitlePoints = 22.0;
// The year is left blank with the month and day, all written in by hand.
constexpr const char* kBlankDate = "    年    月    日";

}  // namespace

int rod_table_cells_in_row(int row) {
  if (row == 1 || row == 7 || row == 15 || row == 23) return 1;
  if (row == 2) return 4;
  if (row >= 3 && row <= 22) return 6;
  if (row >= 24 && row <= kRodTableRows) return 8;
  return 0;
}

std::vector<double> rod_table_cell_widths(int row) {
  if (row == 2) return {30.0, 60.0, 30.0, 60.0};
  int n = rod_table_cells_in_row(row);
  if (n == 0) return {};
  return std::vector<double>(static_cast<std::size_t>(n), kRodTableWidth / n);
}

void prt_Rod_Table(const std::vector<std::string>& cells, Canvas& target, const std::string& designer) {
  const double x0 = kRodTableLeft, y0 = kRodTableTop, w = kRodTableWidth;
  const double h = kRodTableHeight / kRodTableRows;
  auto entry = [&](std::size_t k) -> std::string { return k < cells.size() ? cells[k] : std::string(); };

  target.set_scale_mm();

  // The well part counts half a square per character, the Chinese title a full square each.
  const std::string well = entry(0);
  target.font.name = "楷体_GB2312";
  target.font.size = kTitlePoints;
  target.font.bold = true;
  target.font.underline = true;
  double squares = static_cast<double>(utf8_length(well)) / 2.0 + static_cast<double>(utf8_length(kRodTitle));
  double est = squares * kTitlePoints / 72.0 * 25.4;
  target.print_at(x0 + (w - est) / 2.0, y0 - 13.0, well + kRodTitle);

  target.font.underline = false;
  target.font.bold = false;
  target.font.size = 14;
  target.font.name = "宋体";
  target.draw_width = 1;
  target.draw_style = DrawStyle::Solid;

  std::size_t k = 1;
  for (int i = 1; i <= kRodTableRows; ++i) {
    const double top = y0 + (i - 1) * h, bottom = y0 + i * h;
    target.line(x0, bottom, x0 + w, bottom);
    double offset = 0;
    for (double cw : rod_table_cell_widths(i)) {
      std::string text = entry(k++);
      if (!text.empty()) target.print_at(x0 + 2.0 + offset, top + 1.0, text);
      target.line(x0 + offset + cw, top, x0 + offset + cw, bottom);
      offset += cw;
    }
  }

  target.draw_width = 2;
  target.draw_style = DrawStyle::Solid;
  target.line(x0, y0, x0 + w, y0);
  target.line(x0, y0 + kRodTableHeight, x0 + w, y0 + kRodTableHeight);
  target.line(x0, y0, x0, y0 + kRodTableHeight);
  target.line(x0 + w, y0, x0 + w, y0 + kRodTableHeight);

  target.font.size = 12;
  target.print_at(x0 + 90.0, y0 + 242.0, "设计人：" + designer);
  target.print_at(x0 + 135.0, y0 + 242.0, kBlankDate);
}

}  // namespace wb
