// Finding keyed records by their key bytes as stored (KeyMatch, RecordStore::find) against the
// rule it replaces: decode each key field, trim it, compare the texts. The fixtures mix GBK
// double-byte keys, padding of blanks and NULs, bytes GBK cannot decode, '?' (what such
// bytes read as), keys longer than their field, repeated keys, empty and damaged libraries.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/common/gbk.h"
#include "core/common/key_match.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "journal_folder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using Field = std::vector<std::uint8_t>;

// The rule as the libraries' match functions wrote it: the field decoded, then trimmed.
std::string old_key_text(std::span<const std::uint8_t> field, KeyTrim trim) {
  const std::string text = gbk_field_text(field);
  return trim == KeyTrim::Blanks ? trim_blanks(text) : Trim_Blank_Nul(text);
}

Field bytes(std::string_view s) { return Field(s.begin(), s.end()); }
Field gbk(std::string_view utf8) { return bytes(utf8_to_gbk(utf8)); }
Field cat(std::initializer_list<Field> parts) {
  Field out;
  for (const Field& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Field padded(Field f, std::size_t width, std::uint8_t pad) {
  f.resize(width, pad);
  return f;
}

// Every unit the decoder reads without error (an ASCII byte, a byte above 0x7F on its own, a
// lead byte with its trail) reads as a single character of its own, and only an ASCII byte
// reads as ASCII: so bytes that decode without error decode to different texts exactly when
// they differ, which is what comparing the encoded key with the stored bytes relies on.
TEST(KeyMatch, DecodingIsOneToOneOnEveryUnitItDecodes) {
  std::map<std::string, unsigned> seen;
  auto unit = [&](unsigned code, std::string_view in) {
    const std::string out = gbk_to_utf8(in);
    if (out.find('?') != std::string::npos && in != "?") return;  // in error: read as '?'
    ASSERT_FALSE(out.empty()) << std::hex << code;
    const auto lead = static_cast<unsigned char>(out[0]);
    const std::size_t chars = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    EXPECT_EQ(out.size(), chars) << "unit " << std::hex << code << " reads as more than one character";
    EXPECT_EQ(in.size() == 1 && static_cast<unsigned char>(in[0]) < 0x80, lead < 0x80) << std::hex << code;
    const auto [it, fresh] = seen.emplace(out, code);
    EXPECT_TRUE(fresh) << std::hex << code << " reads as " << it->second << " does";
  };
  for (unsigned b = 0; b < 0x100; ++b) unit(b, std::string(1, static_cast<char>(b)));
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail)
      unit(lead << 8 | trail, std::string{static_cast<char>(lead), static_cast<char>(trail)});
  EXPECT_GT(seen.size(), 20000u);  // the decoder knows GBK
}

// Stored fields of 8 bytes: what the libraries hold, well made and not.
std::vector<Field> stored_fields() {
  const Field bei = gbk("北");  // B1 B1
  std::vector<Field> f = {
      padded(gbk("北1-2"), 8, ' '),
      padded(gbk("北1-2"), 8, 0),
      cat({bytes("  "), padded(gbk("北1-2"), 6, ' ')}),
      cat({bytes(std::string(1, '\0')), padded(gbk("北1-2"), 7, 0)}),
      padded(cat({gbk("北1-2"), bytes(std::string(1, '\0'))}), 8, ' '),  // NUL then blanks
      padded(cat({gbk("北1"), bytes(std::string(1, '\0')), bytes("-2")}), 8, ' '),  // NUL inside
      padded(gbk("北京"), 8, ' '),
      padded(gbk("北京东路"), 8, ' '),  // fills the field
      padded(gbk("A"), 8, ' '),
      padded({}, 8, ' '),
      padded({}, 8, 0),
      padded(bytes("?1-2"), 8, ' '),
      padded(bytes("??"), 8, ' '),
      padded(cat({bytes("\xFF"), bytes("1-2")}), 8, ' '),          // no GBK byte: reads '?1-2'
      padded(cat({bytes("\x80"), bytes("1-2")}), 8, ' '),
      padded(cat({bytes("\xB1\x20"), bytes("1-2")}), 8, ' '),      // lead byte, blank: '? 1-2'
      padded(cat({bytes("\xB1\x7F"), bytes("1-2")}), 8, ' '),      // invalid trail
      padded(cat({bytes("\xB1\xFF"), bytes("12")}), 8, ' '),       // a pair GBK has no character for
      cat({bytes("1-2    "), bytes("\xB1")}),                       // lead byte cut off at the end
      cat({bytes("1-2"), bytes(std::string(4, ' ')), bytes("\xB1")}),
      cat({bei, bytes("1-2 "), bytes("\xB1\xB1")}),
      padded(cat({bytes("\xFF\xFF")}), 8, ' '),
      padded(cat({bytes("\xFF"), bytes(std::string(1, '\0'))}), 8, ' '),
      padded(bytes("\t1-2"), 8, ' '),
      padded(bytes("1-2\t"), 8, ' '),
  };
  return f;
}

// The texts a save searches by: typed texts as their 8-byte field holds them, trimmed.
std::vector<std::string> wanted_texts(KeyTrim trim) {
  std::vector<std::string> out;
  for (const char* typed : {"北1-2", "  北1-2  ", "北京", "北京东路", "北京东路口", "北京东路12", "A", "", "?1-2", "??",
                            "? 1-2", "?12", "1-2", "北1-2 北", "😀1-2", "1-2\t", "\t1-2", "北1\x01-2", "€"})
    for (const TypedTrim typed_trim : {TypedTrim::None, TypedTrim::Same})
      out.push_back(key_as_stored(typed, 8, trim, typed_trim));
  // What a stored field reads as, whatever its bytes: a save of that very text finds it.
  for (const Field& f : stored_fields()) out.push_back(old_key_text(f, trim));
  return out;
}

TEST(KeyMatch, AnswersAsTheDecodedFieldOnEveryFixture) {
  for (const KeyTrim trim : {KeyTrim::Blanks, KeyTrim::BlanksAndNuls}) {
    const std::vector<std::string> wanted = wanted_texts(trim);
    int matched = 0;
    for (const std::string& w : wanted) {
      // The key's field sits after 3 bytes of something else, then a second field "12".
      const KeyMatch key({{{3, 8}, w}, {{11, 2}, "12"}}, trim);
      for (const Field& f : stored_fields()) {
        const Field rec = cat({bytes("xyz"), f, bytes("12"), bytes("tail")});
        const bool old = old_key_text(std::span(rec).subspan(3, 8), trim) == w;
        EXPECT_EQ(key(rec), old) << "wanted \"" << w << "\" stored \"" << gbk_field_text(f) << "\" trim "
                                 << static_cast<int>(trim);
        EXPECT_EQ(key.decoded(rec), old);
        matched += old;
        // The second field decides too.
        const Field other = cat({bytes("xyz"), f, bytes("13"), bytes("tail")});
        EXPECT_FALSE(key(other));
      }
    }
    EXPECT_GT(matched, 40);  // the table has matches, not only misses
  }
}

// Random fields of bytes that make every case of the decoder (ASCII, pads, '?', lead and
// trail bytes, bytes of no character) against the texts other such fields read as.
TEST(KeyMatch, AnswersAsTheDecodedFieldOnRandomBytes) {
  const std::uint8_t alphabet[] = {' ', 0, '?', 'A', '1', 0xB1, 0xB1, 0xB1, 0xC4, 0xFF, 0x80, 0x81, 0x40, 0x7F, 0xA1};
  std::mt19937 rng(20261211);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
  std::vector<Field> fields(400);
  for (Field& f : fields) {
    f.resize(6);
    for (auto& b : f) b = alphabet[pick(rng)];
  }
  for (const KeyTrim trim : {KeyTrim::Blanks, KeyTrim::BlanksAndNuls}) {
    int matched = 0;
    for (std::size_t i = 0; i < 60; ++i) {
      const std::string w = old_key_text(fields[i], trim);
      const KeyMatch key({{{0, 6}, w}}, trim);
      for (const Field& f : fields) {
        const bool old = old_key_text(f, trim) == w;
        matched += old;
        ASSERT_EQ(key(f), old) << "wanted \"" << w << "\" stored \"" << gbk_field_text(f) << "\"";
      }
    }
    EXPECT_GT(matched, 60);
  }
}

TEST(KeyMatch, KeyAsStoredCutsAtWholeCharactersAndTrimsByTheRule) {
  EXPECT_EQ(key_as_stored("北京东路口", 8, KeyTrim::Blanks, TypedTrim::None), "北京东路");
  EXPECT_EQ(key_as_stored("北京东路口", 9, KeyTrim::Blanks, TypedTrim::None), "北京东路");
  // Blanks typed before a long text take room in the field unless the save trims them first.
  EXPECT_EQ(key_as_stored("  北京东路", 8, KeyTrim::Blanks, TypedTrim::None), "北京东");
  EXPECT_EQ(key_as_stored("  北京东路", 8, KeyTrim::Blanks, TypedTrim::Same), "北京东路");
  EXPECT_EQ(key_as_stored(std::string("A\0", 2), 8, KeyTrim::Blanks, TypedTrim::None), std::string("A\0", 2));
  EXPECT_EQ(key_as_stored(std::string("A\0", 2), 8, KeyTrim::BlanksAndNuls, TypedTrim::None), "A");
  EXPECT_EQ(key_as_stored("😀", 8, KeyTrim::Blanks, TypedTrim::None), "?");
}

// ---- the store's find ----

constexpr std::size_t kLen = 40;  // key fields at 4 (8 bytes) and 30 (6 bytes)

Field record(const Field& well, const Field& test) {
  Field r(kLen, 'r');
  std::copy(well.begin(), well.end(), r.begin() + 4);
  std::copy(test.begin(), test.end(), r.begin() + 30);
  return r;
}

class KeyFindTest : public test::JournalFolderTest {
 protected:
  void SetUp() override { make_folder("wb_keyfind_"); }
  void put(const std::vector<Field>& recs, const fs::path& p) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    for (const Field& r : recs) out.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(r.size()));
  }
  // The old find: every record decoded.
  static RecordStore::Match old_match(const std::string& well, const std::string& test, KeyTrim trim) {
    return [=](const Bytes& b) {
      return old_key_text(std::span(b).subspan(4, 8), trim) == well && old_key_text(std::span(b).subspan(30, 6), trim) == test;
    };
  }
  static KeyMatch new_match(const std::string& well, const std::string& test, KeyTrim trim) {
    return KeyMatch({{{4, 8}, well}, {{30, 6}, test}}, trim);
  }
};

