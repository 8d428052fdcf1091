// The efficiency window's record library (sys/gt_ym.dat by default, or the library the
// user chose): save keyed by well and test time together with the update of the
// power/balance summary, the well and test-time lists, showing a record by its number,
// previous / next / delete, and the check of a library chosen in a library box.
//
// Each operation is a function over the window's box texts and the library path; the
// window applies what it returns. The order the window follows:
//   Cmd_Save / Form_Unload:  Save_Effi_Data; when saved: Text7 := record, Edit_Flag := false,
//                            Find_WellNmae_To_Comb (list not cleared). A failed save keeps
//                            Edit_Flag (the message has been shown).
//   show record r:           offer_save_edited (when Edit_Flag), EffiRecode_To_Text, then
//                            Get_Sgt_Dat and Get_Pow_Dat (effi_curves.h); not shown: gt_num and
//                            iu_num := 0.
//   ← / →:                   Text7 := review_target(...), then "show record".
//   ×:                       delete_effi_record; when deleted: clear the well list,
//                            Find_WellNmae_To_Comb, Text7 := result, then "show record".
//   well chosen:             Find_TestTime_To_Comb; exactly one time: choose it.
//   test time chosen:        Text7 := ""; r := find_effi_test; r > 0: beep, Text7 := r, "show
//                            record"; Pin_Ref := box 25; r = 0: Get_Well_Base (well_base_record.h).
//   library box changed:     check_library_box; Accepted: the member takes the path (for the
//                            efficiency library: clear the well list, Find_WellNmae_To_Comb).
// Keys are compared after trimming blanks, case-sensitively, by the part a field stores.
// A library is never deleted (an empty one is just empty); every change goes through an
// atomic replace in the library's own folder, and a failed one leaves the library as it was.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/common/dlph_record.h"
#include "core/common/listing_texts.h"
#include "core/common/paths.h"
#include "core/common/record_browser.h"
#include "core/common/record_store.h"
#include "core/common/services.h"
#include "core/records/gt_ym_record.h"
#include "core/efficiency/sys_effi_state.h"
#include "core/efficiency/well_base_record.h"

