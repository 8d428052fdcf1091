#include "core/statistics/effi_stat_delete.h"

#include <algorithm>
#include <set>

#include "core/common/record_store.h"
#include "core/records/gt_ym_record.h"
#include "core/common/messages.h"

namespace wb {

std::string stat_delete_question(int a, int b, int r) {
  return a == b ? delete_records_question(r, r) : delete_records_question(a, b);
}

std::vector<StatSource> stat_confirmed_sources(const StatGrid& g, int a, int b, int r) {
  int lo = a == b ? r : std::min(a, b);
  int hi = a == b ? r : std::max(a, b);
  lo = std::max(lo, 1);
  hi = std::min(hi, g.row_count() - 1);
  std::vector<StatSource> out;
  for (int row = lo; row <= hi; ++row)
    if (g.source[static_cast<std::size_t>(row)].record > 0) out.push_back(g.source[static_cast<std::size_t>(row)]);
  return out;
}

StatDeleteStatus delete_stat_records(const std::filesystem::path& file, const std::filesystem::path& backup,
                                     const std::vector<StatSource>& sources, int& removed) {
  removed = 0;
  if (sources.empty()) return StatDeleteStatus::Nothing;
  std::vector<std::uint8_t> content;
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return ec ? StatDeleteStatus::IoError : StatDeleteStatus::Changed;
  if (!read_file(file, content)) return StatDeleteStatus::IoError;
  std::vector<StatRecord> recs;
  if (parse_stat_records(content, recs) != StatFileStatus::Ok) return StatDeleteStatus::Damaged;

  std::set<int> gone;
  for (const StatSource& s : sources) {
    if (s.record < 1 || s.record > static_cast<int>(recs.size())) return StatDeleteStatus::Changed;
    const StatRecord& rec = recs[static_cast<std::size_t>(s.record - 1)];
    if (rec.well() != s.well || rec.test != s.test) return StatDeleteStatus::Changed;
    gone.insert(s.record);
  }

  std::vector<std::uint8_t> kept;
  kept.reserve(content.size());
  for (std::size_t i = 0; i < recs.size(); ++i) {
    if (gone.count(static_cast<int>(i + 1))) continue;
    const auto from = content.begin() + static_cast<std::ptrdiff_t>(i * kGtYmRecordSize);
    kept.insert(kept.end(), from, from + static_cast<std::ptrdiff_t>(kGtYmRecordSize));
  }
  bool ok;
  if (backup.empty()) {
    ok = write_file_atomic(file, kept);
  } else {
    std::filesystem::remove(backup, ec);  // a leftover of an interrupted deletion
    ok = !ec && write_file_via(file, backup, kept);
  }
  if (!ok) return StatDeleteStatus::IoError;
  removed = static_cast<int>(gone.size());
  return StatDeleteStatus::Deleted;
}

}  // namespace wb
