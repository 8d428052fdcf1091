// The main window's part of the power/balance summary sys/DlPh.dat: Save_DlPh_Pow stores
// the energy indicators of the shown joint test in the summary record of its key (well
// name, test date), updating only those indicators when the record exists, so that the
// models, efficiencies, counterweights and advice written by the efficiency and
// counterbalance windows stay.
#pragma once

#include <cstddef>

#include "core/common/dlph_record.h"
#include "core/common/paths.h"
#include "core/common/record_store.h"
#include "core/workbench/test_state.h"

namespace wb {

struct [[nodiscard]] SummaryResult {
  StoreStatus status = StoreStatus::Ok;
  std::size_t record = 0;  // the record written (1-based)
  bool appended = false;
  bool full = false;  // a new key in a library at the record limit: refused (status IoError), nothing written
  bool over_limit = false;  // a library of more records than the limit: refused (status IoError), nothing written
};

// Computes the energy values of the shown test alone into st.DnCs first (the last energy
// panel drawn may have been another test's; what this test lacks is 0), then updates or
// appends the summary record through DlPh_Rec. A damaged summary library is refused and
// not rewritten.
SummaryResult Save_DlPh_Pow(const ProgramFolder& prog, TestState& st, DlPhRecord& DlPh_Rec);

}  // namespace wb
