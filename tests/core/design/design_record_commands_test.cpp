// The window's record commands on its core with recording engine steps: the choice of a well
// with one or two stored designs, "保存" keeping the well box, and the options and grade of a
// loaded design passing through the window's option handling.
#include <gtest/gtest.h>

#include "core/design/workbench/design_record_commands.h"
#include "design_fixture.h"

namespace wb::design::test {
namespace {

struct RecordingSteps : DesignSteps {
  std::vector<std::string> calls;
  void DesignForMutual(int i) override { calls.push_back("DesignForMutual(" + std::to_string(i) + ")"); }
  void Get_JXdat() override { calls.push_back("Get_JXdat"); }
  void CalcTrajectory() override { calls.push_back("CalcTrajectory"); }
  bool save_jx() override {
    calls.push_back("save_jx");
    return true;
  }
  void SetupGrids() override { calls.push_back("SetupGrids"); }
  void DesignCom_Click() override { calls.push_back("DesignCom_Click"); }
};

struct CommandsFixture {
  wb::test::TempProgram tmp;
  ScriptedMessages msg;
  CountingShell shell;
  DesignState st;
  RecordingSteps steps;
  DesignWindowCore core{st, steps, msg, shell, tmp.prog};
  DesignRecordCommands cmd{st, core, msg, shell, tmp.prog};

  void save(const std::string& well, const std::string& date) {
    st.JName_Comb = well;
    st.Date_Comb = date;
    ASSERT_TRUE(cmd.SaveCom_Click());
  }
};

TEST(DesignRecordCommands, ChoosingAWellLoadsItsOnlyDesign) {
  CommandsFixture fx;
  fx.st.Text3[14] = "1200";
  fx.save("A1", "1");
  fx.save("B1", "1");
  fx.save("B1", "2");
  fx.st.Text3[14] = "";
  fx.steps.calls.clear();

  fx.st.JName_Comb = "A1";
  fx.cmd.JName_Comb_Click(nullptr);
  EXPECT_EQ(fx.st.Date_Comb, "1");
  EXPECT_EQ(fx.st.Text3[14], "1200");
  EXPECT_EQ(fx.steps.calls, (std::vector<std::string>{"SetupGrids", "SetupGrids", "Get_JXdat", "CalcTrajectory",
                                                      "DesignForMutual(19)"}));

  fx.steps.calls.clear();
  fx.st.Text3[14] = "";
  fx.st.JName_Comb = "B1";
  fx.cmd.JName_Comb_Click(nullptr);
  EXPECT_EQ(fx.cmd.records.Date_list, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(fx.st.Date_Comb, "");
  EXPECT_EQ(fx.st.Text3[14], "");  // nothing loaded until a date is chosen
  EXPECT_EQ(fx.steps.calls, std::vector<std::string>{"SetupGrids"});
  EXPECT_EQ(fx.st.Grid2.rows(), 2);
}

TEST(DesignRecordCommands, SaveKeepsTheWellBoxAndListsTheWells) {
  CommandsFixture fx;
  fx.save("A1", "1");
  fx.save(" B1", "1");
  EXPECT_EQ(fx.st.JName_Comb, " B1");
  EXPECT_EQ(fx.cmd.records.JName_list, (std::vector<std::string>{"A1", "B1"}));
  fx.st.jx_changed = 1;
  fx.steps.calls.clear();
  fx.save("B1", "1");
  EXPECT_EQ(fx.steps.calls.front(), "save_jx");  // an edited survey is written with the design
}

TEST(DesignRecordCommands, OptionsOfALoadedDesignPassThroughTheWindow) {
  struct Case {
    bool lightest;
    int series;
    int grade;  // option 4..8
    bool lightest_back;
    int series_back;
    int grade_back;
  };
  const Case cases[] = {{false, 1, 6, false, 1, 6}, {true, 0, 7, true, 0, 7}, {false, 0, 8, false, 0, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.grade);
    CommandsFixture fx;
    fx.st.Option2 = c.lightest;
    fx.st.Option1 = c.series;
    fx.st.rod_grade = c.grade;
    fx.st.Text4 = "700";
    if (c.grade == 8) fx.st.cur_design.rod_grade[0] = 'D';  // "其它杆" keeps the working record's letter
    fx.save("A1", "1");
    fx.st.Option2 = !c.lightest;
    fx.st.Option1 = 1 - c.series;
    fx.st.rod_grade = 0;
    fx.st.Text4 = "1";
    fx.cmd.Date_Comb_Click(nullptr);
    EXPECT_EQ(fx.st.Option2, c.lightest_back);
    if (!c.lightest_back) {
      EXPECT_EQ(fx.st.Option1, c.series_back);
    }
    EXPECT_EQ(fx.st.rod_grade, c.grade_back);
    EXPECT_EQ(fx.st.Text4, "700");  // the stored stress, not the grade's
  }
}

}  // namespace
}  // namespace wb::design::test
