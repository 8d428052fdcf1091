// One table per fixed-length record: each field once, with its name, byte offset, member and
// (for text) width; the table encodes, decodes and describes the record.
//
//   constexpr FieldCodec<SgtRecord> kFields[] = {
//       kept_text<&SgtRecord::well_name, &SgtRecord::well_name_raw>("well_name", 0),
//       field<&SgtRecord::point_num>("point_num", 28),
//       field<&SgtRecord::ss_sin>("ss_sin", 128),
//   };
//   constexpr RecordLayout<SgtRecord> kLayout = record_layout<kFields>(kSgtRecordSize, 0);
//
// What a field holds follows from its member's type: std::int16_t and float are
// little-endian numbers, std::array<std::uint8_t, N> bytes kept as stored, a struct with
// `static const RecordLayout<S>& layout()` and `static constexpr std::size_t kSize` a record
// within the record, and std::array of any of these that many elements one after the other
// (or `stride` bytes apart). Text is GBK of a fixed width, blank-padded, cut at a whole
// character, read back with its padding: `text` for a std::string (or std::array of them,
// one field after the other), `kept_text` for a text read with its stored bytes
// (record_fields.h: written back from those bytes while the text is unchanged). Bytes no
// field covers are the record's fill byte when encoded; `fixed` bytes are written always and
// never read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/common/bytes.h"
#include "core/common/record_fields.h"

namespace wb {

enum class FieldType : std::uint8_t {
  I16,       // little-endian int16
  F32,       // little-endian float32
  Bytes,     // bytes kept as stored
  Text,      // GBK text, blank-padded to its width
  KeptText,  // GBK text with its stored bytes
  Record,    // a record with a layout of its own
  Fixed,     // constant bytes, written always, never read
};

struct FieldInfo {
  const char* name = "";
  std::size_t offset = 0;
  FieldType type = FieldType::Bytes;
  std::size_t count = 1;           // elements
  std::size_t width = 0;           // bytes of one element
  std::size_t stride = 0;          // bytes from one element to the next
  const char* fixed = nullptr;     // Fixed: the bytes written (`width` of them)

  // Where element k starts, relative to the record.
  constexpr std::size_t at(std::size_t k) const { return offset + stride * k; }
  // One past the last byte of the field.
  constexpr std::size_t end() const { return at(count - 1) + width; }
};

template <class R>
struct FieldCodec {
  using record = R;
  FieldInfo info;
  // `base` is where the record starts in the buffer (0 unless it lies within another).
  void (*put)(const R& rec, ByteWriter& w, std::size_t base, const FieldInfo& f);
  void (*get)(R& rec, const ByteReader& r, std::size_t base, const FieldInfo& f);
};

// Whole: every byte is a field's (or fixed). Overlay: the fields lie over bytes the record
// keeps as read, so bytes no field covers are allowed.
enum class LayoutCoverage : std::uint8_t { Whole, Overlay };

// A record's table with its size and fill byte; made by `record_layout<kFields>(…)`, which
// writes and reads the fields in one unrolled sequence of direct calls.
template <class R>
class RecordLayout {
 public:
  using Writer = void (*)(const R& rec, ByteWriter& w, std::size_t base);
  using Reader = void (*)(R& rec, const ByteReader& r, std::size_t base);

  constexpr RecordLayout(std::size_t size, std::uint8_t fill, LayoutCoverage coverage,
                         std::span<const FieldCodec<R>> fields, Writer write, Reader read)
      : size_(size), fill_(fill), coverage_(coverage), fields_(fields), write_(write), read_(read) {}

  constexpr std::size_t size() const { return size_; }
  constexpr std::uint8_t fill() const { return fill_; }
  constexpr LayoutCoverage coverage() const { return coverage_; }
  constexpr std::span<const FieldCodec<R>> fields() const { return fields_; }

  // The record in `size()` bytes: the fill byte, then every field.
  Bytes encode(const R& rec) const {
    Bytes b(size_, fill_);
    ByteWriter w(b);
    write_(rec, w, 0);
    return b;
  }
  // False (record unchanged) when `b` is shorter than a record; bytes past it are not read.
  [[nodiscard]] bool decode(std::span<const std::uint8_t> b, R& rec) const {
    if (b.size() < size_) return false;
    const ByteReader r(b.first(size_));
    read_(rec, r, 0);
    return true;
  }

  // The fields at `base` of a buffer (the bytes between them untouched).
  void write(const R& rec, ByteWriter& w, std::size_t base) const { write_(rec, w, base); }
  void read(R& rec, const ByteReader& r, std::size_t base) const { read_(rec, r, base); }

