#include "core/samples/synthetic_tests.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "core/common/fourier.h"
#include "core/common/gbk.h"
#include "core/common/record_store.h"
#include "core/common/number_text.h"
#include "core/common/physical.h"
#include "core/common/stroke.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/diagnosis/inflow.h"
#include "core/common/test_records.h"
#include "core/design/engine/survey_file.h"
#include "core/records/gt_ym_record.h"
#include "core/workbench/org_decode.h"
#include "core/workbench/test_state.h"

namespace wb {
namespace {

constexpr double kDt = 1.0 / kSamplesPerSecond;  // s per sample
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

SyntheticJointParams sample_well_1() {
  SyntheticJointParams a;
  a.line_drop = 0.2;
  return a;
}

SyntheticJointParams sample_well_2() {
  SyntheticJointParams b;
  b.period = 625;
  b.stroke = 4.2;
  b.rod_weight = 42.0;
  b.fluid_load = 24.0;
  b.stretch = 0.45;
  b.wiring_mode = 4;
  b.phase = 0.37;
  b.reverse_power = true;
  b.seed = 7;
  b.line_drop = 0.3;
  b.well_name = "示范井2";
  b.test_date = "200606081015";
  return b;
}

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
  const double w = 2.0 * std::numbers::pi / (period * kDt);  // crank speed, rad/s
  const double k = wiring_factor(p.wiring_mode);
  Noise noise(p.seed);

