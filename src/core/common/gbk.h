// Text at the file boundary. Records and text files hold code page 936 (GBK) bytes in
// fixed-width fields padded with blanks; inside the program every string is UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace wb {

// UTF-8 -> GBK. A character GBK cannot hold becomes '?'.
std::string utf8_to_gbk(std::string_view utf8);
// GBK -> UTF-8. An invalid or truncated double-byte sequence becomes '?'. NUL bytes stay NUL.
std::string gbk_to_utf8(std::string_view gbk);
// As gbk_to_utf8, written over `out`, whose room is reused (many texts decoded in a row).
void gbk_to_utf8(std::string_view gbk, std::string& out);

// GBK -> UTF-8 as gbk_to_utf8, for many texts in a row (the statistics parse keeps one per
// thread). Both directions go through tables built from the system's converter once per
// process, on the first text that is not ASCII (a couple of milliseconds), and are then safe
// to use from any thread.
class GbkDecoder {
 public:
  GbkDecoder();
  ~GbkDecoder();
  GbkDecoder(const GbkDecoder&) = delete;
  GbkDecoder& operator=(const GbkDecoder&) = delete;
  std::string operator()(std::string_view gbk);
};

// Bytes the conversion tables take once built (about 160 kB).
std::size_t gbk_table_bytes();

// Encode `utf8` into exactly `width` GBK bytes: cut at the last whole character that fits
// (a double-byte character is never split) and pad with blanks.
std::string gbk_field(std::string_view utf8, std::size_t width);
// Decode a fixed-width field as stored, padding included (blanks and NULs are kept).
std::string gbk_field_text(std::span<const std::uint8_t> bytes);

// Number of GBK bytes the text takes (the fixed-width column count of text files).
std::size_t gbk_width(std::string_view utf8);
// Cut or pad with blanks to `width` GBK columns, result in UTF-8.
std::string gbk_pad(std::string_view utf8, std::size_t width);

}  // namespace wb
