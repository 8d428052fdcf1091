#include "core/statistics/effi_stat_report.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace wb {

namespace {

// Page geometry, millimetres from the top-left corner of the page.
constexpr double kX0 = 20.0;         // table's left edge: the table centred on A4 landscape (297 mm)
constexpr double kY0 = 25.0;         // table's top
constexpr double kWidth = 257.0;
constexpr double kHeight = 165.0;
constexpr double kHeadBand = 9.0;    // header band above the body rows
constexpr double kBodyHeight = 156.0;
constexpr double kRowHeight = kBodyHeight / kStatReportRowsPerPage;
constexpr double kBodyTop = kY0 + kHeadBand;
constexpr double kAverageY = kY0 + kHeight - 3.0;  // inside the last body row

// Thicknesses in printer units (0.1 mm).
constexpr int kFrameWidth = 2;
constexpr int kRuleWidth = 1;

// A column's left rule, from kX0 (kStatColumns).
double left_of(int col) { return kStatColumns[static_cast<std::size_t>(col)].print_left; }

void set_font(Canvas& c, const char* face, double pt) {
  c.font = Font{};
  c.font.name = face;
  c.font.size = pt;
}

// A value at x in its column; one too wide for the rest of the cell is printed smaller (down
// to 5 pt) so that it ends before the column's rule instead of running over it.
void print_in_cell(Canvas& c, int col, double x, double y, const std::string& text) {
  const double right = kX0 + (col + 1 < kStatColCount ? left_of(col + 1) : kWidth) - 0.4;
  const double width = c.text_width(text);
  const double size = c.font.size;
  if (width > 0.0 && x + width > right) c.font.size = std::max(5.0, std::floor(size * (right - x) / width * 2.0) / 2.0);
  c.print_at(x, y, text);
  c.font.size = size;
}

// UTF-8 characters of a text.
std::vector<std::string> chars_of(const std::string& s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto u = static_cast<unsigned char>(s[i]);
    std::size_t len = u < 0x80 ? 1 : u >= 0xF0 ? 4 : u >= 0xE0 ? 3 : u >= 0xC0 ? 2 : 1;
    len = std::min(len, s.size() - i);
    out.push_back(s.substr(i, len));
    i += len;
  }
  return out;
}

std::string join(const std::vector<std::string>& ch, std::size_t from, std::size_t count) {
  std::string s;
  for (std::size_t i = from; i < ch.size() && i < from + count; ++i) s += ch[i];
  return s;
}

// "yyyymmdd" as "yyyy年mm月dd日", cut from whatever the box holds: its first four
// characters, its fifth and sixth, and its last two.
std::string report_date(const std::string& date) {
  const auto ch = chars_of(date);
  const std::size_t last2 = ch.size() >= 2 ? ch.size() - 2 : 0;
  return join(ch, 0, 4) + "年" + join(ch, 4, 2) + "月" + join(ch, last2, 2) + "日";
}

void unit_and_date(Canvas& c, const std::string& unit, const std::string& date) {
  set_font(c, "宋体", 10);
  c.print_at(kX0 + 5, kY0 - 4, "制表单位:" + unit);
  c.print_at(kX0 + 210, kY0 - 4, "制表日期:" + report_date(date));
}

}  // namespace

std::string mytrim(std::string_view xtemp) {
  std::string out;
  out.reserve(xtemp.size());
  for (char ch : xtemp)
    if (static_cast<unsigned char>(ch) > 32) out += ch;  // UTF-8 lead and trail bytes are all above 127
  return out;
}

int stat_report_pages(int d) { return (d < 0 ? 0 : d) / kStatReportRowsPerPage + 1; }

void tab_prt(Canvas& c) {
  c.set_scale_mm();
  c.fore_color = kBlack;
  c.fill_style = FillStyle::Transparent;
  c.draw_style = DrawStyle::Solid;
  c.draw_width = kFrameWidth;
  set_font(c, "黑体", 20);
  c.print_at(kX0 + 90, kY0 - 10, "机械采油井系统效率统计分析表");
  c.box(kX0, kY0, kX0 + kWidth, kY0 + kHeight);
  c.draw_width = kRuleWidth;
  for (int col = 1; col < kStatColCount; ++col) {
    const double x = kX0 + left_of(col);
    c.line(x, kY0, x, kY0 + kHeight);
  }
  c.line(kX0, kBodyTop, kX0 + kWidth, kBodyTop);
  for (int k = 1; k < kStatReportRowsPerPage; ++k) c.line(kX0, kBodyTop + k * kRowHeight, kX0 + kWidth, kBodyTop + k * kRowHeight);
  set_font(c, "宋体", 8);
  for (int col = 0; col < kStatColCount; ++col) {
    const StatColumn& h = kStatColumns[static_cast<std::size_t>(col)];
    const double x = kX0 + h.print_left + 0.4;
    if (*h.print2 == '\0') {
      c.print_at(x, kY0 + 3, h.print1);
    } else {
      c.print_at(x, kY0 + 1, h.print1);
      c.print_at(x, kY0 + 4.5, h.print2);
    }
  }
}

void prt_stat_page(Canvas& c, const StatRows& rows, const std::string& unit, const std::string& date) {
  const int d = rows.size() > 2 ? static_cast<int>(rows.size()) - 2 : 0;
  const int pages = stat_report_pages(d);
  tab_prt(c);
  int counter = 0;
  for (int page = 1; page <= pages; ++page) {
    unit_and_date(c, unit, date);
    set_font(c, "宋体", 8);
    for (int k = 1; k <= kStatReportRowsPerPage; ++k) {
      ++counter;
      if (counter >= d + 1) break;
      const auto row = static_cast<std::size_t>(counter);
      const double y = kBodyTop + (k - 1) * kRowHeight + 1;
      for (int col = 0; col < kStatColCount; ++col)
        print_in_cell(c, col, kX0 + left_of(col) + 1, y,
                      mytrim(rows.cell(row, static_cast<std::size_t>(col))));
    }
    if (page == pages) {
      if (rows.size() >= 2) {
        const StatRow avg = rows.back();
        for (int col = 1; col < kStatColCount; ++col)
          print_in_cell(c, col, kX0 + left_of(col) + 0.4, kAverageY,
                        mytrim(avg[static_cast<std::size_t>(col)]));
      }
      c.print_at(kX0 + 0.4, kAverageY, "平均");
      c.end_doc();
    } else {
      c.new_page();
      tab_prt(c);
    }
  }
}

}  // namespace wb
