#include "core/statistics/effi_stat_state.h"

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

StatFileStatus EffiStatState::tabulate(const std::filesystem::path& file, const std::string& today,
                                       bool refuse_damaged) {
  std::vector<StatRecord> recs;
  std::vector<GtYmFinding> found;
  const StatFileStatus st = read_stat_records(file, recs, &found);
  if (st == StatFileStatus::Damaged && refuse_damaged) return st;
  findings = std::move(found);
  Text2 = today;
  cur_file = file;
  tj_jlh.clear();
  fill_stat_grid(grid, recs);
  return st;
}

StatFileStatus EffiStatState::load_library(const std::string& today) {
  Combo1_items.assign(kStatFilterFields.begin(), kStatFilterFields.end());
  Combo1_text = "请选择";
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
  std::vector<StatRecord> recs;
  if (read_stat_records(cur_file, recs) != StatFileStatus::Ok) return;  // the value list stays
  Combo2_items = stat_field_values(recs, field);
}

void EffiStatState::choose_value(const std::string& value) {
  tj_jlh.clear();
  std::vector<StatRecord> recs;
  if (read_stat_records(cur_file, recs) != StatFileStatus::Ok) return;
  tj_jlh = stat_matches(recs, Combo1_text, value);
}

EffiStatState::Filter EffiStatState::run_filter(const std::string& today) {
  if (tj_jlh.empty()) return Filter::NoCondition;
  std::vector<StatRecord> recs;
  switch (read_stat_records(cur_file, recs)) {
    case StatFileStatus::Ok:
    case StatFileStatus::Empty:  // emptied since the matches were taken: none of them is left
      break;
    case StatFileStatus::Damaged:
      return Filter::Damaged;
    case StatFileStatus::IoError:
      return Filter::IoError;
  }
  Text2 = today;
  std::vector<const StatRecord*> shown;
  for (int number : tj_jlh)
    if (number >= 1 && number <= static_cast<int>(recs.size()) && recs[static_cast<std::size_t>(number - 1)].usable)
      shown.push_back(&recs[static_cast<std::size_t>(number - 1)]);
  fill_stat_grid(grid, shown);
  return Filter::Shown;
}

StatDeleteStatus EffiStatState::delete_confirmed(int a, int b, int r, int& removed) {
  const std::vector<StatSource> sources = stat_confirmed_sources(grid, a, b, r);
  const std::filesystem::path backup = shows_library() ? library_.parent_path() / kGtYmBackupName : std::filesystem::path{};
  return delete_stat_records(cur_file, backup, sources, removed);
}

}  // namespace wb
