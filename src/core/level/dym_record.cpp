#include "core/level/dym_record.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "core/common/number_text.h"
#include "core/common/record_fields.h"
#include "core/common/record_layout.h"

namespace wb {

namespace {

constexpr int kCurveWritten = 5000;  // entries 0 … 4999

constexpr FieldCodec<DymRecord> kDymFields[] = {
    text<&DymRecord::well_name>("well_name", 0, kDymNameWidth),
    text<&DymRecord::test_date>("test_date", 17, kDymDateWidth),
    field<&DymRecord::sample_count>("sample_count", 29),
    field<&DymRecord::sample_rate>("sample_rate", 31),
    field<&DymRecord::marks>("marks", 33),
    field<&DymRecord::sound_speed>("sound_speed", 53),
    field<&DymRecord::spare_single>("spare_single", 57),
    field<&DymRecord::level_depth>("level_depth", 61),
    field<&DymRecord::joint_length>("joint_length", 65),
    field<&DymRecord::collar_count>("collar_count", 69),
    field<&DymRecord::sound_mark_depth>("sound_mark_depth", 71),
    field<&DymRecord::method>("method", 75),
    field<&DymRecord::gain>("gain", 77),
    field<&DymRecord::reserved_79>("reserved_79", 79),
    field<&DymRecord::smooth_curve>("smooth_curve", 127),
    field<&DymRecord::raw_curve>("raw_curve", 10129),
};
constexpr RecordLayout<DymRecord> kDymLayout = record_layout<kDymFields>(kDymRecordSize, 0);

}  // namespace

const RecordLayout<DymRecord>& DymRecord::layout() { return kDymLayout; }
Bytes DymRecord::encode() const { return kDymLayout.encode(*this); }
bool DymRecord::decode(const Bytes& b) { return kDymLayout.decode(b, *this); }

Bytes encode_dym(const DymRecord& r) { return r.encode(); }

std::optional<DymRecord> decode_dym(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kDymRecordSize) return std::nullopt;
  DymRecord d;
  std::ignore = kDymLayout.decode(bytes, d);  // exactly one record
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
