#include "core/statistics/effi_stat_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <system_error>
#include <unordered_set>

#include "core/common/gbk.h"
#include "core/common/number_text.h"
#include "core/common/parallel.h"
#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/records/gt_ym_fields.h"

namespace wb {

namespace {
// The columns the field list filters on; their headers are the list's texts.
constexpr std::array<int, 3> kStatFilterColumns = {stat_col::kBlock, stat_col::kCyjModel, stat_col::kMotorModel};
}  // namespace

const std::array<const char*, 3> kStatFilterFields = {kStatColumns[kStatFilterColumns[0]].caption,
                                                      kStatColumns[kStatFilterColumns[1]].caption,
                                                      kStatColumns[kStatFilterColumns[2]].caption};

namespace {

// Every column but the row number shows a field (kStatColField, from the field table).
constexpr bool every_column_has_a_field() {
  for (int c = stat_col::kNumber + 1; c < kStatColCount; ++c)
    if (kStatColField[static_cast<std::size_t>(c)] == kNoField) return false;
  return true;
}
static_assert(every_column_has_a_field(), "each statistics column after the number shows one field");

using namespace stat_col;
// The average row's own rules name these columns.
static_assert(kStatColumns[kWaterCut].mean == StatMean::LiquidWeighted && stat_col_summed(kLiquidRate));
static_assert(kStatColumns[kSurfaceEffi].mean == StatMean::FromPowers &&
              kStatColumns[kDownholeEffi].mean == StatMean::FromPowers &&
              kStatColumns[kSystemEffi].mean == StatMean::FromPowers);
static_assert(stat_col_summed(kInputPower) && stat_col_summed(kRodPower) && stat_col_summed(kUsefulPower));

// A cell's number as the average row reads it: num_val in single precision. A cell of plain
// decimal digits (an optional minus, digits with at most one point) is the number
// from_chars reads from it, as num_val would find; any other text goes through num_val.
float cell_value(std::string_view text) {
  bool digits = false, point = false, plain = !text.empty() && text.size() <= 24;
  for (std::size_t i = 0; plain && i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else if (!(c == '-' && i == 0)) {
      plain = false;
    }
  }
  if (plain && digits) {
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec == std::errc() && end == text.data() + text.size()) return to_single(v);
  }
  return to_single(num_val(text));
}

}  // namespace

namespace {

// The sums of the averaged columns over the shown rows, each column's values added in row
// order in single precision, as the table's sums always were.
struct MeanSums {
  StatMeans sums{};
  float water = 0.0f;
  void add(const StatMeans& v) {
    for (std::size_t k = 0; k < kStatMeanCount; ++k) sums[k] += v[k];
    water += v[stat_mean_index(kLiquidRate)] * v[stat_mean_index(kWaterCut)] / 100.0f;
  }
};

StatMeans means_of(const auto& cells) {
  StatMeans v;
  for (std::size_t k = 0; k < kStatMeanCount; ++k) v[k] = cell_value(cells[kStatMeanColumns[k]]);
  return v;
}

StatRow average_of(const MeanSums& m, std::size_t n) {
  StatRow avg;
  avg[kNumber] = "平均";
  if (n == 0) return avg;
  const float count = static_cast<float>(n);
  for (std::size_t k = 0; k < kStatMeanCount; ++k) {
    const int c = kStatMeanColumns[k];
    const float mean = m.sums[k] / count;
    const bool whole = kStatColumns[static_cast<std::size_t>(c)].mean != StatMean::Decimals;
    // A cell beyond single precision (a damaged library's text) leaves the mean empty
    // rather than showing "inf".
    if (std::isfinite(mean))
      avg[c] = num_text(whole ? std::floor(static_cast<double>(mean) + 0.5) : round_dec(mean, 2));
  }
  // Water cut weighted by the liquid: the mean water volume over the mean liquid shown.
  const float w = m.water / count;
  const double q = num_val(avg[kLiquidRate]);
  if (q != 0.0 && std::isfinite(w)) avg[kWaterCut] = num_text(std::floor(w / q * 1000.0 + 0.5) / 10.0);
  // Efficiencies from the mean powers as shown (two decimals each), in percent.
  const double v = num_val(avg[kInputPower]);
  const double b = num_val(avg[kRodPower]);
  const double d = num_val(avg[kUsefulPower]);
  auto pct = [](double num, double den) {
    const double p = std::floor(num / den * 1000.0 + 0.5) / 10.0;
    return std::isfinite(p) ? num_text(p) : std::string();
  };
  if (v != 0.0) {
    avg[kSurfaceEffi] = pct(b, v);
    avg[kSystemEffi] = pct(d, v);
  }
  if (b != 0.0) avg[kDownholeEffi] = pct(d, b);
  return avg;
}

// The texts of one text column while a file is parsed: a field of ASCII bytes is its own
// text; any other is decoded, and the last texts decoded are kept by their bytes in a small
// table (a library repeats its wells, units and models, but a library of distinct names must
// not fill a map).
class ColumnTexts {
 public:
  std::string_view text(std::string_view raw, GbkDecoder& dec) {
    bool ascii = true;
    for (const char c : raw) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return raw;
    if (slots_.empty()) slots_.resize(kSlots);  // a column of ASCII texts never needs them
    Slot& s = slots_[std::hash<std::string_view>{}(raw) % kSlots];
    if (!s.used || s.bytes != raw) {
      s.bytes.assign(raw);
      s.text = trim_blanks(dec(raw));
      s.used = true;
    }
    return s.text;
  }

