// Every library, template and test file the program reads, with a FIFO (no writer) or a link
// to /dev/zero planted at its path: the step that reads it answers within a second and refuses
// the file, naming it where the step tells the user. A step that hangs fails the test instead
// of holding ctest (it runs on a thread of its own; a FIFO is then opened for writing, which
// lets a reader held in open() go).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "core/balance/phfx_record.h"
#include "core/common/file_read.h"
#include "core/common/record_keys.h"
#include "core/common/record_store.h"
#include "core/design/workbench/design_records.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/diagnosis/refresh.h"
#include "core/efficiency/effi_records.h"
#include "core/efficiency/well_base_record.h"
#include "core/level/level_analysis.h"
#include "core/level/level_library.h"
#include "core/level/level_open.h"
#include "core/records/cyj_mode_catalog.h"
#include "core/statistics/effi_stat_table.h"
#include "core/workbench/joint_pipeline.h"
#include "core/workbench/record_readers.h"
#include "core/workbench/report_workbooks.h"
#include "core/workbench/test_libraries.h"
#include "workbench/temp_program_folder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Messages : MessageService {
  std::string said;
  MsgAnswer show(const std::string& text, const std::string&, MsgButtons, MsgIcon) override {
    said += text + "\n";
    return MsgAnswer::Ok;
  }
};

struct NoShell : ShellService {
  bool open_document(const std::string&) override { return true; }
  void beep() override {}
};

struct Outcome {
  bool refused = false;
  std::string said;  // what the user is told; empty for a step that only reports a status
};

struct ReadPath {
  const char* file;  // relative to the program folder
  const char* step;
  bool names_it;     // the step tells the user, naming the file
  std::function<Outcome(const ProgramFolder&, const fs::path&)> run;
  bool set_aside = false;  // the step moves what it refused aside (the save journal at start)
};

Outcome status_only(bool refused) { return {refused, {}}; }

