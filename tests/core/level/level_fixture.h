// Shared pieces of the fluid-level tests: a message box that records, a program folder in
// the temporary folder, and a raw file built from a header and samples.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/level/level_file.h"

namespace wb::level_test {

struct RecordingMessages : MessageService {
  struct Shown {
    std::string text, title;
  };
  std::vector<Shown> shown;
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons, MsgIcon) override {
    shown.push_back({text, title});
    return MsgAnswer::Ok;
  }
};

class TempFolder {
 public:
  TempFolder() {
    static int serial = 0;
    root_ = std::filesystem::temp_directory_path() /
            ("wb_level_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
    std::filesystem::remove_all(root_);
    ProgramFolder{root_}.create_folders();
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  ProgramFolder folder() const { return ProgramFolder{root_}; }
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

inline void write_bytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& b) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

inline void write_text(const std::filesystem::path& p, const std::string& s) {
  std::ofstream out(p, std::ios::binary);
  out << s;
}

}  // namespace wb::level_test
