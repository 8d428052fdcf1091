#include "core/design/workbench/design_takeover.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"
#include "core/common/trim.h"
#include "core/design/engine/design_number.h"
#include "core/design/workbench/design_record_boxes.h"

namespace wb::design {

namespace {

// Diagnosis box → design box whose record field takes the value, in the order they are read.
struct Takeover {
  int diag;  // Text1 index; -5 and -6 for the load boxes Text5 and Text6
  BoxArray box;
  int index;
};
constexpr int kMaxLoadBox = -5, kMinLoadBox = -6;
constexpr Takeover kTableA[] = {
    {7, BoxArray::Text6, 7},    {18, BoxArray::Text6, 10}, {19, BoxArray::Text6, 11}, {40, BoxArray::Text6, 4},
    {46, BoxArray::Text6, 3},   {8, BoxArray::Text6, 5},   {9, BoxArray::Text6, 6},   {1, BoxArray::Text3, 24},
    {10, BoxArray::Text3, 7},   {11, BoxArray::Text3, 8},  {12, BoxArray::Text3, 9},  {13, BoxArray::Text3, 10},
    {2, BoxArray::Text3, 6},    {37, BoxArray::Text3, 26}, {22, BoxArray::Text3, 2},  {16, BoxArray::Text3, 1},
    {14, BoxArray::Text3, 4},   {15, BoxArray::Text3, 5},  {kMaxLoadBox, BoxArray::Text6, 16},
    {kMinLoadBox, BoxArray::Text6, 17}, {43, BoxArray::Text6, 2}, {44, BoxArray::Text6, 1},
    {17, BoxArray::Text6, 0},   {45, BoxArray::Text6, 8},  {20, BoxArray::Text6, 12}, {6, BoxArray::Text3, 0},
    {5, BoxArray::Text3, 3},    {47, BoxArray::Text6, 15}, {49, BoxArray::Text6, 14}, {51, BoxArray::Text6, 9},
    {23, BoxArray::Text6, 13}};
// Powers copied as the decimal text of the number read: diagnosis box → Text6 box.
constexpr int kTableB[][2] = {{52, 20}, {53, 21}, {54, 22}, {55, 25}};
// The Text3 boxes filled from design_pre: 0..6, 26, 24, 7..10.
constexpr int kPreBoxes[] = {0, 1, 2, 3, 4, 5, 6, 26, 24, 7, 8, 9, 10};

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

std::int16_t LoadFromDiagnosis(DesignState& st, const DiagnosisView& diag, DesignControls& controls) {
  st.JName_Comb = diag.Text1(3);
  st.Date_Comb = diag.Text1(4);
  if (trim_blanks(st.JName_Comb).empty()) {
    controls.beep();
    return 0;
  }
  std::string well = st.JName_Comb;
  std::int16_t dda = 0;
  diag.cygsj(well, dda);
  if (dda == 3) return 0;
  st.Date_Comb = diag.Text1(4);

  Bytes b = st.cur_design.encode();
  for (const Takeover& t : kTableA)
    if (const BoxField* f = find_box(t.box, t.index)) put_value(b, *f, num_val(diag_text(diag, t.diag)));
  st.cur_design.decode(b);
  const RodDesignRecord& r = st.cur_design;

  for (int box : kPreBoxes) st.Text3[static_cast<std::size_t>(box)] = field_box_text(b, *find_box(BoxArray::Text3, box));
  st.Text3[11].clear();

  const float eta = stroke_pump_eff(num_val(st.Text3[0]), r.design_pre[3], r.design_pre[5], r.well_data[10],
                                    num_val(diag.Text1(0)));
  st.Label3[3] = num_text_f(eta);
  const double v = design_pump_eff(eta, st.Text2);
  // Packed from the caption's text, as a save packs it.
  st.cur_design.pump_eff_pack = f32(num_val(st.Label3[3]) * 1000.0 + v);

  for (const BoxField& f : well_boxes())
    if (f.index <= 17) controls.set_Text6(st, f.index, field_box_text(b, f));
  for (const auto& p : kTableB) controls.set_Text6(st, p[1], num_text(num_val(diag.Text1(p[0]))));
  controls.Text6_Change(st, 17);
  return 5;
}

}  // namespace wb::design
