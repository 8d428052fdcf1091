// Checks of a stored card, electric or waveform record before it is shown or printed.
//
// The records come from single-test files (data/<well>.gNN, .dNN, .xNN) and the three test
// libraries; a damaged file or a file of another program decodes into any bytes at all.
// Two kinds of findings:
//  - refusals: what the reader needs to rebuild the curves is unusable (a count outside
//    its range, a curve coefficient that is not a finite number or larger than any stored
//    curve could give). Such a record is not shown, not printed; the shown test stays.
//  - doubts: a number the instrument and this program never write (a negative current, a
//    power factor above 1, a test date that is not 12 digits). The record is shown for
//    what it is worth; the user is told on opening and asked before it is stored again.
// The limits are the tables in record_checks.cpp, one row per field with its reason.
#pragma once

#include <string>
#include <vector>

#include "core/common/record_store.h"
#include "core/common/test_records.h"

namespace wb {

struct RecordFindings {
  std::vector<std::string> refusals;
  std::vector<std::string> doubts;
  bool usable() const { return refusals.empty(); }
};

RecordFindings check_sgt_record(const SgtRecord& r);
RecordFindings check_dnt_record(const DntRecord& r);
RecordFindings check_xbt_record(const XbtRecord& r);

// How a stored number beyond its limits is named, in every record check: "<value> <unit>，" then
// "应在 <lo> 至 <hi> 之间" or, with no upper limit (infinity), "不应小于 <lo>".
std::string value_with_unit(double v, const char* unit);
std::string limits_text(double lo, double hi, const char* unit);

// "示功图", "电力曲线", "电力波形" for the three kinds of record.
enum class RecordKindName { Card, Electric, Wave };
const char* record_kind_name(RecordKindName kind);

// The parts every refusal of a stored test shares: after "<kind>数据 <path>" and before its
// reasons, and at its end.
inline constexpr const char* kDamagedNotShownText = " 已损坏，不能显示：";
inline constexpr const char* kShownTestKeptText = "\n当前测试保持不变。";
// The doubt of a stored record or a joint test's raw file whose test date is not what the
// instrument writes.
inline constexpr const char* kTestDateNotInstrumentText = "测试日期不是仪器写入的 12 位数字（年月日时分）。";

// The message of a refused record (title kRecordRefusedTitle) and of a doubtful one (title
// kRecordDoubtsTitle, shown on opening and, with a question, before a store).
std::string record_refusal_text(RecordKindName kind, const std::vector<std::string>& refusals, const std::string& path);
std::string record_doubts_text(RecordKindName kind, const std::vector<std::string>& doubts, const std::string& path);
inline constexpr const char* kRecordRefusedTitle = kBadFormatTitle;
inline constexpr const char* kRecordDoubtsTitle = "测试数据可能已损坏";

}  // namespace wb
