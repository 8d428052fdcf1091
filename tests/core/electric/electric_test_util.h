// Look-ups on a recording canvas for the waveform and line-loss tests.
#pragma once

#include "../test_canvas_util.h"

namespace wb::electric_test {

using namespace canvas_test;

}  // namespace wb::electric_test
