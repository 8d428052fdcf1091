// Editable list boxes whose choice loads something (a record, a well's dates, a filter).
//
// An editable QComboBox counts leaving its text box, with a text that names one of its items,
// as choosing that item (it emits `activated`). The windows treat `activated` as the user's
// choice from the list: a record would be loaded, replacing the window's data, just because
// the focus moved on. After this call only a choice from the list (mouse or arrow keys in the
// open list) emits `activated`; typing and leaving keeps the typed text and chooses nothing.
#pragma once

class QComboBox;

namespace wb {

void choose_from_list_only(QComboBox* box);

}  // namespace wb
