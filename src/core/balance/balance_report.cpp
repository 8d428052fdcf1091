#include "core/balance/balance_report.h"

#include <algorithm>

#include "core/balance/balance_charts.h"
#include "core/common/number_text.h"
#include "core/common/trim.h"

namespace wb {

namespace {

constexpr double kLeft = 38, kRight = 178;  // frame, mm
constexpr double kChartX = 45, kChartWidth = 125, kChartHalf = 45;
constexpr const char* kReportTitle[] = {"平", "衡", "分", "析", "报", "告"};

}  // namespace

std::optional<std::string> report_analysis(BalanceState& a, BalanceMode mode) {
  if (!a.held.holds_stroke()) return std::nullopt;
  const bool crank = mode == BalanceMode::Crank || mode == BalanceMode::Combined;
  if (crank && (a.prm.crank_blocks == 0 || a.prm.crank_block_wt == 0)) return std::nullopt;
  automatic_adjustment(a, mode, nullptr, kIntermediateFileBoxes);
  AdviceForm form;
  form.line_prefix = std::string(32, ' ');
  form.blank_line = false;
  return Make_PHJY(a, mode, form, nullptr, {});
}

namespace {

// The block's outer frame, 2 dots wide, in millimetres; leaves a 1-dot solid line set.
void draw_block_frame(Canvas& c, double yy) {
  c.set_scale_mm();
  c.draw_style = DrawStyle::Solid;
  c.draw_width = 2;
  c.line(kLeft, yy - 11, kRight, yy - 11, kBlack);
  c.line(kLeft, yy + 112, kRight, yy + 112, kBlack);
  c.line(kLeft, yy - 11, kLeft, yy + 112, kBlack);
  c.line(kRight, yy - 11, kRight, yy + 112, kBlack);
  c.draw_width = 1;
}

}  // namespace

void draw_report_block(Canvas& c, const BalanceState& a, const std::string& advice, double yy, bool show_current,
                       bool show_power) {
  const std::size_t need = static_cast<std::size_t>(std::max<int>(a.held.gt_num, 0));
  const bool have = a.iis_after.size() >= need && a.iis12.size() >= need && a.pps_after.size() >= need &&
                    a.pps12.size() >= need;
  const int n = have ? a.held.gt_num : 0;
  float largest = -9999.0f;
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
    for (float v : {a.iis_after[i], a.iis12[i], a.pps_after[i], a.pps12[i]})
      if (v > largest) largest = v;
  const int vmax = power_chart_scale(largest);
  const int step = vmax / 5;

  draw_block_frame(c, yy);
  c.line(kLeft, yy + 59, kRight, yy + 59, kBlack);
  c.line(55, yy + 59, 55, yy + 112, kBlack);

  c.font = Font{"黑体", 12};
  c.fore_color = kBlack;
  double y = yy + 63.5;
  for (const char* ch : kReportTitle) {
    c.print_at(45, y, ch);
    y = c.current_y + 3.5;
  }
  c.font = Font{"宋体", 12};
  c.print_at(65, yy - 9, "井号：" + trim_blanks(a.held.Cur_Well) + "       测试时间:" + Trim_Blank_Nul(a.held.Cur_Test));

  c.font.size = 10;
  c.draw_style = DrawStyle::Dot;
  for (int j = 0; j <= 6; ++j) {
    const double gy = yy + 9 * j;
    c.line(kChartX + kChartWidth, gy, kChartX, gy, kBlack);
    c.print_at(kChartX - 6, gy - 2, num_print(vmax - j * step));
  }
  c.current_x = kChartX;
  c.current_y = yy - 4;
  c.fore_color = QBColor(9);
  c.print_inline("功率");
  c.fore_color = QBColor(12);
  c.print_inline("  电流");
  c.fore_color = kBlack;

  // The advice: its first line at x = 60, each further line from the left edge of the page,
  // where the print form's 32-blank prefix indents it.
  const std::string text = advice + "\r\n";
  double ty = yy + 59;
  double tx = 60;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t to = text.find("\r\n", from);
    if (to == std::string::npos) to = text.size();
    c.print_at(tx, ty, text.substr(from, to - from));
    ty = c.current_y;
    tx = 0;
    from = to + 2;
  }

  for (int k = 0; k <= 8; ++k) {
    const double x = kChartX + 15.625 * k;
    c.line(x, yy, x, yy + 54, kBlack);
    c.print_at(x - 3, yy + 55, num_print(45 * k));
  }
  if (vmax == 0 || n < 2) return;  // no scale: no curve
  c.draw_style = DrawStyle::Solid;
  auto cx = [&](int i) { return kChartX + kChartWidth * i / n; };
  auto cy = [&](float v) { return yy + kChartHalf - kChartHalf * v / vmax; };
  auto curve = [&](const std::vector<float>& v, Rgb col) {
    for (int l = 1; l < n; ++l)
      c.line(cx(l - 1), cy(v[static_cast<std::size_t>(l - 1)]), cx(l), cy(v[static_cast<std::size_t>(l)]), col);
  };
  c.draw_width = 2;
  if (show_current) curve(a.iis_after, QBColor(12));
  if (show_power) curve(a.pps_after, QBColor(9));
  // Measured curves over the predicted ones, in the same 12-o'clock frame.
  c.draw_width = 1;
  if (show_current) curve(a.iis12, QBColor(8));
  if (show_power) curve(a.pps12, QBColor(8));
}

void draw_report_note(Canvas& c, double yy, const std::string& note) {
  draw_block_frame(c, yy);
  c.font = Font{"宋体", 12};
  c.fore_color = kBlack;
  c.print_at(65, yy + 40, note);
}

BalanceMode load_record_for_print(BalanceState& a, const PhfxRecord& rec) {
  stroke_from_phfx(rec, a.held);
  if (!has_electric_stroke(a.held.DispCurveType)) a.held.DispCurveType = kKindJoint;
  BalanceParams& p = a.prm;
  p.crank_blocks = rec.crank_blocks;
  p.crank_block_wt = static_cast<float>(rec.crank_block_wt / 1000.0);
  p.crank_block_pos = static_cast<float>(rec.crank_block_pos / 1000.0);
  p.crank_angle0 = rec.crank_angle0;
  p.crank_pos_max = static_cast<float>(rec.crank_pos_max / 1000.0);
  p.crank_pos_min = static_cast<float>(rec.crank_pos_min / 1000.0);
  p.crank_spacing = static_cast<float>(rec.crank_spacing / 1000.0);
  if (rec.balance_mode == 1 || rec.balance_mode == 2) {
    p.beam_front_arm = static_cast<float>(rec.beam_front_arm / 1000.0);
    p.act_stroke = static_cast<float>(rec.act_stroke / 1000.0);
    p.max_stroke = static_cast<float>(rec.max_stroke / 1000.0);
    p.balance_arm = static_cast<float>(rec.balance_arm / 1000.0);
    p.beam_block_wt = static_cast<float>(rec.beam_block_wt / 1000.0);
    p.balance_arm_angle = rec.balance_arm_angle;
    p.beam_blocks = rec.beam_blocks;
    p.beam_blocks_max = rec.beam_blocks_max;
    p.gearbox_torque = rec.gearbox_torque;
  }
  a.analysed = false;
  switch (rec.balance_mode) {
    case 0: return BalanceMode::Crank;
    case 1: return BalanceMode::Beam;
    case 2: return BalanceMode::Combined;
    default: return BalanceMode::None;
  }
}

}  // namespace wb
