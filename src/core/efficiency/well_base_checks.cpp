// The doubts of a well base record: the table of what each field can hold, with its reason.
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/common/number_text.h"
#include "core/common/trim.h"
#include "core/efficiency/well_base_record.h"
#include "core/records/record_checks.h"

namespace wb {
namespace {

constexpr double kOpen = std::numeric_limits<double>::infinity();

// A 16-bit field: stored / scale is the value in `unit`, sound within lo … hi.
struct ShortLimit {
  std::int16_t WellBaseRecord::*field;
  const char* name;
  double scale, lo, hi;
  const char* unit;
};
// A single-precision field: finite and within lo … hi.
struct FloatLimit {
  float WellBaseRecord::*field;
  const char* name;
  double lo, hi;
  const char* unit;
};

constexpr double kDepthMax = 10000;  // m: no pumped well, rod string or fluid level is deeper

// Fields of the efficiency window (writer S). Lengths, rates, bores and counts are never
// below 0; the rest as the efficiency library's limits (gt_ym_checks.cpp).
const ShortLimit kShortLimits[] = {
    // Never below 0; above the 3000 samples (60 s) a joint test keeps, the curve check below
    // names it (once).
    {&WellBaseRecord::point_num, "每冲程点数", 1, 0, kOpen, "点"},
    {&WellBaseRecord::sys_effi, "系统效率", 100, -1000, 1000, "%"},
    {&WellBaseRecord::real_stroke, "实测冲程", 1000, 0, kOpen, "m"},
    // 1 … 4; 0 in a record the counterbalance window wrote first.
    {&WellBaseRecord::wiring_mode, "接线方式", 1, 0, 4, ""},
    {&WellBaseRecord::pump_dia, "泵径", 1, 0, 500, "mm"},  // pumps are 28 … 120 mm
    {&WellBaseRecord::water_cut, "含水率", 10, 0, 100, "%"},  // a share of the liquid
    {&WellBaseRecord::oil_rate, "日产油量", 100, 0, kOpen, "t/d"},
    {&WellBaseRecord::gas_oil_ratio, "气油比", 1, 0, kOpen, "m3/t"},
    {&WellBaseRecord::wellhead_temp, "井口温度", 100, -100, kOpen, "℃"},
    {&WellBaseRecord::tubing_press, "井口油压", 1000, -1, kOpen, "MPa"},  // gauge: slight suction only
    {&WellBaseRecord::casing_press, "井口套压", 1000, -1, kOpen, "MPa"},
    {&WellBaseRecord::nom_stroke, "标称冲程", 1000, 0, kOpen, "m"},
    {&WellBaseRecord::nom_spm, "标称冲次", 100, 0, 100, "1/min"},  // beam units run 1 … 20
    {&WellBaseRecord::sinker_dia, "加重杆径", 1, 0, 200, "mm"},  // sinker bars are 25 … 60 mm
    // Fields of the counterbalance window (writer B): counts, weights, lengths and positions
    // are never below 0; the offset angle lies within a half turn either way.
    {&WellBaseRecord::crank_blocks, "平衡块数", 1, 0, kOpen, "块"},
    {&WellBaseRecord::crank_block_wt, "平均块重", 1000, 0, kOpen, "kN"},
    {&WellBaseRecord::crank_block_pos, "平均位置", 1000, 0, kOpen, "m"},
    {&WellBaseRecord::crank_pos_max, "最大安装位置", 1000, 0, kOpen, "m"},
    {&WellBaseRecord::gearbox_torque, "减速器扭矩", 1, 0, kOpen, "kN·m"},
    {&WellBaseRecord::beam_front_arm, "前臂长度", 1000, 0, kOpen, "m"},
    {&WellBaseRecord::max_stroke, "最大冲程", 1000, 0, kOpen, "m"},
    {&WellBaseRecord::balance_arm, "平衡臂长", 1000, 0, kOpen, "m"},
    {&WellBaseRecord::balance_arm_angle, "平衡臂偏置角", 1, -180, 180, "°"},
    {&WellBaseRecord::beam_block_wt, "平衡块单重", 1000, 0, kOpen, "kN"},
    {&WellBaseRecord::beam_blocks, "已装平衡块数", 1, 0, kOpen, "块"},
    {&WellBaseRecord::beam_blocks_max, "最大可装块数", 1, 0, kOpen, "块"},
    {&WellBaseRecord::crank_pos_min, "最小安装位置", 1000, 0, kOpen, "m"},
    {&WellBaseRecord::crank_spacing, "同侧安装间距", 1000, 0, kOpen, "m"},
    {&WellBaseRecord::balance_mode, "平衡方式", 1, 0, 2, ""},  // crank, beam, combined
    {&WellBaseRecord::act_stroke, "实际冲程", 1000, 0, kOpen, "m"},
};

const FloatLimit kFloatLimits[] = {
    {&WellBaseRecord::liquid_rate, "日产液", 0, 10000, "t/d"},
    {&WellBaseRecord::viscosity, "粘度", 0, 1e7, "mPa.s"},  // heavy oils reach 1e5 mPa.s
    {&WellBaseRecord::rod_len_1, "1'杆长", 0, kDepthMax, "m"},
    {&WellBaseRecord::rod_len_7_8, "7/8'杆长", 0, kDepthMax, "m"},
    {&WellBaseRecord::rod_len_3_4, "6/8'杆长", 0, kDepthMax, "m"},
    {&WellBaseRecord::rod_len_5_8, "5/8'杆长", 0, kDepthMax, "m"},
    {&WellBaseRecord::rod_len_1_1_8, "1'1杆长", 0, kDepthMax, "m"},
    {&WellBaseRecord::sinker_len, "加重杆长", 0, kDepthMax, "m"},
    {&WellBaseRecord::liquid_density, "产液密度", 0, 5, "t/m3"},  // brines stay below 1.3 t/m3
    {&WellBaseRecord::fluid_level, "动液面", -kDepthMax, kDepthMax, "m"},
    {&WellBaseRecord::pump_depth, "泵挂深度", 0, kDepthMax, "m"},
    {&WellBaseRecord::crank_angle0, "曲柄初始角", -360, 360, "°"},  // one turn either way
};

bool control_free(const std::string& t) {
  for (char ch : t)
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) return false;
  return true;
}

}  // namespace

