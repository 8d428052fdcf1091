#include "core/design/workbench/design_takeover.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "core/common/number_text.h"
#include "core/common/trim.h"
#include "core/design/engine/design_number.h"
#include "core/design/workbench/design_record_boxes.h"
#include "core/diagnosis/diag_box.h"

namespace wb::design {

namespace {

// Diagnosis box → design box whose record field takes the value, in the order they are read.
struct Takeover {
  int diag;  // diag_box index of Text1; -5 and -6 for the load boxes Text5 and Text6
  BoxArray box;
  int index;
};
constexpr int kMaxLoadBox = -5, kMinLoadBox = -6;
constexpr Takeover kTableA[] = {
    {diag_box::kWaterCut, BoxArray::Text6, well_box::kWaterCut},
    {diag_box::kTubingPressure, BoxArray::Text6, well_box::kTubingPressure},
    {diag_box::kCasingPressure, BoxArray::Text6, well_box::kCasingPressure},
    {diag_box::kViscosity, BoxArray::Text6, well_box::kOilViscosityDown},
    {diag_box::kGasOilRatio, BoxArray::Text6, well_box::kGasOilRatio},
    {diag_box::kOilDensitySurface, BoxArray::Text6, well_box::kOilDensitySurface},
    {diag_box::kOilDensityDownhole, BoxArray::Text6, well_box::kOilDensityDown},
    {diag_box::kRods118, BoxArray::Text3, design_box::kRods118Before},
    {diag_box::kRods1, BoxArray::Text3, design_box::kRods1Before},
    {diag_box::kRods78, BoxArray::Text3, design_box::kRods78Before},
    {diag_box::kRods34, BoxArray::Text3, design_box::kRods34Before},
    {diag_box::kRods58, BoxArray::Text3, design_box::kRods58Before},
    {diag_box::kSinkerLen, BoxArray::Text3, design_box::kSinkerLenBefore},
    {diag_box::kSinkerDia, BoxArray::Text3, design_box::kSinkerDiaBefore},
    {diag_box::kPumpDepth, BoxArray::Text3, design_box::kPumpDepthBefore},
    {diag_box::kFluidLevel, BoxArray::Text3, design_box::kLevelBefore},
    {diag_box::kStroke, BoxArray::Text3, design_box::kStrokeBefore},
    {diag_box::kSpm, BoxArray::Text3, design_box::kSpmBefore},
    {kMaxLoadBox, BoxArray::Text6, well_box::kMaxLoad},
    {kMinLoadBox, BoxArray::Text6, well_box::kMinLoad},
    {diag_box::kBubblePressure, BoxArray::Text6, well_box::kBubblePressure},
    {diag_box::kFlowingPressure, BoxArray::Text6, well_box::kFlowingPressure},
    {diag_box::kStaticPressure, BoxArray::Text6, well_box::kStaticPressure},
    {diag_box::kProductivity, BoxArray::Text6, well_box::kProductivity},
    {diag_box::kLayerMidDepth, BoxArray::Text6, well_box::kLayerMidDepth},
    {diag_box::kLiquid, BoxArray::Text3, design_box::kRateBefore},
    {diag_box::kBore, BoxArray::Text3, design_box::kBoreBefore},
    {diag_box::kEffectiveStroke, BoxArray::Text6, well_box::kEffectiveStroke},
    {diag_box::kPlungerStroke, BoxArray::Text6, well_box::kPlungerStroke},
    {diag_box::kWellheadTemp, BoxArray::Text6, well_box::kWellheadTemp},
    {diag_box::kTubingInnerDia, BoxArray::Text6, well_box::kTubingInnerDia},
};
// Powers copied as the decimal text of the number read: diagnosis box → Text6 box.
constexpr int kTableB[][2] = {
    {diag_box::kInputPower, well_box::kInputPower},
    {diag_box::kRodPower, well_box::kRodPower},
    {diag_box::kUsefulPower, well_box::kUsefulPower},
    {diag_box::kRmsPower, well_box::kRmsPower}};
// The Text3 boxes filled from design_pre, in its order.
constexpr int kPreBoxes[] = {
    design_box::kRateBefore, design_box::kLevelBefore, design_box::kPumpDepthBefore, design_box::kBoreBefore,
    design_box::kStrokeBefore, design_box::kSpmBefore, design_box::kSinkerLenBefore, design_box::kSinkerDiaBefore,
    design_box::kRods118Before, design_box::kRods1Before, design_box::kRods78Before, design_box::kRods34Before,
    design_box::kRods58Before};

std::string diag_text(const DiagnosisView& diag, int box) {
  if (box == kMaxLoadBox) return diag.Text5();
  if (box == kMinLoadBox) return diag.Text6();
  return diag.Text1(box);
}

// A diagnosis value into its record field: float32 saturated, int16 rounded half to even and
// held to its range.
void put_value(Bytes& b, const BoxField& f, double v) {
  ByteWriter w(b);
  if (f.kind == FieldKind::I16) {
    const long long n = round_even(v);
    w.i16(f.offset, static_cast<std::int16_t>(std::clamp<long long>(n, -32768, 32767)));
  } else {
    w.f32(f.offset, f32(v));
  }
}

}  // namespace

float stroke_pump_eff(double Q, float D, float N, float Se, double fallback) {
  double eta = fallback;
  if (D > 0 && N > 0 && Se > 0) {
    const double r = D / 2000.0;
    eta = Q / (r * r * kDailyDisplacement * N * Se);
  }
  const float single = f32(eta);
  return f32(std::floor(static_cast<double>(single) * 1000.0 + 0.5) / 1000.0);
}

double design_pump_eff(float eta, std::string& text) {
  if (eta < 0.5f || eta > 0.9f) {
    const double v = eta < 0.5f ? 0.5 : 0.9;
    text = num_text(std::floor(v * 1000.0) / 1000.0);
    return v;
  }
  // Formed in single precision, so 0.816 stays 0.816.
  const float cut = std::floor(eta * 1000.0f) / 1000.0f;
  text = num_text_f(cut);
  return eta;
}

DesignOutcome LoadFromDiagnosis(DesignState& st, const DiagnosisView& diag, DesignControls& controls) {
  st.JName_Comb = diag.Text1(diag_box::kWell);
  st.Date_Comb = diag.Text1(diag_box::kDate);
  if (trim_blanks(st.JName_Comb).empty()) {
    controls.beep();
    return DesignOutcome::refused;
  }
  std::string well = st.JName_Comb;
  std::int16_t dda = 0;
  diag.cygsj(well, dda);
  if (dda == 3) return DesignOutcome::refused;
  st.Date_Comb = diag.Text1(diag_box::kDate);

  Bytes b = st.cur_design.encode();
  for (const Takeover& t : kTableA)
    if (const BoxField* f = find_box(t.box, t.index)) put_value(b, *f, num_val(diag_text(diag, t.diag)));
  std::ignore = st.cur_design.decode(b);  // b was encoded whole just above
  const RodDesignRecord& r = st.cur_design;

  for (int box : kPreBoxes) st.Text3[static_cast<std::size_t>(box)] = field_box_text(b, *find_box(BoxArray::Text3, box));
  st.Text3[design_box::kBackOffBefore].clear();

  const float eta = stroke_pump_eff(num_val(st.Text3[design_box::kRateBefore]), r.design_pre[3], r.design_pre[5],
                                    r.well_data[10], num_val(diag.Text1(diag_box::kPumpEfficiency)));
  st.Label3[design_label::kStrokePumpEff] = num_text_f(eta);
  const double v = design_pump_eff(eta, st.Text2);
  // Packed from the caption's text, as a save packs it.
  st.cur_design.pump_eff_pack = f32(num_val(st.Label3[design_label::kStrokePumpEff]) * 1000.0 + v);

  for (const BoxField& f : well_boxes())
    if (f.index <= 17) controls.set_Text6(st, f.index, field_box_text(b, f));
  for (const auto& p : kTableB) controls.set_Text6(st, p[1], num_text(num_val(diag.Text1(p[0]))));
  controls.Text6_Change(st, well_box::kMinLoad);
  return DesignOutcome::done;
}

}  // namespace wb::design
