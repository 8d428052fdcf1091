// A raw joint-test file (<well>.oNN) through its reader alone: the file's bytes checked and
// decoded into the state (the file is read from disk in joint_analysis_fuzz). A refused file
// leaves the state untouched; an accepted one holds at least one and at most 3000 samples,
// never more than the file or its header count, and every kept sample is the file's word
// scaled back. The analysis is in joint_analysis_fuzz.
#include <cmath>
#include <cstdint>

#include "core/common/bytes.h"
#include "core/workbench/org_decode.h"
#include "fuzz_support.h"

namespace {

// The stored word behind a decoded sample: the decoder divides in double and keeps a float.
long back_to_word(float v, double scale) { return std::lround(static_cast<double>(v) * scale); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::Bytes bytes(data, data + size);
  wb::TestState st;
  st.Text1[0] = "shown before";
  st.Text3[1] = "12.5";
  const std::optional<wb::Refusal> refusal = wb::decode_org_bytes(st, bytes);
  FUZZ_CHECK(refusal == wb::check_org_bytes(bytes));
  if (refusal) {
    FUZZ_CHECK(st.Text1[0] == "shown before" && st.Text3[1] == "12.5" && st.org_head.sample_count == 0);
    FUZZ_CHECK(wb::org_file_doubts(bytes).empty());
    return 0;
  }

  wb::OrgFileHeader h;
  FUZZ_CHECK(h.decode(bytes));
  const std::size_t in_file = (size - wb::kOrgSamplesOffset) / wb::kOrgSampleSize;
  const int count = st.org_head.sample_count;
  FUZZ_CHECK(count >= 1 && count <= h.sample_count && static_cast<std::size_t>(count) <= in_file);
  FUZZ_CHECK(count == h.sample_count || static_cast<std::size_t>(count) == in_file);
  // A file cut short is named as such.
  if (count < h.sample_count) FUZZ_CHECK(!st.org_doubts.empty());
  FUZZ_CHECK(st.org_doubts == wb::org_file_doubts(bytes));
  for (const auto& t : st.Text3) FUZZ_CHECK(t.empty());
  FUZZ_CHECK(std::isfinite(st.p_sum));

  // Every kept sample is its file word; power is negated as a whole for a reversed clamp.
  wb::ByteReader r(bytes);
  const int kept = wb::stored_sample_count(st);
  const long sign = st.p_sum < 0.0f ? -1 : 1;
  for (int i = 0; i < kept; ++i) {
    const std::size_t off = wb::kOrgSamplesOffset + wb::kOrgSampleSize * static_cast<std::size_t>(i);
    FUZZ_CHECK(back_to_word(st.iis[i], 100.0) == r.i16(off));
    FUZZ_CHECK(back_to_word(st.uus[i], 50.0) == r.u16(off + 2));
    FUZZ_CHECK(back_to_word(st.pps[i], 100.0) == sign * r.i16(off + 4));
    FUZZ_CHECK(back_to_word(st.sss[i], 1000.0) == r.i16(off + 6));
    FUZZ_CHECK(back_to_word(st.ggs[i], 100.0) == r.i16(off + 8));
    FUZZ_CHECK(st.qqs[i] >= 0.0f && std::isfinite(st.qqs[i]));
  }
  return 0;
}
