#include "core/common/record_browser.h"

#include <string>

#include "core/common/number_text.h"

namespace wb {

long long record_number_of(std::string_view text) { return round_even(num_val(std::string(text))); }

std::size_t step_target(long long current, int step, std::size_t count) {
  long long r = current + step;
  if (r < 1) r = 1;
  if (r > static_cast<long long>(count)) r = static_cast<long long>(count);
  return static_cast<std::size_t>(r);
}

DeleteTarget delete_target(long long number, std::size_t count, const DeleteRule& rule, MessageService& msg) {
  const bool deletable = names_record(number, count) && (!rule.keeps_last_record || count >= 2);
  DeleteTarget t;
  if (!rule.asks_first && !deletable) return t;
  t.confirmed = msg.ask_yes_no(kDeleteRecordQuestion, "");
  if (t.confirmed && deletable) t.record = static_cast<std::size_t>(number);
  return t;
}

}  // namespace wb