TEST_F(KeyFindTest, FindsTheRecordTheOldFindFound) {
  const Field t1 = padded(bytes("0101"), 6, ' '), t2 = padded(bytes("0102"), 6, 0);
  std::vector<Field> recs;
  for (const Field& f : stored_fields()) {
    recs.push_back(record(f, t1));
    recs.push_back(record(f, t2));
  }
  // Repeated keys: the first of them is found.
  recs.push_back(record(padded(gbk("北1-2"), 8, ' '), t1));
  put(recs, a_);
  RecordStore store(a_, kLen);
  for (const KeyTrim trim : {KeyTrim::Blanks, KeyTrim::BlanksAndNuls})
    for (const std::string& w : wanted_texts(trim))
      for (const std::string t : {"0101", "0102", "0103"}) {
        std::size_t by_bytes = 99, decoded = 99;
        ASSERT_EQ(store.find(new_match(w, t, trim), by_bytes), StoreStatus::Ok);
        ASSERT_EQ(store.find(old_match(w, t, trim), decoded), StoreStatus::Ok);
        EXPECT_EQ(by_bytes, decoded) << "\"" << w << "\" " << t << " trim " << static_cast<int>(trim);
      }
}

TEST_F(KeyFindTest, EmptyMissingAndDamagedLibrariesAnswerAsBefore) {
  const KeyMatch key = new_match("A", "0101", KeyTrim::Blanks);
  std::size_t found = 99;
  EXPECT_EQ(RecordStore(a_, kLen).find(key, found), StoreStatus::Ok);  // missing
  EXPECT_EQ(found, 0u);
  put({}, a_);
  found = 99;
  EXPECT_EQ(RecordStore(a_, kLen).find(key, found), StoreStatus::Ok);  // empty
  EXPECT_EQ(found, 0u);
  put({record(padded(gbk("A"), 8, ' '), padded(bytes("0101"), 6, ' '))}, a_);
  std::ofstream(a_, std::ios::binary | std::ios::app) << "half";
  std::size_t old = 0;
  EXPECT_EQ(RecordStore(a_, kLen).find(key, found), StoreStatus::Damaged);
  EXPECT_EQ(RecordStore(a_, kLen).find(old_match("A", "0101", KeyTrim::Blanks), old), StoreStatus::Damaged);
  EXPECT_EQ(found, old);
  EXPECT_EQ(RecordStore(root_ / "sys", kLen).find(key, found), StoreStatus::IoError);  // a folder
}

