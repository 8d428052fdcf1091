#include "core/common/gbk.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "core/common/gbk_iconv.h"

namespace wb {
namespace {

// ---- Through the system's converter ----------------------------------------------------

// Converts with iconv; on an invalid input sequence writes '?' and skips `bad_skip` bytes
// (one UTF-8 character, or one GBK byte), so conversion never fails as a whole.
std::string convert_with(iconv_t cd, std::string_view in, bool from_utf8) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // initial state
  std::string out;
  out.reserve(in.size() * 2 + 4);
  char* src = const_cast<char*>(in.data());
  std::size_t left = in.size();
  std::vector<char> buf(in.size() * 4 + 16);
  while (left > 0) {
    char* dst = buf.data();
    std::size_t room = buf.size();
    std::size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf.data(), dst);
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: replace one character and go on.
      out.push_back('?');
      std::size_t skip = 1;
      if (from_utf8) {
        auto c = static_cast<unsigned char>(*src);
        if (c >= 0xF0) skip = 4;
        else if (c >= 0xE0) skip = 3;
        else if (c >= 0xC0) skip = 2;
        if (skip > left) skip = left;
      } else {
        // A GBK lead byte with an invalid trail byte: drop the pair unless the trail is ASCII.
        auto c = static_cast<unsigned char>(*src);
        if (c >= 0x81 && left >= 2 && static_cast<unsigned char>(src[1]) >= 0x40) skip = 2;
      }
      src += skip;
      left -= skip;
    }
  }
  return out;
}

std::string convert(std::string_view in, const char* to, const char* from, bool from_utf8) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out = convert_with(cd, in, from_utf8);
  iconv_close(cd);
  return out;
}

// ASCII reads the same in both encodings (most fields of the libraries are numbers and well
// names in ASCII, read thousands at a time).
bool all_ascii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// ---- Tables ------------------------------------------------------------------------------
//
// GBK is a stateless code of one or two bytes a character: a byte below 0x80 is ASCII; one of
// 0x80..0xFF is a character of its own, a lead byte that takes the next byte as its trail, or
// no GBK byte at all. The tables hold what the converter gives for every byte of 0x80..0xFF
// alone and for every lead byte with every possible next byte, so decoding a text is a walk
// through them. They are asked of the converter itself once per process, so they cannot
// differ from it; whatever does not fit that shape (a byte or a pair the converter reads in a
// way the walk cannot reproduce) sends the whole text through the converter.
//
// An entry is a character's UTF-8 bytes (up to three, low byte first) with their count in the
// top byte, or one of these kinds:
constexpr std::uint32_t kInvalid = 0;             // the converter refuses it here: '?'
constexpr std::uint32_t kLead = 0xFEu << 24;      // (bytes) a lead byte: look at the pair
constexpr std::uint32_t kConverter = 0xFFu << 24; // send the text through the converter

std::uint32_t entry_count(std::uint32_t e) { return e >> 24; }

struct Tables {
  bool usable = false;  // false: no converter, or ASCII not kept: every text goes to the converter
  std::array<std::uint32_t, 128> byte{};  // 0x80..0xFF: a character, kLead, kInvalid or kConverter
  std::vector<std::uint32_t> pair;        // lead 0x80..0xFF x next byte 0x00..0xFF (128 KB)
  // UTF-8 -> GBK: the code of each character (below 0x100 a single byte, else lead << 8 |
  // trail; 0: not in the table), looked up by the character's high byte and then its low byte.
  std::array<std::uint16_t, 256> page_of{};  // index into pages, kNoPage when none
  std::vector<std::uint16_t> pages;
};
constexpr std::uint16_t kNoPage = 0xFFFF;

// What the converter makes of `in` alone: the UTF-8 of one character (entry), or a kind.
std::uint32_t probe(iconv_t cd, const char* in, std::size_t len, bool* incomplete) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char out[16];
  char* src = const_cast<char*>(in);
  std::size_t left = len;
  char* dst = out;
  std::size_t room = sizeof out;
  const std::size_t r = iconv(cd, &src, &left, &dst, &room);
  const int err = errno;
  if (incomplete) *incomplete = false;
  if (r == static_cast<std::size_t>(-1)) {
    // Refused at the first byte: the walk writes '?' as the converter's caller does. A lead
    // byte with nothing after it asks for more.
    if (src == in && dst == out && err == EILSEQ) return kInvalid;
    if (src == in && dst == out && err == EINVAL && incomplete) {
      *incomplete = true;
      return kInvalid;
    }
    return kConverter;
  }
  const std::size_t n = static_cast<std::size_t>(dst - out);
  if (n < 2 || n > 3) return kConverter;  // one character of U+0080..U+FFFF takes 2 or 3 bytes
  // Exactly one character: its lead byte announces its length.
  const auto c0 = static_cast<unsigned char>(out[0]);
  if ((n == 2 && (c0 & 0xE0) != 0xC0) || (n == 3 && (c0 & 0xF0) != 0xE0)) return kConverter;
  std::uint32_t e = static_cast<std::uint32_t>(n) << 24;
  for (std::size_t i = 0; i < n; ++i) e |= static_cast<std::uint32_t>(static_cast<unsigned char>(out[i])) << (8 * i);
  return e;
}

