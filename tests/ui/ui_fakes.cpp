#include "ui_fakes.h"

#include <random>

namespace wb::test {

MsgAnswer FakeMessages::show(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon) {
  shown.push_back({text, title, buttons});
  if (answers.empty()) return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
  MsgAnswer a = answers.front();
  answers.pop_front();
  return a;
}

std::string FakeFiles::open_file(const FileDialogRequest& req) {
  asked.push_back(req);
  if (answers.empty()) return {};
  std::string a = answers.front();
  answers.pop_front();
  return a;
}

std::string FakeFiles::save_file(const FileDialogRequest& req) { return open_file(req); }

bool FakeShell::open_document(const std::string& path) {
  opened.push_back(path);
  return can_open;
}

ScopedFakeServices::ScopedFakeServices() : saved_(services()) { services() = Services{&messages, &files, &shell}; }
ScopedFakeServices::~ScopedFakeServices() { services() = saved_; }

TempProgramFolder::TempProgramFolder() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() / ("wb_ui_test_" + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempProgramFolder::~TempProgramFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace wb::test
