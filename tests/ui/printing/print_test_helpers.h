// Helpers of the printing window tests: acting on the print dialog while a caller waits
// for it, and reading a printed PDF back.
#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <functional>

#include "platform/print_dialog.h"
#include "platform/system_printer.h"

namespace wb::test {

// Runs `act` on the dialog once the caller is waiting for it (inside its event loop).
inline void when_dialog_waits(std::function<void(PrintDlg&)> act) {
  QTimer::singleShot(0, [act] { act(PrintDlg::instance()); });
}

// Sheets of a PDF written by Qt's PDF engine: one "/Type /Page" dictionary line per sheet.
inline int pdf_pages(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray data = f.readAll();
  int n = 0;
  for (const QByteArray& line : data.split('\n'))
    if (line.trimmed() == "/Type /Page") ++n;
  return n;
}

// Page sizes in points ("/MediaBox [0 0 w h]"), in file order.
inline QList<QSizeF> pdf_media_boxes(const QString& path) {
  QFile f(path);
  QList<QSizeF> out;
  if (!f.open(QIODevice::ReadOnly)) return out;
  const QString text = QString::fromLatin1(f.readAll());
  static const QRegularExpression re(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
  auto it = re.globalMatch(text);
  while (it.hasNext()) {
    auto m = it.next();
    out.push_back(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
  }
  return out;
}

}  // namespace wb::test