// The code point of an entry's UTF-8 (2 or 3 bytes).
std::uint32_t code_point(std::uint32_t e) {
  const std::uint32_t b0 = e & 0xFF, b1 = (e >> 8) & 0xFF, b2 = (e >> 16) & 0xFF;
  if (entry_count(e) == 2) return ((b0 & 0x1F) << 6) | (b1 & 0x3F);
  return ((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
}

bool keeps_ascii(iconv_t cd) {
  char ascii[128];
  for (int i = 0; i < 128; ++i) ascii[i] = static_cast<char>(i);
  return convert_with(cd, std::string_view(ascii, sizeof ascii), false) == std::string_view(ascii, sizeof ascii);
}

void add_code(Tables& t, std::uint32_t cp, std::uint16_t code, std::vector<std::uint8_t>& seen) {
  if (cp < 0x80 || cp > 0xFFFF) return;
  std::uint16_t& page = t.page_of[cp >> 8];
  if (page == kNoPage) {
    page = static_cast<std::uint16_t>(t.pages.size() / 256);
    t.pages.resize(t.pages.size() + 256, 0);
    seen.resize(t.pages.size(), 0);
  }
  const std::size_t at = std::size_t{page} * 256 + (cp & 0xFF);
  // A character two codes decode to is left to the converter, which knows which it writes.
  t.pages[at] = seen[at] ? 0 : code;
  seen[at] = 1;
}

std::unique_ptr<Tables> build_tables() {
  auto t = std::make_unique<Tables>();
  t->page_of.fill(kNoPage);
  iconv_t dec = iconv_open("UTF-8", "GBK");
  if (dec == reinterpret_cast<iconv_t>(-1)) return t;
  iconv_t enc = iconv_open("GBK", "UTF-8");
  if (enc == reinterpret_cast<iconv_t>(-1)) {
    iconv_close(dec);
    return t;
  }
  t->usable = keeps_ascii(dec) && keeps_ascii(enc);
  if (t->usable) {
    t->pair.assign(128 * 256, kConverter);
    std::vector<std::uint8_t> seen;
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
      const char one = static_cast<char>(b);
      bool incomplete = false;
      std::uint32_t e = probe(dec, &one, 1, &incomplete);
      if (incomplete) {
        e = kLead;
        for (unsigned n = 0; n <= 0xFF; ++n) {
          const char two[2] = {one, static_cast<char>(n)};
          const std::uint32_t p = probe(dec, two, 2, nullptr);
          t->pair[(b - 0x80) * 256 + n] = p;
          if (entry_count(p) >= 2 && entry_count(p) <= 3)
            add_code(*t, code_point(p), static_cast<std::uint16_t>(b << 8 | n), seen);
        }
      } else if (entry_count(e) >= 2 && entry_count(e) <= 3) {
        add_code(*t, code_point(e), static_cast<std::uint16_t>(b), seen);
      }
      t->byte[b - 0x80] = e;
    }
  }
  iconv_close(enc);
  iconv_close(dec);
  return t;
}

const Tables& tables() {
  // Built on first use; a static's initialisation runs once even when threads race to it.
  // Never freed: a text converted while the program's statics are destroyed still finds it.
  static const Tables* const t = build_tables().release();
  return *t;
}

void put(char*& dst, std::uint32_t e) {
  dst[0] = static_cast<char>(e);
  dst[1] = static_cast<char>(e >> 8);
  dst[2] = static_cast<char>(e >> 16);
  dst += entry_count(e);
}

// Decodes `in` to `dst`, which has room for three bytes per input byte. Returns the end of
// the text written, or nullptr when the text must go through the converter. The '?' and the
// bytes it replaces are convert_with's.
char* decode_into(const Tables& t, std::string_view in, char* dst) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const auto* const end = p + in.size();
  while (p < end) {
    const unsigned c = *p;
    if (c < 0x80) {
      *dst++ = static_cast<char>(c);
      ++p;
      continue;
    }
    std::uint32_t e = t.byte[c - 0x80];
    std::size_t used = 1;
    if (e == kLead) {
      if (p + 1 == end) {  // cut off at the end of the text
        *dst++ = '?';
        ++p;
        continue;
      }
      e = t.pair[(c - 0x80) * 256 + p[1]];
      used = 2;
    }
    if (e == kInvalid) {
      *dst++ = '?';
      p += (c >= 0x81 && p + 1 < end && p[1] >= 0x40) ? 2 : 1;
      continue;
    }
    if (e == kConverter) return nullptr;
    put(dst, e);
    p += used;
  }
  return dst;
}

// Fields are short: their text is decoded on the stack and copied once.
constexpr std::size_t kStackText = 256;

