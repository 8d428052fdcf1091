#include "core/diagnosis/diagnosis_records.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <span>
#include <system_error>
#include <tuple>
#include <unordered_map>

#include "core/common/file_read.h"
#include "core/common/gbk.h"
#include "core/common/key_match.h"
#include "core/common/layout_keys.h"
#include "core/common/messages.h"
#include "core/common/record_browser.h"
#include "core/common/record_keys.h"
#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/diagnosis/refresh.h"
#include "core/records/gt_ym_checks.h"
#include "core/records/gt_ym_record.h"

namespace wb {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCardLibraryRecord = kSgtRecordSize;
constexpr std::size_t kDateMatchChars = 8;  // efficiency dates match on their first 8 characters

// The whole records of a file, read at once; a missing or unreadable file has none, and a
// trailing partial record is not read. A file beyond the record limit has none either: its
// records past the 16-bit numbers could be neither listed nor shown, and it is refused by
// name where it is chosen (path_box_change) or saved into.
struct BgtFile {
  std::vector<std::uint8_t> content;
  std::size_t count = 0;
  std::span<const std::uint8_t> record(std::size_t r) const {  // 1-based
    return std::span<const std::uint8_t>(content).subspan((r - 1) * kBgtRecordSize, kBgtRecordSize);
  }
};

BgtFile read_bgt_file(const fs::path& path) {
  BgtFile f;
  if (file_records_over_limit(path, kBgtRecordSize) || !read_file(path, f.content)) f.content.clear();
  f.count = f.content.size() / kBgtRecordSize;
  return f;
}

std::string field_key(std::span<const std::uint8_t> rec, std::size_t off, std::size_t len) {
  return trim_blanks(gbk_field_text(rec.subspan(off, len)));
}
// Where the key lies, from the record's table.
const RecordKeyFields kBgtKeys = record_key_fields(BgtRecord::layout());
std::string record_well(std::span<const std::uint8_t> rec) {
  return field_key(rec, kBgtKeys.well().offset, kBgtKeys.well().length);
}
std::string record_date(std::span<const std::uint8_t> rec) {
  return field_key(rec, kBgtKeys.test().offset, kBgtKeys.test().length);
}

// A box text as its field will hold it once saved, blanks trimmed.
std::string box_key(const std::string& text, std::size_t width) {
  return key_as_stored(text, width, KeyTrim::Blanks, TypedTrim::Same);
}
std::string well_key(const DiagnosisState& st) { return box_key(st.Text1[diag_box::kWell], kBgtWellNameWidth); }
std::string date_key(const DiagnosisState& st) { return box_key(st.Text1[diag_box::kDate], kBgtTestDateWidth); }

// The first record of the keys in boxes 3 and 4; 0 when none.
std::size_t find_record(const BgtFile& f, const DiagnosisState& st) {
  const std::string well = well_key(st), date = date_key(st);
  return find_keyed_record(f.count, KeyOccurrence::First, [&](std::size_t r) {
    return record_well(f.record(r)) == well && record_date(f.record(r)) == date;
  });
}

BgtRecord decode_record(std::span<const std::uint8_t> rec) {
  BgtRecord r;
  std::ignore = r.decode(Bytes(rec.begin(), rec.end()));  // a record of the file, whole
  return r;
}

// The well and date fields of the whole records, as read_bgt_file has them (none of a file
// beyond the record limit), kept while the file is unchanged (kept_record_keys).
KeptKeys read_bgt_keys(const fs::path& path) {
  KeptKeys keys;
  if (file_records_over_limit(path, kBgtRecordSize) ||
      kept_record_keys(path, kBgtRecordSize, kBgtKeys.fields, keys, PartialRecord::Ignored) != StoreStatus::Ok)
    keys = std::make_shared<const RecordKeys>();
  return keys;
}
std::span<const std::uint8_t> key_well(const RecordKeys& k, std::size_t i) { return k.key(i).first(kBgtKeys.well().length); }
std::span<const std::uint8_t> key_date(const RecordKeys& k, std::size_t i) { return k.key(i).last(kBgtKeys.test().length); }

// What the lists take from the keys: the trimmed wells, sorted, each once, and for every
// record the one of them it names. A library repeats each well in its tests, so each distinct
// well field is decoded and trimmed once. Kept with the keys it was made from while they are
// the file's; after this program wrote one record it follows that record.
struct BgtWells {
  KeptKeys keys;
  std::vector<std::string> wells;
  std::vector<std::uint32_t> of_record;
};

bool ascii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}
std::string_view as_text(std::span<const std::uint8_t> field) {
  return {reinterpret_cast<const char*>(field.data()), field.size()};
}
// The field's text as KeyTexts::trimmed gives it: an ASCII field reads the same decoded.
std::string trimmed_field(GbkDecoder& decode, std::span<const std::uint8_t> field) {
  const std::string_view bytes = as_text(field);
  return trim_blanks(ascii(bytes) ? std::string(bytes) : decode(bytes));
}

