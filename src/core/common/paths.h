// The program folder and its sub-folders, and file names built from typed well names.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wb {

struct ProgramFolder {
  std::filesystem::path root;
  std::filesystem::path data() const { return root / "data"; }
  std::filesystem::path sys() const { return root / "sys"; }
  std::filesystem::path image() const { return root / "image"; }
  std::filesystem::path report() const { return root / "report"; }
  // Creates data, sys, image and report when missing; a folder that cannot be made is skipped.
  void create_folders() const;
};

// A well name may become a file name only when it cannot leave its folder: not empty,
// no "/", "\\", "..", NUL or control characters.
bool is_safe_file_stem(std::string_view name);

// Case-insensitive wildcard match ("*" and "?") of a file name: "*.o*" lists every
// joint-test file whatever the case of its extension.
bool wildcard_match(std::string_view pattern, std::string_view name);

// The files of a folder whose names match the pattern, sorted case-insensitively.
std::vector<std::string> list_files(const std::filesystem::path& dir, std::string_view pattern);

// A path for a file name in the file system: UTF-8 on this platform.
std::filesystem::path u8path(std::string_view utf8);
std::string path_text(const std::filesystem::path& p);

}  // namespace wb
