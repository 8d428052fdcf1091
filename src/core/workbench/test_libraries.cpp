#include "core/workbench/test_libraries.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>

#include "core/common/dlph_record.h"
#include "core/common/gbk.h"
#include "core/common/number_text.h"
#include "core/common/record_fields.h"
#include "core/common/layout_keys.h"
#include "core/common/messages.h"
#include "core/common/record_keys.h"
#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/workbench/workbench_messages.h"

namespace wb {

namespace fs = std::filesystem;

namespace {

const LibraryInfo kLibraries[] = {
    {LibraryKind::Card, "Sgt.dat", "sgt_bak.dat", "功图数据主库", "示功图数据出库", "保存功图测试文件到库", 'g',
     kSgtRecordSize, kKindCard},
    {LibraryKind::Electric, "Dnt.dat", "dnt_bak.dat", "电力曲线主库", "电力曲线数据出库", "保存电能测试文件到库", 'd',
     kDntRecordSize, kKindElectric},
    {LibraryKind::Wave, "xbt.dat", "xbt_bak.dat", "波形分析主库", "波形分析数据出库", "保存谐波测试文件到库", 'x',
     kXbtRecordSize, kKindWave},
};

LibStatus from_store(StoreStatus s) {
  switch (s) {
    case StoreStatus::Ok: return LibStatus::Ok;
    case StoreStatus::Damaged: return LibStatus::Damaged;
    default: return LibStatus::IoError;
  }
}


// The card, power-curve and waveform records keep their key at the same places.
const RecordKeyFields kKeys = record_key_fields(SgtRecord::layout());

// Whether a record holds the trimmed key (k1, k2).
KeyMatch key_match(const std::string& well, const std::string& date) {
  const KeyField& w = kKeys.well();
  const KeyField& t = kKeys.test();
  return KeyMatch({{w, record_key(well, w.length)}, {t, record_key(date, t.length)}}, KeyTrim::BlanksAndNuls);
}

}  // namespace

LibStatus room_for_key(const fs::path& fil_nam, std::size_t record_length, const std::string& well,
                       const std::string& date) {
  RecordStore store(fil_nam, record_length);
  std::size_t n = 0;
  if (const StoreStatus st = store.count(n); st != StoreStatus::Ok) return from_store(st);
  if (n > kMaxLibraryRecords) return LibStatus::OverLimit;
  if (!library_full(n)) return LibStatus::Ok;
  // Only a full library is searched: the key may be there to be replaced.
  std::size_t found = 0;
  if (const StoreStatus st = store.find(key_match(well, date), found); st != StoreStatus::Ok) return from_store(st);
  return found ? LibStatus::Ok : LibStatus::Full;
}

namespace {

// Stores `rec` under the key (well, date): overwrite the record of the same trimmed key,
// otherwise append while the library is below the record limit.
SaveResult save_keyed(const fs::path& fil_nam, std::size_t len, const Bytes& rec, const std::string& well,
                      const std::string& date) {
  if (const LibStatus room = room_for_key(fil_nam, len, well, date); room != LibStatus::Ok) return {room, 0};
  RecordStore store(fil_nam, len);
  std::size_t result = 0;
  StoreStatus st = store.save_replace(key_match(well, date), rec, result);
  SaveResult out;
  out.status = from_store(st);
  out.result = st == StoreStatus::Ok ? result : 0;
  return out;
}

std::string ascii_lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string two_digits(int k) { return (k < 10 ? "0" : "") + std::to_string(k); }

}  // namespace

const LibraryInfo& library_info(LibraryKind kind) {
  for (const auto& l : kLibraries)
    if (l.kind == kind) return l;
  return kLibraries[0];
}

const LibraryInfo* library_by_caption(std::string_view caption) {
  for (const auto& l : kLibraries)
    if (caption == l.caption) return &l;
  return nullptr;
}

const LibraryInfo* library_by_export_tooltip(std::string_view tooltip) {
  for (const auto& l : kLibraries)
    if (tooltip == l.export_tooltip) return &l;
  return nullptr;
}

fs::path library_path(const ProgramFolder& prog, LibraryKind kind) { return prog.sys() / library_info(kind).file_name; }

TestKind test_kind_of_file(const fs::path& file) {
  const std::string suffix = trim_blanks(path_text(file.filename().extension()));
  if (suffix.size() < 2) return kKindNone;  // no suffix, or a bare dot
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(suffix[1])));
  if (letter == 'o') return kKindJoint;
  for (const auto& l : kLibraries)
    if (letter == l.letter) return l.test_kind;
  return kKindNone;
}

