#include "core/common/box_limits.h"

#include <cmath>

#include "core/common/number_text.h"
#include "core/common/trim.h"

namespace wb {

std::optional<BoxRefusal> check_box_limits(std::span<const std::string> texts, std::span<const BoxLimit> limits) {
  for (const BoxLimit& l : limits) {
    if (l.box < 0 || static_cast<std::size_t>(l.box) >= texts.size()) continue;
    const std::string text = trim_blanks(texts[static_cast<std::size_t>(l.box)]);
    if (text.empty()) continue;
    const std::string name = std::string("“") + l.name + "”";
    const std::string unit = *l.unit ? std::string(" ") + l.unit : std::string();
    const std::optional<double> v = num_parse(text);
    if (!v || !std::isfinite(*v)) return BoxRefusal{name + "中的“" + text + "”不是数字，请重新输入。", l.box};
    if (*v < l.lo || *v > l.hi) {
      const std::string range = std::isinf(l.lo) ? "不应大于 " + num_text(l.hi) + unit
                                                  : "超出 " + num_text(l.lo) + " 至 " + num_text(l.hi) + unit + " 的范围";
      return BoxRefusal{name + "为 " + num_text(*v) + unit + "，" + range + "，请重新输入。", l.box};
    }
  }
  return std::nullopt;
}

}  // namespace wb