std::shared_ptr<const BgtWells> make_bgt_wells(KeptKeys keys) {
  auto w = std::make_shared<BgtWells>();
  const RecordKeys& k = *keys;
  w->keys = std::move(keys);
  // Distinct well fields by their bytes, in order of first appearance.
  std::unordered_map<std::string_view, std::uint32_t> field_ids;
  std::vector<std::span<const std::uint8_t>> fields;
  w->of_record.resize(k.records);
  for (std::size_t i = 0; i < k.records; ++i) {
    const auto f = key_well(k, i);
    const auto [it, added] = field_ids.try_emplace(as_text(f), static_cast<std::uint32_t>(fields.size()));
    if (added) fields.push_back(f);
    w->of_record[i] = it->second;
  }
  GbkDecoder decode;
  std::vector<std::string> trimmed(fields.size());
  for (std::size_t j = 0; j < fields.size(); ++j) trimmed[j] = trimmed_field(decode, fields[j]);
  // The distinct fields in the order of their texts; equal texts become one well.
  std::vector<std::uint32_t> order(fields.size());
  for (std::uint32_t j = 0; j < order.size(); ++j) order[j] = j;
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return trimmed[a] < trimmed[b]; });
  std::vector<std::uint32_t> place(fields.size());
  w->wells.reserve(fields.size());
  for (const std::uint32_t j : order) {
    if (w->wells.empty() || w->wells.back() != trimmed[j]) w->wells.push_back(std::move(trimmed[j]));
    place[j] = static_cast<std::uint32_t>(w->wells.size() - 1);
  }
  for (std::uint32_t& r : w->of_record) r = place[r];
  return w;
}

std::shared_ptr<const BgtWells> bgt_wells(const fs::path& path) {
  static std::mutex lock;
  static std::shared_ptr<const BgtWells> last;
  KeptKeys keys = read_bgt_keys(path);
  {
    const std::lock_guard<std::mutex> hold(lock);
    if (last && last->keys == keys) return last;
  }
  auto made = make_bgt_wells(std::move(keys));
  const std::lock_guard<std::mutex> hold(lock);
  last = made;
  return made;
}

// The trimmed wells of the library join the sorted list, each once: those the list lacks
// are merged into it (a well inserted into the list one at a time moves the names after it
// each time).
void add_wells(const fs::path& path, std::vector<std::string>& list) {
  const std::shared_ptr<const BgtWells> w = bgt_wells(path);
  if (list.empty()) {
    list = w->wells;
    return;
  }
  const auto old_end = static_cast<std::ptrdiff_t>(list.size());
  for (const std::string& well : w->wells)
    if (!std::binary_search(list.begin(), list.begin() + old_end, well)) list.push_back(well);
  std::inplace_merge(list.begin(), list.begin() + old_end, list.end());
}

