// A wave single-test file through its reader, save and export (single_test.h).
#include "single_test.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return wbfuzz::single_test_file(wb::LibraryKind::Wave, data, size);
}
