#include "core/common/test_records.h"

#include <algorithm>

#include "core/common/record_fields.h"
#include "core/common/record_layout.h"

namespace wb {

namespace {

constexpr FieldCodec<SgtRecord> kSgtFields[] = {
    kept_text<&SgtRecord::well_name, &SgtRecord::well_name_raw>("well_name", 0),
    kept_text<&SgtRecord::test_date, &SgtRecord::test_date_raw>("test_date", 16),
    field<&SgtRecord::point_num>("point_num", 28),
    field<&SgtRecord::real_stroke>("real_stroke", 30),
    field<&SgtRecord::max_load>("max_load", 32),
    field<&SgtRecord::min_load>("min_load", 34),
    field<&SgtRecord::reserved_36>("reserved_36", 36),
    field<&SgtRecord::rod_power>("rod_power", 40),
    field<&SgtRecord::theo_stroke>("theo_stroke", 44),
    field<&SgtRecord::theo_max_load>("theo_max_load", 46),
    field<&SgtRecord::theo_min_load>("theo_min_load", 48),
    field<&SgtRecord::stroke_loss>("stroke_loss", 50),
    field<&SgtRecord::joint_flag>("joint_flag", 52),
    field<&SgtRecord::reserved_text>("reserved_text", 54),
    field<&SgtRecord::ss_sin>("ss_sin", 128),
    field<&SgtRecord::ss_cos>("ss_cos", 192),
    field<&SgtRecord::gg_sin>("gg_sin", 256),
    field<&SgtRecord::gg_cos>("gg_cos", 384),
};
constexpr RecordLayout<SgtRecord> kSgtLayout = record_layout<kSgtFields>(kSgtRecordSize, 0);

constexpr FieldCodec<DntRecord> kDntFields[] = {
    kept_text<&DntRecord::well_name, &DntRecord::well_name_raw>("well_name", 0),
    kept_text<&DntRecord::test_date, &DntRecord::test_date_raw>("test_date", 16),
    field<&DntRecord::point_num>("point_num", 28),
    field<&DntRecord::avg_current>("avg_current", 30),
    field<&DntRecord::avg_voltage>("avg_voltage", 32),
    field<&DntRecord::input_power>("input_power", 34),
    field<&DntRecord::reactive_power>("reactive_power", 36),
    field<&DntRecord::apparent_power>("apparent_power", 38),
    field<&DntRecord::power_factor>("power_factor", 40),
    field<&DntRecord::max_current_up>("max_current_up", 42),
    field<&DntRecord::max_current_down>("max_current_down", 44),
    field<&DntRecord::rms_current>("rms_current", 46),
    field<&DntRecord::avg_power_up>("avg_power_up", 48),
    field<&DntRecord::avg_power_down>("avg_power_down", 50),
    field<&DntRecord::rms_power>("rms_power", 52),
    field<&DntRecord::reserved_54>("reserved_54", 54),
    field<&DntRecord::reserved_56>("reserved_56", 56),
    field<&DntRecord::wiring_mode>("wiring_mode", 58),
    field<&DntRecord::reserved_60>("reserved_60", 60),
    field<&DntRecord::reserved_62>("reserved_62", 62),
    field<&DntRecord::reserved_64>("reserved_64", 64),
    field<&DntRecord::reserved_66>("reserved_66", 66),
    field<&DntRecord::reserved_text>("reserved_text", 68),
    field<&DntRecord::ii_sin>("ii_sin", 256),
    field<&DntRecord::ii_cos>("ii_cos", 384),
    field<&DntRecord::uu_sin>("uu_sin", 512),
    field<&DntRecord::uu_cos>("uu_cos", 640),
    field<&DntRecord::pp_sin>("pp_sin", 768),
    field<&DntRecord::pp_cos>("pp_cos", 896),
};
constexpr RecordLayout<DntRecord> kDntLayout = record_layout<kDntFields>(kDntRecordSize, 0);

constexpr FieldCodec<XbtRecord> kXbtFields[] = {
    kept_text<&XbtRecord::well_name, &XbtRecord::well_name_raw>("well_name", 0),
    kept_text<&XbtRecord::test_date, &XbtRecord::test_date_raw>("test_date", 16),
    field<&XbtRecord::reserved_28>("reserved_28", 28),
    field<&XbtRecord::current>("current", 30),
    field<&XbtRecord::voltage>("voltage", 32),
    field<&XbtRecord::active_power>("active_power", 34),
    field<&XbtRecord::apparent_power>("apparent_power", 36),
    field<&XbtRecord::power_factor>("power_factor", 38),
    field<&XbtRecord::phase_diff>("phase_diff", 40),
    field<&XbtRecord::order_num>("order_num", 42),
    field<&XbtRecord::reserved_text>("reserved_text", 44),
    field<&XbtRecord::ii_sin>("ii_sin", 224),
    field<&XbtRecord::ii_cos>("ii_cos", 424),
    field<&XbtRecord::uu_sin>("uu_sin", 624),
    field<&XbtRecord::uu_cos>("uu_cos", 824),
};
constexpr RecordLayout<XbtRecord> kXbtLayout = record_layout<kXbtFields>(kXbtRecordSize, 0);

// The header's bytes are kept whole (`raw`); these fields are read from them and written
// over them.
constexpr FieldCodec<OrgFileHeader> kOrgHeaderFields[] = {
    text<&OrgFileHeader::test_date>("test_date", 12, 12),
    field<&OrgFileHeader::sample_count>("sample_count", 28),
    field<&OrgFileHeader::wiring_mode>("wiring_mode", 30),
    text<&OrgFileHeader::well_name>("well_name", 47, 17),
};
constexpr RecordLayout<OrgFileHeader> kOrgHeaderLayout = record_layout<kOrgHeaderFields>(kOrgHeaderSize, 0, LayoutCoverage::Overlay);

}  // namespace

const RecordLayout<SgtRecord>& SgtRecord::layout() { return kSgtLayout; }
Bytes SgtRecord::encode() const { return kSgtLayout.encode(*this); }
bool SgtRecord::decode(const Bytes& b) { return kSgtLayout.decode(b, *this); }

const RecordLayout<DntRecord>& DntRecord::layout() { return kDntLayout; }
Bytes DntRecord::encode() const { return kDntLayout.encode(*this); }
bool DntRecord::decode(const Bytes& b) { return kDntLayout.decode(b, *this); }

const RecordLayout<XbtRecord>& XbtRecord::layout() { return kXbtLayout; }
Bytes XbtRecord::encode() const { return kXbtLayout.encode(*this); }
bool XbtRecord::decode(const Bytes& b) { return kXbtLayout.decode(b, *this); }

const RecordLayout<OrgFileHeader>& OrgFileHeader::layout() { return kOrgHeaderLayout; }

bool OrgFileHeader::decode(const Bytes& b) {
  if (b.size() < kOrgHeaderSize) return false;
  const ByteReader r(b);
  get_raw_field(r, 0, raw);
  kOrgHeaderLayout.read(*this, r, 0);
  return true;
}

std::array<std::uint8_t, 12> OrgFileHeader::test_date_raw() const {
  std::array<std::uint8_t, 12> a{};
  std::copy_n(raw.begin() + 12, a.size(), a.begin());
  return a;
}

Bytes OrgFileHeader::encode() const {
  Bytes b(raw.begin(), raw.end());
  ByteWriter w(b);
  kOrgHeaderLayout.write(*this, w, 0);
  return b;
}

const char* wiring_mode_name(int mode) {
  switch (mode) {
    case 1: return "三相二通道";
    case 2: return "三相一通道";
    case 3: return "单相测试  ";
    case 4: return "三相三通道";
    default: return "";
  }
}

}  // namespace wb
