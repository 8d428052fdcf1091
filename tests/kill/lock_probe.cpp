// wb_lock_probe: a second program on a program folder, for the writer lock's tests
// (tests/core/common/lock_probe.h). It takes the folder's writer lock as the program does at
// start and says on its output what it got:
//   "held" — then each line of its input is a save: its first letter X appends the record
//            "XXXX" to sys/A.dat through a save set, answered "saved" or "refused <cause>";
//            the end of its input ends it;
//   "busy <cause>" or "failed <cause>" — then it tries one save all the same (record "ZZZZ"),
//            says "saved" or "refused <cause>", and ends.
//   wb_lock_probe PROGRAM_FOLDER [UID]
// With UID it first becomes that user (group too); "nouid" and exit 3 when it cannot.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/common/record_store.h"
#include "core/common/writer_lock.h"

namespace {

namespace fs = std::filesystem;

std::string save(const fs::path& root, char letter) {
  wb::SaveSet set(root / "sys" / wb::kSaveJournalName, "probe");
  if (set.opened() != wb::StoreStatus::Ok) return "refused " + set.cause();
  wb::RecordStore lib(root / "sys" / "A.dat", 4);
  std::size_t n = 0;
  if (lib.count(n) != wb::StoreStatus::Ok) return "refused count";
  if (lib.write(n + 1, wb::Bytes(4, static_cast<std::uint8_t>(letter))) != wb::StoreStatus::Ok) return "refused write";
  if (set.commit() != wb::StoreStatus::Ok) return "refused " + set.cause();
  return "saved";
}

void say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (argc > 2) {
    const auto id = static_cast<uid_t>(std::atol(argv[2]));
    if (::setgid(id) != 0 || ::setuid(id) != 0) {
      say("nouid");
      return 3;
    }
  }
  const fs::path root = argv[1];
  const wb::WriterLock lock(root / "sys");
  if (!lock.held()) {
    say((lock.state() == wb::WriterLock::State::Busy ? "busy " : "failed ") + lock.cause());
    say(save(root, 'Z'));
    return 1;
  }
  say("held");
  for (std::string line; std::getline(std::cin, line);)
    if (!line.empty()) say(save(root, line[0]));
  return 0;
}
