// The design's depth profile as tab-separated text for other programs: the profile table
// "管柱数据.txt" (one line per 2 m node from 0 to 4000 m) and the centralizer layout table
// (one line per placed centralizer, deepest first).
//
// Format of both: GBK bytes, CR LF line ends, one TAB between fields and none at a line's
// end. A number is written in its print form and followed by one blank: " .25 ", "-3 ";
// single-precision values with up to 7 significant digits, doubles with up to 15. Entry i
// of the profile is the value at measured depth 2·i m.
#pragma once

#include <string>

#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/design/engine/design_outcome.h"
#include "core/design/engine/design_state.h"

namespace wb::design {

inline constexpr const char* kProfileTableName = "管柱数据.txt";

// The profile table: a heading line and 2001 node lines, every array value as held.
std::string profile_table_bytes(const DepthProfile& p);

// The pump's node for the layout table from the after-design pump depth box: the depth cut
// to whole metres and rounded up to even ones (1201 m → node 601, 1200.7 m → node 600),
// kept within the profile (-1 when the depth is negative: no node).
int fzq_bottom_node(const std::string& pump_depth_text);

// The centralizer layout table: the well and date line, the heading line, then every node
// from the pump's up to node 0 whose code marks a placed centralizer. Forces, angles and
// the dogleg are rounded half up to 2 decimals.
std::string fzq_table_bytes(const DepthProfile& p, const std::string& well, const std::string& date,
                            const std::string& pump_depth_text);

// "存成文本": writes the profile table into the program folder, replacing an earlier one:
// `done`, or `failed` when the file cannot be written (reported).
DesignOutcome Cmd_SaveToTxt_Click(const ProgramFolder& folder, const DepthProfile& p, MessageService& msg);

// Writes the layout table under `myname`, or, when that is blank, under the trimmed well
// name followed by "扶正器布置数据表.txt" in the program folder (refused with a message when
// the well name cannot be part of a file name: `refused`). Says "<file>  已写入完成！" when
// `done` and reports a failure (`failed`) otherwise.
DesignOutcome SaveFzqTab(const std::string& myname, const ProgramFolder& folder, const DesignState& st, MessageService& msg);

}  // namespace wb::design