LibStatus grid_listing(const fs::path& fil_nam, std::size_t record_length, std::shared_ptr<const GridListing>& out) {
  static const auto kNone = std::make_shared<const GridListing>();
  out = kNone;
  if (file_records_over_limit(fil_nam, record_length)) return LibStatus::OverLimit;
  KeptKeys kept;
  const StoreStatus st = kept_record_keys(fil_nam, record_length, kKeys.fields, kept);
  if (st != StoreStatus::Ok) return from_store(st);
  const RecordKeys& keys = *kept;
  if (keys.records == 0) {
    // An empty library is removed when it is listed; a missing one stays missing.
    if (keys.exists && RecordStore(fil_nam, record_length).remove_file() != StoreStatus::Ok) return LibStatus::IoError;
    return LibStatus::Ok;
  }
  // The listing last made, while its keys are the library's (the main window lists one
  // library at a time).
  static std::mutex lock;
  static std::shared_ptr<const GridListing> last;
  {
    const std::lock_guard<std::mutex> hold(lock);
    if (last && last->source == kept) {
      out = last;
      return LibStatus::Ok;
    }
  }
  auto made = std::make_shared<GridListing>();
  made->source = kept;
  made->texts.reserve(keys.records, keys.key_length * keys.records + keys.key_length);
  KeyTexts texts;
  std::string cell;
  auto add = [&](std::span<const std::uint8_t> field) {
    cell.assign(texts.text(field));
    std::replace(cell.begin(), cell.end(), '\0', ' ');
    made->texts.add(cell);
  };
  for (std::size_t i = 0; i < keys.records; ++i) {
    const auto key = keys.key(i);
    add(key.first(kKeys.well().length));
    add(key.last(kKeys.test().length));
  }
  const std::lock_guard<std::mutex> hold(lock);
  last = made;
  out = std::move(made);
  return LibStatus::Ok;
}

LibStatus Load_Grid_Dat(const fs::path& fil_nam, std::size_t record_length, std::vector<GridRow>& rows) {
  rows.clear();
  std::shared_ptr<const GridListing> l;
  const LibStatus st = grid_listing(fil_nam, record_length, l);
  rows.reserve(l->size());
  for (std::size_t i = 0; i < l->size(); ++i)
    rows.push_back({std::to_string(i + 1), std::string(l->well_name(i)), std::string(l->test_date(i))});
  return st;
}

namespace {

// The card fields the boxes refresh: box, scale and caption (as the joint-test build names them).
struct CardBox {
  std::int16_t SgtRecord::*field;
  int box;
  double factor;
  const char* caption;
};
const CardBox kCardBoxes[] = {
    {&SgtRecord::theo_stroke, appended_box::kTheoStroke, 1000.0, "标称冲程"},
    {&SgtRecord::theo_max_load, appended_box::kTheoMaxLoad, 100.0, "理论最大负荷"},
    {&SgtRecord::theo_min_load, appended_box::kTheoMinLoad, 100.0, "理论最小负荷"},
    {&SgtRecord::stroke_loss, appended_box::kStrokeLoss, 1000.0, "冲程损失"},
};

}  // namespace

std::vector<std::string> refresh_sgt_from_boxes(TestState& st) {
  std::vector<std::string> unstored;
  for (const CardBox& b : kCardBoxes) {
    if (auto v = to_i16(num_val(st.Text1[b.box]) * b.factor))
      st.sgt_rec.*b.field = *v;
    else
      unstored.emplace_back(b.caption);
  }
  return unstored;
}

