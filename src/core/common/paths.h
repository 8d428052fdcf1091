// The program folder and its sub-folders, and file names built from typed well names.
#pragma once

#include <cstddef>
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
// no "/", "\\", "..", NUL or control characters; and when the file name, the name and the
// `suffix_bytes` the caller appends (".o01", "_PD.BMP"), fits in 255 bytes.
inline constexpr std::size_t kMaxFileNameBytes = 255;
bool is_safe_file_stem(std::string_view name, std::size_t suffix_bytes = 0);
// The first half of that test: the name cannot leave its folder, whatever its length.
bool file_stem_stays_in_folder(std::string_view name);
// True when the name's characters may stand in a file name but the file name would be
// longer than 255 bytes: the refusal then says the name is too long.
bool file_stem_too_long(std::string_view name, std::size_t suffix_bytes = 0);
// "井号“W”太长……": the message for a name refused as too long.
std::string well_name_too_long_text(std::string_view well);

// Case-insensitive wildcard match ("*" and "?") of a file name: "*.o*" lists every
// joint-test file whatever the case of its extension.
bool wildcard_match(std::string_view pattern, std::string_view name);

// The files of a folder whose names match the pattern, sorted case-insensitively.
std::vector<std::string> list_files(const std::filesystem::path& dir, std::string_view pattern);

// A path for a file name in the file system: UTF-8 on this platform.
std::filesystem::path u8path(std::string_view utf8);
// The path's bytes as they are (UTF-8 when the name is; a name made elsewhere may hold any bytes).
std::string path_text(const std::filesystem::path& p);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
// above U+10FFFF).
bool is_utf8(std::string_view bytes);
// A file name's bytes as text to show: UTF-8 as it is, else read as GBK (the names an archive
// made on a Chinese Windows system carries). Only for showing: the file is reached by its bytes.
std::string file_name_text(std::string_view bytes);
// A whole path as text to show, each of its names through file_name_text.
std::string path_shown_text(const std::filesystem::path& p);

}  // namespace wb