 private:
  struct Slot {
    bool used = false;
    std::string bytes, text;
  };
  static constexpr std::size_t kSlots = 256;
  std::vector<Slot> slots_;
};

// The columns' texts of one parse, and its decoder.
struct ParseTexts {
  GbkDecoder dec;
  std::array<ColumnTexts, kStatColCount + 1> columns;
};

// A field's bytes with the blanks at both ends removed. Blanks are trimmed on the GBK bytes:
// a blank is never part of a double-byte character.
std::string_view field_bytes(const std::uint8_t* rec, std::size_t off, std::size_t len) {
  std::string_view b(reinterpret_cast<const char*>(rec + off), len);
  while (!b.empty() && b.front() == ' ') b.remove_prefix(1);
  while (!b.empty() && b.back() == ' ') b.remove_suffix(1);
  return b;
}

// Parses record `rec` (kGtYmRecordSize bytes, number `number`) into `out`.
void parse_stat_record(const std::uint8_t* rec, std::size_t number, ParseTexts& texts, StatRecords& out,
                       std::size_t block, std::vector<GtYmFinding>* findings) {
  // Only the cells the table shows are checked, as the efficiency library's records are: the
  // record is not decoded whole (32 767 rows), so a damaged field the table does not show is
  // named by the efficiency window, not here. A refused record shows nothing.
  GtYmCheck check;
  if (std::optional<Refusal> refused = gt_ym_refusal(std::span<const std::uint8_t>(rec, kGtYmRecordSize)))
    check.refusal = std::move(refused->message);
  std::array<std::string_view, kStatColCount + 1> cells{};
  const bool usable = check.usable();
  if (usable) {
    for (int c = kWell; c < kStatColCount; ++c) {
      const GtYmField& f = kGtYmFields[kStatColField[static_cast<std::size_t>(c)]];
      cells[c] = texts.columns[c].text(field_bytes(rec, f.offset, f.width), texts.dec);
    }
    cells[kStatColCount] = texts.columns[kStatColCount].text(
        field_bytes(rec, kGtYmTestField.offset, kGtYmTestField.width), texts.dec);
    for (int c = kWell; c < kStatColCount; ++c) {
      const std::size_t field = kStatColField[static_cast<std::size_t>(c)];
      if (field < kGtYmFirstVal) continue;  // the texts hold any text
      if (gt_ym_val_sound(field - kGtYmFirstVal, cells[c])) continue;
      cells[c] = {};
      check.damaged.push_back(field - kGtYmFirstVal);
    }
  }
  out.put(number - 1, block, usable, cells);
  if (findings && !check.sound())
    findings->push_back({number, usable ? std::string(cells[kWell]) : std::string(), std::move(check)});
}

}  // namespace

void StatRecords::clear() {
  recs_.clear();
  blocks_.clear();
}

std::string_view StatRecords::cell(std::size_t i, int c) const {
  if (c <= 0 || c > kStatColCount) return {};
  const Entry& e = recs_[i];
  const std::size_t from = e.ends[static_cast<std::size_t>(c) - 1];
  return std::string_view(blocks_[e.block].data() + e.at + from, e.ends[static_cast<std::size_t>(c)] - from);
}

void StatRecords::prepare(std::size_t records, std::size_t blocks) {
  recs_.clear();
  recs_.resize(records);
  blocks_.clear();
  blocks_.resize(std::max<std::size_t>(blocks, 1));
}

void StatRecords::reserve_block(std::size_t block, std::size_t records) {
  // A record's shown texts take about 150 bytes, seldom more than half its 606 bytes; the
  // block is never filled further than the texts go, and more only grows it.
  blocks_[block].reserve(records * (kGtYmRecordSize / 2));
}

