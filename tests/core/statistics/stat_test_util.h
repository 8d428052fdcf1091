// Efficiency records and libraries for the statistics tests, built field by field.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/records/gt_ym_record.h"

namespace wb::test {

// A record of `well` tested at `date` with the given vals[] texts.
inline GtYmRecord stat_rec(const std::string& well, const std::string& date, const std::string& block,
                           std::initializer_list<std::pair<std::size_t, std::string>> vals = {}) {
  GtYmRecord r;
  r.well_name = well;
  r.block_unit = block;
  r.cyj_model = "CYJ10-3-37HB";
  r.motor_model = "Y280S-8";
  r.vals[kValTestDate] = date;
  for (const auto& [k, v] : vals) r.vals[k] = v;
  return r;
}

inline std::vector<std::uint8_t> library_bytes(const std::vector<GtYmRecord>& recs) {
  std::vector<std::uint8_t> out;
  for (const GtYmRecord& r : recs) {
    const auto b = r.encode();
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

}  // namespace wb::test
