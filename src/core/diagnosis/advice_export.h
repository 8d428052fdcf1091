// The text export of the diagnosis advice: one tab-separated GBK line per record of the
// record file (well, test date, advice), under a header line, CR LF line ends. The data
// come from the file, not from the boxes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/common/services.h"

namespace wb {

inline constexpr const char* kAdviceExportTitle = kSaveTextFileTitle;
inline constexpr const char* kAdviceExportFilter = "文本文件(*.txt)|*.txt";

// Characters of code 1..31 become blanks, then blanks are trimmed at both ends (a line break
// inside the text shows as two blanks). NUL and double-byte characters stay.
std::string Clean_Str(std::string_view s);

// The export file's bytes (GBK) for the record file; empty when it holds no record.
[[nodiscard]] std::optional<std::string> advice_export_bytes(const std::filesystem::path& bgt_path);

// "存成文本": the save dialog in the program folder, then the file written whole (through a
// temporary file) or, on failure, a message. A cancelled dialog or an empty record file
// writes nothing. True when a file was written.
[[nodiscard]] bool Cmd_Out_to_TXT_Click(const std::filesystem::path& bgt_path, const ProgramFolder& prog, FileDialogService& files,
                          MessageService& messages);

}  // namespace wb
