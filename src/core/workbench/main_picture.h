// The main picture's two mouse commands: a left click steps through the views of the shown
// test (joint test: electric curves → energy panel → card; electric test: curves ↔ panel;
// waveform test: waveforms ↔ harmonic bars), a right click saves the shown view as a BMP
// picture in the image folder under a name built from the well and the view.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/workbench/test_state.h"

namespace wb {

// The view procedures a left click may call; an unset one draws nothing.
struct ViewDrawers {
  std::function<void(TestState&)> disp_data;              // energy panel
  std::function<void(TestState&)> RodEngMapDisplay_Card;  // card
  std::function<void(TestState&, int n)> iup_line_form;    // electric curves over n points
  std::function<void(TestState&, float xx, float yy)> draw_xbt_1;  // waveforms
  std::function<void(TestState&, float xx, float yy)> draw_xbt_2;  // harmonic bars
};

// Picture1_MouseDown with any button but the right one. Returns false when the shown test
// has no next view (card, line loss, nothing shown).
bool picture_next_view(TestState& st, const ViewDrawers& draw);

// Save_Pic_Bmp's dialog title and name suffix for the shown view; empty for a view that
// has none (the dialog then keeps the title and name of its last use).
struct PictureSaveRule {
  std::string title;
  std::string suffix;
};
std::optional<PictureSaveRule> picture_save_rule(std::int16_t kind, std::int16_t disp_state);

inline constexpr const char* kPictureFilter = "图片文件(*.BMP)|*.BMP";

// The save dialog's request: filter, the image folder, and for a known view its title and
// the default name Trim_Blank_Nul(well) + suffix. `last` is the request of the dialog's
// previous use, whose title and name stay for a view without a rule.
FileDialogRequest Save_Pic_Bmp_request(const ProgramFolder& prog, const TestState& st,
                                       const FileDialogRequest& last = {});

}  // namespace wb
