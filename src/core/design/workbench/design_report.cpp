#include "core/design/workbench/design_report.h"

#include <algorithm>
#include <cstdio>

#include "core/common/number_text.h"
#include "core/common/trim.h"
#include "core/printing/print_state.h"
#include "core/printing/rod_table.h"

namespace wb::design {

namespace {

// Where a cell's content comes from.
enum class Src { Label, Text3, Text6, Text10, Label3, Text2, Model };
struct CellSpec {
  Src src;
  int index;          // box index
  const char* label;  // Src::Label: the text
};
constexpr CellSpec L(const char* s) { return {Src::Label, 0, s}; }
constexpr CellSpec T3(int i) { return {Src::Text3, i, nullptr}; }
constexpr CellSpec T6(int i) { return {Src::Text6, i, nullptr}; }
constexpr CellSpec T10(int i) { return {Src::Text10, i, nullptr}; }
namespace d = design_box;
namespace w = well_box;

// Cells 1..116 in the table's row order (row: 1, 4 or 6 cells).
constexpr CellSpec kCells[] = {
    L("一、油井基础数据"),
    L("设计单位"), T10(tool_box::kUnit), L("抽油机型号"), {Src::Model, 0, nullptr},
    L("完钻井深 m"), T10(5), L("地层压力MPa"), T6(w::kStaticPressure), L("粘度mPa.S"), T6(w::kOilViscosityDown),
    L("人工井底 m"), T10(6), L("饱和压力MPa"), T6(w::kBubblePressure), L("比重g/cm^3"), T6(w::kOilDensitySurface),
    L("油层中深 m"), T6(w::kLayerMidDepth), L("井底流压MPa"), T6(w::kFlowingPressure), L("含 水 率 %"), T6(w::kWaterCut),
    L("油  压 MPa"), T6(w::kTubingPressure), L("套  压 MPa"), T6(w::kCasingPressure), L("气  油  比"), T6(w::kGasOilRatio),
    L("二、目前杆管参数"),
    L("泵  径 mm  "), T3(d::kBoreBefore), L("冲  程 m   "), T3(d::kStrokeBefore), L("冲 次 1/min   "), T3(d::kSpmBefore),
    L("产 液 量 t "), T3(d::kRateBefore), L("下泵深度 m   "), T3(d::kPumpDepthBefore), L("动 液 面 m "), T3(d::kLevelBefore),
    L("1’1 杆长 m"), T3(d::kRods118Before), L("加重杆长 m   "), T3(d::kSinkerLenBefore),
    L("实际泵效 %   "), {Src::Label3, design_label::kStrokePumpEff, nullptr},
    L("1’杆长 m"), T3(d::kRods1Before), L("加重杆径 mm  "), T3(d::kSinkerDiaBefore), L("油管内径 mm  "), T6(w::kTubingInnerDia),
    L("7”杆长 m  "), T3(d::kRods78Before), L("防脱器1 m"), T3(d::kBackOffBefore), L("油管扶正器1 "), T10(19),
    L("6”杆长 m"), T3(d::kRods34Before), L("防脱器2 m"), T10(16), L("油管扶正器2 "), T10(20),
    L("5”杆长 m"), T3(d::kRods58Before), L("防脱器3 m"), T10(17), L("油管扶正器3 "), T10(21),
    L("三、优化设计杆管参数"),
    L("泵  径 mm"), T3(d::kBoreAfter), L("冲  程 m   "), T3(d::kStrokeAfter), L("冲 次 1/min   "), T3(d::kSpmAfter),
    L("产 液 量 t "), T3(d::kRateAfter), L("下泵深度 m   "), T3(d::kPumpDepthAfter), L("动 液 面 m "), T3(d::kLevelAfter),
    L("1’1 杆长 m"), T3(d::kRods118After), L("加重杆长 m   "), T3(d::kSinkerLenAfter),
    L("设计泵效 %   "), {Src::Text2, 0, nullptr},
    L("1’杆长 m"), T3(d::kRods1After), L("加重杆径 mm  "), T3(d::kSinkerDiaAfter), L("油管内径 mm  "), T6(w::kTubingInnerDia),
    L("7”杆长 m  "), T3(d::kRods78After), L("防脱器1 m"), T3(d::kBackOffAfter), L("油管扶正器1 "), T10(36),
    L("6”杆长 m"), T3(d::kRods34After), L("防脱器2 m"), T10(tool_box::kBackOffAfter2), L("油管扶正器2 "), T10(37),
    L("5”杆长 m"), T3(d::kRods58After), L("防脱器3 m"), T10(tool_box::kBackOffAfter2 + 1), L("油管扶正器3 "), T10(38),
    L("四、油杆扶正器分布"),
};
static_assert(std::size(kCells) == kReportFirstDepth - 1);

// A box of an array; a box the state does not hold reads as empty.
template <std::size_t N>
const std::string& box(const std::array<std::string, N>& a, int i) {
  static const std::string empty;
  return i >= 0 && static_cast<std::size_t>(i) < N ? a[static_cast<std::size_t>(i)] : empty;
}

std::string value_cell(const std::string& text) { return num_print(num_val(text)); }

std::string cell_text(const DesignState& st, const CellSpec& c) {
  switch (c.src) {
    case Src::Label: return c.label;
    case Src::Text3: return value_cell(box(st.Text3, c.index));
    case Src::Text6: return value_cell(box(st.Text6, c.index));
    case Src::Label3: return value_cell(box(st.Label3, c.index));
    case Src::Text2: return value_cell(st.Text2);
    case Src::Model: return trim_blanks(st.CyjType_Comb);
    case Src::Text10:
      // The designing unit is text; the other structure boxes are numbers.
      return c.index == 51 ? trim_blanks(box(st.Text10, c.index)) : value_cell(box(st.Text10, c.index));
  }
  return {};
}

// The first `n` characters (code points) of a UTF-8 text.
std::string utf8_first_chars(const std::string& s, std::size_t n) {
  std::size_t i = 0, chars = 0;
  while (i < s.size() && chars < n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    ++chars;
  }
  return s.substr(0, i);
}

// Page geometry of the centralizer table, mm.
constexpr double kColX[] = {25, 35, 53, 70, 90, 113, 137, 161, 188, 215, 232, 257};
constexpr double kHeadY = 32.0;   // heading row's reference line
constexpr double kRowH = 5.0;
constexpr double kRuleUp = 0.7;   // a row's top rule above its reference line
constexpr double kRuleDown = 4.3; // its bottom rule below it
constexpr const char* kFzqHeadings[] = {"序号", "测点深(m)", "井斜角(o)", "方位角(o)", "狗腿度o/30m", "最大轴向力N",
                                        "最小轴向力N", "杆管正压力N/m", "杆柱正压力N/m", "杆径mm", "扶正器间距(m)"};

void row_rules(Canvas& c, double y) {
  for (int k = 0; k <= 11; ++k) c.line(kColX[k], y - kRuleUp, kColX[k], y + kRuleDown);
}

}  // namespace

std::vector<std::string> design_report_cells(DesignState& st) {
  std::vector<std::string> cells(kReportCells);
  cells[0] = utf8_first_chars(trim_blanks(st.JName_Comb) + std::string(14, ' '), 12);
  for (std::size_t i = 0; i < std::size(kCells); ++i) cells[i + 1] = cell_text(st, kCells[i]);
  auto& g = st.Grid2;
  g.col = 1;
  int k = 0;
  for (int r = 1; r < g.rows() && k < kReportDepths; ++r) {
    g.row = r;
    const std::string& t = g.text(r, 1);
    if (trim_blanks(t).empty()) continue;
    cells[static_cast<std::size_t>(kReportFirstDepth + k)] = value_cell(t);
    ++k;
  }
  return cells;
}

std::string design_report_designer(const DesignState& st) { return trim_blanks(box(st.Text10, 52)); }

void PrintDesignReport(Canvas& printer, DesignState& st) {
  const auto cells = design_report_cells(st);
  prt_Rod_Table(cells, printer, design_report_designer(st));
  printer.end_doc();
}

int fzq_page_count(int rows) {
  const int n = std::max(0, rows - 1);
  return std::max(1, (n + kFzqRowsPerPage - 1) / kFzqRowsPerPage);
}

std::string fzq_print_date(int year, int month, int day) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d年%02d月%02d日", year, month, day);
  return buf;
}

