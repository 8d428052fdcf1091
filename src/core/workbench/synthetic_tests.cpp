#include "core/workbench/synthetic_tests.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/common/fourier.h"
#include "core/common/record_store.h"
#include "core/common/number_text.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/diagnosis/inflow.h"
#include "core/efficiency/gt_ym_record.h"
#include "core/common/test_records.h"
#include "core/design/engine/survey_file.h"
#include "core/workbench/org_decode.h"
#include "core/workbench/test_state.h"

namespace wb {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kG = 9.81;         // m/s^2
constexpr double kDt = 0.02;        // s per sample
constexpr double kLinkage = 0.12;   // second-harmonic share of the polished-rod motion

// Deterministic noise in [-1, 1] (xorshift32).
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : s_(seed ? seed : 0x9E3779B9u) {}
  double next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return static_cast<double>(s_) / 2147483647.5 - 1.0;
  }

 private:
  std::uint32_t s_;
};

double smoothstep(double x) {
  x = std::clamp(x, 0.0, 1.0);
  return x * x * (3.0 - 2.0 * x);
}

std::int16_t raw16(double v) { return static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L)); }

}  // namespace

Bytes make_synthetic_joint_test(const SyntheticJointParams& p) {
  const int count = std::max(p.sample_count, 0);
  const int period = std::max(p.period, 2);
  Bytes out(kOrgSamplesOffset + kOrgSampleSize * static_cast<std::size_t>(count), 0);

  OrgFileHeader h;
  h.raw.fill(' ');
  h.test_date = p.test_date;
  h.sample_count = static_cast<std::int16_t>(std::min(count, 32767));
  h.wiring_mode = p.wiring_mode;
  h.well_name = p.well_name;
  Bytes head = h.encode();
  std::copy(head.begin(), head.end(), out.begin());

  const double S = p.stroke;
  const double F = p.fluid_load;
  const double cb = p.counterbalance >= 0 ? p.counterbalance : p.rod_weight + F / 2.0;
  const double w = 2.0 * kPi / (period * kDt);  // crank speed, rad/s
  const double k = wiring_factor(p.wiring_mode);
  Noise noise(p.seed);

  ByteWriter wr(out);
  for (int i = 0; i < count; ++i) {
    const double th = 2.0 * kPi * (static_cast<double>(i) / period + p.phase);
    // Polished-rod motion: 0 at th = 0, S at th = pi. The linkage makes the crank angle
    // reach the rod unevenly (tp = th - e sin th), so up- and downstroke differ in speed.
    const double tp = th - kLinkage * std::sin(th);
    const double dtp = 1.0 - kLinkage * std::cos(th);
    const double pos = S / 2.0 * (1.0 - std::cos(tp));
    const double vel = w * S / 2.0 * std::sin(tp) * dtp;  // m/s
    const double acc = w * w * S / 2.0 * (std::cos(tp) * dtp * dtp + std::sin(tp) * kLinkage * std::sin(th));

    const double frac = std::fmod(std::fmod(th / (2.0 * kPi), 1.0) + 1.0, 1.0);  // 0..1 over the stroke
    const bool up = frac < 0.5;
    // The fluid load moves onto the rods over the stretch at the start of the upstroke and
    // off them over the stretch at the start of the downstroke.
    const double carried = up ? smoothstep(pos / p.stretch) : 1.0 - smoothstep((S - pos) / p.stretch);
    const double half = up ? frac / 0.5 : (frac - 0.5) / 0.5;
    const double vib = 0.05 * F * std::exp(-4.0 * half) * std::sin(2.0 * kPi * 6.0 * half) * (up ? 1.0 : -1.0);
    const double static_load = p.rod_weight + F * carried;
    const double load = static_load * (1.0 + acc / kG) + vib;

    // Shaft power through the motor (generating on a negative net torque).
    const double shaft = (load - cb) * vel;  // kW
    double power = shaft >= 0 ? shaft / p.motor_efficiency : shaft * p.motor_efficiency;
    power += p.motor_losses;
    double cur_active = std::fabs(power) * 1000.0 / (k * p.voltage);
    double current = std::sqrt(cur_active * cur_active + p.magnetising_current * p.magnetising_current);
    double volt = p.voltage - p.line_drop * current;

    const double n = p.noise;
    const double pos_n = pos + p.position_offset + n * 0.001 * noise.next();
    const double load_n = load + n * 0.15 * noise.next();
    current += n * 0.15 * noise.next();
    volt += n * 0.6 * noise.next();
    power += n * 0.04 * noise.next();
    if (p.reverse_power) power = -power;

    const std::size_t off = kOrgSamplesOffset + kOrgSampleSize * static_cast<std::size_t>(i);
    wr.i16(off, raw16(current * 100.0));
    wr.i16(off + 2, static_cast<std::int16_t>(static_cast<std::uint16_t>(std::clamp(std::lround(volt * 50.0), 0L, 65535L))));
    wr.i16(off + 4, raw16(power * 100.0));
    wr.i16(off + 6, raw16(pos_n * 1000.0));
    wr.i16(off + 8, raw16(load_n * 100.0));
  }
  return out;
}

bool write_synthetic_joint_test(const std::filesystem::path& path, const SyntheticJointParams& p) {
  return write_file_atomic(path, make_synthetic_joint_test(p));
}

