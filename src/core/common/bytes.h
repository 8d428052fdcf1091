// Checked little-endian byte reader and writer for the fixed-length record layouts.
// Every field is read or written at an explicit offset; an access outside the buffer
// throws std::out_of_range (a programming error, never a file problem: callers check
// lengths before decoding).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wb {

using Bytes = std::vector<std::uint8_t>;

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}
  std::size_t size() const { return data_.size(); }
  std::int16_t i16(std::size_t off) const;
  std::uint16_t u16(std::size_t off) const;
  std::int32_t i32(std::size_t off) const;
  float f32(std::size_t off) const;
  // `count` consecutive float32 values starting at `off`.
  void f32_array(std::size_t off, float* out, std::size_t count) const;
  std::span<const std::uint8_t> raw(std::size_t off, std::size_t len) const;
  std::uint8_t u8(std::size_t off) const;

 private:
  void check(std::size_t off, std::size_t len) const;
  std::span<const std::uint8_t> data_;
};

class ByteWriter {
 public:
  explicit ByteWriter(std::span<std::uint8_t> data) : data_(data) {}
  void i16(std::size_t off, std::int16_t v);
  void i32(std::size_t off, std::int32_t v);
  void f32(std::size_t off, float v);
  void f32_array(std::size_t off, const float* v, std::size_t count);
  void raw(std::size_t off, std::span<const std::uint8_t> bytes);
  void fill(std::size_t off, std::size_t len, std::uint8_t value);

 private:
  void check(std::size_t off, std::size_t len) const;
  std::span<std::uint8_t> data_;
};

}  // namespace wb
