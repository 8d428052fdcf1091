// First corpora of the fuzz targets, from the files the sample maker writes:
//   wb_fuzz_seeds <sample program folder> <corpus root>
// writes <corpus root>/<target>/<seed> for every target below. Records are built the way the
// program builds them (the joint tests through the pipeline), so the fuzzers start from
// files a user really has.
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>
#include <tuple>

#include "core/balance/phfx_record.h"
#include "core/common/dlph_record.h"
#include "core/common/gbk.h"
#include "core/common/paths.h"
#include "core/common/record_store.h"
#include "core/level/dym_record.h"
#include "core/level/level_file.h"
#include "core/efficiency/effi_records.h"
#include "core/records/cyj_mode_catalog.h"
#include "core/workbench/bottom_dead_centre.h"
#include "core/workbench/dlph_summary.h"
#include "core/workbench/joint_pipeline.h"
#include "core/workbench/test_libraries.h"
#include "fuzz_support.h"

namespace fs = std::filesystem;

namespace {

void put(const fs::path& root, const std::string& target, const std::string& name, const wb::Bytes& b) {
  fs::create_directories(root / target);
  wbfuzz::write_bytes(root / target / name, b.data(), b.size());
}

void put_text(const fs::path& root, const std::string& target, const std::string& name, const std::string& s) {
  put(root, target, name, wb::Bytes(s.begin(), s.end()));
}

wb::Bytes cat(const std::vector<wb::Bytes>& parts, std::uint8_t selector) {
  wb::Bytes out{selector};
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::uint64_t fnv1a(const std::string& s) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char b : s) h = (h ^ b) * 1099511628211ull;
  return h;
}

// The journal of a save of A.dat (sys) and B.dat (data) to "AAAA" and "BBBB", as
// save_journal_fuzz lays out its program folder; `sel` says which temporary files exist.
void put_journal(const fs::path& root, const std::string& name, std::uint8_t sel, char state,
                 const std::vector<std::pair<std::string, std::string>>& names) {
  wb::SaveJournal j;
  j.state = state;
  j.what = "系统效率数据，井 W1，测试 200601011200";
  const char* contents[] = {"AAAA", "BBBB"};
  for (std::size_t i = 0; i < names.size(); ++i) {
    wb::SaveJournal::Entry e;
    e.target = names[i].first;
    e.temp = names[i].second;
    e.size = 4;
    e.hash = fnv1a(contents[i % 2]);
    j.entries.push_back(e);
  }
  wb::Bytes b{sel};
  const wb::Bytes enc = wb::encode_save_journal(j);
  b.insert(b.end(), enc.begin(), enc.end());
  put(root, "save_journal_fuzz", name, b);
}

// Journals of records written in place: A.dat ("aaaa") patched to "AAAA", alone, with an
// append ("aaaaCCCC"), or beside B.dat rewritten whole through its temporary file. The
// identity of a file this short is every old byte no patch overwrites.
void in_place_journal_seeds(const fs::path& root) {
  auto patched = [](std::uint64_t offset, const std::string& old_bytes, const std::string& now, std::uint64_t new_length,
                    std::uint64_t old_length = 4) {
    wb::SaveJournal::Entry e;
    e.target = "sys/A.dat";
    e.in_place = true;
    e.old_length = old_length;
    e.new_length = new_length;
    e.patches.push_back({offset, wb::Bytes(old_bytes.begin(), old_bytes.end()), now.size(), fnv1a(now)});
    std::string kept = std::string("aaaa").substr(0, static_cast<std::size_t>(old_length));
    kept.erase(static_cast<std::size_t>(std::min<std::uint64_t>(offset, old_length)), old_bytes.size());
    e.identity = fnv1a(kept);
    return e;
  };
  auto put_in_place = [&](const std::string& name, std::uint8_t sel, char state, std::vector<wb::SaveJournal::Entry> entries) {
    wb::SaveJournal j;
    j.state = state;
    j.what = "“Dym.dat”的一条记录";
    j.entries = std::move(entries);
    wb::Bytes b{sel};
    const wb::Bytes enc = wb::encode_save_journal(j);
    b.insert(b.end(), enc.begin(), enc.end());
    put(root, "save_journal_fuzz", name, b);
  };
  wb::SaveJournal::Entry b_whole;
  b_whole.target = "data/B.dat";
  b_whole.temp = "data/.wbsave-00000000000000bb";
  b_whole.size = 4;
  b_whole.hash = fnv1a("BBBB");
  put_in_place("in_place_prepared", 0, 'P', {patched(0, "aaaa", "AAAA", 4)});
  put_in_place("in_place_committed", 0, 'C', {patched(0, "aaaa", "AAAA", 4)});  // A still "aaaa": refused
  put_in_place("in_place_append", 0, 'P', {patched(4, "", "CCCC", 8)});
  put_in_place("in_place_and_whole", 2, 'P', {patched(0, "aaaa", "AAAA", 4), b_whole});
  put_in_place("in_place_and_whole_committed", 2, 'C', {patched(0, "aa", "AA", 4), b_whole});
  // Forged: made to cut or overwrite bytes of A ("aaaa") its save never wrote, with an honest
  // identity. An old length of 0 (the whole file "appended"; an append "cut short"; one
  // whose hash does name A's bytes), "old" bytes over bytes never written, and a cut beyond
  // the appended bytes.
  for (const char state : {'P', 'C'}) {
    const std::string s(1, state);
    put_in_place("forged_old_length_0_" + s, 0, state, {patched(0, "", "ZZZZ", 4, 0)});
    put_in_place("forged_old_length_0_short_" + s, 0, state, {patched(0, "", "ZZZZZZZZ", 8, 0)});
    put_in_place("forged_old_length_0_named_" + s, 0, state, {patched(0, "", "aaaa", 4, 0)});
    put_in_place("forged_over_unwritten_" + s, 0, state, {patched(1, "xy", "XY", 4)});
    put_in_place("forged_cut_beyond_" + s, 0, state, {patched(2, "", "ZZ", 4, 2)});
    put_in_place("forged_cut_beyond_short_" + s, 0, state, {patched(2, "", "ZZZZZZ", 8, 2)});
  }
}

