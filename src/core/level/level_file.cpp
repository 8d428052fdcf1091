#include "core/level/level_file.h"

#include <algorithm>
#include <cmath>

#include "core/common/file_read.h"
#include "core/common/gbk.h"
#include "core/common/messages.h"
#include "core/common/record_layout.h"

namespace wb {
namespace {

// A level depth the file may carry: 0 (none found yet) up to 10 000 m, deeper than any
// pumped well; an echo of 5001 samples cannot reach further at any sound speed in gas.
constexpr float kMaxLevelDepth = 10000.0f;
// A sound speed the file may carry: 0 (none measured) up to 2000 m/s; gas in the annulus
// carries sound at 150 … 450 m/s, and a speed outside that is searched again on opening.
constexpr float kMaxFileSoundSpeed = 2000.0f;

bool depth_sound(float d) { return std::isfinite(d) && d >= 0.0f && d <= kMaxLevelDepth; }

}  // namespace

namespace {

// Written over a header of blanks; only the fields are read.
constexpr FieldCodec<LevelFileHeader> kLevelHeaderFields[] = {
    text<&LevelFileHeader::test_date>("test_date", 12, 12),
    field<&LevelFileHeader::sample_rate>("sample_rate", 24),
    field<&LevelFileHeader::sample_format>("sample_format", 26),
    field<&LevelFileHeader::sample_count>("sample_count", 28),
    fixed<LevelFileHeader>("zero_30", 30, "\0\0\0\0\0\0"),
    field<&LevelFileHeader::sound_speed>("sound_speed", 36),
    field<&LevelFileHeader::level_depth>("level_depth", 40),
    fixed<LevelFileHeader>("zero_44", 44, "\0\0"),
    text<&LevelFileHeader::well_name>("well_name", 48, 17),
};
constexpr RecordLayout<LevelFileHeader> kLevelHeaderLayout =
    record_layout<kLevelHeaderFields>(kLevelHeaderSize, ' ', LayoutCoverage::Overlay);

}  // namespace

const RecordLayout<LevelFileHeader>& LevelFileHeader::layout() { return kLevelHeaderLayout; }
Bytes LevelFileHeader::encode() const { return kLevelHeaderLayout.encode(*this); }
bool LevelFileHeader::decode(const Bytes& b) { return kLevelHeaderLayout.decode(b, *this); }

std::optional<LevelFileHeader> decode_level_header(std::span<const std::uint8_t> bytes) {
  LevelFileHeader h;
  if (!kLevelHeaderLayout.decode(bytes, h)) return std::nullopt;
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
  // A depth beyond any well is no result: the level is searched as for a file without one.
  t.level_depth = depth_sound(h->level_depth) ? h->level_depth : 0.0f;
  t.wellhead_x = t.sound_mark_x = t.collar_start_x = t.collar_end_x = t.level_x = 0.0f;
  t.sound_speed = h->sound_speed;
  return true;
}

std::vector<std::string> level_file_doubts(std::span<const std::uint8_t> bytes) {
  std::vector<std::string> doubts;
  const auto h = decode_level_header(bytes);
  if (!h) return doubts;
  const std::size_t width = h->sample_format == 2 ? 4 : 2;
  const std::size_t present = (bytes.size() - kLevelHeaderSize) / width;
  if (h->sample_count < 1 || h->sample_count > kEchoSamples)
    doubts.push_back("文件头记录的采样点数为 " + std::to_string(h->sample_count) + "，应在 1 至 " +
                     std::to_string(kEchoSamples) + " 之间。");
  else if (static_cast<std::size_t>(h->sample_count) > present)
    doubts.push_back(samples_missing_doubt(static_cast<std::size_t>(h->sample_count), present));
  if (!std::isfinite(h->sound_speed) || h->sound_speed < 0.0f || h->sound_speed > kMaxFileSoundSpeed)
    doubts.push_back("文件中的声速不是 0 至 2000 米/秒之间的数，已重新计算。");
  if (!depth_sound(h->level_depth)) doubts.push_back("文件中的液面深度不是 0 至 10000 米之间的数，未采用。");
  return doubts;
}

std::string level_doubts_text(const std::vector<std::string>& doubts, const std::string& path) {
  return raw_file_doubts_text("液面测试文件", path, doubts);
}

std::optional<Bytes> read_level_file(const std::filesystem::path& path) {
  const ReadableFile in(path);
  if (!in) return std::nullopt;
  Bytes b(kLevelFileMaxUsed);
  b.resize(in.read_head(b));
  if (b.empty() && in.size() != 0) return std::nullopt;
  return b;
}

Bytes encode_level_file(const LevelFileHeader& h, std::span<const EchoSample> samples) {
  const bool both = h.sample_format == 2;
  const std::size_t width = both ? 4 : 2;
  Bytes b = h.encode();
  b.resize(kLevelHeaderSize + width * samples.size(), 0);
  ByteWriter w(b);
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
