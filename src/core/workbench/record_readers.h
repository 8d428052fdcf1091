// Readers of stored tests: one record of a single-test file (data/<well>.gNN, .dNN, .xNN,
// record 1) or of a test library (sys/Sgt.dat, Dnt.dat, xbt.dat, the grid's row) is read
// into the main window's record buffer and its curves are rebuilt from the Fourier
// coefficients by the readers' own series (145 points over θ = 2·3.14159/144 for cards and
// electric tests, 180 points of one supply cycle for waveforms).
//
// The screen readers draw through callbacks, so the charts stay in their own modules and
// the readers can be tested without a canvas. A record that cannot be read (a missing or
// empty file, a library of broken length, a single-test file that is not exactly one
// record long, a record number beyond the count) leaves the state untouched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "core/common/bytes.h"
#include "core/records/record_checks.h"
#include "core/workbench/test_libraries.h"
#include "core/workbench/test_state.h"

namespace wb {

// The drawings the screen readers end with; an unset callback draws nothing.
struct ReaderCharts {
  // RodEngMapDisplay_G: the card of the rebuilt points 0 … points (tx_G passes 144).
  std::function<void(TestState&, int points)> RodEngMapDisplay_G;
  // iup_line_form: the electric curves over `period` points (tx_d passes 144).
  std::function<void(TestState&, int period)> iup_line_form;
  // draw_xbt_1: the voltage and current waveforms with the chart origin (xx, yy) in mm.
  std::function<void(TestState&, float xx, float yy)> draw_xbt_1;
  // Refresh of the main picture before the electric curves are drawn.
  std::function<void()> refresh_picture;
};

// Where a record comes from: a single-test file must hold exactly one record; a library
// must hold a whole number of records.
enum class RecordSource { SingleTestFile, Library };

enum class [[nodiscard]] ReadStatus {
  Ok,
  Missing,     // no such file
  Empty,       // a library of no records
  Damaged,     // wrong length: "非法的文件格式!"
  OutOfRange,  // record number outside 1 … count
  IoError,
  Unusable,    // read, but its numbers cannot be shown (record_checks.h)
};

// Reads record `rec` (1-based) of the file; `out` is set only on Ok.
ReadStatus read_stored_record(const std::filesystem::path& file_n, std::size_t record_length, long long rec,
                              RecordSource source, Bytes& out);

// The screen readers. Each reads first and changes nothing unless the record was read and
// passed its check.
ReadStatus tx_G(TestState& st, const std::filesystem::path& file_n, long long recode,
                RecordSource source = RecordSource::Library, const ReaderCharts& charts = {});
ReadStatus tx_d(TestState& st, const std::filesystem::path& file_n, long long rec,
                RecordSource source = RecordSource::Library, const ReaderCharts& charts = {});
ReadStatus tx_x(TestState& st, const std::filesystem::path& file_n, long long rec,
                RecordSource source = RecordSource::Library, const ReaderCharts& charts = {});
// The printing readers: rebuild the curves for a printed page and leave the screen alone.
ReadStatus tx_x_prt_read(TestState& st, const std::filesystem::path& file_n, long long rec);
ReadStatus tx_d_prt_read(TestState& st, const std::filesystem::path& file_n, long long rec);

// The parts of the readers after the record was read (the state changes only here).
void show_sgt(TestState& st, const SgtRecord& r, const ReaderCharts& charts);
void show_dnt(TestState& st, const DntRecord& r, const ReaderCharts& charts);
void show_xbt(TestState& st, const XbtRecord& r, const std::filesystem::path& file_n, const ReaderCharts& charts);

// The waveform reader's well-name rule: the file name before its first dot, in upper case;
// "XBT" (the library) keeps the stored name and gives an empty result.
std::string wave_well_from_file(const std::filesystem::path& file_n);

// Opening one stored test as the shown test (a file of the browser or a grid row): the
// record is read first; only then the state is reset for the new test (Text1 and Text3 emptied,
// counts 0, Picture1's tooltip emptied, Command1 hidden), the kind set, Image1(1)'s tooltip
// set ("不可分析" for cards and waveforms, "平衡分析" for electric tests), Chk_Start hidden,
// and the reader shows the record. On failure the shown test stays as it was.
// The record is checked first (record_checks.h): a refused one gives Unusable and its
// findings in `findings`; the doubts of a shown one go to record_doubts (with the path).
ReadStatus open_stored_test(TestState& st, LibraryKind kind, const std::filesystem::path& file_n, long long rec,
                            RecordSource source, const ReaderCharts& charts, RecordFindings* findings = nullptr);

// Grid1_Click: row `r` of the library named by Frame2's caption. Row 0 (the header) only
// resets the boxes and counts. A loaded row also sets Image1(0)'s tooltip, the export
// target. Returns Ok when nothing was asked of a library (header row, no library shown).
ReadStatus Grid1_row_chosen(TestState& st, const ProgramFolder& prog, long long r, const ReaderCharts& charts,
                            RecordFindings* findings = nullptr);

// Why a stored test was not opened when its file could not be read as records (Missing,
// Empty, Damaged, OutOfRange, IoError), in the form of a refused record's message (title
// kRecordRefusedTitle): the kind, the file and the reason, e.g. that a single-test file is
// 511 bytes long instead of the 512 of its one record. Empty for Ok and Unusable (whose
// findings say it).
std::string read_failure_text(LibraryKind kind, ReadStatus status, const std::filesystem::path& path,
                              RecordSource source);

// The messages of a record refused or opened with doubts: empty when there is nothing to say.
std::string record_refusal_message(LibraryKind kind, const RecordFindings& f, const std::filesystem::path& path);
std::string record_doubts_message(const TestState& st);

}  // namespace wb