void journal_seeds(const fs::path& root) {
  const std::vector<std::pair<std::string, std::string>> both = {{"sys/A.dat", "sys/.wbsave-00000000000000aa"},
                                                                  {"data/B.dat", "data/.wbsave-00000000000000bb"}};
  put_journal(root, "prepared", 3, 'P', both);
  put_journal(root, "committed", 3, 'C', both);
  put_journal(root, "committed_half_moved", 1, 'C', both);  // B's temporary is gone: B must hold BBBB
  put_journal(root, "committed_none_left", 0, 'C', both);
  put_journal(root, "empty", 0, 'C', {});
  put_journal(root, "outside", 3, 'C', {{"../outside/x.dat", "sys/.wbsave-00000000000000aa"}, both[1]});
  put_journal(root, "outside_temp", 3, 'P', {{"sys/A.dat", "../outside/victim"}, both[1]});
  put_journal(root, "twice", 3, 'C', {both[0], {"sys/A.dat", "data/.wbsave-00000000000000bb"}});
  // An older journal: no description, names absolute (here ones no folder has).
  std::string v1 = "WBSAVE1\nC";
  auto u64 = [&](std::uint64_t v) {
    for (int i = 0; i < 8; ++i) v1.push_back(static_cast<char>(v >> (8 * i)));
  };
  u64(1);
  for (const std::string n : {"/prog/sys/A.dat", "/prog/sys/.wbsave-00000000000000aa"}) {
    u64(n.size());
    v1 += n;
  }
  u64(4);
  u64(fnv1a("AAAA"));
  u64(fnv1a(v1));
  put_text(root, "save_journal_fuzz", "old_format", std::string(1, '\x01') + v1);
  in_place_journal_seeds(root);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wb_fuzz_seeds <sample program folder> <corpus root>\n");
    return 2;
  }
  const wb::ProgramFolder samples{wb::u8path(argv[1])};
  const fs::path root = wb::u8path(argv[2]);
  std::vector<wb::Bytes> cards, electric, waves, summaries, balance;
  int n = 0;
  for (const auto& name : wb::list_files(samples.data(), "*.o*")) {
    const fs::path file = samples.data() / wb::u8path(name);
    const wb::Bytes raw = wbfuzz::read_bytes(file);
    put(root, "joint_test_fuzz", "sample" + std::to_string(n), raw);
    put(root, "joint_analysis_fuzz", "sample" + std::to_string(n), raw);
    wb::TestState st;
    if (wb::open_joint_test_file(st, wb::path_text(file))) continue;
    st.Text1[2] = name.substr(0, name.find('.'));
    st.Text1[3] = "3";
    st.Text1[4] = "55.5";
    st.Text1[5] = "20";
    wb::Pow_Sgt_Dat_Prep(st);
    cards.push_back(st.sgt_rec.encode());
    electric.push_back(st.dnt_rec.encode());
    put(root, "card_file_fuzz", "sample" + std::to_string(n), cards.back());
    put(root, "electric_file_fuzz", "sample" + std::to_string(n), electric.back());
    // The summary record this test gets in sys/DlPh.dat.
    const wb::ProgramFolder scratch = wbfuzz::fresh_program_folder();
    wb::DlPhRecord rec;
    std::ignore = wb::Save_DlPh_Pow(scratch, st, rec);  // none saved: an empty seed
    summaries.push_back(wbfuzz::read_bytes(scratch.sys() / wb::kDlPhFileName));
    // The balance record of this test, crank and beam counterweights filled in.
    wb::HeldStroke h;
    wb::take_stroke(h, st.uus.data(), st.iis.data(), st.pps.data(), st.qqs.data(), st.sss.data(), st.ggs.data(),
                    st.iu_num, st.dnt_rec.wiring_mode, 3);
    h.Cur_Well = st.Text1[2];
    h.Cur_Test = st.Text1[0];
    wb::ParameterBoxes boxes = wb::default_parameter_boxes();
    for (auto [i, v] : {std::pair{1, "12"}, {2, "1.2"}, {6, "3"}, {8, "10"}, {9, "5"}, {10, "3"}, {27, "3"}})
      boxes[static_cast<std::size_t>(i)] = v;
    wb::PhfxRecord ph;
    if (!wb::fill_phfx(ph, h, boxes, static_cast<wb::BalanceMode>(n % 3), "CYJ10-3-37HB"))
      balance.push_back(ph.encode());
    ++n;
  }
  for (const auto& name : wb::list_files(samples.data(), "*.x*")) {
    waves.push_back(wbfuzz::read_bytes(samples.data() / wb::u8path(name)));
    put(root, "wave_file_fuzz", "sample" + std::to_string(waves.size()), waves.back());
  }
  for (const auto& name : wb::list_files(samples.data(), "*.jx"))
    put(root, "survey_file_fuzz", name, wbfuzz::read_bytes(samples.data() / wb::u8path(name)));
  // The sample diagnosis file, as the diagnosis window saved it.
  put(root, "diagnosis_records_fuzz", "sample", wbfuzz::read_bytes(samples.sys() / "bgt.dat"));
  put(root, "diagnosis_window_fuzz", "sample", wbfuzz::read_bytes(samples.sys() / "bgt.dat"));
  // The sample design library, and the same design twice.
  const wb::Bytes design = wbfuzz::read_bytes(samples.sys() / "roddesign.dat");
  put(root, "design_records_fuzz", "sample", design);
  wb::Bytes design2 = design;
  design2.insert(design2.end(), design.begin(), design.end());
  put(root, "design_records_fuzz", "twice", design2);
  // Libraries: the first byte picks the kind (0 card, 1 electric, 2 waveform) and the
  // operations; the rest is the library file.
  wb::Bytes phfx;
  for (const auto& b : balance) phfx.insert(phfx.end(), b.begin(), b.end());
  put(root, "phfx_fuzz", "library", phfx);
  put(root, "balance_analysis_fuzz", "library", phfx);
  // The card library as the diagnosis refresh and the print page read it: the first byte
  // picks a record's own name or the record printed.
  put(root, "diagnosis_card_library_fuzz", "own_name", cat(cards, 0x03));
  put(root, "diagnosis_card_library_fuzz", "other_name", cat(cards, 0x00));
  put(root, "card_print_library_fuzz", "first", cat(cards, 0x02));
  put(root, "card_print_library_fuzz", "second", cat(cards, 0x03));
  if (!cards.empty()) put(root, "single_test_save_fuzz", "card", cat({cards[0]}, 0x00));
  if (!electric.empty()) put(root, "single_test_save_fuzz", "electric", cat({electric[0]}, 0x01));
  if (!waves.empty()) put(root, "single_test_save_fuzz", "wave", cat({waves[0]}, 0x02));
  put(root, "library_fuzz", "cards", cat(cards, 0x00));
  put(root, "library_fuzz", "electric", cat(electric, 0x01));
  put(root, "library_fuzz", "waves", cat(waves, 0x02));
  put(root, "library_fuzz", "cards_twice", cat({cards.empty() ? wb::Bytes{} : cards[0], cards.empty() ? wb::Bytes{} : cards[0]}, 0x10));
  for (std::size_t i = 0; i < summaries.size(); ++i)
    put(root, "summary_fuzz", "summary" + std::to_string(i), summaries[i]);
  // Level tests: the sample echoes, and the first of them as a library record.
  wb::Bytes dym;
  int levels = 0;
  for (const auto& name : wb::list_files(samples.data(), "*.y*")) {
    const wb::Bytes raw = wbfuzz::read_bytes(samples.data() / wb::u8path(name));
    put(root, "level_file_fuzz", "sample" + std::to_string(levels), raw);
    put(root, "level_analysis_fuzz", "sample" + std::to_string(levels++), raw);
    wb::LevelTest t;
    if (dym.empty() && wb::load_level_data(raw, t)) dym = wb::encode_dym(wb::dym_from_test(t));
  }
  put(root, "level_library_fuzz", "one", dym);
  const wb::Bytes tpl = wbfuzz::read_bytes(samples.sys() / "levelstd.dat");
  put(root, "level_file_fuzz", "template", tpl);
  int k = 0;
  for (const char* t : {"12.5", " -0.25kN", "1.234568E+07", "1e99999999999999999999", "3.5d-2", ".5", "-", "+.e1",
                        "0.000000000000000000000000000000001e-400", "400", "45"})
    put_text(root, "number_text_fuzz", "text" + std::to_string(k++), t);
  k = 0;
  for (const char* t : {"示范井1", "  ABCDEFGHIJKLMNO", " 一二三四五六七八", "W😀1", "A\xff", "井\xbe"})
    put_text(root, "gbk_field_fuzz", "text" + std::to_string(k++), t);
  k = 0;
  // Stored fields: a Chinese name padded with blanks and NULs, the single-byte character, a
  // byte of no code, a lead before an ASCII byte and one cut off at the end; and typed text.
  for (const std::string& t : {wb::utf8_to_gbk("示范井1") + "   " + std::string(4, '\0'), std::string("\x80W\xff\xd5" "1\xbe"),
                               std::string("北1-井"), std::string("\xe4\xba W\xf0\x9f\x98\x80\xed\xa0\x80")})
    put_text(root, "gbk_table_fuzz", "text" + std::to_string(k++), t);
  // Efficiency libraries: the first byte picks the kind (0 records, 1 well base, 2 card, 3
  // power curves), as in efficiency_library_fuzz.
  {
    wb::GtYmRecord a, b;
    a.well_name = "示范井1";
    a.vals[wb::kValTestDate] = "200606071030";
    a.vals[wb::kValMaxCurrentPair] = "12.5/10.8";
    b = a;
    b.well_name = "示范井2";
    put(root, "efficiency_library_fuzz", "records", cat({a.encode(), b.encode()}, 0x00));
    wb::Bytes stat = a.encode();
    const wb::Bytes more = b.encode();
    stat.insert(stat.end(), more.begin(), more.end());
    put(root, "statistics_library_fuzz", "records", stat);
    put(root, "gt_ym_records_fuzz", "own_key", cat({a.encode(), b.encode()}, 0x03));
    const wb::Bytes sample_lib = wbfuzz::read_bytes(wb::gt_ym_path(samples));
    if (!sample_lib.empty()) {
      put(root, "statistics_library_fuzz", "sample", sample_lib);
      put(root, "gt_ym_records_fuzz", "sample", cat({sample_lib}, 0x01));
    }
    wb::WellBaseRecord w;
    w.well_name = "W1";
    w.test_date = "0611081230";
    w.point_num = 300;
    w.uu_cos[0] = 760;
    put(root, "efficiency_library_fuzz", "wellbase", cat({w.encode()}, 0x01));
    put(root, "efficiency_library_fuzz", "cards", cat(cards, 0x02));
    put(root, "efficiency_library_fuzz", "electric", cat(electric, 0x03));
  }
  const wb::Bytes catalogue = wbfuzz::read_bytes(wb::cyj_mode_path(samples));
  if (!catalogue.empty()) put(root, "cyj_mode_catalog_fuzz", "sample", catalogue);
  put_text(root, "cyj_mode_catalog_fuzz", "gbk",
           wb::utf8_to_gbk("抽油机型=CYJ10-3-37HB\r\n冲    程=2.1，2.5,3.0\r\n\r\n   抽油机型=CYJ12-4.8-73HB  \r\n"));
  put_text(root, "cyj_mode_catalog_fuzz", "utf8", "\xEF\xBB\xBF抽油机型=CYJ8-3-26HB\n冲    程=1.5，2.1\n");

  journal_seeds(root);

  // The targets that save, delete or print on a fuzzed library start from the seeds of the
  // target that only reads it.
  const std::pair<const char*, const char*> same_seeds[] = {
      {"library_fuzz", "library_store_fuzz"},
      {"efficiency_library_fuzz", "efficiency_library_store_fuzz"},
      {"statistics_library_fuzz", "statistics_library_store_fuzz"},
      {"survey_file_fuzz", "survey_file_store_fuzz"},
      {"design_records_fuzz", "design_records_store_fuzz"},
      {"level_library_fuzz", "level_library_store_fuzz"},
      {"card_print_library_fuzz", "card_print_page_fuzz"},
  };
  for (const auto& [from, to] : same_seeds) {
    fs::create_directories(root / to);
    for (const auto& e : fs::directory_iterator(root / from))
      fs::copy_file(e.path(), root / to / e.path().filename(), fs::copy_options::overwrite_existing);
  }

  std::printf("wb_fuzz_seeds: %d joint tests, %zu waveform tests\n", n, waves.size());
  return 0;
}
