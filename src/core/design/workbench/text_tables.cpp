#include "core/design/workbench/text_tables.h"

#include <cmath>
#include <system_error>
#include <vector>

#include "core/common/gbk.h"
#include "core/common/number_text.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/design/workbench/well_file_names.h"

namespace wb::design {

namespace {

constexpr const char* kCrLf = "\r\n";

// A number's field: its print form and one blank.
std::string field_f(float v) { return num_print_f(v) + " "; }
std::string field_d(double v) { return num_print(v) + " "; }
std::string field_2dp(float v) { return field_d(round_dec(static_cast<double>(v), 2)); }

std::string joined(std::initializer_list<std::string> fields) {
  std::string s;
  for (const auto& f : fields) {
    if (!s.empty()) s += '\t';
    s += f;
  }
  return s + kCrLf;
}

// A file the user marked read-only is not replaced behind the mark by the rename.
bool writable_or_missing(const std::filesystem::path& p) {
  std::error_code ec;
  const auto st = std::filesystem::status(p, ec);
  if (ec || !std::filesystem::exists(st)) return true;
  return (st.permissions() & std::filesystem::perms::owner_write) != std::filesystem::perms::none;
}

bool write_text(const std::filesystem::path& path, const std::string& gbk) {
  if (!writable_or_missing(path)) return false;
  return write_file_atomic(path, std::vector<std::uint8_t>(gbk.begin(), gbk.end()));
}

std::string write_failed_text(const std::filesystem::path& path) {
  return "文件" + path_text(path) + "不能写入，数据未保存！";
}

}  // namespace

std::string profile_table_bytes(const DepthProfile& p) {
  std::string s = joined({"斜深", "杆径", "最大轴向力", "最小轴向力", "方位角", "井斜角", "井斜变化", "狗腿度",
                          "杆管正压力", "杆柱正压力", "扶正器间距"});
  s.reserve(s.size() + kNodeCount * 120);
  for (std::size_t i = 0; i <= kLastNode; ++i) {
    s += joined({field_d(2.0 * static_cast<double>(i)), field_f(p.rod_dia[i]), field_f(p.axial_max[i]),
                 field_f(p.axial_min[i]), field_f(p.azimuth[i]), field_f(p.inclination[i]),
                 field_f(p.incl_change[i]), field_f(p.dogleg[i]), field_f(p.side_force_tubing[i]),
                 field_f(p.side_force_rod[i]), field_d(p.fzq_code[i])});
  }
  return utf8_to_gbk(s);
}

int fzq_bottom_node(const std::string& pump_depth_text) {
  const double d = std::trunc(num_val(pump_depth_text));
  if (!std::isfinite(d)) return d > 0 ? kLastNode : -1;
  const double even = 2.0 * std::floor((d + 1.0) / 2.0);
  if (even < 0) return -1;
  return static_cast<int>(std::min(even / 2.0, static_cast<double>(kLastNode)));
}

std::string fzq_table_bytes(const DepthProfile& p, const std::string& well, const std::string& date,
                            const std::string& pump_depth_text) {
  std::string s = "井名" + trim_blanks(well) + "设计日期时间" + date + kCrLf;
  s += joined({"斜深m", "井斜角", "方位角", "狗腿度", "最大轴向力N", "最小轴向力N", "杆管间正压力N", "杆柱正压力N",
               "抽油杆直径mm", "扶正器间距m"});
  for (int k = fzq_bottom_node(pump_depth_text); k >= 0; --k) {
    const auto i = static_cast<std::size_t>(k);
    if (p.fzq_code[i] < kFzqPlaced) continue;
    s += joined({field_d(2.0 * k), field_2dp(p.inclination[i]), field_2dp(p.azimuth[i]), field_2dp(p.dogleg[i]),
                 field_2dp(p.axial_max[i]), field_2dp(p.axial_min[i]), field_2dp(p.side_force_tubing[i]),
                 field_2dp(p.side_force_rod[i]), field_f(p.rod_dia[i]), field_d(p.fzq_code[i] - kFzqPlaced)});
  }
  return utf8_to_gbk(s);
}

DesignOutcome Cmd_SaveToTxt_Click(const ProgramFolder& folder, const DepthProfile& p, MessageService& msg) {
  const auto path = folder.root / u8path(kProfileTableName);
  if (write_text(path, profile_table_bytes(p))) {
    // Says where the table went, as the centralizer table's save does.
    msg.show(path_text(path) + "  已写入完成！", "");
    return DesignOutcome::done;
  }
  msg.show(write_failed_text(path), "", MsgButtons::Ok, MsgIcon::Warning);
  return DesignOutcome::failed;
}

DesignOutcome SaveFzqTab(const std::string& myname, const ProgramFolder& folder, const DesignState& st, MessageService& msg) {
  std::filesystem::path path;
  if (trim_blanks(myname).empty()) {
    const auto name = fzq_txt_name(st.JName_Comb);
    if (!name) {
      msg.show(unsafe_well_name_text(st.JName_Comb), "", MsgButtons::Ok, MsgIcon::Warning);
      return DesignOutcome::refused;
    }
    path = folder.root / u8path(*name);
  } else {
    path = u8path(myname);
  }
  const std::string& pump_depth = st.Text3[design_box::kPumpDepthAfter];
  if (!write_text(path, fzq_table_bytes(st.profile, st.JName_Comb, st.Date_Comb, pump_depth))) {
    msg.show(write_failed_text(path), "", MsgButtons::Ok, MsgIcon::Warning);
    return DesignOutcome::failed;
  }
  msg.show(path_text(path) + "  已写入完成！", "");
  return DesignOutcome::done;
}

}  // namespace wb::design
