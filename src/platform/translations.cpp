#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace wb {

bool install_qt_translations() {
  const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
  QLocale::setDefault(chinese);
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  // qtbase holds the texts of the widgets and of the print-support dialogs.
  auto* t = new QTranslator(QCoreApplication::instance());
  if (t->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), dir) && QCoreApplication::installTranslator(t))
    return true;
  delete t;
  return false;
}

}  // namespace wb