// The trimmed dates of the trimmed well, sorted.
std::vector<std::string> dates_of(const fs::path& path, const std::string& well) {
  const std::shared_ptr<const BgtWells> w = bgt_wells(path);
  std::vector<std::string> dates;
  const auto at = std::lower_bound(w->wells.begin(), w->wells.end(), well);
  if (at == w->wells.end() || *at != well) return dates;
  const auto wanted = static_cast<std::uint32_t>(at - w->wells.begin());
  const RecordKeys& k = *w->keys;
  KeyTexts texts;
  std::vector<std::string_view> found;
  for (std::size_t i = 0; i < k.records; ++i)
    if (w->of_record[i] == wanted) found.push_back(texts.trimmed(key_date(k, i)));
  std::sort(found.begin(), found.end());
  dates.assign(found.begin(), found.end());
  return dates;
}

// The first n characters (code points) of a UTF-8 text.
std::string first_chars(std::string_view s, std::size_t n) {
  std::size_t i = 0, chars = 0;
  while (i < s.size() && chars < n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    ++chars;
  }
  return std::string(s.substr(0, i));
}

void clear_picture(DiagnosisIo& io) {
  if (!io.picture) return;
  set_scale_points(*io.picture);
  io.picture->cls();
}

void show_store_failure(DiagnosisIo& io, StoreStatus status, const fs::path& path, const char* what,
                        const char* title) {
  if (status == StoreStatus::Damaged) {
    io.messages.show(kBadFormatText, kBadFormatTitle);
    return;
  }
  io.messages.show(std::string(what) + path_text(path) + cause_note(set_refusal()) + "\n记录文件未作改动。", title,
                   MsgButtons::Ok, MsgIcon::Warning);
}

// Boxes of params(0..25); kNoBox for the three slots the window never sets.
constexpr int kNoBox = -1;
constexpr std::array<int, kBgtParamCount> kParamBoxes = {
    diag_box::kBore,           diag_box::kLiquid,          diag_box::kWaterCut,       diag_box::kOilDensitySurface,
    diag_box::kOilDensityDownhole, diag_box::kRods1,       diag_box::kRods78,         diag_box::kRods34,
    diag_box::kRods58,         diag_box::kStroke,          diag_box::kSpm,            diag_box::kFluidLevel,
    diag_box::kStaticPressure, diag_box::kTubingPressure,  diag_box::kCasingPressure, diag_box::kLayerMidDepth,
    diag_box::kIntakeDepth,    diag_box::kPumpDepth,       diag_box::kTubingInnerDia, diag_box::kCasingInnerDia,
    kNoBox,                    kNoBox,                     kNoBox,  // params(20..22)
    diag_box::kRods118,        diag_box::kSinkerLen,       diag_box::kSinkerDia};
// Boxes of diag_params(0..7).
constexpr std::array<int, 8> kDiagParamBoxes = {
    diag_box::kGasOilRatio,  diag_box::kEffectiveStroke, diag_box::kViscosity,       diag_box::kNetThickness,
    diag_box::kPermeability, diag_box::kBubblePressure,  diag_box::kFlowingPressure, diag_box::kProductivity};
// Boxes of powers(0..3), kW.
constexpr std::array<int, 4> kPowerBoxes = {diag_box::kInputPower, diag_box::kRodPower, diag_box::kUsefulPower,
                                            diag_box::kRmsPower};

void boxes_to_record(const DiagnosisState& st, BgtRecord& r) {
  auto box = [&st](int k) { return trim_blanks(st.Text1[static_cast<std::size_t>(k)]); };
  r.well_name = box(diag_box::kWell);
  r.test_date = box(diag_box::kDate);
  for (std::size_t k = 0; k < kBgtParamCount; ++k)
    if (kParamBoxes[k] != kNoBox) r.params[k] = box(kParamBoxes[k]);
  r.diag_text = box(diag_box::kAdvice);
  for (std::size_t k = 0; k < kDiagParamBoxes.size(); ++k) r.diag_params[k] = box(kDiagParamBoxes[k]);
  r.cyj_model = box(diag_box::kCyjModel);
  r.plunger_stroke = box(diag_box::kPlungerStroke);
  r.motor_model = box(diag_box::kMotorModel);
  r.wellhead_temp = box(diag_box::kWellheadTemp);
  for (std::size_t k = 0; k < kPowerBoxes.size(); ++k) r.powers[k] = static_cast<float>(st.box(kPowerBoxes[k]));
}

