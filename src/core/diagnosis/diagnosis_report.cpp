#include "core/diagnosis/diagnosis_report.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/common/gbk.h"
#include "core/common/trim.h"
#include "core/diagnosis/bgt_record.h"

namespace wb {

namespace {

constexpr double kAdviceTop = 157;     // mm; the first chunk prints 6 mm lower
constexpr double kAdviceStep = 6;      // mm per chunk
constexpr double kAdviceLeft = 95;     // mm
constexpr double kChartLeftOffset = 560;  // the chart's x_off: table left + 560
constexpr double kChartTopOffset = 10;    // the chart's y_off: table top + 10
constexpr std::size_t kReportCells = 90;

struct Entry {
  const char* label;
  int box;
};
// One row per entry, top to bottom, each the text of one box.
constexpr Entry kEntries[30] = {
    {"井    号", diag_box::kWell},
    {"测试日期", diag_box::kDate},
    {"泵    径(mm)", diag_box::kBore},
    {"日 产 液(m3)", diag_box::kLiquid},
    {"含 水 率(%)", diag_box::kWaterCut},
    {"1'1 杆长度(m)", diag_box::kRods118},
    {"1'杆长度(m)", diag_box::kRods1},
    {"7/8'杆长度(m)", diag_box::kRods78},
    {"6/8'杆长度(m)", diag_box::kRods34},
    {"5/8'杆长度(m)", diag_box::kRods58},
    {"加重杆长(m)", diag_box::kSinkerLen},
    {"加重杆径(mm)", diag_box::kSinkerDia},
    {"油管内径(mm)", diag_box::kTubingInnerDia},
    {"动 液 面(m)", diag_box::kFluidLevel},
    {"泵挂深度(m)", diag_box::kPumpDepth},
    {"冲  次(1/min)", diag_box::kSpm},
    {"光杆冲程(m)", diag_box::kStroke},
    {"柱塞冲程(m)", diag_box::kPlungerStroke},
    {"有效冲程(m)", diag_box::kEffectiveStroke},
    {"粘  度(mPa.S)", diag_box::kViscosity},
    {"地面油密度t/m3", diag_box::kOilDensitySurface},
    {"地下油密度t/m3", diag_box::kOilDensityDownhole},
    {"气 油 比 m^3/t", diag_box::kGasOilRatio},
    {"饱和压力(MPa)", diag_box::kBubblePressure},
    {"油层静压(MPa)", diag_box::kStaticPressure},
    {"井口油压(MPa)", diag_box::kTubingPressure},
    {"井口套压(MPa)", diag_box::kCasingPressure},
    {"油层中深(m)", diag_box::kLayerMidDepth},
    {"流动压力(MPa)", diag_box::kFlowingPressure},
    {"采油指数", diag_box::kProductivity},
};

// The code points of a UTF-8 text, each as its own string.
std::vector<std::string> characters(std::string_view s) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t j = i + 1;
    while (j < s.size() && (static_cast<unsigned char>(s[j]) & 0xC0) == 0x80) ++j;
    out.emplace_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

}  // namespace

TableLayout bgt_report_layout() {
  TableLayout L;
  L.rows = 30;
  L.cols = 6;
  L.row_height = 260.0f / 30.0f;
  L.label_width = 42;
  L.value_width = 30;
  L.left = 15;
  L.top = 18.5f;
  L.width = 180;
  L.frame_height = 260;
  L.font_size = 15;
  return L;
}

void Fill_Bgt_Table(const DiagnosisState& st, TableCells& cells) {
  cells.set_title(kBgtReportTitle);
  for (std::size_t k = 0; k < 30; ++k)
    cells.set(k + 1, kEntries[k].label, trim_blanks(st.Text1[static_cast<std::size_t>(kEntries[k].box)]));
}

int str_print(std::string_view text, std::vector<std::string>& ent) {
  ent.assign(1, std::string());
  if (text.empty()) return 0;
  // A line ends in CR; the character after it (the LF of CR LF) is skipped.
  std::size_t begin = 0;
  for (;;) {
    const std::size_t p = text.find('\r', begin);
    if (p == std::string_view::npos) {
      ent.emplace_back(text.substr(std::min(begin, text.size())));
      break;
    }
    ent.emplace_back(text.substr(begin, p - begin));
    begin = p + 2;
    if (begin > text.size()) {
      ent.emplace_back();
      break;
    }
  }
  return static_cast<int>(ent.size()) - 1;
}

void prt_Bgt_Advice(const DiagnosisState& st, const TableLayout& L, Canvas& out) {
  std::vector<std::string> lines;
  const int num = str_print(crlf_line_breaks(st.Text1[diag_box::kAdvice]), lines);
  const double operator_y = static_cast<double>(L.frame_height) + 7;
  const double lowest_chunk = operator_y - out.text_height("诊断结果");
  double y = kAdviceTop;
  bool room = true;
  for (int i = 1; room && i <= std::min(num, kAdviceMaxLines); ++i) {
    const std::string line = trim_blanks(lines[static_cast<std::size_t>(i)]);
    if (line.empty()) break;
    const std::vector<std::string> chars = characters(line);
    const std::size_t chunks = chars.size() / kAdviceChunkChars + 1;
    for (std::size_t k = 0; k < chunks; ++k) {
      y += kAdviceStep;
      if (y > lowest_chunk) {  // the rest would run over the operator line
        room = false;
        break;
      }
      std::string chunk;
      for (std::size_t c = k * kAdviceChunkChars; c < std::min(chars.size(), (k + 1) * kAdviceChunkChars); ++c)
        chunk += chars[c];
      out.print_at(kAdviceLeft, y, chunk);
    }
  }
  const double half = std::floor(L.rows / 2);
  const double x1 = L.left, x2 = static_cast<double>(L.left) + L.width;
  out.line(x1, L.top + (half + 1) * L.row_height, x2, L.top + (half + 1) * L.row_height, kBlack);
  out.line(x1, L.top + half * L.row_height, x2, L.top + half * L.row_height, kBlack);
  out.print_at(static_cast<double>(L.width) - 60, L.top + half * L.row_height + 1.5, "诊断结果");
  out.print_at(static_cast<double>(L.width) - 80, operator_y, "操作员:            年   月   日");
}

void prt_bgt_page(const DiagnosisState& st, Canvas& out) {
  out.set_scale_mm();
  out.draw_style = DrawStyle::Solid;
  TableLayout L = bgt_report_layout();
  TableCells cells(kReportCells);
  Fill_Bgt_Table(st, cells);
  Print_Table(L, cells, out);
  prt_Bgt_Advice(st, L, out);
  DiagnosisChart plot = st.CardPlot;
  plot.x_div = kPaperChartMapping.x_div;
  plot.y_div = kPaperChartMapping.y_div;
  plot.x_off = static_cast<float>(L.left + kChartLeftOffset);
  plot.y_off = static_cast<float>(L.top + kChartTopOffset);
  Draw_Gt_Bgt(plot, out);
  if (out.is_printer()) out.end_doc();
}

std::string MidC(std::string_view bytsource, int posstart, int lenofbytes) {
  const std::string g = utf8_to_gbk(bytsource);
  const std::size_t len = lenofbytes == 0 ? 10000 : static_cast<std::size_t>(std::max(lenofbytes, 0));
  if (posstart < 1 || static_cast<std::size_t>(posstart) > g.size()) return {};
  return gbk_to_utf8(std::string_view(g).substr(static_cast<std::size_t>(posstart) - 1, len));
}

std::int16_t LenC(std::string_view sourcestring) {
  const std::size_t n = gbk_width(sourcestring);
  return static_cast<std::int16_t>(std::min<std::size_t>(n, std::numeric_limits<std::int16_t>::max()));
}

}  // namespace wb
