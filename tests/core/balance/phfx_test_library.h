// Counterbalance libraries made in a test: records written as one file, and the point counts
// (which the tests use as each record's name) read back in file order.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/balance/phfx_record.h"
#include "core/common/record_store.h"

namespace wb::test {

inline void write_phfx_library(const std::filesystem::path& lib, const std::vector<PhfxRecord>& recs) {
  std::vector<std::uint8_t> all;
  for (const PhfxRecord& r : recs) {
    const Bytes b = r.encode();
    all.insert(all.end(), b.begin(), b.end());
  }
  ASSERT_TRUE(write_file_atomic(lib, all));
}

inline std::vector<int> phfx_point_nums(const std::filesystem::path& lib) {
  std::vector<Bytes> all;
  EXPECT_EQ(RecordStore(lib, kPhfxRecordSize).read_all(all), StoreStatus::Ok);
  std::vector<int> out;
  for (const Bytes& b : all) {
    PhfxRecord r;
    EXPECT_TRUE(r.decode(b));
    out.push_back(r.point_num);
  }
  return out;
}

}  // namespace wb::test