bool Save_Bgt(DiagnosisState& st, DiagnosisIo& io) {
  // The record library's box refused its file (and emptied itself): there is none to write.
  if (st.Bgt_Path.empty()) {
    io.messages.show("没有可用的诊断记录库文件（记录库文件框为空），记录未保存。", kAskSaveTitle);
    return false;
  }
  RecordStore store(st.Bgt_Path, kBgtRecordSize);
  std::size_t count = 0;
  if (const StoreStatus s = store.count(count); s != StoreStatus::Ok) {
    show_store_failure(io, s, st.Bgt_Path, "诊断记录保存失败，不能读取文件：", kAskSaveTitle);
    return false;
  }
  if (count > kMaxLibraryRecords) {
    io.messages.show(over_limit_text(st.Bgt_Path, count), kEmptyKeyTitle);
    return false;
  }
  // The key is looked for in the key bytes alone, and only the record found is read.
  // A key that cannot be read is never taken for a new one (that would store the test twice).
  KeptKeys kept;
  if (const StoreStatus s = kept_record_keys(st.Bgt_Path, kBgtRecordSize, kBgtKeys.fields, kept); s != StoreStatus::Ok) {
    show_store_failure(io, s, st.Bgt_Path, "诊断记录保存失败，不能读取文件：", kAskSaveTitle);
    return false;
  }
  const RecordKeys& keys = *kept;
  // A key of the kept keys is the well field, then the date field; compared as stored.
  const std::size_t well_length = kBgtKeys.well().length;
  const KeyMatch key({{{0, well_length}, well_key(st)}, {{well_length, kBgtKeys.test().length}, date_key(st)}},
                     KeyTrim::Blanks);
  std::size_t found = 0;
  for (std::size_t i = 0; i < keys.records && !found; ++i)
    if (key(keys.key(i))) found = i + 1;
  if (!found && library_full(count)) {
    io.messages.show(library_full_text("诊断记录文件"), kEmptyKeyTitle);
    return false;
  }
  // A replaced record keeps what the window never sets; a new one starts blank.
  BgtRecord rec;
  if (found) {
    Bytes old;
    if (const StoreStatus s = store.read(found, old); s != StoreStatus::Ok) {
      show_store_failure(io, s, st.Bgt_Path, "诊断记录保存失败，不能读取文件：", kAskSaveTitle);
      return false;
    }
    rec = decode_record(old);
  }
  boxes_to_record(st, rec);
  if (trim_blanks(st.refreshed_card.well_name) == well_key(st)) {
    rec.card = st.refreshed_card;
  } else {
    if (!found) rec.card = SgtRecord{};
    io.messages.show(found ? "本井的功图没有刷新过，记录保留原来保存的功图。" : "本井的功图没有刷新过，记录保存时不带功图。",
                     kAskSaveTitle);
  }
  const std::size_t n = found ? found : count + 1;
  const std::optional<FileIdentity> before = file_identity(st.Bgt_Path);
  const Bytes bytes = rec.encode();
  if (const StoreStatus s = store.write(n, bytes); s != StoreStatus::Ok) {
    show_store_failure(io, s, st.Bgt_Path, "诊断记录保存失败，不能写入文件：", kAskSaveTitle);
    return false;
  }
  note_record_written(st.Bgt_Path, kBgtRecordSize, before, n, bytes);  // the well list after it
  st.Bgt_Rec = rec;
  set_Text7(st, std::to_string(n), io);
  return true;
}

}  // namespace

void refresh_diagnosis(DiagnosisState& st, DiagnosisIo& io) {
  // A refresh that stops tells why itself; what is shown stays as it left it.
  std::ignore = Cmd_Ref_Com_Click(st, kRefresh, io.messages, io.picture);
}

