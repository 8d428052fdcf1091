#include "core/design/engine/rod_design_record.h"

#include "core/common/record_layout.h"
#include "core/common/trim.h"

namespace wb::design {

namespace {

std::string key_of(std::span<const std::uint8_t> rec, std::size_t off, std::size_t width) {
  return trim_blanks(gbk_field_text(rec.subspan(off, width)));
}

using namespace rdr;

constexpr std::size_t kCasingStride = 6;  // the casings' diameters and depths take turns

constexpr FieldCodec<RodDesignRecord> kRodDesignFields[] = {
    field<&RodDesignRecord::well_name>("well_name", kWellName),
    field<&RodDesignRecord::design_date>("design_date", kDesignDate),
    field<&RodDesignRecord::cyj_model>("cyj_model", kCyjModel),
    field<&RodDesignRecord::reserved_44>("reserved_44", 44),
    field<&RodDesignRecord::well_data>("well_data", kWellData),
    field<&RodDesignRecord::design_pre>("design_pre", kDesignPre),
    field<&RodDesignRecord::design_post>("design_post", kDesignPost),
    field<&RodDesignRecord::design_mode>("design_mode", kDesignMode),
    field<&RodDesignRecord::rod_grade>("rod_grade", kRodGrade),
    field<&RodDesignRecord::stress_allow>("stress_allow", kStressAllow),
    field<&RodDesignRecord::stress_factor>("stress_factor", kStressFactor),
    field<&RodDesignRecord::fzq_depth>("fzq_depth", kFzqDepth),
    field<&RodDesignRecord::pump_eff_pack>("pump_eff_pack", kPumpEffPack),
    field<&RodDesignRecord::visc_down>("visc_down", kViscDown),
    field<&RodDesignRecord::gas_oil_ratio>("gas_oil_ratio", kGasOilRatio),
    field<&RodDesignRecord::complete_date>("complete_date", kCompleteDate),
    field<&RodDesignRecord::prod_zone>("prod_zone", kProdZone),
    field<&RodDesignRecord::well_struct>("well_struct", kWellStruct),
    field<&RodDesignRecord::casing_dia>("casing_dia", kCasing, kCasingStride),
    field<&RodDesignRecord::casing_depth>("casing_depth", kCasing + 2, kCasingStride),
    field<&RodDesignRecord::backoff_pre>("backoff_pre", kBackoffPre),
    field<&RodDesignRecord::backoff_post>("backoff_post", kBackoffPost),
    field<&RodDesignRecord::tubing_cent_pre>("tubing_cent_pre", kTubingCentPre),
    field<&RodDesignRecord::tubing_cent_post>("tubing_cent_post", kTubingCentPost),
    field<&RodDesignRecord::tool_name_pre>("tool_name_pre", kToolNamePre),
    field<&RodDesignRecord::tool_depth_pre>("tool_depth_pre", kToolDepthPre),
    field<&RodDesignRecord::tool_name_post>("tool_name_post", kToolNamePost),
    field<&RodDesignRecord::tool_depth_post>("tool_depth_post", kToolDepthPost),
    field<&RodDesignRecord::design_unit>("design_unit", kDesignUnit),
    field<&RodDesignRecord::designer>("designer", kDesigner),
    field<&RodDesignRecord::design_memo>("design_memo", kDesignMemo),
    field<&RodDesignRecord::power_oil>("power_oil", kPowerOil),
    field<&RodDesignRecord::reserved_2088>("reserved_2088", 2088),
    field<&RodDesignRecord::reserved_2688>("reserved_2688", 2688),
    field<&RodDesignRecord::wellhead_temp>("wellhead_temp", kWellheadTemp),
    field<&RodDesignRecord::tubing_id>("tubing_id", kTubingId),
};
constexpr RecordLayout<RodDesignRecord> kRodDesignLayout = record_layout<kRodDesignFields>(kRodDesignRecordSize, 0);

}  // namespace

const RecordLayout<RodDesignRecord>& RodDesignRecord::layout() { return kRodDesignLayout; }
Bytes RodDesignRecord::encode() const { return kRodDesignLayout.encode(*this); }
bool RodDesignRecord::decode(std::span<const std::uint8_t> b) { return kRodDesignLayout.decode(b, *this); }

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
