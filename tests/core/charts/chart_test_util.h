// Look-ups on a recording canvas for the chart tests.
#pragma once

#include "../test_canvas_util.h"

namespace wb::charts_test {

using namespace canvas_test;

inline constexpr double kPt = 25.4 / 72.0;  // mm per point

}  // namespace wb::charts_test