 private:
  std::size_t size_;
  std::uint8_t fill_;
  LayoutCoverage coverage_;
  std::span<const FieldCodec<R>> fields_;
  Writer write_;
  Reader read_;
};

namespace record_layout_detail {

template <class M>
struct Member;
template <class R, class T>
struct Member<T R::*> {
  using record = R;
  using type = T;
};

// One element of a field: how it is stored, its width, and how it is put and got.
template <class T>
struct Element {  // a record of its own: `T::kSize` bytes, as its layout says
  static constexpr FieldType type = FieldType::Record;
  static constexpr std::size_t width() { return T::kSize; }
  static void put(ByteWriter& w, std::size_t at, const T& v) {
    const auto& l = T::layout();
    w.fill(at, l.size(), l.fill());
    l.write(v, w, at);
  }
  static void get(const ByteReader& r, std::size_t at, T& v) { T::layout().read(v, r, at); }
};
template <>
struct Element<std::int16_t> {
  static constexpr FieldType type = FieldType::I16;
  static constexpr std::size_t width() { return 2; }
  static void put(ByteWriter& w, std::size_t at, std::int16_t v) { w.i16(at, v); }
  static void get(const ByteReader& r, std::size_t at, std::int16_t& v) { v = r.i16(at); }
};
template <>
struct Element<float> {
  static constexpr FieldType type = FieldType::F32;
  static constexpr std::size_t width() { return 4; }
  static void put(ByteWriter& w, std::size_t at, float v) { w.f32(at, v); }
  static void get(const ByteReader& r, std::size_t at, float& v) { v = r.f32(at); }
};
template <std::size_t N>
struct Element<std::array<std::uint8_t, N>> {
  static constexpr FieldType type = FieldType::Bytes;
  static constexpr std::size_t width() { return N; }
  static void put(ByteWriter& w, std::size_t at, const std::array<std::uint8_t, N>& v) { put_raw_field(w, at, v); }
  static void get(const ByteReader& r, std::size_t at, std::array<std::uint8_t, N>& v) { get_raw_field(r, at, v); }
};

// A member is one element, or std::array of them (bytes excepted: those are one element).
template <class T>
struct Elements {
  using element = T;
  static constexpr std::size_t count = 1;
  static T& at(T& m, std::size_t) { return m; }
  static const T& at(const T& m, std::size_t) { return m; }
};
template <class T, std::size_t N>
  requires(!std::is_same_v<T, std::uint8_t>)
struct Elements<std::array<T, N>> {
  using element = T;
  static constexpr std::size_t count = N;
  static T& at(std::array<T, N>& m, std::size_t k) { return m[k]; }
  static const T& at(const std::array<T, N>& m, std::size_t k) { return m[k]; }
};

template <auto M>
void put_elements(const typename Member<decltype(M)>::record& rec, ByteWriter& w, std::size_t base,
                  const FieldInfo& f) {
  using E = Elements<typename Member<decltype(M)>::type>;
  if constexpr (std::is_same_v<typename E::element, float> && E::count > 1) {
    if (f.stride == 4) return w.f32_array(base + f.offset, (rec.*M).data(), E::count);  // packed: one call
  }
  for (std::size_t k = 0; k < E::count; ++k) Element<typename E::element>::put(w, base + f.at(k), E::at(rec.*M, k));
}
template <auto M>
void get_elements(typename Member<decltype(M)>::record& rec, const ByteReader& r, std::size_t base,
                  const FieldInfo& f) {
  using E = Elements<typename Member<decltype(M)>::type>;
  if constexpr (std::is_same_v<typename E::element, float> && E::count > 1) {
    if (f.stride == 4) return r.f32_array(base + f.offset, (rec.*M).data(), E::count);
  }
  for (std::size_t k = 0; k < E::count; ++k) Element<typename E::element>::get(r, base + f.at(k), E::at(rec.*M, k));
}

template <auto M, auto Store>
void put_text(const typename Member<decltype(M)>::record& rec, ByteWriter& w, std::size_t base, const FieldInfo& f) {
  using E = Elements<typename Member<decltype(M)>::type>;
  for (std::size_t k = 0; k < E::count; ++k) {
    const std::string& v = E::at(rec.*M, k);
    if constexpr (std::is_same_v<decltype(Store), std::nullptr_t>)
      put_text_field(w, base + f.at(k), f.width, v);
    else
      put_text_field(w, base + f.at(k), f.width, Store(v));
  }
}
template <auto M>
void get_text(typename Member<decltype(M)>::record& rec, const ByteReader& r, std::size_t base, const FieldInfo& f) {
  using E = Elements<typename Member<decltype(M)>::type>;
  for (std::size_t k = 0; k < E::count; ++k) E::at(rec.*M, k) = get_text_field(r, base + f.at(k), f.width);
}

template <auto Text, auto Raw>
void put_kept_text(const typename Member<decltype(Text)>::record& rec, ByteWriter& w, std::size_t base,
                   const FieldInfo& f) {
  put_text_field(w, base + f.offset, rec.*Text, rec.*Raw);
}
template <auto Text, auto Raw>
void get_kept_text(typename Member<decltype(Text)>::record& rec, const ByteReader& r, std::size_t base,
                   const FieldInfo& f) {
  get_text_field(r, base + f.offset, rec.*Text, rec.*Raw);
}

template <class R>
void put_fixed(const R&, ByteWriter& w, std::size_t base, const FieldInfo& f) {
  w.raw(base + f.offset, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(f.fixed), f.width));
}
template <class R>
void get_fixed(R&, const ByteReader&, std::size_t, const FieldInfo&) {}

}  // namespace record_layout_detail

