// The platform's message boxes, file dialogs and shell, and the one place windows get
// them from. Tests replace the pointers in services() with fakes.
#pragma once

#include <QWidget>

#include "core/common/services.h"

namespace wb {

class QtMessageService : public MessageService {
 public:
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) override;
};

class QtFileDialogService : public FileDialogService {
 public:
  std::string open_file(const FileDialogRequest& req) override;
  std::string save_file(const FileDialogRequest& req) override;
};

// The desktop's file-type associations, as its MIME data holds them. The program's own asks
// the desktop's tool (xdg-mime); tests put a fake in QtShellService::associations.
class DesktopAssociations {
 public:
  virtual ~DesktopAssociations() = default;
  // The file's MIME type ("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
  // empty when the desktop cannot tell.
  virtual QString file_type(const QString& path) = 0;
  // The desktop entry of the application that opens files of `mime` ("libreoffice-calc.desktop");
  // empty when there is none.
  virtual QString default_application(const QString& mime) = 0;
};

class QtShellService : public ShellService {
 public:
  // Opens the file with the program the desktop associates with it, through the desktop's
  // opener. The associations are asked first: a file whose type no application opens is not
  // handed to the opener (which would fall back to a web browser that may never end): false.
  // Waits for the opener's answer in an event loop (the windows keep painting): false when
  // it could not be started or reported that nothing opened the file. An opener still
  // running after `settle_ms` has started a program that runs in its place; that counts as
  // opened and it is left to run.
  bool open_document(const std::string& path) override;
  QString opener = QStringLiteral("xdg-open");
  DesktopAssociations* associations = nullptr;  // nullptr: the desktop's own
  int settle_ms = 5000;
  // The first plain-text editor of the desktop found on the path, started detached with
  // the file as its one argument; without one, the file's associated program.
  bool open_in_text_editor(const std::string& path) override;
  void beep() override;
};

struct Services {
  MessageService* messages = nullptr;
  FileDialogService* files = nullptr;
  ShellService* shell = nullptr;
};

// The services in use: the Qt ones unless a test replaced them.
Services& services();

// "说明|*.dat|所有文件|*.*" -> "说明 (*.dat);;所有文件 (*.*)"; a description that already ends in
// its patterns keeps them once: "文本文件(*.txt)|*.txt" -> "文本文件(*.txt)".
QString qt_filter(const std::string& filter);

// The extension a save dialog adds to a name typed without one: the request's own, else
// that of the first filter's first pattern ("文本文件|*.txt" gives "txt"); none for "*.*".
QString save_suffix(const FileDialogRequest& req);

// A file's size as the file dialogs list it, in Chinese units: "512 字节" below 1 KB, then
// "1.5 千字节", "23 兆字节", "4.0 吉字节" (1 千字节 = 1024 bytes; one decimal below 10).
QString file_size_text(qint64 bytes);

}  // namespace wb
