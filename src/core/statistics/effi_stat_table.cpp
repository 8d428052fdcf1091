#include "core/statistics/effi_stat_table.h"

#include <cmath>

#include "core/common/gbk.h"
#include "core/common/number_text.h"
#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/records/gt_ym_fields.h"

namespace wb {

const std::array<const char*, kStatColCount> kStatHeaders = {
    "序号",       "井号",       "单元号",     "抽油机型号",   "电动机型号",   "冲程(m)",
    "冲次",       "油压(MPa)",  "套压(MPa)",  "产液(m^3)",    "含水(%)",      "泵径(mm)",
    "泵挂(m)",    "液面(m)",    "沉没度(m)",  "泵效(%)",      "电流(A)",      "输入功率(kW)",
    "光杆功率(kW)", "有效功率(kW)", "地面效率(%)", "井下效率(%)", "系统效率(%)"};

const std::array<int, kStatColCount> kStatColTwips = {0,    1700, 1700, 1700, 1700, 1000, 1000, 1000,
                                                      1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000,
                                                      1000, 1400, 1400, 1400, 1400, 1400, 1400};

const std::array<const char*, 3> kStatFilterFields = {"单元号", "抽油机型号", "电动机型号"};

namespace {

// Every column but the row number shows a field (kStatColField, from the field table).
constexpr bool every_column_has_a_field() {
  for (int c = stat_col::kNumber + 1; c < kStatColCount; ++c)
    if (kStatColField[static_cast<std::size_t>(c)] == kNoField) return false;
  return true;
}
static_assert(every_column_has_a_field(), "each statistics column after the number shows one field");

using namespace stat_col;
constexpr int kFirstMeanCol = kRealStroke;   // columns 5 .. 19 are averaged
constexpr int kLastMeanCol = kUsefulPower;
constexpr int kFirstWholeCol = kLiquidRate;  // 产液 .. 沉没度 are averaged to whole numbers
constexpr int kLastWholeCol = kSubmergence;

// A field's text with the blanks at both ends removed. Blanks are trimmed on the GBK bytes
// (a blank is never part of a double-byte character), so an all-ASCII field is never converted.
std::string field_text(GbkDecoder& dec, const std::uint8_t* rec, std::size_t off, std::size_t len) {
  std::size_t a = off, b = off + len;
  while (a < b && rec[a] == ' ') ++a;
  while (b > a && rec[b - 1] == ' ') --b;
  return trim_blanks(dec(std::string_view(reinterpret_cast<const char*>(rec + a), b - a)));
}

float cell_value(const std::string& text) { return to_single(num_val(text)); }

}  // namespace

StatGrid::StatGrid() : rows(kStatInitialRows), source(kStatInitialRows) {}

StatFileStatus parse_stat_records(const std::vector<std::uint8_t>& content, std::vector<StatRecord>& out,
                        std::vector<GtYmFinding>* findings) {
  out.clear();
  if (findings) findings->clear();
  if (content.size() % kGtYmRecordSize != 0) return StatFileStatus::Damaged;
  const std::size_t n = content.size() / kGtYmRecordSize;
  out.resize(n);
  GbkDecoder dec;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* rec = content.data() + i * kGtYmRecordSize;
    StatRecord& r = out[i];
    r.number = static_cast<int>(i + 1);
    for (int c = kWell; c < kStatColCount; ++c) {
      const GtYmField& f = kGtYmFields[kStatColField[static_cast<std::size_t>(c)]];
      r.cells[c] = field_text(dec, rec, f.offset, f.width);
    }
    r.test = field_text(dec, rec, kGtYmTestField.offset, kGtYmTestField.width);

    // Only the cells the table shows, checked as the efficiency library's records are: the
    // record is not decoded whole (10 000 rows), so a damaged field the table does not show is
    // named by the efficiency window, not here.
    GtYmCheck check;
    if (std::optional<Refusal> refused = gt_ym_refusal(std::span<const std::uint8_t>(rec, kGtYmRecordSize)))
      check.refusal = std::move(refused->message);
    if (!check.usable()) {
      r.usable = false;
      r.cells = StatRow{};
      r.test.clear();
    } else {
      for (int c = kWell; c < kStatColCount; ++c) {
        const std::size_t field = kStatColField[static_cast<std::size_t>(c)];
        if (field < kGtYmFirstVal) continue;  // the texts hold any text
        std::string& cell = r.cells[c];
        if (gt_ym_val_sound(field - kGtYmFirstVal, cell)) continue;
        cell.clear();
        check.damaged.push_back(field - kGtYmFirstVal);
      }
    }
    if (findings && !check.sound())
      findings->push_back({i + 1, r.usable ? r.cells[kWell] : std::string(), std::move(check)});
  }
  return StatFileStatus::Ok;
}

