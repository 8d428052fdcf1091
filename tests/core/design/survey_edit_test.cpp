#include <gtest/gtest.h>

#include "design_fixture.h"

namespace wb::design::test {
namespace {

class SurveyEditTest : public DesignTest {
 protected:
  const TextGrid& g() { return eng.st.Grid1; }
};

TEST_F(SurveyEditTest, MinutesAddToTheDegrees) {
  eng.Text1_Change(1, "12");
  EXPECT_EQ(g().text(1, 2), "12");
  eng.Text1_Change(2, "30");
  EXPECT_EQ(g().text(1, 2), "12.5");
  eng.Text1_Change(2, "20");
  EXPECT_EQ(g().text(1, 2), "12.33");
  eng.Text1_Change(2, "");
  EXPECT_EQ(g().text(1, 2), "12");
  EXPECT_EQ(eng.st.jx_changed, 1);
}

TEST_F(SurveyEditTest, EntryWithOnlyTheTitleRowAddsRowOne) {
  eng.st.Grid1.set_rows(1);
  eng.st.Grid1.row = 0;
  eng.Text1_Change(0, "500");
  ASSERT_EQ(g().rows(), 2);
  EXPECT_EQ(g().text(0, 1), "油杆深度(m)");
  EXPECT_EQ(g().text(1, 0), "1");
  EXPECT_EQ(g().text(1, 1), "500");
}

TEST_F(SurveyEditTest, EnterInTheLastBoxClosesTheStation) {
  eng.Text1_Change(0, "500");
  eng.Text1_Change(1, "3");
  eng.Text1_KeyPress(4, 13);
  ASSERT_EQ(g().rows(), 3);
  EXPECT_EQ(g().row, 2);
  EXPECT_EQ(g().text(2, 0), "2");
  EXPECT_EQ(g().text(1, 1), "500");
  EXPECT_EQ(g().text(1, 2), "3");
  for (const auto& t : eng.st.Text1) EXPECT_EQ(t, "");
  EXPECT_EQ(eng.st.text1_focus, 0);
  eng.Text1_KeyPress(4, 13);  // the last row is empty: no row added
  EXPECT_EQ(g().rows(), 3);
}

TEST_F(SurveyEditTest, RowClickFillsTheBoxes) {
  survey({{"500", "1", "2"}, {"800", "3", "4"}, {"900", "5", "6"}});
  eng.st.Text1[2] = "40";
  eng.st.jx_changed = 0;
  eng.st.Grid1.row = 3;
  eng.Grid1_Click();
  EXPECT_EQ(eng.st.Text1[0], "900");
  EXPECT_EQ(eng.st.Text1[1], "5");
  EXPECT_EQ(eng.st.Text1[3], "6");
  EXPECT_EQ(eng.st.Text1[2], "");
  EXPECT_EQ(g().text(3, 2), "5");
  EXPECT_EQ(g().sel_col1, 1);
  EXPECT_EQ(g().sel_col2, 6);
  EXPECT_EQ(eng.st.jx_changed, 0);  // a row put into the boxes is no edit of the survey
  eng.st.jx_changed = 1;
  eng.st.Grid1.row = 1;
  eng.Grid1_Click();
  EXPECT_EQ(eng.st.jx_changed, 1);  // nor does it forget an edit
}

TEST_F(SurveyEditTest, PasteTakesThreeFieldsALineAndKeepsALastLineWithoutLineEnd) {
  struct Case {
    const char* name;
    std::string text;
    int rows;
    std::string r2c1, r2c3;
  };
  const std::vector<Case> cases = {
      {"example", "500\t1.5\t30\r\n1000\t2\t45\r\n", 4, "1000", "45"},
      {"no last line end", "500\t1.5\t30\r\n1000\t2\t45", 4, "1000", "45"},
      {"six fields (a copy of full rows)", "500\t1.5\t30\t0\t0\t500 \r\n1000\t2\t45\t1\t2\t999 \r\n", 4, "1000", "45"},
      {"line feeds only", "500\t1.5\t30\n1000\t2\t45\n", 4, "1000", "45"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    eng.SetupGrids();
    eng.st.jx_changed = 0;
    eng.past_Click(c.text, true);
    ASSERT_EQ(g().rows(), c.rows);
    EXPECT_EQ(g().text(1, 1), "500");
    EXPECT_EQ(g().text(1, 2), "1.5");
    EXPECT_EQ(g().text(2, 1), c.r2c1);
    EXPECT_EQ(g().text(2, 3), c.r2c3);
    EXPECT_EQ(g().text(3, 0), "3");
    EXPECT_EQ(g().text(3, 1), "");
    EXPECT_EQ(g().text(1, 4), "");
    EXPECT_EQ(eng.st.jx_changed, 1);
  }
}

TEST_F(SurveyEditTest, PasteWithoutTextChangesNothing) {
  survey({{"500", "1", "2"}});
  eng.st.jx_changed = 0;
  eng.past_Click("", true);
  eng.past_Click("abc", false);
  EXPECT_EQ(g().text(1, 1), "500");
  EXPECT_EQ(eng.st.jx_changed, 0);
}

TEST_F(SurveyEditTest, CopyEndsEachRowWithABlankBeforeTheLineEnd) {
  survey({{"500", "1", "2"}, {"800", "3", "4"}});
  auto& gr = eng.st.Grid1;
  gr.sel_row1 = gr.sel_row2 = 2;
  gr.sel_col1 = gr.sel_col2 = 1;
  EXPECT_EQ(eng.Men_copy_text(), "800 \r\n");
  gr.sel_row1 = 1;
  gr.sel_col2 = 3;
  EXPECT_EQ(eng.Men_copy_text(), "500\t1\t2 \r\n800\t3\t4 \r\n");
}

TEST_F(SurveyEditTest, DeleteARangeMovesTheRowsBelowUp) {
  survey({{"100", "1", "1"}, {"200", "2", "2"}, {"300", "3", "3"}, {"400", "4", "4"}, {"500", "5", "5"}});
  auto& gr = eng.st.Grid1;
  gr.set_rows(6);  // no entry row
  gr.sel_row1 = 2;
  gr.sel_row2 = 3;
  gr.sel_col1 = 1;
  gr.sel_col2 = 6;
  eng.st.jx_changed = 0;
  eng.num_del_Click();
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "确实要删除2-3号记录吗?");
  EXPECT_EQ(msgs.titles[0], "警告");
  ASSERT_EQ(g().rows(), 4);
  EXPECT_EQ(g().text(2, 1), "400");
  EXPECT_EQ(g().text(3, 1), "500");
  EXPECT_EQ(g().text(3, 0), "3");
  EXPECT_EQ(eng.st.jx_changed, 1);
  EXPECT_EQ(eng.st.Text1[0], "100");  // row 1 shown in the boxes

  msgs.answers.push_back(MsgAnswer::No);
  eng.num_del_Click();
  EXPECT_EQ(g().rows(), 4);
}

TEST_F(SurveyEditTest, DeletingEveryRowLeavesAnEmptyRowOne) {
  survey({{"100", "1", "1"}, {"200", "2", "2"}});
  auto& gr = eng.st.Grid1;
  gr.sel_row1 = 1;
  gr.sel_row2 = 3;
  gr.sel_col1 = 1;
  eng.num_del_Click();
  ASSERT_EQ(g().rows(), 2);
  EXPECT_EQ(g().text(1, 0), "1");
  EXPECT_EQ(g().text(1, 1), "");
  EXPECT_EQ(g().row, 1);
}

TEST_F(SurveyEditTest, ClearAndInsert) {
  survey({{"100", "1", "1"}, {"200", "2", "2"}});
  eng.st.Grid1.row = 2;
  eng.num_in_Click();
  ASSERT_EQ(g().rows(), 5);
  EXPECT_EQ(g().text(2, 1), "");
  EXPECT_EQ(g().text(3, 1), "200");
  EXPECT_EQ(g().text(3, 0), "3");
  EXPECT_EQ(g().row, 2);

  eng.st.jx_changed = 0;
  eng.all_del_Click();
  EXPECT_EQ(msgs.texts.back(), "确实要删除全部记录吗?");
  ASSERT_EQ(g().rows(), 2);
  EXPECT_EQ(g().text(1, 1), "");
  EXPECT_EQ(eng.st.jx_changed, 1);
}

TEST_F(SurveyEditTest, ArrowAndEnterKeysMoveTheFocus) {
  eng.Text1_KeyDown(3, 40);
  EXPECT_EQ(eng.st.text1_focus, 4);
  eng.Text1_KeyDown(0, 38);
  EXPECT_EQ(eng.st.text1_focus, 4);
  eng.Text1_KeyDown(8, 38);
  EXPECT_EQ(eng.st.text1_focus, 7);
  eng.Text1_KeyPress(2, 13);
  EXPECT_EQ(eng.st.text1_focus, 3);
}

}  // namespace
}  // namespace wb::design::test
