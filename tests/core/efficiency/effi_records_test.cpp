// The efficiency record library: keyed save with the summary update, lists, showing a
// record, previous / next / delete and the library boxes, on libraries built in the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../workbench/temp_program_folder.h"
#include "core/common/dlph_record.h"
#include "core/common/gbk.h"
#include "core/common/trim.h"
#include "core/efficiency/effi_records.h"
#include "effi_test_util.h"

namespace wb {
namespace {

using test::file_bytes;
using test::put_bytes;
using test::sample_effi_boxes;
using test::ScriptedMessages;
using test::TempProgram;

struct Lib {
  TempProgram tp;
  ScriptedMessages msg;
  DlPhRecord buf;
  std::filesystem::path effi() const { return gt_ym_path(tp.prog); }
  EffiSaveResult save(const EffiBoxTexts& b) { return Save_Effi_Data(effi(), tp.prog, b, buf, msg); }
  std::size_t count() const { return file_bytes(effi()).size() / kGtYmRecordSize; }
};

TEST(EffiRecords, BoxesToRecordAndBack) {
  struct Case {
    const char* b47;
    const char* b48;
    const char* vals0;
    const char* back47;
    const char* back48;
  };
  const Case cases[] = {
      {"1200", "25", "1200/25", "1200", "25"},
      {"", "", "/", "", ""},
      {"1200", "", "1200/", "1200", ""},
      {" 800 ", " 19", "800/19", "800", "19"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vals0);
    EffiBoxTexts b = sample_effi_boxes();
    b[47] = c.b47;
    b[48] = c.b48;
    const GtYmRecord r = gt_ym_from_boxes(b);
    EXPECT_EQ(r.vals[0], c.vals0);
    EffiBoxTexts back;
    GtYmRecord stored;
    ASSERT_TRUE(stored.decode(r.encode()));
    gt_ym_to_boxes(stored, back);
    EXPECT_EQ(back[47], c.back47);
    EXPECT_EQ(back[48], c.back48);
    for (int k = 0; k <= 46; ++k) EXPECT_EQ(back[k], trim_blanks(b[k])) << "box " << k;
  }
  // vals[k] is box k+3; the test time is vals[20] at offset 316.
  const Bytes bytes = gt_ym_from_boxes(sample_effi_boxes()).encode();
  EXPECT_EQ(std::string(bytes.begin() + 88, bytes.begin() + 100), "56          ");          // box 4
  EXPECT_EQ(std::string(bytes.begin() + 316, bytes.begin() + 328), "0611081230  ");        // box 23
  EXPECT_EQ(std::string(bytes.begin() + 412, bytes.begin() + 424), "12.5/10.8   ");        // box 31
  EXPECT_EQ(std::string(bytes.begin() + 592, bytes.begin() + 604), "20.1        ");        // box 46
  // A record without a slash in vals[0] empties boxes 47 and 48.
  GtYmRecord noslash = gt_ym_from_boxes(sample_effi_boxes());
  noslash.vals[0] = "1200";
  EffiBoxTexts shown = sample_effi_boxes();
  gt_ym_to_boxes(noslash, shown);
  EXPECT_EQ(shown[47], "");
  EXPECT_EQ(shown[48], "");
}

TEST(EffiRecords, SameKeyOverwritesNewKeyAppends) {
  Lib lib;
  auto b = sample_effi_boxes();
  auto r1 = lib.save(b);
  ASSERT_TRUE(r1.saved);
  EXPECT_EQ(r1.record, 1u);
  EXPECT_TRUE(r1.appended);
  auto r2 = lib.save(sample_effi_boxes("W2"));
  EXPECT_EQ(r2.record, 2u);
  b[30] = "31.5";
  b[0] = " W1 ";  // blanks around the key do not make another key
  auto r3 = lib.save(b);
  EXPECT_EQ(r3.record, 1u);
  EXPECT_FALSE(r3.appended);
  EXPECT_EQ(lib.count(), 2u);
  std::vector<GtYmRecord> recs;
  ASSERT_EQ(read_gt_ym_records(lib.effi(), recs), StoreStatus::Ok);
  EXPECT_EQ(trim_blanks(recs[0].vals[kValSysEffi]), "31.5");
  EXPECT_TRUE(lib.msg.shown.empty());

  // A well number longer than its field finds its stored record again.
  auto longw = sample_effi_boxes("ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(lib.save(longw).record, 3u);
  EXPECT_EQ(lib.save(longw).record, 3u);
  // A well name that would leave a folder is only a record field: no file is made.
  // (A name of this process's own, so that a file another program left in the shared
  // temporary folder is not taken for one this save made.)
  const std::string outside = "x" + std::to_string(::getpid() % 100000);
  auto odd = sample_effi_boxes("../../" + outside);
  EXPECT_EQ(lib.save(odd).record, 4u);
  EXPECT_FALSE(std::filesystem::exists(lib.tp.prog.root.parent_path() / outside));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(lib.tp.prog.sys()), {}), 4);  // gt_ym.dat, DlPh.dat, the lock, the journal file
}

TEST(EffiRecords, SummaryUpdatesItsOwnFieldsAndNewRecordsStartCleared) {
  Lib lib;
  // A summary written earlier by the main window (with counterweights and advice).
  DlPhRecord main;
  main.well_name = "W1";
  main.test_date = "0611081230";
  main.crank_blocks = 4;
  main.crank_block_wt = 2.5f;
  main.balance_advice = "上调平衡块";
  main.dn_cs[3] = 9.5f;   // mean active power, not written by this save
  main.dn_cs[7] = 31.0f;  // energy per stroke
  main.reserved_764[10] = 0x5A;
  put_bytes(lib.tp.prog.sys() / "DlPh.dat", main.encode());

  const auto res = lib.save(sample_effi_boxes());
  ASSERT_TRUE(res.summary_saved);
  EXPECT_EQ(res.summary_record, 1u);
  DlPhRecord got;
  ASSERT_TRUE(got.decode(file_bytes(lib.tp.prog.sys() / "DlPh.dat")));
  EXPECT_EQ(trim_blanks(got.cyj_model), "CYJ10-3-37HB");
  EXPECT_EQ(trim_blanks(got.motor_model), "Y250M-8");
  EXPECT_EQ(got.real_stroke, 2.95f);
  EXPECT_EQ(got.real_spm, 5.9f);
  EXPECT_EQ(got.dn_cs[0], 60.5f);
  EXPECT_EQ(got.dn_cs[1], 380.2f);
  EXPECT_EQ(got.dn_cs[2], 25.3f);
  EXPECT_EQ(got.dn_cs[4], 11.2f);
  EXPECT_EQ(got.dn_cs[5], 16.6f);
  EXPECT_EQ(got.dn_cs[6], 0.74f);
  EXPECT_EQ(got.dn_cs[10], 27.1f);
  EXPECT_EQ(got.dn_cs[14], 13.5f);
  EXPECT_EQ(got.sys_effi, 25.2f);
  EXPECT_EQ(got.crank_blocks, 4);
  EXPECT_EQ(got.crank_block_wt, 2.5f);
  EXPECT_EQ(trim_blanks(got.balance_advice), "上调平衡块");
  EXPECT_EQ(got.dn_cs[3], 9.5f);
  EXPECT_EQ(got.dn_cs[7], 31.0f);
  EXPECT_EQ(got.reserved_764[10], 0x5A);

  // Another test: appended, and nothing of the buffer (W1's record) carries over.
  const auto res2 = lib.save(sample_effi_boxes("W2", "0611091000"));
  EXPECT_EQ(res2.summary_record, 2u);
  const auto all = file_bytes(lib.tp.prog.sys() / "DlPh.dat");
  ASSERT_EQ(all.size(), 2 * kDlPhRecordSize);
  DlPhRecord second;
  ASSERT_TRUE(second.decode(Bytes(all.begin() + kDlPhRecordSize, all.end())));
  EXPECT_EQ(trim_blanks(second.well_name), "W2");
  EXPECT_EQ(trim_blanks(second.test_date), "0611091000");
  EXPECT_EQ(second.crank_blocks, 0);
  EXPECT_EQ(second.crank_block_wt, 0.0f);
  EXPECT_EQ(second.crank_block_pos, 0.0f);
  EXPECT_EQ(trim_blanks(second.balance_advice), "");
  EXPECT_EQ(second.dn_cs[3], 0.0f);
  EXPECT_EQ(second.dn_cs[7], 0.0f);
  EXPECT_EQ(second.reserved_764[10], 0);
  EXPECT_EQ(second.dn_cs[1], 380.2f);
}

TEST(EffiRecords, FailedSaveIsReportedAndLeavesTheLibrary) {
  Lib lib;
  ASSERT_TRUE(lib.save(sample_effi_boxes()).saved);
  const auto before = file_bytes(lib.effi());
  std::filesystem::permissions(lib.effi(), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  auto b = sample_effi_boxes();
  b[30] = "99";
  const auto res = lib.save(b);
  EXPECT_FALSE(res.saved);
  EXPECT_EQ(res.record, 0u);
  ASSERT_FALSE(lib.msg.shown.empty());
  EXPECT_NE(lib.msg.shown[0].text.find("未能写入"), std::string::npos);
  EXPECT_EQ(file_bytes(lib.effi()), before);

  // A truncated library is refused as damaged and not rewritten.
  std::filesystem::permissions(lib.effi(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  auto cut = before;
  cut.resize(300);
  put_bytes(lib.effi(), cut);
  lib.msg.shown.clear();
  EXPECT_FALSE(lib.save(b).saved);
  EXPECT_EQ(lib.msg.shown.at(0).text, kBadFormatText);
  EXPECT_EQ(file_bytes(lib.effi()).size(), 300u);

  // The edit flag survives a failed save offered before showing another record.
  bool edit = true;
  std::string text7 = "1";
  lib.msg.answers = {MsgAnswer::Yes};
  EXPECT_EQ(offer_save_edited(edit, text7, lib.effi(), lib.tp.prog, b, lib.buf, lib.msg), EditedSave::Failed);
  EXPECT_TRUE(edit);
  EXPECT_EQ(text7, "1");
}

TEST(EffiRecords, OfferToSaveMovesToTheRecordWritten) {
  Lib lib;
  ASSERT_TRUE(lib.save(sample_effi_boxes("W1")).saved);
  ASSERT_TRUE(lib.save(sample_effi_boxes("W2")).saved);
  bool edit = true;
  std::string text7 = "1";
  lib.msg.answers = {MsgAnswer::Yes};
  EXPECT_EQ(offer_save_edited(edit, text7, lib.effi(), lib.tp.prog, sample_effi_boxes("W3"), lib.buf, lib.msg),
            EditedSave::Saved);
  EXPECT_EQ(lib.msg.shown.at(0).text, "当前记录需要保存吗?");
  EXPECT_EQ(lib.msg.shown.at(0).title, "警告");
  EXPECT_FALSE(edit);
  EXPECT_EQ(text7, "3");
  lib.msg.answers = {MsgAnswer::No};
  edit = true;
  EXPECT_EQ(offer_save_edited(edit, text7, lib.effi(), lib.tp.prog, sample_effi_boxes("W4"), lib.buf, lib.msg),
            EditedSave::Discarded);
  EXPECT_EQ(lib.count(), 3u);
  EXPECT_TRUE(edit);
  // Not edited: no question.
  edit = false;
  lib.msg.shown.clear();
  EXPECT_EQ(offer_save_edited(edit, text7, lib.effi(), lib.tp.prog, sample_effi_boxes("W4"), lib.buf, lib.msg),
            EditedSave::NotEdited);
  EXPECT_TRUE(lib.msg.shown.empty());
}

TEST(EffiRecords, WellAndTestListsAndTheChosenTest) {
  Lib lib;
  ASSERT_TRUE(lib.save(sample_effi_boxes("W2", "0611010800")).saved);
  ASSERT_TRUE(lib.save(sample_effi_boxes("W1", "0611020800")).saved);
  ASSERT_TRUE(lib.save(sample_effi_boxes("W2", "0611030800")).saved);
  // Two records of the same test (written by another program): the later one is chosen.
  auto dup = gt_ym_from_boxes(sample_effi_boxes("W2", "0611010800"));
  dup.vals[kValSysEffi] = "77";
  auto content = file_bytes(lib.effi());
  const Bytes d = dup.encode();
  content.insert(content.end(), d.begin(), d.end());
  put_bytes(lib.effi(), content);

  std::vector<std::string> wells = {"W1 "};
  Find_WellNmae_To_Comb(lib.effi(), wells);
  EXPECT_EQ(wells, (std::vector<std::string>{"W1 ", "W2"}));
  wells.clear();
  Find_WellNmae_To_Comb(lib.effi(), wells);
  EXPECT_EQ(wells, (std::vector<std::string>{"W2", "W1"}));
  EXPECT_EQ(Find_TestTime_To_Comb(lib.effi(), " W2"),
            (std::vector<std::string>{"0611010800", "0611030800", "0611010800"}));
  EXPECT_EQ(find_effi_test(lib.effi(), "W2", "0611010800"), 4u);
  EXPECT_EQ(find_effi_test(lib.effi(), "W2", "0611099999"), 0u);

  // An empty library file lists nothing and stays where it is.
  put_bytes(lib.effi(), {});
  wells.clear();
  Find_WellNmae_To_Comb(lib.effi(), wells);
  EXPECT_TRUE(wells.empty());
  EXPECT_TRUE(Find_TestTime_To_Comb(lib.effi(), "W2").empty());
  EXPECT_TRUE(std::filesystem::exists(lib.effi()));
}

TEST(EffiRecords, ShowRecordByNumber) {
  Lib lib;
  ASSERT_TRUE(lib.save(sample_effi_boxes("W1")).saved);
  ASSERT_TRUE(lib.save(sample_effi_boxes("W2")).saved);
  struct Case {
    const char* text7;
    bool shown;
    const char* well;
  };
  const Case cases[] = {{"2", true, "W2"}, {"1.4", true, "W1"}, {"0", false, ""},
                        {"3", false, ""},  {"", false, ""},      {"abc", false, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text7);
    EffiBoxTexts boxes = sample_effi_boxes("OLD");
    const EffiShown s = EffiRecode_To_Text(lib.effi(), c.text7, boxes);
    EXPECT_EQ(s.shown, c.shown);
    EXPECT_EQ(boxes[0], c.well);
    if (c.shown) {
      EXPECT_EQ(s.well_text, c.well);
      EXPECT_EQ(s.test_text, "0611081230  ");
      EXPECT_EQ(boxes[47], "1200");
    } else {
      for (const auto& t : boxes) EXPECT_EQ(t, "");
    }
  }
}

TEST(EffiRecords, PreviousAndNextStayInTheLibrary) {
  Lib lib;
  for (const char* w : {"A", "B", "C"}) ASSERT_TRUE(lib.save(sample_effi_boxes(w)).saved);
  struct Case {
    int index;
    const char* text7;
    const char* to;
  };
  const Case cases[] = {{0, "1", "1"}, {0, "3", "2"}, {1, "3", "3"}, {1, "1", "2"},
                        {0, "", "1"},  {1, "", "1"},  {0, "9", "3"}, {1, "-4", "1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.index) + " " + c.text7);
    EXPECT_EQ(review_target(c.index, c.text7, lib.effi()), c.to);
  }
  std::filesystem::remove(lib.effi());
  EXPECT_EQ(review_target(1, "1", lib.effi()), "0");
}

TEST(EffiRecords, DeleteKeepsTheOthersInOrder) {
  struct Case {
    const char* text7;
    std::size_t left;
    const char* next;
    std::vector<std::string> wells;
  };
  const Case cases[] = {
      {"3", 4, "3", {"A", "B", "D", "E"}},
      {"5", 4, "4", {"A", "B", "C", "D"}},
      {"1", 4, "1", {"B", "C", "D", "E"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text7);
    Lib lib;
    for (const char* w : {"A", "B", "C", "D", "E"}) ASSERT_TRUE(lib.save(sample_effi_boxes(w)).saved);
    const EffiDeleteResult r = delete_effi_record(lib.effi(), lib.tp.prog, c.text7, lib.msg);
    EXPECT_TRUE(r.deleted);
    EXPECT_EQ(r.Text7, c.next);
    ASSERT_EQ(lib.msg.shown.size(), 1u);
    EXPECT_EQ(lib.msg.shown[0].text, "你确实要删除此记录吗？");
    EXPECT_EQ(lib.msg.shown[0].buttons, MsgButtons::YesNo);
    std::vector<std::string> wells;
    Find_WellNmae_To_Comb(lib.effi(), wells);
    EXPECT_EQ(wells, c.wells);
    // No file is left beside the library (DlPh.dat, the folder's writer lock and its empty journal file).
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(lib.tp.prog.sys()), {}), 4);
  }
}

TEST(EffiRecords, ADeletionIsRefusedPastAnInterruptedSaveThatCannotBeFinished) {
  Lib lib;
  for (const char* w : {"A", "B"}) ASSERT_TRUE(lib.save(sample_effi_boxes(w)).saved);
  const auto before = file_bytes(lib.effi());
  put_bytes(lib.tp.prog.sys() / kSaveJournalName, {'W', 'B', 'S', 'A', 'V', 'E', '2', '\n', 'C'});  // cut short
  lib.msg.answers = {MsgAnswer::Yes};
  EXPECT_FALSE(delete_effi_record(lib.effi(), lib.tp.prog, "1", lib.msg).deleted);
  EXPECT_EQ(file_bytes(lib.effi()), before);
  ASSERT_EQ(lib.msg.shown.size(), 2u);
  EXPECT_NE(lib.msg.shown[1].text.find("上次中断的保存未能完成"), std::string::npos) << lib.msg.shown[1].text;
}

TEST(EffiRecords, DeleteRefusals) {
  Lib lib;
  ASSERT_TRUE(lib.save(sample_effi_boxes("A")).saved);
  // The last record stays, without a question.
  EXPECT_FALSE(delete_effi_record(lib.effi(), lib.tp.prog, "1", lib.msg).deleted);
  EXPECT_TRUE(lib.msg.shown.empty());
  ASSERT_TRUE(lib.save(sample_effi_boxes("B")).saved);
  // No.
  lib.msg.answers = {MsgAnswer::No};
  EXPECT_FALSE(delete_effi_record(lib.effi(), lib.tp.prog, "1", lib.msg).deleted);
  EXPECT_EQ(lib.count(), 2u);
  // No record shown.
  lib.msg.shown.clear();
  EXPECT_FALSE(delete_effi_record(lib.effi(), lib.tp.prog, "", lib.msg).deleted);
  EXPECT_TRUE(lib.msg.shown.empty());
  // A library that cannot be replaced keeps every record and says so.
  const auto before = file_bytes(lib.effi());
  std::filesystem::permissions(lib.effi(), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  const EffiDeleteResult r = delete_effi_record(lib.effi(), lib.tp.prog, "2", lib.msg);
  EXPECT_FALSE(r.deleted);
  EXPECT_EQ(r.Text7, "2");
  ASSERT_EQ(lib.msg.shown.size(), 2u);
  EXPECT_NE(lib.msg.shown[1].text.find("未能删除"), std::string::npos);
  EXPECT_EQ(file_bytes(lib.effi()), before);
}

TEST(EffiRecords, LibraryBoxes) {
  Lib lib;
  const auto dir = lib.tp.prog.sys();
  put_bytes(dir / "good.dat", Bytes(2 * 512, ' '));
  put_bytes(dir / "bad.dat", Bytes(700, ' '));
  put_bytes(dir / "empty.dat", {});
  struct Case {
    std::string text;
    EffiLibrary which;
    LibraryBoxCheck result;
  };
  const Case cases[] = {
      {"", EffiLibrary::Efficiency, LibraryBoxCheck::Ignored},
      {path_text(dir / "missing.dat"), EffiLibrary::Card, LibraryBoxCheck::Ignored},
      {path_text(dir), EffiLibrary::Card, LibraryBoxCheck::Ignored},
      {" " + path_text(dir / "good.dat") + " ", EffiLibrary::Card, LibraryBoxCheck::Accepted},
      {path_text(dir / "good.dat"), EffiLibrary::PowerCurve, LibraryBoxCheck::Accepted},
      {path_text(dir / "good.dat"), EffiLibrary::Efficiency, LibraryBoxCheck::Refused},
      {path_text(dir / "bad.dat"), EffiLibrary::Card, LibraryBoxCheck::Refused},
      {path_text(dir / "empty.dat"), EffiLibrary::Efficiency, LibraryBoxCheck::Accepted},
  };
  // An efficiency library outside sys and data: accepted, and said (no save can write it).
  put_bytes(lib.tp.prog.root / "elsewhere.dat", {});
  lib.msg.shown.clear();
  std::filesystem::path elsewhere;
  EXPECT_EQ(check_library_box(path_text(lib.tp.prog.root / "elsewhere.dat"), EffiLibrary::Efficiency, lib.tp.prog,
                              elsewhere, lib.msg),
            LibraryBoxCheck::Accepted);
  ASSERT_EQ(lib.msg.shown.size(), 1u);
  EXPECT_EQ(lib.msg.shown[0].text, library_outside_sets_text(path_text(lib.tp.prog.root / "elsewhere.dat")));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    lib.msg.shown.clear();
    std::filesystem::path accepted = "before";
    EXPECT_EQ(check_library_box(c.text, c.which, lib.tp.prog, accepted, lib.msg), c.result);
    if (c.result == LibraryBoxCheck::Refused) {
      ASSERT_EQ(lib.msg.shown.size(), 1u);
      EXPECT_EQ(lib.msg.shown[0].text, "非法的文件格式!");
      EXPECT_EQ(lib.msg.shown[0].title, "不能打开!");
      EXPECT_EQ(accepted, "before");
    } else {
      EXPECT_TRUE(lib.msg.shown.empty());
    }
  }
  // The empty library the user picked is still there after listing it.
  std::vector<std::string> wells;
  Find_WellNmae_To_Comb(dir / "empty.dat", wells);
  EXPECT_TRUE(std::filesystem::exists(dir / "empty.dat"));

  const FileDialogRequest req = library_dialog_request(lib.tp.prog, EffiLibrary::PowerCurve);
  EXPECT_EQ(req.title, "打开电力曲线库");
  EXPECT_EQ(req.filter, "电力曲线数据文件(*.dat)|*.dat|所有文件(*.*)|*.*");
  EXPECT_EQ(req.initial_dir, path_text(dir));
  EXPECT_EQ(req.file_name, "");
}

}  // namespace
}  // namespace wb