StatFileStatus read_stat_records(const std::filesystem::path& file, std::vector<StatRecord>& out,
                                 std::vector<GtYmFinding>* findings) {
  out.clear();
  if (findings) findings->clear();
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return ec ? StatFileStatus::IoError : StatFileStatus::Empty;
  // Records past the 16-bit numbers could be neither numbered nor deleted by number.
  if (file_records_over_limit(file, kGtYmRecordSize)) return StatFileStatus::OverLimit;
  std::vector<std::uint8_t> content;
  if (std::filesystem::is_directory(file, ec) || !read_file(file, content)) return StatFileStatus::IoError;
  if (const StatFileStatus st = parse_stat_records(content, out, findings); st != StatFileStatus::Ok) return st;
  return out.empty() ? StatFileStatus::Empty : StatFileStatus::Ok;
}

void fill_stat_grid(StatGrid& g, const std::vector<const StatRecord*>& shown) {
  if (g.rows.empty()) {
    g.rows.resize(1);
    g.source.resize(1);
  }
  for (int c = 0; c < kStatColCount; ++c) g.rows[0][c] = kStatHeaders[c];
  for (std::size_t r = 1; r < g.rows.size(); ++r) {
    g.rows[r] = StatRow{};
    g.source[r] = StatSource{};
  }
  if (shown.empty()) return;
  const std::size_t n = shown.size();
  g.rows.resize(n + 2);
  g.source.assign(n + 2, StatSource{});
  for (std::size_t i = 1; i <= n; ++i) {
    const StatRecord& rec = *shown[i - 1];
    g.rows[i] = rec.cells;
    g.rows[i][kNumber] = std::to_string(i);
    g.source[i] = StatSource{rec.number, rec.well(), rec.test};
  }
  g.rows[n + 1] = stat_average_row(g.rows, 1, n);
}

void fill_stat_grid(StatGrid& g, const std::vector<StatRecord>& all) {
  std::vector<const StatRecord*> shown;
  shown.reserve(all.size());
  for (const StatRecord& r : all)
    if (r.usable) shown.push_back(&r);
  fill_stat_grid(g, shown);
}

StatRow stat_average_row(const std::vector<StatRow>& rows, std::size_t first, std::size_t n) {
  StatRow avg;
  avg[kNumber] = "平均";
  if (n == 0) return avg;
  const float count = static_cast<float>(n);
  // One pass over the rows: each cell is read once. The sums are single precision, as the
  // table's sums always were, and each column adds its rows in row order as before.
  constexpr int kMeanCols = kLastMeanCol - kFirstMeanCol + 1;
  static_assert(kLiquidRate >= kFirstMeanCol && kLiquidRate <= kLastMeanCol && kWaterCut >= kFirstMeanCol &&
                kWaterCut <= kLastMeanCol);
  std::array<float, kMeanCols> sums{};
  float water = 0.0f;
  for (std::size_t i = first; i < first + n; ++i) {
    std::array<float, kMeanCols> v;
    for (int k = 0; k < kMeanCols; ++k) v[k] = cell_value(rows[i][kFirstMeanCol + k]);
    for (int k = 0; k < kMeanCols; ++k) sums[k] += v[k];
    water += v[kLiquidRate - kFirstMeanCol] * v[kWaterCut - kFirstMeanCol] / 100.0f;
  }
  for (int c = kFirstMeanCol; c <= kLastMeanCol; ++c) {
    const float mean = sums[c - kFirstMeanCol] / count;
    const bool whole = c >= kFirstWholeCol && c <= kLastWholeCol;
    // A cell beyond single precision (a damaged library's text) leaves the mean empty
    // rather than showing "inf".
    if (std::isfinite(mean))
      avg[c] = num_text(whole ? std::floor(static_cast<double>(mean) + 0.5) : round_dec(mean, 2));
  }
  // Water cut weighted by the liquid: the mean water volume over the mean liquid shown.
  const float w = water / count;
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

int stat_filter_column(std::string_view field) {
  for (std::size_t k = 0; k < kStatFilterFields.size(); ++k)
    if (field == kStatFilterFields[k]) return static_cast<int>(k) + kBlock;
  return 0;
}

std::vector<std::string> stat_field_values(const std::vector<StatRecord>& recs, std::string_view field) {
  std::vector<std::string> values;
  const int col = stat_filter_column(field);
  if (col == 0) return values;
  for (const StatRecord& r : recs) {
    const std::string& v = r.cells[col];
    if (v.empty() || !r.usable) continue;
    bool seen = false;
    for (const std::string& x : values) seen = seen || x == v;
    if (!seen) values.push_back(v);
  }
  return values;
}

std::vector<int> stat_matches(const std::vector<StatRecord>& recs, std::string_view field, std::string_view value) {
  std::vector<int> hits;
  const int col = stat_filter_column(field);
  if (col == 0) return hits;
  const std::string want = trim_blanks(value);
  for (const StatRecord& r : recs)
    if (r.usable && r.cells[col] == want) hits.push_back(r.number);
  return hits;
}

}  // namespace wb
