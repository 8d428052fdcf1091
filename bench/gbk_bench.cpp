// GBK <-> UTF-8 of the key fields of a library at its limit: 32 767 well-name fields of 16
// bytes, most of them Chinese ("北1234-井", blank-padded), a tenth ASCII ("W1234"). Argument
// 0 is the system's converter opened per text (the old way, kept as the reference), 1 the
// tables. Decode reads the stored fields into texts; Encode writes the names into fields.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/common/gbk.h"
#include "core/common/gbk_iconv.h"

namespace {

constexpr int kFields = 32767;
constexpr std::size_t kWidth = 16;

std::string name_of(int i) {
  std::string n = i % 10 == 9 ? "W" : "北";
  n += std::to_string(i % 10 == 9 ? i : i % 3277);
  if (i % 10 != 9) n += "-井";
  return n;
}

const std::vector<std::string>& names() {
  static const std::vector<std::string> n = [] {
    std::vector<std::string> v;
    v.reserve(kFields);
    for (int i = 0; i < kFields; ++i) v.push_back(name_of(i));
    return v;
  }();
  return n;
}

const std::vector<std::string>& fields() {
  static const std::vector<std::string> f = [] {
    std::vector<std::string> v;
    v.reserve(kFields);
    for (const std::string& n : names()) v.push_back(wb::iconv_utf8_to_gbk(n).append(kWidth, ' ').substr(0, kWidth));
    return v;
  }();
  return f;
}

void BM_GbkDecode_32767(benchmark::State& state) {
  const bool tables = state.range(0) != 0;
  const auto& in = fields();
  (void)wb::gbk_table_bytes();  // built before the timing
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const std::string& f : in) bytes += (tables ? wb::gbk_to_utf8(f) : wb::iconv_gbk_to_utf8(f)).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["table_kB"] = static_cast<double>(wb::gbk_table_bytes()) / 1024.0;
}
BENCHMARK(BM_GbkDecode_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The decoder the statistics parse keeps, on the same fields.
void BM_GbkDecoder_32767(benchmark::State& state) {
  const auto& in = fields();
  wb::GbkDecoder dec;
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const std::string& f : in) bytes += dec(f).size();
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_GbkDecoder_32767)->Unit(benchmark::kMillisecond);

void BM_GbkEncode_32767(benchmark::State& state) {
  const bool tables = state.range(0) != 0;
  const auto& in = names();
  (void)wb::gbk_table_bytes();
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const std::string& n : in) bytes += (tables ? wb::utf8_to_gbk(n) : wb::iconv_utf8_to_gbk(n)).size();
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_GbkEncode_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
