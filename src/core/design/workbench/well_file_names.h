// File names the design window proposes from the typed well name: the name (blanks and NULs
// trimmed) before a fixed suffix. A name that could leave its folder gives none.
#pragma once

#include <optional>
#include <string>

namespace wb::design {

// "<well>杆柱设计相关参数曲线.BMP", the curves picture.
std::optional<std::string> curves_bmp_name(const std::string& well);
// "<well>井动态IPR曲线.BMP", the inflow-performance panel.
std::optional<std::string> ipr_bmp_name(const std::string& well);
// "<well>扶正器布置数据表.txt", the centralizer layout table.
std::optional<std::string> fzq_txt_name(const std::string& well);

// The message when a well name cannot be part of a file name.
std::string unsafe_well_name_text(const std::string& well);

}  // namespace wb::design
