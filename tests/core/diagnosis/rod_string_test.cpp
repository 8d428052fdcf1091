// The taper of the pump-card computation: sections by decreasing diameter, the sinker bar
// joined by its whole millimetres, at most four sections with the shortest dropped.
#include <gtest/gtest.h>

#include <vector>

#include "core/diagnosis/rod_string.h"

namespace wb {
namespace {

struct Section {
  double dia, len;
};

struct TaperCase {
  const char* name;
  double r118, r1, r78, r34, r58, sinker_len, sinker_dia;
  std::vector<Section> want;  // from the top
};

TEST(RodString, TaperCases) {
  const TaperCase cases[] = {
      {"no length typed", 0, 0, 0, 0, 0, 0, 0, {}},
      {"a 38 mm sinker bar alone is the 1-1/2 in size", 0, 0, 0, 0, 0, 100, 38, {{38.1, 100}}},
      {"a 25 mm bar joins the 1 in rods", 0, 600, 0, 0, 0, 50, 25, {{25.4, 650}}},
      {"a 25.9 mm bar joins the 1 in rods", 0, 600, 0, 0, 0, 50, 25.9, {{25.4, 650}}},
      {"a 38 mm bar is the top section",
       0, 500, 600, 400, 0, 100, 38,
       {{38.1, 100}, {25.4, 500}, {22.2, 600}, {19.1, 400}}},
      {"six sections lose the two shortest",
       200, 300, 400, 500, 600, 100, 38,
       {{25.4, 300}, {22.2, 400}, {19.1, 500}, {15.9, 600}}},
      {"of equal lengths the smaller diameters go first",
       300, 300, 300, 300, 300, 300, 38,
       {{38.1, 300}, {28.6, 300}, {25.4, 300}, {22.2, 300}}},
      {"a 40 mm bar matches no size", 0, 600, 0, 0, 0, 50, 40, {{25.4, 600}}},
      {"a bar of diameter 0 matches no size", 0, 600, 0, 0, 0, 50, 0, {{25.4, 600}}},
      {"a negative length is an absent size", 0, 600, -100, 0, 0, 0, 0, {{25.4, 600}}},
  };
  for (const TaperCase& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosisState st;
    st.Text1[diag_box::kRods118] = num_text(c.r118);
    st.Text1[diag_box::kRods1] = num_text(c.r1);
    st.Text1[diag_box::kRods78] = num_text(c.r78);
    st.Text1[diag_box::kRods34] = num_text(c.r34);
    st.Text1[diag_box::kRods58] = num_text(c.r58);
    st.Text1[diag_box::kSinkerLen] = num_text(c.sinker_len);
    st.Text1[diag_box::kSinkerDia] = num_text(c.sinker_dia);
    st.Text1[diag_box::kStroke] = "3";
    st.Text1[diag_box::kSpm] = "6";
    st.Text1[diag_box::kPumpDepth] = "1200";
    for (int run = 0; run < 2; ++run) {  // a second run over the same boxes gives the same taper
      get_yjcs(st);
      ASSERT_EQ(st.Sec_Last, static_cast<int>(c.want.size()) - 1);
      for (int k = 0; k < 4; ++k) {
        const bool present = k < static_cast<int>(c.want.size());
        EXPECT_DOUBLE_EQ(st.yjcs[23 + 2 * k], present ? c.want[k].dia : 0) << k;
        EXPECT_DOUBLE_EQ(st.yjcs[24 + 2 * k], present ? c.want[k].len : 0) << k;
      }
    }
    EXPECT_EQ(st.yjcs[2], 3);
    EXPECT_EQ(st.yjcs[3], 6);
    EXPECT_EQ(st.yjcs[33], 1200);
  }
}

TEST(RodString, JoinedSinkerTakesTheSizesDiameterAndWeight) {
  DiagnosisState st;
  st.Text1[diag_box::kSinkerLen] = "100";
  st.Text1[diag_box::kSinkerDia] = "38";
  get_yjcs(st);
  EXPECT_DOUBLE_EQ(st.Size_Dia[0], 38.1);
  EXPECT_DOUBLE_EQ(st.Size_Wt[0], 0.0877);
  st.Text1[diag_box::kSinkerDia] = "40";
  get_yjcs(st);
  EXPECT_DOUBLE_EQ(st.Size_Dia[0], 40);
  EXPECT_DOUBLE_EQ(st.Size_Wt[0], 0);
  EXPECT_EQ(st.Sec_Last, -1);
}

}  // namespace
}  // namespace wb
