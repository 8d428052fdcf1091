// GBK <-> UTF-8 through the system's converter (iconv "GBK"), one converter opened per call.
// The tables of gbk.cpp are built from this converter and must give byte for byte what these
// give for every input; tests, the fuzz target and the benchmark compare against them. A text
// the tables do not cover is converted by them too. Without a converter the text comes back
// unchanged.
#pragma once

#include <string>
#include <string_view>

namespace wb {

// An invalid or truncated GBK sequence becomes '?': a lead byte with a trail byte of 0x40 or
// more is dropped with its trail, any other byte alone.
std::string iconv_gbk_to_utf8(std::string_view gbk);
// A character GBK cannot hold, or an invalid UTF-8 sequence, becomes '?': as many bytes are
// dropped as the sequence's first byte announces (at most what is left).
std::string iconv_utf8_to_gbk(std::string_view utf8);

}  // namespace wb
