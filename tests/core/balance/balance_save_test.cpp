// The counterbalance save: its three records go to disk together, and the stored record it
// asks about is the one the library holds once its save set is open.
#include <gtest/gtest.h>

#include <filesystem>

#include "../common/journal_folder.h"
#include "../efficiency/effi_test_util.h"
#include "core/balance/balance_save.h"
#include "core/common/messages.h"
#include "core/common/record_store.h"
#include "core/workbench/dlph_summary.h"
#include "../workbench/temp_program_folder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

struct Save {
  test::TempProgram tp;
  HeldStroke held;
  ParameterBoxes boxes{};
  test::ScriptedMessages msg;
  fs::path lib = phfx_path(tp.prog);
  fs::path base = tp.prog.sys() / kWellBaseFileName, sum = tp.prog.sys() / kDlPhFileName;
  Save() {
    held.Cur_Well = "W1";
    held.Cur_Test = "200601011200";
    boxes[0] = "4";
  }
  BalanceSaveResult run() { return save_balance_test(tp.prog, lib, {held, boxes, BalanceMode::Crank, "", "advice"}, msg); }
  std::size_t count(const fs::path& p, std::size_t len) const {
    std::size_t n = 0;
    EXPECT_EQ(RecordStore(p, len).count(n), StoreStatus::Ok);
    return n;
  }
};

TEST(BalanceSave, AllThreeRecordsOrNone) {
  Save s;
  // A balance library marked read-only: nothing is written anywhere, and the library is named.
  ASSERT_TRUE(write_file_atomic(s.lib, {}));
  fs::permissions(s.lib, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  BalanceSaveResult r = s.run();
  EXPECT_EQ(r.record, 0u);
  ASSERT_EQ(s.msg.shown.size(), 1u);
  EXPECT_EQ(s.msg.shown[0].text.rfind(std::string(kBalanceSaveFailedText) + "\n", 0), 0u);
  EXPECT_NE(s.msg.shown[0].text.find("phfx.dat"), std::string::npos) << s.msg.shown[0].text;
  EXPECT_FALSE(fs::exists(s.base));
  EXPECT_FALSE(fs::exists(s.sum));

  fs::permissions(s.lib, fs::perms::owner_write, fs::perm_options::add);
  s.msg.shown.clear();
  r = s.run();
  EXPECT_EQ(r.record, 1u);
  EXPECT_EQ(r.stored.crank_blocks, 4);
  EXPECT_EQ(s.count(s.lib, kPhfxRecordSize), 1u);
  EXPECT_EQ(s.count(s.base, kWellBaseRecordSize), 1u);
  EXPECT_EQ(s.count(s.sum, kDlPhRecordSize), 1u);
  EXPECT_TRUE(s.msg.shown.empty());
  EXPECT_FALSE(save_pending(s.tp.prog.sys() / kSaveJournalName));

  // An interrupted save that cannot be finished refuses the save, and the refusal says so.
  ASSERT_TRUE(write_file_atomic(s.tp.prog.sys() / kSaveJournalName, {'W', 'B'}));
  r = s.run();
  EXPECT_EQ(r.record, 0u);
  ASSERT_EQ(s.msg.shown.size(), 1u);
  EXPECT_NE(s.msg.shown[0].text.find("上次中断的保存未能完成"), std::string::npos) << s.msg.shown[0].text;
}

// Another save of the test, committed but left unfinished, is completed when the set opens:
// the save asks about that record and, answered No, leaves it the library's only one; Yes
// overwrites it in place, keeping its reserved bytes.
TEST(BalanceSave, AsksAboutTheRecordTheLibraryHoldsOnceTheSetIsOpen) {
  Save s;
  PhfxRecord theirs;
  theirs.well_name = s.held.Cur_Well;
  theirs.test_date = s.held.Cur_Test;
  theirs.reserved_100.fill(0x5A);
  test::plant_committed_save(s.tp.prog.root, "sys/phfx.dat", theirs.encode());
  s.msg.answers.push_back(MsgAnswer::No);
  EXPECT_EQ(s.run().record, 0u);
  ASSERT_EQ(s.msg.shown.size(), 1u);
  EXPECT_EQ(s.msg.shown[0].text, "W1井本次测试的平衡分析已有记录，要覆盖吗？");
  EXPECT_EQ(s.msg.shown[0].title, kWarningTitle);
  EXPECT_EQ(s.count(s.lib, kPhfxRecordSize), 1u);
  EXPECT_FALSE(fs::exists(s.base));

  const BalanceSaveResult r = s.run();  // Yes
  EXPECT_EQ(r.record, 1u);
  EXPECT_EQ(s.count(s.lib, kPhfxRecordSize), 1u);
  PhfxRecord back;
  ASSERT_EQ(read_phfx(s.lib, 1, back), StoreStatus::Ok);
  EXPECT_EQ(back.crank_blocks, 4);
  EXPECT_EQ(back.reserved_100, theirs.reserved_100);
}

}  // namespace
}  // namespace wb