  ByteWriter wr(out);
  for (int i = 0; i < count; ++i) {
    const double th = 2.0 * std::numbers::pi * (static_cast<double>(i) / period + p.phase);
    // Polished-rod motion: 0 at th = 0, S at th = pi. The linkage makes the crank angle
    // reach the rod unevenly (tp = th - e sin th), so up- and downstroke differ in speed.
    const double tp = th - kLinkage * std::sin(th);
    const double dtp = 1.0 - kLinkage * std::cos(th);
    const double pos = S / 2.0 * (1.0 - std::cos(tp));
    const double vel = w * S / 2.0 * std::sin(tp) * dtp;  // m/s
    const double acc = w * w * S / 2.0 * (std::cos(tp) * dtp * dtp + std::sin(tp) * kLinkage * std::sin(th));

    const double frac = std::fmod(std::fmod(th / (2.0 * std::numbers::pi), 1.0) + 1.0, 1.0);  // 0..1 over the stroke
    const bool up = frac < 0.5;
    // The fluid load moves onto the rods over the stretch at the start of the upstroke and
    // off them over the stretch at the start of the downstroke.
    const double carried = up ? smoothstep(pos / p.stretch) : 1.0 - smoothstep((S - pos) / p.stretch);
    const double half = up ? frac / 0.5 : (frac - 0.5) / 0.5;
    const double vib =
        0.05 * F * std::exp(-4.0 * half) * std::sin(2.0 * std::numbers::pi * 6.0 * half) * (up ? 1.0 : -1.0);
    const double static_load = p.rod_weight + F * carried;
    const double load = static_load * (1.0 + acc / kGravityFine) + vib;

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
  const std::pair<int, const char*> boxes[] = {{diag_box::kBore, "44"},
                                               {diag_box::kLiquid, "18.5"},
                                               {diag_box::kWaterCut, "62"},
                                               {diag_box::kStroke, "3"},
                                               {diag_box::kSpm, "6"},
                                               {diag_box::kFluidLevel, "860"},
                                               {diag_box::kStaticPressure, "12"},
                                               {diag_box::kTubingPressure, "0.8"},
                                               {diag_box::kCasingPressure, "0.5"},
                                               {diag_box::kLayerMidDepth, "1450"},
                                               {diag_box::kIntakeDepth, "1180"},
                                               {diag_box::kPumpDepth, "1200"},
                                               {diag_box::kRods1, "400"},
                                               {diag_box::kRods78, "400"},
                                               {diag_box::kRods34, "380"},
                                               {diag_box::kSinkerLen, "20"},
                                               {diag_box::kSinkerDia, "38"},
                                               {diag_box::kViscosity, "12"},
                                               {diag_box::kBubblePressure, "8"},
                                               {diag_box::kGasOilRatio, "35"},
                                               {diag_box::kCyjModel, "CYJ10-3-37HB"},
                                               {diag_box::kMotorModel, "Y250M-8"},
                                               {diag_box::kWellheadTemp, "35"},
                                               {diag_box::kInputPower, "12.6"},
                                               {diag_box::kRodPower, "8.35"},
                                               {diag_box::kUsefulPower, "4.12"},
                                               {diag_box::kRmsPower, "14.2"}};
  for (auto [box, text] : boxes) st.Text1[static_cast<std::size_t>(box)] = text;
  st.Text1[diag_box::kWell] = p.well_name;
  st.Text1[diag_box::kDate] = test_date;
  st.Text1[diag_box::kAdvice] = "泵工作基本正常，充满程度较好。\r\n建议保持现有工作制度，定期复测示功图。";
  st.Bgt_Rec.card = make_synthetic_card(p, p.period);
  refresh_diagnosis(st, io);
  if (!Calc_Pf_Com_Click(st, quiet) || !Calc_Cyzs_Com_Click(st, quiet)) return false;
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

bool write_sample_cyj_catalog(const std::filesystem::path& path) {
  const std::string text = utf8_to_gbk(
      "抽油机型=CYJ10-3-37HB\r\n冲    程=2.1,2.5,3.0\r\n\r\n"
      "抽油机型=CYJ12-4.8-73HB\r\n冲    程=3.0,3.6,4.2,4.8\r\n\r\n"
      "抽油机型=CYJ14-5.5-89HB\r\n冲    程=3.9,4.7,5.5\r\n");
  return write_file_atomic(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

bool write_sample_efficiency_library(const std::filesystem::path& path) {
  struct Test {
    const char *well, *date, *block, *cyj, *motor;
    const char *stroke, *spm, *tubing, *casing, *liquid, *cut, *pump, *depth, *level, *sub, *pump_effi, *current;
    const char *input, *rod, *useful;
  };
  const Test tests[] = {
      {"示范井1", "200512081000", "采油一队", "CYJ10-3-37HB", "Y250M-8", "2.96", "6.02", "0.8", "0.5", "24.5", "86.2",
       "56", "1350", "980", "370", "52.3", "31.8", "11.42", "6.21", "3.05"},
      {"示范井1", "200605121430", "采油一队", "CYJ10-3-37HB", "Y250M-8", "2.98", "6", "0.9", "0.6", "26.1", "87.5",
       "56", "1350", "1010", "340", "55.1", "30.6", "10.87", "6.05", "3.26"},
      {"示范井2", "200601151600", "采油二队", "CYJ12-4.8-73HB", "Y280S-8", "4.15", "4.81", "1.1", "0.7", "31.2",
       "91.4", "70", "1800", "1420", "380", "47.9", "42.3", "19.65", "10.44", "5.37"},
      {"示范井2", "200606081015", "采油二队", "CYJ12-4.8-73HB", "Y280S-8", "4.18", "4.8", "1.2", "0.7", "29.8",
       "92", "70", "1800", "1465", "335", "45.6", "43.7", "20.12", "10.15", "5.12"},
  };
  std::vector<std::uint8_t> content;
  for (const Test& t : tests) {
    GtYmRecord r;
    r.well_name = t.well;
    r.block_unit = t.block;
    r.cyj_model = t.cyj;
    r.motor_model = t.motor;
    r.vals[kValTestDate] = t.date;
    r.vals[kValRealStroke] = t.stroke;
    r.vals[kValRealSpm] = t.spm;
    r.vals[kValTubingPress] = t.tubing;
    r.vals[kValCasingPress] = t.casing;
    r.vals[kValLiquidRate] = t.liquid;
    r.vals[kValWaterCut] = t.cut;
    // Water 1.0 and oil 0.86 t/m3 by the water cut. The efficiency window carries the density
    // and the nameplate stroke and speed forward and needs them to compute.
    r.vals[kValLiquidDensity] = num_text_dec(0.86 + 0.14 * std::atof(t.cut) / 100.0, 2);
    // The nameplate stroke and speed: the measured ones to 0.1.
    const auto tenth = [](const char* v) { return std::floor(std::atof(v) * 10.0 + 0.5 + 1e-9) / 10.0; };
    r.vals[kValNomStroke] = num_text(tenth(t.stroke));
    r.vals[kValNomSpm] = num_text(tenth(t.spm));
    r.vals[kValPumpDia] = t.pump;
    r.vals[kValPumpDepth] = t.depth;
    r.vals[kValFluidLevel] = t.level;
    r.vals[kValSubmergence] = t.sub;
    r.vals[kValPumpEffi] = t.pump_effi;
    r.vals[kValMeanCurrent] = t.current;
    r.vals[kValInputPower] = t.input;
    r.vals[kValRodPower] = t.rod;
    r.vals[kValHydraulicPower] = t.useful;
    const double in = std::atof(t.input), rod = std::atof(t.rod), useful = std::atof(t.useful);
    r.vals[kValSurfaceEffi] = num_text_dec(rod / in * 100.0, 2);
    r.vals[kValDownholeEffi] = num_text_dec(useful / rod * 100.0, 2);
    r.vals[kValSysEffi] = num_text_dec(useful / in * 100.0, 2);
    const Bytes b = r.encode();
    content.insert(content.end(), b.begin(), b.end());
  }
  return write_file_atomic(path, content);
}

}  // namespace wb
