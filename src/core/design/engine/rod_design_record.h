// One rod-string design of \sys\roddesign.dat: 5120 bytes, no header, records numbered from 1.
//
// Fields follow each other without gaps: the one-byte grade letter at 234 puts the float32
// fields from `stress_allow` to `gas_oil_ratio` at odd offsets. Numbers are little-endian
// float32 or int16. Text fields are fixed-width GBK, blank-padded, kept here as their stored
// bytes so that a record read and written back is byte for byte the same (fields no operation
// sets are carried that way). A fresh record is all zero bytes. The key is `well_name` with
// `design_date`, compared after trimming blanks, case-sensitive.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/common/bytes.h"
#include "core/common/gbk.h"

namespace wb {
template <class R>
class RecordLayout;
}

namespace wb::design {

inline constexpr std::size_t kRodDesignRecordSize = 5120;
inline constexpr std::size_t kDesignWellWidth = 16;
inline constexpr std::size_t kDesignDateWidth = 8;
inline constexpr std::size_t kDesignFzqCount = 198;  // centralizer depth slots

// Byte offsets of the fields the code addresses by offset.
namespace rdr {
inline constexpr std::size_t kWellName = 0;
inline constexpr std::size_t kDesignDate = 16;
inline constexpr std::size_t kCyjModel = 24;
inline constexpr std::size_t kWellData = 64;
inline constexpr std::size_t kDesignPre = 120;
inline constexpr std::size_t kDesignPost = 176;
inline constexpr std::size_t kDesignMode = 232;
inline constexpr std::size_t kRodGrade = 234;
inline constexpr std::size_t kStressAllow = 235;
inline constexpr std::size_t kStressFactor = 239;
inline constexpr std::size_t kFzqDepth = 243;
inline constexpr std::size_t kPumpEffPack = 1035;
inline constexpr std::size_t kViscDown = 1039;
inline constexpr std::size_t kGasOilRatio = 1043;
inline constexpr std::size_t kCompleteDate = 1047;
inline constexpr std::size_t kProdZone = 1060;
inline constexpr std::size_t kWellStruct = 1076;
inline constexpr std::size_t kCasing = 1108;  // 3 × (int16 diameter, float32 depth), 6 bytes each
inline constexpr std::size_t kBackoffPre = 1126;
inline constexpr std::size_t kBackoffPost = 1138;
inline constexpr std::size_t kTubingCentPre = 1150;
inline constexpr std::size_t kTubingCentPost = 1166;
inline constexpr std::size_t kToolNamePre = 1182;
inline constexpr std::size_t kToolDepthPre = 1282;
inline constexpr std::size_t kToolNamePost = 1322;
inline constexpr std::size_t kToolDepthPost = 1422;
inline constexpr std::size_t kDesignUnit = 1462;
inline constexpr std::size_t kDesigner = 1484;
inline constexpr std::size_t kDesignMemo = 1492;
inline constexpr std::size_t kPowerOil = 2048;
inline constexpr std::size_t kWellheadTemp = 5116;
inline constexpr std::size_t kTubingId = 5118;
inline constexpr std::size_t kToolNameWidth = 10;
}  // namespace rdr

template <std::size_t N>
using RawText = std::array<std::uint8_t, N>;

struct RodDesignRecord {
  RawText<16> well_name{};                   // 0, key 1
  RawText<8> design_date{};                  // 16, key 2
  RawText<20> cyj_model{};                   // 24, pumping-unit model
  RawText<20> reserved_44{};                 // 44, never set
  std::array<float, 14> well_data{};         // 64, well and test data (water cut %, densities t/m³, MPa, m, kN)
  std::array<float, 14> design_pre{};        // 120, string and pumping values before the design
  std::array<float, 14> design_post{};       // 176, the same after the design
  std::int16_t design_mode = 0;              // 232: 1 lightest rods, 3 equal strength 1"/7/8"/3/4", 4 7/8"/3/4"/5/8"
  RawText<1> rod_grade{};                    // 234, "C", "D", "K" or "H"
  float stress_allow = 0;                    // 235, MPa
  float stress_factor = 0;                   // 239
  std::array<float, kDesignFzqCount> fzq_depth{};  // 243, centralizer depths, m; 0 = empty slot
  float pump_eff_pack = 0;                   // 1035, 1000 × efficiency from the stroke + design efficiency
  float visc_down = 0;                       // 1039, downhole oil viscosity, mPa·s
  float gas_oil_ratio = 0;                   // 1043, m³/t
  RawText<13> complete_date{};               // 1047
  RawText<16> prod_zone{};                   // 1060
  std::array<float, 8> well_struct{};        // 1076, elevations and depths, m
  std::array<std::int16_t, 3> casing_dia{};  // 1108 + 6k, mm
  std::array<float, 3> casing_depth{};       // 1110 + 6k, m
  std::array<float, 3> backoff_pre{};        // 1126, rod back-off tools 2..4, m
  std::array<float, 3> backoff_post{};       // 1138
  std::array<float, 4> tubing_cent_pre{};    // 1150
  std::array<float, 4> tubing_cent_post{};   // 1166
  std::array<RawText<10>, 10> tool_name_pre{};   // 1182, slot 9 never set
  std::array<float, 10> tool_depth_pre{};        // 1282, m
  std::array<RawText<10>, 10> tool_name_post{};  // 1322
  std::array<float, 10> tool_depth_post{};       // 1422, m
  RawText<22> design_unit{};                 // 1462
  RawText<8> designer{};                     // 1484
  RawText<556> design_memo{};                // 1492
  std::array<float, 10> power_oil{};         // 2048, powers kW, motor, oil properties
  std::array<std::int16_t, 300> reserved_2088{};   // 2088, never set by a running operation
  std::array<std::uint8_t, 2428> reserved_2688{};  // 2688, never set
  std::int16_t wellhead_temp = 0;            // 5116, °C
  std::int16_t tubing_id = 0;                // 5118, mm

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(std::span<const std::uint8_t> b);
  static const RecordLayout<RodDesignRecord>& layout();
};

// A stored text field as it shows in a box, padding included (UTF-8).
template <std::size_t N>
std::string field_text(const RawText<N>& raw) {
  return gbk_field_text(raw);
}
// A box text into a field: GBK, cut at a whole character, blank-padded.
template <std::size_t N>
void set_field_text(RawText<N>& raw, std::string_view utf8) {
  const std::string g = gbk_field(utf8, N);
  std::copy(g.begin(), g.end(), raw.begin());
}

// The key a text has once stored in a field of `width` bytes: cut as stored, blanks trimmed.
std::string design_key(std::string_view text, std::size_t width);
// The stored key of a record's well name or design date, blanks trimmed.
std::string record_well_key(std::span<const std::uint8_t> rec);
std::string record_date_key(std::span<const std::uint8_t> rec);

}  // namespace wb::design
