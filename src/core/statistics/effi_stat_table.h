// The efficiency statistics table: one row per efficiency record (GtYmRecord) of a file,
// 23 columns of trimmed field texts, and an average row below the records.
//
// The table is kept as the grid shows it (`StatGrid`): row 0 the headers, rows 1..n the
// records, row n + 1 the average row. Each row also carries where it came from (record
// number and key in the file), so that a deletion removes exactly the records the user saw.
//
// Loading refuses a file whose length is not whole 606-byte records (it is not an
// efficiency file) and changes nothing then. Row counts and record numbers are plain ints,
// so a library of any size loads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/records/gt_ym_checks.h"
#include "core/records/stat_col.h"

namespace wb {

using StatRow = std::array<std::string, kStatColCount>;

// Column headers of row 0 and column widths in twips (0: the grid's own width).
extern const std::array<const char*, kStatColCount> kStatHeaders;
extern const std::array<int, kStatColCount> kStatColTwips;
// The grid's size before the first load.
inline constexpr int kStatInitialRows = 5;

// One efficiency record as the table shows it.
struct StatRecord {
  int number = 0;      // 1-based position in the file
  StatRow cells;       // columns 1..22: the trimmed field texts; column 0 empty
  std::string test;    // trimmed test date, the second part of the record's key
  // False for a record refused by the library check (gt_ym_checks.h): it keeps its number
  // but is left out of every table, list and match; its cells are empty.
  bool usable = true;
  const std::string& well() const { return cells[stat_col::kWell]; }
};

// Where a grid row comes from: record 0 for rows that show no record (headers, average
// row, emptied rows).
struct StatSource {
  int record = 0;
  std::string well, test;  // trimmed key of that record
};

struct StatGrid {
  std::vector<StatRow> rows;
  std::vector<StatSource> source;  // one per row

  StatGrid();  // kStatInitialRows empty rows
  int row_count() const { return static_cast<int>(rows.size()); }
  // Data rows between the headers and the last (average) row.
  int data_rows() const { return row_count() > 2 ? row_count() - 2 : 0; }
};

// OverLimit: a file of more records than the record limit (core/common/record_limit.h),
// refused whole and named (over_limit_text) rather than tabulated.
enum class [[nodiscard]] StatFileStatus { Ok, Empty, Damaged, IoError, OverLimit };
// The library's rows: parses every record of an efficiency file's bytes. Ok for a whole
// number of records (none included); Damaged (nothing parsed) for any other length. Each record is checked as the
// efficiency library's records are (gt_ym_checks.h): a refused one is marked not usable, a
// cell the table shows that is damaged is left empty; `findings` (when given) names both.
StatFileStatus parse_stat_records(const std::vector<std::uint8_t>& content, std::vector<StatRecord>& out,
                        std::vector<GtYmFinding>* findings = nullptr);

// Reads and parses a file; a missing file is Empty, one beyond the record limit OverLimit
// (nothing read).
StatFileStatus read_stat_records(const std::filesystem::path& file, std::vector<StatRecord>& out,
                                 std::vector<GtYmFinding>* findings = nullptr);

// Rebuilds the table for the shown records (in the given order): headers, every old row
// emptied; with no records the grid keeps its row count and shows no data; otherwise n + 2
// rows, row i numbered i, and the average row. The overload over a whole file shows its
// usable records.
void fill_stat_grid(StatGrid& g, const std::vector<const StatRecord*>& shown);
void fill_stat_grid(StatGrid& g, const std::vector<StatRecord>& all);

// The average row over data rows 1..n: means of columns 5 to 19 in single precision,
// the liquid-weighted water cut, the efficiencies from the mean powers.
StatRow stat_average_row(const std::vector<StatRow>& rows, std::size_t first, std::size_t n);

// The filter fields of the field list, in its order.
extern const std::array<const char*, 3> kStatFilterFields;  // 单元号, 抽油机型号, 电动机型号
// The table column of a filter field's text; 0 for any other text.
int stat_filter_column(std::string_view field);
// The distinct non-empty values of a field among the usable records, in the order of first
// appearance.
std::vector<std::string> stat_field_values(const std::vector<StatRecord>& recs, std::string_view field);
// Numbers of the usable records whose field equals `value` (both trimmed of blanks, exact).
std::vector<int> stat_matches(const std::vector<StatRecord>& recs, std::string_view field, std::string_view value);

}  // namespace wb