void diagnosis_load(DiagnosisState& st, const ProgramFolder& prog, DiagnosisIo& io) {
  st.Bgt_Path = prog.sys() / kBgtFileName;
  st.Sgt_Path = prog.sys() / "Sgt.dat";
  st.Gt_Ym_Path = prog.sys() / kGtYmFileName;
  // A path refused has been told and its box emptied; the window opens on the others.
  st.Text3 = path_text(st.Bgt_Path);
  std::ignore = path_box_change(st, PathBox::Records, io);
  st.Text4 = path_text(st.Gt_Ym_Path);
  std::ignore = path_box_change(st, PathBox::Efficiency, io);
  st.Text8 = path_text(st.Sgt_Path);
  std::ignore = path_box_change(st, PathBox::Cards, io);
  st.Rec_Changed = false;
}

bool path_box_change(DiagnosisState& st, PathBox box, DiagnosisIo& io) {
  std::string* text = box == PathBox::Records ? &st.Text3 : box == PathBox::Efficiency ? &st.Text4 : &st.Text8;
  fs::path* target = box == PathBox::Records ? &st.Bgt_Path : box == PathBox::Efficiency ? &st.Gt_Ym_Path : &st.Sgt_Path;
  const std::size_t len = box == PathBox::Records ? kBgtRecordSize
                          : box == PathBox::Efficiency ? kGtYmRecordSize
                                                       : kCardLibraryRecord;
  const std::string name = trim_blanks(*text);
  if (name.empty()) return false;
  const fs::path p = u8path(name);
  // A refused path is said, its box emptied, and never kept (the window may have been opened on it).
  auto refuse = [&](const std::string& why) {
    io.messages.show(why, kBadFormatTitle);
    text->clear();
    if (*target == p) target->clear();
    return false;
  };
  // The box changes with every key typed: a folder on the way to the file ("/", "/home") is no
  // file yet, and says nothing, as nothing there says nothing.
  std::error_code ec;
  if (fs::is_directory(p, ec)) return false;
  const ReadableFile file(p);
  if (file.fault() == ReadFault::Missing) return false;
  if (!file) return refuse(file.refusal_text());
  const std::uint64_t size = file.size();
  if (size % len != 0) return refuse(kBadFormatText);
  // Records past the 16-bit numbers could be neither listed nor shown by number.
  if (const std::size_t over = records_over_limit(size, len)) return refuse(over_limit_text(p, over));
  *target = p;
  if (box == PathBox::Records) {
    st.well_list.clear();
    Find_WellNmae_To_Comb(st);
  }
  if (box == PathBox::Efficiency) {
    // What of the efficiency file cannot be taken is named once, on opening.
    const std::string found = gt_ym_findings_text(check_gt_ym_library(p), path_text(p));
    if (!found.empty()) io.messages.show(found, kGtYmDamagedTitle, MsgButtons::Ok, MsgIcon::Warning);
  }
  return true;
}

