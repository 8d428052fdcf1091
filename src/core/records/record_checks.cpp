#include "core/records/record_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/common/number_text.h"
#include "core/common/trim.h"

namespace wb {
namespace {

constexpr double kOpen = std::numeric_limits<double>::infinity();

// One 16-bit field: stored value / scale is the value in `unit`, sound within lo … hi.
// `refuse`: the reader cannot show the record with the field outside (a count it rebuilds
// by); otherwise the field is a doubt.
template <class Rec>
struct ShortLimit {
  std::int16_t Rec::*field;
  const char* name;
  double scale;
  double lo, hi;
  const char* unit;
  bool refuse;
};

// The coefficients 0 … terms of one stored curve: each must be finite and within ±limit.
// A curve bounded by |f| ≤ M has coefficients of at most 2M (a(0) is twice the mean), so
// the limit is twice the largest value the record's own 16-bit result fields can hold.
template <class Rec, std::size_t N>
struct CurveLimit {
  std::array<float, N> Rec::*cos;
  std::array<float, N> Rec::*sin;
  const char* name;
  double limit;
  const char* unit;
};

// Samples of one stroke: at most the 3000 samples (60 s) a joint test keeps; 0 is a record
// without a period (no strokes per minute are shown).
constexpr double kMaxStrokeSamples = 3000;

const ShortLimit<SgtRecord> kSgtLimits[] = {
    {&SgtRecord::point_num, "一个冲程的采样点数", 1, 0, kMaxStrokeSamples, "点", true},
    // Strokes are lengths: never below 0.
    {&SgtRecord::real_stroke, "实测冲程", 1000, 0, kOpen, "m", false},
    {&SgtRecord::theo_stroke, "理论冲程", 1000, 0, kOpen, "m", false},
    // Set to 1 for a card built from a joint test, else 0.
    {&SgtRecord::joint_flag, "联合测试标志", 1, 0, 1, "", false},
};
// Position: the stored stroke fields reach 32.767 m. Load: the load fields reach 327.67 kN.
const CurveLimit<SgtRecord, 16> kSgtPosition{&SgtRecord::ss_cos, &SgtRecord::ss_sin, "位移曲线", 70, "m"};
const CurveLimit<SgtRecord, 32> kSgtLoad{&SgtRecord::gg_cos, &SgtRecord::gg_sin, "载荷曲线", 700, "kN"};
constexpr int kSgtPositionTerms = 6;  // the reader sums terms 0 … 6 of position
constexpr int kCurveTerms = 29;       // and 0 … 29 of load, current, voltage, power
// The polished-rod power of a pumping unit: far below 1000 kW either way.
constexpr double kRodPowerLimit = 1000;

const ShortLimit<DntRecord> kDntLimits[] = {
    {&DntRecord::point_num, "一个冲程的采样点数", 1, 0, kMaxStrokeSamples, "点", true},
    // Means, effective values and maxima of current and voltage are magnitudes: not below 0.
    {&DntRecord::avg_current, "平均电流", 100, 0, kOpen, "A", false},
    {&DntRecord::avg_voltage, "平均电压", 50, 0, kOpen, "V", false},
    {&DntRecord::max_current_up, "上冲程最大电流", 100, 0, kOpen, "A", false},
    {&DntRecord::max_current_down, "下冲程最大电流", 100, 0, kOpen, "A", false},
    {&DntRecord::rms_current, "均方根电流", 100, 0, kOpen, "A", false},
    // The mean input power is made positive when a test is decoded (a reversed clamp), the
    // reactive and apparent powers come from square roots: none is below 0. The upstroke
    // and downstroke means may be negative (the motor generating) and are not checked.
    {&DntRecord::input_power, "输入功率", 100, 0, kOpen, "kW", false},
    {&DntRecord::reactive_power, "无功功率", 100, 0, kOpen, "kvar", false},
    {&DntRecord::apparent_power, "视在功率", 100, 0, kOpen, "kVA", false},
    {&DntRecord::rms_power, "均方根功率", 100, 0, kOpen, "kW", false},
    // P / S of a positive mean power.
    {&DntRecord::power_factor, "功率因数", 10000, 0, 1, "", false},
    // 1 … 4; 0 in records that did not note it.
    {&DntRecord::wiring_mode, "接线方式代码", 1, 0, 4, "", false},
};
// Current: the current fields reach 327.67 A; voltage 655.34 V; power 327.67 kW.
const CurveLimit<DntRecord, 32> kDntCurves[] = {
    {&DntRecord::ii_cos, &DntRecord::ii_sin, "电流曲线", 700, "A"},
    {&DntRecord::uu_cos, &DntRecord::uu_sin, "电压曲线", 1400, "V"},
    {&DntRecord::pp_cos, &DntRecord::pp_sin, "功率曲线", 700, "kW"},
};

const ShortLimit<XbtRecord> kXbtLimits[] = {
    // Coefficient pairs of the waveforms: the record holds 50 (the reader uses at most those).
    {&XbtRecord::order_num, "谐波次数", 1, 0, 50, "", false},
    {&XbtRecord::current, "电流", 100, 0, kOpen, "A", false},
    {&XbtRecord::voltage, "电压", 50, 0, kOpen, "V", false},
    {&XbtRecord::apparent_power, "视在功率", 100, 0, kOpen, "kVA", false},
    // cos of the phase difference, which lies within one half turn either way.
    {&XbtRecord::power_factor, "功率因数", 10000, -1, 1, "", false},
    {&XbtRecord::phase_diff, "相位差", 100, -180, 180, "°", false},
};
// Instantaneous values of one supply cycle: peaks √2 times the effective values the
// current (327.67 A) and voltage (655.34 V) fields hold, coefficients twice that.
const CurveLimit<XbtRecord, 50> kXbtCurves[] = {
    {&XbtRecord::ii_cos, &XbtRecord::ii_sin, "电流波形", 1000, "A"},
    {&XbtRecord::uu_cos, &XbtRecord::uu_sin, "电压波形", 2000, "V"},
};

template <class Rec, std::size_t K>
void check_shorts(const Rec& r, const ShortLimit<Rec> (&table)[K], RecordFindings& f) {
  for (const ShortLimit<Rec>& l : table) {
    const double v = (r.*l.field) / l.scale;
    if (v >= l.lo && v <= l.hi) continue;
    (l.refuse ? f.refusals : f.doubts)
        .push_back(std::string(l.name) + "为 " + value_with_unit(v, l.unit) + "，" + limits_text(l.lo, l.hi, l.unit) +
                   "。");
  }
}

template <class Rec, std::size_t N>
void check_curve(const Rec& r, const CurveLimit<Rec, N>& c, int terms, RecordFindings& f) {
  const auto& a = r.*c.cos;
  const auto& b = r.*c.sin;
  const int last = std::min(terms, static_cast<int>(N) - 1);
  int bad = 0;
  for (int k = 0; k <= last; ++k) {
    for (float x : {a[k], b[k]})
      if (!std::isfinite(x) || std::fabs(x) > c.limit) ++bad;
  }
  if (bad > 0)
    f.refusals.push_back(std::string(c.name) + "有 " + std::to_string(bad) + " 个系数不是有限数或超出 ±" +
                         value_with_unit(c.limit, c.unit) + "，曲线无法重建。");
}

// The date field of a record: blank, or the 12 digits yyyymmddhhmm the instrument writes.
void check_date(const std::string& stored, RecordFindings& f) {
  const std::string d = Trim_Blank_Nul(stored);
  if (d.empty()) return;
  const bool digits = d.size() == 12 && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) f.doubts.push_back(kTestDateNotInstrumentText);
}

std::string findings_text(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += "\n・" + l;
  return s;
}

}  // namespace

