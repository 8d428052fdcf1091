// The well and test lists of every keyed library, on one awkward set of keys: the same well
// padded with blanks and with NULs, in another case, with a leading blank, blank wells and
// dates, GBK names, a byte GBK cannot decode and a lead byte cut off at the field's end,
// exact duplicates and dates out of order. Each list must come out as the library has always
// listed it (order, trimming, padding kept or not, duplicates).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/balance/phfx_record.h"
#include "core/common/file_identity.h"
#include "core/common/listing_texts.h"
#include "core/common/record_keys.h"
#include "core/common/record_store.h"
#include "core/design/workbench/design_records.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/efficiency/effi_records.h"
#include "core/records/gt_ym_record.h"
#include "core/level/level_library.h"
#include "core/workbench/test_libraries.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

// Where a library keeps its two key fields.
struct KeyLayout {
  std::size_t record_length;
  std::size_t well_offset, well_width;
  std::size_t date_offset, date_width;
};

// A well field's bytes as stored: the text, then NULs when `nul_pad`, else blanks.
struct RawKey {
  std::string well;
  std::string date;
  bool nul_pad = false;
};

std::vector<RawKey> awkward_keys(std::size_t well_width) {
  const std::string cut_lead = std::string(well_width - 1, 'A') + "\xBE";  // half a character at the end
  return {
      {"W1", "20240101"},
      {"\xBE\xAE" "1", "20240102"},  // 井1
      {"W1", "20240103", true},
      {" W2", "20240104"},
      {"", "20240105"},
      {"w1", "20240106"},
      {"W1", ""},
      {"\xFF" "bad", "20240108"},
      {cut_lead, "20240109"},
      {"\xBE\xAE" "1", "20231231"},
      {"W1", "20240101"},
  };
}

Bytes read_bytes(const fs::path& p) {
  Bytes b;
  EXPECT_TRUE(read_file(p, b));
  return b;
}

class Library {
 public:
  Library() {
    std::random_device rd;
    root_ = fs::temp_directory_path() / ("wb_keyed_" + std::to_string(rd()) + std::to_string(rd()));
    prog.root = root_;
    prog.create_folders();
  }
  ~Library() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  // Writes the awkward keys into `name` in sys; every other byte of a record is a filler
  // that is neither blank nor NUL.
  fs::path write(const char* name, const KeyLayout& k) const {
    Bytes content;
    for (const RawKey& key : awkward_keys(k.well_width)) {
      Bytes rec(k.record_length);
      for (std::size_t i = 0; i < rec.size(); ++i) rec[i] = static_cast<std::uint8_t>('a' + i % 26);
      auto put = [&rec](std::size_t off, std::size_t width, const std::string& text, char pad) {
        for (std::size_t i = 0; i < width; ++i)
          rec[off + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : pad);
      };
      put(k.well_offset, k.well_width, key.well, key.nul_pad ? '\0' : ' ');
      put(k.date_offset, k.date_width, key.date, ' ');
      content.insert(content.end(), rec.begin(), rec.end());
    }
    const fs::path path = prog.sys() / name;
    EXPECT_TRUE(write_file_atomic(path, content));
    return path;
  }
  ProgramFolder prog;

 private:
  fs::path root_;
};

using List = std::vector<std::string>;

std::string nul_padded(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size(), '\0');
}
std::string padded(const std::string& text, std::size_t width) { return text + std::string(width - text.size(), ' '); }

// '?' for the undecodable byte (it takes the 'b' after it), and for the cut lead byte.
const std::string kBad = "?ad";
const std::string kCut16 = "AAAAAAAAAAAAAAA?";

