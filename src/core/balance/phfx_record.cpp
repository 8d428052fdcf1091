#include "core/records/balance_boxes.h"
#include "core/balance/phfx_record.h"

#include <algorithm>
#include <tuple>
#include <unordered_set>

#include "core/common/dlph_record.h"
#include "core/common/fourier.h"
#include "core/common/kept_listing.h"
#include "core/common/layout_keys.h"
#include "core/common/number_text.h"
#include "core/common/record_browser.h"
#include "core/common/record_fields.h"
#include "core/common/record_keys.h"
#include "core/common/record_limit.h"
#include "core/common/record_layout.h"
#include "core/common/trim.h"

namespace wb {

namespace {

constexpr int kCurveTerms = 31;   // computed terms of a curve (its block holds 32)
constexpr int kStrokeTerms = 15;  // computed terms of the displacement (its block holds 16)

// A ×1000 (or plain, scale 1) field taken from a box: caption and place in the record.
struct I2Box {
  int box;
  double scale;
  std::int16_t PhfxRecord::*field;
  const char* caption;
};
using namespace balance_box;
constexpr I2Box kI2Boxes[] = {
    {kCrankBlocks, 1, &PhfxRecord::crank_blocks, "平衡块数"},
    {kCrankBlockWt, 1000, &PhfxRecord::crank_block_wt, "平均块重kN"},
    {kCrankBlockPos, 1000, &PhfxRecord::crank_block_pos, "平均位置 m"},
    {kCrankPosMax, 1000, &PhfxRecord::crank_pos_max, "最大安装位置 m"},
    {kCrankPosMin, 1000, &PhfxRecord::crank_pos_min, "最小安装位置 m"},
    {kCrankSpacing, 1000, &PhfxRecord::crank_spacing, "同侧安装间距 m"},
    {kBeamFrontArm, 1000, &PhfxRecord::beam_front_arm, "前臂长度 m"},
    {kActStroke, 1000, &PhfxRecord::act_stroke, "实际冲程 m"},
    {kMaxStroke, 1000, &PhfxRecord::max_stroke, "最大冲程 m"},
    {kBalanceArm, 1000, &PhfxRecord::balance_arm, "平衡臂长 m"},
    {kBeamBlockWt, 1000, &PhfxRecord::beam_block_wt, "平衡块单重 kN"},
    {kBeamBlocks, 1, &PhfxRecord::beam_blocks, "已装平衡块数"},
    {kBeamBlocksMax, 1, &PhfxRecord::beam_blocks_max, "最大可装块数"},
};

template <std::size_t N>
void coef(const std::vector<float>& x, int n, int terms, std::array<float, N>& a, std::array<float, N>& b) {
  if (n < 1 || x.size() < static_cast<std::size_t>(n)) return;
  Fourier_Coef(x.data(), static_cast<std::int16_t>(n), static_cast<std::int16_t>(terms), a.data(), b.data());
}

template <std::size_t N>
void synth(std::vector<float>& x, int n, const std::array<float, N>& a, const std::array<float, N>& b) {
  x.assign(static_cast<std::size_t>(n) + 1, 0.0f);
  if (n > 0) Fourier_Synth(x.data(), static_cast<std::int16_t>(n), static_cast<std::int16_t>(N), a.data(), b.data());
}

}  // namespace

namespace {

constexpr FieldCodec<PhfxRecord::CrankGroup> kCrankGroupFields[] = {
    field<&PhfxRecord::CrankGroup::count>("count", 0),
    field<&PhfxRecord::CrankGroup::weight>("weight", 2),
    field<&PhfxRecord::CrankGroup::pos>("pos", 4),
};
constexpr RecordLayout<PhfxRecord::CrankGroup> kCrankGroupLayout =
    record_layout<kCrankGroupFields>(PhfxRecord::CrankGroup::kSize, 0);

constexpr FieldCodec<PhfxRecord> kPhfxFields[] = {
    text<&PhfxRecord::well_name>("well_name", 0, 16),
    text<&PhfxRecord::test_date>("test_date", 16, 12),
    field<&PhfxRecord::point_num>("point_num", 28),
    field<&PhfxRecord::crank_blocks>("crank_blocks", 30),
    field<&PhfxRecord::crank_block_wt>("crank_block_wt", 32),
    field<&PhfxRecord::crank_block_pos>("crank_block_pos", 34),
    field<&PhfxRecord::wiring_mode>("wiring_mode", 36),
    field<&PhfxRecord::rms_current>("rms_current", 38),
    field<&PhfxRecord::rms_power>("rms_power", 42),
    field<&PhfxRecord::crank_pos_max>("crank_pos_max", 46),
    field<&PhfxRecord::crank_pos_min>("crank_pos_min", 48),
    field<&PhfxRecord::crank_spacing>("crank_spacing", 50),
    field<&PhfxRecord::crank_angle0>("crank_angle0", 52),
    field<&PhfxRecord::crank_group>("crank_group", 56),
    field<&PhfxRecord::balance_mode>("balance_mode", 80),
    field<&PhfxRecord::beam_front_arm>("beam_front_arm", 82),
    field<&PhfxRecord::act_stroke>("act_stroke", 84),
    field<&PhfxRecord::max_stroke>("max_stroke", 86),
    field<&PhfxRecord::balance_arm>("balance_arm", 88),
    field<&PhfxRecord::balance_arm_angle>("balance_arm_angle", 90),
    field<&PhfxRecord::beam_block_wt>("beam_block_wt", 94),
    field<&PhfxRecord::beam_blocks>("beam_blocks", 96),
    field<&PhfxRecord::beam_blocks_max>("beam_blocks_max", 98),
    field<&PhfxRecord::reserved_100>("reserved_100", 100),
    field<&PhfxRecord::pp_sin>("pp_sin", 246),
    field<&PhfxRecord::pp_cos>("pp_cos", 374),
    field<&PhfxRecord::qq_sin>("qq_sin", 502),
    field<&PhfxRecord::qq_cos>("qq_cos", 630),
    field<&PhfxRecord::ii_sin>("ii_sin", 758),
    field<&PhfxRecord::ii_cos>("ii_cos", 886),
    field<&PhfxRecord::uu_sin>("uu_sin", 1014),
    field<&PhfxRecord::uu_cos>("uu_cos", 1142),
    field<&PhfxRecord::ss_sin>("ss_sin", 1270),
    field<&PhfxRecord::ss_cos>("ss_cos", 1334),
    field<&PhfxRecord::gg_sin>("gg_sin", 1398),
    field<&PhfxRecord::gg_cos>("gg_cos", 1526),
    text<&PhfxRecord::cyj_model>("cyj_model", 1654, 30),
    field<&PhfxRecord::gearbox_torque>("gearbox_torque", 1684),
    field<&PhfxRecord::reserved_1688>("reserved_1688", 1688),
};
constexpr RecordLayout<PhfxRecord> kPhfxLayout = record_layout<kPhfxFields>(kPhfxRecordSize, 0);

}  // namespace

const RecordLayout<PhfxRecord::CrankGroup>& PhfxRecord::CrankGroup::layout() { return kCrankGroupLayout; }
const RecordLayout<PhfxRecord>& PhfxRecord::layout() { return kPhfxLayout; }
Bytes PhfxRecord::encode() const { return kPhfxLayout.encode(*this); }
bool PhfxRecord::decode(const Bytes& b) { return kPhfxLayout.decode(b, *this); }

namespace {

constexpr RecordKeyFields kPhfxKeys = record_key_fields(kPhfxLayout);

// A box text as its field holds it once stored, blanks trimmed: what a stored key is compared with.
std::string stored_key_text(const std::string& text, const KeyField& f) {
  return key_as_stored(text, f.length, KeyTrim::Blanks, TypedTrim::None);
}

}  // namespace

std::filesystem::path phfx_path(const ProgramFolder& prog) { return prog.sys() / kPhfxFileName; }

std::optional<std::string> fill_phfx(PhfxRecord& rec, const HeldStroke& h, const ParameterBoxes& t, BalanceMode mode,
                                     const std::string& model) {
  rec.well_name = trim_blanks(h.Cur_Well);
  rec.test_date = trim_blanks(h.Cur_Test);
  rec.point_num = h.gt_num;
  rec.wiring_mode = h.cs_fs;
  rec.rms_current = h.Rms_I;
  rec.rms_power = h.Rms_P;
  for (const I2Box& f : kI2Boxes) {
    const auto v = to_i16(num_val(t[static_cast<std::size_t>(f.box)]) * f.scale);
    if (!v) return std::string(f.caption);
    rec.*(f.field) = *v;
  }
  for (int g = 0; g < kCrankGroups; ++g) {
    const auto count = to_i16(num_val(t[group_count(g)]));
    const auto weight = to_i16(num_val(t[group_wt(g)]) * 1000);
    const auto pos = to_i16(num_val(t[group_pos(g)]) * 1000);
    if (!count) return "分组块数";
    if (!weight) return "单块重 kN";
    if (!pos) return "重心位置 m";
    rec.crank_group[static_cast<std::size_t>(g)] = {*count, *weight, *pos};
  }
  rec.crank_angle0 = static_cast<float>(num_val(t[kCrankAngle0]));
  rec.balance_arm_angle = static_cast<float>(num_val(t[kBalanceArmAngle]));
  rec.gearbox_torque = static_cast<float>(num_val(t[kGearboxTorque]));
  rec.balance_mode = static_cast<std::int16_t>(mode == BalanceMode::Crank ? 0 : mode == BalanceMode::Beam ? 1 : 2);
  rec.cyj_model = Trim_Blank_Nul(model);
  const int n = h.gt_num;
  coef(h.qqs_org, n, kCurveTerms, rec.qq_cos, rec.qq_sin);
  coef(h.pps_org, n, kCurveTerms, rec.pp_cos, rec.pp_sin);
  coef(h.uus_org, n, kCurveTerms, rec.uu_cos, rec.uu_sin);
  coef(h.iis_org, n, kCurveTerms, rec.ii_cos, rec.ii_sin);
  coef(h.sss, n, kStrokeTerms, rec.ss_cos, rec.ss_sin);
  coef(h.ggs, n, kCurveTerms, rec.gg_cos, rec.gg_sin);
  return std::nullopt;
}

PhfxView phfx_view(const PhfxRecord& rec) {
  PhfxView v;
  common_balance_boxes(rec, v.boxes);
  v.balance_mode = rec.balance_mode;
  if (rec.act_stroke > 0) {
    v.boxes[kActStroke] = num_text(rec.act_stroke / 1000.0);
    v.has_box27 = true;
  }
  if (rec.balance_arm_angle != 0) v.boxes[kBalanceArmAngle] = num_text_f(rec.balance_arm_angle);
  v.boxes[kGearboxTorque] = num_text_f(rec.gearbox_torque);
  v.cyj_model = Trim_Blank_Nul(rec.cyj_model);
  return v;
}

void stroke_from_phfx(const PhfxRecord& rec, HeldStroke& h) {
  h.Cur_Well = Trim_Blank_Nul(rec.well_name);
  h.Cur_Test = Trim_Blank_Nul(rec.test_date);
  h.gt_num = std::clamp<std::int16_t>(rec.point_num, 0, kBalanceMaxPoints);
  h.cs_fs = rec.wiring_mode;
  h.Rms_I = rec.rms_current;
  h.Rms_P = rec.rms_power;
  const int n = h.gt_num;
  synth(h.uus, n, rec.uu_cos, rec.uu_sin);
  synth(h.iis, n, rec.ii_cos, rec.ii_sin);
  synth(h.pps, n, rec.pp_cos, rec.pp_sin);
  synth(h.qqs, n, rec.qq_cos, rec.qq_sin);
  synth(h.sss, n, rec.ss_cos, rec.ss_sin);
  synth(h.ggs, n, rec.gg_cos, rec.gg_sin);
  h.uus_org = h.uus;
  h.iis_org = h.iis;
  h.pps_org = h.pps;
  h.qqs_org = h.qqs;
}

KeyMatch phfx_key_match(const std::string& well, const std::string& test) {
  const KeyField& wf = kPhfxKeys.well();
  const KeyField& tf = kPhfxKeys.test();
  return KeyMatch({{wf, stored_key_text(well, wf)}, {tf, stored_key_text(test, tf)}}, KeyTrim::Blanks);
}

StoreStatus find_phfx(const std::filesystem::path& lib, const std::string& well, const std::string& test,
                      PhfxRecord& rec, std::size_t& found) {
  found = 0;
  // Only the key bytes of each record are compared; only the record found is read whole.
  const StoreStatus st = RecordStore(lib, kPhfxRecordSize).find(phfx_key_match(well, test), found);
  if (st != StoreStatus::Ok || found == 0) return st;
  return read_phfx(lib, found, rec);
}

StoreStatus read_phfx(const std::filesystem::path& lib, std::size_t r, PhfxRecord& rec) {
  Bytes b;
  const StoreStatus st = RecordStore(lib, kPhfxRecordSize).read(r, b);
  if (st == StoreStatus::Ok) std::ignore = rec.decode(b);  // the store reads whole records only
  return st;
}

StoreStatus phfx_listing(const std::filesystem::path& lib, std::shared_ptr<const KeyListing>& out) {
  return trimmed_key_listing(lib, kPhfxRecordSize, kPhfxKeys.fields, out);
}

StoreStatus phfx_wells(const std::filesystem::path& lib, std::vector<std::string>& wells) {
  std::shared_ptr<const KeyListing> l;
  const StoreStatus st = phfx_listing(lib, l);
  // Each well once, in a set: a library at its limit may hold thousands of wells.
  std::unordered_set<std::string_view> seen;
  std::vector<std::string_view> firsts;
  for (std::size_t i = 0; i < l->size(); ++i)
    if (seen.insert(l->well_name(i)).second) firsts.push_back(l->well_name(i));
  const std::unordered_set<std::string> listed(wells.begin(), wells.end());
  for (const std::string_view w : firsts)
    if (!listed.count(std::string(w))) wells.emplace_back(w);
  return st;
}

StoreStatus phfx_tests(const std::filesystem::path& lib, const std::string& well, std::vector<std::string>& tests) {
  std::shared_ptr<const KeyListing> l;
  const StoreStatus st = phfx_listing(lib, l);
  tests.clear();
  const std::string w = trim_blanks(well);
  for (std::size_t i = 0; i < l->size(); ++i)
    if (l->well_name(i) == w) tests.emplace_back(l->test_date(i));
  return st;
}

StoreStatus delete_phfx_range(const std::filesystem::path& lib, std::size_t first, std::size_t last, std::size_t row) {
  return under_library_set(lib, [&] {
    // One buffer for the library, the records kept moved down over the ones deleted.
    std::vector<std::uint8_t> content;
    std::error_code ec;
    if (!std::filesystem::exists(lib, ec)) return ec ? StoreStatus::IoError : StoreStatus::Ok;  // nothing to delete
    if (!read_file(lib, content)) return StoreStatus::IoError;
    if (content.size() % kPhfxRecordSize != 0) return StoreStatus::Damaged;
    const std::size_t n = content.size() / kPhfxRecordSize;
    if (first > last) std::swap(first, last);
    std::size_t kept = 0;
    for (std::size_t j = 1; j <= n; ++j) {
      if (j == row || (j >= first && j <= last)) continue;
      if (kept != j - 1)
        std::copy_n(content.begin() + static_cast<std::ptrdiff_t>((j - 1) * kPhfxRecordSize), kPhfxRecordSize,
                    content.begin() + static_cast<std::ptrdiff_t>(kept * kPhfxRecordSize));
      ++kept;
    }
    content.resize(kept * kPhfxRecordSize);
    return write_file_atomic(lib, content) ? StoreStatus::Ok : StoreStatus::IoError;
  });
}

KeyMatch balance_summary_key_match(const std::string& well, const std::string& test) {
  static const RecordKeyFields kSummaryKeys = record_key_fields(DlPhRecord::layout());
  return dlph_key_match(stored_key(well, kSummaryKeys.well().length), stored_key(test, kSummaryKeys.test().length));
}

StoreStatus save_balance_summary(const ProgramFolder& prog, const std::string& well, const std::string& test,
                                 const ParameterBoxes& t, const std::string& advice) {
  RecordStore store(prog.sys() / kDlPhFileName, kDlPhRecordSize);
  std::size_t found = 0;
  StoreStatus st = store.find(balance_summary_key_match(well, test), found);
  if (st != StoreStatus::Ok) return st;
  DlPhRecord rec;  // a local buffer: another window's summary stays its own
  std::size_t target = found;
  if (found) {
    Bytes b;
    if ((st = store.read(found, b)) != StoreStatus::Ok) return st;
    std::ignore = rec.decode(b);  // a record of the store, whole
  } else {
    if ((st = store.count(target)) != StoreStatus::Ok) return st;
    ++target;
    rec.well_name = Trim_Blank_Nul(well);
    rec.test_date = Trim_Blank_Nul(test);
  }
  const long long blocks = round_even(num_val(t[kCrankBlocks]));
  rec.crank_blocks = static_cast<std::int16_t>(std::clamp<long long>(blocks, -32768, 32767));
  rec.crank_block_wt = static_cast<float>(num_val(t[kCrankBlockWt]));
  rec.crank_block_pos = static_cast<float>(num_val(t[kCrankBlockPos]));
  rec.balance_advice = advice;
  return store.write(target, rec.encode());
}

}  // namespace wb
