// The model catalogue: blocks opened by the key line, the first stroke line of each block
// split at both kinds of comma, indented, blank and over-long lines, GBK and UTF-8 files.
#include <gtest/gtest.h>

#include <string>

#include "../workbench/temp_program_folder.h"
#include "core/common/gbk.h"
#include "core/records/cyj_mode_catalog.h"

namespace wb {
namespace {

CyjModeCatalog parse_gbk(const std::string& utf8_text) {
  const std::string g = utf8_to_gbk(utf8_text);
  return CyjModeCatalog::parse(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(g.data()), g.size()));
}

TEST(CyjModeCatalog, BlocksNamesAndStrokes) {
  const std::string text =
      "抽油机型=CYJ10-3-37HB\r\n"
      "冲    程=2.1，2.5,3.0\r\n"
      "冲    程=9,9\r\n"               // only the first stroke line of a block counts
      "说明: 常规游梁式\r\n"
      "\r\n"
      "冲    程=7.7\r\n"                // outside a block: ignored
      "   抽油机型=CYJ12-3-53HB  \r\n"  // indented key, trailing blanks kept in the name
      "冲    程=1.8,,2.4,\r\n"          // empty parts count as values
      "  \r\n"
      "抽油机型=CYJ10-3-37HB\r"         // a lone CR ends a line
      "抽油机型=CYJ14-4.8-73HB\n"       // so does a lone LF; a key inside a block opens the next
      "冲    程= 3.6 , 4.2\n";
  const CyjModeCatalog cat = parse_gbk(text);
  ASSERT_EQ(cat.blocks.size(), 4u);
  EXPECT_EQ(cat.blocks[0].name, "CYJ10-3-37HB");
  EXPECT_EQ(cat.blocks[0].strokes, (std::vector<std::string>{"2.1", "2.5", "3.0"}));
  EXPECT_EQ(cat.blocks[1].name, "CYJ12-3-53HB  ");
  EXPECT_EQ(cat.blocks[1].strokes, (std::vector<std::string>{"1.8", "", "2.4", ""}));
  EXPECT_FALSE(cat.blocks[2].has_stroke_line);
  EXPECT_TRUE(cat.blocks[2].strokes.empty());
  EXPECT_EQ(cat.blocks[3].name, "CYJ14-4.8-73HB");
  EXPECT_EQ(cat.blocks[3].strokes, (std::vector<std::string>{" 3.6 ", " 4.2"}));  // as written

  EXPECT_EQ(cat.models(), (std::vector<std::string>{"CYJ10-3-37HB", "CYJ12-3-53HB  ", "CYJ10-3-37HB", "CYJ14-4.8-73HB"}));
  EXPECT_EQ(cat.unique_models(), (std::vector<std::string>{"CYJ10-3-37HB", "CYJ12-3-53HB  ", "CYJ14-4.8-73HB"}));
  ASSERT_NE(cat.find(" CYJ12-3-53HB"), nullptr);
  EXPECT_EQ(cat.find("CYJ12-3-53HB")->strokes.size(), 4u);
  EXPECT_EQ(cat.find("nope"), nullptr);
}

TEST(CyjModeCatalog, OddFilesGiveWhatTheyHold) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t blocks;
  };
  const Case cases[] = {
      {"empty", "", 0},
      {"no key line", "型号表\r\n冲    程=1,2\r\n", 0},
      {"key without name", "抽油机型=\r\n", 1},
      {"over-long line", "抽油机型=" + std::string(100000, 'X') + "\r\n\r\n" + std::string(70000, ',') + "\r\n", 1},
      {"no final line end", "抽油机型=A-3-37", 1},
      {"key not at start of text", "型号抽油机型=A\r\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(parse_gbk(c.text).blocks.size(), c.blocks);
  }
}

TEST(CyjModeCatalog, Utf8FileSavedByAnEditorReadsTheSame) {
  const std::string text = "\xEF\xBB\xBF抽油机型=CYJ8-3-26HB\n冲    程=1.5，2.1\n";
  const CyjModeCatalog cat =
      CyjModeCatalog::parse(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  ASSERT_EQ(cat.blocks.size(), 1u);
  EXPECT_EQ(cat.blocks[0].name, "CYJ8-3-26HB");
  EXPECT_EQ(cat.blocks[0].strokes, (std::vector<std::string>{"1.5", "2.1"}));
  // Without the mark too.
  const std::string plain = text.substr(3);
  EXPECT_EQ(CyjModeCatalog::parse(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(plain.data()),
                                                                plain.size()))
                .blocks.size(),
            1u);
}

TEST(CyjModeCatalog, MissingCatalogueIsEmptyAndCanBeCreated) {
  test::TempProgram tp;
  EXPECT_TRUE(CyjModeCatalog::read(cyj_mode_path(tp.prog)).blocks.empty());
  ASSERT_EQ(ensure_cyj_mode_file(tp.prog), StoreStatus::Ok);
  EXPECT_TRUE(std::filesystem::exists(tp.prog.sys() / "Cyj_mode.dat"));
  EXPECT_EQ(std::filesystem::file_size(tp.prog.sys() / "Cyj_mode.dat"), 0u);

  // A catalogue named in other letter case is found.
  test::TempProgram tp2;
  test::put_bytes(tp2.prog.sys() / "CYJ_MODE.DAT", {});
  EXPECT_EQ(cyj_mode_path(tp2.prog).filename(), "CYJ_MODE.DAT");
}

}  // namespace
}  // namespace wb
