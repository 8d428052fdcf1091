// Fakes of the platform services for window tests: they record what was asked and answer
// as scripted. ScopedFakeServices puts them in place for one test.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/services_qt.h"

namespace wb::test {

struct FakeMessages : MessageService {
  struct Shown {
    std::string text, title;
    MsgButtons buttons;
  };
  std::vector<Shown> shown;
  std::deque<MsgAnswer> answers;  // next answers; Yes/Ok when empty
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon) override;
};

struct FakeFiles : FileDialogService {
  std::vector<FileDialogRequest> asked;
  std::deque<std::string> answers;  // next chosen paths; "" = cancel
  std::string open_file(const FileDialogRequest& req) override;
  std::string save_file(const FileDialogRequest& req) override;
};

struct FakeShell : ShellService {
  std::vector<std::string> opened;
  bool can_open = true;
  int beeps = 0;
  bool open_document(const std::string& path) override;
  std::vector<std::string> edited;  // files the text editor was started on
  bool open_in_text_editor(const std::string& path) override {
    edited.push_back(path);
    return can_open;
  }
  void beep() override { ++beeps; }
};

class ScopedFakeServices {
 public:
  ScopedFakeServices();
  ~ScopedFakeServices();
  FakeMessages messages;
  FakeFiles files;
  FakeShell shell;

 private:
  Services saved_;
};

// A fresh program folder under the system's temporary folder, removed at the end.
class TempProgramFolder {
 public:
  TempProgramFolder();
  ~TempProgramFolder();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace wb::test
