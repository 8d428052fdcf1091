#include "core/balance/balance_save.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/common/dlph_record.h"
#include "core/common/messages.h"
#include "core/common/record_limit.h"
#include "core/common/trim.h"
#include "core/efficiency/well_base_record.h"

namespace wb {

namespace {

void show_failed(MessageService& msg, const std::string& cause) {
  msg.show(std::string(kBalanceSaveFailedText) + "\n" + cause + "。", "");
}

}  // namespace

BalanceSaveResult save_balance_test(const ProgramFolder& prog, const std::filesystem::path& lib,
                                    const BalanceSaveInput& in, MessageService& msg) {
  const HeldStroke& h = in.held;
  BalanceWellBaseSource wb_src;
  wb_src.Cur_Well = h.Cur_Well;
  wb_src.Cur_Test = h.Cur_Test;
  std::copy(in.boxes.begin(), in.boxes.end(), wb_src.Text2.begin());
  wb_src.Comb_Cyj_Mode = in.cyj_model;
  wb_src.balance_mode = std::max(0, static_cast<int>(in.mode));

  SaveSet set(prog.sys() / kSaveJournalName, "平衡分析记录，井 " + h.Cur_Well + "，测试 " + h.Cur_Test);
  if (set.opened() != StoreStatus::Ok) {
    show_failed(msg, set.cause());
    return {};
  }
  // A library the record limit refuses is named before anything is asked or written.
  const std::vector<RoomCheck> rooms = {
      {RecordStore(well_base_path(prog), kWellBaseRecordSize), well_base_key_match(h.Cur_Well, h.Cur_Test),
       kWellBaseLibraryName},
      {RecordStore(lib, kPhfxRecordSize), phfx_key_match(h.Cur_Well, h.Cur_Test), kPhfxLibraryName},
      {RecordStore(prog.sys() / kDlPhFileName, kDlPhRecordSize), balance_summary_key_match(h.Cur_Well, h.Cur_Test),
       kDlPhLibraryName}};
  if (const std::optional<std::string> refusal = limit_refusal(rooms)) {
    msg.show(*refusal + "\n平衡分析记录、井基础数据和汇总数据都未保存，原有数据保持不变。", "保存", MsgButtons::Ok,
             MsgIcon::Warning);
    return {};
  }
  // The record of the test as the library holds it now, the writer lock held until the commit.
  BalanceSaveResult out;
  std::size_t found = 0;
  const StoreStatus st = find_phfx(lib, h.Cur_Well, h.Cur_Test, out.stored, found);
  if (st == StoreStatus::Damaged) {
    msg.show(kBadFormatText, kBadFormatTitle);
    return {};
  }
  if (st != StoreStatus::Ok) {
    show_failed(msg, path_text(lib) + " 不能读取");
    return {};
  }
  if (found && !msg.ask_yes_no(trim_blanks(h.Cur_Well) + "井本次测试的平衡分析已有记录，要覆盖吗？", kWarningTitle))
    return {};
  if (!found) out.stored = PhfxRecord{};
  // Every field of both records is checked before anything is written.
  WellBaseRecord scratch;
  std::optional<std::string> bad = fill_phfx(out.stored, h, in.boxes, in.mode, in.cyj_model);
  if (!bad) bad = fill_well_base_balance(scratch, wb_src);
  if (bad) {
    msg.show("“" + *bad + "”的数值超出了记录能保存的范围，请修改后再保存！", "");
    return {};
  }
  if (Save_WellBase(prog, wb_src, msg).outcome != SaveOutcome::Saved) return {};  // it has said why
  RecordStore store(lib, kPhfxRecordSize);
  std::size_t target = found;
  if (!target && store.count(target) == StoreStatus::Ok) ++target;
  if (!target || store.write(target, out.stored.encode()) != StoreStatus::Ok) {
    show_failed(msg, path_text(lib) + " 不能读取或写入");
    return {};
  }
  if (save_balance_summary(prog, h.Cur_Well, h.Cur_Test, in.boxes, in.advice) != StoreStatus::Ok) {
    show_failed(msg, path_text(prog.sys() / kDlPhFileName) + " 不能读取或写入");
    return {};
  }
  if (set.commit() != StoreStatus::Ok) {
    show_failed(msg, set.cause());
    return {};
  }
  out.record = target;
  return out;
}

}  // namespace wb
