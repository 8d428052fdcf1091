#include "core/level/dym_record.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"
#include "core/common/record_fields.h"

namespace wb {

namespace {

constexpr std::size_t kMarksAt = 33;
constexpr std::size_t kSmoothAt = 127;
constexpr std::size_t kRawAt = 10129;
constexpr int kCurveWritten = 5000;  // entries 0 … 4999

}  // namespace

Bytes encode_dym(const DymRecord& r) {
  Bytes b(kDymRecordSize, 0);
  ByteWriter w(b);
  put_text_field(w, 0, kDymNameWidth, r.well_name);
  put_text_field(w, 17, kDymDateWidth, r.test_date);
  w.i16(29, r.sample_count);
  w.i16(31, r.sample_rate);
  for (int m = 0; m < kMarkerCount; ++m) w.f32(kMarksAt + 4 * m, r.marks[m]);
  w.f32(53, r.sound_speed);
  w.f32(57, r.spare_single);
  w.f32(61, r.level_depth);
  w.f32(65, r.joint_length);
  w.i16(69, r.collar_count);
  w.f32(71, r.sound_mark_depth);
  w.i16(75, r.method);
  w.i16(77, r.gain);
  put_raw_field(w, 79, r.reserved_79);
  for (int i = 0; i < kEchoSamples; ++i) {
    w.i16(kSmoothAt + 2 * i, r.smooth_curve[i]);
    w.i16(kRawAt + 2 * i, r.raw_curve[i]);
  }
  return b;
}

std::optional<DymRecord> decode_dym(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kDymRecordSize) return std::nullopt;
  ByteReader r(bytes);
  DymRecord d;
  d.well_name = get_text_field(r, 0, kDymNameWidth);
  d.test_date = get_text_field(r, 17, kDymDateWidth);
  d.sample_count = r.i16(29);
  d.sample_rate = r.i16(31);
  for (int m = 0; m < kMarkerCount; ++m) d.marks[m] = r.f32(kMarksAt + 4 * m);
  d.sound_speed = r.f32(53);
  d.spare_single = r.f32(57);
  d.level_depth = r.f32(61);
  d.joint_length = r.f32(65);
  d.collar_count = r.i16(69);
  d.sound_mark_depth = r.f32(71);
  d.method = r.i16(75);
  d.gain = r.i16(77);
  get_raw_field(r, 79, d.reserved_79);
  for (int i = 0; i < kEchoSamples; ++i) {
    d.smooth_curve[i] = r.i16(kSmoothAt + 2 * i);
    d.raw_curve[i] = r.i16(kRawAt + 2 * i);
  }
  return d;
}

DymRecord dym_from_test(const LevelTest& t, std::vector<std::string>* zeroed) {
  DymRecord d;
  d.well_name = t.well_name;
  d.test_date = t.test_date;
  d.sample_count = t.sample_count;
  d.sample_rate = t.sample_rate;
  for (int m = 0; m < kMarkerCount; ++m)
    d.marks[m] = static_cast<float>(t.marker_x(static_cast<LevelMarker>(m)) * kSamplesPerPoint);
  d.sound_speed = t.sound_speed;
  d.level_depth = t.level_depth;
  d.method = t.method;
  // A box beyond its limit is stored as 0 too: no well has it, and single precision may not
  // hold it.
  auto number = [&](const std::string& text, const char* box, const BoxLimit& l) -> double {
    const auto v = num_parse(text);
    if (v && std::isfinite(*v) && *v <= l.hi) return *v;
    if (zeroed) zeroed->push_back(box);
    return 0.0;
  };
  d.sound_mark_depth = static_cast<float>(number(t.Text3, "Text3", level_box_limit(level_box::kSoundMarkDepth)));
  d.joint_length = static_cast<float>(number(t.Text4, "Text4", level_box_limit(level_box::kJointLength)));
  const auto count = num_parse(t.Text5);
  const auto count16 = count ? to_i16(*count) : std::nullopt;
  if (count16) {
    d.collar_count = *count16;
  } else if (zeroed) {
    zeroed->push_back("Text5");
  }
  d.gain = static_cast<std::int16_t>(t.gain);
  for (int i = 0; i < kCurveWritten; ++i) {
    d.smooth_curve[i] = t.echo_data[i].smooth;
    d.raw_curve[i] = t.echo_data[i].raw;
  }
  return d;
}

int gain_from_record(std::int16_t gain) { return gain < 1 ? 3 : std::min<int>(gain, 8); }

void load_dym_into_test(const DymRecord& r, LevelTest& t) {
  t.well_name = r.well_name;
  t.test_date = r.test_date;
  t.sample_count = static_cast<std::int16_t>(std::clamp<int>(r.sample_count, 0, kEchoSamples));
  t.sample_rate = r.sample_rate;
  t.sound_speed = r.sound_speed;
  t.level_depth = r.level_depth;
  t.method = r.method;
  for (int m = 0; m < kMarkerCount; ++m)
    t.place_marker(static_cast<LevelMarker>(m), static_cast<float>(r.marks[m] / kSamplesPerPoint));
  t.Text3 = num_text_f(r.sound_mark_depth);
  t.Text4 = num_text_f(r.joint_length);
  t.Text5 = std::to_string(r.collar_count);
  t.gain = gain_from_record(r.gain);
  t.echo_data.fill(EchoSample{});
  for (int i = 0; i < kCurveWritten; ++i) t.echo_data[i] = {r.smooth_curve[i], r.raw_curve[i]};
  t.auto_level_index = -1;
}

}  // namespace wb
