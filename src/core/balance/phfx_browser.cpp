#include "core/balance/phfx_browser.h"

#include <algorithm>
#include <system_error>
#include <unordered_set>

#include "core/common/messages.h"
#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"

namespace wb {

namespace {

// Terms 0..30 of a curve block are computed when a record is stored (the last is kept as read).
constexpr std::size_t kLoadTermsKept = 31;

}  // namespace

LibraryBoxCheck check_phfx_library_box(const std::string& text, const ProgramFolder& prog, std::filesystem::path& accepted,
                                       MessageService& msg) {
  const std::string name = trim_blanks(text);
  std::error_code ec;
  if (name.empty() || !std::filesystem::is_regular_file(u8path(name), ec)) return LibraryBoxCheck::Ignored;
  std::size_t n = 0;
  const StoreStatus counted = RecordStore(u8path(name), kPhfxRecordSize).count(n);
  if (counted == StoreStatus::Damaged) {
    msg.show(kBadFormatText, kBadFormatTitle);
    return LibraryBoxCheck::Refused;
  }
  // Records past the 16-bit numbers could be neither listed nor shown by number.
  if (counted == StoreStatus::Ok && n > kMaxLibraryRecords) {
    msg.show(over_limit_text(u8path(name), n), kBadFormatTitle);
    return LibraryBoxCheck::Refused;
  }
  accepted = u8path(name);
  // The save writes the well base and summary records with it: a library elsewhere is refused then.
  if (!joins_save_sets(accepted, prog.sys() / kSaveJournalName))
    msg.show(library_outside_sets_text(path_text(accepted)), kNoticeTitle, MsgButtons::Ok, MsgIcon::Warning);
  return LibraryBoxCheck::Accepted;
}

std::vector<std::string> phfx_wells_to_add(const std::filesystem::path& lib, const std::vector<std::string>& listed) {
  std::vector<std::string> wells, add;
  if (phfx_wells(lib, wells) != StoreStatus::Ok) return add;
  const std::unordered_set<std::string> have(listed.begin(), listed.end());
  for (const std::string& w : wells)
    if (!have.count(w)) add.push_back(w);
  return add;
}

std::size_t phfx_record_of(const std::filesystem::path& lib, const std::string& well, const std::string& test) {
  PhfxRecord own;  // the search reads into a buffer of its own
  std::size_t found = 0;
  return find_phfx(lib, well, test, own, found) == StoreStatus::Ok ? found : 0;
}

PhfxShown show_phfx_record(const std::filesystem::path& lib, const std::string& Text7, bool keep_load, PhfxRecord& held) {
  PhfxShown out;
  std::size_t count = 0;
  if (RecordStore(lib, kPhfxRecordSize).count(count) != StoreStatus::Ok) return out;
  const long long r = record_number_of(Text7);
  if (!names_record(r, count)) return out;
  const PhfxRecord kept = held;
  if (read_phfx(lib, static_cast<std::size_t>(r), held) != StoreStatus::Ok) return out;
  out.shown = true;
  if (keep_load) {
    std::copy_n(kept.gg_sin.begin(), kLoadTermsKept, held.gg_sin.begin());
    std::copy_n(kept.gg_cos.begin(), kLoadTermsKept, held.gg_cos.begin());
    out.load_kept = true;
  }
  return out;
}

std::optional<std::size_t> phfx_review_target(const std::filesystem::path& lib, const std::string& Text7, int index) {
  std::size_t count = 0;
  if (RecordStore(lib, kPhfxRecordSize).count(count) != StoreStatus::Ok) return std::nullopt;
  return step_target(record_number_of(Text7), index == 0 ? -1 : 1, count);
}

PhfxDeleteResult delete_phfx_record(const std::filesystem::path& lib, const ProgramFolder& prog, const std::string& Text7,
                                    MessageService& msg) {
  PhfxDeleteResult out;
  RecordStore store(lib, kPhfxRecordSize);
  std::size_t count = 0;
  if (store.count(count) != StoreStatus::Ok) return out;
  const DeleteTarget t =
      delete_target(record_number_of(Text7), count, {.keeps_last_record = false, .asks_first = true}, msg);
  if (!t.record) return out;
  std::string cause;
  if (remove_as_save(store, t.record, prog.sys() / kSaveJournalName, "平衡分析记录删除", cause) != StoreStatus::Ok) {
    msg.show(records_not_deleted_text(path_text(lib), cause), kDeleteFailedTitle, MsgButtons::Ok, MsgIcon::Warning);
    return out;
  }
  out.deleted = true;
  out.next = shown_after_delete(t.record, count);
  out.same_number = out.next == t.record;
  return out;
}

bool delete_phfx_rows(const std::filesystem::path& lib, int first, int last, int row, MessageService& msg) {
  const std::string question = first == last ? delete_records_question(row, row) : delete_records_question(first, last);
  if (!msg.ask_yes_no(question, kWarningTitle)) return false;
  // One record: the grid's current row; a range: its selected rows.
  const std::size_t a = static_cast<std::size_t>(std::max(first == last ? row : first, 0));
  const std::size_t b = static_cast<std::size_t>(std::max(first == last ? row : last, 0));
  const StoreStatus st = delete_phfx_range(lib, a, b, 0);
  if (st == StoreStatus::Damaged) {
    msg.show(kBadFormatText, kBadFormatTitle);
    return false;
  }
  if (st != StoreStatus::Ok) {
    msg.show(records_not_deleted_text(path_text(lib)), kDeleteFailedTitle, MsgButtons::Ok, MsgIcon::Warning);
    return false;
  }
  return true;
}

}  // namespace wb
