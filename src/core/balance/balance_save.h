// The writes of the counterbalance window's "保存": the balance fields of the well base
// record, the balance record and the power/balance summary record of the test, all three or
// none (one SaveSet, record_store.h). The question and the checks of the fields come before.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "core/balance/phfx_record.h"
#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/efficiency/well_base_record.h"

namespace wb {

struct [[nodiscard]] BalanceSaveResult {
  std::size_t record = 0;  // the balance record's number; 0: nothing was written
  bool reported = false;   // nothing written and the well base library has said why
  std::string cause;       // otherwise, when nothing was written: why (for the caller's message)
};
// Writes `rec` as record `found` of `lib` (0 appends it), Save_WellBase of `wb_src` and the
// summary of boxes `t` with `advice`. A library the record limit refuses (a new key in a
// full library, a file beyond the limit: core/common/record_limit.h) is named in a message
// first and nothing is written (reported). Any failure other than a reported one is left to
// the caller's message, which names `cause`.
BalanceSaveResult save_balance_records(const ProgramFolder& prog, const std::filesystem::path& lib, std::size_t found,
                                       const PhfxRecord& rec, const BalanceWellBaseSource& wb_src,
                                       const ParameterBoxes& t, const std::string& advice, MessageService& msg);

}  // namespace wb
