#include "core/design/workbench/design_records.h"

#include <cmath>
#include <memory>
#include <mutex>
#include <system_error>
#include <tuple>
#include <unordered_set>

#include "core/common/number_text.h"
#include "core/common/layout_keys.h"
#include "core/common/messages.h"
#include "core/common/record_keys.h"
#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/design/engine/design_number.h"
#include "core/design/workbench/design_record_boxes.h"

namespace wb::design {

namespace fs = std::filesystem;

namespace {

// Where the key lies, from the record's table.
const RecordKeyFields kKeys = record_key_fields(RodDesignRecord::layout(), "well_name", "design_date");

// The keys of every record, read at their offsets only. `whole` is false for a file that is
// not a whole number of records (nothing is read then); a missing file has no records.
struct KeyFile {
  bool exists = false;
  bool whole = true;
  std::size_t over = 0;  // the records of a file beyond the record limit (refused, nothing read)
  KeptKeys kept = std::make_shared<const RecordKeys>();
  KeyTexts texts;
  std::size_t size() const { return kept->records; }
  bool empty() const { return kept->records == 0; }
  // The trimmed well and date of record i (0-based).
  std::string_view well(std::size_t i) { return texts.trimmed(kept->key(i).first(kKeys.well().length)); }
  std::string_view date(std::size_t i) { return texts.trimmed(kept->key(i).last(kKeys.test().length)); }
};

StoreStatus read_keys(const fs::path& path, KeyFile& out) {
  // Records past the 16-bit numbers could be neither listed nor loaded by number.
  if ((out.over = file_records_over_limit(path, kRodDesignRecordSize)) != 0) {
    out.exists = true;
    return StoreStatus::IoError;
  }
  const StoreStatus s = kept_record_keys(path, kRodDesignRecordSize, kKeys.fields, out.kept);
  out.exists = out.kept->exists;
  out.whole = s != StoreStatus::Damaged;
  return s;
}

// The trimmed wells, each once in the order first seen. A library repeats each well in its
// designs: each distinct well field is trimmed once. Kept with the keys they came from while
// those are the file's, so the list filled again after a load or a save takes them.
std::shared_ptr<const std::vector<std::string>> wells_of(KeyFile& f) {
  static std::mutex lock;
  static KeptKeys last_keys;
  static std::shared_ptr<const std::vector<std::string>> last;
  {
    const std::lock_guard<std::mutex> hold(lock);
    if (last && last_keys == f.kept) return last;
  }
  auto wells = std::make_shared<std::vector<std::string>>();
  std::unordered_set<std::string_view> fields, seen;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const auto field = f.kept->key(i).first(kKeys.well().length);
    if (!fields.insert(std::string_view(reinterpret_cast<const char*>(field.data()), field.size())).second) continue;
    if (seen.insert(f.well(i)).second) wells->emplace_back(f.well(i));
  }
  const std::lock_guard<std::mutex> hold(lock);
  last_keys = f.kept;
  last = wells;
  return wells;
}

std::string well_key(const DesignState& st) { return design_key(st.JName_Comb, kDesignWellWidth); }
std::string date_key(const DesignState& st) { return design_key(st.Date_Comb, kDesignDateWidth); }

// The first record (1-based) of the boxes' well and date; 0 when none.
std::size_t find_key(KeyFile& f, const DesignState& st) {
  const std::string well = well_key(st), date = date_key(st);
  for (std::size_t i = 0; i < f.size(); ++i)
    if (f.date(i) == date && f.well(i) == well) return i + 1;
  return 0;
}

bool keys_blank(const DesignState& st, MessageService& messages) {
  if (!trim_blanks(st.JName_Comb).empty() && !trim_blanks(st.Date_Comb).empty()) return false;
  messages.show(kEmptyDesignKeyText, "");
  return true;
}

void show_failure(MessageService& messages, StoreStatus s, const fs::path& path, const char* what) {
  if (s == StoreStatus::Damaged)
    messages.show(kBadFormatText, kBadFormatTitle);
  else
    messages.show(std::string(what) + path_text(path) + cause_note(set_refusal()) + "\n设计记录文件未作改动。",
                  kDesignSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
}

// A key read that failed: a file beyond the record limit is named with its record count.
void show_read_failure(MessageService& messages, StoreStatus s, const KeyFile& f, const fs::path& path,
                       const char* what) {
  if (f.over) {
    messages.show(over_limit_text(path, f.over), kBadFormatTitle);
    return;
  }
  show_failure(messages, s, path, what);
}

// A list that finds no record leaves no file behind.
void remove_empty(const fs::path& path, const KeyFile& f) {
  std::error_code ec;
  if (f.exists && f.whole && f.empty()) fs::remove(path, ec);
}

void refuse_box(MessageService& messages, const std::string& caption) {
  messages.show("“" + caption + "”的数值超出范围，设计没有保存。", kDesignSaveTitle, MsgButtons::Ok, MsgIcon::Warning);
}

// The boxes of `table` into the encoded record; false at the first that does not fit.
bool boxes_to_bytes(DesignState& st, const std::vector<BoxField>& table, Bytes& b, MessageService& messages) {
  for (const BoxField& f : table)
    if (!put_box_text(b, f, box_text(st, f.box, f.index))) {
      refuse_box(messages, f.caption);
      return false;
    }
  return true;
}

// Centralizer table rows 1..198 into slots 0..197.
bool grid_to_slots(const DesignState& st, RodDesignRecord& r, MessageService& messages) {
  for (std::size_t i = 0; i < kDesignFzqCount; ++i) {
    const int row = static_cast<int>(i) + 1;
    const std::optional<double> read = row < st.Grid2.rows() ? num_val_checked(st.Grid2.text(row, 1)) : 0.0;
    const float v = read ? to_single(*read) : 0.0f;
    if (!read || !std::isfinite(v)) {
      refuse_box(messages, "扶正器第" + std::to_string(row) + "行的深度");
      return false;
    }
    r.fzq_depth[i] = v;
  }
  return true;
}

void slots_to_grid(DesignState& st, const RodDesignRecord& r) {
  int n = 0;
  for (float d : r.fzq_depth)
    if (d > 0) ++n;
  st.Grid2.set_rows(n + 1);
  int j = 0;
  for (float d : r.fzq_depth)
    if (d > 0) {
      ++j;
      st.Grid2.set_text(j, 0, std::to_string(j));
      st.Grid2.set_text(j, 1, num_text_f(d));
    }
}

// A key text longer than its field is stored cut; says so once for the well and the date.
void tell_cut_keys(const DesignState& st, MessageService& messages) {
  const std::string well = well_key(st), date = date_key(st);
  if (well == trim_blanks(st.JName_Comb) && date == trim_blanks(st.Date_Comb)) return;
  messages.show("井号或日期超出记录的长度，设计以井号“" + well + "”、日期“" + date + "”保存。", kDesignSaveTitle,
                MsgButtons::Ok, MsgIcon::Info);
}

}  // namespace

fs::path design_record_path(const ProgramFolder& folder) { return folder.sys() / kDesignFileName; }

StoreStatus design_well_names(const fs::path& path, std::vector<std::string>& out) {
  out.clear();
  KeyFile f;
  if (const StoreStatus s = read_keys(path, f); s != StoreStatus::Ok) return s;
  out = *wells_of(f);
  return StoreStatus::Ok;
}

StoreStatus design_well_dates(const fs::path& path, const std::string& well, std::vector<std::string>& out) {
  out.clear();
  KeyFile f;
  if (const StoreStatus s = read_keys(path, f); s != StoreStatus::Ok) return s;
  const std::string key = design_key(well, kDesignWellWidth);
  for (std::size_t i = 0; i < f.size(); ++i)
    if (f.well(i) == key) out.emplace_back(f.date(i));
  return StoreStatus::Ok;
}

void JNname_Add(DesignState& st, DesignRecords& rec, DesignRecordIo& io) {
  KeyFile f;
  const StoreStatus s = read_keys(rec.path, f);
  if (s != StoreStatus::Ok) {
    if (f.over) {  // a file beyond the limit lists nothing
      rec.JName_list.clear();
      st.JName_Comb.clear();
    }
    show_read_failure(io.messages, s, f, rec.path, "不能读取设计记录文件：");
    return;
  }
  rec.JName_list.clear();
  st.JName_Comb.clear();
  remove_empty(rec.path, f);
  rec.JName_list = *wells_of(f);
}

void com2_find(DesignState& st, DesignRecords& rec, DesignRecordIo& io) {
  KeyFile f;
  const StoreStatus s = read_keys(rec.path, f);
  if (s != StoreStatus::Ok) {
    if (f.over) {
      rec.Date_list.clear();
      st.Date_Comb.clear();
    }
    show_read_failure(io.messages, s, f, rec.path, "不能读取设计记录文件：");
    return;
  }
  if (f.empty()) {
    remove_empty(rec.path, f);
    return;
  }
  rec.Date_list.clear();
  st.Date_Comb.clear();
  const std::string well = well_key(st);
  for (std::size_t i = 0; i < f.size(); ++i)
    if (f.well(i) == well) rec.Date_list.emplace_back(f.date(i));
}

void kin_visc_from_record(DesignState& st, const RodDesignRecord& r, MessageService& messages) {
  const double fw = r.well_data[0] / 100.0;
  const double rho = (static_cast<double>(r.well_data[1]) + r.well_data[2]) / 2.0 * (1.0 - fw) + fw;
  if (rho > 0.5) st.kin_visc = f32(r.visc_down * 0.01 / rho);
  if (st.kin_visc < 0.01f) {
    messages.show(kViscTooSmallText, "");
    st.kin_visc = 0.01f;
  } else if (st.kin_visc > 2.0f) {
    messages.show(kViscTooLargeText, "");
    st.kin_visc = 2.0f;
  }
}

DesignOutcome LoadDesignRecord(DesignState& st, DesignRecords& rec, DesignRecordIo& io) {
  if (keys_blank(st, io.messages)) return DesignOutcome::refused;
  KeyFile f;
  if (const StoreStatus s = read_keys(rec.path, f); s != StoreStatus::Ok) {
    show_read_failure(io.messages, s, f, rec.path, "不能读取设计记录文件：");
    return DesignOutcome::failed;
  }
  const std::size_t found = find_key(f, st);
  if (!found) return DesignOutcome::nothing;
  RecordStore store(rec.path, kRodDesignRecordSize);
  Bytes bytes;
  if (const StoreStatus s = store.read(found, bytes); s != StoreStatus::Ok) {
    show_failure(io.messages, s, rec.path, "不能读取设计记录文件：");
    return DesignOutcome::failed;
  }
  std::ignore = st.cur_design.decode(bytes);  // the store reads whole records only
  const RodDesignRecord& r = st.cur_design;
  st.CyjType_Comb = field_text(r.cyj_model);
  kin_visc_from_record(st, r, io.messages);
  for (const BoxField& b : design_boxes())
    if (b.box == BoxArray::Text3) box_text(st, b.box, b.index) = field_box_text(bytes, b);
  for (const BoxField& b : well_boxes()) io.controls.set_Text6(st, b.index, field_box_text(bytes, b));
  io.controls.Text6_Change(st, well_box::kMinLoad);
  io.controls.select_design_mode(st, r.design_mode);
  io.controls.select_rod_grade(st, field_text(r.rod_grade));
  for (const BoxField& b : design_boxes())
    if (b.box != BoxArray::Text3) box_text(st, b.box, b.index) = field_box_text(bytes, b);
  slots_to_grid(st, r);
  st.loaded_design = true;
  Recode_To_StructInfo(st);
  return DesignOutcome::done;
}

DesignOutcome SaveDesignRecord(DesignState& st, DesignRecords& rec, DesignRecordIo& io) {
  if (keys_blank(st, io.messages)) return DesignOutcome::refused;
  KeyFile f;
  if (const StoreStatus s = read_keys(rec.path, f); s != StoreStatus::Ok) {
    show_read_failure(io.messages, s, f, rec.path, "设计记录保存失败，不能读取文件：");
    return DesignOutcome::failed;
  }
  const std::size_t found = find_key(f, st);
  if (!found && library_full(f.size())) {
    io.messages.show(library_full_text("设计记录文件"), kDesignSaveTitle, MsgButtons::Ok,
                     MsgIcon::Warning);
    return DesignOutcome::refused;
  }
  // Filled on a copy: a refused box leaves the working record as it was.
  const RodDesignRecord kept = st.cur_design;
  RodDesignRecord r = st.cur_design;
  set_field_text(r.well_name, st.JName_Comb);
  set_field_text(r.design_date, st.Date_Comb);
  set_field_text(r.cyj_model, st.CyjType_Comb);
  if (const std::int16_t mode = io.controls.design_mode(st); mode != 0) r.design_mode = mode;
  if (const std::string grade = io.controls.rod_grade(st); !grade.empty()) set_field_text(r.rod_grade, grade);
  if (!grid_to_slots(st, r, io.messages)) return DesignOutcome::refused;
  Bytes b = r.encode();
  if (!boxes_to_bytes(st, design_boxes(), b, io.messages) || !boxes_to_bytes(st, well_boxes(), b, io.messages))
    return DesignOutcome::refused;
  std::ignore = st.cur_design.decode(b);  // b was encoded whole just above
  if (const DesignOutcome s = StructInfo_To_Recode(st, io.messages); s != DesignOutcome::done) {
    st.cur_design = kept;
    return s;
  }
  tell_cut_keys(st, io.messages);
  RecordStore store(rec.path, kRodDesignRecordSize);
  const std::size_t n = found ? found : f.size() + 1;
  const std::optional<FileIdentity> before = file_identity(rec.path);
  const Bytes bytes = st.cur_design.encode();
  if (const StoreStatus s = store.write(n, bytes); s != StoreStatus::Ok) {
    show_failure(io.messages, s, rec.path, "设计记录保存失败，不能写入文件：");
    return DesignOutcome::failed;
  }
  note_record_written(rec.path, kRodDesignRecordSize, before, n, bytes);  // the well list after it
  return DesignOutcome::done;
}

std::optional<float> pack_pump_eff(const std::string& label3_3, const std::string& text2) {
  const std::optional<double> whole = num_val_checked(label3_3), design = num_val_checked(text2);
  if (!whole || !design) return std::nullopt;
  const float p = to_single(*whole * 1000.0 + *design);
  if (!std::isfinite(p)) return std::nullopt;
  return p;
}

void unpack_pump_eff(float pack, std::string& label3_3, std::string& text2) {
  // Single precision throughout, as the value is stored; the design efficiency is rounded to
  // its three decimals (a plain cut would turn 0.61 into 0.609).
  const float w = std::floor(pack);
  label3_3 = num_text_f(w / 1000.0f);
  const float frac = (pack - w) * 1000.0f;
  text2 = num_text_f(std::floor(frac + 0.5f) / 1000.0f);
}

DesignOutcome StructInfo_To_Recode(DesignState& st, MessageService& messages) {
  const std::optional<float> pack = pack_pump_eff(st.Label3[design_label::kStrokePumpEff], st.Text2);
  if (!pack) {
    refuse_box(messages, "设计使用泵效");
    return DesignOutcome::refused;
  }
  RodDesignRecord r = st.cur_design;
  r.pump_eff_pack = *pack;
  Bytes b = r.encode();
  if (!boxes_to_bytes(st, struct_boxes(), b, messages)) return DesignOutcome::refused;
  std::ignore = st.cur_design.decode(b);  // b was encoded whole just above
  return DesignOutcome::done;
}

void Recode_To_StructInfo(DesignState& st) {
  unpack_pump_eff(st.cur_design.pump_eff_pack, st.Label3[design_label::kStrokePumpEff], st.Text2);
  const Bytes b = st.cur_design.encode();
  for (const BoxField& f : struct_boxes()) box_text(st, f.box, f.index) = field_box_text(b, f);
}

}  // namespace wb::design