void StatRecords::put(std::size_t i, std::size_t block, bool usable,
                      const std::array<std::string_view, kStatColCount + 1>& cells) {
  std::vector<char>& texts = blocks_[block];
  Entry& e = recs_[i];
  e.at = texts.size();
  e.block = static_cast<std::uint8_t>(block);
  e.usable = usable;
  std::size_t total = 0;
  for (std::size_t c = 1; c < cells.size(); ++c) {
    total += cells[c].size();
    // A record's texts are at most its 606 bytes decoded: far below 65 536.
    e.ends[c] = static_cast<std::uint16_t>(total);
  }
  texts.resize(e.at + total);
  char* p = texts.data() + e.at;
  for (std::size_t c = 1; c < cells.size(); ++c) {
    if (cells[c].empty()) continue;
    std::memcpy(p, cells[c].data(), cells[c].size());
    p += cells[c].size();
  }
  if (usable) e.means = means_of(cells);
}

StatRows::StatRows(std::size_t n) {
  reserve(n, 0);
  for (std::size_t k = 0; k < n * kStatColCount; ++k) add_cell({});
}

StatRows::StatRows(std::span<const StatRow> rows) {
  std::size_t bytes = 0;
  for (const StatRow& row : rows)
    for (const std::string& t : row) bytes += t.size();
  reserve(rows.size(), bytes);
  for (const StatRow& row : rows) push_back(row);
}

StatRow StatRows::operator[](std::size_t r) const {
  StatRow row;
  for (std::size_t c = 0; c < kStatColCount; ++c) row[c].assign(cell(r, c));
  return row;
}

void StatRows::push_back(const StatRow& row) {
  push_row([&row](std::size_t c) { return std::string_view(row[c]); });
}

bool operator==(const StatRows& a, const StatRows& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t r = 0; r < a.size(); ++r)
    for (std::size_t c = 0; c < kStatColCount; ++c)
      if (a.cell(r, c) != b.cell(r, c)) return false;
  return true;
}

StatGrid::StatGrid() : rows(kStatInitialRows), source(kStatInitialRows) {}

StatFileStatus parse_stat_records(std::span<const std::uint8_t> content, StatRecords& out,
                                  std::vector<GtYmFinding>* findings) {
  out.clear();
  if (findings) findings->clear();
  if (content.size() % kGtYmRecordSize != 0) return StatFileStatus::Damaged;
  const std::size_t n = content.size() / kGtYmRecordSize;
  out.prepare(n, 1);
  out.reserve_block(0, n);
  auto texts = std::make_unique<ParseTexts>();
  for (std::size_t i = 0; i < n; ++i)
    parse_stat_record(content.data() + i * kGtYmRecordSize, i + 1, *texts, out, 0, findings);
  return StatFileStatus::Ok;
}

namespace {

// Records first .. first + count - 1 of `file`, read a block at a time through one buffer
// (the file is never held whole) and parsed into `out` and `findings`. False when they
// cannot be read.
bool read_part(const std::filesystem::path& file, std::size_t first, std::size_t count, StatRecords& out,
               std::size_t part, std::vector<GtYmFinding>* findings) {
  std::ifstream in(file, std::ios::binary);
  if (!in || !in.seekg(static_cast<std::streamoff>(first * kGtYmRecordSize))) return false;
  out.reserve_block(part, count);
  constexpr std::size_t kBlockRecords = 256;
  std::vector<std::uint8_t> block(std::min(count, kBlockRecords) * kGtYmRecordSize);
  auto texts = std::make_unique<ParseTexts>();
  for (std::size_t done = 0; done < count; done += kBlockRecords) {
    const std::size_t k = std::min(kBlockRecords, count - done);
    if (!in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(k * kGtYmRecordSize)))
      return false;
    for (std::size_t i = 0; i < k; ++i)
      parse_stat_record(block.data() + i * kGtYmRecordSize, first + done + i + 1, *texts, out, part, findings);
  }
  return true;
}

// From this many records on a file is parsed in parts on up to kParseThreads threads (the
// parse is most of what opening the statistics of a large library costs), the parts joined
// in file order.
constexpr std::size_t kThreadedParseFrom = 4096;
constexpr unsigned kParseThreads = 4;

}  // namespace

