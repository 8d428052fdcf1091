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
constexpr RecordLayout<SgtRecord> kSgtLayout{kSgtRecordSize, 0, kSgtFields};

}  // namespace

const RecordLayout<SgtRecord>& SgtRecord::layout() { return kSgtLayout; }
Bytes SgtRecord::encode() const { return kSgtLayout.encode(*this); }
bool SgtRecord::decode(const Bytes& b) { return kSgtLayout.decode(b, *this); }

Bytes DntRecord::encode() const {
  Bytes b(kDntRecordSize, 0);
  ByteWriter w(b);
  put_text_field(w, 0, well_name, well_name_raw);
  put_text_field(w, 16, test_date, test_date_raw);
  const std::int16_t v[] = {point_num,      avg_current,     avg_voltage,    input_power,      reactive_power,
                            apparent_power, power_factor,    max_current_up, max_current_down, rms_current,
                            avg_power_up,   avg_power_down,  rms_power,      reserved_54,      reserved_56,
                            wiring_mode,    reserved_60,     reserved_62,    reserved_64,      reserved_66};
  for (std::size_t i = 0; i < std::size(v); ++i) w.i16(28 + 2 * i, v[i]);
  put_raw_field(w, 68, reserved_text);
  w.f32_array(256, ii_sin.data(), 32);
  w.f32_array(384, ii_cos.data(), 32);
  w.f32_array(512, uu_sin.data(), 32);
  w.f32_array(640, uu_cos.data(), 32);
  w.f32_array(768, pp_sin.data(), 32);
  w.f32_array(896, pp_cos.data(), 32);
  return b;
}

bool DntRecord::decode(const Bytes& b) {
  if (b.size() < kDntRecordSize) return false;
  ByteReader r(b);
  get_text_field(r, 0, well_name, well_name_raw);
  get_text_field(r, 16, test_date, test_date_raw);
  std::int16_t* v[] = {&point_num,      &avg_current,    &avg_voltage,    &input_power,      &reactive_power,
                       &apparent_power, &power_factor,   &max_current_up, &max_current_down, &rms_current,
                       &avg_power_up,   &avg_power_down, &rms_power,      &reserved_54,      &reserved_56,
                       &wiring_mode,    &reserved_60,    &reserved_62,    &reserved_64,      &reserved_66};
  for (std::size_t i = 0; i < std::size(v); ++i) *v[i] = r.i16(28 + 2 * i);
  get_raw_field(r, 68, reserved_text);
  r.f32_array(256, ii_sin.data(), 32);
  r.f32_array(384, ii_cos.data(), 32);
  r.f32_array(512, uu_sin.data(), 32);
  r.f32_array(640, uu_cos.data(), 32);
  r.f32_array(768, pp_sin.data(), 32);
  r.f32_array(896, pp_cos.data(), 32);
  return true;
}

Bytes XbtRecord::encode() const {
  Bytes b(kXbtRecordSize, 0);
  ByteWriter w(b);
  put_text_field(w, 0, well_name, well_name_raw);
  put_text_field(w, 16, test_date, test_date_raw);
  const std::int16_t v[] = {reserved_28, current, voltage, active_power, apparent_power, power_factor, phase_diff,
                            order_num};
  for (std::size_t i = 0; i < std::size(v); ++i) w.i16(28 + 2 * i, v[i]);
  put_raw_field(w, 44, reserved_text);
  w.f32_array(224, ii_sin.data(), 50);
  w.f32_array(424, ii_cos.data(), 50);
  w.f32_array(624, uu_sin.data(), 50);
  w.f32_array(824, uu_cos.data(), 50);
  return b;
}

bool XbtRecord::decode(const Bytes& b) {
  if (b.size() < kXbtRecordSize) return false;
  ByteReader r(b);
  get_text_field(r, 0, well_name, well_name_raw);
  get_text_field(r, 16, test_date, test_date_raw);
  std::int16_t* v[] = {&reserved_28, &current, &voltage, &active_power, &apparent_power, &power_factor, &phase_diff,
                       &order_num};
  for (std::size_t i = 0; i < std::size(v); ++i) *v[i] = r.i16(28 + 2 * i);
  get_raw_field(r, 44, reserved_text);
  r.f32_array(224, ii_sin.data(), 50);
  r.f32_array(424, ii_cos.data(), 50);
  r.f32_array(624, uu_sin.data(), 50);
  r.f32_array(824, uu_cos.data(), 50);
  return true;
}

bool OrgFileHeader::decode(const Bytes& b) {
  if (b.size() < kOrgHeaderSize) return false;
  ByteReader r(b);
  get_raw_field(r, 0, raw);
  test_date = get_text_field(r, 12, 12);
  sample_count = r.i16(28);
  wiring_mode = r.i16(30);
  well_name = get_text_field(r, 47, 17);
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
  put_text_field(w, 12, 12, test_date);
  w.i16(28, sample_count);
  w.i16(30, wiring_mode);
  put_text_field(w, 47, 17, well_name);
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
