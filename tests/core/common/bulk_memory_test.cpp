// Big tables in mapped blocks: aligned to the huge pages they ask for, their contents kept as
// they grow, and a freed block's successor of the same size starting from what is written.
#include "core/common/bulk_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace wb {
namespace {

TEST(BulkMemory, BigTablesAlignedAndKeptWhileTheyGrow) {
  BulkVector<std::uint32_t> v;
  for (std::uint32_t i = 0; i < 3'000'000; ++i) v.push_back(i * 7);  // grows past 2 MB several times
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(v.data()) % kBulkBlockFrom, 0u);
  for (std::uint32_t i = 0; i < v.size(); i += 9973) ASSERT_EQ(v[i], i * 7);
  v = BulkVector<std::uint32_t>();
  for (int round = 0; round < 3; ++round) {
    BulkVector<std::string> rows(100'000, std::string(20, 'a' + round));
    for (std::size_t i = 0; i < rows.size(); i += 997) ASSERT_EQ(rows[i], std::string(20, 'a' + round));
  }
  BulkVector<char> small(100, 'x');  // a small table from the ordinary heap
  EXPECT_EQ(small.back(), 'x');
}

}  // namespace
}  // namespace wb
