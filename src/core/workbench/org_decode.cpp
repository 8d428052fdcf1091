#include "core/workbench/org_decode.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>

#include "core/common/file_read.h"
#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/common/trim.h"
#include "core/records/record_checks.h"

namespace wb {
namespace {

// Largest file worth reading: the header and a full int16 count of samples.
constexpr std::size_t kOrgMaxFileBytes = kOrgSamplesOffset + kOrgSampleSize * 32767;

std::size_t samples_in_file(std::size_t file_size) {
  return file_size > kOrgSamplesOffset ? (file_size - kOrgSamplesOffset) / kOrgSampleSize : 0;
}

}  // namespace

int stored_sample_count(const TestState& st) {
  int n = st.org_head.sample_count;
  if (n <= 0) return 0;
  return n < kMaxSamples ? n : kMaxSamples;
}

std::optional<Refusal> check_org_bytes(const Bytes& file) {
  const std::string keep = kShownTestKeptText;
  if (file.size() < kOrgHeaderSize)
    return "联合测试文件不完整：文件只有 " + std::to_string(file.size()) + " 字节，不足一个文件头。" + keep;
  OrgFileHeader h;
  std::ignore = h.decode(file);  // check_org_bytes saw a whole header
  if (h.sample_count <= 0)
    return "联合测试文件的采样点数为 " + std::to_string(h.sample_count) + "，没有可分析的数据。" + keep;
  if (samples_in_file(file.size()) == 0)
    return "联合测试文件不完整：文件头记录 " + std::to_string(h.sample_count) + " 个采样点，文件中一个也没有。" + keep;
  return {};
}

std::vector<std::string> org_file_doubts(const Bytes& file) {
  std::vector<std::string> doubts;
  if (check_org_bytes(file)) return doubts;
  OrgFileHeader h;
  std::ignore = h.decode(file);  // check_org_bytes saw a whole header
  const std::size_t in_file = samples_in_file(file.size());
  const auto header_count = static_cast<std::size_t>(h.sample_count);
  if (in_file < header_count)
    doubts.push_back(samples_missing_doubt(header_count, in_file));
  const std::size_t usable = std::min(in_file, header_count);
  if (usable < static_cast<std::size_t>(kOrgLeastStrokeSamples))
    doubts.push_back("只有 " + std::to_string(usable) + " 个采样点（" + std::to_string(usable * 2 / 100) + "." +
                     std::to_string(usable * 2 % 100 / 10) + " 秒），不足一个冲程（至少 " +
                     std::to_string(kOrgLeastStrokeSamples) + " 个点，4 秒）。");
  // The date field as stored, blanks and NULs at either end aside: 12 ASCII digits.
  std::string date(h.raw.begin() + 12, h.raw.begin() + 24);
  const auto pad = [](char c) { return c == ' ' || c == '\0'; };
  while (!date.empty() && pad(date.back())) date.pop_back();
  while (!date.empty() && pad(date.front())) date.erase(date.begin());
  const bool digits = date.size() == 12 && std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) doubts.push_back(kTestDateNotInstrumentText);
  if (h.wiring_mode < 1 || h.wiring_mode > 4)
    doubts.push_back("接线方式代码为 " + std::to_string(h.wiring_mode) + "，仪器只写入 1 至 4。");
  return doubts;
}

std::string org_doubts_text(const std::vector<std::string>& doubts, const std::string& path) {
  return raw_file_doubts_text("联合测试文件", path, doubts);
}

std::optional<Refusal> decode_org_bytes(TestState& st, const Bytes& file) {
  if (std::optional<Refusal> refused = check_org_bytes(file)) return refused;
  st.org_doubts = org_file_doubts(file);

  std::ignore = st.org_head.decode(file);  // check_org_bytes saw a whole header
  // A file cut short holds fewer samples than its header says: the test is what arrived.
  const int count = static_cast<int>(
      std::min(static_cast<std::size_t>(st.org_head.sample_count), samples_in_file(file.size())));
  st.org_head.sample_count = static_cast<std::int16_t>(count);
  const float k = static_cast<float>(wiring_factor(st.org_head.wiring_mode));
  st.Text1[appended_box::kTestDate] = Trim_Blank_Nul(st.org_head.test_date);
  for (auto& t : st.Text3) t.clear();

  ByteReader r(file);
  float power_sum = 0.0f;
  for (int i = 0; i < count; ++i) {
    const std::size_t off = kOrgSamplesOffset + kOrgSampleSize * static_cast<std::size_t>(i);
    const float cur = static_cast<float>(r.i16(off) / 100.0);     // A
    const float volt = static_cast<float>(r.u16(off + 2) / 50.0);  // V, unsigned word
    const float p = static_cast<float>(r.i16(off + 4) / 100.0);    // kW
    const float pos = static_cast<float>(r.i16(off + 6) / 1000.0); // m
    const float load = static_cast<float>(r.i16(off + 8) / 100.0); // kN
    // S and Q step by step in single precision: stored results were computed that way.
    const float s = k * cur * volt / 1000.0f;  // kVA
    const float q2 = s * s - p * p;
    const float q = q2 > 0.0f ? std::sqrt(q2) : 0.0f;  // kvar
    power_sum += p;
    if (i < kMaxSamples) {
      st.iis[i] = cur;
      st.uus[i] = volt;
      st.pps[i] = p;
      st.qqs[i] = q;
      st.sss[i] = pos;
      st.ggs[i] = load;
    }
  }
  // The mean covers every sample read, also those beyond the 3000 kept.
  st.p_sum = static_cast<float>(static_cast<double>(power_sum) / count);
  if (st.p_sum < 0.0f) {
    // A reversed current clamp: the motor's mean power cannot be negative. qqs came from
    // P squared and keeps its value.
    const int stored = stored_sample_count(st);
    for (int i = 0; i < stored; ++i) st.pps[i] = -st.pps[i];
  }
  return {};
}

std::optional<Refusal> read_org_file(const std::string& fil_nam, Bytes& file) {
  const std::string refused = "无法读取联合测试文件：" + fil_nam + kShownTestKeptText;
  file.clear();
  const ReadableFile in(u8path(fil_nam));
  if (!in) return refused;
  file.resize(kOrgMaxFileBytes);
  file.resize(in.read_head(file));
  if (file.empty() && in.size() != 0) return refused;
  return check_org_bytes(file);
}

std::optional<Refusal> Load_Org_Data(TestState& st, const std::string& fil_nam) {
  Bytes file;
  if (std::optional<Refusal> refused = read_org_file(fil_nam, file)) return refused;
  return decode_org_bytes(st, file);
}

}  // namespace wb