SgtRecord make_synthetic_card(const SyntheticJointParams& p, int points) {
  SyntheticJointParams one = p;
  one.period = std::clamp(points, 2, kMaxSamples);
  one.sample_count = one.period;
  one.phase = 0;
  one.noise = 0;
  const Bytes raw = make_synthetic_joint_test(one);
  const ByteReader r(raw);
  std::vector<float> pos(static_cast<std::size_t>(one.period)), load(pos.size());
  for (std::size_t i = 0; i < pos.size(); ++i) {
    const std::size_t off = kOrgSamplesOffset + kOrgSampleSize * i;
    pos[i] = static_cast<float>(r.i16(off + 6) / 1000.0);
    load[i] = static_cast<float>(r.i16(off + 8) / 100.0);
  }
  const float bottom = *std::min_element(pos.begin(), pos.end());
  for (float& v : pos) v -= bottom;

  SgtRecord card;
  card.well_name = p.well_name;
  card.test_date = p.test_date;
  card.point_num = static_cast<std::int16_t>(one.period);
  const auto n = static_cast<std::int16_t>(one.period);
  Fourier_Coef(pos.data(), n, 16, card.ss_cos.data(), card.ss_sin.data());
  Fourier_Coef(load.data(), n, 32, card.gg_cos.data(), card.gg_sin.data());
  card.real_stroke = raw16(*std::max_element(pos.begin(), pos.end()) * 1000.0);
  card.max_load = raw16(*std::max_element(load.begin(), load.end()) * 100.0);
  card.min_load = raw16(*std::min_element(load.begin(), load.end()) * 100.0);
  return card;
}

namespace {
struct NoMessages : MessageService {
  MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon) override { return MsgAnswer::Ok; }
};
}  // namespace

bool write_sample_diagnosis(const ProgramFolder& prog, const SyntheticJointParams& p, const std::string& test_date) {
  NoMessages quiet;
  DiagnosisIo io{quiet};
  DiagnosisState st;
  diagnosis_load(st, prog, io);
  const std::pair<int, const char*> boxes[] = {
      {diag_box::kBore, "44"},          {diag_box::kLiquid, "18.5"},       {diag_box::kWaterCut, "62"},
      {diag_box::kStroke, "3"},         {diag_box::kSpm, "6"},             {diag_box::kFluidLevel, "860"},
      {diag_box::kStaticPressure, "12"}, {diag_box::kTubingPressure, "0.8"}, {diag_box::kCasingPressure, "0.5"},
      {diag_box::kLayerMidDepth, "1450"}, {21, "1180"},                  {diag_box::kPumpDepth, "1200"},
      {diag_box::kRods1, "400"},        {diag_box::kRods78, "400"},        {diag_box::kRods34, "380"},
      {diag_box::kSinkerLen, "20"},     {diag_box::kSinkerDia, "38"},      {40, "12"},
      {43, "8"},                        {46, "35"},                        {48, "CYJ10-3-37HB"},
      {50, "Y250M-8"},                  {51, "35"},                        {52, "12.6"},
      {53, "8.35"},                     {54, "4.12"},                      {55, "14.2"}};
  for (auto [box, text] : boxes) st.Text1[static_cast<std::size_t>(box)] = text;
  st.Text1[diag_box::kWell] = p.well_name;
  st.Text1[diag_box::kDate] = test_date;
  st.Text1[diag_box::kAdvice] = "泵工作基本正常，充满程度较好。\r\n建议保持现有工作制度，定期复测示功图。";
  st.Bgt_Rec.card = make_synthetic_card(p, p.period);
  refresh_diagnosis(st, io);
  Calc_Pf_Com_Click(st, quiet);
  Calc_Cyzs_Com_Click(st, quiet);
  return Cmd_Save_Click(st, io);
}

bool write_synthetic_survey(const std::filesystem::path& path) {
  std::vector<design::JxRecord> rows;
  for (int md = 50; md <= 2000; md += 50) {
    const double inc = md <= 300 ? 0.3 : std::min(30.0, 0.3 + (md - 300) * 2.0 / 30.0);
    const double az = md <= 300 ? 45.0 : std::min(60.0, 45.0 + (md - 300) * 15.0 / 450.0);
    design::JxRecord r;
    r.cols[0] = num_text(md);
    r.cols[1] = num_text_dec(inc, 2);
    r.cols[2] = num_text_dec(az, 2);
    rows.push_back(r);
  }
  return write_file_atomic(path, design::encode_jx_file(rows));
}

bool write_sample_efficiency_base(const ProgramFolder& prog, const SyntheticJointParams& p,
                                  const std::string& earlier_test_date) {
  GtYmRecord r;
  r.well_name = p.well_name;
  r.block_unit = "示范区";
  r.cyj_model = "CYJ10-3-37HB";
  r.motor_model = "Y280M-8";
  const std::pair<GtYmVal, const char*> vals[] = {
      {kValSinker, "20/38"},       {kValPumpDia, "44"},        {kValLiquidRate, "18.5"},
      {kValWaterCut, "62"},        {kValOilRate, "7"},         {kValGasOilRatio, "35"},
      {kValViscosity, "12"},       {kValWellheadTemp, "35"},   {kValRodLen1, "400"},
      {kValRodLen7_8, "400"},      {kValRodLen3_4, "380"},     {kValLiquidDensity, "0.95"},
      {kValTubingPress, "0.8"},    {kValCasingPress, "0.5"},   {kValFluidLevel, "860"},
      {kValPumpDepth, "1200"},     {kValSubmergence, "340"},   {kValNomStroke, "3"},
      {kValNomSpm, "6"},           {kValTestDate, nullptr},
  };
  for (const auto& [k, text] : vals) r.vals[k] = text ? text : earlier_test_date;
  return write_file_atomic(gt_ym_path(prog), r.encode());
}

}  // namespace wb
