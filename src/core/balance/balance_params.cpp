#include "core/balance/balance_params.h"

#include <cmath>
#include <limits>
#include <span>

#include "core/common/number_text.h"
#include "core/common/pi.h"

namespace wb {

namespace {

constexpr const char* kCrLf = "\r\n";

struct CheckRow {
  const char* name;  // as the message names the parameter
  int box;
  float min;
  float max;
};

// Rows 0..7 belong to crank and combined balance, rows 8..15 to beam and combined balance.
constexpr std::array<CheckRow, 16> kInputCheckTable{{
    {"曲柄平衡块数", 0, 0.0f, 12.0f},
    {"曲柄平衡块单重", 1, 1.0f, 30.0f},
    {"曲柄平衡块位置", 2, 0.0f, 3.2f},
    {"减速器扭矩", 4, 0.0f, 120.0f},
    {"曲柄最大安装位置", 3, 0.5f, 3.2f},
    {"曲柄最小安装位置", 24, 0.0f, 1.5f},
    {"曲柄平衡块安装间距", 25, 0.0f, 1.2f},
    {"曲柄的初始角", 26, 0.0f, 15.0f},
    {"游梁前臂长度", 5, 1.0f, 18.0f},
    {"平衡臂长度", 7, 0.5f, 7.0f},
    {"实际冲程", 27, 0.3f, 8.0f},
    {"最大冲程", 6, 0.5f, 8.0f},
    {"平衡臂偏置角", 8, 0.0f, 45.0f},
    {"游梁平衡块单重", 9, 1.0f, 50.0f},
    {"已装游梁平衡块数", 10, 0.0f, 50.0f},
    {"最多可装游梁平衡块数", 11, 2.0f, 50.0f},
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
  t[0] = "2";
  t[3] = "2.1";
  t[4] = "37";
  t[5] = "4.0";
  t[7] = "3.2";
  t[11] = "10";
  t[14] = "2";
  t[24] = "0.0";
  t[25] = "0.4";
  t[26] = "6";
  return t;
}

const std::array<int, kParameterBoxCount> kParameterTabOrder{0,  1,  2,  4,  3,  24, 25, 26, 14, 13, 12, 17, 16, 15,
                                                             20, 19, 18, 23, 22, 21, 5,  7,  27, 6,  8,  9,  10, 11};

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
const std::array<BoxLimit, 12> kCrankGroupBoxLimits = {{
    {12, "第一组重心位置", 0, 3.2, "m"}, {13, "第一组单块重", 0, 30, "kN"}, {14, "第一组分组块数", 0, 12, ""},
    {15, "第二组重心位置", 0, 3.2, "m"}, {16, "第二组单块重", 0, 30, "kN"}, {17, "第二组分组块数", 0, 12, ""},
    {18, "第三组重心位置", 0, 3.2, "m"}, {19, "第三组单块重", 0, 30, "kN"}, {20, "第三组分组块数", 0, 12, ""},
    {21, "第四组重心位置", 0, 3.2, "m"}, {22, "第四组单块重", 0, 30, "kN"}, {23, "第四组分组块数", 0, 12, ""},
}};

void crank_group_totals(ParameterBoxes& text2) {
  float n = 0, W = 0, M = 0;
  for (int k : {14, 17, 20, 23}) {
    const auto group = std::span(kCrankGroupBoxLimits).subspan(static_cast<std::size_t>(k - 14), 3);
    if (check_box_limits(text2, group)) continue;
    const float c = static_cast<float>(round_even(num_val(text2[static_cast<std::size_t>(k)])));
    const float w = box_single(text2[static_cast<std::size_t>(k - 1)]);
    const float r = box_single(text2[static_cast<std::size_t>(k - 2)]);
    if (w > 0 && c > 0) {
      n += c;
      W += c * w;
      M += c * w * r;
    }
  }
  if (n > 0) {
    text2[0] = num_text_f(n);
    text2[1] = num_text_dec(static_cast<double>(W / n), 2);
    const float w1 = box_single(text2[1]);
    text2[2] = w1 != 0 ? num_text_dec(static_cast<double>(M / n / w1), 2) : std::string();
  } else {
    text2[0].clear();
    text2[1].clear();
    text2[2].clear();
  }
}

ModelNameFigures parse_model_name(const std::string& model) {
  return {figure_after_dash(model, 1), figure_after_dash(model, 2)};
}

InputCheck Check_Input_Dat(ParameterBoxes& text2, BalanceMode mode, BalanceParams& p) {
  p.crank_blocks = parse_count_box(text2[0]);
  p.crank_block_wt = box_single(text2[1]);
  p.crank_block_pos = box_single(text2[2]);
  p.gearbox_torque = box_single(text2[4]);
  p.crank_pos_max = box_single(text2[3]);
  p.crank_pos_min = box_single(text2[24]);
  p.crank_spacing = box_single(text2[25]);
  p.crank_angle0 = box_single(text2[26]);
  p.beam_front_arm = box_single(text2[5]);
  p.balance_arm = box_single(text2[7]);
  p.act_stroke = box_single(text2[27]);
  p.max_stroke = box_single(text2[6]);
  p.balance_arm_angle = box_single(text2[8]);
  p.beam_block_wt = box_single(text2[9]);
  p.beam_blocks = parse_count_box(text2[10]);
  p.beam_blocks_max = parse_count_box(text2[11]);

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
    std::string& box8 = text2[8];
    const std::size_t end = box8.find_last_not_of(' ');
    if (end != std::string::npos && box8[end] == '?') {
      const double est = std::floor(static_cast<double>(p.max_stroke) / p.beam_front_arm / 2 * 180 / kPi14 + 0.5);
      // With no usable front arm there is no estimate; row 8 reports the arm.
      if (std::isfinite(est) && std::fabs(est) < 1e6) {
        p.balance_arm_angle = static_cast<float>(est);
        box8 = num_text(est) + "?";
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
