// Raw fluid-level files (<well>.yNN) as the field instrument writes them: a 1024-byte
// header, then the samples, all little-endian.
//
// The header's fields (the table kLevelHeaderFields in level_file.cpp): the test date and
// time as the instrument writes it (text), the sample rate (samples per second), the sample
// format (2: 4 bytes a sample, filtered value then raw value; else 2, raw), the count of
// samples that follow, the sound speed (float, m/s), the level depth (float, m) and the well
// name (text). Every other byte of the header is ignored; a header written here is blanks
// there, but for two runs of zero bytes the instrument leaves. Samples are signed 16-bit
// values.
//
// The reader takes the file's bytes, so it runs without a file (and under a fuzzer).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/common/bytes.h"
#include "core/level/level_test.h"

namespace wb {

inline constexpr std::size_t kLevelHeaderSize = 1024;
// The most bytes a reader looks at: the header and 5001 samples of 4 bytes.
inline constexpr std::size_t kLevelFileMaxUsed = kLevelHeaderSize + 4 * kEchoSamples;

template <class R>
class RecordLayout;

struct LevelFileHeader {
  std::string test_date;
  std::int16_t sample_rate = 0;
  std::int16_t sample_format = 0;
  std::int16_t sample_count = 0;  // as declared; the reader clamps it
  float sound_speed = 0.0f;
  float level_depth = 0.0f;
  std::string well_name;

  Bytes encode() const;  // the kLevelHeaderSize bytes of the header
  // False (header unchanged) when `b` is shorter than a header.
  [[nodiscard]] bool decode(const Bytes& b);
  static const RecordLayout<LevelFileHeader>& layout();
};

// The header, or nothing when the bytes are shorter than a header.
[[nodiscard]] std::optional<LevelFileHeader> decode_level_header(std::span<const std::uint8_t> bytes);

// The header and samples into the current test (load_data). The count is clamped to
// 0 … 5001 and to the samples the bytes hold; every entry beyond it is zeroed, so nothing
// of the previous test survives. A raw-only file gets its filtered channel computed. The
// markers are cleared to 0. Bytes shorter than a header leave the test untouched: false.
[[nodiscard]] bool load_level_data(std::span<const std::uint8_t> bytes, LevelTest& t);

// The filtered channel from the raw one: a first-order low-pass with a = 1 / (0.5 * rate)
// (time constant half a second), p = 0 before the first sample, v = a*raw + (1 - a)*p in
// double, smooth = v truncated toward zero, p = smooth: the filter runs on the stored
// integers. A rate below 2 runs as at 2 (a = 1: smoothed = raw).
void level_filter(std::span<EchoSample> data, int count, int sample_rate);

// What is wrong with a raw file's header that the instrument would not have written so: a
// sample count outside 1 … 5001 or beyond the samples the file holds, a sound speed or a
// level depth that is no number or beyond any well (the limits beside the reader, with
// their reasons). The sample rate is judged where the depth scale is worked out. One line
// per finding; empty for a sound header or bytes shorter than a header. Such a file still
// opens, the user is told; a level depth beyond reason is read as 0 (not found yet).
std::vector<std::string> level_file_doubts(std::span<const std::uint8_t> bytes);
inline constexpr const char* kLevelDoubtsTitle = "液面测试文件可能已损坏";
// The text the user is shown for the findings, with the file's path.
std::string level_doubts_text(const std::vector<std::string>& doubts, const std::string& path);

// The file's bytes, at most kLevelFileMaxUsed of them; nothing when it cannot be read.
[[nodiscard]] std::optional<Bytes> read_level_file(const std::filesystem::path& path);

// A header and samples as a raw file holds them (format 2: both channels; else raw only).
Bytes encode_level_file(const LevelFileHeader& h, std::span<const EchoSample> samples);

}  // namespace wb
