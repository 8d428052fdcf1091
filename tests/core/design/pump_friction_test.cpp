#include <gtest/gtest.h>

#include "design_fixture.h"

namespace wb::design::test {
namespace {

class PumpFrictionTest : public DesignTest {};

TEST_F(PumpFrictionTest, WorkedValues) {
  struct Case {
    float speed, visc, bore;
    double result;
  };
  // Hand values: K = 0.9·P1·exp(P2·speed), bounded by the bore's row, times D/D_ref.
  for (const Case& c : {Case{18, 0.01f, 38, 0.794321}, Case{18, 0.01f, 56, 1.2}, Case{18, 0.5f, 70, 6.44724},
                        Case{30, 1.0f, 83, 30}, Case{40, 2.0f, 100, 36.1446}, Case{18, 0.01f, 55.9f, 1.16849}}) {
    SCOPED_TRACE(c.bore);
    float s = c.speed, v = c.visc, d = c.bore;
    EXPECT_NEAR(eng.Calc_Pf_Pr(s, v, d), c.result, 2e-5 * c.result);
    EXPECT_EQ(s, c.speed);
    EXPECT_EQ(v, c.visc);
    EXPECT_EQ(d, c.bore);
  }
  EXPECT_TRUE(msgs.texts.empty());
}

TEST_F(PumpFrictionTest, LimitsAreWrittenBackAfterAMessage) {
  struct Case {
    float speed, bore;
    float speed_after, bore_after;
    std::vector<std::string> messages;
  };
  const std::vector<Case> cases = {
      {0, 0, 0.5f, 22, {"冲程x冲次太小，已调整到0.5计算，请正确输入后再设计！", "泵径太小，已调整到22计算，请正确输入后再设计！"}},
      {41, 110, 40, 100, {"冲程x冲次太大，已调整到40计算，请正确输入后再设计！", "泵径太大，已调整到100计算，请正确输入后再设计！"}},
      {0.5f, 22, 0.5f, 22, {}},
      {40, 100, 40, 100, {}},
      {10, 21, 10, 22, {"泵径太小，已调整到22计算，请正确输入后再设计！"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speed);
    msgs.texts.clear();
    float s = c.speed, v = 0.1f, d = c.bore;
    eng.Calc_Pf_Pr(s, v, d);
    EXPECT_EQ(s, c.speed_after);
    EXPECT_EQ(d, c.bore_after);
    EXPECT_EQ(msgs.texts, c.messages);
  }
}

}  // namespace
}  // namespace wb::design::test
