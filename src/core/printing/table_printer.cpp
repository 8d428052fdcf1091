#include "core/printing/table_printer.h"

#include <cmath>

#include "core/common/number_text.h"

namespace wb {

namespace {

const std::string kEmpty;

// Layout counts are held as reals; loops run over their nearest integers.
int as_count(float v) {
  if (!std::isfinite(v)) return 0;
  long long n = round_even(static_cast<double>(v));
  if (n < 0) return 0;
  if (n > 32767) return 32767;
  return static_cast<int>(n);
}

// The title font is estimated, not measured: every character is one full em square.
constexpr double kTitlePoints = 26.0;
constexpr double kTitleAbove = 13.0;  // mm between the title's top and the table's top

}  // namespace

float& TableLayout::operator[](std::size_t i) {
  float* f[10] = {&rows, &cols, &row_height, &label_width, &value_width, &left, &top, &width, &frame_height, &font_size};
  return *f[i < 10 ? i : 9];
}

float TableLayout::operator[](std::size_t i) const { return const_cast<TableLayout&>(*this)[i]; }

TableCells TableCells::for_layout(const TableLayout& layout, const std::string& title) {
  TableCells c(static_cast<std::size_t>(table_entry_count(layout)));
  c.set_title(title);
  return c;
}

void TableCells::set(std::size_t k, std::string label, std::string value) {
  if (k >= labels.size()) labels.resize(k + 1);
  if (k >= values.size()) values.resize(k + 1);
  labels[k] = std::move(label);
  values[k] = std::move(value);
}

const std::string& TableCells::label(std::size_t k) const { return k < labels.size() ? labels[k] : kEmpty; }
const std::string& TableCells::value(std::size_t k) const { return k < values.size() ? values[k] : kEmpty; }

int table_entry_count(const TableLayout& layout) {
  double n = static_cast<double>(layout.rows) * static_cast<double>(layout.cols) / 2.0;
  if (!std::isfinite(n) || n <= 0) return 0;
  long long r = round_even(n);
  return r > 1000000 ? 1000000 : static_cast<int>(r);
}

void Print_Table(TableLayout& layout, const TableCells& cells, Canvas& target) {
  const std::string& title = cells.value(0);

  if (layout.value_width == 0.0f && layout.cols != 0.0f)
    layout.value_width = layout.width / layout.cols * 2.0f - layout.label_width;

  const int rows = as_count(layout.rows);
  const int cols = as_count(layout.cols);
  const int n = table_entry_count(layout);
  const double rh = layout.row_height, lw = layout.label_width, vw = layout.value_width;
  const double left = layout.left, top = layout.top, width = layout.width;

  // An entry is present when it lies within 1..n and has a label.
  auto present = [&](long long k) { return k >= 1 && k <= n && !cells.label(static_cast<std::size_t>(k)).empty(); };

  if (!title.empty()) {
    target.font.name = "楷体_GB2312";
    target.font.size = kTitlePoints;
    target.font.bold = true;
    double est = static_cast<double>(utf8_length(title)) * kTitlePoints / 72.0 * 25.4;
    target.print_at(left + (width - est) / 2.0, top - kTitleAbove, title);
    target.font.bold = false;
  }

  target.font.size = layout.font_size;
  target.font.name = "宋体";
  target.font.bold = false;

  target.draw_width = rows == 2 ? 2 : 1;
  target.draw_style = DrawStyle::Solid;

  // The first entry without a label ends the filled part of the table. Entry 0 is the
  // title and always labelled by the callers; the scan starts at the table's first cell.
  int first_empty = 0;
  for (int k = 1; k <= n; ++k)
    if (cells.label(static_cast<std::size_t>(k)).empty()) {
      first_empty = k;
      break;
    }

  const int pairs = (cols + 1) / 2;  // an odd last column is a pair of its own (label only)
  for (int i = 1; i <= rows - 1; ++i) {
    int last_pair = -1;
    for (int p = 0; p < pairs; ++p)
      if (present(static_cast<long long>(rows) * p + i)) last_pair = p;
    if (last_pair < 0) continue;
    // A lone label column (odd cols) is a pair without a value column.
    const bool lone_label = 2 * last_pair + 1 >= cols;
    double y = top + i * rh;
    target.line(left, y, left + (last_pair + 1) * lw + (lone_label ? last_pair : last_pair + 1) * vw, y, kBlack);
  }

  target.line(left, top + rows * rh, left + width, top + rows * rh, kBlack);

  int cut_from = cols;  // first rule that is shortened
  int cut_len = rows;
  if (first_empty > 0) {
    int p = (first_empty - 1) / rows;
    int r = (first_empty - 1) % rows + 1;
    cut_from = 2 * p + 1;
    cut_len = r - 1;
  }
  for (int j = 1; j <= cols - 1; ++j) {
    int len = j >= cut_from ? cut_len : rows;
    if (len <= 0) continue;
    double x = left + lw * ((j + 1) / 2) + vw * (j / 2);
    target.line(x, top, x, top + len * rh, kBlack);
  }

  target.draw_width = 2;
  target.draw_style = DrawStyle::Solid;
  const double right = left + width, bottom = top + layout.frame_height;
  target.line(left, top, right, top, kBlack);
  target.line(left, bottom, right, bottom, kBlack);
  target.line(left, top, left, bottom, kBlack);
  target.line(right, top, right, bottom, kBlack);

  for (int i = 1; i <= rows; ++i) {
    for (int j = 0; j <= cols - 1; ++j) {
      long long k = static_cast<long long>(rows) * (j / 2) + i;
      if (!present(k)) continue;
      const std::string& text = j % 2 == 0 ? cells.label(static_cast<std::size_t>(k))
                                           : cells.value(static_cast<std::size_t>(k));
      if (text.empty()) continue;
      double x = left + 2.0 + lw * ((j + 1) / 2) + vw * (j / 2);
      double y = top + (i - 1) * rh + 1.0;
      target.print_at(x, y, text);
    }
  }
}

}  // namespace wb
