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
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/listing_texts.h"
#include "core/records/gt_ym_checks.h"
#include "core/records/stat_columns.h"

namespace wb {

using StatRow = std::array<std::string, kStatColCount>;

// The table's rows, kStatColCount texts each, packed: every text back to back in one block
// and where each ends. A library at its limit makes 32 769 rows, which as strings took 24 MB
// of the statistics window's memory; packed they take the texts' length and 92 bytes a row.
// A row reads as a StatRow copy; a cell as a view, valid until the rows next change.
class StatRows {
 public:
  StatRows() = default;
  explicit StatRows(std::size_t n);  // n empty rows
  // A table given row by row (the average row's arithmetic, a table built by hand).
  StatRows(std::span<const StatRow> rows);  // NOLINT: converts on purpose
  StatRows(const std::vector<StatRow>& rows) : StatRows(std::span<const StatRow>(rows)) {}  // NOLINT

  std::size_t size() const { return texts_.rows(); }
  bool empty() const { return size() == 0; }
  std::string_view cell(std::size_t r, std::size_t c) const { return texts_.cell(r, c); }
  StatRow operator[](std::size_t r) const;
  StatRow back() const { return (*this)[size() - 1]; }

  void clear() { texts_.clear(); }
  // Room for `rows` rows of `text_bytes` bytes of text in all (growing copies the block).
  void reserve(std::size_t rows, std::size_t text_bytes) { texts_.reserve(rows, text_bytes); }
  void push_back(const StatRow& row);
  // Appends a row whose cell c is cell(c), a string_view.
  template <class Cell>
  void push_row(const Cell& cell) {
    for (std::size_t c = 0; c < kStatColCount; ++c) add_cell(cell(c));
  }

  class const_iterator {
   public:
    using value_type = StatRow;
    using difference_type = std::ptrdiff_t;
    const_iterator() = default;
    const_iterator(const StatRows* rows, std::size_t r) : rows_(rows), r_(r) {}
    StatRow operator*() const { return (*rows_)[r_]; }
    const_iterator& operator++() {
      ++r_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator was = *this;
      ++r_;
      return was;
    }
    bool operator==(const const_iterator& o) const { return r_ == o.r_; }

   private:
    const StatRows* rows_ = nullptr;
    std::size_t r_ = 0;
  };
  using iterator = const_iterator;
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

  friend bool operator==(const StatRows& a, const StatRows& b);

 private:
  void add_cell(std::string_view t) { texts_.add(t); }
  ListingTexts texts_{kStatColCount};
};

// The columns' headers, widths and averages are kStatColumns (core/records/stat_columns.h).
// The grid's size before the first load.
inline constexpr int kStatInitialRows = 5;

// A record's values of the summed columns (kStatMeanColumns), in their order.
using StatMeans = std::array<float, kStatMeanCount>;

// The efficiency records of a file as the table shows them, numbered from 1 in file order.
// They are kept compact, as the statistics window keeps a library of up to 32 767 of them
// for its filters and reloads: the texts of all records back to back in one block, and per
// record where its cells end and the values the average row reads.
class StatRecords {
 public:
  std::size_t size() const { return recs_.size(); }
  bool empty() const { return recs_.empty(); }
  void clear();
  // Record i (0-based) is number i + 1. A record refused by the library check
  // (gt_ym_checks.h) is not usable: it keeps its number but is left out of every table, list
  // and match, and its cells are empty.
  static int number(std::size_t i) { return static_cast<int>(i + 1); }
  bool usable(std::size_t i) const { return recs_[i].usable; }
  // Column c (stat_col::kWell ..) of record i: the trimmed field text, empty for a damaged
  // cell; column 0 (the row number) is always empty.
  std::string_view cell(std::size_t i, int c) const;
  std::string_view well(std::size_t i) const { return cell(i, stat_col::kWell); }
  // The trimmed test date, the second part of the record's key.
  std::string_view test(std::size_t i) const { return cell(i, kStatColCount); }
  // The summed columns (kStatMeanColumns) as the average row reads them: each cell's number
  // in single precision.
  const StatMeans& means(std::size_t i) const { return recs_[i].means; }
  // Bytes of record i's texts, all cells and the test date.
  std::size_t text_bytes(std::size_t i) const { return recs_[i].ends[kStatColCount]; }

  // Filling: room for `records` records whose texts go into `blocks` blocks (a file parsed in
  // parts fills a block each, on threads of their own), then put() for every record; each
  // block's records are put in their order. `cells` holds columns 1 .. 22 and the test date
  // (index kStatColCount).
  void prepare(std::size_t records, std::size_t blocks);
  void reserve_block(std::size_t block, std::size_t records);
  void put(std::size_t i, std::size_t block, bool usable, const std::array<std::string_view, kStatColCount + 1>& cells);

 private:
  struct Entry {
    std::size_t at = 0;  // first byte of the record's texts in its block
    std::array<std::uint16_t, kStatColCount + 1> ends{};  // end of cell c (and of the test date), from `at`
    std::uint8_t block = 0;
    bool usable = true;
    StatMeans means{};
  };
  std::vector<Entry> recs_;
  std::vector<std::vector<char>> blocks_;
};

// Where a grid row comes from: record 0 for rows that show no record (headers, average
// row, emptied rows).
struct StatSource {
  int record = 0;
  std::string well, test;  // trimmed key of that record
};

struct StatGrid {
  StatRows rows;
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
StatFileStatus parse_stat_records(std::span<const std::uint8_t> content, StatRecords& out,
                                  std::vector<GtYmFinding>* findings = nullptr);

// Reads and parses a file, a block of records at a time (the file is never held whole; a
// large one in parts on several threads); a missing file is Empty, one beyond the record
// limit OverLimit (nothing read).
StatFileStatus read_stat_records(const std::filesystem::path& file, StatRecords& out,
                                 std::vector<GtYmFinding>* findings = nullptr);

// Rebuilds the table for the shown records (indices into `recs`, in the given order):
// headers, every old row emptied; with no records the grid keeps its row count and shows no
// data; otherwise n + 2 rows, row i numbered i, and the average row. The overload over a
// whole file shows its usable records.
void fill_stat_grid(StatGrid& g, const StatRecords& recs, std::span<const std::size_t> shown);
void fill_stat_grid(StatGrid& g, const StatRecords& all);

// The average row over data rows first .. first + n - 1: means of the summed columns in single
// precision (the rows' values added in row order), the liquid-weighted water cut, the
// efficiencies from the mean powers.
StatRow stat_average_row(const StatRows& rows, std::size_t first, std::size_t n);

// The filter fields of the field list, in its order.
extern const std::array<const char*, 3> kStatFilterFields;  // 单元号, 抽油机型号, 电动机型号
// The table column of a filter field's text; 0 for any other text.
int stat_filter_column(std::string_view field);
// The distinct non-empty values of a field among the usable records, in the order of first
// appearance.
std::vector<std::string> stat_field_values(const StatRecords& recs, std::string_view field);
// Numbers of the usable records whose field equals `value` (both trimmed of blanks, exact).
std::vector<int> stat_matches(const StatRecords& recs, std::string_view field, std::string_view value);

}  // namespace wb