// Sorted, each trimmed well once (NUL padding is not trimmed); dates of a well sorted.
TEST(KeyedListings, DiagnosisWellsSortedOnceAndDatesOfAWellSorted) {
  Library lib;
  const fs::path p = lib.write("bgt.dat", {kBgtRecordSize, 0, kBgtWellNameWidth, 16, kBgtTestDateWidth});
  EXPECT_EQ(bgt_well_names(p), (List{"", kBad, kCut16, "W1", nul_padded("W1", 16), "W2", "w1", "井1"}));
  EXPECT_EQ(bgt_well_dates(p, "W1"), (List{"", "20240101", "20240101"}));
  EXPECT_EQ(bgt_well_dates(p, " 井1 "), (List{"20231231", "20240102"}));
  EXPECT_EQ(bgt_well_dates(p, ""), (List{"20240105"}));

  // The window's own lists: the well list keeps what it had, a well's dates replace theirs.
  DiagnosisState st;
  st.Bgt_Path = p;
  st.well_list = {"W1", "Z"};
  Find_WellNmae_To_Comb(st);
  EXPECT_EQ(st.well_list, (List{"", kBad, kCut16, "W1", nul_padded("W1", 16), "W2", "Z", "w1", "井1"}));

  // Bytes after the last whole record are not a record.
  Bytes tail = read_bytes(p);
  tail.resize(tail.size() + kBgtRecordSize / 2, ' ');
  tail[tail.size() - kBgtRecordSize / 2] = 'Q';
  ASSERT_TRUE(write_file_atomic(p, tail));
  EXPECT_EQ(bgt_well_names(p).size(), 8u);
  EXPECT_TRUE(bgt_well_names(lib.prog.sys() / "none.dat").empty());
}

// Every record in order, both fields as stored, padding and NULs kept.
TEST(KeyedListings, LevelRowsAsStoredInRecordOrder) {
  Library lib;
  lib.write(kDymFile, {kDymRecordSize, 0, kDymNameWidth, kDymNameWidth, kDymDateWidth});
  std::vector<LevelLibraryRow> rows;
  ASSERT_EQ(LevelLibrary(lib.prog).list(rows), LimitedStatus::Ok);
  List wells, dates;
  for (const LevelLibraryRow& r : rows) {
    wells.push_back(r.well_name);
    dates.push_back(r.test_date);
  }
  const std::size_t w = kDymNameWidth;
  EXPECT_EQ(wells, (List{padded("W1", w), padded("井1", w + 1), nul_padded("W1", w), padded(" W2", w), padded("", w),
                         padded("w1", w), padded("W1", w), padded(kBad, w - 1), std::string(w - 1, 'A') + "?",
                         padded("井1", w + 1), padded("W1", w)}));
  EXPECT_EQ(dates, (List{padded("20240101", 12), padded("20240102", 12), padded("20240103", 12),
                         padded("20240104", 12), padded("20240105", 12), padded("20240106", 12), padded("", 12),
                         padded("20240108", 12), padded("20240109", 12), padded("20231231", 12),
                         padded("20240101", 12)}));
}

// Wells trimmed, each once in the order first seen; dates of a well in record order.
TEST(KeyedListings, DesignWellsInFirstSeenOrderAndDatesInRecordOrder) {
  Library lib;
  const fs::path p =
      lib.write("roddesign.dat", {design::kRodDesignRecordSize, 0, design::kDesignWellWidth, 16, design::kDesignDateWidth});
  List l;
  ASSERT_EQ(design::design_well_names(p, l), StoreStatus::Ok);
  EXPECT_EQ(l, (List{"W1", "井1", nul_padded("W1", 16), "W2", "", "w1", kBad, kCut16}));
  ASSERT_EQ(design::design_well_dates(p, "W1", l), StoreStatus::Ok);
  EXPECT_EQ(l, (List{"20240101", "", "20240101"}));
  ASSERT_EQ(design::design_well_dates(p, "井1", l), StoreStatus::Ok);
  EXPECT_EQ(l, (List{"20240102", "20231231"}));
  ASSERT_EQ(design::design_well_dates(p, "", l), StoreStatus::Ok);
  EXPECT_EQ(l, (List{"20240105"}));
}

// New wells join the list after those it has (compared trimmed); test times in record order.
TEST(KeyedListings, EfficiencyWellsJoinTheListAndTestTimesInRecordOrder) {
  Library lib;
  const fs::path p =
      lib.write(kGtYmFileName, {kGtYmRecordSize, 0, 16, 76 + kGtYmValWidth * kValTestDate, kGtYmValWidth});
  List wells = {"W1 ", "X9"};
  Find_WellNmae_To_Comb(p, wells);
  EXPECT_EQ(wells, (List{"W1 ", "X9", "井1", nul_padded("W1", 16), "W2", "", "w1", kBad, kCut16}));
  EXPECT_EQ(Find_TestTime_To_Comb(p, "W1"), (List{"20240101", "", "20240101"}));
  EXPECT_EQ(Find_TestTime_To_Comb(p, "井1"), (List{"20240102", "20231231"}));
  EXPECT_EQ(Find_TestTime_To_Comb(p, " "), (List{"20240105"}));
}

