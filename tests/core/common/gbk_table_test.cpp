// The table conversions against the system's converter they are built from: byte for byte the
// same for every single byte, every pair of bytes, every triple that starts or ends a pair,
// every character and random texts of characters, broken sequences and cut-off tails.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/common/gbk.h"
#include "core/common/gbk_iconv.h"
#include "core/common/record_keys.h"
#include "core/common/trim.h"

namespace wb {
namespace {

std::string hex(const std::string& s) {
  static const char* d = "0123456789ABCDEF";
  std::string h;
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    h += d[u >> 4];
    h += d[u & 15];
    h += ' ';
  }
  return h;
}

// Compares both directions on one text; the first few differences are reported.
class Differential {
 public:
  void decode(const std::string& gbk) {
    ++texts;
    const std::string want = iconv_gbk_to_utf8(gbk);
    if (gbk_to_utf8(gbk) != want || dec_(gbk) != want) report("gbk_to_utf8", gbk, want, gbk_to_utf8(gbk));
  }
  void encode(const std::string& utf8) {
    ++texts;
    const std::string want = iconv_utf8_to_gbk(utf8);
    if (utf8_to_gbk(utf8) != want) report("utf8_to_gbk", utf8, want, utf8_to_gbk(utf8));
  }
  std::size_t failures = 0, texts = 0;

 private:
  void report(const char* what, const std::string& in, const std::string& want, const std::string& got) {
    if (++failures <= 10) ADD_FAILURE() << what << " of [" << hex(in) << "]: want [" << hex(want) << "] got [" << hex(got) << "]";
  }
  GbkDecoder dec_;
};

std::string bytes(std::initializer_list<unsigned> b) {
  std::string s;
  for (const unsigned c : b) s += static_cast<char>(c);
  return s;
}

// Bytes that stand for every way a byte can be read: NUL, blank, digits and ASCII below the
// trail range, the ends of the trail ranges, the single-byte character, lead bytes at both
// ends and in the middle, and the byte that is no GBK byte.
constexpr std::array<unsigned, 16> kClasses = {0x00, 0x20, 0x30, 0x3F, 0x40, 0x41, 0x7E, 0x7F,
                                               0x80, 0x81, 0xA0, 0xA1, 0xD5, 0xFE, 0xFF, 0xC5};

TEST(GbkTable, EverySingleBytePairAndTripleDecodesAsTheConverterDoes) {
  Differential d;
  for (unsigned a = 0; a < 256; ++a) {
    d.decode(bytes({a}));
    for (unsigned b = 0; b < 256; ++b) {
      d.decode(bytes({a, b}));
      // A pair followed by each kind of byte, and each kind of byte followed by the pair: the
      // three bytes can read as pair + byte or byte + pair, or as a refused lead whose '?'
      // swallows its trail.
      for (const unsigned c : kClasses) {
        d.decode(bytes({a, b, c}));
        d.decode(bytes({c, a, b}));
      }
    }
  }
  EXPECT_EQ(d.failures, 0u) << "of " << d.texts;
}

// UTF-8 of a code point, written without checking (surrogates included).
std::string utf8(std::uint32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | cp >> 6);
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | cp >> 12);
    s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | cp >> 18);
    s += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

TEST(GbkTable, EveryCharacterEncodesAsTheConverterDoes) {
  Differential d;
  for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    const std::string c = utf8(cp);
    d.encode(c);
    // Within a text, and cut off before its last byte.
    if (cp >= 0x80 && cp < 0x10000) {
      d.encode("A" + c + "\xE4\xBA\x95");  // 井 after it
      d.encode("\xE5\xBC\xA0" + c.substr(0, c.size() - 1));
    }
  }
  EXPECT_EQ(d.failures, 0u) << "of " << d.texts;
}

TEST(GbkTable, EveryBrokenUtf8PairAndTripleEncodesAsTheConverterDoes) {
  Differential d;
  for (unsigned a = 0x80; a < 256; ++a) {
    d.encode(bytes({a}));
    for (unsigned b = 0; b < 256; ++b) {
      d.encode(bytes({a, b}));
      d.encode(bytes({a, b, 'Z'}));
      // A lead of three or four bytes, its second byte and every kind of third byte: overlong
      // forms, surrogates, a trail missing halfway (the converter's '?' swallows what the lead
      // announced).
      if (a >= 0xE0)
        for (const unsigned c : {0x00u, 0x41u, 0x80u, 0x8Fu, 0x90u, 0x9Fu, 0xA0u, 0xBFu, 0xC0u, 0xE4u, 0xFFu}) {
          d.encode(bytes({a, b, c}));
          d.encode(bytes({a, b, c, 0x80, 'Z'}));
        }
    }
  }
  EXPECT_EQ(d.failures, 0u) << "of " << d.texts;
}

