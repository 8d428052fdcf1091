// The main window's test libraries sys/Sgt.dat (cards), sys/Dnt.dat (electric tests) and
// sys/xbt.dat (waveform tests): listing into the library grid, saving the shown test under
// its key (well name, test date), exporting it to a single-test file data/<well>.gNN,
// .dNN or .xNN, and deleting a record through the library's backup file.
//
// Every write goes through a temporary file renamed over the original, so a failed save
// or delete leaves the library exactly as it was; the result says so and the window tells
// the user. A library whose length is not a whole number of records is refused and never
// rewritten.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/listing_texts.h"
#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/workbench/test_state.h"

namespace wb {

enum class LibraryKind { Card, Electric, Wave };

struct LibraryInfo {
  LibraryKind kind;
  const char* file_name;       // in sys
  const char* backup_name;     // in sys, exists only during a deletion
  const char* caption;         // caption of Frame2 while the grid lists it
  const char* export_tooltip;  // tooltip of Image1(0) after one of its records was loaded
  const char* save_tooltip;    // tooltip of Image1(7) after a reader showed such a test
  char letter;                 // type letter of its single-test files
  std::size_t record_length;
  TestKind test_kind;
};

const LibraryInfo& library_info(LibraryKind kind);
// The library named by a Frame2 caption or an Image1(0) tooltip; nullptr for any other text.
const LibraryInfo* library_by_caption(std::string_view caption);
const LibraryInfo* library_by_export_tooltip(std::string_view tooltip);
std::filesystem::path library_path(const ProgramFolder& prog, LibraryKind kind);

// The kind of a single-test file by the first letter of its suffix, either case: o joint test,
// g card, d electric test, x waveform (name.o01, name.g02 …). kKindNone for a name with no
// suffix or another letter. Only the file name counts, not the folders above it.
[[nodiscard]] TestKind test_kind_of_file(const std::filesystem::path& file);

enum class [[nodiscard]] LibStatus {
  Ok,
  Damaged,     // length not a whole number of records: refused, not rewritten
  IoError,     // a file could not be read, written or renamed: nothing changed
  UnsafeName,  // the well name cannot become a file name
  NoFreeName,  // all 99 single-test names of the well are taken
  Full,        // a new key in a library that holds the record limit: nothing written
  OverLimit,   // a file of more records than the limit: refused, not listed or written
};

// One grid row: column 0 the record number, 1 the well name and 2 the test date as stored
// (padding kept; NUL bytes shown as blanks).
struct GridRow {
  std::string number;
  std::string well_name;
  std::string test_date;
};

// Load_Grid_Dat_sgt / _Pow / _Wav: the rows of the library at `fil_nam`. An empty library
// file is deleted (no rows); a missing one has no rows; one of more records than the limit
// (core/common/record_limit.h) is refused whole.
LibStatus Load_Grid_Dat(const std::filesystem::path& fil_nam, std::size_t record_length, std::vector<GridRow>& rows);
// The same rows packed (numbered by the caller from 1), kept while the library is unchanged
// (kept_record_keys): the grid filled again lists from them. Never null.
using GridListing = KeyListing;
LibStatus grid_listing(const std::filesystem::path& fil_nam, std::size_t record_length,
                       std::shared_ptr<const GridListing>& out);

// The outcome of a save: `result` is 0 when the record of the same key was overwritten,
// otherwise the number of the appended record (meaningful only with status Ok).
struct [[nodiscard]] SaveResult {
  LibStatus status = LibStatus::Ok;
  std::size_t result = 0;
};

// Whether the library at `fil_nam` (records of `record_length`, the well name in bytes 0..15
// and the test date in 16..27) can store the key (well, date): Ok when the key is there or
// the library is below the record limit; Full or OverLimit otherwise. Lets a save of
// several libraries refuse before it writes any of them.
LibStatus room_for_key(const std::filesystem::path& fil_nam, std::size_t record_length, const std::string& well,
                       const std::string& date);

// Refresh the current record of the state from the boxes (well name; for a card also the
// static-load fields) and store it in the library at `fil_nam`.
SaveResult sgt_save_new(TestState& st, const std::filesystem::path& fil_nam);
SaveResult Pow_save_new(TestState& st, const std::filesystem::path& fil_nam);
SaveResult Wav_Save_new(TestState& st, const std::filesystem::path& fil_nam);

// The card refresh from the static-card boxes (appended_box::kStrokeLoss, kTheoStroke,
// kTheoMaxLoad, kTheoMinLoad): a box value whose scaled product does not
// fit its 16-bit field leaves that field as it was. Returns the captions of those boxes.
std::vector<std::string> refresh_sgt_from_boxes(TestState& st);

// What a save or an export would store otherwise than the boxes show it, found before
// anything is written so the user can decide: boxes whose value does not fit its field, and
// a well name cut to its 16 bytes or holding characters the record's code page (GBK)
// cannot store. A cut name may share its key with another well's record and replace it.
struct StoreCheck {
  std::vector<std::string> unstored;  // captions of the boxes not stored
  bool unstored_zeroed = false;       // those fields hold 0 (a joint test's new records)
  std::string well;                   // the name as typed, trimmed
  std::string stored_well;            // the name as it reads back from the record
  bool name_cut = false;
  bool name_changed = false;          // characters replaced by '?'
  bool ok() const { return unstored.empty() && !name_cut && !name_changed; }
};
// The name check for any kind, and for a card the boxes the refresh takes.
StoreCheck check_store(const TestState& st, LibraryKind kind);
// The check of a well name alone.
StoreCheck check_well_name(std::string_view typed);
// The question asked before such a store ("…是否仍然保存？"); empty when the check is ok.
std::string store_check_question(const StoreCheck& c);

struct [[nodiscard]] ExportResult {
  LibStatus status = LibStatus::Ok;
  std::filesystem::path path;  // the file written
};

// main_to_sgt / main_to_dnt / main_to_xbt: write the current record into the first free
// data/<well>.gNN (.dNN, .xNN), NN = 01 … 99. Existing names are matched without regard
// to case, as the file browser shows them.
ExportResult main_to_sgt(TestState& st, const ProgramFolder& prog);
ExportResult main_to_dnt(TestState& st, const ProgramFolder& prog);
ExportResult main_to_xbt(TestState& st, const ProgramFolder& prog);
ExportResult export_current(TestState& st, const ProgramFolder& prog, LibraryKind kind);
// The first free single-test name of a well: no entry of any kind (folder, link, FIFO, …)
// has it in any case of its letters. Empty when all 99 are taken or the folder cannot be listed.
std::filesystem::path first_free_test_file(const std::filesystem::path& data_dir, std::string_view well, char letter);

// The question asked before a deletion (title kDeleteTitle), naming the library, the record
// and its key as the grid shows them (blanks at either end aside):
// "确实要删除功图数据主库的 3号记录吗?\n井号：N5\n测试日期：200607081200".
inline constexpr const char* kDeleteTitle = kWarningTitle;
std::string delete_question(const LibraryInfo& lib, long long row, std::string_view well, std::string_view date);
// What the delete command says instead of asking: no library is listed on screen, or no
// record of it is chosen.
inline constexpr const char* kNoLibraryShownText =
    "现在没有显示任何测试库，没有可删除的记录。\n请先按“功”、“电”或“波”按钮列出测试库，再选定要删除的记录。";
inline constexpr const char* kNoRecordChosenText = "请先在测试库列表中选定要删除的记录。";

struct [[nodiscard]] DeleteResult {
  LibStatus status = LibStatus::Ok;
  bool relist = false;  // the library changed and the grid must list it again
};
// sc_num_Click after the user said Yes: removes record n (rows outside 1 … count leave the
// records as they are) through the library's backup file.
DeleteResult delete_library_record(const ProgramFolder& prog, LibraryKind kind, long long n);

// A message for the user about a failed library operation.
struct UserMessage {
  std::string text;
  std::string title;
};
enum class LibOperation { List, Save, Export, Delete, Read };
UserMessage library_failure_message(LibOperation op, LibStatus status, const std::filesystem::path& path,
                                    std::string_view well = {});
// The refusal of a well name that cannot become a file name (export, picture save): its
// characters, or a file name longer than 255 bytes.
UserMessage unsafe_well_name_message(std::string_view well);
// A single-test file is the well name and ".<letter><two digits>".
inline constexpr std::size_t kTestFileSuffixBytes = 4;

}  // namespace wb
