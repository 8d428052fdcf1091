#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/workbench/org_decode.h"
#include "core/samples/synthetic_tests.h"

namespace wb {
namespace {

// The generated file decodes to the unit it describes: layout, header, ranges.
TEST(SyntheticJointTest, DecodesToTheDescribedUnit) {
  SyntheticJointParams p;
  p.period = 625;
  p.sample_count = 2800;
  p.wiring_mode = 3;
  p.stroke = 2.5;
  p.position_offset = 0.2;
  p.rod_weight = 25.0;
  p.fluid_load = 15.0;
  const Bytes b = make_synthetic_joint_test(p);
  ASSERT_EQ(b.size(), 1024u + 10u * 2800u);

  auto st = std::make_unique<TestState>();
  ASSERT_EQ(decode_org_bytes(*st, b), std::nullopt);
  EXPECT_EQ(st->org_head.sample_count, 2800);
  EXPECT_EQ(st->org_head.wiring_mode, 3);
  EXPECT_EQ(st->Text1[0], "200605121430");
  EXPECT_GT(st->p_sum, 0.0f);

  const auto [pmin, pmax] = std::minmax_element(st->sss.begin(), st->sss.begin() + 2800);
  EXPECT_NEAR(*pmin, 0.2, 0.005);        // the transducer's zero, plus 1 mm noise
  EXPECT_NEAR(*pmax - *pmin, 2.5, 0.005);
  const auto [gmin, gmax] = std::minmax_element(st->ggs.begin(), st->ggs.begin() + 2800);
  // Rods alone on the downstroke, rods and fluid on the upstroke, +-15 % for inertia and
  // the rod vibration.
  EXPECT_GT(*gmin, 25.0 * 0.85);
  EXPECT_LT(*gmin, 25.0);
  EXPECT_GT(*gmax, 40.0);
  EXPECT_LT(*gmax, 40.0 * 1.15);
  // One stroke later the unit is where it was (the noise is small).
  EXPECT_NEAR(st->sss[100], st->sss[725], 0.003);
  EXPECT_NEAR(st->ggs[100], st->ggs[725], 0.4);
}

// The same parameters give the same bytes; another seed other noise.
TEST(SyntheticJointTest, Deterministic) {
  SyntheticJointParams p;
  EXPECT_EQ(make_synthetic_joint_test(p), make_synthetic_joint_test(p));
  SyntheticJointParams q = p;
  q.seed = 7;
  EXPECT_NE(make_synthetic_joint_test(p), make_synthetic_joint_test(q));
  q.noise = 0;
  p.noise = 0;
  EXPECT_EQ(make_synthetic_joint_test(p), make_synthetic_joint_test(q));
}

}  // namespace
}  // namespace wb
