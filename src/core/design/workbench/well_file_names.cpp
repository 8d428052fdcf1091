#include "core/design/workbench/well_file_names.h"

#include "core/common/paths.h"
#include "core/common/trim.h"

namespace wb::design {

namespace {
std::optional<std::string> well_file_name(const std::string& well, const char* suffix, const char* ext) {
  const std::string stem = Trim_Blank_Nul(well) + suffix;
  if (!is_safe_file_stem(stem, std::string_view(ext).size())) return std::nullopt;
  return stem + ext;
}
}  // namespace

std::optional<std::string> curves_bmp_name(const std::string& well) {
  return well_file_name(well, "杆柱设计相关参数曲线", ".BMP");
}

std::optional<std::string> ipr_bmp_name(const std::string& well) {
  return well_file_name(well, "井动态IPR曲线", ".BMP");
}

std::optional<std::string> fzq_txt_name(const std::string& well) {
  return well_file_name(well, "扶正器布置数据表", ".txt");
}

std::string unsafe_well_name_text(const std::string& well) {
  if (file_stem_stays_in_folder(trim_blanks(well))) return well_name_too_long_text(trim_blanks(well));
  return "井号“" + trim_blanks(well) + "”不能用作文件名，请修改井号。";
}

}  // namespace wb::design
