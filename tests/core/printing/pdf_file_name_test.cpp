#include "core/printing/pdf_file_name.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/common/paths.h"

namespace wb {
namespace {

TEST(ProposedPdfName, WellAndReportMadeSafeForAFileName) {
  const auto dir = std::filesystem::temp_directory_path() / "wb_pdf_name_empty";
  std::filesystem::remove_all(dir);
  struct Case {
    std::string well;
    const char* report;
    const char* name;
  };
  const Case cases[] = {{"示范井1", "系统效率报表", "示范井1_系统效率报表.pdf"},
                        {"", "液面测试报表", "液面测试报表.pdf"},
                        {"  W7  ", "诊断报表", "W7_诊断报表.pdf"},
                        {std::string("W8\0\0\0", 5), "平衡分析报表", "W8_平衡分析报表.pdf"},
                        {"../a:b", "诊断报表", ".._a_b_诊断报表.pdf"},
                        {"W9", "", "W9_打印.pdf"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(proposed_pdf_name(dir, c.well, c.report), c.name);
  }
}

// A well of 250 bytes would make a 273-byte name, which no file can have: the well is cut,
// on a character boundary, so that the name and its numbered forms fit in 255 bytes.
TEST(ProposedPdfName, ALongWellIsShortenedToAFileNameThatFits) {
  const auto dir = std::filesystem::temp_directory_path() / "wb_pdf_name_long";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  for (const std::string& well : {std::string(250, 'w'), std::string(200, 'w') + "示范井示范井示范井示范井示范井示范井"}) {
    SCOPED_TRACE(well.size());
    const std::string name = proposed_pdf_name(dir, well, "液面测试报表");
    const std::string suffix = "_液面测试报表.pdf";
    EXPECT_LE(name.size() + 7, kMaxFileNameBytes);  // room for " (9999)"
    ASSERT_GT(name.size(), suffix.size());
    EXPECT_EQ(name.substr(name.size() - suffix.size()), suffix);
    const std::string kept = name.substr(0, name.size() - suffix.size());
    EXPECT_EQ(well.compare(0, kept.size(), kept), 0);
    ASSERT_LT(kept.size(), well.size());
    EXPECT_NE(static_cast<unsigned char>(well[kept.size()]) & 0xC0, 0x80);  // cut between characters
    EXPECT_TRUE(std::ofstream(dir / u8path(name)).good()) << name;  // it can be created
    std::filesystem::remove(dir / u8path(name));
  }
  std::filesystem::remove_all(dir);
}

TEST(ProposedPdfName, ANumberRatherThanOverwriting) {
  const auto dir = std::filesystem::temp_directory_path() / "wb_pdf_name_taken";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / u8path("W1_诊断报表.pdf")) << "x";
  std::ofstream(dir / u8path("W1_诊断报表 (2).pdf")) << "x";
  EXPECT_EQ(proposed_pdf_name(dir, "W1", "诊断报表"), "W1_诊断报表 (3).pdf");
  std::filesystem::remove_all(dir);
}

TEST(OneWellOf, TheWellWhenEveryRowIsOfIt) {
  const struct {
    std::vector<std::string> wells;
    std::string one;
  } cases[] = {
      {{"示范井1"}, "示范井1"},
      {{"示范井1  ", " 示范井1"}, "示范井1"},  // grid texts as padded
      {{"示范井1", "示范井2", "示范井1"}, ""},
      {{"示范井1", ""}, ""},
      {{}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(one_well_of(c.wells), c.one) << c.wells.size();
}

}  // namespace
}  // namespace wb