StoreCheck check_well_name(std::string_view typed) {
  StoreCheck c;
  c.well = trim_blanks(typed);
  const std::string whole = utf8_to_gbk(c.well);
  const std::string back = gbk_to_utf8(whole);
  c.name_changed = back != c.well;
  c.name_cut = whole.size() > 16;
  c.stored_well = Trim_Blank_Nul(gbk_to_utf8(gbk_field(c.well, 16)));
  return c;
}

StoreCheck check_store(const TestState& st, LibraryKind kind) {
  StoreCheck c = check_well_name(st.Text1[appended_box::kWell]);
  if (kind == LibraryKind::Card)
    for (const CardBox& b : kCardBoxes)
      if (!to_i16(num_val(st.Text1[b.box]) * b.factor)) c.unstored.emplace_back(b.caption);
  return c;
}

std::string store_check_question(const StoreCheck& c) {
  if (c.ok()) return {};
  std::string text;
  if (!c.unstored.empty()) {
    std::string list;
    for (const auto& f : c.unstored) list += (list.empty() ? "" : "、") + f;
    text += c.unstored_zeroed ? kUnstoredZeroedText
                              : "下列数据超出记录的范围，不能存入记录(记录中保留原值)：\n";
    text += list + "\n";
  }
  if (c.name_changed)
    text += "井号“" + c.well + "”中有记录不能存放的字符，记录中将存为“" + c.stored_well + "”。\n";
  if (c.name_cut)
    text += "井号“" + c.well + "”超过16字节，记录中只能存为“" + c.stored_well +
            "”，会与同样存为此名的其它井的记录相混。\n";
  return text + "\n是否仍然保存？";
}

SaveResult sgt_save_new(TestState& st, const fs::path& fil_nam) {
  st.sgt_rec.well_name = trim_blanks(st.Text1[appended_box::kWell]);
  refresh_sgt_from_boxes(st);
  return save_keyed(fil_nam, kSgtRecordSize, st.sgt_rec.encode(), st.sgt_rec.well_name, st.sgt_rec.test_date);
}

SaveResult Pow_save_new(TestState& st, const fs::path& fil_nam) {
  st.dnt_rec.well_name = trim_blanks(st.Text1[appended_box::kWell]);
  return save_keyed(fil_nam, kDntRecordSize, st.dnt_rec.encode(), st.dnt_rec.well_name, st.dnt_rec.test_date);
}

SaveResult Wav_Save_new(TestState& st, const fs::path& fil_nam) {
  st.xbt_rec.well_name = trim_blanks(st.Text1[appended_box::kWell]);
  return save_keyed(fil_nam, kXbtRecordSize, st.xbt_rec.encode(), st.xbt_rec.well_name, st.xbt_rec.test_date);
}

fs::path first_free_test_file(const fs::path& data_dir, std::string_view well, char letter) {
  std::set<std::string> taken;
  for (const auto& name : list_files(data_dir, "*")) taken.insert(ascii_lower(name));
  for (int k = 1; k <= 99; ++k) {
    std::string name = std::string(well) + "." + letter + two_digits(k);
    if (!taken.count(ascii_lower(name))) return data_dir / u8path(name);
  }
  return {};
}

ExportResult export_current(TestState& st, const ProgramFolder& prog, LibraryKind kind) {
  ExportResult out;
  const std::string well = trim_blanks(st.Text1[appended_box::kWell]);
  if (!is_safe_file_stem(well, kTestFileSuffixBytes)) {
    out.status = LibStatus::UnsafeName;
    return out;
  }
  const LibraryInfo& lib = library_info(kind);
  fs::path target = first_free_test_file(prog.data(), well, lib.letter);
  if (target.empty()) {
    out.status = LibStatus::NoFreeName;
    return out;
  }
  Bytes rec;
  switch (kind) {
    case LibraryKind::Card:
      st.sgt_rec.well_name = well;
      refresh_sgt_from_boxes(st);
      rec = st.sgt_rec.encode();
      break;
    case LibraryKind::Electric:
      st.dnt_rec.well_name = well;
      rec = st.dnt_rec.encode();
      break;
    case LibraryKind::Wave:
      st.xbt_rec.well_name = well;
      rec = st.xbt_rec.encode();
      break;
  }
  out.path = target;
  out.status = write_file_atomic(target, rec) ? LibStatus::Ok : LibStatus::IoError;
  return out;
}

