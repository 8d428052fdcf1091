// The counterbalance window's "历史数据查询" frame over its library (sys/phfx.dat or the file the
// "数据文件" box names): the library box, the well and test lists, the record the "记录" box
// (Text7) names, ←, → and ×, and the deletion of listed records from the print selection.
// Numbers, steps and questions follow the keyed-library browser (core/common/record_browser.h);
// the window only wires its controls to these and shows what they return. The order it follows:
//   data-file box changed:  check_phfx_library_box; Accepted: Phfx_File := the path, clear the
//                           well list, add phfx_wells_to_add.
//   well chosen:            the list := phfx_tests (nothing when unreadable); one test: choose it.
//   test chosen:            phfx_record_of; a record: Text7 := its number.
//   Text7 changed:          show_phfx_record into the held record; shown: clear "保持载荷不变"
//                           when the load was kept, show the record, fit and analyse.
//   ← / →:                  Text7 := phfx_review_target.
//   ×:                      delete_phfx_record; deleted: clear the well list, add the wells, then
//                           show the record that took the number or set Text7 to the next.
//   print selection's right button: delete_phfx_rows, then the selection lists the library again.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/balance/phfx_record.h"
#include "core/common/paths.h"
#include "core/common/record_browser.h"
#include "core/common/services.h"

namespace wb {

// The data-file box's text after a change: a file that is not whole records is refused
// (kBadFormatText, title kBadFormatTitle), one of more records than the limit too
// (over_limit_text, naming it); `accepted` takes the trimmed path of another. One that no save
// of `prog` can write (outside its sys and data folders) is accepted and said
// (library_outside_sets_text, messages.h).
LibraryBoxCheck check_phfx_library_box(const std::string& text, const ProgramFolder& prog, std::filesystem::path& accepted,
                                       MessageService& msg);

// The wells of the library, in the order of their first records, that `listed` does not hold
// yet (an unreadable or damaged library adds none; opening one of its tests reports it).
std::vector<std::string> phfx_wells_to_add(const std::filesystem::path& lib, const std::vector<std::string>& listed);

// The number of the first record of the trimmed well and test (find_phfx); 0 when none or the
// library cannot be read. No record buffer of the window is touched.
std::size_t phfx_record_of(const std::filesystem::path& lib, const std::string& well, const std::string& test);

// The record the "记录" box names, read into `held` (the window's record buffer). With
// `keep_load` the load curve (terms 0..30) of the record held before stays with the new
// record's electric curves; the file is not changed. Nothing is read when the library cannot
// be counted or the number names no record.
struct [[nodiscard]] PhfxShown {
  bool shown = false;      // `held` is the record now
  bool load_kept = false;  // the load of the record before was kept (the tick is then cleared)
};
PhfxShown show_phfx_record(const std::filesystem::path& lib, const std::string& Text7, bool keep_load, PhfxRecord& held);

// The window's "记录" box, ← (index 0) and → (1) over the library (record_browser.h): the
// record to show; nothing when the library cannot be counted.
std::optional<std::size_t> phfx_review_target(const std::filesystem::path& lib, const std::string& Text7, int index);
// × : asks kDeleteRecordQuestion first, then removes the record Text7 names; the only record
// goes too (the library's file is then removed, as every emptied library's is). A library that
// cannot be counted asks nothing; a failed removal is shown (records_not_deleted_text, messages.h)
// and changes nothing.
struct [[nodiscard]] PhfxDeleteResult {
  bool deleted = false;
  std::size_t next = 0;      // the record to show next
  bool same_number = false;  // next is the deleted one's number, now another record's
};
// The deletion goes through a save set on the program's journal, as every save does.
PhfxDeleteResult delete_phfx_record(const std::filesystem::path& lib, const ProgramFolder& prog,
                                    const std::string& Text7, MessageService& msg);

// The print selection's deletion of its selected rows (the rows are the record numbers):
// first == last deletes the current row `row`, else records first..last. Asks
// delete_records_question (messages.h, title kWarningTitle) first; a damaged library is shown
// as kBadFormatText, another failure as records_not_deleted_text, and the library stays as
// it was. True when the library was rewritten.
[[nodiscard]] bool delete_phfx_rows(const std::filesystem::path& lib, int first, int last, int row, MessageService& msg);

}  // namespace wb
