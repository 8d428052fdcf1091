#include "core/balance/balance_save.h"

namespace wb {

BalanceSaveResult save_balance_records(const ProgramFolder& prog, const std::filesystem::path& lib, std::size_t found,
                                       const PhfxRecord& rec, const BalanceWellBaseSource& wb_src,
                                       const ParameterBoxes& t, const std::string& advice, MessageService& msg) {
  SaveSet set(prog.sys() / kSaveJournalName);
  if (set.opened() != StoreStatus::Ok) return {};
  if (Save_WellBase(prog, wb_src, msg).outcome != SaveOutcome::Saved) return {0, true};
  RecordStore store(lib, kPhfxRecordSize);
  std::size_t target = found;
  if (!target && store.count(target) == StoreStatus::Ok) ++target;
  if (!target || store.write(target, rec.encode()) != StoreStatus::Ok ||
      save_balance_summary(prog, wb_src.Cur_Well, wb_src.Cur_Test, t, advice) != StoreStatus::Ok)
    return {};
  if (set.commit() != StoreStatus::Ok) return {};
  return {target, false};
}

}  // namespace wb
