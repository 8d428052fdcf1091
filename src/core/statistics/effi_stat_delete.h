// Deleting records from an efficiency file through the statistics table.
//
// The user selects grid rows and confirms; exactly the records those rows show are removed,
// each checked by its number and its key (trimmed well name and test date) against the file
// as it is now. When any of them no longer stands where the table saw it (the file was
// changed since it was tabulated), nothing is removed. The file is rewritten whole through
// a backup file in its own folder that is then renamed over it, so a failure leaves the
// original file untouched.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/common/messages.h"
#include "core/statistics/effi_stat_table.h"

namespace wb {

// The library's backup of a deletion, sys/gt_ym_bak.dat.
inline constexpr const char* kGtYmBackupName = "gt_ym_bak.dat";

// The question before a deletion: a = b names the current row r, otherwise the range.
// delete_records_question (messages.h): "确实要删除 4号记录吗?", "确实要删除 3至 5号记录吗?".
std::string stat_delete_question(int a, int b, int r);
inline constexpr const char* kStatDeleteTitle = kWarningTitle;

// The sources of the confirmed rows: row r alone when a = b, else rows a..b (in either
// order). Rows that show no record (headers, average, emptied rows, beyond the grid) give none.
std::vector<StatSource> stat_confirmed_sources(const StatGrid& g, int a, int b, int r);

enum class [[nodiscard]] StatDeleteStatus {
  Deleted,    // `removed` records gone, the file rewritten
  Nothing,    // no confirmed row shows a record: the file is not touched
  Changed,    // a record is no longer where the table showed it: nothing removed
  Damaged,    // the file is not whole records: nothing removed
  IoError,    // reading or rewriting failed: the file is as it was
};
// Message shown for Changed.
inline constexpr const char* kStatChangedText = "文件内容已改变,请重新统计后再删除!";
// IoError is shown as records_not_deleted_text (messages.h).

// Removes the records of `sources` from `file`. `backup` is the file the remaining records
// are written into before it replaces `file` (a leftover one is removed first); empty: a
// temporary file of the store's own choosing. A file emptied by the deletion stays, empty.
StatDeleteStatus delete_stat_records(const std::filesystem::path& file, const std::filesystem::path& backup,
                                     const std::vector<StatSource>& sources, int& removed);

}  // namespace wb
