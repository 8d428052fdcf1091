// The design record store of the design window: the well and date lists, the load of a stored
// design into the window and the save of the window's design, over \sys\roddesign.dat.
//
// Promises beyond the plain record store:
//   - Keys are the well name (16 bytes) and the design date (8 bytes) as stored: a box text is
//     compared by the part its field keeps, blanks trimmed, case-sensitive; so a key longer
//     than its field finds its record again (the user is told once that it was cut).
//   - The lists read only the keys of the records; the save searches on its own. The working
//     record `cur_design` changes only when a design is loaded or saved, so a new design never
//     takes another well's grade letter or reserved bytes from a list.
//   - Centralizer table rows 1..198 go into slots 0..197; a load fills the rows from the
//     slots holding a depth, in order, so older records load the same.
//   - A box whose number does not fit its field refuses the save with a message naming the
//     box; nothing is written.
//   - A file that is not a whole number of records gives "非法的文件格式!" / "不能打开!" and is
//     never written nor deleted. A list that finds the file empty deletes it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/common/record_store.h"
#include "core/common/services.h"
#include "core/design/engine/design_messages.h"
#include "core/design/engine/design_outcome.h"
#include "core/design/engine/design_state.h"

namespace wb::design {

inline constexpr const char* kDesignFileName = "roddesign.dat";
inline constexpr const char* kEmptyDesignKeyText = "井号或日期不能为空";
inline constexpr const char* kDesignSaveTitle = kSaveTitle;

// What the store and the takeover need of the window beyond its box texts: the change
// handling of the well-data boxes, the option buttons and the beep.
class DesignControls {
 public:
  virtual ~DesignControls() = default;
  // Puts `text` into Text6(index); the box's change handling runs when the text changes.
  virtual void set_Text6(DesignState& st, int index, const std::string& text) = 0;
  // The change handling of Text6(index) (the derived well values).
  virtual void Text6_Change(DesignState& st, int index) = 0;
  // The stored code of the selected design mode: 1, 3 or 4; 0 when no mode option is selected.
  virtual std::int16_t design_mode(const DesignState& st) const = 0;
  // Selects the options of a stored code (1 lightest rods, else equal strength with 3 or 4).
  // A loaded design is shown as stored: the options' clicks run no design (the load's own
  // run follows once the whole record is in the boxes).
  virtual void select_design_mode(DesignState& st, std::int16_t code) = 0;
  // The letter of the selected grade option ("C", "D", "K", "H"); empty for "其它杆" or none.
  virtual std::string rod_grade(const DesignState& st) const = 0;
  // Selects the grade option of a stored letter (exact comparison), running no design; other
  // content selects none.
  virtual void select_rod_grade(DesignState& st, const std::string& letter) = 0;
  virtual void beep() = 0;
};

// The store's own state in the window.
struct DesignRecords {
  std::filesystem::path path;         // sys/roddesign.dat
  std::vector<std::string> JName_list;  // the well box's list
  std::vector<std::string> Date_list;   // the date box's list
};

struct DesignRecordIo {
  MessageService& messages;
  DesignControls& controls;
};

// The path of the design record file under the program folder's sys folder.
std::filesystem::path design_record_path(const ProgramFolder& folder);

// The distinct well names of the file (trimmed, in the order of their first record) and the
// dates of one well (trimmed, in file order, repeats kept). Only the keys are read. A file
// of more records than the limit (core/common/record_limit.h) lists nothing (IoError); the
// window's steps below name it with over_limit_text and empty their list.
StoreStatus design_well_names(const std::filesystem::path& path, std::vector<std::string>& out);
StoreStatus design_well_dates(const std::filesystem::path& path, const std::string& well,
                              std::vector<std::string>& out);

// The well box's list and text emptied, then the file's wells listed.
void JNname_Add(DesignState& st, DesignRecords& rec, DesignRecordIo& io);
// The date list of the well in the well box (the date box's list and text emptied first).
void com2_find(DesignState& st, DesignRecords& rec, DesignRecordIo& io);
// The design of the well and date in the boxes into the window: `done`; `nothing` when the
// file holds no design of them; `refused` for a blank well or date; `failed` when the file
// cannot be read or is damaged. Only `done` changes the window.
DesignOutcome LoadDesignRecord(DesignState& st, DesignRecords& rec, DesignRecordIo& io);
// The window's design under the well and date in the boxes: `done`; `refused` for a blank
// well or date, a box that does not fit its field or a full file; `failed` when the file
// cannot be read, is damaged or cannot be written. Nothing is written unless `done`.
DesignOutcome SaveDesignRecord(DesignState& st, DesignRecords& rec, DesignRecordIo& io);
// Text10, Text2 and the Label3(3) caption into `cur_design`: `done`, or `refused`
// (cur_design unchanged) when a box's number does not fit its field (the message names the box).
DesignOutcome StructInfo_To_Recode(DesignState& st, MessageService& messages);
// `cur_design` into Text10, Text2 and the Label3(3) caption.
void Recode_To_StructInfo(DesignState& st);

// The two pump efficiencies in one float32: 1000 × the caption's number + Text2's number.
// Empty when the sum does not fit a float32.
std::optional<float> pack_pump_eff(const std::string& label3_3, const std::string& text2);
// The caption (efficiency from the stroke) and Text2 (design efficiency) from a packed value,
// the second rounded to three decimals.
void unpack_pump_eff(float pack, std::string& label3_3, std::string& text2);

// The kinematic viscosity of a loaded record into `kin_visc`, with its limit messages.
void kin_visc_from_record(DesignState& st, const RodDesignRecord& r, MessageService& messages);

}  // namespace wb::design
