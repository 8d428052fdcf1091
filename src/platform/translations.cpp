#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace wb {
namespace {

// Texts the file dialogs show that Qt's Chinese catalogue leaves in English (the file
// types of the list's "类型" column).
class MissingQtTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char*, int) const override {
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0 && qstrcmp(context, "QFileSystemModel") != 0) return {};
    if (qstrcmp(source, "Folder") == 0) return QStringLiteral("文件夹");
    if (qstrcmp(source, "File") == 0) return QStringLiteral("文件");
    if (qstrcmp(source, "%1 File") == 0) return QStringLiteral("%1 文件");
    if (qstrcmp(source, "Drive") == 0) return QStringLiteral("驱动器");
    return {};
  }
};

}  // namespace

void use_chinese_locale() {
  // Qt takes the date formats from LC_TIME unless LC_ALL overrides every category: a user's
  // LC_ALL becomes LANG, so the other categories stay as they were.
  if (qEnvironmentVariableIsSet("LC_ALL")) {
    qputenv("LANG", qgetenv("LC_ALL"));
    qunsetenv("LC_ALL");
  }
  qputenv("LC_TIME", "zh_CN.UTF-8");
}

bool install_qt_translations() {
  const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
  QLocale::setDefault(chinese);
  // Installed first, so that Qt's own catalogue (searched before it) wins where it has a text.
  static bool fallback_installed = false;
  if (!fallback_installed)
    fallback_installed = QCoreApplication::installTranslator(new MissingQtTexts(QCoreApplication::instance()));
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  // qtbase holds the texts of the widgets and of the print-support dialogs.
  auto* t = new QTranslator(QCoreApplication::instance());
  if (t->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), dir) && QCoreApplication::installTranslator(t))
    return true;
  delete t;
  return false;
}

}  // namespace wb
