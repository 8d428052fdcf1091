// GBK fields. The expected bytes are the code page 936 codes of the characters:
// 张 D5C5, 三 C8FD, 李 C0EE, 四 CBC4, 井 BEAE, 号 BAC5.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/common/gbk.h"

namespace wb {
namespace {

const std::string kZhangSanLiSi = "\xD5\xC5\xC8\xFD\xC0\xEE\xCB\xC4";

TEST(Gbk, ConvertsBothWays) {
  EXPECT_EQ(utf8_to_gbk("张三李四井号"), kZhangSanLiSi + "\xBE\xAE\xBA\xC5");
  EXPECT_EQ(gbk_to_utf8(kZhangSanLiSi), "张三李四");
  EXPECT_EQ(utf8_to_gbk("W1-23"), "W1-23");
  EXPECT_EQ(gbk_to_utf8(std::string("A\0B", 3)), std::string("A\0B", 3));  // NULs stay
}

TEST(Gbk, FieldsCutAtACharacterBoundaryAndPad) {
  struct Case {
    const char* utf8;
    std::size_t width;
    std::string bytes;
  } cases[] = {
      {"张三李四", 8, kZhangSanLiSi},
      {"张三李四", 7, "\xD5\xC5\xC8\xFD\xC0\xEE "},  // 四 would need bytes 7 and 8: never half of it
      {"张三李四", 16, kZhangSanLiSi + std::string(8, ' ')},
      {"张三李四", 1, " "},
      {"张三李四", 0, ""},
      {"A张B", 2, "A "},
      {"A张B", 3, "A\xD5\xC5"},
      {"A张B", 4, "A\xD5\xC5" "B"},
      {"", 4, "    "},
      {"W1234567890123456789", 16, "W123456789012345"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.utf8) + " / " + std::to_string(c.width));
    std::string f = gbk_field(c.utf8, c.width);
    EXPECT_EQ(f.size(), c.width);
    EXPECT_EQ(f, c.bytes);
    // The cut field always decodes without a broken character.
    EXPECT_EQ(gbk_to_utf8(f).find('?'), std::string::npos);
  }
}

TEST(Gbk, FieldTextKeepsThePadding) {
  std::string stored = "\xD5\xC5\xC8\xFD  " + std::string(2, '\0');
  std::vector<std::uint8_t> bytes(stored.begin(), stored.end());
  EXPECT_EQ(gbk_field_text(bytes), "张三  " + std::string(2, '\0'));
}

TEST(Gbk, BrokenInputBecomesAQuestionMark) {
  struct Case {
    std::string gbk;
    std::string utf8;
  } cases[] = {
      {"\xD5", "?"},                // a lead byte cut off at the end of a field
      {"\xD5" "1", "?1"},           // a lead byte before a digit (no trail byte): the digit stays
      {"\xD5" "A", "誂"},           // 0x40..0x7E are trail bytes: D5 41 is one character
      {"W\xD5\xC5\xFF", "W张?"},    // 0xFF is no GBK byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(gbk_to_utf8(c.gbk), c.utf8);
  }
  EXPECT_EQ(utf8_to_gbk("A😀B"), "A?B");  // outside GBK
}

TEST(Gbk, WidthsAndPadding) {
  EXPECT_EQ(gbk_width("井号A"), 5u);
  EXPECT_EQ(gbk_width(""), 0u);
  EXPECT_EQ(gbk_pad("张三李四", 7), "张三李 ");
  EXPECT_EQ(gbk_pad("井", 4), "井  ");
}

}  // namespace
}  // namespace wb
