// A raw fluid-level file (<well>.yNN) through its reader alone: the bytes as read from disk
// into the level test. Bytes shorter than a header are refused and leave the test as it was;
// otherwise the test never holds more than 5001 samples nor more than the file, nothing
// beyond its count, and the test written back as a file reads back the same. The same file
// read as the level template: refused or 128 finite numbers. The automatic analysis and the
// pictures of a fuzzed file are in level_analysis_fuzz.
#include <bit>
#include <cmath>
#include <cstdint>
#include <span>

#include "core/level/level_analysis.h"
#include "core/level/level_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = wbfuzz::scratch() / wb::u8path("井1.y01");
  wbfuzz::write_bytes(file, data, size);
  const auto bytes = wb::read_level_file(file);
  FUZZ_CHECK(bytes && bytes->size() == std::min(size, wb::kLevelFileMaxUsed));

  wb::LevelTest t;
  t.well_name = "shown";
  t.method = 2;
  if (!wb::load_level_data(*bytes, t)) {
    FUZZ_CHECK(size < wb::kLevelHeaderSize && t.well_name == "shown" && t.method == 2);
    return 0;
  }
  const std::size_t width = t.sample_format == 2 ? 4 : 2;
  FUZZ_CHECK(t.sample_count >= 0 && t.sample_count <= wb::kEchoSamples);
  FUZZ_CHECK(static_cast<std::size_t>(t.sample_count) <= (bytes->size() - wb::kLevelHeaderSize) / width);
  for (int i = t.sample_count; i < wb::kEchoSamples; ++i)
    FUZZ_CHECK(t.echo_data[i].raw == 0 && t.echo_data[i].smooth == 0);
  FUZZ_CHECK(t.level_x == 0.0f && t.wellhead_x == 0.0f);

  // Written back as a file (the test's header and samples) and read again: the same test.
  wb::LevelFileHeader h{t.test_date, t.sample_rate, t.sample_format, t.sample_count,
                        t.sound_speed, t.level_depth, t.well_name};
  const wb::Bytes again = wb::encode_level_file(h, std::span(t.echo_data.data(), static_cast<std::size_t>(t.sample_count)));
  wb::LevelTest u;
  FUZZ_CHECK(wb::load_level_data(again, u));
  FUZZ_CHECK(u.sample_count == t.sample_count && u.sample_rate == t.sample_rate);
  FUZZ_CHECK(std::bit_cast<std::uint32_t>(u.sound_speed) == std::bit_cast<std::uint32_t>(t.sound_speed));
  FUZZ_CHECK(std::bit_cast<std::uint32_t>(u.level_depth) == std::bit_cast<std::uint32_t>(t.level_depth));
  for (int i = 0; i < t.sample_count; ++i)
    FUZZ_CHECK(u.echo_data[i].raw == t.echo_data[i].raw && u.echo_data[i].smooth == t.echo_data[i].smooth);

  // The same file read as the level template: refused or 128 finite numbers.
  const auto tpl = wb::read_level_template(file);
  FUZZ_CHECK(tpl.fault != wb::LevelTemplate::Fault::Missing);
  if (tpl.values)
    for (double v : *tpl.values) FUZZ_CHECK(std::isfinite(v));
  return 0;
}