void RodRepPrt(Canvas& c, const DesignState& st, const std::string& date) {
  current_printer().paper_code = kPaperA4;
  current_printer().orientation = kLandscape;
  c.set_scale_mm();
  c.set_plain_font(10);
  c.fore_color = kBlack;
  c.draw_style = DrawStyle::Solid;
  const TextGrid& g = st.Grid2;
  const int pages = fzq_page_count(g.rows());
  int i = 0;  // grid row, carried from page to page
  for (int page = 1; page <= pages; ++page) {
    c.font.name = "黑体";
    c.font.size = 22;
    c.print_at(100, 10, "抽油杆扶正器布置数据表");
    c.font.name = "宋体";
    c.font.size = 12;
    c.print_at(30, 25, "制表单位:" + box(st.Text10, 51));
    c.print_at(200, 25, "制表日期:" + date);
    c.font.size = 10;
    double y = kHeadY;
    c.draw_width = 2;
    c.line(kColX[0], y - kRuleUp, kColX[11], y - kRuleUp);
    for (int k = 0; k <= 10; ++k) c.print_at(kColX[k] + 1, y + 0.5, kFzqHeadings[k]);
    row_rules(c, y);
    for (int n = 0; n < kFzqRowsPerPage; ++n) {
      if (++i >= g.rows()) break;
      y += kRowH;
      for (int k = 0; k <= 10; ++k) c.print_at(kColX[k] + 1, y, g.text(i, k));
      row_rules(c, y);
      c.line(kColX[0], y - kRuleUp, kColX[11], y - kRuleUp);
    }
    c.line(kColX[0], y + kRuleDown, kColX[11], y + kRuleDown);
    if (page < pages) c.new_page();
  }
  c.end_doc();
}

void print_design_copy(Canvas& printer, DesignState& st, const std::string& date) {
  current_printer().paper_code = kPaperA4;
  current_printer().orientation = kPortrait;
  PrintDesignReport(printer, st);
  RodRepPrt(printer, st, date);
}

}  // namespace wb::design
