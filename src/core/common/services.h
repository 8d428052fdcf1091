// Services the core and the windows ask of the platform: message boxes and file dialogs.
// The platform layer implements them on Qt; tests replace them with fakes that record what
// was asked and answer as scripted.
#pragma once

#include <string>
#include <vector>

namespace wb {

enum class MsgButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MsgIcon { None, Info, Warning, Critical, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class MessageService {
 public:
  virtual ~MessageService() = default;
  virtual MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons = MsgButtons::Ok,
                         MsgIcon icon = MsgIcon::None) = 0;
  MsgAnswer info(const std::string& text, const std::string& title = "") {
    return show(text, title, MsgButtons::Ok, MsgIcon::Info);
  }
  bool ask_yes_no(const std::string& text, const std::string& title) {
    return show(text, title, MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes;
  }
};

// A filter as the common dialog takes it: "说明|*.dat|所有文件|*.*".
struct FileDialogRequest {
  std::string title;
  std::string filter;
  std::string initial_dir;
  std::string file_name;   // default name
  std::string default_ext;
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // Empty result: cancelled.
  virtual std::string open_file(const FileDialogRequest& req) = 0;
  virtual std::string save_file(const FileDialogRequest& req) = 0;
};

// Opens a document with its associated program; false when nothing could open it.
class ShellService {
 public:
  virtual ~ShellService() = default;
  virtual bool open_document(const std::string& path) = 0;
  // Starts the desktop's plain-text editor on one file (the path is one argument, never a
  // command line) without waiting for it; false when no editor could be started. The
  // default opens the file with its associated program.
  virtual bool open_in_text_editor(const std::string& path) { return open_document(path); }
  virtual void beep() = 0;
};

}  // namespace wb
