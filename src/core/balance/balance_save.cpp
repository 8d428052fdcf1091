#include "core/balance/balance_save.h"

#include "core/common/dlph_record.h"

namespace wb {

BalanceSaveResult save_balance_records(const ProgramFolder& prog, const std::filesystem::path& lib, std::size_t found,
                                       const PhfxRecord& rec, const BalanceWellBaseSource& wb_src,
                                       const ParameterBoxes& t, const std::string& advice, MessageService& msg) {
  SaveSet set(prog.sys() / kSaveJournalName, "平衡分析记录，井 " + wb_src.Cur_Well + "，测试 " + wb_src.Cur_Test);
  if (set.opened() != StoreStatus::Ok) return {0, false, set.cause()};
  if (Save_WellBase(prog, wb_src, msg).outcome != SaveOutcome::Saved) return {0, true, {}};
  RecordStore store(lib, kPhfxRecordSize);
  std::size_t target = found;
  if (!target && store.count(target) == StoreStatus::Ok) ++target;
  if (!target || store.write(target, rec.encode()) != StoreStatus::Ok)
    return {0, false, path_text(lib) + " 不能读取或写入"};
  if (save_balance_summary(prog, wb_src.Cur_Well, wb_src.Cur_Test, t, advice) != StoreStatus::Ok)
    return {0, false, path_text(prog.sys() / kDlPhFileName) + " 不能读取或写入"};
  if (set.commit() != StoreStatus::Ok) return {0, false, set.cause()};
  return {target, false, {}};
}

}  // namespace wb