std::string decode(std::string_view gbk) {
  if (all_ascii(gbk)) return std::string(gbk);
  const Tables& t = tables();
  if (!t.usable) return iconv_gbk_to_utf8(gbk);
  if (gbk.size() <= kStackText) {
    char buf[kStackText * 3];
    char* end = decode_into(t, gbk, buf);
    return end ? std::string(buf, static_cast<std::size_t>(end - buf)) : iconv_gbk_to_utf8(gbk);
  }
  std::string out(gbk.size() * 3, '\0');
  const char* end = decode_into(t, gbk, out.data());
  if (!end) return iconv_gbk_to_utf8(gbk);
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

// Encodes `in` to `dst`, which has room for as many bytes as `in` (no character takes more
// bytes in GBK than in UTF-8). Returns the end, or nullptr when the text must go through the
// converter: a character outside the table (one GBK cannot hold becomes '?' there) or bytes
// that are no well-formed UTF-8 of U+0000..U+FFFF.
char* encode_into(const Tables& t, std::string_view in, char* dst) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const auto* const end = p + in.size();
  while (p < end) {
    const unsigned c = *p;
    if (c < 0x80) {
      *dst++ = static_cast<char>(c);
      ++p;
      continue;
    }
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      if (end - p < 2 || (p[1] & 0xC0) != 0x80) return nullptr;
      cp = (c & 0x1F) << 6 | (p[1] & 0x3F);
      p += 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      if (end - p < 3 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return nullptr;
      cp = (c & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
      if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return nullptr;  // overlong, surrogate
      p += 3;
    } else {
      return nullptr;
    }
    const std::uint16_t page = t.page_of[cp >> 8];
    if (page == kNoPage) return nullptr;
    const std::uint16_t code = t.pages[std::size_t{page} * 256 + (cp & 0xFF)];
    if (code == 0) return nullptr;
    if (code >= 0x100) *dst++ = static_cast<char>(code >> 8);
    *dst++ = static_cast<char>(code & 0xFF);
  }
  return dst;
}

std::string encode(std::string_view utf8) {
  if (all_ascii(utf8)) return std::string(utf8);
  const Tables& t = tables();
  if (!t.usable) return iconv_utf8_to_gbk(utf8);
  if (utf8.size() <= kStackText) {
    char buf[kStackText];
    char* end = encode_into(t, utf8, buf);
    return end ? std::string(buf, static_cast<std::size_t>(end - buf)) : iconv_utf8_to_gbk(utf8);
  }
  std::string out(utf8.size(), '\0');
  const char* end = encode_into(t, utf8, out.data());
  if (!end) return iconv_utf8_to_gbk(utf8);
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

}  // namespace

std::string iconv_gbk_to_utf8(std::string_view gbk) {
  return all_ascii(gbk) ? std::string(gbk) : convert(gbk, "UTF-8", "GBK", false);
}

std::string iconv_utf8_to_gbk(std::string_view utf8) {
  return all_ascii(utf8) ? std::string(utf8) : convert(utf8, "GBK", "UTF-8", true);
}

std::size_t gbk_table_bytes() {
  const Tables& t = tables();
  return sizeof t + t.pair.capacity() * sizeof t.pair[0] + t.pages.capacity() * sizeof t.pages[0];
}

std::string utf8_to_gbk(std::string_view utf8) { return encode(utf8); }

std::string gbk_to_utf8(std::string_view gbk) { return decode(gbk); }

void gbk_to_utf8(std::string_view gbk, std::string& out) {
  if (all_ascii(gbk)) {
    out.assign(gbk);
    return;
  }
  const Tables& t = tables();
  if (!t.usable) {
    out = iconv_gbk_to_utf8(gbk);
    return;
  }
  out.resize(gbk.size() * 3);
  char* end = decode_into(t, gbk, out.data());
  if (!end) {
    out = iconv_gbk_to_utf8(gbk);
    return;
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
}

GbkDecoder::GbkDecoder() = default;
GbkDecoder::~GbkDecoder() = default;

std::string GbkDecoder::operator()(std::string_view gbk) { return decode(gbk); }

std::string gbk_field(std::string_view utf8, std::size_t width) {
  std::string g = utf8_to_gbk(utf8);
  std::string out;
  out.reserve(width);
  std::size_t i = 0;
  while (i < g.size()) {
    std::size_t len = (static_cast<unsigned char>(g[i]) >= 0x81 && i + 1 < g.size()) ? 2 : 1;
    if (out.size() + len > width) break;
    out.append(g, i, len);
    i += len;
  }
  out.resize(width, ' ');
  return out;
}

std::string gbk_field_text(std::span<const std::uint8_t> bytes) {
  return gbk_to_utf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::size_t gbk_width(std::string_view utf8) { return utf8_to_gbk(utf8).size(); }

std::string gbk_pad(std::string_view utf8, std::size_t width) {
  std::string f = gbk_field(utf8, width);
  return gbk_to_utf8(f);
}

}  // namespace wb
