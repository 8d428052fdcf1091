// The store on the window's core with recording engine steps: the options and grade of a
// saved design come back through the window's option handling, the stored stress last.
#include <gtest/gtest.h>

#include "core/design/workbench/design_record_commands.h"
#include "design_fixture.h"
#include "recording_steps.h"

namespace wb::design::test {
namespace {

using wb::test::RecordingSteps;

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
    ASSERT_EQ(cmd.save(), DesignOutcome::done);
  }
};

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
    ASSERT_EQ(fx.cmd.load(), DesignOutcome::done);
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