// A number, bytes or a record within the record, or std::array of them: elements packed, or
// `stride` bytes apart (two arrays interleaved).
template <auto M>
constexpr FieldCodec<typename record_layout_detail::Member<decltype(M)>::record> field(const char* name, std::size_t offset,
                                                                             std::size_t stride = 0) {
  namespace d = record_layout_detail;
  using E = d::Elements<typename d::Member<decltype(M)>::type>;
  using El = d::Element<typename E::element>;
  const std::size_t width = El::width();
  return {{name, offset, El::type, E::count, width, stride ? stride : width}, &d::put_elements<M>, &d::get_elements<M>};
}

// GBK text of `width` bytes: a std::string, or std::array of them one after the other.
// `Store`, when given, turns the text into what the field stores (a std::string from a
// std::string_view) before it is cut to the field.
template <auto M, auto Store = nullptr>
constexpr FieldCodec<typename record_layout_detail::Member<decltype(M)>::record> text(const char* name, std::size_t offset,
                                                                            std::size_t width) {
  namespace d = record_layout_detail;
  using E = d::Elements<typename d::Member<decltype(M)>::type>;
  static_assert(std::is_same_v<typename E::element, std::string>, "text fields are std::string");
  return {{name, offset, FieldType::Text, E::count, width, width}, &d::put_text<M, Store>, &d::get_text<M>};
}

// GBK text read with its stored bytes `Raw` (std::array<std::uint8_t, width>).
template <auto Text, auto Raw>
constexpr FieldCodec<typename record_layout_detail::Member<decltype(Text)>::record> kept_text(const char* name,
                                                                                    std::size_t offset) {
  namespace d = record_layout_detail;
  static_assert(std::is_same_v<typename d::Member<decltype(Text)>::type, std::string>, "kept text is std::string");
  const std::size_t width = std::tuple_size_v<typename d::Member<decltype(Raw)>::type>;
  return {{name, offset, FieldType::KeptText, 1, width, width}, &d::put_kept_text<Text, Raw>,
          &d::get_kept_text<Text, Raw>};
}

// `bytes` (a literal) at `offset`, written with every record and never read.
template <class R, std::size_t N>
constexpr FieldCodec<R> fixed(const char* name, std::size_t offset, const char (&bytes)[N]) {
  return {{name, offset, FieldType::Fixed, 1, N - 1, N - 1, bytes}, &record_layout_detail::put_fixed<R>,
          &record_layout_detail::get_fixed<R>};
}

namespace record_layout_detail {

template <const auto& Fields, std::size_t... I>
void write_fields(const typename std::remove_cvref_t<decltype(Fields[0])>::record& rec, ByteWriter& w,
                  std::size_t base, std::index_sequence<I...>) {
  (Fields[I].put(rec, w, base, Fields[I].info), ...);
}
template <const auto& Fields, std::size_t... I>
void read_fields(typename std::remove_cvref_t<decltype(Fields[0])>::record& rec, const ByteReader& r,
                 std::size_t base, std::index_sequence<I...>) {
  (Fields[I].get(rec, r, base, Fields[I].info), ...);
}

}  // namespace record_layout_detail

// The layout of a table `Fields` (a constexpr array of FieldCodec) for records of `size` bytes
// that a fresh buffer fills with `fill`.
template <const auto& Fields>
constexpr auto record_layout(std::size_t size, std::uint8_t fill, LayoutCoverage coverage = LayoutCoverage::Whole) {
  namespace d = record_layout_detail;
  using R = typename std::remove_cvref_t<decltype(Fields[0])>::record;
  using Seq = std::make_index_sequence<std::size(Fields)>;
  return RecordLayout<R>(
      size, fill, coverage, std::span<const FieldCodec<R>>(Fields),
      [](const R& rec, ByteWriter& w, std::size_t base) { d::write_fields<Fields>(rec, w, base, Seq{}); },
      [](R& rec, const ByteReader& r, std::size_t base) { d::read_fields<Fields>(rec, r, base, Seq{}); });
}

}  // namespace wb