StatFileStatus read_stat_records(const std::filesystem::path& file, StatRecords& out,
                                 std::vector<GtYmFinding>* findings) {
  out.clear();
  if (findings) findings->clear();
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return ec ? StatFileStatus::IoError : StatFileStatus::Empty;
  // Records past the 16-bit numbers could be neither numbered nor deleted by number.
  if (file_records_over_limit(file, kGtYmRecordSize)) return StatFileStatus::OverLimit;
  if (!std::filesystem::is_regular_file(file, ec)) return StatFileStatus::IoError;
  const std::uintmax_t bytes = std::filesystem::file_size(file, ec);
  if (ec) return StatFileStatus::IoError;
  if (bytes % kGtYmRecordSize != 0) return StatFileStatus::Damaged;
  const auto n = static_cast<std::size_t>(bytes / kGtYmRecordSize);
  const WorkSplit split = split_work(n, kThreadedParseFrom, kParseThreads);
  out.prepare(n, split.parts);
  // Each part fills its own block of texts and its own records; the findings are joined in
  // file order.
  std::vector<std::vector<GtYmFinding>> found(split.parts);
  std::vector<char> ok(split.parts, 0);
  run_parts(split, [&](unsigned t, std::size_t first, std::size_t count) {
    ok[t] = read_part(file, first, count, out, t, findings ? &found[t] : nullptr);
  });
  bool read = true;
  for (unsigned t = 0; t < split.parts; ++t) {
    read = read && ok[t] != 0;
    if (findings) findings->insert(findings->end(), found[t].begin(), found[t].end());
  }
  if (!read) {
    out.clear();
    if (findings) findings->clear();
    return StatFileStatus::IoError;
  }
  return out.empty() ? StatFileStatus::Empty : StatFileStatus::Ok;
}

void fill_stat_grid(StatGrid& g, const StatRecords& recs, std::span<const std::size_t> shown) {
  // The table is written anew: the headers, then the records' rows and the average row, or
  // with no records as many empty rows as it had.
  const std::size_t had = std::max<std::size_t>(g.rows.size(), 1);
  const std::size_t n = shown.size();
  std::size_t bytes = 0;
  for (const std::size_t k : shown) bytes += recs.text_bytes(k) + 6;  // the row number
  g.rows.clear();
  g.rows.reserve(shown.empty() ? had : n + 2, bytes + 512);
  g.rows.push_row([](std::size_t c) { return std::string_view(kStatColumns[c].caption); });
  if (shown.empty()) {
    for (std::size_t r = 1; r < had; ++r) g.rows.push_row([](std::size_t) { return std::string_view(); });
    g.source.assign(had, StatSource{});
    return;
  }
  g.source.resize(n + 2);
  g.source[0] = StatSource{};
  MeanSums sums;
  std::string number;
  for (std::size_t i = 1; i <= n; ++i) {
    const std::size_t k = shown[i - 1];
    number = std::to_string(i);
    g.rows.push_row([&](std::size_t c) {
      return c == static_cast<std::size_t>(kNumber) ? std::string_view(number) : recs.cell(k, static_cast<int>(c));
    });
    StatSource& src = g.source[i];
    src.record = StatRecords::number(k);
    src.well.assign(recs.well(k));
    src.test.assign(recs.test(k));
    sums.add(recs.means(k));
  }
  g.rows.push_back(average_of(sums, n));
  g.source[n + 1] = StatSource{};
}

void fill_stat_grid(StatGrid& g, const StatRecords& all) {
  std::vector<std::size_t> shown;
  shown.reserve(all.size());
  for (std::size_t i = 0; i < all.size(); ++i)
    if (all.usable(i)) shown.push_back(i);
  fill_stat_grid(g, all, shown);
}

StatRow stat_average_row(const StatRows& rows, std::size_t first, std::size_t n) {
  MeanSums sums;
  for (std::size_t i = first; i < first + n; ++i) sums.add(means_of(rows[i]));
  return average_of(sums, n);
}

int stat_filter_column(std::string_view field) {
  for (std::size_t k = 0; k < kStatFilterFields.size(); ++k)
    if (field == kStatFilterFields[k]) return kStatFilterColumns[k];
  return 0;
}

std::vector<std::string> stat_field_values(const StatRecords& recs, std::string_view field) {
  std::vector<std::string> values;
  const int col = stat_filter_column(field);
  if (col == 0) return values;
  // A set of the values met so far: a library may hold thousands of distinct unit numbers.
  std::unordered_set<std::string_view> seen;
  for (std::size_t i = 0; i < recs.size(); ++i) {
    const std::string_view v = recs.cell(i, col);
    if (v.empty() || !recs.usable(i)) continue;
    if (seen.insert(v).second) values.emplace_back(v);
  }
  return values;
}

std::vector<int> stat_matches(const StatRecords& recs, std::string_view field, std::string_view value) {
  std::vector<int> hits;
  const int col = stat_filter_column(field);
  if (col == 0) return hits;
  const std::string want = trim_blanks(value);
  for (std::size_t i = 0; i < recs.size(); ++i)
    if (recs.usable(i) && recs.cell(i, col) == want) hits.push_back(StatRecords::number(i));
  return hits;
}

}  // namespace wb
