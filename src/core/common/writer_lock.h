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
//
// flock locks a file, not its name, so the lock keeps a second writer out only while the
// name still names the locked file. A lock file that is a symbolic link (dangling or not), a
// folder or anything but a regular file is never opened through and the lock is not taken
// (Failed); a regular file the user may only read is locked through a read-only descriptor.
// After the lock is taken, and again whenever it is taken once more in this process (every
// save set) and before a set writes, the name must still give the locked file (device and
// inode): a lock file deleted or replaced, or a sys folder swapped, while held leaves the lock
// lost, and every later save is refused until the program is started again.
#pragma once

#include <filesystem>
#include <string>

namespace wb {

inline constexpr const char* kWriterLockName = "workbench.lock";

// The message a second copy shows at start; the program then ends.
std::string folder_in_use_text(const std::filesystem::path& program_folder);

class WriterLock {
 public:
  enum class State {
    Held,    // this process holds the folder's lock
    Busy,    // another process holds it
    Failed,  // the lock file cannot be made or locked, or the lock held is lost
  };
  // Takes the lock of the program folder whose sys folder is `sys_folder`; never waits.
  explicit WriterLock(const std::filesystem::path& sys_folder);
  ~WriterLock();
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

  State state() const { return state_; }
  bool held() const { return state_ == State::Held; }
  // Why the lock is not held, for a save's refusal: the lock file or folder and the cause,
  // with no final full stop. Empty while held.
  const std::string& cause() const { return cause_; }
  // Whether the lock file's name still gives the file this process locked. When not, the
  // lock is lost: state() becomes Failed and cause() says so.
  bool still_held();
  // What the user is told at start when the lock is not held; the program then ends.
  std::string start_refusal_text() const;

 private:
  std::filesystem::path key_;   // the sys folder, canonical: one lock per folder in this process
  std::filesystem::path file_;  // the lock file as named, not resolved
  State state_ = State::Failed;
  bool counted_ = false;  // whether this holder is counted in the process's lock
  std::string cause_;
};

}  // namespace wb
