// The pumping-unit model lists filled from the catalogue sys/Cyj_mode.dat, and the offer to
// open the catalogue in the desktop's text editor when the user types into the efficiency
// window's model list. A missing catalogue is created empty first, so the lists are empty
// and the editor opens an empty file.
//
// The windows:
//   efficiency Form_Load        append Get_Cyj_Mode_to_comb_cyjmode to Comb_CyjMode
//   efficiency list opened      replace Comb_CyjMode's items by Comb_CyjMode_DropDown
//   efficiency list chosen      box 2 := the list's text
//   efficiency key typed        Comb_CyjMode_KeyPress; true: empty the list's text
//   counterbalance Form_Load    append Add_Cyj_Mode_To_Comb to Comb_Cyj_Mode
#pragma once

#include <string>
#include <vector>

#include "core/common/paths.h"
#include "core/common/services.h"

namespace wb {

// Every model of the catalogue in file order (a model of several blocks each time).
std::vector<std::string> Get_Cyj_Mode_to_comb_cyjmode(const ProgramFolder& prog);
std::vector<std::string> Add_Cyj_Mode_To_Comb(const ProgramFolder& prog);
// Each model once (names compared after trimming blanks).
std::vector<std::string> Comb_CyjMode_DropDown(const ProgramFolder& prog);

// A key typed into the model list (character code): Enter (13) does nothing and returns
// false. Any other key asks "您不能改变抽油机型号，要增加新的抽油机型吗？" (title "输入出错");
// Yes starts the text editor on the catalogue without waiting (a failure to start it is
// reported, and so is a catalogue that cannot be created: the editor is then not started).
// Returns whether the key was taken: the list's text is then to be emptied.
[[nodiscard]] bool Comb_CyjMode_KeyPress(const ProgramFolder& prog, int key_ascii, MessageService& msg, ShellService& shell);

}  // namespace wb
