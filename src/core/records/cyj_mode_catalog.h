// CyjModeCatalog: the pumping-unit model catalogue sys/Cyj_mode.dat, a text file the user
// keeps with a text editor (GBK; a file saved as UTF-8 is read as such). Lines end in CR LF,
// a lone CR or a lone LF. The file is a sequence of blocks, one per model:
//
//   抽油机型=<model name>        opens a block (blanks before the key are allowed)
//   冲    程=2.1,2.5，3.0        optional stroke line: values in m, split at "," and "，"
//   <anything else>              ignored
//   <blank line>                 ends the block; the end of the file ends the last one
//
// Characters are counted as text characters, not bytes ("抽油机型=" is 5, "冲    程=" 7).
// The model name is the text after the key, as written (trailing blanks kept): lists show
// it so and compare names after trim_blanks. The name carries the unit's largest stroke
// after its first "-" and its gearbox torque after the second. The system never writes
// the catalogue; a missing one reads as empty.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/common/paths.h"
#include "core/common/record_store.h"

namespace wb {

inline constexpr const char* kCyjModeFileName = "Cyj_mode.dat";
inline constexpr const char* kCyjModeKey = "抽油机型=";
inline constexpr const char* kCyjStrokeKey = "冲    程=";

struct CyjModeBlock {
  std::string name;                  // text after the key, as written (UTF-8)
  bool has_stroke_line = false;      // the block holds a stroke line
  std::vector<std::string> strokes;  // value texts of its first stroke line, as written;
                                     // an empty part between separators is a value ("")
};

struct CyjModeCatalog {
  std::vector<CyjModeBlock> blocks;  // file order; a model in several blocks appears each time

  // Every block's name in file order (the list fillers that neither clear nor check).
  std::vector<std::string> models() const;
  // Each name once (the first block's text), names compared after trim_blanks.
  std::vector<std::string> unique_models() const;
  // The first block whose trimmed name equals the trimmed `name`, or nullptr.
  const CyjModeBlock* find(const std::string& name) const;

  // Parses the file's bytes; never fails.
  static CyjModeCatalog parse(std::span<const std::uint8_t> bytes);
  // Reads a catalogue file; a missing or unreadable file gives an empty catalogue.
  static CyjModeCatalog read(const std::filesystem::path& file);
};

// The catalogue of the program folder: sys/Cyj_mode.dat, or a file of the same name in
// other letter case when only that exists.
std::filesystem::path cyj_mode_path(const ProgramFolder& prog);
// Creates the catalogue empty when it does not exist (so that the user's editor opens a
// file). IoError when it could not be created, or when something other than a file holds
// its name.
StoreStatus ensure_cyj_mode_file(const ProgramFolder& prog);

}  // namespace wb
