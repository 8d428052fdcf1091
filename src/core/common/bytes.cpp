#include "core/common/bytes.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace wb {

void ByteReader::check(std::size_t off, std::size_t len) const {
  if (off > data_.size() || len > data_.size() - off) throw std::out_of_range("ByteReader: field outside buffer");
}

std::uint8_t ByteReader::u8(std::size_t off) const {
  check(off, 1);
  return data_[off];
}

std::uint16_t ByteReader::u16(std::size_t off) const {
  check(off, 2);
  return static_cast<std::uint16_t>(data_[off] | (data_[off + 1] << 8));
}

std::int16_t ByteReader::i16(std::size_t off) const { return static_cast<std::int16_t>(u16(off)); }

std::int32_t ByteReader::i32(std::size_t off) const {
  check(off, 4);
  std::uint32_t v = static_cast<std::uint32_t>(data_[off]) | (static_cast<std::uint32_t>(data_[off + 1]) << 8) |
                    (static_cast<std::uint32_t>(data_[off + 2]) << 16) |
                    (static_cast<std::uint32_t>(data_[off + 3]) << 24);
  return static_cast<std::int32_t>(v);
}

float ByteReader::f32(std::size_t off) const { return std::bit_cast<float>(static_cast<std::uint32_t>(i32(off))); }

void ByteReader::f32_array(std::size_t off, float* out, std::size_t count) const {
  check(off, count * 4);
  for (std::size_t i = 0; i < count; ++i) out[i] = f32(off + 4 * i);
}

std::span<const std::uint8_t> ByteReader::raw(std::size_t off, std::size_t len) const {
  check(off, len);
  return data_.subspan(off, len);
}

void ByteWriter::check(std::size_t off, std::size_t len) const {
  if (off > data_.size() || len > data_.size() - off) throw std::out_of_range("ByteWriter: field outside buffer");
}

void ByteWriter::i16(std::size_t off, std::int16_t v) {
  check(off, 2);
  auto u = static_cast<std::uint16_t>(v);
  data_[off] = static_cast<std::uint8_t>(u & 0xff);
  data_[off + 1] = static_cast<std::uint8_t>(u >> 8);
}

void ByteWriter::i32(std::size_t off, std::int32_t v) {
  check(off, 4);
  auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) data_[off + i] = static_cast<std::uint8_t>((u >> (8 * i)) & 0xff);
}

void ByteWriter::f32(std::size_t off, float v) { i32(off, static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(v))); }

void ByteWriter::f32_array(std::size_t off, const float* v, std::size_t count) {
  check(off, count * 4);
  for (std::size_t i = 0; i < count; ++i) f32(off + 4 * i, v[i]);
}

void ByteWriter::raw(std::size_t off, std::span<const std::uint8_t> bytes) {
  check(off, bytes.size());
  if (!bytes.empty()) std::memcpy(data_.data() + off, bytes.data(), bytes.size());
}

void ByteWriter::fill(std::size_t off, std::size_t len, std::uint8_t value) {
  check(off, len);
  std::memset(data_.data() + off, value, len);
}

}  // namespace wb
