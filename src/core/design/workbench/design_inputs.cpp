// Derived well values, the keys of the design boxes and the option clicks.
//
// Text6_Change works as the window always has: the oil density, the liquid density and the
// load factors in single precision, the loads in double. A step that cannot be computed
// (a division by 0, a result beyond the range of its type) is skipped: a skipped load factor
// keeps its previous value, a skipped lift or load counts as 0, and the factors' limits
// still apply afterwards.
#include <cmath>
#include <limits>
#include <optional>

#include "core/common/number_text.h"
#include "core/common/physical.h"
#include "core/design/engine/rod_sizes.h"
#include "core/design/workbench/design_window_core.h"

namespace wb::design {
namespace {

constexpr double kDynamicDivisor = 1790;
constexpr float kLeastUpFactor = 1.0f;
constexpr float kLeastDownFactor = 0.7f;  // the single-precision value nearest to 0.7

bool finite(double x) { return std::isfinite(x); }

std::optional<double> divide(double a, double b) {
  if (b == 0) return std::nullopt;
  const double q = a / b;
  if (!finite(q)) return std::nullopt;
  return q;
}

// Single precision of a value that fits; none when it overflows.
std::optional<float> single(double x) {
  if (!finite(x) || std::fabs(x) > std::numeric_limits<float>::max()) return std::nullopt;
  return static_cast<float>(x);
}

// Tab order of the design boxes: before boxes top to bottom, then after boxes. Positions
// count from 1 to kTabPositions.
using namespace design_box;
constexpr int kTabPositions = 26;
constexpr int kTabOrder[kTabPositions] = {
    kRateBefore,    kLevelBefore,     kPumpDepthBefore, kBoreBefore,     kStrokeBefore,    kSpmBefore,
    kSinkerDiaBefore, kSinkerLenBefore, kRods58Before, kRods34Before,    kRods78Before,    kRods1Before,
    kRods118Before, kRateAfter,       kLevelAfter,      kPumpDepthAfter, kBoreAfter,       kStrokeAfter,
    kSpmAfter,      kSinkerDiaAfter,  kSinkerLenAfter,  kRods58After,    kRods34After,     kRods78After,
    kRods1After,    kRods118After};

// Grade options 4..7 and their minimum allowed stress, MPa.
constexpr int kGradeStress[4] = {620, 794, 588, 890};

}  // namespace

// ---------------------------------------------------------------- derived well values

void Text6_Change(DesignState& st, int index) {
  switch (index) {
    case well_box::kOilDensitySurface: case well_box::kOilDensityDown: case well_box::kWaterCut:
    case well_box::kTubingPressure: case well_box::kCasingPressure: case well_box::kMaxLoad: case well_box::kMinLoad:
      break;
    default: return;
  }
  auto v6 = [&](int i) { return num_val(st.Text6[static_cast<std::size_t>(i)]); };
  auto v3 = [&](int i) { return num_val(st.Text3[static_cast<std::size_t>(i)]); };

  const double fw = v6(well_box::kWaterCut) / 100;
  const float rho_o = single((v6(well_box::kOilDensitySurface) + v6(well_box::kOilDensityDown)) / 2).value_or(0.0f);
  const float rho = single(rho_o * (1 - fw) + fw).value_or(0.0f);
  if (auto b = single((kSteelDensity - rho) / kSteelDensity)) st.buoy_factor = *b;

  const double D = v3(design_box::kBoreBefore), L = v3(design_box::kPumpDepthBefore);
  const double S = v3(design_box::kStrokeBefore), N = v3(design_box::kSpmBefore);
  constexpr int kLengthBoxes[5] = {design_box::kRods58Before, design_box::kRods34Before, design_box::kRods78Before,
                                   design_box::kRods1Before, design_box::kRods118Before};  // 5/8" .. 1-1/8"
  for (int j = 0; j < 5; ++j) {
    if (auto len = single(v3(kLengthBoxes[j]))) st.section_len[static_cast<std::size_t>(j)] = *len;
  }
  const double pt = v6(well_box::kTubingPressure), pc = v6(well_box::kCasingPressure);

  for (std::size_t j = 0; j < kRodSizes.size(); ++j) {
    const double r = kRodSizes[j].dia / 2;
    st.rod_area[j] = static_cast<float>(kPi14 * r * r);
  }

  double W = 0;
  for (std::size_t j = 0; j < 5; ++j)
    W += static_cast<double>(st.section_len[j]) * kRodSizes[j].weight * static_cast<double>(st.buoy_factor);
  if (!finite(W)) W = 0;

  double H = 0;
  if (auto q = divide((pt - pc) * 1000, rho)) {
    if (auto h = divide(*q, kGravity); h && finite(L + *h)) H = L + *h;
  }
  double Wl = kPi14 * (D / 2000) * (D / 2000) * H * rho * kGravity;
  if (!finite(Wl)) Wl = 0;

  const double dyn = S * N * N / kDynamicDivisor;
  double Pmax = (W + Wl) * (1 + dyn);
  double Pmin = W * (1 - dyn);
  if (!finite(Pmax)) Pmax = 0;
  if (!finite(Pmin)) Pmin = 0;

  if (auto f = divide(v6(well_box::kMaxLoad), Pmax)) {
    if (auto s = single(*f)) st.load_factor_up = *s;
  }
  if (auto f = divide(v6(well_box::kMinLoad), Pmin)) {
    if (auto s = single(*f)) st.load_factor_down = *s;
  }
  if (!(st.load_factor_up >= kLeastUpFactor)) st.load_factor_up = kLeastUpFactor;
  if (!(st.load_factor_down >= kLeastDownFactor)) st.load_factor_down = kLeastDownFactor;

  st.Text6[well_box::kLoadFactorUp] = num_text_f(st.load_factor_up);
  st.Text6[well_box::kLoadFactorDown] = num_text_f(st.load_factor_down);
}

void set_Text6(DesignState& st, int index, const std::string& text) {
  if (index < 0 || index >= static_cast<int>(st.Text6.size())) return;
  auto& box = st.Text6[static_cast<std::size_t>(index)];
  if (box == text) return;
  box = text;
  Text6_Change(st, index);
}

int text3_tab_position(int i) {
  for (int t = 0; t < kTabPositions; ++t)
    if (kTabOrder[t] == i) return t + 1;
  return 0;
}

int text3_at_position(int t) { return t >= 1 && t <= kTabPositions ? kTabOrder[t - 1] : -1; }

// ---------------------------------------------------------------- keys

void DesignWindowCore::focus_text3(int i) {
  st_.text3_focus = i;
  st_.other_focus = 0;
}

void DesignWindowCore::focus_other(int box) {
  st_.text3_focus = -1;
  st_.other_focus = box;
}

void DesignWindowCore::Text3_KeyDown(int i, int key_code) {
  int t = text3_tab_position(i);
  if (t == 0) return;
  if (key_code == kKeyUp && t > 1) --t;
  else if (key_code == kKeyDown && t < kTabPositions) ++t;
  else if (key_code != kKeyUp && key_code != kKeyDown) return;
  focus_text3(text3_at_position(t));
}

void DesignWindowCore::Text3_KeyPress(int i, int key_ascii) {
  if (key_ascii == kEnterKey) enter(i);
}

void DesignWindowCore::enter(int i) {
  switch (i) {
    case kRateBefore: case kLevelBefore: case kPumpDepthBefore: case kBoreBefore: case kStrokeBefore:
    case kSpmBefore: case kSinkerLenBefore: case kRods1Before: case kRods78Before: case kRods34Before:
    case kRods58Before: case kRods118Before: case kSinkerDiaBefore:
      Text6_Change(st_, well_box::kMinLoad);
      return;
    case kRateAfter: case kLevelAfter: case kPumpDepthAfter: case kBoreAfter: case kStrokeAfter:
      steps_->DesignForMutual(i);
      focus_text3(i + 1);
      return;
    case kSpmAfter:
      steps_->DesignForMutual(kSpmAfter);
      focus_text3(kSinkerDiaAfter);
      return;
    case kSinkerLenAfter:
      steps_->DesignForMutual(kSinkerLenAfter);
      focus_text3(kRods58After);
      return;
    case kSinkerDiaAfter:
      focus_text3(kSinkerLenAfter);
      return;
    case kRods1After: case kRods78After: case kRods34After: case kRods58After:
      rod_length_rule(i);
      return;
    default:
      return;  // the back-off tool depths and the 1-1/8" length run nothing
  }
}

void DesignWindowCore::rod_length_rule(int k) {
  double s = num_val(st_.Text3[design_box::kSinkerLenAfter]);
  // The after boxes of the lengths run 22 (5/8") down to 19 (1"), from the bottom section up.
  for (int j = kRods58After; j >= k; --j) s += num_val(st_.Text3[static_cast<std::size_t>(j)]);
  if (s < num_val(st_.Text3[design_box::kPumpDepthAfter])) {
    steps_->DesignForMutual(k);
    focus_text3(k == kRods1After ? kRods118After : k - 1);
  } else {
    steps_->DesignForMutual(k == kRods58After ? kSinkerLenAfter : k + 1);
  }
}

void DesignWindowCore::Text2_KeyPress(int key_ascii) {
  if (key_ascii != kEnterKey) return;
  enter(kBoreAfter);
  focus_text3(kStrokeAfter);
}

void DesignWindowCore::Text4_KeyPress(int key_ascii) {
  if (key_ascii != kEnterKey) return;
  enter(kSinkerLenAfter);
  focus_other(5);
}

void DesignWindowCore::Text5_KeyPress(int key_ascii) {
  if (key_ascii != kEnterKey) return;
  const double f = num_val(st_.Text5);
  if (!(f >= 0.5 && f <= 1)) {
    msg_.show(kServiceFactorMessage, "", MsgButtons::Ok);
    return;
  }
  enter(kSinkerLenAfter);
  focus_other(4);
}

// ---------------------------------------------------------------- options

void DesignWindowCore::Option2_Click() {
  mode_enables(true);
  enter(kSinkerLenAfter);
}

void DesignWindowCore::Option3_Click() {
  mode_enables(false);
  enter(kSinkerLenAfter);
}

void DesignWindowCore::Option1_Click(int) { enter(kSinkerLenAfter); }

void DesignWindowCore::grade_Click(int option) {
  if (option >= 4 && option <= 7) {
    st_.Text4 = std::to_string(kGradeStress[option - 4]);
    enter(kSinkerLenAfter);
  } else if (option == 8) {
    focus_other(4);
  }
}

void DesignWindowCore::mode_enables(bool lightest) {
  st_.series_enabled = !lightest;
  st_.grades_enabled = lightest;
}

void DesignWindowCore::select_Option1(int index, OptionClick click) {
  if (index != 0 && index != 1) return;
  if (st_.Option1 == index) return;
  st_.Option1 = index;
  if (click == OptionClick::Runs) Option1_Click(index);
}

void DesignWindowCore::select_mode(bool lightest, OptionClick click) {
  if (st_.Option2 == lightest) return;
  st_.Option2 = lightest;
  if (click == OptionClick::Quiet) mode_enables(lightest);
  else if (lightest) Option2_Click();
  else Option3_Click();
}

void DesignWindowCore::select_grade(int option, OptionClick click) {
  if (option < 4 || option > 8) return;
  if (st_.rod_grade == option) return;
  st_.rod_grade = option;
  if (click == OptionClick::Runs) grade_Click(option);
  else if (option <= 7) st_.Text4 = std::to_string(kGradeStress[option - 4]);
}

}  // namespace wb::design