void Load_Effi(DiagnosisState& st, const fs::path& gt_ym_filename, DiagnosisIo& io) {
  std::vector<GtYmRecord> recs;
  std::vector<GtYmCheck> checks;
  const StoreStatus s = read_checked_gt_ym_records(gt_ym_filename, recs, checks);
  if (s == StoreStatus::Damaged) {
    io.messages.show(kBadFormatText, kBadFormatTitle);
    return;
  }
  if (s != StoreStatus::Ok) return;
  const std::string well = trim_blanks(st.Text1[diag_box::kWell]);
  const std::string date8 = first_chars(trim_blanks(st.Text1[diag_box::kDate]), kDateMatchChars);
  for (std::size_t i = 0; i < recs.size(); ++i) {
    const GtYmRecord& rec = recs[i];
    if (trim_blanks(rec.well_name) != well || first_chars(rec.vals[kValTestDate], kDateMatchChars) != date8) continue;
    // A refused record is no record of the test; damaged fields come blank (both named when
    // the file was opened in Text4).
    const GtYmCheck& check = checks[i];
    if (!check.usable()) continue;
    GtYmRecord r = rec;
    blank_damaged_fields(r, check);
    auto val = [&r](std::size_t k) { return trim_blanks(r.vals[k]); };
    const std::pair<int, std::size_t> copies[] = {
        {diag_box::kBore, kValPumpDia},
        {diag_box::kLiquid, kValLiquidRate},
        {diag_box::kWaterCut, kValWaterCut},
        {diag_box::kOilDensitySurface, kValLiquidDensity},
        {diag_box::kRods1, kValRodLen1},
        {diag_box::kRods78, kValRodLen7_8},
        {diag_box::kRods34, kValRodLen3_4},
        {diag_box::kRods58, kValRodLen5_8},
        {diag_box::kSpm, kValRealSpm},
        {diag_box::kFluidLevel, kValFluidLevel},
        {diag_box::kTubingPressure, kValTubingPress},
        {diag_box::kCasingPressure, kValCasingPress},
        {diag_box::kPumpDepth, kValPumpDepth},
        {diag_box::kViscosity, kValViscosity},
        {diag_box::kWellheadTemp, kValWellheadTemp},
        {diag_box::kGasOilRatio, kValGasOilRatio}};
    for (auto [box, k] : copies) st.set_box(box, val(k));
    st.set_box(diag_box::kStroke, "3");  // always this constant: the record's stroke is not taken
    st.set_box(diag_box::kCyjModel, trim_blanks(r.cyj_model));
    st.set_box(diag_box::kMotorModel, trim_blanks(r.motor_model));
    const std::pair<int, std::size_t> powers[] = {{diag_box::kInputPower, kValInputPower},
                                                  {diag_box::kRodPower, kValRodPower},
                                                  {diag_box::kUsefulPower, kValHydraulicPower},
                                                  {diag_box::kRmsPower, kValRmsPower}};
    for (auto [box, k] : powers) {
      const bool damaged = std::find(check.damaged.begin(), check.damaged.end(), k) != check.damaged.end();
      st.set_box(box, damaged ? std::string() : num_text(num_val(r.vals[k])));
    }
    st.set_box(diag_box::kRods118, val(kValRodLen1_1_8));
    const std::string& sinker = r.vals[kValSinker];
    const std::size_t slash = sinker.find('/');
    if (slash == std::string::npos) {
      st.set_box(diag_box::kSinkerLen, "");
      st.set_box(diag_box::kSinkerDia, "");
    } else {
      st.set_box(diag_box::kSinkerLen, sinker.substr(0, slash));
      st.set_box(diag_box::kSinkerDia, sinker.substr(slash + 1));
    }
    return;
  }
}

void Find_WellNmae_To_Comb(DiagnosisState& st) { add_wells(st.Bgt_Path, st.well_list); }

void Comb_WellName_Click(DiagnosisState& st, DiagnosisIo& io) {
  st.date_list = dates_of(st.Bgt_Path, trim_blanks(st.Comb_WellName));
  if (st.date_list.size() == 1) {
    st.Comb_TestTime = st.date_list.front();
    Comb_TestTime_Click(st, io);
  }
}

void Comb_TestTime_Click(DiagnosisState& st, DiagnosisIo& io) {
  st.set_box(diag_box::kWell, st.Comb_WellName);
  st.set_box(diag_box::kDate, st.Comb_TestTime);
  Load_Bgt(st, st.Bgt_Path, io);
  refresh_diagnosis(st, io);
}

std::string cygsj_missing_text(const std::string& well) {
  return "没找到" + well + "井的基础数据，请在“油井井下诊断优化设计”界面中输入并保存。\n\r注意井号字符的大小写。";
}