// A library large enough to be scanned in parts: the first record of the key is found
// wherever the parts split it, and a missing key in none.
TEST_F(KeyFindTest, APartedScanFindsTheFirstRecordOfTheKey) {
  constexpr std::size_t kBig = 2000, kRecords = 6000;  // 12 MB
  const KeyMatch key({{{0, 8}, "北1-2"}}, KeyTrim::Blanks);
  const Field hit = padded(gbk("北1-2"), kBig, ' ');
  Field miss = padded(gbk("北1-3"), kBig, ' ');
  {
    std::ofstream out(a_, std::ios::binary);
    for (std::size_t i = 0; i < kRecords; ++i) out.write(reinterpret_cast<const char*>(miss.data()), kBig);
  }
  auto set_record = [&](std::size_t r, const Field& f) {
    std::fstream io(a_, std::ios::binary | std::ios::in | std::ios::out);
    io.seekp(static_cast<std::streamoff>((r - 1) * kBig));
    io.write(reinterpret_cast<const char*>(f.data()), kBig);
  };
  RecordStore store(a_, kBig);
  std::size_t found = 99;
  ASSERT_EQ(store.find(key, found), StoreStatus::Ok);
  EXPECT_EQ(found, 0u);
  for (const std::size_t r : {kRecords, std::size_t{4500}, std::size_t{3001}, std::size_t{1500}, std::size_t{1}}) {
    set_record(r, hit);  // each earlier than the ones before
    ASSERT_EQ(store.find(key, found), StoreStatus::Ok);
    EXPECT_EQ(found, r);
  }
}

