#include "platform/file_browser.h"

#include <QDir>
#include <QFile>
#include <QApplication>
#include <QMouseEvent>
#include <QStyle>

#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/common/trim.h"
#include "platform/services_qt.h"

namespace wb {

DirList::DirList(QWidget* parent) : QListWidget(parent) {
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* it) {
    QString target = it->data(Qt::UserRole).toString();
    if (!target.isEmpty()) set_path(target);
  });
}

void DirList::set_path(const QString& path) {
  QString p = QDir::cleanPath(path);
  bool differs = p != path_;
  path_ = p;
  refresh();
  if (differs) emit changed();
}

void DirList::refresh() {
  clear();
  QDir d(path_);
  // The folder chain from the root down to the current folder, then its sub-folders.
  QStringList chain;
  QDir up(path_);
  do {
    chain.prepend(up.absolutePath());
  } while (up.cdUp());
  int depth = 0;
  for (const QString& c : chain) {
    QString name = QDir(c).dirName();
    if (name.isEmpty()) name = c;
    auto* it = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirOpenIcon), QString(depth * 2, ' ') + name, this);
    it->setData(Qt::UserRole, c);
    ++depth;
  }
  setCurrentRow(count() - 1);
  for (const QString& sub : d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
    auto* it = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirIcon), QString(depth * 2, ' ') + sub, this);
    it->setData(Qt::UserRole, d.absoluteFilePath(sub));
  }
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {}

void FileList::set_path(const QString& path) {
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

void FileList::set_file_name(const QString& name) {
  auto found = findItems(name, Qt::MatchFixedString);
  if (!found.isEmpty()) setCurrentItem(found.first());
}

void FileList::refresh() {
  QString keep = file_name();
  clear();
  for (const auto& name : list_files(u8path(path_.toStdString()), pattern_.toStdString()))
    addItem(QString::fromStdString(name));
  if (!keep.isEmpty()) {
    auto found = findItems(keep, Qt::MatchFixedString);
    if (!found.isEmpty()) setCurrentItem(found.first());
  }
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

QString chosen_file_path(const FileList& files) {
  const QString name = files.file_name();
  if (name.isEmpty()) return {};
  const QString dir = files.path();
  return dir.endsWith('/') ? dir + name : dir + "/" + name;
}

void delete_chosen_file(FileList& files) {
  const QString full = chosen_file_path(files);
  if (full.isEmpty()) return;
  const MsgAnswer a = services().messages->show("确实要删除" + full.toStdString() + "文件吗?", kWarningTitle,
                                                MsgButtons::YesNo, MsgIcon::Warning);
  if (a != MsgAnswer::No) QFile::remove(full);
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
  dirs.set_path(QString::fromStdString(dir));
  files.set_path(dirs.path());
  files.set_pattern(QString::fromStdString(pattern));
  return true;
}

}  // namespace wb