// Every record numbered in order, both fields as stored with NULs shown as blanks.
TEST(KeyedListings, LibraryGridRowsNumberedWithNulsShownAsBlanks) {
  for (std::size_t len : {kSgtRecordSize, kDntRecordSize, kXbtRecordSize}) {
    SCOPED_TRACE(len);
    Library lib;
    const fs::path p = lib.write("Sgt.dat", {len, 0, 16, 16, 12});
    std::vector<GridRow> rows;
    ASSERT_EQ(Load_Grid_Dat(p, len, rows), LibStatus::Ok);
    ASSERT_EQ(rows.size(), 11u);
    const List wells = {padded("W1", 16), padded("井1", 17), padded("W1", 16), padded(" W2", 16), padded("", 16),
                        padded("w1", 16), padded("W1", 16), padded(kBad, 15), kCut16, padded("井1", 17),
                        padded("W1", 16)};
    const List dates = {"20240101", "20240102", "20240103", "20240104", "20240105", "20240106",
                        "",         "20240108", "20240109", "20231231", "20240101"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].number, std::to_string(i + 1));
      EXPECT_EQ(rows[i].well_name, wells[i]);
      EXPECT_EQ(rows[i].test_date, padded(dates[i], 12));
    }
  }
}

// Wells trimmed, each once, joining the list; tests of a well in record order.
TEST(KeyedListings, BalanceWellsJoinTheListAndTestsInRecordOrder) {
  Library lib;
  const fs::path p = lib.write("phfx.dat", {kPhfxRecordSize, 0, 16, 16, 12});
  List l = {"X9", "W1"};
  ASSERT_EQ(phfx_wells(p, l), StoreStatus::Ok);
  EXPECT_EQ(l, (List{"X9", "W1", "井1", nul_padded("W1", 16), "W2", "", "w1", kBad, kCut16}));
  ASSERT_EQ(phfx_tests(p, " W1", l), StoreStatus::Ok);
  EXPECT_EQ(l, (List{"20240101", "", "20240101"}));
  ASSERT_EQ(phfx_tests(p, "井1", l), StoreStatus::Ok);
  EXPECT_EQ(l, (List{"20240102", "20231231"}));
  ASSERT_EQ(phfx_tests(p, "", l), StoreStatus::Ok);
  EXPECT_EQ(l, (List{"20240105"}));
}

// The print selection's grid: every record's trimmed well and test, in record order, from
// the kept keys: the same listing while the library is unchanged, a new one after a write.
TEST(KeyedListings, BalanceGridListsEveryRecordAndFollowsAWrite) {
  Library lib;
  const fs::path p = lib.write("phfx.dat", {kPhfxRecordSize, 0, 16, 16, 12});
  std::shared_ptr<const KeyListing> grid;
  ASSERT_EQ(phfx_listing(p, grid), StoreStatus::Ok);
  ASSERT_EQ(grid->size(), 11u);
  EXPECT_EQ(grid->well_name(0), "W1");
  EXPECT_EQ(grid->well_name(3), "W2");
  EXPECT_EQ(grid->test_date(6), "");
  EXPECT_EQ(grid->well_name(9), "井1");
  EXPECT_EQ(grid->test_date(9), "20231231");
  std::shared_ptr<const KeyListing> again;
  ASSERT_EQ(phfx_listing(p, again), StoreStatus::Ok);
  EXPECT_EQ(again, grid);

  PhfxRecord r;
  r.well_name = "新井";
  r.test_date = "20250101";
  ASSERT_EQ(RecordStore(p, kPhfxRecordSize).write(12, r.encode()), StoreStatus::Ok);
  ASSERT_EQ(phfx_listing(p, again), StoreStatus::Ok);
  ASSERT_EQ(again->size(), 12u);
  EXPECT_EQ(again->well_name(11), "新井");
  EXPECT_EQ(again->test_date(11), "20250101");
  EXPECT_EQ(grid->size(), 11u);  // a listing handed out never changes
}


