#include "platform/services_qt.h"

#include <algorithm>

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QStandardPaths>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QHeaderView>
#include <QTreeView>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>

namespace wb {

MsgAnswer QtMessageService::show(const std::string& text, const std::string& title, MsgButtons buttons,
                                 MsgIcon icon) {
  QMessageBox box(QApplication::activeWindow());
  box.setText(QString::fromStdString(text));
  // A message without a title of its own carries the program's name.
  box.setWindowTitle(title.empty() ? QApplication::applicationName() : QString::fromStdString(title));
  switch (icon) {
    case MsgIcon::Info: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    default: break;
  }
  switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    default: return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
  }
}

QString qt_filter(const std::string& filter) {
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString pats = parts[i + 1];
    pats.replace(';', ' ');
    // A description that already ends in its patterns ("文本文件(*.txt)") is shown as it is.
    const QString desc = parts[i].trimmed();
    const qsizetype open = desc.lastIndexOf('(');
    const bool named = open >= 0 && desc.endsWith(')') &&
                       desc.mid(open + 1, desc.size() - open - 2).simplified().compare(pats.simplified(),
                                                                                     Qt::CaseInsensitive) == 0;
    out << (named ? desc : QStringLiteral("%1 (%2)").arg(parts[i], pats));
  }
  return out.join(QStringLiteral(";;"));
}

QString save_suffix(const FileDialogRequest& req) {
  if (!req.default_ext.empty()) return QString::fromStdString(req.default_ext);
  const QStringList parts = QString::fromStdString(req.filter).split('|');
  if (parts.size() < 2) return {};
  const QString first = parts[1].split(';').first().trimmed();
  if (!first.startsWith(QLatin1String("*."))) return {};
  const QString ext = first.mid(2);
  if (ext.isEmpty() || ext.contains('*') || ext.contains('?')) return {};
  return ext;
}

QString file_size_text(qint64 bytes) {
  if (bytes < 1024) return QString::number(bytes) + QStringLiteral(" 字节");
  constexpr const char* kUnits[] = {"千字节", "兆字节", "吉字节", "太字节"};
  double v = static_cast<double>(bytes) / 1024.0;
  int unit = 0;
  while (v >= 1024.0 && unit < 3) {
    v /= 1024.0;
    ++unit;
  }
  return QString::number(v, 'f', v < 10.0 ? 1 : 0) + QLatin1Char(' ') + QString::fromUtf8(kUnits[unit]);
}

namespace {

// The list's sizes in the units a Chinese reader expects ("512 字节", "1.5 千字节"), where Qt's
// own list would say "bytes" or "KiB", under the heading "大小" (Qt's Chinese texts say "体积").
class ChineseSizes : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (section == 1 && orientation == Qt::Horizontal && role == Qt::DisplayRole) return QStringLiteral("大小");
    return QIdentityProxyModel::headerData(section, orientation, role);
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::DisplayRole && index.column() == 1)
      if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel())) {
        const QModelIndex source = mapToSource(index);
        if (!files->isDir(source)) return file_size_text(files->size(source));
      }
    return QIdentityProxyModel::data(index, role);
  }
};

// The list's sizes in Chinese units; its size, type and date columns are as wide as their
// texts ("2026/12/10 19:33", "纯文本文档"), not cut short.
void prepare_file_list(QFileDialog& dlg) {
  dlg.setProxyModel(new ChineseSizes(&dlg));
  for (QTreeView* view : dlg.findChildren<QTreeView*>())
    for (int column : {1, 2, 3})
      if (view->header()->count() > column) view->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  // Qt's own size (about 600 x 400) leaves the date column out of view beside a name, a size
  // and a type: two thirds of the screen's width give every column its room.
  if (const QScreen* screen = dlg.screen()) {
    const QRect room = screen->availableGeometry();
    dlg.resize(std::max(dlg.width(), room.width() * 2 / 3), std::max(dlg.height(), room.height() * 3 / 4));
  }
}

}  // namespace

