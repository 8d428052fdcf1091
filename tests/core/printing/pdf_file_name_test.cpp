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

TEST(ProposedPdfName, ANumberRatherThanOverwriting) {
  const auto dir = std::filesystem::temp_directory_path() / "wb_pdf_name_taken";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / u8path("W1_诊断报表.pdf")) << "x";
  std::ofstream(dir / u8path("W1_诊断报表 (2).pdf")) << "x";
  EXPECT_EQ(proposed_pdf_name(dir, "W1", "诊断报表"), "W1_诊断报表 (3).pdf");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace wb
