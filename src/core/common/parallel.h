// Work over n items split into parts run side by side: part 0 on the calling thread, the
// others on threads of their own, all joined before run_parts returns or throws. A part that
// throws does not stop the others; once all are joined the first part's exception (in part
// order) is thrown to the caller.
//
// The split is one part (no thread at all) when the work is small or when this process may
// use one processor only (pinned, a container of one core): threads then cost more than they
// give.
#pragma once

#include <algorithm>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace wb {

// Processors this process may run on (its affinity), at least 1.
unsigned usable_processors();

struct WorkSplit {
  std::size_t items = 0;
  unsigned parts = 1;
  std::size_t share = 0;  // items of every part but the last

  std::size_t first(unsigned t) const { return std::min(items, t * share); }
  std::size_t count(unsigned t) const { return std::min(share, items - first(t)); }
};

// `items` split into up to `max_parts` parts, one part below `alone_below` items.
WorkSplit split_work(std::size_t items, std::size_t alone_below, unsigned max_parts);

// Calls part(t, first, count) for every part t of `split`.
template <class Part>
void run_parts(const WorkSplit& split, Part&& part) {
  if (split.parts <= 1) {
    part(0u, std::size_t{0}, split.items);
    return;
  }
  std::vector<std::exception_ptr> errors(split.parts);
  auto guarded = [&](unsigned t) noexcept {
    try {
      part(t, split.first(t), split.count(t));
    } catch (...) {
      errors[t] = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> helpers;  // joined when the block ends, however it ends
    unsigned started = 1;
    try {
      helpers.reserve(split.parts - 1);
      for (; started < split.parts; ++started) helpers.emplace_back(guarded, started);
    } catch (const std::exception&) {
      // No thread (or no room for one) to be had: the parts not handed out run here.
    }
    guarded(0);
    for (unsigned t = started; t < split.parts; ++t) guarded(t);
  }
  for (const std::exception_ptr& e : errors)
    if (e) std::rethrow_exception(e);
}

}  // namespace wb
