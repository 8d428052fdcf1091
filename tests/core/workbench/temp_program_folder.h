// A fresh program folder (data, sys, image, report) under the temporary folder, removed at
// the end of the test; and small helpers to build and inspect library files byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/common/paths.h"

namespace wb::test {

class TempProgram {
 public:
  TempProgram() {
    std::random_device rd;
    root_ = std::filesystem::temp_directory_path() / ("wb_libs_" + std::to_string(rd()) + std::to_string(rd()));
    prog.root = root_;
    prog.create_folders();
  }
  ~TempProgram() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  ProgramFolder prog;

 private:
  std::filesystem::path root_;
};

inline std::vector<std::uint8_t> file_bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void put_bytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& b) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// A file of `n` zeroed records of `len` bytes, sparse on the disk (a library at its limit
// without writing it).
inline void sparse_library(const std::filesystem::path& p, std::size_t len, std::size_t n) {
  { std::ofstream f(p, std::ios::binary | std::ios::trunc); }
  std::filesystem::resize_file(p, n * len);
}

inline std::string ascii_at(const std::vector<std::uint8_t>& b, std::size_t off, std::size_t len) {
  return std::string(b.begin() + static_cast<std::ptrdiff_t>(off), b.begin() + static_cast<std::ptrdiff_t>(off + len));
}

inline std::int16_t i16_at(const std::vector<std::uint8_t>& b, std::size_t off) {
  return static_cast<std::int16_t>(b[off] | (b[off + 1] << 8));
}

}  // namespace wb::test
