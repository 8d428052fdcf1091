#include "core/efficiency/effi_hand_over.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"
#include "core/common/stroke.h"
#include "core/common/trim.h"
#include "core/efficiency/effi_rescale.h"
#include "core/efficiency/effi_records.h"
#include "core/records/drawn_test.h"
#include "core/records/gt_ym_checks.h"
#include "core/efficiency/sys_effi_state.h"

namespace wb {

using namespace effi_box;  // Text1 by name

namespace {

std::vector<float> copy_samples(const SampleArray& a, int count) {
  return std::vector<float>(a.begin(), a.begin() + count);
}

}  // namespace

void effi_hand_over(SysEffiState& s, const SampleArray& uus1, const SampleArray& iis1, const SampleArray& pps1,
                    const SampleArray& qqs1, const SampleArray& sss1, const SampleArray& ggs1, std::int16_t gt_num1,
                    std::int16_t iu_num1, std::int16_t cs_fs1, std::int16_t read_sgt_dnt_org1,
                    const std::array<std::string, 6>& main_Text1, const std::array<std::string, 16>& main_Text3) {
  // The arrays hold indices 0..kMaxSamples; a count beyond that cannot be a stroke of them.
  s.gt_num = std::clamp<std::int16_t>(gt_num1, 0, kMaxSamples);
  s.iu_num = std::clamp<std::int16_t>(iu_num1, 0, kMaxSamples);
  s.cs_fs = cs_fs1;
  s.read_sgt_dnt_org = read_sgt_dnt_org1;

  EffiBoxes& T = s.Text1;
  T[kWell] = main_Text1[appended_box::kWell];
  T[kTestTime] = main_Text1[appended_box::kTestDate];
  T[kInputPower] = main_Text3[result_box::kInputPower];
  T[kRodPower] = main_Text3[result_box::kRodPower];
  T[kMaxCurrentPair] = main_Text3[result_box::kMaxCurrentUpDown];
  T[kMeanPowerPair] = main_Text3[result_box::kAvgPowerUpDown];
  // Average voltage through the measured stroke rate, in the order of the result boxes.
  for (int k = result_box::kAvgVoltage; k <= result_box::kMeasuredSpm; ++k)
    T[kMeanVoltage + k - result_box::kAvgVoltage] = trim_blanks(main_Text3[k]);
  for (int b : kEffiResultBoxes) T[b].clear();

  const auto iu = static_cast<std::size_t>(s.iu_num) + 1;
  const auto gt = static_cast<std::size_t>(s.gt_num) + 1;
  if (s.iu_num >= kMinStrokePoints) {
    s.uus = copy_samples(uus1, static_cast<int>(iu));
    s.iis = copy_samples(iis1, static_cast<int>(iu));
    s.pps = copy_samples(pps1, static_cast<int>(iu));
    s.qqs = copy_samples(qqs1, static_cast<int>(iu));
  } else {
    s.uus.assign(iu, 0.0f);
    s.iis.assign(iu, 0.0f);
    s.pps.assign(iu, 0.0f);
    s.qqs.assign(iu, 0.0f);
  }
  s.sss.assign(gt, 0.0f);
  s.ggs.assign(gt, 0.0f);
  if (s.gt_num >= kMinStrokePoints) {
    float largest = -9999, smallest = 9999;  // kN
    for (std::size_t i = 0; i + 1 < gt; ++i) {
      s.sss[i] = sss1[i];
      s.ggs[i] = ggs1[i];
      if (ggs1[i] > largest) largest = ggs1[i];
      if (ggs1[i] < smallest) smallest = ggs1[i];
    }
    T[kRealMaxLoad] = num_text_f(largest);
    T[kRealMinLoad] = num_text_f(smallest);
  }
  // Always the main window's input power, whatever the efficiency library holds.
  s.Pin_Ref = to_single(num_val(main_Text3[result_box::kInputPower]));
}

CarryForward carry_forward_base_data(SysEffiState& s, const std::filesystem::path& Effi_File) {
  std::vector<GtYmRecord> records;
  std::vector<GtYmCheck> checks;
  switch (read_checked_gt_ym_records(Effi_File, records, checks)) {
    case StoreStatus::Ok: break;
    case StoreStatus::Damaged:
    case StoreStatus::IoError: return CarryForward::Unreadable;
  }
  EffiBoxes& T = s.Text1;
  const std::string well = trim_blanks(T[kWell]);
  for (std::size_t i = records.size(); i > 0; --i) {
    if (trim_blanks(records[i - 1].well_name) != well) continue;
    // A refused record is no record of the well; damaged fields carry forward blank (both
    // named when the library was opened).
    const GtYmCheck& check = checks[i - 1];
    if (!check.usable()) continue;
    GtYmRecord rec = records[i - 1];
    blank_damaged_fields(rec, check);
    EffiBoxTexts stored;
    gt_ym_to_boxes(rec, stored);
    for (int b = kBlock; b <= kNomSpm; ++b) T[static_cast<std::size_t>(b)] = stored[static_cast<std::size_t>(b)];
    for (int b : {kRods118, kSinkerLen, kSinkerDia}) T[static_cast<std::size_t>(b)] = stored[static_cast<std::size_t>(b)];
    return CarryForward::Carried;
  }
  return CarryForward::NoRecord;
}

BoxLeft effi_box_left(SysEffiState& s, int index, std::array<std::string, 16>& main_Text3) {
  EffiBoxes& T = s.Text1;
  auto B = [&T](int i) { return num_val(T[i]); };
  switch (index) {
    case kLiquidRate:
    case kWaterCut:
      if (trim_blanks(T[kLiquidRate]).empty() || trim_blanks(T[kWaterCut]).empty()) T[kOilRate].clear();
      else T[kOilRate] = num_text(std::floor(B(kLiquidRate) * (1 - B(kWaterCut) / 100) * 10 + 0.5) / 10);
      return BoxLeft::Derived;
    case kPumpDepth:
      T[kSubmergence] = num_text(std::floor((B(kPumpDepth) - B(kFluidLevel)) * 10 + 0.5) / 10);
      return BoxLeft::Derived;
    case kInputPower: {
      if (!has_electric_stroke(s.read_sgt_dnt_org)) return BoxLeft::Nothing;
      const float p = to_single(B(kInputPower));
      if (s.Pin_Ref == 0 || p == 0 || !std::isfinite(p)) return BoxLeft::Nothing;
      const float factor = p / s.Pin_Ref;
      s.Pin_Ref = p;
      Recalc_Pow_Param(s, factor, main_Text3);
      return BoxLeft::Rescaled;
    }
    default:
      return BoxLeft::Nothing;
  }
}

}  // namespace wb
