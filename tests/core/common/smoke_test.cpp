#include <gtest/gtest.h>

#include "core/common/number_text.h"

TEST(NumberTextSmoke, PlainForm) { EXPECT_EQ(wb::num_text(0.5), "0.5"); }
