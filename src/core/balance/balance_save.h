// The counterbalance window's "保存": the balance fields of the well base record, the balance
// record and the power/balance summary record of the test, all three or none (one SaveSet,
// record_store.h). Everything from the look-up of the stored record to the commit happens
// inside the set, under the program folder's writer lock, so the record asked about is the
// one overwritten.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "core/balance/balance_analysis.h"
#include "core/balance/phfx_record.h"
#include "core/common/paths.h"
#include "core/common/services.h"

namespace wb {

// The message of every save that wrote nothing for a cause the user cannot answer.
inline constexpr const char* kBalanceSaveFailedText = "平衡分析记录保存失败！";

// What the window stores: the held stroke, its parameter boxes, the chosen mode, the model
// text and the advice shown.
struct BalanceSaveInput {
  const HeldStroke& held;
  const ParameterBoxes& boxes;
  BalanceMode mode = BalanceMode::None;
  std::string cyj_model;
  std::string advice;
};

struct [[nodiscard]] BalanceSaveResult {
  std::size_t record = 0;  // the balance record's number; 0: nothing was written
  PhfxRecord stored;       // the record written (meaningful when record > 0)
};

// In this order, inside one save set on the program's journal: a library of the three that
// the record limit refuses is named (nothing asked); the library `lib` is searched for the
// first record of the test (a damaged one: kBadFormatText; one that cannot be read: named);
// a record found is overwritten only after the question "<井>井本次测试的平衡分析已有记录，
// 要覆盖吗？" (title kWarningTitle) is answered Yes, and keeps its reserved bytes; a box
// whose value does not fit its field is named; then the three records are written and
// committed. Every refusal or failure has been shown in `msg` when record is 0 (a No writes
// nothing and shows nothing more).
BalanceSaveResult save_balance_test(const ProgramFolder& prog, const std::filesystem::path& lib,
                                    const BalanceSaveInput& in, MessageService& msg);

}  // namespace wb
