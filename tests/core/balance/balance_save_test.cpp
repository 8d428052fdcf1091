// The counterbalance save's three records go to disk together: a balance library that cannot
// be written leaves the well base and summary libraries as they were.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/balance/balance_save.h"
#include "core/common/record_store.h"
#include "core/workbench/dlph_summary.h"
#include "../workbench/temp_program_folder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

struct AnswerYes : MessageService {
  int shown = 0;
  MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon) override {
    ++shown;
    return MsgAnswer::Yes;
  }
};

TEST(BalanceSave, AllThreeRecordsOrNone) {
  test::TempProgram tp;
  BalanceWellBaseSource src;
  src.Cur_Well = "W1";
  src.Cur_Test = "200601011200";
  src.Text2[0] = "4";
  ParameterBoxes boxes{};
  std::copy(src.Text2.begin(), src.Text2.end(), boxes.begin());
  PhfxRecord rec;
  rec.well_name = src.Cur_Well;
  rec.test_date = src.Cur_Test;
  AnswerYes msg;
  const fs::path lib = phfx_path(tp.prog);
  const fs::path base = tp.prog.sys() / kWellBaseFileName, sum = tp.prog.sys() / kDlPhFileName;

  // A balance library marked read-only: nothing is written anywhere.
  ASSERT_TRUE(write_file_atomic(lib, {}));
  fs::permissions(lib, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  BalanceSaveResult r = save_balance_records(tp.prog, lib, 0, rec, src, boxes, "advice", msg);
  EXPECT_EQ(r.record, 0u);
  EXPECT_FALSE(r.reported);
  EXPECT_NE(r.cause.find("phfx.dat"), std::string::npos) << r.cause;
  EXPECT_FALSE(fs::exists(base));
  EXPECT_FALSE(fs::exists(sum));

  fs::permissions(lib, fs::perms::owner_write, fs::perm_options::add);
  r = save_balance_records(tp.prog, lib, 0, rec, src, boxes, "advice", msg);
  EXPECT_EQ(r.record, 1u);
  std::size_t n = 0;
  for (const auto& [p, len] : {std::pair{lib, kPhfxRecordSize}, std::pair{base, kWellBaseRecordSize},
                               std::pair{sum, kDlPhRecordSize}}) {
    ASSERT_EQ(RecordStore(p, len).count(n), StoreStatus::Ok);
    EXPECT_EQ(n, 1u) << p.filename();
  }
  EXPECT_EQ(msg.shown, 0);
  EXPECT_FALSE(save_pending(tp.prog.sys() / kSaveJournalName));

  // An interrupted save that cannot be finished refuses the save, and the refusal says so.
  ASSERT_TRUE(write_file_atomic(tp.prog.sys() / kSaveJournalName, {'W', 'B'}));
  r = save_balance_records(tp.prog, lib, 1, rec, src, boxes, "advice", msg);
  EXPECT_EQ(r.record, 0u);
  EXPECT_NE(r.cause.find("上次中断的保存未能完成"), std::string::npos) << r.cause;
}

}  // namespace
}  // namespace wb
