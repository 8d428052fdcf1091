#include "core/level/level_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "core/common/gbk.h"

namespace wb {

std::optional<LevelFileHeader> decode_level_header(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kLevelHeaderSize) return std::nullopt;
  ByteReader r(bytes);
  LevelFileHeader h;
  h.test_date = gbk_field_text(r.raw(12, 12));
  h.sample_rate = r.i16(24);
  h.sample_format = r.i16(26);
  h.sample_count = r.i16(28);
  h.sound_speed = r.f32(36);
  h.level_depth = r.f32(40);
  h.well_name = gbk_field_text(r.raw(48, 17));
  return h;
}

void level_filter(std::span<EchoSample> data, int count, int sample_rate) {
  const double a = 1.0 / (0.5 * std::max(sample_rate, 2));
  double p = 0.0;
  const int n = std::min<int>(count, static_cast<int>(data.size()));
  for (int i = 0; i < n; ++i) {
    const double v = a * data[i].raw + (1.0 - a) * p;
    // |v| never exceeds the largest |raw| so far: the truncated value fits 16 bits.
    data[i].smooth = static_cast<std::int16_t>(std::trunc(v));
    p = data[i].smooth;
  }
}

bool load_level_data(std::span<const std::uint8_t> bytes, LevelTest& t) {
  const auto h = decode_level_header(bytes);
  if (!h) return false;
  ByteReader r(bytes);
  const bool both = h->sample_format == 2;
  const std::size_t width = both ? 4 : 2;
  const std::size_t present = (bytes.size() - kLevelHeaderSize) / width;
  int n = std::clamp<int>(h->sample_count, 0, kEchoSamples);
  n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(n), present));

  t.level_depth = 0.0f;
  t.test_date = h->test_date;
  t.sample_rate = h->sample_rate;
  t.sample_format = h->sample_format;
  t.sample_count = static_cast<std::int16_t>(n);
  t.well_name = h->well_name;
  t.echo_data.fill(EchoSample{});
  for (int i = 0; i < n; ++i) {
    const std::size_t off = kLevelHeaderSize + width * static_cast<std::size_t>(i);
    if (both) {
      t.echo_data[i].smooth = r.i16(off);
      t.echo_data[i].raw = r.i16(off + 2);
    } else {
      t.echo_data[i].raw = r.i16(off);
    }
  }
  if (!both) level_filter(t.echo_data, n, depth_rate(t));
  t.level_depth = h->level_depth;
  t.wellhead_x = t.sound_mark_x = t.collar_start_x = t.collar_end_x = t.level_x = 0.0f;
  t.sound_speed = h->sound_speed;
  return true;
}

std::optional<Bytes> read_level_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Bytes b(kLevelFileMaxUsed);
  in.read(reinterpret_cast<char*>(b.data()), static_cast<std::streamsize>(b.size()));
  if (in.bad()) return std::nullopt;
  b.resize(static_cast<std::size_t>(in.gcount()));
  return b;
}

Bytes encode_level_file(const LevelFileHeader& h, std::span<const EchoSample> samples) {
  const bool both = h.sample_format == 2;
  const std::size_t width = both ? 4 : 2;
  Bytes b(kLevelHeaderSize + width * samples.size(), 0);
  ByteWriter w(b);
  w.fill(0, kLevelHeaderSize, ' ');
  const std::string date = gbk_field(h.test_date, 12);
  w.raw(12, {reinterpret_cast<const std::uint8_t*>(date.data()), date.size()});
  w.i16(24, h.sample_rate);
  w.i16(26, h.sample_format);
  w.i16(28, h.sample_count);
  w.fill(30, 6, 0);
  w.f32(36, h.sound_speed);
  w.f32(40, h.level_depth);
  w.fill(44, 2, 0);
  const std::string name = gbk_field(h.well_name, 17);
  w.raw(48, {reinterpret_cast<const std::uint8_t*>(name.data()), name.size()});
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const std::size_t off = kLevelHeaderSize + width * i;
    if (both) {
      w.i16(off, samples[i].smooth);
      w.i16(off + 2, samples[i].raw);
    } else {
      w.i16(off, samples[i].raw);
    }
  }
  return b;
}

}  // namespace wb
