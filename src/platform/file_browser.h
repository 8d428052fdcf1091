// The data-folder browser: a folder list and a file list with a name pattern, matched
// without regard to case.
//
// Folders and files are reached by the bytes of their names, which need not be UTF-8 (an
// archive from a Windows share gives names in GBK): each entry keeps its bytes, shows them
// decoded (file_name_text), and every action takes the bytes, never the shown text.
#pragma once

#include <QListWidget>
#include <filesystem>
#include <string>

namespace wb {

class DirList : public QListWidget {
  Q_OBJECT
 public:
  explicit DirList(QWidget* parent = nullptr);
  const std::filesystem::path& path() const { return path_; }
  // Sets the folder (emits changed when it differs).
  void set_path(const std::filesystem::path& path);
  // The chain of folders from the root down to the current one, then its sub-folders: real
  // folders and links to folders only.
  void refresh();
 signals:
  void changed();

 private:
  std::filesystem::path path_;
};

class FileList : public QListWidget {
  Q_OBJECT
 public:
  explicit FileList(QWidget* parent = nullptr);
  const std::filesystem::path& path() const { return path_; }
  void set_path(const std::filesystem::path& path);
  QString pattern() const { return pattern_; }
  void set_pattern(const QString& pattern);
  // The chosen file's name as shown, empty when none.
  QString file_name() const;
  // The chosen file's name as the file system has it, empty when none.
  std::string file_name_bytes() const;
  // Chooses the entry of exactly this name (case counts): the one whose bytes are the name's
  // UTF-8, else the first that shows it. Nothing changes when none does.
  void set_file_name(const QString& name);
  // Lists the folder again; the chosen entry stays chosen while its file is there.
  void refresh();
 signals:
  void file_mouse_down(Qt::MouseButton button);

 protected:
  void mousePressEvent(QMouseEvent* e) override;

 private:
  // Chooses the entry with these name bytes; false when there is none.
  bool choose_bytes(const std::string& bytes);

  std::filesystem::path path_;
  QString pattern_ = "*.*";
};

// The chosen file's full path (the list's folder and the entry's name bytes); empty when no
// file is chosen.
std::filesystem::path chosen_file_path(const FileList& files);

// The right button on a file list: asks "确实要删除<path>文件吗?" (titled "警告") and deletes
// the chosen file on Yes; a file that cannot be deleted is said with the cause. The list is
// refreshed. Nothing when no file is chosen.
void delete_chosen_file(FileList& files);

// Enter in a typed-path box: the text before the last separator is the folder, the rest
// the name or pattern. When a file matches, both lists go there with that pattern; else
// nothing changes. False when nothing matched.
bool browse_typed_path(DirList& dirs, FileList& files, const QString& typed);

}  // namespace wb
