#include "core/records/cyj_mode_lists.h"

#include "core/records/cyj_mode_catalog.h"

#include <tuple>

namespace wb {

namespace {

CyjModeCatalog read_catalogue(const ProgramFolder& prog) {
  // A catalogue that cannot be created reads as empty: the lists are then empty.
  std::ignore = ensure_cyj_mode_file(prog);
  return CyjModeCatalog::read(cyj_mode_path(prog));
}

constexpr int kEnter = 13;

}  // namespace

std::vector<std::string> Get_Cyj_Mode_to_comb_cyjmode(const ProgramFolder& prog) { return read_catalogue(prog).models(); }

std::vector<std::string> Add_Cyj_Mode_To_Comb(const ProgramFolder& prog) { return read_catalogue(prog).models(); }

std::vector<std::string> Comb_CyjMode_DropDown(const ProgramFolder& prog) {
  return read_catalogue(prog).unique_models();
}

bool Comb_CyjMode_KeyPress(const ProgramFolder& prog, int key_ascii, MessageService& msg, ShellService& shell) {
  if (key_ascii == kEnter) return false;
  if (msg.ask_yes_no("您不能改变抽油机型号，要增加新的抽油机型吗？", "输入出错")) {
    const std::string path = path_text(cyj_mode_path(prog));
    if (ensure_cyj_mode_file(prog) != StoreStatus::Ok)
      msg.show("无法建立抽油机型文件 " + path + "。", "输入出错", MsgButtons::Ok, MsgIcon::Warning);
    else if (!shell.open_in_text_editor(path))
      msg.show("无法启动文本编辑器打开 " + path + "。", "输入出错", MsgButtons::Ok, MsgIcon::Warning);
  }
  return true;
}

}  // namespace wb
