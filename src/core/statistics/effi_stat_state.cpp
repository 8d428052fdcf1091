#include "core/statistics/effi_stat_state.h"

#include <tuple>

#include "core/common/record_store.h"

namespace wb {

namespace {

bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  return a.lexically_normal() == b.lexically_normal();
}

}  // namespace

EffiStatState::EffiStatState(std::filesystem::path library) : cur_file(library), library_(std::move(library)) {}

bool EffiStatState::shows_library() const { return same_file(cur_file, library_); }

const EffiStatState::Parsed& EffiStatState::parsed(const std::filesystem::path& file) {
  // The identity is taken before the read: a change while reading makes the next look differ.
  const std::optional<FileIdentity> id = file_identity(file);
  const bool known = id.has_value();
  if (known && parsed_.valid && parsed_.file == file && parsed_.identity == *id) return parsed_;
  parsed_.status = read_stat_records(file, parsed_.records, &parsed_.findings);
  parsed_.file = file;
  parsed_.identity = id.value_or(FileIdentity{});
  // A missing or unreadable file is looked at again every time.
  parsed_.valid = known && parsed_.status != StatFileStatus::IoError;
  return parsed_;
}

StatFileStatus EffiStatState::tabulate(const std::filesystem::path& file, const std::string& today,
                                       bool refuse_damaged) {
  const Parsed& p = parsed(file);
  const StatFileStatus st = p.status;
  if ((st == StatFileStatus::Damaged || st == StatFileStatus::OverLimit) && refuse_damaged) return st;
  findings = p.findings;
  Text2 = today;
  cur_file = file;
  tj_jlh.clear();
  fill_stat_grid(grid, p.records);
  return st;
}

StatFileStatus EffiStatState::load_library(const std::string& today) {
  Combo1_items.assign(kStatFilterFields.begin(), kStatFilterFields.end());
  Combo1_text = kPickText;
  const StatFileStatus st = tabulate(library_, today, false);
  if (st == StatFileStatus::Empty) {
    // An empty library is removed, as every library found empty is; a missing one stays missing.
    std::error_code ec;
    if (std::filesystem::is_regular_file(library_, ec) && std::filesystem::file_size(library_, ec) == 0 && !ec)
      std::filesystem::remove(library_, ec);
  }
  return st;
}

StatFileStatus EffiStatState::open_file(const std::filesystem::path& file, const std::string& today) {
  return tabulate(file, today, true);
}

StatFileStatus EffiStatState::reload(const std::string& today) {
  return shows_library() ? load_library(today) : open_file(cur_file, today);
}

void EffiStatState::choose_field(const std::string& field) {
  Combo1_text = field;
  tj_jlh.clear();
  const Parsed& p = parsed(cur_file);
  if (p.status != StatFileStatus::Ok) return;  // the value list stays
  Combo2_items = stat_field_values(p.records, field);
}

void EffiStatState::choose_value(const std::string& value) {
  tj_jlh.clear();
  const Parsed& p = parsed(cur_file);
  if (p.status != StatFileStatus::Ok) return;
  tj_jlh = stat_matches(p.records, Combo1_text, value);
}

EffiStatState::Filter EffiStatState::run_filter(const std::string& today) {
  if (tj_jlh.empty()) return Filter::NoCondition;
  const Parsed& p = parsed(cur_file);
  const StatRecords& recs = p.records;
  switch (p.status) {
    case StatFileStatus::Ok:
    case StatFileStatus::Empty:  // emptied since the matches were taken: none of them is left
      break;
    case StatFileStatus::Damaged:
      return Filter::Damaged;
    case StatFileStatus::IoError:
      return Filter::IoError;
    case StatFileStatus::OverLimit:
      return Filter::OverLimit;
  }
  Text2 = today;
  std::vector<std::size_t> shown;
  shown.reserve(tj_jlh.size());
  for (int number : tj_jlh)
    if (number >= 1 && number <= static_cast<int>(recs.size()) && recs.usable(static_cast<std::size_t>(number - 1)))
      shown.push_back(static_cast<std::size_t>(number - 1));
  fill_stat_grid(grid, recs, shown);
  return Filter::Shown;
}

StatDeleteStatus EffiStatState::delete_confirmed(int a, int b, int r, int& removed) {
  const std::vector<StatSource> sources = stat_confirmed_sources(grid, a, b, r);
  const std::filesystem::path backup = shows_library() ? library_.parent_path() / kGtYmBackupName : std::filesystem::path{};
  parsed_.valid = false;  // the file is rewritten: never taken for the kept parse
  // A library of a program folder is rewritten as every deletion of a library is: under
  // the folder's writer lock, after a save left unfinished has been completed (whose records
  // would otherwise come back over the deletion, or be deleted unseen).
  removed = 0;
  StatDeleteStatus out = StatDeleteStatus::IoError;
  std::ignore = under_library_set(cur_file, [&] {
    out = delete_stat_records(cur_file, backup, sources, removed);
    return StoreStatus::Ok;  // nothing gathered: the file is replaced through its backup
  });
  return out;
}

}  // namespace wb
