// The record browser the three keyed libraries' windows share: the number a box names, ← and
// →, and which record the delete question lets go.
#include "core/common/record_browser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../efficiency/effi_test_util.h"

namespace wb {
namespace {

TEST(RecordBrowser, StepsStayWithinTheLibrary) {
  struct Case {
    long long current;
    int step;
    std::size_t count;
    std::size_t want;
  } cases[] = {
      {3, -1, 5, 2},  {3, +1, 5, 4},  {1, -1, 5, 1},   // no record before the first
      {5, +1, 5, 5},                                   // nor after the last
      {0, +1, 5, 1},  {-7, -1, 5, 1},                  // a number before the library
      {40, -1, 5, 5}, {40, +1, 5, 5},                  // and one past it
      {1, +1, 0, 0},  {1, -1, 0, 0},                   // an empty library has no record to show
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.current) + (c.step < 0 ? " back" : " on") + " of " + std::to_string(c.count));
    EXPECT_EQ(step_target(c.current, c.step, c.count), c.want);
  }
}

TEST(RecordBrowser, RecordNumberIsTheNearestWholeNumber) {
  EXPECT_EQ(record_number_of("3"), 3);
  EXPECT_EQ(record_number_of(" 2.5"), 2);  // halves to even
  EXPECT_EQ(record_number_of("3.5"), 4);
  EXPECT_EQ(record_number_of("abc"), 0);
  EXPECT_TRUE(names_record(1, 1));
  EXPECT_FALSE(names_record(0, 3));
  EXPECT_FALSE(names_record(4, 3));
}

TEST(RecordBrowser, DeleteAsksAndNamesOnlyARecordTheRuleLetsGo) {
  struct Case {
    const char* what;
    long long number;
    std::size_t count;
    DeleteRule rule;
    MsgAnswer answer;
    bool asked;
    std::size_t record;
  } cases[] = {
      {"shown record, Yes", 2, 3, {}, MsgAnswer::Yes, true, 2},
      {"shown record, No", 2, 3, {}, MsgAnswer::No, true, 0},
      {"the only record may go", 1, 1, {}, MsgAnswer::Yes, true, 1},
      {"the only record is kept", 1, 1, {.keeps_last_record = true}, MsgAnswer::Yes, true, 0},
      {"no record shown, asked first", 4, 3, {}, MsgAnswer::Yes, true, 0},
      {"no record shown, not asked", 4, 3, {.asks_first = false}, MsgAnswer::Yes, false, 0},
      {"the last kept, not asked", 1, 1, {.keeps_last_record = true, .asks_first = false}, MsgAnswer::Yes, false, 0},
      {"asked only when it may go", 3, 3, {.keeps_last_record = true, .asks_first = false}, MsgAnswer::Yes, true, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::ScriptedMessages msg;
    msg.answers.push_back(c.answer);
    const DeleteTarget t = delete_target(c.number, c.count, c.rule, msg);
    ASSERT_EQ(msg.shown.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(msg.shown[0].text, kDeleteRecordQuestion);
    }
    EXPECT_EQ(t.confirmed, c.asked && c.answer == MsgAnswer::Yes);
    EXPECT_EQ(t.record, c.record);
  }
}

// A library that holds a key more than once: the counterbalance and diagnosis windows take
// its first record, the efficiency window its last.
TEST(RecordBrowser, FindTakesTheFirstOrLastRecordOfAKey) {
  const std::vector<std::string> keys{"A", "B", "A", "C", "A"};
  const auto is = [&](const std::string& k) { return [&keys, k](std::size_t r) { return keys[r - 1] == k; }; };
  struct Case {
    const char* key;
    KeyOccurrence which;
    std::size_t want;
  } cases[] = {
      {"A", KeyOccurrence::First, 1}, {"A", KeyOccurrence::Last, 5},  // three records of the key
      {"B", KeyOccurrence::First, 2}, {"B", KeyOccurrence::Last, 2},  // one record: either end finds it
      {"X", KeyOccurrence::First, 0}, {"X", KeyOccurrence::Last, 0},  // none
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + (c.which == KeyOccurrence::First ? " first" : " last"));
    EXPECT_EQ(find_keyed_record(keys.size(), c.which, is(c.key)), c.want);
  }
  // From the end it starts at: the last record of a key is found without looking at the others.
  std::size_t looked = 0;
  EXPECT_EQ(find_keyed_record(keys.size(), KeyOccurrence::Last, [&](std::size_t r) { return ++looked, keys[r - 1] == "A"; }), 5u);
  EXPECT_EQ(looked, 1u);
  EXPECT_EQ(find_keyed_record(0, KeyOccurrence::Last, is("A")), 0u);  // an empty library
}

TEST(RecordBrowser, AfterADeleteTheNextRecordTakesItsPlace) {
  EXPECT_EQ(shown_after_delete(2, 5), 2u);  // the third record is now the second
  EXPECT_EQ(shown_after_delete(5, 5), 4u);  // the last went: the new last
  EXPECT_EQ(shown_after_delete(1, 1), 0u);  // none left
}

}  // namespace
}  // namespace wb
