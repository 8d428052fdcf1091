// What the reader targets check of a fuzzed library, shared with the store targets, which
// make the same checks before they save into and delete from it: the listings, every listed
// test found and shown, and records decoded, written again and read back to the same bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/design/workbench/design_records.h"
#include "core/design/engine/rod_design_record.h"
#include "core/efficiency/effi_curves.h"
#include "core/efficiency/effi_records.h"
#include "core/records/gt_ym_record.h"
#include "core/efficiency/well_base_record.h"
#include "core/level/dym_record.h"
#include "core/level/level_library.h"
#include "core/level/level_page.h"
#include "core/records/gt_ym_checks.h"
#include "core/statistics/effi_stat_export.h"
#include "core/statistics/effi_stat_state.h"
#include "core/workbench/test_libraries.h"
#include "fuzz_support.h"

namespace wbfuzz {

// ---- The main window's record libraries (sys/Sgt.dat, Dnt.dat, xbt.dat)

// Lists a library of `lib`'s bytes written at `path`. A bad length is refused with nothing
// listed (nullopt); a whole library lists a row per record, and an empty one goes when listed.
inline std::optional<std::size_t> check_library_listing(const std::filesystem::path& path, std::size_t len,
                                                        const wb::Bytes& lib) {
  std::vector<wb::GridRow> rows;
  const wb::LibStatus listed = wb::Load_Grid_Dat(path, len, rows);
  if (lib.size() % len != 0) {
    FUZZ_CHECK(listed == wb::LibStatus::Damaged && rows.empty());
    return std::nullopt;
  }
  const std::size_t n = lib.size() / len;
  FUZZ_CHECK(listed == wb::LibStatus::Ok && rows.size() == n);
  if (n == 0) FUZZ_CHECK(!std::filesystem::exists(path));
  return n;
}

// ---- The design window's records (sys/roddesign.dat)

// Every whole record decodes and encodes back to the same bytes.
inline void check_design_records_round_trip(std::span<const std::uint8_t> bytes) {
  using wb::design::kRodDesignRecordSize;
  for (std::size_t off = 0; off + kRodDesignRecordSize <= bytes.size(); off += kRodDesignRecordSize) {
    const auto one = bytes.subspan(off, kRodDesignRecordSize);
    wb::design::RodDesignRecord r;
    FUZZ_CHECK(r.decode(one));
    const wb::Bytes again = r.encode();
    FUZZ_CHECK(again.size() == kRodDesignRecordSize && std::equal(again.begin(), again.end(), one.begin()));
  }
}

// The well list, each well's dates and the load of each listed design (its boxes, options,
// viscosity and centralizer rows), at most four wells of three dates. The last design loaded
// stays chosen in `st`.
inline void check_design_listings(wb::design::DesignState& st, wb::design::DesignRecords& rec,
                                  wb::design::DesignRecordIo& io) {
  wb::design::JNname_Add(st, rec, io);
  const std::vector<std::string> wells = rec.JName_list;
  for (std::size_t i = 0; i < wells.size() && i < 4; ++i) {
    st.JName_Comb = wells[i];
    wb::design::com2_find(st, rec, io);
    for (std::size_t j = 0; j < rec.Date_list.size() && j < 3; ++j) {
      st.Date_Comb = rec.Date_list[j];
      st.Grid2.set_rows(2);
      // A date the listing found is a whole record of a whole file: it reads.
      FUZZ_CHECK(wb::design::LoadDesignRecord(st, rec, io) != wb::design::DesignOutcome::failed);
      FUZZ_CHECK(st.Grid2.rows() >= 1 && st.Grid2.rows() <= static_cast<int>(wb::design::kDesignFzqCount) + 1);
    }
  }
}

// ---- The level library (sys/Dym.dat)

// Record i (1-based) of a listed library reads, writes and reads back to the same bytes, and
// loads into the window's test with a gain it can show.
inline void check_level_record(const wb::LevelLibrary& lib, std::size_t i, wb::DymRecord& d, wb::LevelTest& t) {
  FUZZ_CHECK(lib.read(static_cast<int>(i), d) == wb::StoreStatus::Ok);
  const wb::Bytes b = wb::encode_dym(d);
  const auto again = wb::decode_dym(b);
  FUZZ_CHECK(again && wb::encode_dym(*again) == b);
  wb::load_dym_into_test(d, t);
  FUZZ_CHECK(t.gain >= 1 && t.gain <= 8);
}

// ---- The efficiency window's libraries

// The boxes of a shown efficiency record hold only what its fields may show: no number
// beyond its field's limits, no "nan" or "inf".
inline void check_shown_effi_boxes(const wb::EffiBoxTexts& boxes) {
  for (std::size_t k = 1; k < wb::kGtYmValCount; ++k) FUZZ_CHECK(wb::gt_ym_val_sound(k, boxes[k + 3]));
  FUZZ_CHECK(wb::gt_ym_val_sound(wb::kValSinker, boxes[47] + "/" + boxes[48]));
}

// Each listed test of an efficiency library (at most four wells of four tests) is found and
// shown, with only what may be shown (a refused record is not); `shown` is called with the
// boxes of each.
template <class Shown>
void check_effi_tests(const std::filesystem::path& lib, Shown&& shown) {
  std::vector<std::string> wells;
  wb::Find_WellNmae_To_Comb(lib, wells);
  for (std::size_t i = 0; i < wells.size() && i < 4; ++i) {
    const auto times = wb::Find_TestTime_To_Comb(lib, wells[i]);
    for (std::size_t j = 0; j < times.size() && j < 4; ++j) {
      const std::size_t r = wb::find_effi_test(lib, wells[i], times[j]);
      FUZZ_CHECK(r > 0);
      wb::EffiBoxTexts boxes;
      const wb::EffiShown s = wb::EffiRecode_To_Text(lib, std::to_string(r), boxes);
      if (s.refused) {  // no line of an efficiency file: listed by its key, not shown
        FUZZ_CHECK(!s.shown);
        continue;
      }
      FUZZ_CHECK(s.shown && s.record == r);
      check_shown_effi_boxes(boxes);
      shown(boxes);
    }
  }
}

// The well base library read for well W1's test: its curves when it has them, and every whole
// record (at most eight) read, written and read back to the same fields.
inline void check_well_base(const wb::ProgramFolder& prog, const wb::Bytes& file) {
  const wb::WellBaseCurves c = wb::Get_Well_Base(prog, "W1", "0611081230");
  if (c.has_curves) FUZZ_CHECK(c.uus.size() == static_cast<std::size_t>(c.iu_num) + 1);
  wb::Get_Dat_From_WellBase(prog, "W1", "0611081230");
  for (std::size_t off = 0; off + wb::kWellBaseRecordSize <= file.size() && off < 8 * wb::kWellBaseRecordSize;
       off += wb::kWellBaseRecordSize) {
    wb::WellBaseRecord r1, r2;
    FUZZ_CHECK(r1.decode(wb::Bytes(file.begin() + static_cast<std::ptrdiff_t>(off),
                                   file.begin() + static_cast<std::ptrdiff_t>(off + wb::kWellBaseRecordSize))));
    const wb::Bytes once = r1.encode();
    FUZZ_CHECK(r2.decode(once) && r2.encode() == once);
  }
}

// The card library (`power` false) or the power-curve library of `file`'s bytes, read for W1's
// test: a test found has a point per stroke step.
inline void check_curve_library(const wb::ProgramFolder& prog, bool power, const wb::Bytes& file) {
  const auto lib = prog.sys() / (power ? "Dnt.dat" : "Sgt.dat");
  write_bytes(lib, file.data(), file.size());
  if (power) {
    const wb::ElectricCurves e = wb::Get_Pow_Dat(lib, "W1", "0611081230");
    FUZZ_CHECK(!e.found || e.qqs.size() == static_cast<std::size_t>(e.iu_num) + 1);
  } else {
    const wb::CardCurves c = wb::Get_Sgt_Dat(lib, "W1", "0611081230");
    FUZZ_CHECK(!c.found || c.sss.size() == static_cast<std::size_t>(c.gt_num) + 1);
  }
}

// ---- The efficiency statistics (an efficiency library opened in the statistics window)

// Every line of the text export ends in CR LF and holds a field per column; a line per row.
inline void check_stat_export(const wb::StatRows& rows) {
  const wb::Bytes out = wb::stat_export_bytes(rows);
  std::size_t tabs = 0, lines = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\t') ++tabs;
    if (out[i] == '\n') {
      FUZZ_CHECK(i > 0 && out[i - 1] == '\r');
      FUZZ_CHECK(tabs + 1 == static_cast<std::size_t>(wb::kStatColCount));
      tabs = 0;
      ++lines;
    }
    FUZZ_CHECK(out[i] != '\r' || (i + 1 < out.size() && out[i + 1] == '\n'));
  }
  FUZZ_CHECK(lines == rows.size());
}

