#include "core/balance/balance_params.h"

#include <cmath>
#include <limits>
#include <span>

#include "core/common/number_text.h"
#include "core/common/pi.h"

namespace wb {

namespace {

using namespace balance_box;

constexpr const char* kCrLf = "\r\n";

struct CheckRow {
  const char* name;  // as the message names the parameter
  int box;
  float min;
  float max;
};

// Rows 0..7 belong to crank and combined balance, rows 8..15 to beam and combined balance.
constexpr std::array<CheckRow, 16> kInputCheckTable{{
    {"曲柄平衡块数", kCrankBlocks, 0.0f, 12.0f},
    {"曲柄平衡块单重", kCrankBlockWt, 1.0f, 30.0f},
    {"曲柄平衡块位置", kCrankBlockPos, 0.0f, 3.2f},
    {"减速器扭矩", kGearboxTorque, 0.0f, 120.0f},
    {"曲柄最大安装位置", kCrankPosMax, 0.5f, 3.2f},
    {"曲柄最小安装位置", kCrankPosMin, 0.0f, 1.5f},
    {"曲柄平衡块安装间距", kCrankSpacing, 0.0f, 1.2f},
    {"曲柄的初始角", kCrankAngle0, 0.0f, 15.0f},
    {"游梁前臂长度", kBeamFrontArm, 1.0f, 18.0f},
    {"平衡臂长度", kBalanceArm, 0.5f, 7.0f},
    {"实际冲程", kActStroke, 0.3f, 8.0f},
    {"最大冲程", kMaxStroke, 0.5f, 8.0f},
    {"平衡臂偏置角", kBalanceArmAngle, 0.0f, 45.0f},
    {"游梁平衡块单重", kBeamBlockWt, 1.0f, 50.0f},
    {"已装游梁平衡块数", kBeamBlocks, 0.0f, 50.0f},
    {"最多可装游梁平衡块数", kBeamBlocksMax, 2.0f, 50.0f},
}};

// A box in single precision; one beyond its range reads as infinite and fails every check.
float box_single(const std::string& text) { return to_single(num_val(text)); }

// An empty box, or one holding a number alone; the offset angle may end in the "?" of an
// estimate (or its full-width form, which reads as no estimate asked for).
bool number_or_empty(std::string text) {
  const std::string wide_mark = "？";
  for (;;) {
    if (!text.empty() && (text.back() == ' ' || text.back() == '?'))
      text.pop_back();
    else if (text.ends_with(wide_mark))
      text.resize(text.size() - wide_mark.size());
    else
      break;
  }
  std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos || num_parse(text).has_value();
}

void add_line(std::string& msg, const std::string& line) {
  msg += kCrLf;
  msg += '\t';
  msg += line;
}

void check_rows(const ParameterBoxes& text2, int first, int last, std::string& msg) {
  for (int r = first; r <= last; ++r) {
    const CheckRow& row = kInputCheckTable[static_cast<std::size_t>(r)];
    const std::string& text = text2[static_cast<std::size_t>(row.box)];
    const float v = box_single(text);
    // A non-finite or out-of-range value fails the row, and so does a text that is not a
    // number (it would read as its leading digits or as 0).
    if (!(v >= row.min && v <= row.max) || !number_or_empty(text))
      add_line(msg, std::string(row.name) + "错误，只能在" + num_print_f(row.min) + "-" + num_print_f(row.max) +
                        "之间！");
  }
}

// The digits and points that follow the `nth` "-" of s (1-based); empty when there is none.
std::string figure_after_dash(const std::string& s, int nth) {
  std::size_t pos = std::string::npos;
  std::size_t from = 0;
  for (int i = 0; i < nth; ++i) {
    pos = s.find('-', from);
    if (pos == std::string::npos) return {};
    from = pos + 1;
  }
  std::string out;
  for (std::size_t i = pos + 1; i < s.size(); ++i) {
    const char c = s[i];
    if ((c >= '0' && c <= '9') || c == '.')
      out += c;
    else
      break;
  }
  return out;
}

}  // namespace

ParameterBoxes default_parameter_boxes() {
  ParameterBoxes t{};
  t[kCrankBlocks] = "2";
  t[kCrankPosMax] = "2.1";
  t[kGearboxTorque] = "37";
  t[kBeamFrontArm] = "4.0";
  t[kBalanceArm] = "3.2";
  t[kBeamBlocksMax] = "10";
  t[group_count(0)] = "2";
  t[kCrankPosMin] = "0.0";
  t[kCrankSpacing] = "0.4";
  t[kCrankAngle0] = "6";
  return t;
}

// The crank frame's columns, the groups (count, weight, position), then the beam frame's columns.
const std::array<int, kParameterBoxCount> kParameterTabOrder{
    kCrankBlocks,   kCrankBlockWt,  kCrankBlockPos, kGearboxTorque,   kCrankPosMax, kCrankPosMin,  kCrankSpacing,
    kCrankAngle0,   group_count(0), group_wt(0),    group_pos(0),     group_count(1), group_wt(1), group_pos(1),
    group_count(2), group_wt(2),    group_pos(2),   group_count(3),   group_wt(3),  group_pos(3),  kBeamFrontArm,
    kBalanceArm,    kActStroke,     kMaxStroke,     kBalanceArmAngle, kBeamBlockWt, kBeamBlocks,   kBeamBlocksMax};

int parameter_box_after(int box, int step) {
  for (int pos = 0; pos < kParameterBoxCount; ++pos) {
    if (kParameterTabOrder[static_cast<std::size_t>(pos)] != box) continue;
    const int next = pos + step;
    if (next < 0 || next >= kParameterBoxCount) return -1;
    return kParameterTabOrder[static_cast<std::size_t>(next)];
  }
  return -1;
}

std::int16_t parse_count_box(const std::string& text) {
  const long long v = round_even(num_val(text));
  if (v > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
  if (v < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
  return static_cast<std::int16_t>(v);
}

// Limits as wide as those of the totals the groups make (kInputCheckTable rows 0..2); an
// unused group is empty, which counts as 0.
// Group g's three limits are entries 3g .. 3g + 2, in box order.
const std::array<BoxLimit, 12> kCrankGroupBoxLimits = {{
    {group_pos(0), "第一组重心位置", 0, 3.2, "m"}, {group_wt(0), "第一组单块重", 0, 30, "kN"}, {group_count(0), "第一组分组块数", 0, 12, ""},
    {group_pos(1), "第二组重心位置", 0, 3.2, "m"}, {group_wt(1), "第二组单块重", 0, 30, "kN"}, {group_count(1), "第二组分组块数", 0, 12, ""},
    {group_pos(2), "第三组重心位置", 0, 3.2, "m"}, {group_wt(2), "第三组单块重", 0, 30, "kN"}, {group_count(2), "第三组分组块数", 0, 12, ""},
    {group_pos(3), "第四组重心位置", 0, 3.2, "m"}, {group_wt(3), "第四组单块重", 0, 30, "kN"}, {group_count(3), "第四组分组块数", 0, 12, ""},
}};

void crank_group_totals(ParameterBoxes& text2) {
  float n = 0, W = 0, M = 0;
  for (int g = 0; g < kCrankGroups; ++g) {
    const auto group = std::span(kCrankGroupBoxLimits).subspan(static_cast<std::size_t>(3 * g), 3);
    if (check_box_limits(text2, group)) continue;
    const float c = static_cast<float>(round_even(num_val(text2[group_count(g)])));
    const float w = box_single(text2[group_wt(g)]);
    const float r = box_single(text2[group_pos(g)]);
    if (w > 0 && c > 0) {
      n += c;
      W += c * w;
      M += c * w * r;
    }
  }
  if (n > 0) {
    text2[kCrankBlocks] = num_text_f(n);
    text2[kCrankBlockWt] = num_text_dec(static_cast<double>(W / n), 2);
    const float w1 = box_single(text2[kCrankBlockWt]);
    text2[kCrankBlockPos] = w1 != 0 ? num_text_dec(static_cast<double>(M / n / w1), 2) : std::string();
  } else {
    text2[kCrankBlocks].clear();
    text2[kCrankBlockWt].clear();
    text2[kCrankBlockPos].clear();
  }
}

ModelNameFigures parse_model_name(const std::string& model) {
  return {figure_after_dash(model, 1), figure_after_dash(model, 2)};
}

InputCheck Check_Input_Dat(ParameterBoxes& text2, BalanceMode mode, BalanceParams& p) {
  p.crank_blocks = parse_count_box(text2[kCrankBlocks]);
  p.crank_block_wt = box_single(text2[kCrankBlockWt]);
  p.crank_block_pos = box_single(text2[kCrankBlockPos]);
  p.gearbox_torque = box_single(text2[kGearboxTorque]);
  p.crank_pos_max = box_single(text2[kCrankPosMax]);
  p.crank_pos_min = box_single(text2[kCrankPosMin]);
  p.crank_spacing = box_single(text2[kCrankSpacing]);
  p.crank_angle0 = box_single(text2[kCrankAngle0]);
  p.beam_front_arm = box_single(text2[kBeamFrontArm]);
  p.balance_arm = box_single(text2[kBalanceArm]);
  p.act_stroke = box_single(text2[kActStroke]);
  p.max_stroke = box_single(text2[kMaxStroke]);
  p.balance_arm_angle = box_single(text2[kBalanceArmAngle]);
  p.beam_block_wt = box_single(text2[kBeamBlockWt]);
  p.beam_blocks = parse_count_box(text2[kBeamBlocks]);
  p.beam_blocks_max = parse_count_box(text2[kBeamBlocksMax]);

  std::string msg;
  const bool crank = mode == BalanceMode::Crank || mode == BalanceMode::Combined;
  const bool beam = mode == BalanceMode::Beam || mode == BalanceMode::Combined;
  if (crank) {
    // The groups first: their totals stand in rows 0..2.
    for (const BoxLimit& l : kCrankGroupBoxLimits)
      if (auto bad = check_box_limits(text2, std::span(&l, 1))) add_line(msg, bad->message);
    check_rows(text2, 0, 7, msg);
    if (p.crank_block_pos < p.crank_pos_min || p.crank_block_pos > p.crank_pos_max)
      add_line(msg, "曲柄平衡块位置错误，只能最小和最大可安装位置之间！");
    // The crank shift is divided by the installed weight: no blocks, no crank analysis.
    if (p.crank_blocks == 0) add_line(msg, "曲柄平衡块数不能为0，请输入安装的曲柄平衡块数！");
  }
  if (beam) {
    std::string& angle = text2[kBalanceArmAngle];
    const std::size_t end = angle.find_last_not_of(' ');
    if (end != std::string::npos && angle[end] == '?') {
      const double est = std::floor(static_cast<double>(p.max_stroke) / p.beam_front_arm / 2 * 180 / kPi14 + 0.5);
      // With no usable front arm there is no estimate; row 8 reports the arm.
      if (std::isfinite(est) && std::fabs(est) < 1e6) {
        p.balance_arm_angle = static_cast<float>(est);
        angle = num_text(est) + "?";
      }
    }
    check_rows(text2, 8, 15, msg);
    if (static_cast<float>(1.05 * p.max_stroke) < p.act_stroke) add_line(msg, "实际冲程明显大于使用冲程！");
    if (p.beam_blocks > p.beam_blocks_max) add_line(msg, "实际安装的游梁平衡块数大于最大可装块数！");
  }
  if (!msg.empty()) {
    msg += kCrLf;
    msg += kCrLf;
    msg += "\t请重新输入以上参数，输完后请按 [自动分析] 按扭 ！";
    return {true, msg};
  }
  const float lo = static_cast<float>(0.95 * p.max_stroke);
  const float hi = static_cast<float>(1.05 * p.max_stroke);
  if (p.act_stroke >= lo && p.act_stroke <= hi) p.act_stroke = p.max_stroke;
  return {false, {}};
}

}  // namespace wb