// Every list of the four windows as one text, for comparing a library listed again with a
// copy of it listed for the first time.
std::string all_lists(const ProgramFolder& prog, const fs::path& bgt, const fs::path& design_lib,
                      const fs::path& grid_lib) {
  std::string out;
  auto add = [&out](const List& l) {
    for (const std::string& s : l) out += s + '|';
    out += '\n';
  };
  add(bgt_well_names(bgt));
  for (const char* w : {"W1", "井1", "", "新井"}) add(bgt_well_dates(bgt, w));
  std::vector<LevelLibraryRow> level;
  out += std::to_string(static_cast<int>(LevelLibrary(prog).list(level))) + '\n';
  for (const LevelLibraryRow& r : level) out += r.well_name + '|' + r.test_date + '\n';
  List l;
  out += std::to_string(static_cast<int>(design::design_well_names(design_lib, l))) + '\n';
  add(l);
  for (const char* w : {"W1", "井1", "新井"}) {
    out += std::to_string(static_cast<int>(design::design_well_dates(design_lib, w, l))) + '\n';
    add(l);
  }
  std::vector<GridRow> rows;
  out += std::to_string(static_cast<int>(Load_Grid_Dat(grid_lib, kSgtRecordSize, rows))) + '\n';
  for (const GridRow& r : rows) out += r.number + '|' + r.well_name + '|' + r.test_date + '\n';
  return out;
}

// The lists are kept while a library is unchanged: every change of the files — a new file
// renamed over one, bytes rewritten in place with a new time, a damaged length, an empty
// library, records added — lists them again, exactly as a copy of the files in another
// program folder lists the first time.
TEST(KeyedListings, AChangedLibraryIsListedAgain) {
  Library lib;
  const KeyLayout bgt{kBgtRecordSize, 0, kBgtWellNameWidth, 16, kBgtTestDateWidth};
  const KeyLayout level{kDymRecordSize, 0, kDymNameWidth, kDymNameWidth, kDymDateWidth};
  const KeyLayout design{design::kRodDesignRecordSize, 0, design::kDesignWellWidth, 16, design::kDesignDateWidth};
  const KeyLayout grid{kSgtRecordSize, 0, 16, 16, 12};
  const fs::path p_bgt = lib.write(kBgtFileName, bgt);
  const fs::path p_level = lib.prog.sys() / kDymFile;
  lib.write(kDymFile, level);
  const fs::path p_design = lib.write("roddesign.dat", design);
  const fs::path p_grid = lib.write("Sgt.dat", grid);
  const std::vector<std::pair<fs::path, KeyLayout>> files = {
      {p_bgt, bgt}, {p_level, level}, {p_design, design}, {p_grid, grid}};
  auto listed_again = [&] { return all_lists(lib.prog, p_bgt, p_design, p_grid); };
  auto listed_first = [&] {
    Library copy;
    for (const auto& [p, k] : files) {
      std::error_code ec;
      if (fs::exists(p)) fs::copy_file(p, copy.prog.sys() / p.filename(), ec);
      EXPECT_FALSE(ec);
    }
    return all_lists(copy.prog, copy.prog.sys() / kBgtFileName, copy.prog.sys() / "roddesign.dat",
                     copy.prog.sys() / "Sgt.dat");
  };
  // Listed twice, so that the second listing is the kept one and each change below meets
  // kept lists; compared before the copy is listed (its lists take the place of the kept).
  auto relisted = [&] {
    const std::string again = listed_again();
    EXPECT_EQ(again, listed_first());
    std::ignore = listed_again();
    EXPECT_EQ(listed_again(), again);
    return again;
  };
  const std::string first = relisted();

  // Each library's keys reversed record by record: a new file renamed over it.
  for (const auto& [p, k] : files) {
    Bytes b = read_bytes(p);
    std::vector<Bytes> recs;
    for (std::size_t at = 0; at < b.size(); at += k.record_length)
      recs.emplace_back(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + k.record_length));
    std::reverse(recs.begin(), recs.end());
    b.clear();
    for (const Bytes& r : recs) b.insert(b.end(), r.begin(), r.end());
    ASSERT_TRUE(write_file_atomic(p, b));
  }
  const std::string reversed = relisted();
  EXPECT_NE(reversed, first);

  // A well renamed in place (same file, same length) by another program, with a new time.
  for (const auto& [p, k] : files) {
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    {
      std::fstream f(p, std::ios::binary | std::ios::in | std::ios::out);
      f.seekp(static_cast<std::streamoff>(k.record_length + k.well_offset));
      f.write("\xD0\xC2\xBE\xAE", 4);  // 新井
      ASSERT_TRUE(f.good());
    }
    timespec times[2] = {st.st_atim, st.st_mtim};
    times[1].tv_sec += 2;
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
  }
  EXPECT_NE(relisted(), reversed);

  // A damaged length, then empty libraries (removed when listed), then the keys back.
  for (const auto& [p, k] : files) {
    Bytes b = read_bytes(p);
    b.resize(b.size() + k.record_length / 2, ' ');
    ASSERT_TRUE(write_file_atomic(p, b));
  }
  std::ignore = relisted();
  for (const auto& [p, k] : files) ASSERT_TRUE(write_file_atomic(p, {}));
  std::ignore = relisted();
  for (const auto& [p, k] : files) lib.write(p.filename().c_str(), k);
  EXPECT_EQ(relisted(), first);
}

