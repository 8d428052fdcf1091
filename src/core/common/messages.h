#pragma once
// Message texts that windows of several subsystems show alike, each defined once here; a
// message only one subsystem shows is named beside its steps.
#include <string>

namespace wb {

// A picture the user asked to save as a file could not be written; the file's name follows.
inline constexpr const char* kPictureNotSavedText = "图片文件不能保存：";
inline std::string picture_not_saved_text(const std::string& path) { return kPictureNotSavedText + path; }

// A print job whose printer or PDF file could not be opened or written, or whose drawing
// failed part-way.
inline constexpr const char* kPrintFailedText = "打印失败：无法写入打印机或文件。";
inline constexpr const char* kPrintTitle = "打印";

// Ends the list of a record's doubts when it is about to be stored.
inline constexpr const char* kStoreAnywayQuestion = "\n\n仍要存入库吗？";

}  // namespace wb