std::vector<std::string> well_base_doubts(const WellBaseRecord& rec) {
  std::vector<std::string> out;
  const std::pair<const std::string*, const char*> texts[] = {{&rec.well_name, "井号"},      {&rec.test_date, "测试日期"},
                                                              {&rec.cyj_model, "抽油机型号"}, {&rec.motor_model, "电动机型号"},
                                                              {&rec.block_unit, "区块单元"}};
  for (const auto& [text, name] : texts)
    if (!control_free(*text)) out.push_back(std::string(name) + "中有控制字符。");
  for (const ShortLimit& l : kShortLimits) {
    const double v = (rec.*l.field) / l.scale;
    if (v >= l.lo && v <= l.hi) continue;
    out.push_back(std::string(l.name) + "为 " + value_with_unit(v, l.unit) + "，" + limits_text(l.lo, l.hi, l.unit) +
                  "。");
  }
  for (const FloatLimit& l : kFloatLimits) {
    const float v = rec.*l.field;
    if (std::isfinite(v) && v >= l.lo && v <= l.hi) continue;
    // A value that is no number, or far beyond its range, is not repeated.
    const bool show = std::isfinite(v) && std::fabs(v) < 1e9;
    out.push_back(std::string(l.name) + (show ? "为 " + value_with_unit(v, l.unit) + "，" : "不是可能的数值，") +
                  limits_text(l.lo, l.hi, l.unit) + "。");
  }
  for (std::size_t g = 0; g < rec.crank_group.size(); ++g) {
    const WellBaseRecord::CrankGroup& c = rec.crank_group[g];
    if (c.count < 0 || c.weight < 0 || c.pos < 0)
      out.push_back("第 " + std::to_string(g + 1) + " 组曲柄平衡块的块数、块重或位置小于 0。");
  }
  if (std::optional<Refusal> damage = well_base_curve_damage(rec)) out.push_back(std::move(damage->message));
  return out;
}

std::string well_base_doubts_text(const std::vector<std::string>& doubts, const std::string& path) {
  std::string s = "井基础数据 " + path + " 中本次测试的记录有不可能的数值：";
  for (const std::string& d : doubts) s += "\n・" + d;
  return s + "\n据此显示的数据可能不可信。";
}

}  // namespace wb