// Random texts of Chinese characters, ASCII, blanks, NULs, bytes of no code and broken pairs,
// cut anywhere.
TEST(GbkTable, RandomTextsConvertAsTheConverterDoes) {
  std::mt19937 rng(20061215);
  const auto pick = [&](unsigned lo, unsigned hi) { return std::uniform_int_distribution<unsigned>(lo, hi)(rng); };
  Differential d;
  for (int n = 0; n < 60000; ++n) {
    std::string gbk;
    const unsigned len = pick(0, 40);
    while (gbk.size() < len) {
      switch (pick(0, 9)) {
        case 0: case 1: case 2:  // a common character
          gbk += static_cast<char>(pick(0xB0, 0xF7));
          gbk += static_cast<char>(pick(0xA1, 0xFE));
          break;
        case 3:  // any lead and any next byte
          gbk += static_cast<char>(pick(0x81, 0xFE));
          gbk += static_cast<char>(pick(0x00, 0xFF));
          break;
        case 4: gbk += static_cast<char>(pick(0x80, 0xFF)); break;
        case 5: gbk += ' '; break;
        case 6: gbk += '\0'; break;
        default: gbk += static_cast<char>(pick(0x21, 0x7E)); break;
      }
    }
    gbk.resize(len);  // a pair may be cut at the end
    d.decode(gbk);
    // Its text (with the '?' of broken bytes) back, whole and cut inside a character, and
    // the raw bytes taken for UTF-8.
    const std::string text = iconv_gbk_to_utf8(gbk);
    d.encode(text);
    if (!text.empty()) d.encode(text.substr(0, pick(0, static_cast<unsigned>(text.size()) - 1)));
    d.encode(gbk);
  }
  // Long texts (a text file's line, a whole column) take the way of the heap.
  for (int n = 0; n < 50; ++n) {
    std::string gbk;
    const unsigned len = pick(200, 3000);
    while (gbk.size() < len) gbk += static_cast<char>(pick(0, 3) ? pick(0x81, 0xFE) : pick(0x00, 0xFF));
    d.decode(gbk);
    d.encode(iconv_gbk_to_utf8(gbk));
    d.encode(gbk);
  }
  EXPECT_EQ(d.failures, 0u) << "of " << d.texts;
}

// Built (the walk, not the converter, gives the texts above) and small.
TEST(GbkTable, TablesAreBuiltAndCompact) {
  EXPECT_GT(gbk_table_bytes(), 128u * 1024u);
  EXPECT_LT(gbk_table_bytes(), 1024u * 1024u);
}

// KeyTexts gives the decoded field, padding kept or trimmed, for the fields a library holds:
// Chinese names, names padded with blanks and NULs, broken bytes, a lead cut off at the
// field's end, ASCII, blank and repeated fields.
TEST(GbkTable, KeyTextsGiveTheConvertersText) {
  const std::vector<std::string> fields = {
      bytes({0xD5, 0xC5, 0xC8, 0xFD, 0xBE, 0xAE}) + std::string(10, ' '),
      bytes({0xD5, 0xC5, 0xC8, 0xFD, 0xBE, 0xAE}) + std::string(10, ' '),  // again
      bytes({0xC8, 0xFD, 0x00, 0x00}) + "  " + std::string(10, '\0'),
      std::string("  W1-23") + std::string(9, ' '),
      std::string(16, ' '),
      std::string(16, '\0'),
      " " + bytes({0xFF, 0xD5, 0x31, 0x80, 0xA1}) + std::string(10, ' '),
      "W" + bytes({0xBE, 0xAE, 0xBE}),
      bytes({0xBE, 0xAE, 0xBE, 0xAE, 0x81, 0x39, 0xEE}) + "   ",
  };
  KeyTexts texts;
  for (int round = 0; round < 2; ++round)
    for (const std::string& f : fields) {
      SCOPED_TRACE(hex(f));
      const std::span<const std::uint8_t> b(reinterpret_cast<const std::uint8_t*>(f.data()), f.size());
      const std::string want = iconv_gbk_to_utf8(f);
      EXPECT_EQ(texts.text(b), want);
      EXPECT_EQ(texts.trimmed(b), trim_blanks(want));
    }
}

// Many distinct fields (a library of distinct names, more than the first blocks hold) and a
// field longer than a block: every text given stays valid and right while more are added.
TEST(GbkTable, KeyTextsKeepEveryTextWhileMoreAreAdded) {
  std::mt19937 rng(7);
  std::vector<std::string> fields;
  for (int i = 0; i < 6000; ++i) {
    std::string f;
    for (int k = 0; k < 8; ++k) {
      f += static_cast<char>(0xB0 + rng() % 0x40);
      f += static_cast<char>(0xA1 + rng() % 0x5E);
    }
    if (i % 7 == 0) f[15] = ' ';  // a cut-off lead's place taken by a blank
    fields.push_back(f);
  }
  std::string long_field;
  for (int k = 0; k < 20000; ++k) long_field += static_cast<char>(k % 3 ? 0xD5 : 0xC5);
  fields.push_back(long_field);
  KeyTexts texts;
  std::vector<std::string_view> given;
  for (const std::string& f : fields)
    given.push_back(texts.text({reinterpret_cast<const std::uint8_t*>(f.data()), f.size()}));
  std::size_t wrong = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string want = iconv_gbk_to_utf8(fields[i]);
    const std::string_view again = texts.text({reinterpret_cast<const std::uint8_t*>(fields[i].data()), fields[i].size()});
    wrong += given[i] != want || again.data() != given[i].data();
  }
  EXPECT_EQ(wrong, 0u);
}

}  // namespace
}  // namespace wb
