#include "core/records/balance_boxes.h"
#include "core/efficiency/well_base_record.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "core/common/fourier.h"
#include "core/common/gbk.h"
#include "core/common/layout_keys.h"
#include "core/common/number_text.h"
#include "core/common/record_fields.h"
#include "core/common/record_layout.h"
#include "core/common/record_limit.h"
#include "core/common/stroke.h"
#include "core/common/trim.h"
#include "core/efficiency/effi_curves.h"
#include "core/efficiency/sys_effi_state.h"

namespace wb {

namespace fs = std::filesystem;

namespace {

constexpr FieldCodec<WellBaseRecord::CrankGroup> kCrankGroupFields[] = {
    field<&WellBaseRecord::CrankGroup::count>("count", 0),
    field<&WellBaseRecord::CrankGroup::weight>("weight", 2),
    field<&WellBaseRecord::CrankGroup::pos>("pos", 4),
};
constexpr RecordLayout<WellBaseRecord::CrankGroup> kCrankGroupLayout =
    record_layout<kCrankGroupFields>(WellBaseRecord::CrankGroup::kSize, 0);

constexpr FieldCodec<WellBaseRecord> kWellBaseFields[] = {
    text<&WellBaseRecord::well_name>("well_name", 0, 16),
    text<&WellBaseRecord::test_date>("test_date", 16, 12),
    field<&WellBaseRecord::point_num>("point_num", 28),
    field<&WellBaseRecord::sys_effi>("sys_effi", 30),
    text<&WellBaseRecord::cyj_model>("cyj_model", 32, 30),
    text<&WellBaseRecord::motor_model>("motor_model", 62, 16),
    field<&WellBaseRecord::real_stroke>("real_stroke", 78),
    field<&WellBaseRecord::crank_blocks>("crank_blocks", 80),
    field<&WellBaseRecord::crank_block_wt>("crank_block_wt", 82),
    field<&WellBaseRecord::crank_block_pos>("crank_block_pos", 84),
    field<&WellBaseRecord::wiring_mode>("wiring_mode", 86),
    field<&WellBaseRecord::reserved_88>("reserved_88", 88),
    field<&WellBaseRecord::reserved_92>("reserved_92", 92),
    text<&WellBaseRecord::block_unit>("block_unit", 96, 20),
    field<&WellBaseRecord::pump_dia>("pump_dia", 116),
    field<&WellBaseRecord::liquid_rate>("liquid_rate", 118),
    field<&WellBaseRecord::water_cut>("water_cut", 122),
    field<&WellBaseRecord::oil_rate>("oil_rate", 124),
    field<&WellBaseRecord::gas_oil_ratio>("gas_oil_ratio", 126),
    field<&WellBaseRecord::viscosity>("viscosity", 128),
    field<&WellBaseRecord::wellhead_temp>("wellhead_temp", 132),
    field<&WellBaseRecord::rod_len_1>("rod_len_1", 134),
    field<&WellBaseRecord::rod_len_7_8>("rod_len_7_8", 138),
    field<&WellBaseRecord::rod_len_3_4>("rod_len_3_4", 142),
    field<&WellBaseRecord::rod_len_5_8>("rod_len_5_8", 146),
    field<&WellBaseRecord::liquid_density>("liquid_density", 150),
    field<&WellBaseRecord::tubing_press>("tubing_press", 154),
    field<&WellBaseRecord::casing_press>("casing_press", 156),
    field<&WellBaseRecord::fluid_level>("fluid_level", 158),
    field<&WellBaseRecord::pump_depth>("pump_depth", 162),
    field<&WellBaseRecord::nom_stroke>("nom_stroke", 166),
    field<&WellBaseRecord::nom_spm>("nom_spm", 168),
    field<&WellBaseRecord::reserved_170>("reserved_170", 170),
    field<&WellBaseRecord::theo_max_load>("theo_max_load", 178),
    field<&WellBaseRecord::theo_min_load>("theo_min_load", 180),
    field<&WellBaseRecord::reserved_182>("reserved_182", 182),
    field<&WellBaseRecord::crank_pos_max>("crank_pos_max", 184),
    field<&WellBaseRecord::gearbox_torque>("gearbox_torque", 186),
    field<&WellBaseRecord::beam_front_arm>("beam_front_arm", 188),
    field<&WellBaseRecord::max_stroke>("max_stroke", 190),
    field<&WellBaseRecord::balance_arm>("balance_arm", 192),
    field<&WellBaseRecord::balance_arm_angle>("balance_arm_angle", 194),
    field<&WellBaseRecord::beam_block_wt>("beam_block_wt", 196),
    field<&WellBaseRecord::beam_blocks>("beam_blocks", 198),
    field<&WellBaseRecord::beam_blocks_max>("beam_blocks_max", 200),
    field<&WellBaseRecord::reserved_202>("reserved_202", 202),
    field<&WellBaseRecord::rod_len_1_1_8>("rod_len_1_1_8", 204),
    field<&WellBaseRecord::sinker_len>("sinker_len", 208),
    field<&WellBaseRecord::sinker_dia>("sinker_dia", 212),
    field<&WellBaseRecord::crank_pos_min>("crank_pos_min", 214),
    field<&WellBaseRecord::crank_spacing>("crank_spacing", 216),
    field<&WellBaseRecord::crank_angle0>("crank_angle0", 218),
    field<&WellBaseRecord::crank_group>("crank_group", 222),
    field<&WellBaseRecord::balance_mode>("balance_mode", 246),
    field<&WellBaseRecord::act_stroke>("act_stroke", 248),
    field<&WellBaseRecord::reserved_250>("reserved_250", 250),
    field<&WellBaseRecord::ss_sin>("ss_sin", 384),
    field<&WellBaseRecord::ss_cos>("ss_cos", 448),
    field<&WellBaseRecord::pp_sin>("pp_sin", 512),
    field<&WellBaseRecord::pp_cos>("pp_cos", 640),
    field<&WellBaseRecord::gg_sin>("gg_sin", 768),
    field<&WellBaseRecord::gg_cos>("gg_cos", 896),
    field<&WellBaseRecord::ii_sin>("ii_sin", 1024),
    field<&WellBaseRecord::ii_cos>("ii_cos", 1152),
    field<&WellBaseRecord::uu_sin>("uu_sin", 1280),
    field<&WellBaseRecord::uu_cos>("uu_cos", 1408),
    field<&WellBaseRecord::reserved_1536>("reserved_1536", 1536),
};
constexpr RecordLayout<WellBaseRecord> kWellBaseLayout = record_layout<kWellBaseFields>(kWellBaseRecordSize, 0);

}  // namespace

const RecordLayout<WellBaseRecord::CrankGroup>& WellBaseRecord::CrankGroup::layout() { return kCrankGroupLayout; }
const RecordLayout<WellBaseRecord>& WellBaseRecord::layout() { return kWellBaseLayout; }
Bytes WellBaseRecord::encode() const { return kWellBaseLayout.encode(*this); }
bool WellBaseRecord::decode(const Bytes& b) { return kWellBaseLayout.decode(b, *this); }

fs::path well_base_path(const ProgramFolder& prog) { return prog.sys() / kWellBaseFileName; }

std::string stored_blank_key(const std::string& text, std::size_t width) {
  return key_as_stored(text, width, KeyTrim::Blanks, TypedTrim::Same);
}

KeyMatch well_base_key_match(const std::string& well, const std::string& test) {
  static const RecordKeyFields kKeys = record_key_fields(WellBaseRecord::layout());
  const KeyField& wf = kKeys.well();
  const KeyField& tf = kKeys.test();
  return KeyMatch({{wf, stored_blank_key(well, wf.length)}, {tf, stored_blank_key(test, tf.length)}}, KeyTrim::Blanks);
}

StoreStatus find_well_base(const fs::path& lib, const std::string& well, const std::string& test, WellBaseRecord& rec,
                           std::size_t& found) {
  found = 0;
  RecordStore store(lib, kWellBaseRecordSize);
  // Looked for a block of records at a time, never the whole library in memory; only the
  // key fields of each record are read.
  StoreStatus st = store.find(well_base_key_match(well, test), found);
  if (st != StoreStatus::Ok) return st;
  if (found) {
    Bytes b;
    if ((st = store.read(found, b)) != StoreStatus::Ok) {
      found = 0;
      return st;
    }
    std::ignore = rec.decode(b);  // read whole just above
  }
  return StoreStatus::Ok;
}

namespace {

// Scaled 16-bit fields: the value of the box times `scale`, nearest integer (halves to even).
struct I2Box {
  std::int16_t WellBaseRecord::*field;
  int box;
  double scale;
  const char* caption;  // names the box in the refusal message
};

// Single fields of the efficiency writer.
struct F4Box {
  float WellBaseRecord::*field;
  int box;
};

const I2Box kEffiI2[] = {
    {&WellBaseRecord::sys_effi, effi_box::kSysEffi, 100, "系统效率"},
    {&WellBaseRecord::real_stroke, effi_box::kRealStroke, 1000, "实测冲程"},
    {&WellBaseRecord::pump_dia, effi_box::kPumpDia, 1, "泵径"},
    {&WellBaseRecord::water_cut, effi_box::kWaterCut, 10, "含水率"},
    {&WellBaseRecord::oil_rate, effi_box::kOilRate, 100, "日产油量"},
    {&WellBaseRecord::gas_oil_ratio, effi_box::kGasOilRatio, 1, "气油比"},
    {&WellBaseRecord::wellhead_temp, effi_box::kWellheadTemp, 100, "井口温度"},
    {&WellBaseRecord::tubing_press, effi_box::kTubingPress, 1000, "井口油压"},
    {&WellBaseRecord::casing_press, effi_box::kCasingPress, 1000, "井口套压"},
    {&WellBaseRecord::nom_stroke, effi_box::kNomStroke, 1000, "标称冲程"},
    {&WellBaseRecord::nom_spm, effi_box::kNomSpm, 100, "标称冲次"},
    {&WellBaseRecord::theo_max_load, effi_box::kTheoMaxLoad, 100, "理论最大负荷"},
    {&WellBaseRecord::theo_min_load, effi_box::kTheoMinLoad, 100, "理论最小负荷"},
    {&WellBaseRecord::sinker_dia, effi_box::kSinkerDia, 1, "加重杆径"},
};

const F4Box kEffiF4[] = {
    {&WellBaseRecord::liquid_rate, effi_box::kLiquidRate},
    {&WellBaseRecord::viscosity, effi_box::kViscosity},
    {&WellBaseRecord::rod_len_1, effi_box::kRods1},
    {&WellBaseRecord::rod_len_7_8, effi_box::kRods78},
    {&WellBaseRecord::rod_len_3_4, effi_box::kRods34},
    {&WellBaseRecord::rod_len_5_8, effi_box::kRods58},
    {&WellBaseRecord::liquid_density, effi_box::kLiquidDensity},
    {&WellBaseRecord::fluid_level, effi_box::kFluidLevel},
    {&WellBaseRecord::pump_depth, effi_box::kPumpDepth},
    {&WellBaseRecord::rod_len_1_1_8, effi_box::kRods118},
    {&WellBaseRecord::sinker_len, effi_box::kSinkerLen},
};

const I2Box kBalanceI2[] = {
    {&WellBaseRecord::crank_blocks, balance_box::kCrankBlocks, 1, "平衡块数"},
    {&WellBaseRecord::crank_block_wt, balance_box::kCrankBlockWt, 1000, "平均块重"},
    {&WellBaseRecord::crank_block_pos, balance_box::kCrankBlockPos, 1000, "平均位置"},
    {&WellBaseRecord::crank_pos_max, balance_box::kCrankPosMax, 1000, "最大安装位置"},
    {&WellBaseRecord::gearbox_torque, balance_box::kGearboxTorque, 1, "减速器扭矩"},
    {&WellBaseRecord::beam_front_arm, balance_box::kBeamFrontArm, 1000, "前臂长度"},
    {&WellBaseRecord::max_stroke, balance_box::kMaxStroke, 1000, "最大冲程"},
    {&WellBaseRecord::balance_arm, balance_box::kBalanceArm, 1000, "平衡臂长"},
    {&WellBaseRecord::balance_arm_angle, balance_box::kBalanceArmAngle, 1, "平衡臂偏置角"},
    {&WellBaseRecord::beam_block_wt, balance_box::kBeamBlockWt, 1000, "平衡块单重"},
    {&WellBaseRecord::beam_blocks, balance_box::kBeamBlocks, 1, "已装平衡块数"},
    {&WellBaseRecord::beam_blocks_max, balance_box::kBeamBlocksMax, 1, "最大可装块数"},
    {&WellBaseRecord::crank_pos_min, balance_box::kCrankPosMin, 1000, "最小安装位置"},
    {&WellBaseRecord::crank_spacing, balance_box::kCrankSpacing, 1000, "同侧安装间距"},
    {&WellBaseRecord::act_stroke, balance_box::kActStroke, 1000, "实际冲程"},
};

template <std::size_t M>
void zero(std::array<float, M>& sin_block, std::array<float, M>& cos_block) {
  sin_block.fill(0.0f);
  cos_block.fill(0.0f);
}

// Fourier_Coef of the first n samples into a sine/cosine pair of blocks; false (blocks
// untouched) when the span holds fewer samples.
template <std::size_t M>
bool coef(std::span<const float> x, int n, std::array<float, M>& sin_block, std::array<float, M>& cos_block) {
  if (n < 1 || x.size() < static_cast<std::size_t>(n)) return false;
  Fourier_Coef(x.data(), static_cast<std::int16_t>(n), static_cast<std::int16_t>(M), cos_block.data(), sin_block.data());
  return true;
}

// Reads the library, finds the key, lets `fill` set the writer's fields into the found
// record or a cleared one, and writes it back in place or appended.
template <class Fill, class Ask>
WellBaseSaveResult save_keyed(const ProgramFolder& prog, const std::string& well, const std::string& test, Fill fill,
                              Ask ask_overwrite, MessageService& msg) {
  WellBaseSaveResult out;
  RecordStore store(well_base_path(prog), kWellBaseRecordSize);
  WellBaseRecord rec;
  std::size_t found = 0, count = 0;
  StoreStatus st = find_well_base(store.path(), well, test, rec, found);
  if (st == StoreStatus::Ok) st = store.count(count);
  if (st == StoreStatus::Damaged) {
    msg.show(kBadFormatText, kBadFormatTitle);
    out.outcome = SaveOutcome::Damaged;
    return out;
  }
  if (st != StoreStatus::Ok) {
    msg.show("井基础数据库不能读取，数据未保存！", kSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
    out.outcome = SaveOutcome::IoError;
    return out;
  }
  // Records past the 16-bit numbers cannot be taken: a file beyond the limit is refused
  // whole, a new key in a full library is not appended.
  if (count > kMaxLibraryRecords || (!found && library_full(count))) {
    msg.show((count > kMaxLibraryRecords ? over_limit_text(store.path(), count)
                                         : library_full_text(kWellBaseLibraryName)) +
                 "\n井基础数据未保存！",
             kSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
    out.outcome = SaveOutcome::Full;
    return out;
  }
  // A new record starts cleared: the fields the other window owns are zero, not those of
  // the last record read.
  if (auto bad = fill(rec)) {
    msg.show(*bad + " 的数值超出可存储的范围，井基础数据未保存！", kSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
    out.outcome = SaveOutcome::OutOfRange;
    out.field = *bad;
    return out;
  }
  if (found && !ask_overwrite()) {
    out.outcome = SaveOutcome::Declined;
    return out;
  }
  out.record = found ? found : count + 1;
  out.appended = found == 0;
  st = store.write(out.record, rec.encode());
  if (st != StoreStatus::Ok) {
    msg.show(library_not_written_text("井基础数据", path_text(store.path())), kSaveTitle, MsgButtons::Ok,
             MsgIcon::Warning);
    out.outcome = st == StoreStatus::Damaged ? SaveOutcome::Damaged : SaveOutcome::IoError;
    out.record = 0;
    out.appended = false;
  }
  return out;
}

}  // namespace

std::optional<std::string> fill_well_base_effi(WellBaseRecord& rec, const EffiWellBaseSource& src) {
  const EffiBoxTexts& t = src.boxes;
  rec.well_name = trim_blanks(t[effi_box::kWell]);
  rec.test_date = trim_blanks(t[effi_box::kTestTime]);
  rec.block_unit = trim_blanks(t[effi_box::kBlock]);
  rec.cyj_model = trim_blanks(t[effi_box::kCyjModel]);
  rec.motor_model = trim_blanks(t[effi_box::kMotorModel]);
  for (const I2Box& f : kEffiI2) {
    const auto v = to_i16(num_val(t[static_cast<std::size_t>(f.box)]) * f.scale);
    if (!v) return std::string(f.caption);
    rec.*(f.field) = *v;
  }
  for (const F4Box& f : kEffiF4) rec.*(f.field) = static_cast<float>(num_val(t[static_cast<std::size_t>(f.box)]));
  const auto pn = to_i16(src.iu_num);
  const auto wm = to_i16(src.cs_fs);
  rec.point_num = pn ? *pn : 0;
  rec.wiring_mode = wm ? *wm : 0;

  // Blocks of a curve that is not stored are zeroed: left as they were they would be
  // rebuilt later at this record's point count as if they belonged to this test.
  const bool card = src.gt_num >= kMinStrokePoints && src.gt_num <= 32767;
  if (!(card && coef(src.sss, src.gt_num, rec.ss_sin, rec.ss_cos))) zero(rec.ss_sin, rec.ss_cos);
  if (!(card && coef(src.ggs, src.gt_num, rec.gg_sin, rec.gg_cos))) zero(rec.gg_sin, rec.gg_cos);
  const bool elec = src.iu_num >= kMinStrokePoints && src.iu_num <= 32767;
  if (!(elec && coef(src.pps, src.iu_num, rec.pp_sin, rec.pp_cos))) zero(rec.pp_sin, rec.pp_cos);
  if (!(elec && coef(src.uus, src.iu_num, rec.uu_sin, rec.uu_cos))) zero(rec.uu_sin, rec.uu_cos);
  if (!(elec && coef(src.iis, src.iu_num, rec.ii_sin, rec.ii_cos))) zero(rec.ii_sin, rec.ii_cos);
  return std::nullopt;
}

WellBaseSaveResult Save_Well_Base(const ProgramFolder& prog, const EffiWellBaseSource& src, MessageService& msg,
                                  bool ask_overwrite) {
  const std::string well = trim_blanks(src.boxes[effi_box::kWell]);
  return save_keyed(
      prog, src.boxes[effi_box::kWell], src.boxes[effi_box::kTestTime], [&](WellBaseRecord& rec) { return fill_well_base_effi(rec, src); },
      [&] { return !ask_overwrite || msg.ask_yes_no(test_overwrite_question(well), kWarningTitle); }, msg);
}

namespace {

// The limits of the stored curves' coefficients, as for the card and electric libraries:
// twice the largest value of the curve (a(0) is twice the mean).
struct CurveBlock {
  const std::array<float, 32>* cos32;
  const std::array<float, 32>* sin32;
  const char* name;
  float limit;
};

bool coefficients_sound(const float* a, const float* b, int terms, float limit) {
  for (int k = 0; k < terms; ++k)
    if (!(std::fabs(a[k]) <= limit) || !(std::fabs(b[k]) <= limit)) return false;
  return true;
}

}  // namespace

std::optional<Refusal> well_base_curve_damage(const WellBaseRecord& rec) {
  // One stroke is at most the 3000 samples (60 s) a joint test keeps.
  if (rec.point_num > 3000) return Refusal("每冲程点数为 " + std::to_string(rec.point_num) + "，超过 3000。");
  if (!std::isfinite(rec.uu_cos[0])) return Refusal("电压曲线的系数不是有限数。");
  if (!rec.has_electric_curves() || rec.point_num <= 0) return std::nullopt;
  const CurveBlock blocks[] = {{&rec.uu_cos, &rec.uu_sin, "电压曲线", 1400.0f},
                               {&rec.ii_cos, &rec.ii_sin, "电流曲线", 700.0f},
                               {&rec.pp_cos, &rec.pp_sin, "功率曲线", 700.0f},
                               {&rec.gg_cos, &rec.gg_sin, "载荷曲线", 700.0f}};
  for (const CurveBlock& c : blocks)
    if (!coefficients_sound(c.cos32->data(), c.sin32->data(), 32, c.limit))
      return Refusal(std::string(c.name) + "的系数不是有限数或超出可能的范围。");
  if (!coefficients_sound(rec.ss_cos.data(), rec.ss_sin.data(), 16, 70.0f))
    return Refusal("位移曲线的系数不是有限数或超出可能的范围。");
  return std::nullopt;
}

WellBaseCurves Get_Well_Base(const ProgramFolder& prog, const std::string& well, const std::string& test) {
  WellBaseCurves out;
  WellBaseRecord rec;
  std::size_t found = 0;
  if (find_well_base(well_base_path(prog), well, test, rec, found) != StoreStatus::Ok || found == 0) return out;
  out.found = true;
  if (std::optional<Refusal> damage = well_base_curve_damage(rec)) {
    out.damage = "井基础数据 " + path_text(well_base_path(prog)) + " 中本次测试的记录已损坏：" + damage->message +
                 "\n未采用其中的曲线。";
    return out;
  }
  out.doubts = well_base_doubts(rec);
  // A negative count (a damaged record) is no stroke.
  out.gt_num = std::max<int>(rec.point_num, 0);
  out.iu_num = out.gt_num;
  out.cs_fs = rec.wiring_mode;
  if (rec.has_electric_curves() && rec.point_num > 0) {
    out.has_curves = true;
    const int n = rec.point_num;
    out.uus = rebuild_curve(n, 32, rec.uu_cos.data(), rec.uu_sin.data());
    out.iis = rebuild_curve(n, 32, rec.ii_cos.data(), rec.ii_sin.data());
    out.pps = rebuild_curve(n, 32, rec.pp_cos.data(), rec.pp_sin.data());
    out.ggs = rebuild_curve(n, 32, rec.gg_cos.data(), rec.gg_sin.data());
    out.sss = rebuild_curve(n, 16, rec.ss_cos.data(), rec.ss_sin.data());
  }
  return out;
}

std::vector<std::string> well_base_save_doubts(const ProgramFolder& prog, const EffiWellBaseSource& src) {
  WellBaseRecord rec;
  std::size_t found = 0;
  const StoreStatus st = find_well_base(well_base_path(prog), src.boxes[effi_box::kWell], src.boxes[effi_box::kTestTime], rec, found);
  if (st != StoreStatus::Ok) return {};
  if (found == 0) rec = WellBaseRecord{};
  if (fill_well_base_effi(rec, src)) return {};
  return well_base_doubts(rec);
}

std::optional<std::string> fill_well_base_balance(WellBaseRecord& rec, const BalanceWellBaseSource& src) {
  rec.well_name = trim_blanks(src.Cur_Well);
  rec.test_date = trim_blanks(src.Cur_Test);
  rec.cyj_model = Trim_Blank_Nul(src.Comb_Cyj_Mode);
  for (const I2Box& f : kBalanceI2) {
    const auto v = to_i16(num_val(src.Text2[static_cast<std::size_t>(f.box)]) * f.scale);
    if (!v) return std::string(f.caption);
    rec.*(f.field) = *v;
  }
  rec.crank_angle0 = static_cast<float>(num_val(src.Text2[balance_box::kCrankAngle0]));
  for (int g = 0; g < balance_box::kCrankGroups; ++g) {
    const auto count = to_i16(num_val(src.Text2[balance_box::group_count(g)]));
    const auto weight = to_i16(num_val(src.Text2[balance_box::group_wt(g)]) * 1000);
    const auto pos = to_i16(num_val(src.Text2[balance_box::group_pos(g)]) * 1000);
    if (!count) return "分组块数";
    if (!weight) return "单块重";
    if (!pos) return "重心位置";
    rec.crank_group[static_cast<std::size_t>(g)] = {*count, *weight, *pos};
  }
  rec.balance_mode = static_cast<std::int16_t>(src.balance_mode == 0 ? 0 : src.balance_mode == 1 ? 1 : 2);
  return std::nullopt;
}

WellBaseSaveResult Save_WellBase(const ProgramFolder& prog, const BalanceWellBaseSource& src, MessageService& msg) {
  return save_keyed(
      prog, src.Cur_Well, src.Cur_Test, [&](WellBaseRecord& rec) { return fill_well_base_balance(rec, src); },
      [] { return true; }, msg);
}

BalanceWellBaseView balance_view_of(const WellBaseRecord& rec) {
  BalanceWellBaseView v;
  v.found = true;
  v.cyj_model = Trim_Blank_Nul(rec.cyj_model);
  common_balance_boxes(rec, v.boxes);
  v.balance_mode = rec.balance_mode;
  if (rec.act_stroke > 0) v.box27 = num_text(rec.act_stroke / 1000.0);
  if (rec.balance_arm_angle != 0) v.boxes[balance_box::kBalanceArmAngle] = std::to_string(rec.balance_arm_angle);
  if (rec.gearbox_torque > 0) v.boxes[balance_box::kGearboxTorque] = std::to_string(rec.gearbox_torque);
  return v;
}

BalanceWellBaseView Get_Dat_From_WellBase(const ProgramFolder& prog, const std::string& Cur_Well,
                                          const std::string& Cur_Test) {
  WellBaseRecord rec;
  std::size_t found = 0;
  if (find_well_base(well_base_path(prog), Cur_Well, Cur_Test, rec, found) != StoreStatus::Ok || found == 0) return {};
  BalanceWellBaseView v = balance_view_of(rec);
  v.doubts = well_base_doubts(rec);
  return v;
}

}  // namespace wb
