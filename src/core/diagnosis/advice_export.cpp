#include "core/diagnosis/advice_export.h"

#include <tuple>

#include "core/common/gbk.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/diagnosis/bgt_record.h"

namespace wb {

std::string Clean_Str(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u > 0 && u < 32) c = ' ';
  }
  return trim_blanks(out);
}

std::optional<std::string> advice_export_bytes(const std::filesystem::path& bgt_path) {
  std::vector<std::uint8_t> content;
  if (!read_file(bgt_path, content)) return std::nullopt;
  const std::size_t count = content.size() / kBgtRecordSize;
  if (count == 0) return std::nullopt;
  std::string text = "井号\t测试日期\t油井井下诊断建议\r\n";
  BgtRecord r;
  for (std::size_t i = 0; i < count; ++i) {
    const auto first = content.begin() + static_cast<std::ptrdiff_t>(i * kBgtRecordSize);
    std::ignore = r.decode(Bytes(first, first + static_cast<std::ptrdiff_t>(kBgtRecordSize)));  // whole: i < count
    text += Clean_Str(r.well_name) + "\t" + Clean_Str(r.test_date) + "\t" + Clean_Str(r.diag_text) + "\r\n";
  }
  return utf8_to_gbk(text);
}

bool Cmd_Out_to_TXT_Click(const std::filesystem::path& bgt_path, const ProgramFolder& prog, FileDialogService& files,
                          MessageService& messages) {
  FileDialogRequest req;
  req.title = kAdviceExportTitle;
  req.filter = kAdviceExportFilter;
  req.initial_dir = path_text(prog.root);
  const std::string name = files.save_file(req);
  if (name.empty()) return false;
  const std::optional<std::string> bytes = advice_export_bytes(bgt_path);
  if (!bytes) return false;
  const std::filesystem::path out = u8path(name);
  if (!write_file_atomic(out, std::vector<std::uint8_t>(bytes->begin(), bytes->end()))) {
    messages.show("保存文本文件失败，不能写入文件：" + name, kAdviceExportTitle, MsgButtons::Ok, MsgIcon::Warning);
    return false;
  }
  return true;
}

}  // namespace wb