// The diagnosis window's lists after its own saves follow the record written: a key saved
// again (its bytes another spelling of the same text), a new well appended, and, written
// through the store, a record whose well changes, until the last record of a well goes.
TEST(KeyedListings, DiagnosisListsFollowTheWindowsOwnSaves) {
  Library lib;
  const fs::path p = lib.write(kBgtFileName, {kBgtRecordSize, 0, kBgtWellNameWidth, 16, kBgtTestDateWidth});
  DiagnosisState st;
  st.Bgt_Path = p;
  Find_WellNmae_To_Comb(st);
  auto first_listing = [&p](const char* well) {
    Library copy;
    const fs::path c = copy.prog.sys() / kBgtFileName;
    fs::copy_file(p, c);
    return std::make_pair(bgt_well_names(c), bgt_well_dates(c, well));
  };
  struct NoQuestions : MessageService {
    MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon) override { return MsgAnswer::Ok; }
  } messages;
  DiagnosisIo io{messages, nullptr};
  for (const auto& [well, date] : {std::pair{"W1", "20240101"}, std::pair{kBad.c_str(), "20240108"},
                                   std::pair{"新井", "20250101"}, std::pair{"新井", "20250102"}}) {
    SCOPED_TRACE(well);
    st.Text1[diag_box::kWell] = well;
    st.Text1[diag_box::kDate] = date;
    ASSERT_TRUE(Cmd_Save_Click(st, io));
    const List dates_now = bgt_well_dates(p, well);
    const auto [wells, dates] = first_listing(well);
    EXPECT_EQ(st.well_list, wells);
    EXPECT_EQ(dates_now, dates);
    EXPECT_EQ(bgt_well_dates(p, well), dates);
  }
  // 井1 is the well of records 2 and 10: renamed in one, then in the other.
  for (std::size_t at : {2u, 10u}) {
    SCOPED_TRACE(at);
    std::ignore = bgt_well_names(p);  // the lists kept, to follow the write
    Bytes rec;
    ASSERT_EQ(RecordStore(p, kBgtRecordSize).read(at, rec), StoreStatus::Ok);
    std::copy_n("Z9  ", 4, rec.begin());
    const std::optional<FileIdentity> before = file_identity(p);
    ASSERT_EQ(RecordStore(p, kBgtRecordSize).write(at, rec), StoreStatus::Ok);
    note_record_written(p, kBgtRecordSize, before, at, rec);
    const List wells_now = bgt_well_names(p), dates_now = bgt_well_dates(p, "井1"), z9_now = bgt_well_dates(p, "Z9");
    const auto [wells, dates] = first_listing("井1");
    EXPECT_EQ(wells_now, wells);
    EXPECT_EQ(dates_now, dates);
    EXPECT_EQ(z9_now, first_listing("Z9").second);
  }
  const List wells = bgt_well_names(p);
  EXPECT_EQ(std::count(wells.begin(), wells.end(), "井1"), 0);
  EXPECT_EQ(std::count(wells.begin(), wells.end(), "Z9"), 1);
}

}  // namespace
}  // namespace wb
