#include "core/efficiency/effi_records.h"

#include <cmath>
#include <optional>
#include <tuple>
#include <unordered_set>

#include "core/charts/data_type.h"
#include "core/common/dlph_record.h"
#include "core/common/gbk.h"
#include "core/common/kept_listing.h"
#include "core/common/layout_keys.h"
#include "core/common/number_text.h"
#include "core/common/record_fields.h"
#include "core/common/record_browser.h"
#include "core/common/record_keys.h"
#include "core/common/record_limit.h"
#include "core/common/test_records.h"
#include "core/common/trim.h"
#include "core/records/gt_ym_checks.h"
#include "core/records/gt_ym_fields.h"
#include "core/efficiency/sys_effi_state.h"
#include "core/common/messages.h"

namespace wb {

using namespace effi_box;  // Text1 by name

namespace fs = std::filesystem;

namespace {

constexpr const GtYmField& kWellKey = kGtYmWellField;
constexpr const GtYmField& kTestKey = kGtYmTestField;

// The key the boxes give, as stored.
std::pair<std::string, std::string> key_of(const EffiBoxTexts& t) {
  return {stored_blank_key(t[kWellKey.box], kWellKey.width), stored_blank_key(t[kTestKey.box], kTestKey.width)};
}

// Whether a record holds the key the boxes give: its two fields read back, blanks trimmed.
KeyMatch effi_key_match(const EffiBoxTexts& t) {
  auto [well, test] = key_of(t);
  return KeyMatch({{{kWellKey.offset, kWellKey.width}, std::move(well)}, {{kTestKey.offset, kTestKey.width}, std::move(test)}},
                  KeyTrim::Blanks);
}

// Whether a summary record holds the key the boxes give.
KeyMatch summary_key_match(const EffiBoxTexts& t) {
  static const RecordKeyFields kSummaryKeys = record_key_fields(DlPhRecord::layout());
  return dlph_key_match(stored_key(t[kWell], kSummaryKeys.well().length),
                        stored_key(t[kTestTime], kSummaryKeys.test().length));
}

void report_store_failure(StoreStatus st, const std::string& what, const fs::path& lib, MessageService& msg) {
  if (st == StoreStatus::Damaged)
    msg.show(kBadFormatText, kBadFormatTitle);
  else
    msg.show(library_not_written_text(what, path_text(lib)), kSaveTitle, MsgButtons::Ok,
             MsgIcon::Warning);
}

// A set that could not be opened: nothing is saved, and the message says why.
void report_refused_set(const SaveSet& set, MessageService& msg) {
  msg.show("数据未保存：" + set.cause() + "。", kSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
}

// Writes what the set gathered; a failure is reported with its cause and every library
// stays as it was.
bool commit_or_report(SaveSet& set, MessageService& msg) {
  if (set.commit() == StoreStatus::Ok) return true;
  msg.show("数据未能写入（" + set.cause() + "），原有数据保持不变。", kSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
  return false;
}

// What a save of the boxes is called should it have to be set aside.
std::string save_description(const EffiBoxTexts& t) {
  return "系统效率数据，井 " + trim_blanks(t[kWell]) + "，测试 " + trim_blanks(t[kTestTime]);
}

// What the user is told when a save of the boxes wrote nothing.
constexpr const char* kNothingSavedText = "本次测试的系统效率数据和汇总数据都未保存，原有数据保持不变。";
constexpr const char* kNothingSavedWithBaseText =
    "本次测试的系统效率数据、汇总数据和井基础数据都未保存，原有数据保持不变。";

// The libraries a save of the boxes writes, each with the key it stores: the efficiency
// record, its summary and, with `well_base`, the well base record.
std::vector<RoomCheck> effi_rooms(const fs::path& Effi_File, const ProgramFolder& prog, const EffiBoxTexts& Text1,
                                  bool well_base) {
  std::vector<RoomCheck> rooms;
  rooms.push_back({RecordStore(Effi_File, kGtYmRecordSize), effi_key_match(Text1), kGtYmLibraryName});
  rooms.push_back({RecordStore(prog.sys() / kDlPhFileName, kDlPhRecordSize), summary_key_match(Text1), kDlPhLibraryName});
  if (well_base)
    rooms.push_back({RecordStore(well_base_path(prog), kWellBaseRecordSize),
                     well_base_key_match(Text1[kWell], Text1[kTestTime]), kWellBaseLibraryName});
  return rooms;
}

// True, after saying which library and that nothing was saved, when a library of the save
// cannot take its record (core/common/record_limit.h).
bool refused_by_limit(const fs::path& Effi_File, const ProgramFolder& prog, const EffiBoxTexts& Text1, bool well_base,
                      MessageService& msg) {
  const std::optional<std::string> refusal = limit_refusal(effi_rooms(Effi_File, prog, Text1, well_base));
  if (!refusal) return false;
  msg.show(*refusal + "\n" + (well_base ? kNothingSavedWithBaseText : kNothingSavedText), kSaveTitle, MsgButtons::Ok,
           MsgIcon::Warning);
  return true;
}

}  // namespace

GtYmRecord gt_ym_from_boxes(const EffiBoxTexts& Text1) {
  GtYmRecord rec;
  for (std::size_t i = 0; i < kGtYmFieldCount; ++i) {
    const GtYmField& f = kGtYmFields[i];
    std::string& v = gt_ym_field_text(rec, i);
    v = trim_blanks(Text1[f.box]);
    if (f.box2 != kNoBox) v += "/" + trim_blanks(Text1[f.box2]);
  }
  rec.crlf = {13, 10};
  return rec;
}

void gt_ym_to_boxes(const GtYmRecord& rec, EffiBoxTexts& Text1) {
  for (std::size_t i = 0; i < kGtYmFieldCount; ++i) {
    const GtYmField& f = kGtYmFields[i];
    const std::string& v = gt_ym_field_text(rec, i);
    if (f.box2 == kNoBox) {
      Text1[f.box] = trim_blanks(v);
      continue;
    }
    // Typed in two boxes: split at the first "/"; without one both are empty.
    const std::size_t slash = v.find('/');
    Text1[f.box] = slash == std::string::npos ? std::string() : trim_blanks(v.substr(0, slash));
    Text1[f.box2] = slash == std::string::npos ? std::string() : trim_blanks(v.substr(slash + 1));
  }
}

std::size_t update_effi_summary(const ProgramFolder& prog, const EffiBoxTexts& Text1, DlPhRecord& DlPh_Rec,
                                StoreStatus& status) {
  RecordStore store(prog.sys() / kDlPhFileName, kDlPhRecordSize);
  // Only the key bytes of each record are compared; only the record found is read whole.
  std::size_t found = 0, count = 0;
  status = store.find(summary_key_match(Text1), found);
  if (status == StoreStatus::Ok) status = store.count(count);
  if (status == StoreStatus::Ok && found) {
    Bytes b;
    status = store.read(found, b);
    std::ignore = DlPh_Rec.decode(b);  // read whole, or the save stops below
  }
  if (status != StoreStatus::Ok) return 0;
  if (!found) {
    // A new record starts cleared: the buffer holds the last record read, another test's
    // counterweights, advice and energy values.
    DlPh_Rec = DlPhRecord{};
    DlPh_Rec.well_name = Trim_Blank_Nul(Text1[kWell]);
    DlPh_Rec.test_date = Trim_Blank_Nul(Text1[kTestTime]);
  }
  auto val = [&](std::size_t box) { return static_cast<float>(num_val(Text1[box])); };
  DlPh_Rec.cyj_model = Trim_Blank_Nul(Text1[kCyjModel]);
  DlPh_Rec.motor_model = Trim_Blank_Nul(Text1[kMotorModel]);
  DlPh_Rec.real_stroke = val(kRealStroke);
  DlPh_Rec.real_spm = val(kRealSpm);
  DlPh_Rec.dn_cs[kDnCsPumpEffi] = val(kPumpEffi);
  DlPh_Rec.dn_cs[kDnCsAvgVoltage] = val(kMeanVoltage);
  DlPh_Rec.dn_cs[kDnCsAvgCurrent] = val(kMeanCurrent);
  DlPh_Rec.dn_cs[kDnCsReactivePower] = val(kReactivePower);
  DlPh_Rec.dn_cs[kDnCsApparentPower] = val(kApparentPower);
  DlPh_Rec.dn_cs[kDnCsPowerFactor] = val(kPowerFactor);
  DlPh_Rec.dn_cs[kDnCsRmsCurrent] = val(kRmsCurrent);
  DlPh_Rec.dn_cs[kDnCsRmsPower] = val(kRmsPower);
  DlPh_Rec.sys_effi = val(kSysEffi);
  const std::size_t target = found ? found : count + 1;
  status = store.write(target, DlPh_Rec.encode());
  return status == StoreStatus::Ok ? target : 0;
}

EffiSaveResult Save_Effi_Data(const fs::path& Effi_File, const ProgramFolder& prog, const EffiBoxTexts& Text1,
                              DlPhRecord& DlPh_Rec, MessageService& msg) {
  // The two records go to disk together (or join the caller's set).
  std::optional<SaveSet> own;
  if (!SaveSet::current()) own.emplace(prog.sys() / kSaveJournalName, save_description(Text1));
  if (own && own->opened() != StoreStatus::Ok) {
    report_refused_set(*own, msg);
    return {};
  }
  // Neither record is written when either library cannot take it.
  if (refused_by_limit(Effi_File, prog, Text1, false, msg)) return {};
  EffiSaveResult out;
  RecordStore store(Effi_File, kGtYmRecordSize);
  std::size_t found = 0, count = 0;
  StoreStatus st = store.find(effi_key_match(Text1), found);
  if (st == StoreStatus::Ok) st = store.count(count);
  if (st == StoreStatus::Ok) {
    const std::size_t target = found ? found : count + 1;
    st = store.write(target, gt_ym_from_boxes(Text1).encode());
    if (st == StoreStatus::Ok) {
      out.saved = true;
      out.record = target;
      out.appended = found == 0;
    }
  }
  if (!out.saved) report_store_failure(st, "系统效率数据", Effi_File, msg);

  StoreStatus sst = StoreStatus::Ok;
  out.summary_record = update_effi_summary(prog, Text1, DlPh_Rec, sst);
  out.summary_saved = out.summary_record > 0;
  if (!out.summary_saved) report_store_failure(sst, "功率平衡汇总数据", prog.sys() / kDlPhFileName, msg);
  if (own && !commit_or_report(*own, msg)) return {};
  return out;
}

EffiTestSaveResult save_effi_test(const fs::path& Effi_File, const ProgramFolder& prog, const EffiBoxTexts& Text1,
                                  DlPhRecord& DlPh_Rec, const EffiWellBaseSource* well_base, MessageService& msg) {
  EffiTestSaveResult out;
  SaveSet set(prog.sys() / kSaveJournalName, save_description(Text1));
  if (set.opened() != StoreStatus::Ok) {
    report_refused_set(set, msg);
    return out;
  }
  // A library at the record limit refuses the test before anything is asked or written.
  if (refused_by_limit(Effi_File, prog, Text1, well_base != nullptr, msg)) {
    if (well_base) out.well_base.outcome = SaveOutcome::Full;
    return out;
  }
  if (well_base) {
    // One question before anything is written, whichever library already holds the test.
    std::size_t in_effi = 0, in_base = 0;
    // A library that cannot be read or is damaged finds nothing here: the save below meets
    // the same library and reports it without writing. The set keeps what each find found,
    // so the save below does not look again.
    static_cast<void>(RecordStore(Effi_File, kGtYmRecordSize).find(effi_key_match(Text1), in_effi));
    WellBaseRecord rec;
    static_cast<void>(find_well_base(well_base_path(prog), Text1[kWell], Text1[kTestTime], rec, in_base));
    if ((in_effi || in_base) && !msg.ask_yes_no(test_overwrite_question(trim_blanks(Text1[kWell])), kWarningTitle)) {
      out.declined = true;
      return out;
    }
    // A well base record with values no window writes is stored only when the user says so.
    const std::vector<std::string> doubts = well_base_save_doubts(prog, *well_base);
    if (!doubts.empty() &&
        !msg.ask_yes_no(well_base_doubts_text(doubts, path_text(well_base_path(prog))) + kStoreAnywayQuestion,
                        kWellBaseDoubtsTitle)) {
      out.declined = true;
      return out;
    }
  }
  // Every part is gathered in memory first: a part refused (a well base value out of range,
  // a damaged library) has said why, and then none of the libraries is written.
  out.effi = Save_Effi_Data(Effi_File, prog, Text1, DlPh_Rec, msg);
  if (well_base) out.well_base = Save_Well_Base(prog, *well_base, msg, false);
  const bool whole = out.effi.saved && out.effi.summary_saved &&
                     (!well_base || out.well_base.outcome == SaveOutcome::Saved);
  if (!whole) {
    msg.show(well_base ? kNothingSavedWithBaseText : kNothingSavedText, kSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
    out.effi = {};
    if (well_base && out.well_base.outcome == SaveOutcome::Saved) out.well_base = {SaveOutcome::IoError, 0, false, {}};
    return out;
  }
  if (!commit_or_report(set, msg)) {
    out.effi = {};
    if (well_base) out.well_base.outcome = SaveOutcome::IoError;
  }
  return out;
}

StoreStatus read_gt_ym_keys(const fs::path& Effi_File, std::shared_ptr<const KeyListing>& keys) {
  return trimmed_key_listing(Effi_File, kGtYmRecordSize, kGtYmKeyFields, keys);
}

void Find_WellNmae_To_Comb(const fs::path& Effi_File, std::vector<std::string>& items) {
  std::shared_ptr<const KeyListing> keys;
  if (read_gt_ym_keys(Effi_File, keys) != StoreStatus::Ok) return;
  std::unordered_set<std::string> have;
  for (const auto& it : items) have.insert(trim_blanks(it));
  // Each distinct well looked up once: a library at the limit repeats its wells.
  std::unordered_set<std::string_view> seen;
  for (std::size_t i = 0; i < keys->size(); ++i) {
    const std::string_view w = keys->well_name(i);
    if (seen.insert(w).second && have.insert(std::string(w)).second) items.emplace_back(w);
  }
}

std::vector<std::string> Find_TestTime_To_Comb(const fs::path& Effi_File, const std::string& well) {
  std::vector<std::string> out;
  std::shared_ptr<const KeyListing> keys;
  if (read_gt_ym_keys(Effi_File, keys) != StoreStatus::Ok) return out;
  const std::string w = trim_blanks(well);
  for (std::size_t i = 0; i < keys->size(); ++i)
    if (keys->well_name(i) == w) out.emplace_back(keys->test_date(i));
  return out;
}

std::size_t find_effi_test(const fs::path& Effi_File, const std::string& well, const std::string& test) {
  std::shared_ptr<const KeyListing> keys;
  if (read_gt_ym_keys(Effi_File, keys) != StoreStatus::Ok) return 0;
  const std::string w = trim_blanks(well), t = trim_blanks(test);
  return find_keyed_record(keys->size(), KeyOccurrence::Last,
                           [&](std::size_t r) { return keys->well_name(r - 1) == w && keys->test_date(r - 1) == t; });
}

EditedSave offer_save_edited(bool& Edit_Flag, std::string& Text7, const fs::path& Effi_File, const ProgramFolder& prog,
                             const EffiBoxTexts& Text1, DlPhRecord& DlPh_Rec, MessageService& msg,
                             const EffiShownDamage* shown_damage) {
  if (!Edit_Flag) return EditedSave::NotEdited;
  if (!msg.ask_yes_no("当前记录需要保存吗?", kWarningTitle)) return EditedSave::Discarded;
  if (shown_damage && !damaged_rewrite_confirmed(*shown_damage, Text1, msg)) return EditedSave::Discarded;
  const EffiSaveResult r = Save_Effi_Data(Effi_File, prog, Text1, DlPh_Rec, msg);
  if (!r.saved) return EditedSave::Failed;
  Text7 = std::to_string(r.record);
  Edit_Flag = false;
  return EditedSave::Saved;
}

EffiShown EffiRecode_To_Text(const fs::path& Effi_File, const std::string& Text7, EffiBoxTexts& Text1) {
  EffiShown out;
  RecordStore store(Effi_File, kGtYmRecordSize);
  std::size_t n = 0;
  const long long r = record_number_of(Text7);
  Bytes raw;
  GtYmRecord rec;
  if (store.count(n) != StoreStatus::Ok || !names_record(r, n) ||
      store.read(static_cast<std::size_t>(r), raw) != StoreStatus::Ok || !rec.decode(raw)) {
    for (auto& t : Text1) t.clear();
    return out;
  }
  // A refused record is not shown (named when the library was opened); damaged fields of
  // another are shown blank.
  const GtYmCheck check = check_gt_ym_record(rec, raw);
  if (!check.usable()) {
    for (auto& t : Text1) t.clear();
    out.refused = true;
    return out;
  }
  blank_damaged_fields(rec, check);
  out.damaged = check.damaged;
  gt_ym_to_boxes(rec, Text1);
  out.shown = true;
  out.record = static_cast<std::size_t>(r);
  out.well_text = trim_blanks(rec.well_name);
  out.test_text = rec.vals[kValTestDate];
  return out;
}

std::string review_target(int index, const std::string& Text7, const fs::path& Effi_File) {
  std::size_t n = 0;
  // A library that cannot be read has no record to step to (count leaves 0).
  if (RecordStore(Effi_File, kGtYmRecordSize).count(n) != StoreStatus::Ok) n = 0;
  return std::to_string(step_target(record_number_of(Text7), index == 0 ? -1 : 1, n));
}

EffiDeleteResult delete_effi_record(const fs::path& Effi_File, const ProgramFolder& prog, const std::string& Text7,
                                    MessageService& msg) {
  EffiDeleteResult out;
  out.Text7 = Text7;
  RecordStore store(Effi_File, kGtYmRecordSize);
  std::size_t n = 0;
  if (store.count(n) != StoreStatus::Ok) return out;
  // The last record of a library is not deleted from this window; nor is a record that
  // is not shown. Only a record that may go is asked about.
  const DeleteTarget f = delete_target(record_number_of(Text7), n, {.keeps_last_record = true, .asks_first = false}, msg);
  if (!f.record) return out;
  std::string cause;
  if (remove_as_save(store, f.record, prog.sys() / kSaveJournalName, "系统效率记录删除", cause) != StoreStatus::Ok) {
    msg.show(records_not_deleted_text(path_text(Effi_File), cause), kDeleteFailedTitle, MsgButtons::Ok,
             MsgIcon::Warning);
    return out;
  }
  out.deleted = true;
  out.Text7 = std::to_string(shown_after_delete(f.record, n));
  return out;
}

std::size_t library_record_length(EffiLibrary which) {
  switch (which) {
    case EffiLibrary::Efficiency: return kGtYmRecordSize;
    case EffiLibrary::Card: return kSgtRecordSize;
    case EffiLibrary::PowerCurve: return kDntRecordSize;
  }
  return kGtYmRecordSize;
}

FileDialogRequest library_dialog_request(const ProgramFolder& prog, EffiLibrary which) {
  FileDialogRequest req;
  req.initial_dir = path_text(prog.sys());
  switch (which) {
    case EffiLibrary::Efficiency:
      req.filter = "系统效率数据文件(*.dat)|*.dat|所有文件(*.*)|*.*";
      req.title = "打开系统效率数据库";
      break;
    case EffiLibrary::Card:
      req.filter = "示功图库数据文件(*.dat)|*.dat|所有文件(*.*)|*.*";
      req.title = "打开示功图库";
      break;
    case EffiLibrary::PowerCurve:
      req.filter = "电力曲线数据文件(*.dat)|*.dat|所有文件(*.*)|*.*";
      req.title = "打开电力曲线库";
      break;
  }
  return req;
}

LibraryBoxCheck check_library_box(const std::string& text, EffiLibrary which, const ProgramFolder& prog,
                                  fs::path& accepted, MessageService& msg) {
  const std::string p = trim_blanks(text);
  if (p.empty()) return LibraryBoxCheck::Ignored;
  const fs::path path = u8path(p);
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return LibraryBoxCheck::Ignored;
  std::size_t n = 0;
  if (RecordStore(path, library_record_length(which)).count(n) != StoreStatus::Ok) {
    msg.show(kBadFormatText, kBadFormatTitle);
    return LibraryBoxCheck::Refused;
  }
  // Records past the 16-bit numbers could be neither listed nor shown by number.
  if (n > kMaxLibraryRecords) {
    msg.show(over_limit_text(path, n), kBadFormatTitle);
    return LibraryBoxCheck::Refused;
  }
  accepted = path;
  if (which == EffiLibrary::Efficiency) {
    // The save writes the summary record (and the well base record) with it: a library
    // elsewhere is refused then.
    if (!joins_save_sets(path, prog.sys() / kSaveJournalName))
      msg.show(library_outside_sets_text(path_text(path)), kNoticeTitle, MsgButtons::Ok, MsgIcon::Warning);
    // What of the library cannot be shown is named once, on opening.
    const std::string text = gt_ym_findings_text(check_gt_ym_library(path), path_text(path));
    if (!text.empty()) msg.show(text, kGtYmDamagedTitle, MsgButtons::Ok, MsgIcon::Warning);
  }
  return LibraryBoxCheck::Accepted;
}

bool damaged_rewrite_confirmed(const EffiShownDamage& shown, const EffiBoxTexts& Text1, MessageService& msg) {
  if (shown.fields.empty()) return true;
  if (key_of(Text1) != std::pair<std::string, std::string>{shown.well, shown.test}) return true;
  return msg.ask_yes_no(gt_ym_rewrite_question(shown.fields), kGtYmDamagedTitle);
}

EffiShownDamage shown_damage_of(const EffiShown& shown, const EffiBoxTexts& Text1) {
  EffiShownDamage d;
  if (!shown.shown || shown.damaged.empty()) return d;
  d.fields = shown.damaged;
  std::tie(d.well, d.test) = key_of(Text1);
  return d;
}

}  // namespace wb
