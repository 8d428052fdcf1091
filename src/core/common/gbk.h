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

// GBK -> UTF-8 as gbk_to_utf8, for many texts in a row: the converter is opened once, on
// the first text that is not ASCII, and kept until the decoder goes.
class GbkDecoder {
 public:
  GbkDecoder();
  ~GbkDecoder();
  GbkDecoder(const GbkDecoder&) = delete;
  GbkDecoder& operator=(const GbkDecoder&) = delete;
  std::string operator()(std::string_view gbk);

 private:
  void* cd_ = nullptr;  // iconv_t
};

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
