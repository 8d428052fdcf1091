// Checks of the efficiency library's records (GtYmRecord) before a window shows them.
//
// The library is a text file of 606-byte lines; a damaged file, or a file of another kind
// the user opened in its place, decodes into any bytes at all. Two kinds of findings:
//  - a refused record: not a line of this library: its last two bytes are not CR LF (the
//    records are shifted or the file is foreign), or its bytes are no GBK text (a NUL byte,
//    a byte no GBK character begins with, a double-byte character cut short), which this
//    program never writes. Its fields are not shown: shown by its
//    number it empties the boxes, as a number outside the library does; the statistics
//    table, the diagnosis window's base data and the hand-over pass it over. The efficiency
//    window's lists still offer its key, as they offer every key of the file.
//  - damaged fields of a usable record: a number field whose number lies outside what its
//    quantity can physically be (an exponent far beyond the range) or that reads "nan" or
//    "inf". Each such field is shown blank; the record stays. A word in a number field
//    reads 0 in every window, as it always has, and is shown; texts are shown as they are
//    (control characters become blanks where a text file is written).
// The forms and limits are the rows of kGtYmFields (gt_ym_fields.h), one per field with its
// reason. What a window opens it checks once and names in one message (gt_ym_findings_text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/refusal.h"
#include "core/records/gt_ym_record.h"

namespace wb {

// The caption of vals[k] as the efficiency window labels its box ("泵径", "含水率", …).
const char* gt_ym_field_name(std::size_t k);

// Whether vals[k]'s text may be shown: blank, or what the field holds (a number within its
// limits, or a word that is not the name of a non-finite value; two such joined by "/" for
// the sinker bar and the half-stroke pairs; any text for the test time).
bool gt_ym_val_sound(std::size_t k, std::string_view text);

// Whether a text reads as a non-finite number: "nan" or "inf" (any case, after a sign), or a
// number whose exponent is beyond the double range.
bool shows_non_finite(std::string_view text);
// Whether the record's last two bytes, as stored, end a line (CR LF).
inline bool gt_ym_line_end_sound(std::uint8_t cr, std::uint8_t lf) { return cr == 13 && lf == 10; }

// Why a record of these 606 stored bytes cannot be used; no value when it can.
[[nodiscard]] std::optional<Refusal> gt_ym_refusal(std::span<const std::uint8_t> raw);

struct GtYmCheck {
  std::string refusal;                // why the record cannot be used; empty when it can
  std::vector<std::size_t> damaged;   // vals[] indices of the fields to show blank, in order
  bool usable() const { return refusal.empty(); }
  bool sound() const { return refusal.empty() && damaged.empty(); }
};
// `raw`: the record's stored bytes, when the caller has them (else only its line end and
// its NUL bytes are seen).
GtYmCheck check_gt_ym_record(const GtYmRecord& r, std::span<const std::uint8_t> raw = {});

// Empties the damaged fields of a usable record (what the windows show).
void blank_damaged_fields(GtYmRecord& r, const GtYmCheck& c);

// What a library check found in one record (1-based number; the well as stored, trimmed).
struct GtYmFinding {
  std::size_t record = 0;
  std::string well;
  GtYmCheck check;
};
// Checks every record; the findings of those that are not sound, in file order.
std::vector<GtYmFinding> check_gt_ym_records(const std::vector<GtYmRecord>& records);
// Reads a library as read_gt_ym_records does, with each record's check from its bytes.
StoreStatus read_checked_gt_ym_records(const std::filesystem::path& lib, std::vector<GtYmRecord>& records,
                                       std::vector<GtYmCheck>& checks);
// Reads and checks a library; nothing when it is missing, unreadable or not whole records
// (those are told by the caller's own length check).
std::vector<GtYmFinding> check_gt_ym_library(const std::filesystem::path& lib);

// The one message naming the refused records and the damaged fields of the others (at most
// kGtYmFindingsListed records, then how many more); empty when there are none.
inline constexpr std::size_t kGtYmFindingsListed = 12;
std::string gt_ym_findings_text(const std::vector<GtYmFinding>& findings, const std::string& path);
inline constexpr const char* kGtYmDamagedTitle = "系统效率数据已损坏";

// The question before the boxes of a record shown with blanked fields are stored again
// under its key (the blanks would replace what the file held).
std::string gt_ym_rewrite_question(const std::vector<std::size_t>& damaged);

}  // namespace wb
