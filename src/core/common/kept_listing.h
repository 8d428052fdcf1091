// A keyed library as its lists show it, trimmed: every record's well and test made from the
// library's kept keys (kept_record_keys, record_keys.h) and kept with them, so the well list,
// a well's tests and a grid of every record read the file once between its changes.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>

#include "core/common/listing_texts.h"
#include "core/common/record_keys.h"

namespace wb {

// The well (fields[0]) and test (fields[1]) of each record of `path`, blanks trimmed at both
// ends (KeyTexts::trimmed), in record order. `out` is never null; it lists nothing unless Ok.
// A file beyond the record limit lists nothing (IoError): it is refused by name where it is
// chosen. The listings of the last few libraries asked for are kept while their keys are.
StoreStatus trimmed_key_listing(const std::filesystem::path& path, std::size_t record_length,
                                const std::array<KeyField, 2>& fields, std::shared_ptr<const KeyListing>& out);

}  // namespace wb
