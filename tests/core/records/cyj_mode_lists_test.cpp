// The model lists from a catalogue built in the test, and the offer to edit the catalogue.
#include <gtest/gtest.h>

#include "../workbench/temp_program_folder.h"
#include "core/common/gbk.h"
#include "core/records/cyj_mode_catalog.h"
#include "core/records/cyj_mode_lists.h"
#include "../efficiency/effi_test_util.h"

namespace wb {
namespace {

void write_catalogue(const ProgramFolder& prog, const std::string& utf8) {
  const std::string g = utf8_to_gbk(utf8);
  test::put_bytes(prog.sys() / "Cyj_mode.dat", std::vector<std::uint8_t>(g.begin(), g.end()));
}

TEST(CyjModeLists, FileOrderOnLoadEachOnceWhenOpened) {
  test::TempProgram tp;
  write_catalogue(tp.prog,
                  "抽油机型=CYJ10-3-37HB\r\n冲    程=2.1,2.5,3.0\r\n\r\n"
                  "抽油机型=CYJ12-3-53HB  \r\n\r\n"
                  "抽油机型=CYJ12-3-53HB\r\n\r\n");
  const std::vector<std::string> all = {"CYJ10-3-37HB", "CYJ12-3-53HB  ", "CYJ12-3-53HB"};
  EXPECT_EQ(Get_Cyj_Mode_to_comb_cyjmode(tp.prog), all);
  EXPECT_EQ(Add_Cyj_Mode_To_Comb(tp.prog), all);
  const std::vector<std::string> once = {"CYJ10-3-37HB", "CYJ12-3-53HB  "};
  EXPECT_EQ(Comb_CyjMode_DropDown(tp.prog), once);
  EXPECT_EQ(Comb_CyjMode_DropDown(tp.prog), once);  // opening again reads the file again, same list
}

TEST(CyjModeLists, MissingCatalogueIsCreatedEmpty) {
  test::TempProgram tp;
  EXPECT_TRUE(Comb_CyjMode_DropDown(tp.prog).empty());
  EXPECT_TRUE(std::filesystem::exists(tp.prog.sys() / "Cyj_mode.dat"));
}

TEST(CyjModeLists, TypingOffersTheEditor) {
  struct Case {
    int key;
    MsgAnswer answer;
    bool editor_ok;
    bool asked, emptied, started;
    std::size_t messages;
  };
  const Case cases[] = {
      {'a', MsgAnswer::Yes, true, true, true, true, 1},
      {'a', MsgAnswer::No, true, true, true, false, 1},
      {13, MsgAnswer::Yes, true, false, false, false, 0},
      {'7', MsgAnswer::Yes, false, true, true, true, 2},  // the editor did not start: said so
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    test::TempProgram tp;
    test::ScriptedMessages msg;
    test::RecordingShell shell;
    shell.ok = c.editor_ok;
    msg.answers = {c.answer};
    EXPECT_EQ(Comb_CyjMode_KeyPress(tp.prog, c.key, msg, shell), c.emptied);
    ASSERT_EQ(msg.shown.size(), c.messages);
    if (c.asked) {
      EXPECT_EQ(msg.shown[0].text, "您不能改变抽油机型号，要增加新的抽油机型吗？");
      EXPECT_EQ(msg.shown[0].title, "输入出错");
    }
    if (c.started) {
      ASSERT_EQ(shell.edited.size(), 1u);
      EXPECT_EQ(shell.edited[0], path_text(tp.prog.sys() / "Cyj_mode.dat"));
      EXPECT_TRUE(std::filesystem::exists(tp.prog.sys() / "Cyj_mode.dat"));
    } else {
      EXPECT_TRUE(shell.edited.empty());
    }
    EXPECT_TRUE(shell.opened.empty());
  }
}

// A catalogue that cannot be created is said, and no editor is started on a file that is not
// there (or on a folder that holds its name).
TEST(CyjModeLists, CatalogueThatCannotBeCreatedIsSaid) {
  struct Case {
    const char* why;
    void (*spoil)(const ProgramFolder&);
  };
  const Case cases[] = {
      {"no sys folder", [](const ProgramFolder& p) { std::filesystem::remove_all(p.sys()); }},
      {"a folder of that name", [](const ProgramFolder& p) { std::filesystem::create_directory(p.sys() / "Cyj_mode.dat"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    test::TempProgram tp;
    c.spoil(tp.prog);
    EXPECT_EQ(ensure_cyj_mode_file(tp.prog), StoreStatus::IoError);
    test::ScriptedMessages msg;
    test::RecordingShell shell;
    msg.answers = {MsgAnswer::Yes};
    EXPECT_TRUE(Comb_CyjMode_KeyPress(tp.prog, 'a', msg, shell));
    ASSERT_EQ(msg.shown.size(), 2u);
    EXPECT_EQ(msg.shown[1].text, "无法建立抽油机型文件 " + path_text(tp.prog.sys() / "Cyj_mode.dat") + "。");
    EXPECT_EQ(msg.shown[1].title, "输入出错");
    EXPECT_TRUE(shell.edited.empty());
    EXPECT_TRUE(Comb_CyjMode_DropDown(tp.prog).empty());
  }
}

}  // namespace
}  // namespace wb
