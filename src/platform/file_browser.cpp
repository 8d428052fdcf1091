#include "platform/file_browser.h"

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

#include <QMouseEvent>
#include <QStyle>

#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/common/trim.h"
#include "platform/services_qt.h"

namespace wb {

namespace fs = std::filesystem;

namespace {

// Each entry's name bytes (a folder list entry: its whole path) ride in its item data.
QByteArray bytes_data(const std::string& bytes) { return QByteArray::fromStdString(bytes); }
std::string item_bytes(const QListWidgetItem& it) { return it.data(Qt::UserRole).toByteArray().toStdString(); }
QString shown_name(const std::string& bytes) { return QString::fromStdString(file_name_text(bytes)); }

// As QDir::cleanPath, on the path's bytes: absolute, no "." or "..", no trailing separator.
fs::path clean_folder(const fs::path& p) {
  if (p.empty()) return p;
  std::error_code ec;
  fs::path abs = p.is_absolute() ? p : fs::absolute(p, ec);
  abs = abs.lexically_normal();
  if (!abs.has_filename() && abs != abs.root_path()) abs = abs.parent_path();
  return abs;
}

}  // namespace

DirList::DirList(QWidget* parent) : QListWidget(parent) {
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* it) {
    const std::string target = item_bytes(*it);
    if (!target.empty()) set_path(u8path(target));
  });
}

void DirList::set_path(const fs::path& path) {
  fs::path p = clean_folder(path);
  bool differs = p != path_;
  path_ = std::move(p);
  refresh();
  if (differs) emit changed();
}

void DirList::refresh() {
  clear();
  // The folder chain from the root down to the current folder, then its sub-folders.
  std::vector<fs::path> chain;
  for (fs::path up = path_; !up.empty(); up = up.parent_path()) {
    chain.insert(chain.begin(), up);
    if (up == up.parent_path()) break;
  }
  int depth = 0;
  for (const fs::path& c : chain) {
    const std::string name = path_text(c.has_filename() ? c.filename() : c);
    auto* it = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                   QString(depth * 2, ' ') + shown_name(name), this);
    it->setData(Qt::UserRole, bytes_data(path_text(c)));
    ++depth;
  }
  setCurrentRow(count() - 1);
  // Sub-folders: what is a folder once links are followed (a link to a device or a file is
  // no folder, whatever its name); hidden ones are left out.
  std::vector<std::pair<QString, std::string>> subs;
  std::error_code ec;
  for (fs::directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code e2;
    const std::string name = path_text(it->path().filename());
    if (name.starts_with('.') || !it->is_directory(e2)) continue;
    subs.emplace_back(shown_name(name), name);
  }
  std::sort(subs.begin(), subs.end(), [](const auto& a, const auto& b) {
    const int c = a.first.compare(b.first, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.second < b.second;
  });
  for (const auto& [shown, name] : subs) {
    auto* it = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirIcon), QString(depth * 2, ' ') + shown, this);
    it->setData(Qt::UserRole, bytes_data(path_text(path_ / u8path(name))));
  }
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {}

void FileList::set_path(const fs::path& path) {
  path_ = path;
  refresh();
}

void FileList::set_pattern(const QString& pattern) {
  pattern_ = pattern;
  refresh();
}

QString FileList::file_name() const {
  QListWidgetItem* it = currentItem();
  return it && it->isSelected() ? it->text() : QString();
}

std::string FileList::file_name_bytes() const {
  QListWidgetItem* it = currentItem();
  return it && it->isSelected() ? item_bytes(*it) : std::string();
}

bool FileList::choose_bytes(const std::string& bytes) {
  for (int i = 0; i < count(); ++i)
    if (item_bytes(*item(i)) == bytes) {
      setCurrentItem(item(i));
      return true;
    }
  return false;
}

void FileList::set_file_name(const QString& name) {
  if (choose_bytes(name.toStdString())) return;
  for (int i = 0; i < count(); ++i)
    if (item(i)->text() == name) {
      setCurrentItem(item(i));
      return;
    }
}

void FileList::refresh() {
  const std::string keep = file_name_bytes();
  clear();
  for (const std::string& name : list_files(path_, pattern_.toStdString())) {
    auto* it = new QListWidgetItem(shown_name(name), this);
    it->setData(Qt::UserRole, bytes_data(name));
  }
  if (!keep.empty()) choose_bytes(keep);
}

void FileList::mousePressEvent(QMouseEvent* e) {
  // Only the left button chooses a file; the right button acts on the file already chosen.
  if (e->button() == Qt::LeftButton) {
    QListWidgetItem* it = itemAt(e->position().toPoint());
    if (!it) {
      QListWidget::mousePressEvent(e);
      return;
    }
    setCurrentItem(it);
    QListWidget::mousePressEvent(e);
  }
  emit file_mouse_down(e->button());
}

fs::path chosen_file_path(const FileList& files) {
  const std::string name = files.file_name_bytes();
  if (name.empty()) return {};
  return files.path() / u8path(name);
}

void delete_chosen_file(FileList& files) {
  const fs::path full = chosen_file_path(files);
  if (full.empty()) return;
  const std::string shown = path_shown_text(full);
  const MsgAnswer a = services().messages->show("确实要删除" + shown + "文件吗?", kWarningTitle, MsgButtons::YesNo,
                                                MsgIcon::Warning);
  std::error_code ec;
  if (a != MsgAnswer::No && !fs::remove(full, ec) && ec) {
    const bool refused = ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
                         ec == std::errc::read_only_file_system;
    services().messages->show("文件未能删除：" + shown + "（" + (refused ? "文件夹只读或没有权限" : ec.message()) + "）",
                              kDeleteFailedTitle, MsgButtons::Ok, MsgIcon::Warning);
  }
  files.refresh();
}

bool browse_typed_path(DirList& dirs, FileList& files, const QString& typed) {
  const std::string t = trim_blanks(typed.toStdString());
  const auto p = t.find_last_of("/\\");
  if (p == std::string::npos) return false;
  std::string dir = t.substr(0, p);
  const std::string pattern = t.substr(p + 1);
  if (dir.empty()) dir = "/";
  if (list_files(u8path(dir), pattern).empty()) return false;
  dirs.set_path(u8path(dir));
  files.set_path(dirs.path());
  files.set_pattern(QString::fromStdString(pattern));
  return true;
}

}  // namespace wb
