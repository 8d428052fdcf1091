// Browsing a keyed library record by record, as the counterbalance, efficiency and diagnosis
// windows do: the record a number box ("记录", Text7) names, ← and →, the record of a key chosen
// in the lists, the library box, and the deletion of the record shown after its question. Each
// window reads, shows and removes its records through its own store; the numbers, the key's
// record and the question are decided here, once.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "core/common/services.h"

namespace wb {

// The record number a number box's text names: its numeric value to the nearest whole
// number, halves to even (a word reads 0).
long long record_number_of(std::string_view text);

// Whether `number` names a record of a library of `count` records.
constexpr bool names_record(long long number, std::size_t count) {
  return number >= 1 && static_cast<unsigned long long>(number) <= count;
}

// The browsing buttons, by their index in the windows' Cmd_Review (0 ←, 1 →, 2 ×): caption and tool tip.
struct ReviewButton {
  const char* text;
  const char* tip;
};
inline constexpr std::array<ReviewButton, 3> kReviewButtons{{
    {"←", "到前一个记录"},
    {"→", "到后一个记录"},
    {"×", "删除当前记录"},
}};

// Which record a window takes when its library holds a key more than once: the first (the
// counterbalance and diagnosis windows) or the last (the efficiency window, whose newest
// record of a test is the one it shows).
enum class KeyOccurrence { First, Last };

// The number of the first or last of records 1 … count for which `is_key(r)` holds (records
// are looked at from that end); 0 when none does.
template <class IsKey>
constexpr std::size_t find_keyed_record(std::size_t count, KeyOccurrence which, IsKey&& is_key) {
  for (std::size_t k = 1; k <= count; ++k) {
    const std::size_t r = which == KeyOccurrence::First ? k : count + 1 - k;
    if (is_key(r)) return r;
  }
  return 0;
}

// What a library box (the "数据文件" box and its like) does with a text the user typed or chose.
enum class [[nodiscard]] LibraryBoxCheck {
  Ignored,   // empty text or no such file: nothing changes
  Accepted,  // the window takes the path
  Refused,   // not whole records ("非法的文件格式!"/"不能打开!" shown) or more records than the
             // limit (over_limit_text shown, naming the file): the box is emptied
};

// ← (step -1) and → (step +1): the number one before or after `current`, kept within
// 1 … count; 0 for an empty library.
std::size_t step_target(long long current, int step, std::size_t count);

// How a window deletes the record it shows.
struct DeleteRule {
  // The last record of a library is not deleted from this window (else the library goes
  // with it, its file removed as every emptied library's is).
  bool keeps_last_record = false;
  // The question comes before the record is looked at (else it is asked only about a record
  // that can be deleted).
  bool asks_first = true;
};
inline constexpr const char* kDeleteRecordQuestion = "你确实要删除此记录吗？";

// "×": asks kDeleteRecordQuestion (the application's title) and says which record may go: the
// one shown (`number`) of a library of `count`, when it names one and the rule allows it. The
// caller removes it and shows shown_after_delete(...); a window with more to check (that the
// record is still the one on screen) does so once the user said Yes.
struct [[nodiscard]] DeleteTarget {
  bool confirmed = false;   // the question was asked and answered Yes
  std::size_t record = 0;   // the record to delete; 0 when none may be
};
DeleteTarget delete_target(long long number, std::size_t count, const DeleteRule& rule, MessageService& msg);

// The record to show once record `deleted` of `count` is gone: the one that took its place,
// else the new last one (0 when none is left).
constexpr std::size_t shown_after_delete(std::size_t deleted, std::size_t count) {
  return deleted > count - 1 ? count - 1 : deleted;
}

}  // namespace wb
