// Whether a record holds a key, decided on the key fields' bytes as stored.
//
// A keyed library's record matches when each key field, GBK-decoded and trimmed (of blanks, or
// of blanks and NULs, as the library's rule is), equals the wanted text. Decoding every record
// of a library at the record limit costs far more than the save it serves, so the wanted text
// is encoded once and compared with the field's bytes, trimmed at byte level: blank (0x20) and
// NUL are never the trail byte of a GBK character, so trimming the bytes trims the text.
// Decoding is one-to-one on bytes that decode without error (every unit, an ASCII byte or a
// double-byte character, reads as a character of its own; key_match_test checks the decoder),
// so equal bytes and equal texts are the same fact there. Only a wanted text holding '?' can
// equal the reading of bytes GBK cannot decode (each such sequence reads as '?'): for it a
// field with bytes outside ASCII that differs from the encoded text is decoded as before. A
// wanted text that does not come back from its own encoding (a character GBK has no code for)
// decodes every field. The answer is always the decoding rule's (`decoded`).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/record_keys.h"

namespace wb {

// What a library trims off a stored key field before it compares it.
enum class KeyTrim {
  Blanks,         // blanks only (the analysis windows' rule)
  BlanksAndNuls,  // blanks and NULs (Trim_Blank_Nul)
};

// A key text as a field of `width` bytes holds it once stored, read back and trimmed by
// `trim`: cut at the last whole character that fits. `typed` trims the text before it is
// stored (the save stores the trimmed text): none, or the rule's own trim.
enum class TypedTrim { None, Same };
std::string key_as_stored(std::string_view text, std::size_t width, KeyTrim trim, TypedTrim typed);

class KeyMatch {
 public:
  struct Field {
    KeyField where;      // in the record
    std::string wanted;  // the text the field must read as, trimmed (UTF-8)
  };
  KeyMatch(std::vector<Field> fields, KeyTrim trim);

  // Whether `record` (the whole record, or at least its bytes up to end()) holds the key.
  bool operator()(std::span<const std::uint8_t> record) const;
  // The same given only the record's bytes [begin(), end()).
  bool in_key_bytes(std::span<const std::uint8_t> keys) const;
  // The same by decoding every field: the rule itself.
  bool decoded(std::span<const std::uint8_t> record) const;

  // The bytes of a record the match reads: [begin(), end()).
  std::size_t begin() const { return begin_; }
  std::size_t end() const { return end_; }
  // Equal for two matches that find the same records (fields, wanted texts and trim).
  const std::string& identity() const { return identity_; }

 private:
  struct Wanted {
    KeyField where;
    std::string text;         // UTF-8
    std::string bytes;        // GBK
    bool by_bytes = false;    // the text comes back from its bytes
    bool question = false;    // the text holds '?'
  };
  // `keys`: the record's bytes from begin().
  bool field_matches(std::span<const std::uint8_t> keys, const Wanted& w) const;
  bool field_decoded(std::span<const std::uint8_t> keys, const Wanted& w) const;

  std::vector<Wanted> fields_;
  KeyTrim trim_;
  std::size_t begin_ = 0, end_ = 0;
  std::string identity_;
};

}  // namespace wb