std::string QtFileDialogService::open_file(const FileDialogRequest& req) {
  QString dir = QString::fromStdString(req.initial_dir);
  if (!req.file_name.empty()) dir += "/" + QString::fromStdString(req.file_name);
  QFileDialog dlg(QApplication::activeWindow(), QString::fromStdString(req.title), dir, qt_filter(req.filter));
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(QFileDialog::ExistingFile);
  prepare_file_list(dlg);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  return dlg.selectedFiles().first().toStdString();
}

std::string QtFileDialogService::save_file(const FileDialogRequest& req) {
  QString dir = QString::fromStdString(req.initial_dir);
  if (!req.file_name.empty()) dir += "/" + QString::fromStdString(req.file_name);
  QFileDialog dlg(QApplication::activeWindow(), QString::fromStdString(req.title), dir, qt_filter(req.filter));
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  prepare_file_list(dlg);
  const QString suffix = save_suffix(req);
  if (!suffix.isEmpty()) dlg.setDefaultSuffix(suffix);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  return dlg.selectedFiles().first().toStdString();
}

namespace {

// The desktop's MIME data through its tool: `xdg-mime query filetype <file>` and
// `xdg-mime query default <type>`, each a line of output; empty when the tool is missing,
// fails or does not answer in time.
class XdgMimeAssociations : public DesktopAssociations {
 public:
  QString file_type(const QString& path) override { return query({QStringLiteral("filetype"), path}); }
  QString default_application(const QString& mime) override { return query({QStringLiteral("default"), mime}); }

 private:
  static QString query(const QStringList& args) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, QStringList{QStringLiteral("query")} + args);
    if (!p.waitForFinished(5000)) {
      p.kill();
      p.waitForFinished();
      return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
  }
};

}  // namespace

bool QtShellService::open_document(const std::string& path) {
  const QString exe = QStandardPaths::findExecutable(opener);
  if (exe.isEmpty()) return false;
  static XdgMimeAssociations desktop;
  DesktopAssociations& asked = associations ? *associations : desktop;
  const QString type = asked.file_type(QString::fromStdString(path));
  if (type.isEmpty() || asked.default_application(type).isEmpty()) return false;
  // Owned by the application, so an opener that outlives the wait is not killed with it.
  auto* proc = new QProcess(qApp);
  proc->setProcessChannelMode(QProcess::ForwardedChannels);
  QEventLoop loop;
  QObject::connect(proc, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(proc, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) loop.quit();
  });
  QTimer settle;
  settle.setSingleShot(true);
  QObject::connect(&settle, &QTimer::timeout, &loop, &QEventLoop::quit);
  proc->start(exe, {QString::fromStdString(path)});
  settle.start(settle_ms);
  if (proc->state() != QProcess::NotRunning || proc->error() != QProcess::FailedToStart) loop.exec();
  if (proc->state() != QProcess::NotRunning) {
    QObject::connect(proc, &QProcess::finished, proc, &QObject::deleteLater);
    return true;
  }
  const bool opened = proc->error() != QProcess::FailedToStart && proc->exitStatus() == QProcess::NormalExit &&
                      proc->exitCode() == 0;
  proc->deleteLater();
  return opened;
}

bool QtShellService::open_in_text_editor(const std::string& path) {
  // Graphical plain-text editors of the common desktops, most usual first.
  static const char* const kEditors[] = {"gnome-text-editor", "gedit", "mousepad", "kate",  "kwrite",
                                         "pluma",             "xed",   "featherpad", "leafpad", "geany"};
  const QString file = QString::fromStdString(path);
  for (const char* name : kEditors) {
    const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (!exe.isEmpty() && QProcess::startDetached(exe, {file})) return true;
  }
  return open_document(path);
}

void QtShellService::beep() { QApplication::beep(); }

Services& services() {
  static QtMessageService msg;
  static QtFileDialogService files;
  static QtShellService shell;
  static Services s{&msg, &files, &shell};
  return s;
}

}  // namespace wb