const std::vector<ReadPath>& read_paths() {
  static const std::vector<ReadPath> paths = {
      {"sys/levelstd.dat", "automatic level", true,
       [](const ProgramFolder& prog, const fs::path&) {
         Messages m;
         LevelTest t;
         like_level(t, prog.sys(), m);
         return Outcome{t.auto_level_index == -1, m.said};
       }},
      {"sys/Sgt.dat", "card library grid", true,
       [](const ProgramFolder&, const fs::path& p) {
         std::vector<GridRow> rows;
         const LibStatus s = Load_Grid_Dat(p, kSgtRecordSize, rows);
         return Outcome{s != LibStatus::Ok, library_failure_message(LibOperation::List, s, p).text};
       }},
      {"sys/Dnt.dat", "electric library grid", true,
       [](const ProgramFolder&, const fs::path& p) {
         std::vector<GridRow> rows;
         const LibStatus s = Load_Grid_Dat(p, kDntRecordSize, rows);
         return Outcome{s != LibStatus::Ok, library_failure_message(LibOperation::List, s, p).text};
       }},
      {"sys/xbt.dat", "waveform library grid", true,
       [](const ProgramFolder&, const fs::path& p) {
         std::vector<GridRow> rows;
         const LibStatus s = Load_Grid_Dat(p, kXbtRecordSize, rows);
         return Outcome{s != LibStatus::Ok, library_failure_message(LibOperation::List, s, p).text};
       }},
      {"sys/Sgt.dat", "diagnosis window's card library and refresh", true,
       [](const ProgramFolder& prog, const fs::path& p) {
         Messages m;
         DiagnosisIo io{m, nullptr};
         DiagnosisState st;
         diagnosis_load(st, prog, io);
         st.Text1[diag_box::kWell] = "W1";
         // The path is not kept; read anyway, the library is refused too.
         return Outcome{st.Sgt_Path.empty() && !Load_SGT(st, p), m.said};
       }},
      {"sys/Sgt.dat", "diagnosis refresh's card look-up", false,
       [](const ProgramFolder&, const fs::path& p) {
         DiagnosisState st;
         st.Text1[diag_box::kWell] = "W1";
         return status_only(!Load_SGT(st, p));
       }},
      {"sys/bgt.dat", "diagnosis window's record library", true,
       [](const ProgramFolder& prog, const fs::path&) {
         Messages m;
         DiagnosisIo io{m, nullptr};
         DiagnosisState st;
         diagnosis_load(st, prog, io);
         return Outcome{st.Bgt_Path.empty(), m.said};
       }},
      {"sys/gt_ym.dat", "diagnosis window's efficiency library", true,
       [](const ProgramFolder& prog, const fs::path&) {
         Messages m;
         DiagnosisIo io{m, nullptr};
         DiagnosisState st;
         diagnosis_load(st, prog, io);
         return Outcome{st.Gt_Ym_Path.empty(), m.said};
       }},
      {"sys/gt_ym.dat", "efficiency well list", false,
       [](const ProgramFolder&, const fs::path& p) {
         std::shared_ptr<const KeyListing> keys;
         return status_only(read_gt_ym_keys(p, keys) != StoreStatus::Ok);
       }},
      {"sys/gt_ym.dat", "statistics table", false,
       [](const ProgramFolder&, const fs::path& p) {
         StatRecords recs;
         return status_only(read_stat_records(p, recs) != StatFileStatus::Ok);
       }},
      {"sys/Dym.dat", "level library grid", false,
       [](const ProgramFolder& prog, const fs::path&) {
         std::vector<LevelLibraryRow> rows;
         return status_only(LevelLibrary(prog).list(rows) != LimitedStatus::Ok);
       }},
      {"sys/phfx.dat", "counterbalance well list", false,
       [](const ProgramFolder&, const fs::path& p) {
         std::vector<std::string> wells;
         return status_only(phfx_wells(p, wells) != StoreStatus::Ok);
       }},
      {"sys/Cyj_mode.dat", "pumping-unit catalogue", false,
       [](const ProgramFolder&, const fs::path& p) { return status_only(CyjModeCatalog::read(p).models().empty()); }},
      {"sys/wellbase.dat", "well base record", false,
       [](const ProgramFolder&, const fs::path& p) {
         std::vector<Bytes> recs;
         return status_only(RecordStore(p, kWellBaseRecordSize).read_all(recs) != StoreStatus::Ok);
       }},
      {"sys/roddesign.dat", "design well list", false,
       [](const ProgramFolder&, const fs::path& p) {
         std::size_t n = 0;
         return status_only(RecordStore(p, design::kRodDesignRecordSize).count(n) != StoreStatus::Ok);
       }},
      {"sys/DlPh.dat", "power balance summary", false,
       [](const ProgramFolder&, const fs::path& p) {
         std::size_t found = 0;
         return status_only(RecordStore(p, kDlPhRecordSize).find([](const Bytes&) { return true; }, found) !=
                            StoreStatus::Ok);
       }},
      {"sys/save.jnl", "interrupted save at start", true,
       [](const ProgramFolder&, const fs::path& p) {
         const InterruptedSave r = recover_interrupted_save(p);
         using Done = InterruptedSave::Outcome;
         return Outcome{r.outcome == Done::SetAside || r.outcome == Done::Failed, r.message()};
       },
       true},
      {"reportem.dll", "report workbooks", true,
       [](const ProgramFolder& prog, const fs::path&) {
         Messages m;
         NoShell shell;
         const ReportOutcome r = run_report_workbooks(prog, "20240305", nullptr, m, shell);
         return Outcome{!r.opened, m.said};
       }},
      {"report.dll", "report workbooks", true,
       [](const ProgramFolder& prog, const fs::path&) {
         Messages m;
         NoShell shell;
         test::put_bytes(prog.root / "reportem.dll", Bytes{'D'});
         const ReportOutcome r = run_report_workbooks(prog, "20240305", nullptr, m, shell);
         return Outcome{!r.opened, m.said};
       }},
      {"data/W1.o01", "joint test file", true,
       [](const ProgramFolder&, const fs::path& p) {
         auto st = std::make_unique<TestState>();
         const std::optional<Refusal> r = open_joint_test_file(*st, path_text(p));
         return Outcome{r.has_value(), r ? r->message : std::string()};
       }},
      {"data/W1.y01", "fluid-level test file", true,
       [](const ProgramFolder& prog, const fs::path& p) {
         Messages m;
         auto t = std::make_unique<LevelTest>();
         return Outcome{!open_raw_level_file(*t, p, prog, m), m.said};
       }},
      {"data/W1.g01", "single card file", false,
       [](const ProgramFolder&, const fs::path& p) {
         Bytes b;
         return status_only(read_stored_record(p, kSgtRecordSize, 1, RecordSource::SingleTestFile, b) != ReadStatus::Ok);
       }},
  };
  return paths;
}

