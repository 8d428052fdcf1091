#pragma once
// Message texts that windows of several subsystems show alike, each defined once here; a
// message only one subsystem shows is named beside its steps.
#include <string>
#include <vector>

#include "core/common/number_text.h"

namespace wb {

// Titles of message boxes that several windows give the same kind of message.
inline constexpr const char* kWarningTitle = "警告";  // a question before data goes or is overwritten
inline constexpr const char* kSaveTitle = "保存";     // a save that asks or could not be done
inline constexpr const char* kDeleteFailedTitle = "删除";  // a deletion that could not be done
inline constexpr const char* kNoticeTitle = "提示";   // a remark or a question that changes nothing stored

// A picture the user asked to save as a file could not be written; the file's name follows.
inline constexpr const char* kPictureNotSavedText = "图片文件不能保存：";
inline std::string picture_not_saved_text(const std::string& path) { return kPictureNotSavedText + path; }

// A text file the user asked for (the statistics table, the counterbalance advice) could not be
// written; the file's name follows. kSaveTextFileTitle is the title of the save dialogs that propose a text file.
inline constexpr const char* kTextFileNotSavedText = "文本文件不能保存：";
inline std::string text_file_not_saved_text(const std::string& path) { return kTextFileNotSavedText + path; }
inline constexpr const char* kSaveTextFileTitle = "保存到文本文件";

// A print job whose printer or PDF file could not be opened or written, or whose drawing
// failed part-way.
inline constexpr const char* kPrintFailedText = "打印失败：无法写入打印机或文件。";
inline constexpr const char* kPrintTitle = "打印";

// Ends the list of a record's doubts when it is about to be stored.
inline constexpr const char* kStoreAnywayQuestion = "\n\n仍要存入库吗？";

// The question (title kWarningTitle) before records a list shows by number are deleted: one
// record ("确实要删除 3号记录吗?") or a range ("确实要删除 3至 5号记录吗?"). Each number is
// written with its sign's place, a blank when it is not negative.
inline std::string delete_records_question(long long first, long long last) {
  const auto number = [](long long n) { return num_print(static_cast<double>(n)); };
  return first == last ? "确实要删除" + number(first) + "号记录吗?"
                       : "确实要删除" + number(first) + "至" + number(last) + "号记录吗?";
}

// A cause in brackets after what failed ("（…）"); nothing when there is none.
inline std::string cause_note(const std::string& cause) { return cause.empty() ? std::string() : "（" + cause + "）"; }

// A deletion of records that could not rewrite the library `path` (title kDeleteFailedTitle); `cause`,
// when known, says why. The library keeps every record.
inline std::string records_not_deleted_text(const std::string& path, const std::string& cause = {}) {
  return "记录未能删除，不能改写文件：" + path + cause_note(cause) + "\n文件未作改动。";
}

// A library chosen in a library box outside the program folder's sys and data folders (title
// kNoticeTitle): its records can be looked at, but a save that writes it together with other
// libraries is refused (record_store.h, joins_save_sets).
inline std::string library_outside_sets_text(const std::string& path) {
  return path + " 不在程序目录的 sys 或 data 文件夹中，不能与其他库一起保存：可以查看其中的记录，但“保存”不会写入该库。";
}

// An instrument's raw file (a joint test's, a fluid-level test's: `kind`, "联合测试文件" …) that
// does not look as the instrument writes it: its doubts, one a line, and that what is computed
// from it may be wrong.
inline std::string raw_file_doubts_text(const std::string& kind, const std::string& path,
                                        const std::vector<std::string>& doubts) {
  std::string text = kind + " " + path + " 不像仪器写入的完整文件：";
  for (const std::string& d : doubts) text += "\n・" + d;
  text += "\n据此算出的结果可能不可信。";
  return text;
}
// The doubt of a raw file whose header counts more samples than the file holds.
inline std::string samples_missing_doubt(std::size_t in_header, std::size_t in_file) {
  return "文件头记录 " + std::to_string(in_header) + " 个采样点，文件中只有 " + std::to_string(in_file) +
         " 个：文件不完整（下载可能中断）。";
}

}  // namespace wb
