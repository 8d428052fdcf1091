#include "core/common/kept_listing.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "core/common/record_limit.h"

namespace wb {

namespace {
// As many listings as kept_record_keys keeps libraries: one action lists a few at most.
constexpr std::size_t kListingsKept = 4;
}  // namespace

StoreStatus trimmed_key_listing(const std::filesystem::path& path, std::size_t record_length,
                                const std::array<KeyField, 2>& fields, std::shared_ptr<const KeyListing>& out) {
  static const auto kNone = std::make_shared<const KeyListing>();
  out = kNone;
  if (file_records_over_limit(path, record_length)) return StoreStatus::IoError;
  KeptKeys kept;
  const StoreStatus st = kept_record_keys(path, record_length, fields, kept);
  if (st != StoreStatus::Ok) return st;
  // The listings last made, the latest first, each while its keys are the library's.
  static std::mutex lock;
  static std::vector<std::shared_ptr<const KeyListing>> last;
  {
    const std::lock_guard<std::mutex> hold(lock);
    const auto it = std::find_if(last.begin(), last.end(), [&](const auto& l) { return l->source == kept; });
    if (it != last.end()) {
      out = *it;
      return StoreStatus::Ok;
    }
  }
  const RecordKeys& keys = *kept;
  auto made = std::make_shared<KeyListing>();
  made->source = kept;
  made->texts.reserve(keys.records, keys.key_length * keys.records);
  KeyTexts texts;
  for (std::size_t i = 0; i < keys.records; ++i) {
    const auto key = keys.key(i);
    made->texts.add(texts.trimmed(key.first(fields[0].length)));
    made->texts.add(texts.trimmed(key.last(fields[1].length)));
  }
  const std::lock_guard<std::mutex> hold(lock);
  last.insert(last.begin(), made);
  if (last.size() > kListingsKept) last.pop_back();
  out = std::move(made);
  return StoreStatus::Ok;
}

}  // namespace wb
