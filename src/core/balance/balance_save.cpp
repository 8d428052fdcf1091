#include "core/balance/balance_save.h"

#include "core/common/dlph_record.h"
#include "core/common/record_limit.h"

namespace wb {

BalanceSaveResult save_balance_records(const ProgramFolder& prog, const std::filesystem::path& lib, std::size_t found,
                                       const PhfxRecord& rec, const BalanceWellBaseSource& wb_src,
                                       const ParameterBoxes& t, const std::string& advice, MessageService& msg) {
  SaveSet set(prog.sys() / kSaveJournalName, "平衡分析记录，井 " + wb_src.Cur_Well + "，测试 " + wb_src.Cur_Test);
  if (set.opened() != StoreStatus::Ok) return {0, false, set.cause()};
  // A library the record limit refuses is named before any of the three is written.
  const std::vector<RoomCheck> rooms = {
      {RecordStore(well_base_path(prog), kWellBaseRecordSize), well_base_key_match(wb_src.Cur_Well, wb_src.Cur_Test),
       kWellBaseLibraryName},
      {RecordStore(lib, kPhfxRecordSize), phfx_key_match(wb_src.Cur_Well, wb_src.Cur_Test), kPhfxLibraryName},
      {RecordStore(prog.sys() / kDlPhFileName, kDlPhRecordSize),
       balance_summary_key_match(wb_src.Cur_Well, wb_src.Cur_Test), kDlPhLibraryName}};
  if (const std::optional<std::string> refusal = limit_refusal(rooms)) {
    msg.show(*refusal + "\n平衡分析记录、井基础数据和汇总数据都未保存，原有数据保持不变。", "保存", MsgButtons::Ok,
             MsgIcon::Warning);
    return {0, true, {}};
  }
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