ExportResult main_to_sgt(TestState& st, const ProgramFolder& prog) { return export_current(st, prog, LibraryKind::Card); }
ExportResult main_to_dnt(TestState& st, const ProgramFolder& prog) {
  return export_current(st, prog, LibraryKind::Electric);
}
ExportResult main_to_xbt(TestState& st, const ProgramFolder& prog) { return export_current(st, prog, LibraryKind::Wave); }

std::string delete_question(const LibraryInfo& lib, long long row, std::string_view well, std::string_view date) {
  return std::string("确实要删除") + lib.caption + "的 " + std::to_string(row) + "号记录吗?\n井号：" +
         trim_blanks(well) + "\n测试日期：" + trim_blanks(date);
}

DeleteResult delete_library_record(const ProgramFolder& prog, LibraryKind kind, long long n) {
  const LibraryInfo& lib = library_info(kind);
  RecordStore store(prog.sys() / lib.file_name, lib.record_length);
  const fs::path backup = prog.sys() / lib.backup_name;
  DeleteResult out;
  std::size_t count = 0;
  StoreStatus st = store.count(count);
  if (st != StoreStatus::Ok) {
    out.status = from_store(st);
    return out;
  }
  std::error_code ec;
  if (count == 0) {
    // Nothing to delete: an empty library file and a left-over backup go.
    fs::remove(backup, ec);
    if (store.exists()) out.status = from_store(store.remove_file());
    return out;
  }
  std::size_t r = n >= 1 ? static_cast<std::size_t>(n) : 0;
  st = store.remove_via(r, backup);
  out.status = from_store(st);
  out.relist = st == StoreStatus::Ok;
  return out;
}

UserMessage unsafe_well_name_message(std::string_view well) {
  std::string w = trim_blanks(well);
  if (w.empty()) return {"请先在“井    号”栏输入井号。", "井号"};
  if (file_stem_stays_in_folder(w)) return {well_name_too_long_text(w), "井号"};
  return {"井号“" + w + "”不能用作文件名：井号中不能含有“/”、“\\”、“..”或控制字符，请修改井号后再试。", "井号"};
}

UserMessage library_failure_message(LibOperation op, LibStatus status, const fs::path& path, std::string_view well) {
  if (status == LibStatus::Damaged) return {kBadFormatText, kBadFormatTitle};
  if (status == LibStatus::UnsafeName) return unsafe_well_name_message(well);
  const std::string p = path_text(path);
  if (status == LibStatus::OverLimit || status == LibStatus::Full) {
    // The library by its file name; the summary library is the one of the others.
    const LibraryInfo* lib = nullptr;
    for (const auto& l : kLibraries)
      if (path.filename() == l.file_name) lib = &l;
    if (status == LibStatus::OverLimit)
      return {over_limit_text(path, file_records_over_limit(path, lib ? lib->record_length : kDlPhRecordSize)),
              kBadFormatTitle};
    return {library_full_text(lib ? lib->caption : kDlPhLibraryName) + "\n主库未作改动。", "数据入库"};
  }
  if (status == LibStatus::NoFreeName)
    return {"井号“" + std::string(well) + "”的出库文件编号01～99均已占用，未能出库。", "数据出库"};
  switch (op) {
    case LibOperation::List: return {"不能读取文件：" + p, kBadFormatTitle};
    case LibOperation::Save:
      return {"数据入库失败，不能写入文件：" + p + cause_note(set_refusal()) + "\n主库未作改动。", "数据入库"};
    case LibOperation::Export: return {"数据出库失败，不能写入文件：" + p, "数据出库"};
    case LibOperation::Delete: return {records_not_deleted_text(p, set_refusal()), kDeleteFailedTitle};
    case LibOperation::Read: return {"不能读取文件：" + p, kBadFormatTitle};
  }
  return {};
}

}  // namespace wb