std::string value_with_unit(double v, const char* unit) {
  std::string s = num_text(v);
  if (*unit) s += std::string(" ") + unit;
  return s;
}

std::string limits_text(double lo, double hi, const char* unit) {
  if (std::isinf(hi)) return "不应小于 " + value_with_unit(lo, unit);
  return "应在 " + value_with_unit(lo, unit) + " 至 " + value_with_unit(hi, unit) + " 之间";
}

RecordFindings check_sgt_record(const SgtRecord& r) {
  RecordFindings f;
  check_shorts(r, kSgtLimits, f);
  check_curve(r, kSgtPosition, kSgtPositionTerms, f);
  check_curve(r, kSgtLoad, kCurveTerms, f);
  check_date(r.test_date, f);
  if (r.theo_max_load < r.theo_min_load) f.doubts.push_back("理论最大载荷小于理论最小载荷。");
  if (!std::isfinite(r.rod_power) || std::fabs(r.rod_power) > kRodPowerLimit)
    f.doubts.push_back("光杆功率不是有限数或超出 ±" + value_with_unit(kRodPowerLimit, "kW") + "。");
  return f;
}

RecordFindings check_dnt_record(const DntRecord& r) {
  RecordFindings f;
  check_shorts(r, kDntLimits, f);
  for (const auto& c : kDntCurves) check_curve(r, c, kCurveTerms, f);
  check_date(r.test_date, f);
  return f;
}

RecordFindings check_xbt_record(const XbtRecord& r) {
  RecordFindings f;
  check_shorts(r, kXbtLimits, f);
  // The reader sums the pairs below order_num (terms 0 … order_num - 1, at most 0 … 49).
  const int terms = std::clamp(static_cast<int>(r.order_num) - 1, 0, 49);
  for (const auto& c : kXbtCurves) check_curve(r, c, terms, f);
  check_date(r.test_date, f);
  return f;
}

const char* record_kind_name(RecordKindName kind) {
  switch (kind) {
    case RecordKindName::Card: return "示功图";
    case RecordKindName::Electric: return "电力曲线";
    case RecordKindName::Wave: return "电力波形";
  }
  return "";
}

std::string record_refusal_text(RecordKindName kind, const std::vector<std::string>& refusals, const std::string& path) {
  return std::string(record_kind_name(kind)) + "数据 " + path + kDamagedNotShownText + findings_text(refusals) + kShownTestKeptText;
}

std::string record_doubts_text(RecordKindName kind, const std::vector<std::string>& doubts, const std::string& path) {
  return std::string(record_kind_name(kind)) + "数据 " + path + " 中有仪器不会写入的数值：" + findings_text(doubts) +
         "\n据此显示的结果可能不可信。";
}

}  // namespace wb