void cygsj(DiagnosisState& st, std::string& Well_Name, std::int16_t& dda, DiagnosisIo& io) {
  if (st.Rec_Changed &&
      io.messages.show(kAskSaveText, kAskSaveTitle, MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes &&
      !Cmd_Save_Click(st, io)) {
    dda = 3;
    return;
  }
  st.Comb_WellName = Well_Name;
  Comb_WellName_Click(st, io);
  if (!st.date_list.empty()) {
    st.Comb_TestTime = st.date_list.back();
    Comb_TestTime_Click(st, io);
  } else {
    io.messages.show(cygsj_missing_text(Well_Name), "");
    dda = 3;
  }
}

bool Cmd_Save_Click(DiagnosisState& st, DiagnosisIo& io) {
  if (trim_blanks(st.Text1[diag_box::kDate]).empty() || trim_blanks(st.Text1[diag_box::kWell]).empty()) {
    io.messages.show(kEmptyKeyText, kEmptyKeyTitle);
    return false;
  }
  if (!Save_Bgt(st, io)) return false;
  st.Rec_Changed = false;
  Find_WellNmae_To_Comb(st);
  return true;
}

void Load_Bgt(DiagnosisState& st, const fs::path& cs_filename, DiagnosisIo& io) {
  const BgtFile f = read_bgt_file(cs_filename);
  if (f.count == 0) return;
  if (const std::size_t i = find_record(f, st)) {
    st.Bgt_Rec = decode_record(f.record(i));
    set_Text7(st, std::to_string(i), io);
    BgtRecode_To_Text(st);
  }
  clear_picture(io);
  st.Rec_Changed = false;
}

void BgtRecode_To_Text(DiagnosisState& st) {
  // Every box from the pump bore on is emptied; of those before it the pump efficiency keeps
  // its text and the others are all set from the record below.
  for (int k = diag_box::kBore; k < kDiagBoxCount; ++k) st.set_box(k, "");
  const BgtRecord& r = st.Bgt_Rec;
  st.set_box(diag_box::kWell, trim_blanks(r.well_name));
  st.set_box(diag_box::kDate, trim_blanks(r.test_date));
  st.Comb_WellName = trim_blanks(r.well_name);
  st.Comb_TestTime = trim_blanks(r.test_date);
  for (std::size_t k = 0; k < kBgtParamCount; ++k)
    if (kParamBoxes[k] != kNoBox) st.set_box(kParamBoxes[k], trim_blanks(r.params[k]));
  st.set_box(diag_box::kAdvice, trim_blanks(r.diag_text));
  for (std::size_t k = 0; k < kDiagParamBoxes.size(); ++k)
    st.set_box(kDiagParamBoxes[k], trim_blanks(r.diag_params[k]));
  st.set_box(diag_box::kCyjModel, trim_blanks(r.cyj_model));
  st.set_box(diag_box::kPlungerStroke, trim_blanks(r.plunger_stroke));
  st.set_box(diag_box::kMotorModel, trim_blanks(r.motor_model));
  st.set_box(diag_box::kWellheadTemp, trim_blanks(r.wellhead_temp));
  // A damaged record's powers may be any bit pattern: what is no number shows blank, not "NaN".
  for (std::size_t k = 0; k < kPowerBoxes.size(); ++k)
    st.set_box(kPowerBoxes[k], std::isfinite(r.powers[k]) ? num_text_f(r.powers[k]) : std::string());
}

int record_number(const std::string& text7) {
  const long long n = round_even(num_val(text7));
  return n < -32768 || n > 32767 ? 0 : static_cast<int>(n);
}

void set_Text7(DiagnosisState& st, const std::string& text, DiagnosisIo& io) {
  if (st.Text7 == text) return;
  st.Text7 = text;
  Text7_Change(st, io);
}

// The number of whole records of the file, without reading them: 0 for a missing file, a
// folder or a file beyond the record limit, as read_bgt_file counts.
std::size_t bgt_record_count(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return 0;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) return 0;
  const std::uintmax_t n = size / kBgtRecordSize;
  return n > kMaxLibraryRecords ? 0 : static_cast<std::size_t>(n);
}

// The bytes of record n (1-based) of the file as bgt_record_count counts it, read alone. False
// when there is none.
bool read_bgt_bytes(const fs::path& path, std::size_t n, Bytes& b) {
  if (n < 1 || n > bgt_record_count(path)) return false;
  b.assign(kBgtRecordSize, 0);
  return ReadableFile(path).read_at(static_cast<std::uint64_t>(n - 1) * kBgtRecordSize, b);
}

