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

// The chosen file's full path (the list's folder, one separator, the name); empty when no
// file is chosen.
QString chosen_file_path(const FileList& files);

// The right button on a file list: asks "确实要删除<path>文件吗?" (titled "警告") and deletes
// the chosen file on Yes; the list is refreshed. Nothing when no file is chosen.
void delete_chosen_file(FileList& files);

// Enter in a typed-path box: the text before the last separator is the folder, the rest
// the name or pattern. When a file matches, both lists go there with that pattern; else
// nothing changes. False when nothing matched.
bool browse_typed_path(DirList& dirs, FileList& files, const QString& typed);

}  // namespace wb
