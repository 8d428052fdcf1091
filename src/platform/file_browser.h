// The data-folder browser: a folder list and a file list with a name pattern, matched
// without regard to case.
#pragma once

#include <QListWidget>

namespace wb {

class DirList : public QListWidget {
  Q_OBJECT
 public:
  explicit DirList(QWidget* parent = nullptr);
  QString path() const { return path_; }
  // Sets the folder (emits changed when it differs).
  void set_path(const QString& path);
  void refresh();
 signals:
  void changed();

 private:
  QString path_;
};

class FileList : public QListWidget {
  Q_OBJECT
 public:
  explicit FileList(QWidget* parent = nullptr);
  QString path() const { return path_; }
  void set_path(const QString& path);
  QString pattern() const { return pattern_; }
  void set_pattern(const QString& pattern);
  // The chosen file's name, empty when none.
  QString file_name() const;
  void set_file_name(const QString& name);
  void refresh();
 signals:
  void file_mouse_down(Qt::MouseButton button);

 protected:
  void mousePressEvent(QMouseEvent* e) override;

 private:
  QString path_;
  QString pattern_ = "*.*";
};

}  // namespace wb
