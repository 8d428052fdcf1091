#include <gtest/gtest.h>

#include "core/design/workbench/well_file_names.h"

namespace wb::design {
namespace {

TEST(WellFileNames, ProposedNamesAndRefusals) {
  struct Case { std::string well; const char* curves; const char* ipr; };
  const Case cases[] = {
      {"W12 ", "W12杆柱设计相关参数曲线.BMP", "W12井动态IPR曲线.BMP"},
      {std::string("\0 A1", 4), "A1杆柱设计相关参数曲线.BMP", "A1井动态IPR曲线.BMP"},
      {"", "杆柱设计相关参数曲线.BMP", "井动态IPR曲线.BMP"},
      {"../x", nullptr, nullptr},
      {"a\\b", nullptr, nullptr},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.well);
    EXPECT_EQ(curves_bmp_name(k.well).value_or("-"), k.curves ? k.curves : "-");
    EXPECT_EQ(ipr_bmp_name(k.well).value_or("-"), k.ipr ? k.ipr : "-");
  }
  EXPECT_EQ(fzq_txt_name(" W1").value_or("-"), "W1扶正器布置数据表.txt");
  EXPECT_FALSE(fzq_txt_name("../x"));
  // The whole file name counts towards the 255 bytes: 221 + 30 + 4 fits, 222 does not, and
  // the refusal says the name is too long.
  EXPECT_TRUE(curves_bmp_name(std::string(221, 'a')));
  EXPECT_FALSE(curves_bmp_name(std::string(222, 'a')));
  EXPECT_NE(unsafe_well_name_text(std::string(222, 'a')).find("太长"), std::string::npos);
  EXPECT_EQ(unsafe_well_name_text("../x").find("太长"), std::string::npos);
}

}  // namespace
}  // namespace wb::design
