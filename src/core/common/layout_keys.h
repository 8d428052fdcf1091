// A keyed record's key fields as its field table (record_layout.h) places them, for a key read
// (read_record_keys) and for the comparisons of stored keys: the offsets and widths are read
// from the table by the fields' names, never written a second time.
//
//   constexpr RecordKeyFields kKeys = record_key_fields(kPhfxLayout);  // well_name, test_date
//   read_record_keys(lib, kPhfxRecordSize, kKeys.fields, keys);
//   texts.trimmed(keys.key(i).first(kKeys.well().length));
#pragma once

#include <array>
#include <stdexcept>
#include <string_view>

#include "core/common/record_keys.h"
#include "core/common/record_layout.h"

namespace wb {

// The field of a table named `name`; a name the table does not hold is the caller's fault
// (a compile error where the table is constexpr, a logic_error otherwise).
template <class R>
constexpr const FieldInfo& field_named(const RecordLayout<R>& l, std::string_view name) {
  for (const FieldCodec<R>& f : l.fields())
    if (std::string_view(f.info.name) == name) return f.info;
  throw std::logic_error("no such field in the record's table");
}

// The two key fields of a record, the well then the test, in the order a key read joins them.
struct RecordKeyFields {
  std::array<KeyField, 2> fields;
  constexpr const KeyField& well() const { return fields[0]; }
  constexpr const KeyField& test() const { return fields[1]; }
};

template <class R>
constexpr RecordKeyFields record_key_fields(const RecordLayout<R>& l, std::string_view well = "well_name",
                                            std::string_view test = "test_date") {
  const FieldInfo& w = field_named(l, well);
  const FieldInfo& t = field_named(l, test);
  return {{{{w.offset, w.width}, {t.offset, t.width}}}};
}

}  // namespace wb