// Within a set, a find is kept until the set or anything else changes the library; it sees
// what the set gathered.
TEST_F(KeyFindTest, AFindKeptInASetFollowsEveryChangeOfTheLibrary) {
  const Field t = padded(bytes("0101"), 6, ' ');
  put({record(padded(gbk("B"), 8, ' '), t), record(padded(gbk("北1"), 8, ' '), t)}, a_);
  RecordStore store(a_, kLen);
  const KeyMatch key = new_match("A", "0101", KeyTrim::Blanks);
  SaveSet set(jnl_, "test");
  ASSERT_EQ(set.opened(), StoreStatus::Ok);
  std::size_t found = 99;
  ASSERT_EQ(store.find(key, found), StoreStatus::Ok);
  EXPECT_EQ(found, 0u);
  // Changed behind the set's back (the same length; its time moves).
  {
    std::fstream io(a_, std::ios::binary | std::ios::in | std::ios::out);
    const Field r = record(padded(gbk("A"), 8, ' '), t);
    io.seekp(static_cast<std::streamoff>(kLen));
    io.write(reinterpret_cast<const char*>(r.data()), kLen);
  }
  struct timespec later[2] = {{0, UTIME_NOW}, {::time(nullptr) + 5, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, a_.c_str(), later, 0), 0);
  ASSERT_EQ(store.find(key, found), StoreStatus::Ok);
  EXPECT_EQ(found, 2u);
  ASSERT_EQ(store.find(key, found), StoreStatus::Ok);  // kept
  EXPECT_EQ(found, 2u);
  // Changed by the set: record 1 now holds the key too.
  ASSERT_EQ(store.write(1, record(padded(gbk("A"), 8, ' '), t)), StoreStatus::Ok);
  ASSERT_EQ(store.find(key, found), StoreStatus::Ok);
  EXPECT_EQ(found, 1u);
  // A key appended by the set.
  const KeyMatch other = new_match("C", "0101", KeyTrim::Blanks);
  ASSERT_EQ(store.find(other, found), StoreStatus::Ok);
  EXPECT_EQ(found, 0u);
  ASSERT_EQ(store.write(3, record(padded(gbk("C"), 8, ' '), t)), StoreStatus::Ok);
  ASSERT_EQ(store.find(other, found), StoreStatus::Ok);
  EXPECT_EQ(found, 3u);
}

}  // namespace
}  // namespace wb
