#include "core/common/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace wb {
namespace {

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

// ASCII reads the same in both encodings: no converter is opened for it (most fields of
// the libraries are numbers and well names in ASCII, read thousands at a time).
bool all_ascii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::string utf8_to_gbk(std::string_view utf8) {
  return all_ascii(utf8) ? std::string(utf8) : convert(utf8, "GBK", "UTF-8", true);
}

std::string gbk_to_utf8(std::string_view gbk) {
  return all_ascii(gbk) ? std::string(gbk) : convert(gbk, "UTF-8", "GBK", false);
}

GbkDecoder::GbkDecoder() = default;

GbkDecoder::~GbkDecoder() {
  if (cd_) iconv_close(static_cast<iconv_t>(cd_));
}

std::string GbkDecoder::operator()(std::string_view gbk) {
  if (all_ascii(gbk)) return std::string(gbk);
  if (!cd_) {
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(gbk);
    cd_ = cd;
  }
  return convert_with(static_cast<iconv_t>(cd_), gbk, false);
}

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
