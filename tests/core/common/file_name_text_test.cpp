// File names as they are shown: UTF-8 as it is, other bytes read as GBK.
#include <gtest/gtest.h>

#include "core/common/gbk.h"
#include "core/common/paths.h"

namespace wb {
namespace {

TEST(FileNameText, Utf8IsKeptAndOtherBytesAreReadAsGbk) {
  struct Case {
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"w1.o01", true},
      {"示范井1.o01", true},
      {"bad\xEF\xBF\xBD.o01", true},          // U+FFFD itself is a character
      {"\xF0\x9F\x98\x80", true},             // U+1F600, four bytes
      {"bad\xFF\xFE.o01", false},             // bytes no UTF-8 text holds
      {"\xC0\xAF", false},                    // "/" written long
      {"\xED\xA0\x80", false},                // a surrogate
      {"\xF4\x90\x80\x80", false},            // above U+10FFFF
      {"\xE7\xA4", false},                    // cut short
      {utf8_to_gbk("示范井2.o01"), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(is_utf8(c.bytes), c.utf8) << c.bytes;
    EXPECT_EQ(file_name_text(c.bytes), c.utf8 ? c.bytes : gbk_to_utf8(c.bytes)) << c.bytes;
  }
  EXPECT_EQ(file_name_text(utf8_to_gbk("示范井2.o01")), "示范井2.o01");
}

TEST(FileNameText, APathIsShownNameByName) {
  const std::filesystem::path p = u8path("/数据/" + utf8_to_gbk("旧井") + "/bad\xEF\xBF\xBD.o01");
  EXPECT_EQ(path_shown_text(p), "/数据/旧井/bad\xEF\xBF\xBD.o01");
}

}  // namespace
}  // namespace wb
