// The save journal (sys/save.jnl) as the program reads it at start: read_save_journal and
// recover_interrupted_save on a program folder whose sys and data hold a library each
// ("A.dat" = "aaaa", "B.dat" = "bbbb"). The first byte says which ".wbsave-" files lie
// beside them (bit 0: sys/.wbsave-00000000000000aa = "AAAA", bit 1:
// data/.wbsave-00000000000000bb = "BBBB"); the rest is the journal. Promises: a journal that
// reads back whole in the current format encodes to the same bytes; every name of a sound
// journal lies in sys or data; recovery finishes the save or sets it aside (never leaves the
// folder blocked), touches nothing outside the program folder, deletes no library, and
// leaves each library as it was or as one of the temporary files held, or (a library the
// journal patches in place) with the old bytes the journal gives, and then only where its
// save can have written: over bytes the journal's patch hashes name as the save's (a file this
// short lies in one disk sector, so no write of it can have been torn); a save set aside
// changed nothing. Journals of records written in place ("WBSAVE3") are seeded as well,
// among them forged ones (an old length of 0, old bytes over bytes never written, a cut
// beyond the appended records).
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "core/common/record_store.h"
#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

wb::Bytes text(const char* s) { return wb::Bytes(s, s + std::char_traits<char>::length(s)); }

void put(const fs::path& p, const char* s) {
  const wb::Bytes b = text(s);
  wbfuzz::write_bytes(p, b.data(), b.size());
}

std::uint64_t fnv(const wb::Bytes& b, std::size_t from, std::size_t n) {
  std::uint64_t h = 1469598103934665603ull;  // the journal's FNV-1a start
  for (std::size_t i = from; i < from + n; ++i) h = (h ^ b[i]) * 1099511628211ull;
  return h;
}

