// The diagnosis record file and the window's well selection: the path boxes, taking base
// data from the efficiency records, the well and date lists, `cygsj`, save, find, show by
// number, step and delete.
//
// Promises beyond the plain record store:
//   - Scans read into a scratch record; `Bgt_Rec` (whose card is the current card) changes
//     only when a record is shown or saved, so a scan never swaps the current card.
//   - A save compares keys as they will be stored (a key longer than its field finds its
//     record again). A replaced record keeps the fields the window never sets; a new record
//     starts blank. The refreshed card is stored only when it is the record's own well's;
//     otherwise a replaced record keeps its stored card, a new one gets an empty card, and
//     the user is told.
//   - A deletion rewrites the file through a work file beside it, and only removes the
//     record whose key is the one in boxes 3 and 4.
//   - A file whose length is not whole records is read as far as its whole records go and is
//     never written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/common/canvas.h"
#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/common/record_browser.h"
#include "core/common/services.h"
#include "core/diagnosis/diagnosis_state.h"

namespace wb {

inline constexpr const char* kBgtFileName = "bgt.dat";
inline constexpr const char* kDeleteWorkFile = "tempfile";

inline constexpr const char* kEmptyKeyText = "“井号”或“测试日期”不能为空!";
inline constexpr const char* kEmptyKeyTitle = "不能保存";
inline constexpr const char* kAskSaveText = "当前记录已改动，需保存吗?";
inline constexpr const char* kAskSaveTitle = kSaveTitle;
inline constexpr const char* kDeleteQuestion = kDeleteRecordQuestion;

// The window's services: message boxes and the chart picture (may be null).
struct DiagnosisIo {
  MessageService& messages;
  Canvas* picture = nullptr;
};

// The refresh with index 0 (a density refusal leaves focus_request at box 9).
void refresh_diagnosis(DiagnosisState& st, DiagnosisIo& io);

// Load step: default paths under sys, the path boxes set (an existing valid record file
// fills the well list), the record marked unchanged.
void diagnosis_load(DiagnosisState& st, const ProgramFolder& prog, DiagnosisIo& io);

// A change of the path boxes Text3 (record file), Text4 (efficiency file), Text8 (card
// library): an existing file of whole records becomes the path in use; one of another length
// is refused with a message and the box emptied, as is one of more records than the
// limit (core/common/record_limit.h), named in its message. An efficiency file taken with refused
// records or damaged fields is named in one message (gt_ym_findings_text). True when the
// path was taken.
enum class PathBox { Records, Efficiency, Cards };
[[nodiscard]] bool path_box_change(DiagnosisState& st, PathBox box, DiagnosisIo& io);

// Base data from the first efficiency record of the well in box 3 whose test date agrees
// with box 4 in its first 8 characters. A refused record is passed over; a damaged field
// leaves its box blank (gt_ym_checks.h).
void Load_Effi(DiagnosisState& st, const std::filesystem::path& gt_ym_filename, DiagnosisIo& io);

// The date list of the well in Comb_WellName (emptied first, also when the file holds no
// record); a single date is selected and loaded.
void Comb_WellName_Click(DiagnosisState& st, DiagnosisIo& io);
// Boxes 3 and 4 from the combos, the record found and shown, the refresh.
void Comb_TestTime_Click(DiagnosisState& st, DiagnosisIo& io);
// The design window's choice of a well: unsaved edits are offered for saving first; the
// well's last test date is loaded and refreshed, or a message and dda = 3. A save chosen and
// refused (its message shown) keeps the edits on show and also gives dda = 3.
void cygsj(DiagnosisState& st, std::string& Well_Name, std::int16_t& dda, DiagnosisIo& io);
std::string cygsj_missing_text(const std::string& well);

// "保存": the key check, the save, the well list. False when nothing was saved.
[[nodiscard]] bool Cmd_Save_Click(DiagnosisState& st, DiagnosisIo& io);
// Finds the record of boxes 3 and 4 in `cs_filename`, shows it and clears the chart.
void Load_Bgt(DiagnosisState& st, const std::filesystem::path& cs_filename, DiagnosisIo& io);
// Bgt_Rec into the boxes and the combo texts.
void BgtRecode_To_Text(DiagnosisState& st);
// The record-number box: a new text shows that record (and refreshes).
void set_Text7(DiagnosisState& st, const std::string& text, DiagnosisIo& io);
void Text7_Change(DiagnosisState& st, DiagnosisIo& io);
// "←" (0), "→" (1), "×" (2, delete after asking).
void Cmd_Review_Click(DiagnosisState& st, int index, DiagnosisIo& io);
// Adds the file's well names missing from the well list.
void Find_WellNmae_To_Comb(DiagnosisState& st);
// Enter in box 4 (find, efficiency data, refresh) or in box 9 after a density refusal.
void Text1_Enter(DiagnosisState& st, int box, DiagnosisIo& io);
// The unload question: asks when the record changed and saves on Yes. False when the save
// was refused (its message shown): the window stays open with its edits.
[[nodiscard]] bool diagnosis_unload(DiagnosisState& st, DiagnosisIo& io);

// The record number in Text7: nearest whole number, halves to even; 0 when not a number or
// beyond 16 bits.
int record_number(const std::string& text7);

// Well names and the dates of one well as the lists show them (for the benchmark and the
// window): trimmed, sorted.
std::vector<std::string> bgt_well_names(const std::filesystem::path& path);
std::vector<std::string> bgt_well_dates(const std::filesystem::path& path, const std::string& well);

}  // namespace wb