// No number cell of the table (the average row's included) reads as a non-finite number.
inline void check_stat_cells(const wb::StatGrid& g) {
  for (std::size_t r = 1; r < g.rows.size(); ++r) {
    for (std::size_t c = 0; c < wb::kStatColCount; ++c)
      if (wb::kStatColumns[c].mean != wb::StatMean::None) FUZZ_CHECK(!wb::shows_non_finite(g.rows.cell(r, c)));
  }
}

// Loads `before`, the bytes at the state's library, into the table. A file that is not whole
// records is refused and left untouched (false); an empty one loads nothing (false); otherwise
// the table has a row per usable record and the average row (none when every record is
// refused), only cells that may be shown, and exports whole lines (true).
inline bool check_stat_load(wb::EffiStatState& st, const std::filesystem::path& lib, const wb::Bytes& before) {
  const wb::StatFileStatus s = st.load_library("20261210");
  if (before.size() % wb::kGtYmRecordSize != 0) {
    FUZZ_CHECK(s == wb::StatFileStatus::Damaged);
    FUZZ_CHECK(read_bytes(lib) == before);
    return false;
  }
  const std::size_t n = before.size() / wb::kGtYmRecordSize;
  if (n == 0) {
    FUZZ_CHECK(s == wb::StatFileStatus::Empty);
    return false;
  }
  FUZZ_CHECK(s == wb::StatFileStatus::Ok);
  std::size_t refused = 0;
  for (const wb::GtYmFinding& f : st.findings) refused += f.check.usable() ? 0 : 1;
  FUZZ_CHECK(refused <= n);
  if (refused < n) {
    FUZZ_CHECK(st.grid.row_count() == static_cast<int>(n - refused) + 2);
    FUZZ_CHECK(st.grid.rows.back()[0] == "平均");
  } else {
    for (std::size_t r = 1; r < st.grid.rows.size(); ++r) FUZZ_CHECK(st.grid.source[r].record == 0);
  }
  check_stat_cells(st.grid);
  FUZZ_CHECK(wb::gt_ym_findings_text(st.findings, "f").empty() == st.findings.empty());
  check_stat_export(st.grid.rows);
  return true;
}

// Each filter field with its first value: the table holds only the matches and exports whole
// lines.
inline void check_stat_filters(wb::EffiStatState& st) {
  for (const char* field : wb::kStatFilterFields) {
    st.choose_field(field);
    if (st.Combo2_items.empty()) continue;
    st.choose_value(st.Combo2_items.front());
    FUZZ_CHECK(st.tj_jls() >= 1);
    FUZZ_CHECK(st.run_filter("20261210") == wb::EffiStatState::Filter::Shown);
    FUZZ_CHECK(st.grid.row_count() == st.tj_jls() + 2);
    check_stat_cells(st.grid);
    check_stat_export(st.grid.rows);
  }
}

}  // namespace wbfuzz
