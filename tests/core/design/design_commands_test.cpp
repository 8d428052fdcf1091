// The design window's command sequences in core: the survey is asked about before it is
// reloaded over edits, written only when edited, and a well without a survey clears the
// well path; the model lists; the centralizer table's export, editor, row commands and check.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>

#include "core/common/trim.h"
#include "core/design/engine/survey_file.h"
#include "core/design/workbench/design_window_core.h"
#include "core/design/workbench/fzq_table.h"
#include "design_fixture.h"
#include "recording_steps.h"

namespace wb::design::test {
namespace {

using wb::test::RecordingSteps;

using Calls = std::vector<std::string>;

class DesignCommandsTest : public DesignTest {
 protected:
  RecordingSteps steps;
  DesignWindowCore core{eng.st, steps, msgs, shell, tmp.prog};
  DesignState& st = eng.st;

  void write_file(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
  }
};

TEST_F(DesignCommandsTest, SurveyEditsAreAskedAboutBeforeTheyAreReplaced) {
  struct Case {
    const char* why;
    std::int16_t changed;
    MsgAnswer answer;
    Calls calls;
    std::size_t asked;
  };
  const std::vector<Case> cases = {
      {"unchanged", 0, MsgAnswer::Yes, {"DesignCom_Click"}, 0},
      {"changed, saved", 1, MsgAnswer::Yes, {"save_jx", "DesignCom_Click"}, 1},
      {"changed, dropped", 1, MsgAnswer::No, {"DesignCom_Click"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    steps.calls.clear();
    msgs.texts.clear();
    msgs.answers = {c.answer};
    st.jx_changed = c.changed;
    EXPECT_EQ(core.DesignCom_Click(), DesignOutcome::done);
    EXPECT_EQ(steps.calls, c.calls);
    ASSERT_EQ(msgs.texts.size(), c.asked);
    if (c.asked) {
      EXPECT_EQ(msgs.texts[0], "当前井斜数据已改动，需保存吗?");
      EXPECT_EQ(msgs.titles[0], "保存");
    }
    if (c.answer == MsgAnswer::No) {
      // 否 gives the edits up: the next command does not ask again.
      EXPECT_EQ(st.jx_changed, 0);
      EXPECT_EQ(core.DesignCom_Click(), DesignOutcome::done);
      EXPECT_EQ(msgs.texts.size(), c.asked);
    }
  }
}

TEST_F(DesignCommandsTest, SaveAndCloseWriteTheSurveyOnlyWhenEdited) {
  st.jx_changed = 0;
  EXPECT_EQ(core.save_survey_if_changed(), DesignOutcome::nothing);
  EXPECT_EQ(core.Form_Unload(), DesignOutcome::nothing);
  EXPECT_TRUE(steps.calls.empty());
  EXPECT_TRUE(msgs.texts.empty());
  st.jx_changed = 1;
  EXPECT_EQ(core.save_survey_if_changed(), DesignOutcome::done);
  EXPECT_EQ(steps.calls, Calls{"save_jx"});
  msgs.answers = {MsgAnswer::No};
  EXPECT_EQ(core.Form_Unload(), DesignOutcome::nothing);
  EXPECT_EQ(steps.calls, Calls{"save_jx"});
  EXPECT_EQ(msgs.texts, std::vector<std::string>{"当前井斜数据已改动，需保存吗?"});
}

// A save the user wanted that did not happen stops whatever would replace the edited table:
// the rows, their well and the edit mark stay, and the window is not closed.
TEST_F(DesignCommandsTest, ASurveySaveThatDidNotHappenKeepsTheEditedTable) {
  struct Case {
    const char* command;
    std::function<std::optional<DesignOutcome>()> run;  // a key handler has no outcome
  };
  const std::vector<Case> commands = {
      {"重新设计", [&] { return core.DesignCom_Click(); }},
      {"another date", [&] { return core.Date_Comb_Click([] { ADD_FAILURE() << "loaded"; }, {}); }},
      {"another well", [&] { return core.reset_grids(); }},
      {"Enter on another well", [&]() -> std::optional<DesignOutcome> {
         core.JName_Comb_KeyPress(kEnterKey);
         return std::nullopt;
       }},
      {"close", [&] { return core.Form_Unload(); }},
  };
  for (const DesignOutcome saved : {DesignOutcome::failed, DesignOutcome::refused}) {
    for (const Case& c : commands) {
      SCOPED_TRACE(c.command);
      steps.calls.clear();
      steps.save_result = saved;
      msgs.answers = {MsgAnswer::Yes};
      st.JName_Comb = "W9";
      st.jx_path = "/old/W1.jx";
      st.jx_changed = 1;
      st.Grid1.set_rows(4);
      st.Grid1.set_text(2, 1, "850");
      if (const std::optional<DesignOutcome> outcome = c.run()) {
        EXPECT_EQ(*outcome, saved);
      }
      EXPECT_EQ(steps.calls, Calls{"save_jx"});
      EXPECT_EQ(st.Grid1.rows(), 4);
      EXPECT_EQ(st.Grid1.text(2, 1), "850");
      EXPECT_EQ(st.jx_path, "/old/W1.jx");
      EXPECT_EQ(st.jx_changed, 1);
    }
  }
}

TEST_F(DesignCommandsTest, EnterInTheWellBox) {
  write_file(tmp.prog.data() / "W1.jx", std::string(5 * kJxRecordSize, ' '));
  st.JName_Comb = " W1 ";
  st.Grid1.set_rows(5);
  st.Grid1.set_text(3, 1, "700");
  core.JName_Comb_KeyPress(kEnterKey);
  EXPECT_EQ(steps.calls, (Calls{"Get_JXdat", "CalcTrajectory"}));
  EXPECT_EQ(st.Grid1.rows(), 2);
  EXPECT_EQ(std::filesystem::path(st.jx_path).filename(), "W1.jx");

  // Other keys and blank names do nothing.
  steps.calls.clear();
  core.JName_Comb_KeyPress('a');
  st.JName_Comb = "   ";
  core.JName_Comb_KeyPress(kEnterKey);
  EXPECT_TRUE(steps.calls.empty());
}

TEST_F(DesignCommandsTest, AWellWithoutSurveyClearsTheWellPath) {
  st.last_node = 600;
  st.profile.inclination[100] = 30;
  st.JName_Comb = "W2";
  core.JName_Comb_KeyPress(kEnterKey);
  EXPECT_EQ(steps.calls, Calls{"CalcTrajectory"});  // on the emptied table: the 3D view redrawn
  EXPECT_EQ(st.Grid1.rows(), 2);
  EXPECT_EQ(st.Grid1.text(1, 0), "1");
  EXPECT_EQ(st.last_node, 0);
  EXPECT_EQ(st.profile.inclination[100], 0);
  EXPECT_EQ(msgs.texts, std::vector<std::string>{"W2井没有井斜数据，井眼轨迹已清空。"});
}

TEST_F(DesignCommandsTest, AWellNameThatLeavesTheDataFolderReadsNothing) {
  write_file(tmp.prog.root / "x.jx", std::string(5 * kJxRecordSize, ' '));
  st.last_node = 600;
  st.JName_Comb = "../x";
  core.JName_Comb_KeyPress(kEnterKey);
  EXPECT_EQ(steps.calls, Calls{"CalcTrajectory"});
  EXPECT_EQ(st.last_node, 0);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_NE(msgs.texts[0].find("不能用作文件名"), std::string::npos);
}

// The survey file name is checked with its ".jx": 253 bytes and more are refused as too long.
TEST_F(DesignCommandsTest, EnterOnAWellNameTooLongForItsSurveyFileSaysSo) {
  st.JName_Comb = std::string(253, 'a');
  core.JName_Comb_KeyPress(kEnterKey);
  EXPECT_EQ(steps.calls, Calls{"CalcTrajectory"});
  EXPECT_TRUE(st.jx_path.empty());
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_NE(msgs.texts[0].find("太长"), std::string::npos) << msgs.texts[0];
}

TEST_F(DesignCommandsTest, EnterOnAnotherWellAsksAboutEditedSurvey) {
  st.jx_changed = 1;
  st.JName_Comb = "W3";
  msgs.answers = {MsgAnswer::Yes, MsgAnswer::Ok};
  core.JName_Comb_KeyPress(kEnterKey);
  EXPECT_EQ(steps.calls, (Calls{"save_jx", "CalcTrajectory"}));
  EXPECT_EQ(st.jx_changed, 0);
}

TEST_F(DesignCommandsTest, ChoosingADateLoadsAndRedesigns) {
  st.jx_changed = 1;
  st.Label3[5] = "14";
  st.pump_friction = 2;
  msgs.answers = {MsgAnswer::No};
  int redraws = 0;
  EXPECT_EQ(core.Date_Comb_Click([&] { steps.calls.push_back("LoadDesignRecord"); }, [&] { ++redraws; }),
            DesignOutcome::done);
  EXPECT_EQ(steps.calls, (Calls{"SetupGrids", "LoadDesignRecord", "Get_JXdat", "CalcTrajectory", "DesignForMutual(19)"}));
  EXPECT_EQ(msgs.texts, std::vector<std::string>{"当前井斜数据已改动，需保存吗?"});
  EXPECT_EQ(st.jx_changed, 0);  // the emptied and reread table is no edit
  EXPECT_EQ(st.Label3[5], "");
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(st.pump_friction, 0);
}

TEST_F(DesignCommandsTest, UpdateRelatedValues) {
  int redraws = 0;
  st.pump_friction = 3.5f;
  core.Cmd_Reflush_Click([&] { ++redraws; });
  EXPECT_EQ(steps.calls, Calls{"DesignForMutual(18)"});
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(st.pump_friction, 0);
  core.Cmd_Reflush_Click({});
}

TEST_F(DesignCommandsTest, ModelLists) {
  struct Case {
    const char* why;
    const char* catalogue;  // nullptr: no file
    std::vector<std::string> at_load;
    std::vector<std::string> dropped;
  };
  const std::vector<Case> cases = {
      {"missing", nullptr, {}, {}},
      {"repeated", "抽油机型=CYJ10\r\n冲程=3,2.5\r\n抽油机型=CYJ10\r\n", {"CYJ10", "CYJ10"}, {"CYJ10"}},
      {"indented", " 抽油机型=CYJ12\r\n", {"CYJ12"}, {"CYJ12"}},
      {"no model lines", "冲程=3\r\n", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const auto path = tmp.prog.sys() / "Cyj_mode.dat";
    std::filesystem::remove(path);
    if (c.catalogue) {
      std::string gbk;
      // The catalogue is GBK: "抽油机型=" and "冲程=" in their code-page bytes.
      std::string text = c.catalogue;
      auto replace = [&](const std::string& from, const std::string& to) {
        for (std::size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + to.size()))
          text.replace(p, from.size(), to);
      };
      replace("抽油机型", "\xB3\xE9\xD3\xCD\xBB\xFA\xD0\xCD");
      replace("冲程", "\xB3\xE5\xB3\xCC");
      write_file(path, text);
    }
    EXPECT_EQ(core.load_model_list(), c.at_load);
    EXPECT_EQ(core.CyjType_Comb_DropDown(), c.dropped);
    EXPECT_TRUE(std::filesystem::exists(path));  // a missing catalogue is created empty
  }
}

TEST_F(DesignCommandsTest, AKeyInTheModelBoxOffersTheEditor) {
  EXPECT_FALSE(core.CyjType_Comb_KeyPress(kEnterKey));
  EXPECT_TRUE(msgs.texts.empty());
  msgs.answers = {MsgAnswer::No};
  EXPECT_TRUE(core.CyjType_Comb_KeyPress('x'));
  EXPECT_EQ(msgs.texts, std::vector<std::string>{"您不能改变抽油机型号，要增加新的抽油机型吗？"});
  EXPECT_EQ(msgs.titles[0], "输入出错");
}

// ---------------------------------------------------------------- centralizer table

TEST(FzqTable, WorkbookPath) {
  const ProgramFolder prog{"/p"};
  struct Case {
    const char* well;
    const char* path;
  };
  const std::vector<Case> cases = {{"W1", "/p/report/W1扶正器布置数据表.xlsx"},
                                   {" W1 ", "/p/report/W1扶正器布置数据表.xlsx"},
                                   {"", "/p/report/扶正器布置数据表.xlsx"},
                                   {"../x", ""},
                                   {"a/b", ""},
                                   {"a\\b", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.well);
    EXPECT_EQ(fzq_workbook_path(prog, c.well), c.path);
  }
}


TextGrid five_rows() {
  TextGrid g(11, 6);
  for (int r = 1; r <= 5; ++r) {
    g.set_text(r, 0, std::to_string(r));
    g.set_text(r, 1, std::to_string(1200 - 100 * r));
    g.set_text(r, 10, "8");
  }
  return g;
}

TEST(FzqTable, RowCommands) {
  TextGrid g = five_rows();
  g.row = 3;
  mnuIns_Click(g);
  ASSERT_EQ(g.rows(), 7);
  EXPECT_EQ(g.row, 3);
  for (int r = 1; r <= 6; ++r) EXPECT_EQ(g.text(r, 0), std::to_string(r));
  EXPECT_EQ(g.text(3, 1), "");
  EXPECT_EQ(g.text(3, 10), "");
  EXPECT_EQ(g.text(4, 1), "900");
  EXPECT_EQ(g.text(6, 1), "700");

  mnuDel_Click(g);  // the row and its number go
  ASSERT_EQ(g.rows(), 6);
  EXPECT_EQ(g.text(3, 0), "4");
  mnuAdd_Click(g);  // numbered by the row count: repeats 6
  ASSERT_EQ(g.rows(), 7);
  EXPECT_EQ(g.text(6, 0), "6");
  EXPECT_EQ(g.text(5, 0), "6");
}

TEST(FzqTable, EditorKeys) {
  DesignState st;
  st.Grid2 = five_rows();
  struct Case {
    int key;
    int after;
    bool place;
    bool changed;
  };
  const std::vector<Case> cases = {{'7', '7', false, true}, {8, 8, false, true},  {'.', 0, false, false},
                                   {'-', 0, false, false},  {'a', 0, false, false}, {13, 13, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    st.fzq_edit_changed = false;
    st.Grid2.row = 2;
    int k = c.key;
    EXPECT_EQ(txtEdit_KeyPress(st, k), c.place);
    EXPECT_EQ(k, c.after);
    EXPECT_EQ(st.fzq_edit_changed, c.changed);
  }
  st.Grid2.row = 2;
  int enter = 13;
  txtEdit_KeyPress(st, enter);
  EXPECT_EQ(st.Grid2.row, 3);
  st.Grid2.row = 5;
  txtEdit_KeyPress(st, enter);
  EXPECT_EQ(st.Grid2.row, 1);  // after the last row, row 1
  txtEdit_Change(st, "1234");
  EXPECT_EQ(st.fzq_edit_text, "1234");
  EXPECT_EQ(st.fzq_edit_row, 1);
  EXPECT_EQ(st.Grid2.text(1, 1), "1100");  // nothing is committed
}

TEST(FzqTable, CommitCellEditKeepsTheDepthsFalling) {
  // Depths 1100, 1000, 900, 800, 700; the pump at 1150 m.
  struct Case {
    int row;
    const char* text;
    bool ok;
  };
  const std::vector<Case> cases = {{1, "1150", true}, {1, "1151", false}, {1, "999", false}, {3, "1000", true},
                                   {3, "1001", false}, {3, "799", false},  {5, "100", true},  {5, "99", false},
                                   {5, "801", false},  {3, " 950 ", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + " " + c.text);
    DesignState st;
    st.Grid2 = five_rows();
    st.Grid2.row = 2;
    st.fzq_edit_row = static_cast<std::int16_t>(c.row);
    st.fzq_edit_text = c.text;
    st.fzq_edit_changed = true;
    ScriptedMessages msgs;
    EXPECT_EQ(CommitCellEdit(st, 1150, msgs) == DesignOutcome::done, c.ok);
    EXPECT_FALSE(st.fzq_edit_changed);
    EXPECT_EQ(st.cur_design.reserved_2088[0], 1100);
    EXPECT_EQ(st.cur_design.reserved_2088[4], 700);
    if (c.ok) {
      EXPECT_EQ(st.Grid2.text(c.row, 1), trim_blanks(c.text));
      EXPECT_EQ(st.Grid2.row, 2);
      EXPECT_TRUE(msgs.texts.empty());
    } else {
      EXPECT_EQ(st.Grid2.text(c.row, 1), std::to_string(1200 - 100 * c.row));
      EXPECT_EQ(st.Grid2.row, c.row);
      EXPECT_EQ(msgs.texts, std::vector<std::string>{"请检查当前记录油杆深度数据的是否合理!"});
      EXPECT_EQ(msgs.titles[0], "提示");
    }
  }
}

// The window's commit writes the cell only: the record's reserved field stays as loaded.
TEST(FzqTable, TheWindowsCommitLeavesTheRecordAlone) {
  DesignState st;
  st.Grid2 = five_rows();
  st.cur_design.reserved_2088[0] = 7;
  st.fzq_edit_row = 2;
  st.fzq_edit_text = "1050";
  ScriptedMessages msgs;
  EXPECT_EQ(commit_fzq_depth(st, 1150, msgs), DesignOutcome::done);
  EXPECT_EQ(st.Grid2.text(2, 1), "1050");
  EXPECT_EQ(st.cur_design.reserved_2088[0], 7);
  EXPECT_EQ(st.cur_design.reserved_2088[1], 0);
}

struct RecordingWriter : WorkbookWriter {
  std::string file;
  std::vector<ExcelCell> cells;
  std::optional<Refusal> write(const std::string& file_name, const std::vector<ExcelCell>& c) override {
    file = file_name;
    cells = c;
    return std::nullopt;
  }
};

TEST_F(DesignCommandsTest, ExportRightAfterSetUp) {
  eng.SetupGrids();
  st.JName_Comb = "W5";
  RecordingWriter writer;
  msgs.answers = {MsgAnswer::No};
  EXPECT_EQ(ImportExcel_Click(st, tmp.prog, writer, msgs, shell), DesignOutcome::done);
  EXPECT_EQ(std::filesystem::path(writer.file).filename(), "W5扶正器布置数据表.xlsx");
  ASSERT_EQ(writer.cells.size(), 22u);  // headings and one empty row, columns a to k
  EXPECT_EQ(writer.cells[0].address, "a1");
  EXPECT_EQ(writer.cells[0].text, "序号");
  EXPECT_EQ(writer.cells[10].address, "k1");
  EXPECT_EQ(writer.cells[10].text, "扶正器间距(m)");
  EXPECT_EQ(writer.cells[11].address, "a2");
  EXPECT_EQ(writer.cells[11].text, "");
  EXPECT_EQ(msgs.texts, std::vector<std::string>{"是否编辑" + writer.file + "？"});
}

TEST_F(DesignCommandsTest, ExportRefusesAWellNameThatLeavesTheReportFolder) {
  st.JName_Comb = "../x";
  RecordingWriter writer;
  EXPECT_EQ(ImportExcel_Click(st, tmp.prog, writer, msgs, shell), DesignOutcome::refused);
  EXPECT_TRUE(writer.file.empty());
  ASSERT_EQ(msgs.texts.size(), 1u);
}

}  // namespace
}  // namespace wb::design::test
