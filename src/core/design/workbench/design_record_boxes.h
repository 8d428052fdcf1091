// Which box of the design window goes into which field of the design record, held once as
// data for the save, the load and the takeover from the diagnosis. Each entry names the box,
// the field's byte offset and type, and the caption a refusal names it by.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/common/bytes.h"
#include "core/design/engine/design_state.h"

namespace wb::design {

enum class BoxArray { Text3, Text4, Text5, Text6, Text10 };
enum class FieldKind { F32, I16, Text };

struct BoxField {
  BoxArray box;
  int index;  // within the box array (0 for Text4 and Text5)
  FieldKind kind;
  std::size_t offset;  // in the record
  std::size_t width;   // bytes of a text field
  std::string caption;
};

// `design_pre`, `design_post`, `stress_allow` and `stress_factor`: Text3, Text4, Text5.
const std::vector<BoxField>& design_boxes();
// The well-data boxes Text6, in the order a load fills them (0..17, 20, 21, 22, 25, 23, 24,
// 30, 32, 31, 33).
const std::vector<BoxField>& well_boxes();
// The structure, tool and note boxes Text10, in the order of the copy steps.
const std::vector<BoxField>& struct_boxes();
// The entry of a box; nullptr when the box is not stored.
const BoxField* find_box(BoxArray box, int index);

std::string& box_text(DesignState& st, BoxArray box, int index);

// The field as its box shows it: float32 and int16 as their decimal text, a text field whole.
std::string field_box_text(const Bytes& rec, const BoxField& f);
// A box text into the field at f.offset; false (nothing written) when the number does not
// fit the field (beyond ±3.4e38 for float32, outside −32768..32767 once rounded half to even
// for int16, beyond a double for either).
[[nodiscard]] bool put_box_text(Bytes& rec, const BoxField& f, const std::string& text);

}  // namespace wb::design
