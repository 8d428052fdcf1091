// The deviation survey file \data\<well>.jx: fixed-width GBK text lines of 102 bytes
// (`JxRecord`): six 10-byte fields (station depth m, inclination °, azimuth °, total
// displacement m, total azimuth °, vertical depth m) as the grid cells' text, 40 blanks,
// CR LF. Records 1..3 are blank, record 4 holds the column titles, survey rows follow.
// Numbers are kept as the cells' decimal text; a longer text keeps its first 10 bytes
// (never half a double-byte character).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wb::design {

inline constexpr std::size_t kJxRecordSize = 102;
inline constexpr std::size_t kJxFieldWidth = 10;
inline constexpr int kJxHeaderRecords = 4;
inline constexpr std::string_view kJxSuffix = ".jx";

// Why a table of fewer than two rows is not written.
inline constexpr const char* kSurveyTooShortText = "井斜数据不足两行，未保存！请至少输入两行井斜数据后再保存。";
// The question before a table read for no well replaces the stored survey of `well`.
std::string survey_replace_question(const std::string& well);

struct JxRecord {
  std::array<std::string, 6> cols;  // UTF-8, padded as stored
};

// One 102-byte record from six cell texts.
std::vector<std::uint8_t> encode_jx_record(const JxRecord& rec);
// The whole file for the given survey rows (the grid's rows 1..).
std::vector<std::uint8_t> encode_jx_file(const std::vector<JxRecord>& rows);
// The survey rows a file holds: the record count is the length / 102 rounded half to even;
// a partial last record reads as blanks; records 1..4 are skipped; a row whose depth field
// is a number not above 0 is dropped (blank or other text is kept).
std::vector<JxRecord> decode_jx_file(const std::vector<std::uint8_t>& bytes);
// Records a file of this length holds.
std::size_t jx_record_count(std::size_t file_length);

}  // namespace wb::design
