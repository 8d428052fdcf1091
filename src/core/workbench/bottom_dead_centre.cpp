#include "core/workbench/bottom_dead_centre.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "core/common/fourier.h"
#include "core/common/number_text.h"
#include "core/common/trim.h"
#include "core/workbench/org_decode.h"
#include "core/workbench/workbench_messages.h"

namespace wb {
namespace {

constexpr float kLeastFundamental = 0.25f;  // m; below it the stroke has no clear bottom
constexpr int kFitTerms = 6;                // a(0)/2 and harmonics 1..5

// Fills a 16-bit scaled field, or names it as not stored.
void put_scaled(std::int16_t& field, double scaled, const char* label, RecordBuildReport& rep) {
  if (auto v = to_i16(scaled)) {
    field = *v;
  } else {
    rep.unstored.emplace_back(label);
  }
}

// The two numbers of a "first/second" box: each must be a number as a whole. Without a "/"
// the first is missing and the whole text stands for the second.
void split_pair(const std::string& text, std::optional<double>& first, std::optional<double>& second) {
  auto slash = text.find('/');
  if (slash == std::string::npos) {
    first.reset();
    second = num_parse(text);
  } else {
    first = num_parse(std::string_view(text).substr(0, slash));
    second = num_parse(std::string_view(text).substr(slash + 1));
  }
}

void put_pair_part(std::int16_t& field, const std::optional<double>& v, const char* label, RecordBuildReport& rep) {
  if (v) {
    put_scaled(field, *v * 100.0, label, rep);
  } else {
    rep.unstored.emplace_back(label);
  }
}

}  // namespace

void Chk_Trans_Info(TestState& st) {
  st.bdc_start = 0;
  if (st.gt_num < 1 || st.gt_num > kSampleArraySize) {
    st.chk_start_enabled = false;
    return;
  }
  // An even count gains the next sample to become odd. When the stroke is the whole record
  // there is no next sample (only a value left by an earlier test), so it loses one instead.
  std::int16_t n = st.gt_num;
  if (n % 2 == 0 && n >= stored_sample_count(st) && n > 1) n = static_cast<std::int16_t>(n - 1);
  std::array<float, kFitTerms + 1> a{}, b{};
  get_dft_coef(st.sss.data(), n, a.data(), b.data(), kFitTerms);
  st.gt_num = n;

  const float amp = static_cast<float>(std::sqrt(static_cast<double>(a[1]) * a[1] + static_cast<double>(b[1]) * b[1]));
  if (amp < kLeastFundamental) {
    st.chk_start_enabled = false;
    return;
  }
  st.chk_start_enabled = true;
  std::array<float, kSampleArraySize> fit{};
  put_dft(fit.data(), st.gt_num, a.data(), b.data(), kFitTerms);
  float least = 9999.0f;
  for (int i = 0; i < st.gt_num; ++i) {
    if (std::fabs(fit[i]) < least) {
      least = std::fabs(fit[i]);
      st.bdc_start = static_cast<std::int16_t>(i);
    }
  }
}

void Abs_Trans_Data(TestState& st) {
  if (st.bdc_start <= 0) return;
  const int n = std::min<int>(st.gt_num, kSampleArraySize);
  if (n < 2) return;
  // After a period correction bdc_start may lie past the stroke; keep it inside.
  const int b = st.bdc_start % n;
  if (b == 0) return;
  for (SampleArray* arr : {&st.iis, &st.uus, &st.pps, &st.sss, &st.ggs}) {
    SampleArray old = *arr;
    for (int i = 0; i < n; ++i) {
      (*arr)[i] = st.chk_start_checked ? old[(b + i) % n] : old[(i - b + n) % n];
    }
  }
}

RecordBuildReport Pow_Sgt_Dat_Prep(TestState& st) {
  RecordBuildReport rep;
  const int gn = std::clamp<int>(st.gt_num, 0, kSampleArraySize);
  const int un = std::clamp<int>(st.iu_num, 0, kSampleArraySize);

  float gmax = 0.0f, gmin = 32767.0f;
  for (int i = 0; i < gn; ++i) {
    if (st.ggs[i] > gmax) gmax = st.ggs[i];
    if (st.ggs[i] < gmin) gmin = st.ggs[i];
  }

  // The card record.
  SgtRecord& g = st.sgt_rec;
  g = SgtRecord{};
  put_scaled(g.stroke_loss, num_val(st.Text1[appended_box::kStrokeLoss]) * 1000.0, "冲程损失", rep);
  g.well_name = trim_blanks(st.Text1[appended_box::kWell]);
  g.test_date = st.org_head.test_date;
  g.test_date_raw = st.org_head.test_date_raw();  // as the instrument wrote it
  g.point_num = st.gt_num;
  put_scaled(g.real_stroke, num_val(st.Text3[result_box::kMeasuredStroke]) * 1000.0, "实测冲程", rep);
  put_scaled(g.max_load, static_cast<float>(gmax * 100.0f), "最大载荷", rep);
  put_scaled(g.min_load, static_cast<float>(gmin * 100.0f), "最小载荷", rep);
  g.reserved_36 = {};
  if (auto p = num_parse(st.Text3[result_box::kRodPower]); p && std::fabs(*p) <= 3.4e38) {
    g.rod_power = static_cast<float>(*p);
  } else {
    rep.unstored.emplace_back("光杆功率");
  }
  g.joint_flag = 1;
  put_scaled(g.theo_stroke, num_val(st.Text1[appended_box::kTheoStroke]) * 1000.0, "标称冲程", rep);
  put_scaled(g.theo_max_load, num_val(st.Text1[appended_box::kTheoMaxLoad]) * 100.0, "理论最大负荷", rep);
  put_scaled(g.theo_min_load, num_val(st.Text1[appended_box::kTheoMinLoad]) * 100.0, "理论最小负荷", rep);

  // The stored position is the height above the lowest point of the stroke; the charts and
  // the analysis windows see the shifted samples too.
  float smin = 32767.0f;
  for (int i = 0; i < gn; ++i) smin = std::min(smin, st.sss[i]);
  for (int i = 0; i < gn; ++i) st.sss[i] -= smin;

  std::array<float, 33> a{}, b{};
  Fourier_Coef(st.sss.data(), static_cast<std::int16_t>(gn), 16, a.data(), b.data());
  std::copy_n(b.begin(), 16, g.ss_sin.begin());
  std::copy_n(a.begin(), 16, g.ss_cos.begin());
  a.fill(0.0f);
  b.fill(0.0f);
  Fourier_Coef(st.ggs.data(), static_cast<std::int16_t>(gn), 32, a.data(), b.data());
  std::copy_n(b.begin(), 32, g.gg_sin.begin());
  std::copy_n(a.begin(), 32, g.gg_cos.begin());

  // The electric record.
  DntRecord& d = st.dnt_rec;
  d = DntRecord{};
  d.well_name = g.well_name;
  d.test_date = g.test_date;
  d.test_date_raw = g.test_date_raw;
  d.point_num = st.iu_num;
  put_scaled(d.avg_current, num_val(st.Text3[result_box::kAvgCurrent]) * 100.0, "平均电流", rep);
  put_scaled(d.avg_voltage, num_val(st.Text3[result_box::kAvgVoltage]) * 50.0, "平均电压", rep);
  put_scaled(d.input_power, num_val(st.Text3[result_box::kInputPower]) * 100.0, "输入功率", rep);
  put_scaled(d.reactive_power, num_val(st.Text3[result_box::kReactivePower]) * 100.0, "无功功率", rep);
  put_scaled(d.apparent_power, num_val(st.Text3[result_box::kApparentPower]) * 100.0, "视在功率", rep);
  put_scaled(d.power_factor, num_val(st.Text3[result_box::kPowerFactor]) * 10000.0, "功率因数", rep);
  std::optional<double> first, second;
  split_pair(st.Text3[result_box::kMaxCurrentUpDown], first, second);
  put_pair_part(d.max_current_up, first, "工作电流(上半冲程)", rep);
  put_pair_part(d.max_current_down, second, "工作电流(下半冲程)", rep);
  put_scaled(d.rms_current, num_val(st.Text3[result_box::kRmsCurrent]) * 100.0, "均方电流", rep);
  split_pair(st.Text3[result_box::kAvgPowerUpDown], first, second);
  put_pair_part(d.avg_power_up, first, "工作功率(上半冲程)", rep);
  put_pair_part(d.avg_power_down, second, "工作功率(下半冲程)", rep);
  put_scaled(d.rms_power, num_val(st.Text3[result_box::kRmsPower]) * 100.0, "均方功率", rep);
  d.wiring_mode = st.org_head.wiring_mode;
  d.reserved_62 = d.reserved_64 = d.reserved_66 = 0;

  const std::pair<const SampleArray*, std::pair<float*, float*>> curves[] = {
      {&st.iis, {d.ii_sin.data(), d.ii_cos.data()}},
      {&st.uus, {d.uu_sin.data(), d.uu_cos.data()}},
      {&st.pps, {d.pp_sin.data(), d.pp_cos.data()}},
  };
  for (const auto& [arr, dst] : curves) {
    a.fill(0.0f);
    b.fill(0.0f);
    Fourier_Coef(arr->data(), static_cast<std::int16_t>(un), 32, a.data(), b.data());
    std::copy_n(b.begin(), 32, dst.first);
    std::copy_n(a.begin(), 32, dst.second);
  }
  return rep;
}

std::string unstored_fields_message(const RecordBuildReport& report) {
  if (report.unstored.empty()) return {};
  std::string list;
  for (const auto& f : report.unstored) {
    if (!list.empty()) list += "、";
    list += f;
  }
  return kUnstoredZeroedText + list;
}

}  // namespace wb
