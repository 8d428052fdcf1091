#include "core/design/engine/rod_design_record.h"

#include "core/common/record_fields.h"
#include "core/common/trim.h"

namespace wb::design {

namespace {

template <std::size_t N>
void put_floats(ByteWriter& w, std::size_t off, const std::array<float, N>& a) {
  w.f32_array(off, a.data(), N);
}
template <std::size_t N>
void get_floats(const ByteReader& r, std::size_t off, std::array<float, N>& a) {
  r.f32_array(off, a.data(), N);
}
template <std::size_t N, std::size_t M>
void put_names(ByteWriter& w, std::size_t off, const std::array<RawText<N>, M>& a) {
  for (std::size_t i = 0; i < M; ++i) put_raw_field(w, off + N * i, a[i]);
}
template <std::size_t N, std::size_t M>
void get_names(const ByteReader& r, std::size_t off, std::array<RawText<N>, M>& a) {
  for (std::size_t i = 0; i < M; ++i) get_raw_field(r, off + N * i, a[i]);
}

std::string key_of(std::span<const std::uint8_t> rec, std::size_t off, std::size_t width) {
  return trim_blanks(gbk_field_text(rec.subspan(off, width)));
}

}  // namespace

Bytes RodDesignRecord::encode() const {
  using namespace rdr;
  Bytes b(kRodDesignRecordSize, 0);
  ByteWriter w(b);
  put_raw_field(w, kWellName, well_name);
  put_raw_field(w, kDesignDate, design_date);
  put_raw_field(w, kCyjModel, cyj_model);
  put_raw_field(w, 44, reserved_44);
  put_floats(w, kWellData, well_data);
  put_floats(w, kDesignPre, design_pre);
  put_floats(w, kDesignPost, design_post);
  w.i16(kDesignMode, design_mode);
  put_raw_field(w, kRodGrade, rod_grade);
  w.f32(kStressAllow, stress_allow);
  w.f32(kStressFactor, stress_factor);
  put_floats(w, kFzqDepth, fzq_depth);
  w.f32(kPumpEffPack, pump_eff_pack);
  w.f32(kViscDown, visc_down);
  w.f32(kGasOilRatio, gas_oil_ratio);
  put_raw_field(w, kCompleteDate, complete_date);
  put_raw_field(w, kProdZone, prod_zone);
  put_floats(w, kWellStruct, well_struct);
  for (std::size_t k = 0; k < 3; ++k) {
    w.i16(kCasing + 6 * k, casing_dia[k]);
    w.f32(kCasing + 6 * k + 2, casing_depth[k]);
  }
  put_floats(w, kBackoffPre, backoff_pre);
  put_floats(w, kBackoffPost, backoff_post);
  put_floats(w, kTubingCentPre, tubing_cent_pre);
  put_floats(w, kTubingCentPost, tubing_cent_post);
  put_names(w, kToolNamePre, tool_name_pre);
  put_floats(w, kToolDepthPre, tool_depth_pre);
  put_names(w, kToolNamePost, tool_name_post);
  put_floats(w, kToolDepthPost, tool_depth_post);
  put_raw_field(w, kDesignUnit, design_unit);
  put_raw_field(w, kDesigner, designer);
  put_raw_field(w, kDesignMemo, design_memo);
  put_floats(w, kPowerOil, power_oil);
  for (std::size_t k = 0; k < reserved_2088.size(); ++k) w.i16(2088 + 2 * k, reserved_2088[k]);
  put_raw_field(w, 2688, reserved_2688);
  w.i16(kWellheadTemp, wellhead_temp);
  w.i16(kTubingId, tubing_id);
  return b;
}

bool RodDesignRecord::decode(std::span<const std::uint8_t> b) {
  using namespace rdr;
  if (b.size() < kRodDesignRecordSize) return false;
  const ByteReader r(b.first(kRodDesignRecordSize));
  get_raw_field(r, kWellName, well_name);
  get_raw_field(r, kDesignDate, design_date);
  get_raw_field(r, kCyjModel, cyj_model);
  get_raw_field(r, 44, reserved_44);
  get_floats(r, kWellData, well_data);
  get_floats(r, kDesignPre, design_pre);
  get_floats(r, kDesignPost, design_post);
  design_mode = r.i16(kDesignMode);
  get_raw_field(r, kRodGrade, rod_grade);
  stress_allow = r.f32(kStressAllow);
  stress_factor = r.f32(kStressFactor);
  get_floats(r, kFzqDepth, fzq_depth);
  pump_eff_pack = r.f32(kPumpEffPack);
  visc_down = r.f32(kViscDown);
  gas_oil_ratio = r.f32(kGasOilRatio);
  get_raw_field(r, kCompleteDate, complete_date);
  get_raw_field(r, kProdZone, prod_zone);
  get_floats(r, kWellStruct, well_struct);
  for (std::size_t k = 0; k < 3; ++k) {
    casing_dia[k] = r.i16(kCasing + 6 * k);
    casing_depth[k] = r.f32(kCasing + 6 * k + 2);
  }
  get_floats(r, kBackoffPre, backoff_pre);
  get_floats(r, kBackoffPost, backoff_post);
  get_floats(r, kTubingCentPre, tubing_cent_pre);
  get_floats(r, kTubingCentPost, tubing_cent_post);
  get_names(r, kToolNamePre, tool_name_pre);
  get_floats(r, kToolDepthPre, tool_depth_pre);
  get_names(r, kToolNamePost, tool_name_post);
  get_floats(r, kToolDepthPost, tool_depth_post);
  get_raw_field(r, kDesignUnit, design_unit);
  get_raw_field(r, kDesigner, designer);
  get_raw_field(r, kDesignMemo, design_memo);
  get_floats(r, kPowerOil, power_oil);
  for (std::size_t k = 0; k < reserved_2088.size(); ++k) reserved_2088[k] = r.i16(2088 + 2 * k);
  get_raw_field(r, 2688, reserved_2688);
  wellhead_temp = r.i16(kWellheadTemp);
  tubing_id = r.i16(kTubingId);
  return true;
}

std::string design_key(std::string_view text, std::size_t width) {
  return trim_blanks(gbk_to_utf8(gbk_field(text, width)));
}

std::string record_well_key(std::span<const std::uint8_t> rec) {
  return key_of(rec, rdr::kWellName, kDesignWellWidth);
}
std::string record_date_key(std::span<const std::uint8_t> rec) {
  return key_of(rec, rdr::kDesignDate, kDesignDateWidth);
}

}  // namespace wb::design
