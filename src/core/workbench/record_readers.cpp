#include "core/workbench/record_readers.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>

#include "core/common/fourier.h"
#include "core/common/gbk.h"
#include "core/common/number_text.h"
#include "core/common/paths.h"
#include "core/common/trim.h"
#include "core/workbench/workbench_messages.h"

namespace wb {

namespace fs = std::filesystem;

namespace {

constexpr int kCardPoints = 145;      // rebuilt points of a stored card or electric test
constexpr int kCardDivisions = 144;   // θ = 2·3.14159/144
constexpr int kWavePoints = 180;      // one supply cycle of a waveform record
constexpr int kCardPosHarmonics = 6;  // position: terms 1 … 6
constexpr int kCurveHarmonics = 29;   // load, current, voltage, power: terms 1 … 29
constexpr int kWaveMaxHarmonic = 49;  // a waveform record holds orders 0 … 49

std::string scaled(std::int16_t v, double factor) { return num_text(static_cast<double>(v) / factor); }

void round_cents(SampleArray& a, int n) {
  for (int i = 0; i < n; ++i) a[i] = static_cast<float>(round_dec(static_cast<double>(a[i]), 2));
}

void rebuild_wave(TestState& st, const XbtRecord& r) {
  const int h = std::clamp(static_cast<int>(r.order_num) - 1, 0, kWaveMaxHarmonic);
  reader_series(st.iis.data(), kWavePoints, kWavePoints, h, r.ii_cos.data(), r.ii_sin.data());
  reader_series(st.uus.data(), kWavePoints, kWavePoints, h, r.uu_cos.data(), r.uu_sin.data());
  round_cents(st.iis, kWavePoints);
  round_cents(st.uus, kWavePoints);
}

RecordFindings check_record(const SgtRecord& r) { return check_sgt_record(r); }
RecordFindings check_record(const DntRecord& r) { return check_dnt_record(r); }
RecordFindings check_record(const XbtRecord& r) { return check_xbt_record(r); }

RecordKindName kind_name(LibraryKind kind) {
  switch (kind) {
    case LibraryKind::Card: return RecordKindName::Card;
    case LibraryKind::Electric: return RecordKindName::Electric;
    case LibraryKind::Wave: return RecordKindName::Wave;
  }
  return RecordKindName::Card;
}

template <class Rec>
ReadStatus read_as(const fs::path& file_n, std::size_t len, long long rec, RecordSource source, Rec& out) {
  Bytes b;
  ReadStatus s = read_stored_record(file_n, len, rec, source, b);
  if (s == ReadStatus::Ok && !out.decode(b)) s = ReadStatus::IoError;
  if (s == ReadStatus::Ok && !check_record(out).usable()) s = ReadStatus::Unusable;
  return s;
}

}  // namespace

ReadStatus read_stored_record(const fs::path& file_n, std::size_t record_length, long long rec, RecordSource source,
                              Bytes& out) {
  std::error_code ec;
  if (!fs::exists(file_n, ec)) return ec ? ReadStatus::IoError : ReadStatus::Missing;
  if (!fs::is_regular_file(file_n, ec)) return ReadStatus::IoError;
  const auto size = fs::file_size(file_n, ec);
  if (ec) return ReadStatus::IoError;
  if (size == 0) return ReadStatus::Empty;
  if (source == RecordSource::SingleTestFile ? size != record_length : size % record_length != 0)
    return ReadStatus::Damaged;
  const auto count = static_cast<long long>(size / record_length);
  if (rec < 1 || rec > count) return ReadStatus::OutOfRange;
  std::ifstream in(file_n, std::ios::binary);
  if (!in) return ReadStatus::IoError;
  in.seekg(static_cast<std::streamoff>((rec - 1) * static_cast<long long>(record_length)));
  Bytes b(record_length, 0);
  if (!in.read(reinterpret_cast<char*>(b.data()), static_cast<std::streamsize>(record_length)))
    return ReadStatus::IoError;
  out = std::move(b);
  return ReadStatus::Ok;
}

void show_sgt(TestState& st, const SgtRecord& r, const ReaderCharts& charts) {
  st.sgt_rec = r;
  st.disp_state = 1;
  st.image1_tooltip[7] = library_info(LibraryKind::Card).save_tooltip;
  st.gt_num = r.point_num;
  st.org_head.test_date = r.test_date;
  st.Text1[appended_box::kTestDate] = Trim_Blank_Nul(r.test_date);
  st.Text1[appended_box::kStrokeLoss] = scaled(r.stroke_loss, 1000.0);
  st.Text1[appended_box::kWell] = Trim_Blank_Nul(r.well_name);
  st.Text1[appended_box::kTheoStroke] = scaled(r.theo_stroke, 1000.0);
  st.Text1[appended_box::kTheoMaxLoad] = scaled(r.theo_max_load, 100.0);
  st.Text1[appended_box::kTheoMinLoad] = scaled(r.theo_min_load, 100.0);
  reader_series(st.sss.data(), kCardPoints, kCardDivisions, kCardPosHarmonics, r.ss_cos.data(), r.ss_sin.data());
  reader_series(st.ggs.data(), kCardPoints, kCardDivisions, kCurveHarmonics, r.gg_cos.data(), r.gg_sin.data());
  if (charts.RodEngMapDisplay_G) charts.RodEngMapDisplay_G(st, kCardDivisions);
}

void show_dnt(TestState& st, const DntRecord& r, const ReaderCharts& charts) {
  st.dnt_rec = r;
  st.image1_tooltip[7] = library_info(LibraryKind::Electric).save_tooltip;
  st.disp_state = 1;
  st.iu_num = r.point_num;
  st.org_head.test_date = r.test_date;
  st.Text1[appended_box::kTestDate] = Trim_Blank_Nul(r.test_date);
  st.Text1[appended_box::kWell] = Trim_Blank_Nul(r.well_name);
  reader_series(st.iis.data(), kCardPoints, kCardDivisions, kCurveHarmonics, r.ii_cos.data(), r.ii_sin.data());
  reader_series(st.uus.data(), kCardPoints, kCardDivisions, kCurveHarmonics, r.uu_cos.data(), r.uu_sin.data());
  reader_series(st.pps.data(), kCardPoints, kCardDivisions, kCurveHarmonics, r.pp_cos.data(), r.pp_sin.data());
  st.Text3[result_box::kAvgVoltage] = scaled(r.avg_voltage, 50.0);
  st.Text3[result_box::kAvgCurrent] = scaled(r.avg_current, 100.0);
  st.Text3[result_box::kInputPower] = scaled(r.input_power, 100.0);
  st.Text3[result_box::kReactivePower] = scaled(r.reactive_power, 100.0);
  st.Text3[result_box::kApparentPower] = scaled(r.apparent_power, 100.0);
  st.Text3[result_box::kPowerFactor] = scaled(r.power_factor, 10000.0);
  st.Text3[result_box::kRmsCurrent] = scaled(r.rms_current, 100.0);
  st.Text3[result_box::kRmsPower] = scaled(r.rms_power, 100.0);
  st.imax_up = static_cast<float>(r.max_current_up / 100.0);
  st.imax_down = static_cast<float>(r.max_current_down / 100.0);
  st.pavg_up = static_cast<float>(r.avg_power_up / 100.0);
  st.pavg_down = static_cast<float>(r.avg_power_down / 100.0);
  // The stroke power sum from the mean: input power times the samples of one stroke.
  st.p_sum = static_cast<float>(r.input_power / 100.0 * st.iu_num);
  st.picture1_tooltip = kTipShowEnergy;
  if (charts.refresh_picture) charts.refresh_picture();
  if (charts.iup_line_form) charts.iup_line_form(st, kCardDivisions);
}

std::string wave_well_from_file(const fs::path& file_n) {
  std::string name = file_name_text(path_text(file_n.filename()));
  if (auto dot = name.find('.'); dot != std::string::npos) name.resize(dot);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name == "XBT" ? std::string() : name;
}

void show_xbt(TestState& st, const XbtRecord& r, const fs::path& file_n, const ReaderCharts& charts) {
  st.xbt_rec = r;
  // A waveform file carries the instrument's name for the well; the file name is the one
  // the user gave the test (cut to the 16 bytes the record holds).
  if (std::string w = wave_well_from_file(file_n); !w.empty()) st.xbt_rec.well_name = gbk_pad(w, 16);
  st.disp_state = 1;
  st.image1_tooltip[7] = library_info(LibraryKind::Wave).save_tooltip;
  st.iu_num = kWavePoints;
  st.org_head.test_date = st.xbt_rec.test_date;
  st.Text1[appended_box::kTestDate] = Trim_Blank_Nul(st.xbt_rec.test_date);
  st.Text1[appended_box::kWell] = Trim_Blank_Nul(st.xbt_rec.well_name);
  rebuild_wave(st, st.xbt_rec);
  if (charts.draw_xbt_1) charts.draw_xbt_1(st, 5.0f, 7.0f);
  st.picture1_tooltip = kTipDrawHarmonics;
}

ReadStatus tx_G(TestState& st, const fs::path& file_n, long long recode, RecordSource source,
                const ReaderCharts& charts) {
  SgtRecord r;
  ReadStatus s = read_as(file_n, kSgtRecordSize, recode, source, r);
  if (s == ReadStatus::Ok) show_sgt(st, r, charts);
  return s;
}

ReadStatus tx_d(TestState& st, const fs::path& file_n, long long rec, RecordSource source, const ReaderCharts& charts) {
  DntRecord r;
  ReadStatus s = read_as(file_n, kDntRecordSize, rec, source, r);
  if (s == ReadStatus::Ok) show_dnt(st, r, charts);
  return s;
}

ReadStatus tx_x(TestState& st, const fs::path& file_n, long long rec, RecordSource source, const ReaderCharts& charts) {
  XbtRecord r;
  ReadStatus s = read_as(file_n, kXbtRecordSize, rec, source, r);
  if (s == ReadStatus::Ok) show_xbt(st, r, file_n, charts);
  return s;
}

ReadStatus tx_x_prt_read(TestState& st, const fs::path& file_n, long long rec) {
  XbtRecord r;
  ReadStatus s = read_as(file_n, kXbtRecordSize, rec, RecordSource::Library, r);
  if (s != ReadStatus::Ok) return s;
  st.xbt_rec = r;
  st.image1_tooltip[7] = library_info(LibraryKind::Wave).save_tooltip;
  st.iu_num = kWavePoints;
  st.org_head.test_date = r.test_date;
  st.Text1[appended_box::kWell] = Trim_Blank_Nul(r.well_name);
  rebuild_wave(st, r);
  return s;
}

ReadStatus tx_d_prt_read(TestState& st, const fs::path& file_n, long long rec) {
  DntRecord r;
  ReadStatus s = read_as(file_n, kDntRecordSize, rec, RecordSource::Library, r);
  if (s != ReadStatus::Ok) return s;
  st.dnt_rec = r;
  st.iu_num = r.point_num;
  // One stroke of point_num samples, as many as the arrays hold.
  const int n = std::clamp(static_cast<int>(r.point_num), 0, kSampleArraySize);
  if (n > 0) {
    reader_series(st.iis.data(), n, r.point_num, kCurveHarmonics, r.ii_cos.data(), r.ii_sin.data());
    reader_series(st.uus.data(), n, r.point_num, kCurveHarmonics, r.uu_cos.data(), r.uu_sin.data());
    reader_series(st.pps.data(), n, r.point_num, kCurveHarmonics, r.pp_cos.data(), r.pp_sin.data());
  }
  return s;
}

ReadStatus open_stored_test(TestState& st, LibraryKind kind, const fs::path& file_n, long long rec,
                            RecordSource source, const ReaderCharts& charts, RecordFindings* findings) {
  const LibraryInfo& lib = library_info(kind);
  Bytes b;
  ReadStatus s = read_stored_record(file_n, lib.record_length, rec, source, b);
  if (s != ReadStatus::Ok) return s;
  SgtRecord sgt;
  DntRecord dnt;
  XbtRecord xbt;
  bool ok = kind == LibraryKind::Card ? sgt.decode(b) : kind == LibraryKind::Electric ? dnt.decode(b) : xbt.decode(b);
  if (!ok) return ReadStatus::IoError;
  RecordFindings f = kind == LibraryKind::Card       ? check_sgt_record(sgt)
                     : kind == LibraryKind::Electric ? check_dnt_record(dnt)
                                                     : check_xbt_record(xbt);
  if (findings) *findings = f;
  if (!f.usable()) return ReadStatus::Unusable;

  st.reset_for_new_test();
  st.record_doubts = std::move(f.doubts);
  if (!st.record_doubts.empty()) st.record_doubts_path = path_text(file_n);
  st.read_sgt_dnt_org = lib.test_kind;
  st.image1_tooltip[1] = kind == LibraryKind::Electric ? kTipBalanceAnalysis : kTipNoAnalysis;
  switch (kind) {
    case LibraryKind::Card: show_sgt(st, sgt, charts); break;
    case LibraryKind::Electric: show_dnt(st, dnt, charts); break;
    case LibraryKind::Wave: show_xbt(st, xbt, file_n, charts); break;
  }
  st.chk_start_visible = false;
  return s;
}

ReadStatus Grid1_row_chosen(TestState& st, const ProgramFolder& prog, long long r, const ReaderCharts& charts,
                            RecordFindings* findings) {
  const LibraryInfo* lib = library_by_caption(st.frame2_caption);
  if (r <= 0 || !lib) {
    st.reset_for_new_test();
    return ReadStatus::Ok;
  }
  ReadStatus s =
      open_stored_test(st, lib->kind, prog.sys() / lib->file_name, r, RecordSource::Library, charts, findings);
  if (s == ReadStatus::Ok) st.image1_tooltip[0] = lib->export_tooltip;
  return s;
}

std::string read_failure_text(LibraryKind kind, ReadStatus status, const fs::path& path, RecordSource source) {
  const std::size_t len = library_info(kind).record_length;
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  const std::string bytes = ec ? std::string("长度不明") : "长 " + std::to_string(size) + " 字节";
  std::string reason;
  bool damaged = true;
  switch (status) {
    case ReadStatus::Ok:
    case ReadStatus::Unusable: return {};
    case ReadStatus::Missing:
      reason = "文件不存在（可能已被移走或删除）。";
      damaged = false;
      break;
    case ReadStatus::Empty: reason = "文件是空的（0 字节），没有测试记录。"; break;
    case ReadStatus::Damaged:
      reason = source == RecordSource::SingleTestFile
                   ? "文件" + bytes + "，单个测试文件应正好是一个记录（" + std::to_string(len) + " 字节）。"
                   : "文件" + bytes + "，不是整数个记录（每个记录 " + std::to_string(len) + " 字节）。";
      break;
    case ReadStatus::OutOfRange:
      reason = "库中已没有所选的记录（文件" + bytes + "）：请重新列出测试库。";
      damaged = false;
      break;
    case ReadStatus::IoError:
      reason = "文件不能读取。";
      damaged = false;
      break;
  }
  return std::string(record_kind_name(kind_name(kind))) + "数据 " + path_text(path) +
         (damaged ? kDamagedNotShownText : " 不能打开：") + "\n・" + reason + kShownTestKeptText;
}

std::string record_refusal_message(LibraryKind kind, const RecordFindings& f, const fs::path& path) {
  if (f.usable()) return {};
  return record_refusal_text(kind_name(kind), f.refusals, path_text(path));
}

std::string record_doubts_message(const TestState& st) {
  if (st.record_doubts.empty()) return {};
  const RecordKindName kind = st.read_sgt_dnt_org == kKindElectric ? RecordKindName::Electric
                              : st.read_sgt_dnt_org == kKindWave   ? RecordKindName::Wave
                                                                   : RecordKindName::Card;
  return record_doubts_text(kind, st.record_doubts, st.record_doubts_path);
}

}  // namespace wb
