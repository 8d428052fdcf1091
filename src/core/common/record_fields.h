// Fields at fixed offsets of the binary records: GBK text fields and reserved bytes kept as
// read, and the key a text becomes once stored in its field.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/common/bytes.h"
#include "core/common/gbk.h"
#include "core/common/trim.h"

namespace wb {

// The text field of `len` bytes at `off`, in UTF-8, padding included.
inline std::string get_text_field(const ByteReader& r, std::size_t off, std::size_t len) {
  return gbk_field_text(r.raw(off, len));
}

// `utf8` as a GBK field of exactly `len` bytes at `off` (cut at a whole character, blank-padded).
inline void put_text_field(ByteWriter& w, std::size_t off, std::size_t len, std::string_view utf8) {
  const std::string g = gbk_field(utf8, len);
  w.raw(off, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(g.data()), g.size()));
}

template <std::size_t N>
void get_raw_field(const ByteReader& r, std::size_t off, std::array<std::uint8_t, N>& a) {
  auto s = r.raw(off, N);
  std::copy(s.begin(), s.end(), a.begin());
}

template <std::size_t N>
void put_raw_field(ByteWriter& w, std::size_t off, const std::array<std::uint8_t, N>& a) {
  w.raw(off, std::span<const std::uint8_t>(a.data(), N));
}

// A text field read with its stored bytes: `text` is what it shows (UTF-8, padding kept),
// `raw` the bytes as stored.
template <std::size_t N>
void get_text_field(const ByteReader& r, std::size_t off, std::string& text, std::array<std::uint8_t, N>& raw) {
  get_raw_field(r, off, raw);
  text = gbk_field_text(raw);
}

// Writes the stored bytes back while the text is still what they read as, exactly or (when
// not blank) once both are trimmed, as a name shown in a box and put back is; any other text
// is encoded. So a field the program only carries keeps bytes GBK cannot decode (0xFF, a
// lead byte cut off at the field's end), and an edited or emptied field is stored as typed.
template <std::size_t N>
void put_text_field(ByteWriter& w, std::size_t off, std::string_view text, const std::array<std::uint8_t, N>& raw) {
  const std::string shown = gbk_field_text(raw);
  bool carried = text == shown;
  if (!carried) {
    const std::string t = Trim_Blank_Nul(text);
    carried = !t.empty() && t == Trim_Blank_Nul(shown);
  }
  if (carried)
    put_raw_field(w, off, raw);
  else
    put_text_field(w, off, N, text);
}

// A key text as it reads back from a field of `width` bytes, trimmed: a text longer than its
// field is compared by the part that is stored, so saving it again finds its record.
inline std::string stored_key(std::string_view text, std::size_t width) {
  return Trim_Blank_Nul(gbk_to_utf8(gbk_field(text, width)));
}

// The key a typed text is both stored under and searched by: trimmed of blanks and NULs
// first (the stored field holds the trimmed text), then cut to the field as stored. Search
// and store must use this one function, or a long name with blanks before it would never
// find the record it was saved as.
inline std::string record_key(std::string_view text, std::size_t width) {
  return stored_key(Trim_Blank_Nul(text), width);
}

}  // namespace wb
