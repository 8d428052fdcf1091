#include "core/common/key_match.h"

#include <algorithm>
#include <cstring>

#include "core/common/gbk.h"
#include "core/common/trim.h"

namespace wb {

namespace {

std::string trimmed(std::string_view text, KeyTrim trim) {
  return trim == KeyTrim::Blanks ? trim_blanks(text) : Trim_Blank_Nul(text);
}

bool is_pad(std::uint8_t b, KeyTrim trim) { return b == ' ' || (b == 0 && trim == KeyTrim::BlanksAndNuls); }

void append_number(std::string& s, std::size_t n) {
  s += std::to_string(n);
  s += ',';
}

}  // namespace

std::string key_as_stored(std::string_view text, std::size_t width, KeyTrim trim, TypedTrim typed) {
  const std::string stored = typed == TypedTrim::Same ? trimmed(text, trim) : std::string(text);
  return trimmed(gbk_to_utf8(gbk_field(stored, width)), trim);
}

KeyMatch::KeyMatch(std::vector<Field> fields, KeyTrim trim) : trim_(trim) {
  begin_ = fields.empty() ? 0 : fields.front().where.offset;
  identity_ = trim == KeyTrim::Blanks ? "b," : "n,";
  for (Field& f : fields) {
    Wanted w;
    w.where = f.where;
    w.bytes = utf8_to_gbk(f.wanted);
    w.by_bytes = gbk_to_utf8(w.bytes) == f.wanted;
    w.question = f.wanted.find('?') != std::string::npos;
    w.text = std::move(f.wanted);
    begin_ = std::min(begin_, w.where.offset);
    end_ = std::max(end_, w.where.offset + w.where.length);
    append_number(identity_, w.where.offset);
    append_number(identity_, w.where.length);
    append_number(identity_, w.text.size());
    identity_ += w.text;
    fields_.push_back(std::move(w));
  }
}

bool KeyMatch::field_decoded(std::span<const std::uint8_t> keys, const Wanted& w) const {
  return trimmed(gbk_field_text(keys.subspan(w.where.offset - begin_, w.where.length)), trim_) == w.text;
}

bool KeyMatch::field_matches(std::span<const std::uint8_t> keys, const Wanted& w) const {
  if (!w.by_bytes) return field_decoded(keys, w);
  const std::uint8_t* f = keys.data() + (w.where.offset - begin_);
  std::size_t b = 0, e = w.where.length;
  while (b < e && is_pad(f[b], trim_)) ++b;
  while (e > b && is_pad(f[e - 1], trim_)) --e;
  if (e - b == w.bytes.size() && std::memcmp(f + b, w.bytes.data(), e - b) == 0) return true;
  // Other bytes that decode without error read as another text; bytes in error read as '?'.
  if (!w.question) return false;
  const bool ascii = std::all_of(f, f + w.where.length, [](std::uint8_t c) { return c < 0x80; });
  return !ascii && field_decoded(keys, w);
}

bool KeyMatch::in_key_bytes(std::span<const std::uint8_t> keys) const {
  if (keys.size() < end_ - begin_) return false;
  for (const Wanted& w : fields_)
    if (!field_matches(keys, w)) return false;
  return true;
}

bool KeyMatch::operator()(std::span<const std::uint8_t> record) const {
  return record.size() >= end_ && in_key_bytes(record.subspan(begin_));
}

bool KeyMatch::decoded(std::span<const std::uint8_t> record) const {
  if (record.size() < end_) return false;
  for (const Wanted& w : fields_)
    if (!field_decoded(record.subspan(begin_), w)) return false;
  return true;
}

}  // namespace wb