// Record n, decoded: a save shows the record it wrote, the record box the record it names,
// without reading the library.
bool read_bgt_record(const fs::path& path, std::size_t n, BgtRecord& out) {
  Bytes b;
  if (!read_bgt_bytes(path, n, b)) return false;
  out = decode_record(b);
  return true;
}

void Text7_Change(DiagnosisState& st, DiagnosisIo& io) {
  const int n = record_number(st.Text7);
  BgtRecord rec;
  if (n < 1 || !read_bgt_record(st.Bgt_Path, static_cast<std::size_t>(n), rec)) return;
  st.Bgt_Rec = rec;
  BgtRecode_To_Text(st);
  clear_picture(io);
  refresh_diagnosis(st, io);
  st.Rec_Changed = false;
}

void Cmd_Review_Click(DiagnosisState& st, int index, DiagnosisIo& io) {
  // Stepping and deleting need the count and one record, never the whole library.
  const std::size_t records = bgt_record_count(st.Bgt_Path);
  const auto count = static_cast<long long>(records);
  const long long n = record_number(st.Text7);
  if (index == 0 || index == 1) {
    set_Text7(st, std::to_string(step_target(n, index == 0 ? -1 : 1, records)), io);
    return;
  }
  if (index != 2) return;
  // The last record is not deleted from this window; the question comes first.
  const DeleteTarget t = delete_target(n, records, {.keeps_last_record = true, .asks_first = true}, io.messages);
  if (!t.confirmed || count <= 1) return;
  // Only the record on screen goes: its number and its key must agree.
  Bytes rec;
  const bool shown = t.record && read_bgt_bytes(st.Bgt_Path, t.record, rec) && record_well(rec) == well_key(st) &&
                     record_date(rec) == date_key(st);
  if (!shown) {
    io.messages.show("记录号" + std::to_string(n) + "不是当前井号和日期的记录，未删除任何记录。", kDeleteFailedTitle);
    return;
  }
  RecordStore store(st.Bgt_Path, kBgtRecordSize);
  const StoreStatus s = store.remove_via(static_cast<std::size_t>(n), st.Bgt_Path.parent_path() / kDeleteWorkFile);
  if (s != StoreStatus::Ok) {
    if (s == StoreStatus::Damaged)
      io.messages.show(kBadFormatText, kBadFormatTitle);
    else
      io.messages.show(records_not_deleted_text(path_text(st.Bgt_Path), set_refusal()), kDeleteFailedTitle,
                       MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  st.well_list.clear();
  Find_WellNmae_To_Comb(st);
  const std::size_t next = shown_after_delete(t.record, records);
  if (next == t.record)
    Text7_Change(st, io);  // the record after it took its number
  else
    set_Text7(st, std::to_string(next), io);
}

void Text1_Enter(DiagnosisState& st, int box, DiagnosisIo& io) {
  if (box == diag_box::kDate) {
    Load_Bgt(st, st.Bgt_Path, io);
    Load_Effi(st, st.Gt_Ym_Path, io);
    refresh_diagnosis(st, io);
  } else if (box == diag_box::kOilDensityDownhole && st.density_err == 1) {
    refresh_diagnosis(st, io);
    st.density_err = 0;
  }
}

bool diagnosis_unload(DiagnosisState& st, DiagnosisIo& io) {
  if (st.Rec_Changed &&
      io.messages.show(kAskSaveText, kAskSaveTitle, MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes)
    return Cmd_Save_Click(st, io);
  return true;
}

std::vector<std::string> bgt_well_names(const fs::path& path) {
  std::vector<std::string> wells;
  add_wells(path, wells);
  return wells;
}

std::vector<std::string> bgt_well_dates(const fs::path& path, const std::string& well) {
  return dates_of(path, trim_blanks(well));
}

}  // namespace wb