namespace wb {

// Boxes to record: each field of kGtYmFields takes its box's text, trimmed (the sinker bar's
// two boxes joined by "/"); CR LF.
GtYmRecord gt_ym_from_boxes(const EffiBoxTexts& Text1);
// Record to boxes 0..48: trimmed fields; the sinker bar's field split at its first "/" into
// its two boxes (no "/": both empty).
void gt_ym_to_boxes(const GtYmRecord& rec, EffiBoxTexts& Text1);

struct [[nodiscard]] EffiSaveResult {
  bool saved = false;          // the efficiency record was written
  std::size_t record = 0;      // its number (1-based): the new Text7
  bool appended = false;
  bool summary_saved = false;  // the summary record was written
  std::size_t summary_record = 0;
};

// Stores the boxes as the efficiency record of box 0 + box 23 in `Effi_File` (overwriting
// the first record of the key, else appending; no question), then updates the summary
// record of the test in sys/DlPh.dat through the shared buffer (update_effi_summary). A
// library that is damaged or cannot be written is reported in a message box and left as
// it was; the summary is still updated. Both records reach the disk together (see SaveSet).
// A new key in either library at the record limit, or either file beyond it
// (core/common/record_limit.h), is refused first with a message naming it: nothing is written.
EffiSaveResult Save_Effi_Data(const std::filesystem::path& Effi_File, const ProgramFolder& prog,
                              const EffiBoxTexts& Text1, DlPhRecord& DlPh_Rec, MessageService& msg);

// "保存" of the efficiency window: Save_Effi_Data and, for a joint test (`well_base` given),
// Save_Well_Base, written all or none: a part refused (a well base value out of range, a
// library damaged or unreadable) has said why, then a message says that none of the three
// was saved. For a joint test the overwrite question (test_overwrite_question
// of trimmed box 0, title kWarningTitle) comes first and once, when the efficiency
// library or the well base library holds a record of the key; No writes nothing anywhere.
// Before it, a library of the three that the record limit refuses is named and nothing is
// asked or written.
struct [[nodiscard]] EffiTestSaveResult {
  bool declined = false;
  EffiSaveResult effi;
  WellBaseSaveResult well_base;  // meaningful for a joint test
};
EffiTestSaveResult save_effi_test(const std::filesystem::path& Effi_File, const ProgramFolder& prog,
                                  const EffiBoxTexts& Text1, DlPhRecord& DlPh_Rec, const EffiWellBaseSource* well_base,
                                  MessageService& msg);

// The summary part of the save: the record whose Trim_Blank_Nul key equals box 0 + box 23
// gets the models (boxes 2, 3), measured stroke and strokes per minute (41, 42), pump
// efficiency (33 → dn_cs[0]), the energy values dn_cs[1] (34), [2] (35), [4] (37), [5] (36),
// [6] (38), [10] (39), [14] (40) and sys_effi (30); its other fields stay. Without one, a
// record is appended from a cleared buffer (crank fields, advice, the other dn_cs and the
// reserved bytes zero or blank). Returns the record written, 0 when nothing was written
// (status says why).
[[nodiscard]] std::size_t update_effi_summary(const ProgramFolder& prog, const EffiBoxTexts& Text1, DlPhRecord& DlPh_Rec,
                                StoreStatus& status);

// Keys of every record in file order (trimmed well, trimmed test time): only the two key
// fields are read, kept while the library is unchanged (trimmed_key_listing). Never null.
StoreStatus read_gt_ym_keys(const std::filesystem::path& Effi_File, std::shared_ptr<const KeyListing>& keys);

// Adds to `items` each well of the library that no item equals after trimming, in the order
// of its first record (the list is not cleared). A damaged or unreadable library adds nothing.
void Find_WellNmae_To_Comb(const std::filesystem::path& Effi_File, std::vector<std::string>& items);
// The test times (trimmed) of the records of `well` (trimmed), in file order.
std::vector<std::string> Find_TestTime_To_Comb(const std::filesystem::path& Effi_File, const std::string& well);
// The highest record number of `well` + `test` (KeyOccurrence::Last), 0 when none.
std::size_t find_effi_test(const std::filesystem::path& Effi_File, const std::string& well, const std::string& test);

// The record number a Text7 text names: record_number_of (record_browser.h).

// When the shown record was edited (Edit_Flag): asks "当前记录需要保存吗?" (title "警告");
// Yes saves it (Save_Effi_Data; first damaged_rewrite_confirmed when `shown_damage` is
// given) and, when saved, moves Text7 to the record written and clears Edit_Flag. A save
// that fails keeps Edit_Flag and Text7 (the message has been shown): the caller keeps the
// edited boxes and does not show another record over them.
enum class [[nodiscard]] EditedSave {
  NotEdited,  // nothing to save, nothing asked
  Discarded,  // the user answered No (to saving, or to storing blanked fields): nothing written
  Saved,      // written; Text7 names the record
  Failed,     // wanted but not written: the boxes are the only copy of the edits
};
EditedSave offer_save_edited(bool& Edit_Flag, std::string& Text7, const std::filesystem::path& Effi_File,
                       const ProgramFolder& prog, const EffiBoxTexts& Text1, DlPhRecord& DlPh_Rec, MessageService& msg,
                       const EffiShownDamage* shown_damage = nullptr);

struct [[nodiscard]] EffiShown {
  bool shown = false;      // a record was put into the boxes (else boxes 0..48 were emptied)
  std::size_t record = 0;
  std::string well_text;   // for Comb_WellName: the trimmed well
  std::string test_text;   // for Comb_TestTime: vals[20] as stored
  bool refused = false;    // the record is no efficiency record (gt_ym_checks.h): boxes emptied
  std::vector<std::size_t> damaged;  // vals[] indices of the fields shown blank
};
// Shows the record whose number Text7 holds; a number outside 1..count (or an unreadable
// library, or a refused record) empties boxes 0..48; damaged fields are shown blank. The
// caller clears Edit_Flag and keeps shown_damage_of(...) for damaged_rewrite_confirmed.
EffiShown EffiRecode_To_Text(const std::filesystem::path& Effi_File, const std::string& Text7, EffiBoxTexts& Text1);

// ← (index 0) and → (index 1): the record number f ± 1 limited to 1..n (n of the library;
// an empty library gives 0), as the new Text7.
std::string review_target(int index, const std::string& Text7, const std::filesystem::path& Effi_File);

struct [[nodiscard]] EffiDeleteResult {
  bool deleted = false;
  std::string Text7;  // the record to show next (the one after the deleted, else the last)
};
// × : asks kDeleteRecordQuestion (record_browser.h; the application's title) when the library holds more than
// one record and Text7 names one of them; Yes removes it through an atomic replace, under
// the rule of a save (a SaveSet of `prog`: an interrupted save finished first, none past
// another copy of the program). A failure is reported (records_not_deleted_text with its
// cause, messages.h) and the library keeps all its records.
EffiDeleteResult delete_effi_record(const std::filesystem::path& Effi_File, const ProgramFolder& prog,
                                    const std::string& Text7, MessageService& msg);

// The three libraries of the window and their record lengths.
enum class EffiLibrary { Efficiency, Card, PowerCurve };
std::size_t library_record_length(EffiLibrary which);
// The open dialog of a "浏览" button: starts in sys, empty file name, the button's filter
// and title.
FileDialogRequest library_dialog_request(const ProgramFolder& prog, EffiLibrary which);

// A library box's text after a change (LibraryBoxCheck, record_browser.h; `accepted` holds
// the path the member takes). An empty file is an empty library, accepted. An
// accepted efficiency library with refused records or damaged fields is named in one
// message (gt_ym_findings_text, title kGtYmDamagedTitle); one that no save of `prog` can write
// (outside its sys and data folders) is accepted and said first (library_outside_sets_text).
LibraryBoxCheck check_library_box(const std::string& text, EffiLibrary which, const ProgramFolder& prog,
                                  std::filesystem::path& accepted, MessageService& msg);

// The record the boxes show with blanked fields, if any.
EffiShownDamage shown_damage_of(const EffiShown& shown, const EffiBoxTexts& Text1);
// Before the boxes are stored: when they are the record shown with blanked fields (same
// key), asks gt_ym_rewrite_question; false (store nothing) on No. True otherwise.
[[nodiscard]] bool damaged_rewrite_confirmed(const EffiShownDamage& shown, const EffiBoxTexts& Text1,
                                             MessageService& msg);

}  // namespace wb
