// Runs wb_lock_probe (tests/kill/lock_probe.cpp), a second program on a program folder, and
// talks to it line by line: what it got of the writer lock, then what each save it is asked
// for did.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

namespace wb::test {

class LockProbe {
 public:
  // Starts the probe on `program_folder`, as the user `uid` when given.
  explicit LockProbe(const std::filesystem::path& program_folder, std::optional<unsigned> uid = std::nullopt) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    const std::string folder = program_folder.string(), id = uid ? std::to_string(*uid) : std::string();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      if (uid)
        ::execl(WB_LOCK_PROBE, "wb_lock_probe", folder.c_str(), id.c_str(), static_cast<char*>(nullptr));
      else
        ::execl(WB_LOCK_PROBE, "wb_lock_probe", folder.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    to_ = in[1];
    from_ = out[0];
  }
  ~LockProbe() { finish(); }
  LockProbe(const LockProbe&) = delete;
  LockProbe& operator=(const LockProbe&) = delete;

  // Its next line of output; empty once it has ended.
  std::string line() {
    std::string s;
    char c;
    while (from_ >= 0 && ::read(from_, &c, 1) == 1 && c != '\n') s += c;
    return s;
  }
  // Asks for a save of the record "XXXX" (X = `letter`) and gives the answer.
  std::string save(char letter) {
    const char text[2] = {letter, '\n'};
    if (to_ < 0 || ::write(to_, text, 2) != 2) return {};
    return line();
  }
  // Ends its input and waits for it; its exit status.
  int finish() {
    if (to_ >= 0) ::close(to_);
    to_ = -1;
    int status = -1;
    if (pid_ > 0) ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (from_ >= 0) ::close(from_);
    from_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int to_ = -1, from_ = -1;
};

}  // namespace wb::test
