// The record limit of every keyed library the windows save into besides the main window's
// (tests/core/workbench/library_limit_test.cpp): a save whose record would be the 32 768th of
// any of its libraries is refused with the library named and the limit, and writes nothing
// in any library of the save; a library of more records than the limit is refused by the
// file's name. The libraries at the limit are sparse files of zeroed records (the zero key
// is no key a save uses), so each case costs no more than reading the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "core/balance/balance_save.h"
#include "core/balance/phfx_browser.h"
#include "core/balance/phfx_record.h"
#include "core/common/dlph_record.h"
#include "core/common/record_limit.h"
#include "core/design/workbench/design_records.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/efficiency/effi_records.h"
#include "core/efficiency/well_base_record.h"
#include "core/records/gt_ym_record.h"
#include "core/statistics/effi_stat_state.h"
#include "core/workbench/batch_print.h"
#include "core/printing/card_print_page.h"
#include "workbench/temp_program_folder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

// Every message shown; questions are answered Yes.
struct Messages : MessageService {
  std::vector<std::string> texts;
  MsgAnswer show(const std::string& text, const std::string&, MsgButtons b, MsgIcon) override {
    texts.push_back(text);
    return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
};

// The size of each file, or -1 when missing.
std::map<fs::path, long long> sizes(const std::vector<fs::path>& files) {
  std::map<fs::path, long long> out;
  for (const fs::path& f : files) {
    std::error_code ec;
    out[f] = fs::exists(f) ? static_cast<long long>(fs::file_size(f, ec)) : -1;
  }
  return out;
}

bool mentions(const std::vector<std::string>& texts, const std::string& part) {
  for (const std::string& t : texts)
    if (t.find(part) != std::string::npos) return true;
  return false;
}

// One library of a save: its file, record length and name for the user.
struct Library {
  fs::path path;
  std::size_t len;
  std::string name;
};

// A save of one or several libraries, run on a program folder: true when it stored.
struct SaveCase {
  const char* what;
  std::function<std::vector<Library>(const ProgramFolder&)> libraries;
  std::function<bool(const ProgramFolder&, Messages&)> save;
};

EffiBoxTexts effi_boxes() {
  EffiBoxTexts t;
  t[effi_box::kWell] = "W1";
  t[effi_box::kTestTime] = "200601011200";
  return t;
}

std::vector<Library> effi_libraries(const ProgramFolder& p, bool base) {
  std::vector<Library> l = {{gt_ym_path(p), kGtYmRecordSize, kGtYmLibraryName},
                            {p.sys() / kDlPhFileName, kDlPhRecordSize, kDlPhLibraryName}};
  if (base) l.push_back({well_base_path(p), kWellBaseRecordSize, kWellBaseLibraryName});
  return l;
}

const SaveCase kSaves[] = {
    {"efficiency record and summary (Save_Effi_Data)",
     [](const ProgramFolder& p) { return effi_libraries(p, false); },
     [](const ProgramFolder& p, Messages& m) {
       DlPhRecord buf;
       return Save_Effi_Data(gt_ym_path(p), p, effi_boxes(), buf, m).saved;
     }},
    {"efficiency window's save of a joint test (save_effi_test)",
     [](const ProgramFolder& p) { return effi_libraries(p, true); },
     [](const ProgramFolder& p, Messages& m) {
       DlPhRecord buf;
       EffiWellBaseSource src;
       src.boxes = effi_boxes();
       return save_effi_test(gt_ym_path(p), p, src.boxes, buf, &src, m).effi.saved;
     }},
    {"well base record alone (Save_WellBase)",
     [](const ProgramFolder& p) {
       return std::vector<Library>{{well_base_path(p), kWellBaseRecordSize, kWellBaseLibraryName}};
     },
     [](const ProgramFolder& p, Messages& m) {
       BalanceWellBaseSource src;
       src.Cur_Well = "W1";
       src.Cur_Test = "200601011200";
       return Save_WellBase(p, src, m).outcome == SaveOutcome::Saved;
     }},
    {"counterbalance save (save_balance_test)",
     [](const ProgramFolder& p) {
       return std::vector<Library>{{well_base_path(p), kWellBaseRecordSize, kWellBaseLibraryName},
                                   {phfx_path(p), kPhfxRecordSize, kPhfxLibraryName},
                                   {p.sys() / kDlPhFileName, kDlPhRecordSize, kDlPhLibraryName}};
     },
     [](const ProgramFolder& p, Messages& m) {
       HeldStroke held;
       held.Cur_Well = "W1";
       held.Cur_Test = "200601011200";
       const ParameterBoxes boxes{};
       return save_balance_test(p, phfx_path(p), {held, boxes, BalanceMode::Crank, "", ""}, m).record != 0;
     }},
    {"diagnosis save (Cmd_Save_Click)",
     [](const ProgramFolder& p) {
       return std::vector<Library>{{p.sys() / kBgtFileName, kBgtRecordSize, "诊断记录文件"}};
     },
     [](const ProgramFolder& p, Messages& m) {
       DiagnosisState st;
       DiagnosisIo io{m, nullptr};
       st.Bgt_Path = p.sys() / kBgtFileName;
       st.Text1[diag_box::kWell] = "W1";
       st.Text1[diag_box::kDate] = "200601011200";
       return Cmd_Save_Click(st, io);
     }},
    {"design save (SaveDesignRecord)",
     [](const ProgramFolder& p) {
       return std::vector<Library>{{design::design_record_path(p), design::kRodDesignRecordSize, "设计记录文件"}};
     },
     [](const ProgramFolder& p, Messages& m) {
       struct NoControls : design::DesignControls {
         void set_Text6(design::DesignState& st, int i, const std::string& t) override {
           st.Text6.at(static_cast<std::size_t>(i)) = t;
         }
         void Text6_Change(design::DesignState&, int) override {}
         std::int16_t design_mode(const design::DesignState&) const override { return 1; }
         void select_design_mode(design::DesignState&, std::int16_t) override {}
         std::string rod_grade(const design::DesignState&) const override { return {}; }
         void select_rod_grade(design::DesignState&, const std::string&) override {}
         void beep() override {}
       } controls;
       design::DesignRecordIo io{m, controls};
       auto st = std::make_unique<design::DesignState>();
       design::DesignRecords rec;
       rec.path = design::design_record_path(p);
       st->JName_Comb = "W1";
       st->Date_Comb = "200601011200";
       st->Label3[design::design_label::kStrokePumpEff] = "0.654";
       st->Text2 = "0.75";
       return design::SaveDesignRecord(*st, rec, io) == design::DesignOutcome::done;
     }},
};

std::vector<fs::path> paths_of(const std::vector<Library>& libs) {
  std::vector<fs::path> out;
  for (const Library& l : libs) out.push_back(l.path);
  return out;
}

TEST(KeyedLibraryLimits, ASaveWithRoomStoresItsRecord) {
  // The fixture's saves go through when no library is full: a refusal below is the limit's.
  for (const SaveCase& c : kSaves) {
    SCOPED_TRACE(c.what);
    test::TempProgram tmp;
    Messages msg;
    EXPECT_TRUE(c.save(tmp.prog, msg));
    for (const Library& l : c.libraries(tmp.prog)) EXPECT_EQ(fs::file_size(l.path), l.len) << l.path;
  }
}

TEST(KeyedLibraryLimits, TheRecordAfterTheLimitIsRefusedAndNothingIsWritten) {
  for (const SaveCase& c : kSaves) {
    test::TempProgram tmp;
    const std::vector<Library> libs = c.libraries(tmp.prog);
    for (const Library& full : libs) {
      SCOPED_TRACE(std::string(c.what) + ": " + full.name);
      for (const Library& l : libs) fs::remove(l.path);
      test::sparse_library(full.path, full.len, kMaxLibraryRecords);
      const auto before = sizes(paths_of(libs));
      Messages msg;
      EXPECT_FALSE(c.save(tmp.prog, msg));
      EXPECT_EQ(sizes(paths_of(libs)), before);
      EXPECT_TRUE(mentions(msg.texts, library_full_text(full.name))) << (msg.texts.empty() ? "" : msg.texts[0]);
    }
  }
}

TEST(KeyedLibraryLimits, AFileBeyondTheLimitIsRefusedByName) {
  for (const SaveCase& c : kSaves) {
    test::TempProgram tmp;
    const std::vector<Library> libs = c.libraries(tmp.prog);
    for (const Library& over : libs) {
      SCOPED_TRACE(std::string(c.what) + ": " + over.name);
      for (const Library& l : libs) fs::remove(l.path);
      test::sparse_library(over.path, over.len, kMaxLibraryRecords + 1);
      const auto before = sizes(paths_of(libs));
      Messages msg;
      EXPECT_FALSE(c.save(tmp.prog, msg));
      EXPECT_EQ(sizes(paths_of(libs)), before);
      EXPECT_TRUE(mentions(msg.texts, over_limit_text(over.path, kMaxLibraryRecords + 1)))
          << (msg.texts.empty() ? "" : msg.texts[0]);
    }
  }
}

// The listings of a file beyond the limit: nothing listed (never the first 32 767 records),
// and where the window reads the list itself, the file named.
TEST(KeyedLibraryLimits, ListsOfAFileBeyondTheLimitAreEmpty) {
  test::TempProgram tmp;
  const fs::path bgt = tmp.prog.sys() / kBgtFileName;
  const fs::path phfx = phfx_path(tmp.prog);
  const fs::path effi = gt_ym_path(tmp.prog);
  const fs::path design = design::design_record_path(tmp.prog);
  for (const auto& [p, len] : {std::pair{bgt, kBgtRecordSize}, std::pair{phfx, kPhfxRecordSize},
                               std::pair{effi, kGtYmRecordSize}, std::pair{design, design::kRodDesignRecordSize}})
    test::sparse_library(p, len, kMaxLibraryRecords + 1);

  EXPECT_TRUE(bgt_well_names(bgt).empty());
  EXPECT_TRUE(bgt_well_dates(bgt, "").empty());
  std::vector<std::string> list;
  EXPECT_NE(phfx_wells(phfx, list), StoreStatus::Ok);
  EXPECT_TRUE(list.empty());
  EXPECT_NE(phfx_tests(phfx, "", list), StoreStatus::Ok);
  EXPECT_TRUE(list.empty());
  Find_WellNmae_To_Comb(effi, list);
  EXPECT_TRUE(list.empty());
  EXPECT_NE(design::design_well_names(design, list), StoreStatus::Ok);
  EXPECT_TRUE(list.empty());

  // The statistics table: the library beyond the limit is refused and nothing tabulated; a
  // chosen file beyond it leaves the file shown as it was.
  EffiStatState stat(effi);
  EXPECT_EQ(stat.load_library("2026-01-01"), StatFileStatus::OverLimit);
  for (const StatSource& row : stat.grid.source) EXPECT_EQ(row.record, 0);  // no record shown
  const fs::path other = tmp.prog.sys() / "other.dat";
  test::sparse_library(other, kGtYmRecordSize, kMaxLibraryRecords + 1);
  EXPECT_EQ(stat.open_file(other, "2026-01-01"), StatFileStatus::OverLimit);
  EXPECT_EQ(stat.cur_file, effi);

  // The efficiency window's library box refuses the file by name.
  Messages msg;
  fs::path accepted;
  EXPECT_EQ(check_library_box(path_text(effi), EffiLibrary::Efficiency, tmp.prog, accepted, msg), LibraryBoxCheck::Refused);
  ASSERT_EQ(msg.texts.size(), 1u);
  EXPECT_EQ(msg.texts[0], over_limit_text(effi, kMaxLibraryRecords + 1));
  EXPECT_TRUE(accepted.empty());

  // So does the counterbalance window's data-file box.
  msg.texts.clear();
  EXPECT_EQ(check_phfx_library_box(path_text(phfx), tmp.prog, accepted, msg), LibraryBoxCheck::Refused);
  ASSERT_EQ(msg.texts.size(), 1u);
  EXPECT_EQ(msg.texts[0], over_limit_text(phfx, kMaxLibraryRecords + 1));
  EXPECT_TRUE(accepted.empty());

  // The design window's well list says it and lists nothing.
  struct NoControls : design::DesignControls {
    void set_Text6(design::DesignState&, int, const std::string&) override {}
    void Text6_Change(design::DesignState&, int) override {}
    std::int16_t design_mode(const design::DesignState&) const override { return 1; }
    void select_design_mode(design::DesignState&, std::int16_t) override {}
    std::string rod_grade(const design::DesignState&) const override { return {}; }
    void select_rod_grade(design::DesignState&, const std::string&) override {}
    void beep() override {}
  } controls;
  msg.texts.clear();
  design::DesignRecordIo io{msg, controls};
  auto st = std::make_unique<design::DesignState>();
  design::DesignRecords rec;
  rec.path = design;
  rec.JName_list = {"left from before"};
  design::JNname_Add(*st, rec, io);
  EXPECT_TRUE(rec.JName_list.empty());
  ASSERT_EQ(msg.texts.size(), 1u);
  EXPECT_EQ(msg.texts[0], over_limit_text(design, kMaxLibraryRecords + 1));
}

// A marked row past the 16-bit record numbers is said, not dropped without a word; the last
// record of a full card library is read for printing.
TEST(KeyedLibraryLimits, PrintMarksPastTheLimitAreSaid) {
  std::vector<std::string> col0(kMaxLibraryRecords + 2, "");
  col0[kMaxLibraryRecords + 1] = "▲" + std::to_string(kMaxLibraryRecords + 1);
  const PrintMarks marks = collect_print_marks(col0);
  EXPECT_TRUE(marks.overflow);
  EXPECT_EQ(marks.beyond_limit, kMaxLibraryRecords + 1);
  EXPECT_NE(print_marks_refusal(marks).find("32768"), std::string::npos);
  col0[kMaxLibraryRecords + 1].clear();
  col0[kMaxLibraryRecords] = "▲";
  EXPECT_TRUE(print_marks_refusal(collect_print_marks(col0)).empty());

  test::TempProgram tmp;
  const fs::path sgt = tmp.prog.sys() / "Sgt.dat";
  test::sparse_library(sgt, kSgtRecordSize, kMaxLibraryRecords - 1);
  SgtRecord last;
  last.well_name = "LAST";
  const Bytes b = last.encode();
  {
    std::ofstream f(sgt, std::ios::binary | std::ios::app);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  const std::optional<SgtRecord> read = read_card_print_record(sgt, static_cast<std::int16_t>(kMaxLibraryRecords));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->well_name.rfind("LAST", 0), 0u);  // padded as stored
  EXPECT_FALSE(read_card_print_record(sgt, 0).has_value());
}

}  // namespace
}  // namespace wb