// Runs the step on a thread of its own: none when it has not answered within a second.
std::optional<Outcome> within_a_second(const ReadPath& r, const ProgramFolder& prog, const fs::path& planted) {
  auto done = std::make_shared<std::promise<Outcome>>();
  std::future<Outcome> answer = done->get_future();
  std::thread([done, run = r.run, prog, planted] { done->set_value(run(prog, planted)); }).detach();
  if (answer.wait_for(1s) == std::future_status::ready) return answer.get();
  const int fd = ::open(planted.c_str(), O_WRONLY | O_NONBLOCK);  // a reader held in open() goes
  if (fd >= 0) ::close(fd);
  return std::nullopt;
}

TEST(ReadRule, EveryReadPathRefusesAFifoOrADeviceWithinASecond) {
  enum class Plant { Fifo, DeviceLink };
  for (const ReadPath& r : read_paths()) {
    for (Plant plant : {Plant::Fifo, Plant::DeviceLink}) {
      SCOPED_TRACE(std::string(r.file) + ", " + r.step + (plant == Plant::Fifo ? ", FIFO" : ", link to /dev/zero"));
      test::TempProgram tmp;
      const fs::path p = tmp.prog.root / r.file;
      if (plant == Plant::Fifo)
        ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0);
      else
        fs::create_symlink("/dev/zero", p);
      const std::optional<Outcome> got = within_a_second(r, tmp.prog, p);
      if (!got) {
        ADD_FAILURE() << "no answer within a second";
        continue;
      }
      EXPECT_TRUE(got->refused);
      if (r.names_it) {
        EXPECT_NE(got->said.find(path_text(p)), std::string::npos) << got->said;
      }
      // Nothing was put in its place.
      if (!r.set_aside) {
        EXPECT_EQ(fs::symlink_status(p).type(), plant == Plant::Fifo ? fs::file_type::fifo : fs::file_type::symlink);
      }
    }
  }
}

// The rule itself: what it refuses and what it reads.
TEST(ReadRule, ReadsOnlyRegularFilesUpToTheSizeFound) {
  test::TempProgram tmp;
  const fs::path file = tmp.prog.sys() / "lib.dat";
  test::put_bytes(file, Bytes{1, 2, 3, 4, 5});
  ASSERT_EQ(::mkfifo((tmp.prog.sys() / "fifo").c_str(), 0644), 0);
  fs::create_symlink("/dev/null", tmp.prog.sys() / "null");
  fs::create_symlink(file, tmp.prog.sys() / "link");
  struct Case {
    const char* name;
    std::uint64_t max;
    FollowLinks follow;
    ReadFault fault;
  };
  const Case cases[] = {
      {"lib.dat", kAnySize, FollowLinks::Yes, ReadFault::None},
      {"lib.dat", 5, FollowLinks::Yes, ReadFault::None},
      {"lib.dat", 4, FollowLinks::Yes, ReadFault::TooLarge},
      {"missing", kAnySize, FollowLinks::Yes, ReadFault::Missing},
      {"fifo", kAnySize, FollowLinks::Yes, ReadFault::NotRegular},
      {"null", kAnySize, FollowLinks::Yes, ReadFault::NotRegular},
      {".", kAnySize, FollowLinks::Yes, ReadFault::NotRegular},
      {"link", kAnySize, FollowLinks::Yes, ReadFault::None},
      {"link", kAnySize, FollowLinks::No, ReadFault::NotRegular},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadableFile f(tmp.prog.sys() / c.name, c.max, c.follow);
    EXPECT_EQ(f.fault(), c.fault);
    if (c.fault == ReadFault::None) {
      Bytes all;
      ASSERT_TRUE(f.read_all(all));
      EXPECT_EQ(all, (Bytes{1, 2, 3, 4, 5}));
      Bytes two(2);
      EXPECT_TRUE(f.read_at(3, two));
      EXPECT_EQ(two, (Bytes{4, 5}));
      EXPECT_FALSE(f.read_at(4, two));  // past the size
      EXPECT_TRUE(f.refusal_text().empty());
    } else {
      EXPECT_NE(f.refusal_text().find(path_text(tmp.prog.sys() / c.name)), std::string::npos);
    }
  }
  // A file that grows while it is read is read as it was found.
  const ReadableFile f(file);
  test::put_bytes(file, Bytes(100, 9));
  EXPECT_EQ(f.size(), 5u);
  Bytes all;
  ASSERT_TRUE(f.read_all(all));
  EXPECT_EQ(all.size(), 5u);
}

}  // namespace
}  // namespace wb
