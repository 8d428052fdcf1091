// The parallel helper: every item in exactly one part, every thread joined, and an exception
// of any part (on the calling thread or another) reaching the caller instead of ending the
// program.
#include "core/common/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace wb {
namespace {

TEST(Parallel, EveryItemIsInExactlyOnePart) {
  for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{10}, std::size_t{1001}}) {
    const WorkSplit s = split_work(n, 0, 4);
    std::vector<std::atomic<int>> seen(n);
    run_parts(s, [&](unsigned, std::size_t first, std::size_t count) {
      for (std::size_t i = first; i < first + count; ++i) ++seen[i];
    });
    for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(seen[i], 1) << "n " << n << " item " << i;
    EXPECT_LE(s.parts, std::max<std::size_t>(n, 1));
  }
}

TEST(Parallel, SmallWorkRunsOnTheCallingThreadAlone) {
  const WorkSplit s = split_work(99, 100, 4);
  EXPECT_EQ(s.parts, 1u);
  const std::thread::id caller = std::this_thread::get_id();
  run_parts(s, [&](unsigned, std::size_t first, std::size_t count) {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(count, 99u);
  });
}

// A part that throws, whichever thread runs it: the others still run to their end, and the
// first part's exception in part order reaches the caller.
TEST(Parallel, AThrowingPartReachesTheCaller) {
  WorkSplit s = split_work(400, 0, 4);
  s.parts = 4;  // threads even on a machine (or a pinning) of one processor
  s.share = 100;
  for (const unsigned thrower : {0u, 1u, 3u}) {
    std::atomic<int> finished = 0;
    try {
      run_parts(s, [&](unsigned t, std::size_t, std::size_t) {
        if (t == thrower) throw std::runtime_error("part " + std::to_string(t));
        if (t > thrower) throw std::logic_error("later part");
        ++finished;
      });
      ADD_FAILURE() << "nothing thrown for part " << thrower;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "part " + std::to_string(thrower));
    }
    EXPECT_EQ(finished, static_cast<int>(thrower));
  }
}

}  // namespace
}  // namespace wb
