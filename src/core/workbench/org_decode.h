// Raw joint-test files (<well>.oNN) of the field instrument.
//
// Layout: a 1023-byte header (OrgFileHeader), one byte never read, then 10-byte samples
// from byte 1024 on, 0.02 s apart:
//   +0 current, A x100, signed        +2 voltage, V x50, UNSIGNED (0x8000 is 655.36 V)
//   +4 active power, kW x100, signed  +6 position, m x1000, signed   +8 load, kN x100, signed
// At most 3000 samples (60 s) are kept; samples beyond are only counted in the mean power.
// The instrument's header count is not trusted: the samples read are bounded by what the
// file holds (a transfer cut short keeps the samples that arrived), and a file too short for
// its header, with a count of 0 or below, or without a single sample is refused and the
// state is left as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/common/bytes.h"
#include "core/common/record_store.h"
#include "core/common/wiring.h"
#include "core/common/refusal.h"
#include "core/workbench/test_state.h"

namespace wb {

// Samples the analysis may use: the header count bounded by the 3000 stored samples
// (0 when no joint test has been decoded).
int stored_sample_count(const TestState& st);

// Checks a raw file's bytes before anything is decoded: no refusal when the file is usable,
// otherwise the message the user is shown.
[[nodiscard]] std::optional<Refusal> check_org_bytes(const Bytes& file);

// The shortest stroke the period search looks for: 200 samples, 4 s (15 strokes a minute).
inline constexpr int kOrgLeastStrokeSamples = 200;

// What is wrong with a usable raw file that the instrument would not have written so: fewer
// samples than its header counts (a download cut short), too few samples for one stroke, a
// test date that is not the instrument's 12 digits (yyyymmddhhmm), a wiring mode other than
// 1 to 4. One line per finding, empty for a sound file. Such a file still opens (what
// arrived may be worth a look), but its results may be nonsense: the user is told on
// opening and asked before the test is stored.
std::vector<std::string> org_file_doubts(const Bytes& file);
// The text the user is shown for the findings (on opening, and in the question before a
// store), with the file's path.
std::string org_doubts_text(const std::vector<std::string>& doubts, const std::string& path);
inline constexpr const char* kOrgDoubtsTitle = "联合测试文件可能已损坏";

// Decodes checked bytes into the state: org_head, whose sample_count becomes the number of
// samples read (the header's count bounded by the file's length), the six sample arrays
// (indices at and beyond the stored count keep what they held), Text1(0) := the trimmed test
// date, p_sum := the mean active power of all samples read, and pps negated when that mean
// is below 0.
// The result boxes Text3 are emptied: nothing of the previous test may stay on show.
// org_doubts := the findings of org_file_doubts.
// Returns the refusal (state untouched) or none.
[[nodiscard]] std::optional<Refusal> decode_org_bytes(TestState& st, const Bytes& file);

// Reads a raw file (at most what a full header count can hold) and checks it: no refusal
// when usable.
[[nodiscard]] std::optional<Refusal> read_org_file(const std::string& fil_nam, Bytes& file);

// Load_Org_Data: reads the file and decodes it as above. A file that cannot be read is
// refused with a message too.
[[nodiscard]] std::optional<Refusal> Load_Org_Data(TestState& st, const std::string& fil_nam);

// The message box title of a refused joint-test file.
inline constexpr const char* kOrgRefusedTitle = kBadFormatTitle;

}  // namespace wb