// Whether a library that held `before` and holds `after` once the journal was recovered was
// changed only where the journal's save can have written. A save completed changes nothing
// in place (its new bytes must be there already). A save undone writes old bytes, or cuts,
// only over a patch whose new hash names the bytes that were there; it may also cut what an
// append cut short left (the file shorter than the new length) when the identity vouches
// for the file (some old byte lies outside every patch).
bool rolled_only_its_own(const wb::SaveJournal& j, const std::string& target, const wb::Bytes& before,
                         const wb::Bytes& after, bool undone) {
  if (after == before) return true;
  if (!undone) return false;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (i < after.size() && after[i] == before[i]) continue;
    bool its_own = false;
    for (const auto& e : j.entries) {
      if (!e.in_place || e.target != target) continue;
      std::uint64_t covered = 0;  // the identity covers no byte when the patches cover the old file
      for (const auto& p : e.patches)
        if (p.offset <= covered) covered = std::max(covered, p.offset + p.old_bytes.size());
      const bool torn_append = i >= after.size() && i >= e.old_length && before.size() < e.new_length && covered < e.old_length;
      for (const auto& p : e.patches) {
        const bool here = i >= p.offset && i - p.offset < p.size;
        const bool written = p.offset + p.size <= before.size() &&
                             fnv(before, static_cast<std::size_t>(p.offset), static_cast<std::size_t>(p.size)) == p.hash;
        its_own = its_own || (here && written);
      }
      its_own = its_own || torn_append;
    }
    if (!its_own) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t sel = data[0];
  const wb::Bytes bytes(data + 1, data + size);
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();

  const wb::SaveJournal j = wb::read_save_journal(bytes, prog.root);
  FUZZ_CHECK(!j.sound || j.readable);
  FUZZ_CHECK(j.sound == j.cause.empty());
  if (j.readable && bytes.size() >= 8 && std::string(bytes.begin(), bytes.begin() + 8) == "WBSAVE3\n")
    FUZZ_CHECK(wb::encode_save_journal(j) == bytes);
  bool a_in_place = false, b_in_place = false;  // a file patched in place may get other old bytes back
  if (j.sound)
    for (const auto& e : j.entries) {
      a_in_place = a_in_place || (e.in_place && e.target == "sys/A.dat");
      b_in_place = b_in_place || (e.in_place && e.target == "data/B.dat");
      FUZZ_CHECK(e.in_place == e.temp.empty());
      for (const std::string& n : {e.target, e.temp}) {
        if (n.empty()) continue;
        FUZZ_CHECK(n.rfind("sys/", 0) == 0 || n.rfind("data/", 0) == 0);
        FUZZ_CHECK(n.find("/..") == std::string::npos && n.find('/', n.find('/') + 1) == std::string::npos);
      }
    }

  // Something outside the program folder that a journal could name: "../outside/…".
  const fs::path outside = wbfuzz::scratch() / "outside";
  fs::create_directories(outside);
  put(outside / "victim", "victim");
  put(outside / "x.dat", "outside");
  put(prog.sys() / "A.dat", "aaaa");
  put(prog.data() / "B.dat", "bbbb");
  if (sel & 1) put(prog.sys() / ".wbsave-00000000000000aa", "AAAA");
  if (sel & 2) put(prog.data() / ".wbsave-00000000000000bb", "BBBB");
  const fs::path journal = prog.sys() / wb::kSaveJournalName;
  wbfuzz::write_bytes(journal, bytes.data(), bytes.size());

  const wb::InterruptedSave r = wb::recover_interrupted_save(journal);
  using Outcome = wb::InterruptedSave::Outcome;
  // An empty journal file names no save (the file stays between saves).
  FUZZ_CHECK(bytes.empty() == (r.outcome == Outcome::Nothing));
  FUZZ_CHECK(r.outcome != Outcome::Failed);
  FUZZ_CHECK(!wb::save_pending(journal));
  FUZZ_CHECK(bytes.empty() == r.message().empty());  // the user is told what became of it
  FUZZ_CHECK(wbfuzz::read_bytes(outside / "victim") == text("victim"));
  FUZZ_CHECK(wbfuzz::read_bytes(outside / "x.dat") == text("outside"));
  FUZZ_CHECK(std::distance(fs::directory_iterator(outside), fs::directory_iterator()) == 2);
  const wb::Bytes a = wbfuzz::read_bytes(prog.sys() / "A.dat"), b = wbfuzz::read_bytes(prog.data() / "B.dat");
  FUZZ_CHECK(fs::is_regular_file(prog.sys() / "A.dat") && fs::is_regular_file(prog.data() / "B.dat"));
  FUZZ_CHECK(a_in_place || a == text("aaaa") || ((sel & 1) && a == text("AAAA")));
  FUZZ_CHECK(b_in_place || b == text("bbbb") || ((sel & 2) && b == text("BBBB")));
  if (a_in_place) FUZZ_CHECK(rolled_only_its_own(j, "sys/A.dat", text("aaaa"), a, r.outcome == Outcome::Undone));
  if (b_in_place) FUZZ_CHECK(rolled_only_its_own(j, "data/B.dat", text("bbbb"), b, r.outcome == Outcome::Undone));
  if (r.outcome == wb::InterruptedSave::Outcome::SetAside) {
    // Set aside, nothing deleted nor changed: the journal and the temporary files are in its folder.
    FUZZ_CHECK(wbfuzz::read_bytes(r.set_aside_folder / wb::kSaveJournalName) == bytes);
    FUZZ_CHECK(a == text("aaaa") && b == text("bbbb"));
    if (sel & 1) FUZZ_CHECK(wbfuzz::read_bytes(r.set_aside_folder / "sys-wbsave-00000000000000aa") == text("AAAA"));
    if (sel & 2) FUZZ_CHECK(wbfuzz::read_bytes(r.set_aside_folder / "data-wbsave-00000000000000bb") == text("BBBB"));
  }
  return 0;
}
