#include "core/common/parallel.h"

#include <sched.h>

#include <algorithm>

namespace wb {

unsigned usable_processors() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0) return static_cast<unsigned>(std::max(1, CPU_COUNT(&set)));
  return std::max(1u, std::thread::hardware_concurrency());
}

WorkSplit split_work(std::size_t items, std::size_t alone_below, unsigned max_parts) {
  WorkSplit s;
  s.items = items;
  s.parts = items < alone_below ? 1u : std::max(1u, std::min(max_parts, usable_processors()));
  s.parts = static_cast<unsigned>(std::min<std::size_t>(s.parts, std::max<std::size_t>(items, 1)));
  s.share = (items + s.parts - 1) / s.parts;
  return s;
}

}  // namespace wb
