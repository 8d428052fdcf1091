// One writer per program folder. The program takes the folder's writer lock at start and
// holds it for its life; a second copy started on the same folder finds it taken and ends.
// Every multi-file save (SaveSet) and every completion of an interrupted save holds it too,
// so no process ever finishes, undoes or deletes the journal or temporary files of a save
// another process has under way.
//
// The lock is flock(2) on sys/workbench.lock, which is created when missing and never
// removed: the kernel lets it go when the holder ends, however it ends (a kill, a power cut),
// so a lock is never left stale. Within one process the lock is counted: the program's own
// lock and a save's are one lock, and it is let go when the last holder goes.
#pragma once

#include <filesystem>
#include <string>

namespace wb {

inline constexpr const char* kWriterLockName = "workbench.lock";

// The message a second copy shows at start, and the cause of a save refused for that reason.
std::string folder_in_use_text(const std::filesystem::path& program_folder);

class WriterLock {
 public:
  enum class State {
    Held,    // this process holds the folder's lock
    Busy,    // another process holds it
    Failed,  // the lock file cannot be made or locked (a missing or read-only sys folder)
  };
  // Takes the lock of the program folder whose sys folder is `sys_folder`; never waits.
  explicit WriterLock(const std::filesystem::path& sys_folder);
  ~WriterLock();
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

  State state() const { return state_; }
  bool held() const { return state_ == State::Held; }

 private:
  std::filesystem::path key_;
  State state_ = State::Failed;
};

}  // namespace wb
