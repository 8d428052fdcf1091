#include "core/printing/pdf_output.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "core/common/paths.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

// A small PDF as the writer lays one out: objects, the cross-reference table, the trailer.
std::string small_pdf() {
  std::string pdf = "%PDF-1.4\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";
  const std::size_t xref = pdf.size();
  pdf += "xref\n0 2\n0000000000 65535 f \n0000000009 00000 n \ntrailer\n<< /Size 2 /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

void put(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

std::string read(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

// Files in `dir` (temporary files included).
std::size_t entries(const fs::path& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
  return n;
}

struct Folder {
  fs::path dir = fs::temp_directory_path() /
                 ("wb_pdf_output_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  Folder() {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

TEST(PdfFileWhole, ByItsStructure) {
  const std::string whole = small_pdf();
  const std::size_t xref = whole.find("xref");
  const struct {
    const char* name;
    std::string bytes;
    bool whole;
  } cases[] = {
      {"whole", whole, true},
      {"without the last line end", whole.substr(0, whole.size() - 1), true},
      {"cut before %%EOF", whole.substr(0, whole.size() - 4), false},
      {"cut in the table", whole.substr(0, xref + 10), false},
      {"bytes lost before the table", whole.substr(0, 20) + whole.substr(30), false},
      {"empty", "", false},
  };
  Folder f;
  for (const auto& c : cases) {
    put(f.dir / "a.pdf", c.bytes);
    EXPECT_EQ(pdf_file_whole(f.dir / "a.pdf"), c.whole) << c.name;
  }
}

TEST(PdfOutput, AWholeFileTakesItsNameAndNothingIsLeftBeside) {
  Folder f;
  const fs::path target = f.dir / u8path("示范井1_报表.pdf");
  PdfOutput out;
  ASSERT_TRUE(out.begin(target));
  EXPECT_EQ(out.temp().parent_path(), f.dir);
  EXPECT_FALSE(fs::exists(target));
  put(out.temp(), small_pdf());
  ASSERT_TRUE(out.commit()) << out.cause();
  EXPECT_EQ(read(target), small_pdf());
  EXPECT_EQ(entries(f.dir), 1u);
}

TEST(PdfOutput, AFileCutShortIsRemovedAndTheOldFileStays) {
  Folder f;
  const fs::path target = f.dir / "r.pdf";
  put(target, "earlier print");
  PdfOutput out;
  ASSERT_TRUE(out.begin(target));
  put(out.temp(), small_pdf().substr(0, 40));
  EXPECT_FALSE(out.commit());
  EXPECT_FALSE(out.cause().empty());
  EXPECT_EQ(read(target), "earlier print");
  EXPECT_EQ(entries(f.dir), 1u);
}

TEST(PdfOutput, AFolderThatIsNotThereIsSaid) {
  Folder f;
  PdfOutput out;
  EXPECT_FALSE(out.begin(f.dir / "no" / "r.pdf"));
  EXPECT_EQ(out.cause(), "文件夹不存在");
}

// A write that fails half way, as on a full disk: the file size limit cuts the writer's file
// short; the cause is found by the same limit.
TEST(PdfOutput, AWriteCutShortGivesItsCause) {
  Folder f;
  const fs::path target = f.dir / "r.pdf";
  PdfOutput out;
  ASSERT_TRUE(out.begin(target));
  const std::string pdf = small_pdf();
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  {
    std::ofstream w(out.temp(), std::ios::binary);
    w << pdf;  // the stream loses what passes the limit, as the PDF writer does
  }
  const bool committed = out.commit();
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
  EXPECT_FALSE(committed);
  EXPECT_EQ(out.cause(), "文件超过系统允许的大小");
  EXPECT_FALSE(fs::exists(target));
  EXPECT_EQ(entries(f.dir), 0u);
  EXPECT_EQ(pdf_not_written_text("/x/r.pdf", out.cause()), "打印失败：PDF文件未能写成：/x/r.pdf（文件超过系统允许的大小）。");
}

}  // namespace
}  // namespace wb
