// Raw joint-test files built byte by byte for the tests: a header with the fields the
// decoder reads and 10-byte samples of raw instrument words.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/common/bytes.h"
#include "core/common/test_records.h"

namespace wb::testing {

struct RawSample {
  std::int16_t current = 0;    // A x100
  std::uint16_t voltage = 0;   // V x50, unsigned
  std::int16_t power = 0;      // kW x100
  std::int16_t position = 0;   // m x1000
  std::int16_t load = 0;       // kN x100
};

inline Bytes org_header(std::int16_t count, std::int16_t wiring_mode, const std::string& date = "200605121430") {
  OrgFileHeader h;
  h.raw.fill(' ');
  h.test_date = date;
  h.sample_count = count;
  h.wiring_mode = wiring_mode;
  h.well_name = "header-well";
  Bytes b = h.encode();
  b.push_back(0);  // byte 1023, never read
  return b;
}

inline Bytes org_file(std::int16_t count, std::int16_t wiring_mode, const std::vector<RawSample>& samples,
                      const std::string& date = "200605121430") {
  Bytes b = org_header(count, wiring_mode, date);
  for (const RawSample& s : samples) {
    const std::uint16_t w[5] = {static_cast<std::uint16_t>(s.current), s.voltage, static_cast<std::uint16_t>(s.power),
                                static_cast<std::uint16_t>(s.position), static_cast<std::uint16_t>(s.load)};
    for (std::uint16_t v : w) {
      b.push_back(static_cast<std::uint8_t>(v & 0xFF));
      b.push_back(static_cast<std::uint8_t>(v >> 8));
    }
  }
  return b;
}

inline void write_bytes(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// A fresh temporary folder per test.
inline std::filesystem::path temp_dir(const std::string& name) {
  auto d = std::filesystem::temp_directory_path() / ("wb_pipe_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::remove_all(d);
  std::filesystem::create_directories(d);
  return d;
}

}  // namespace wb::testing
