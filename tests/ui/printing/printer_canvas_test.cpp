// A printer canvas over a printer that prints several jobs: each job is drawn as the first
// was, whatever the paint engine kept from the job before.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>

#include "platform/qt_canvas.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

// The page content of a PDF written by Qt's PDF engine, its streams inflated.
QByteArray pdf_content(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray data = f.readAll();
  QByteArray out;
  qsizetype at = 0;
  while ((at = data.indexOf("stream\n", at)) >= 0) {
    const qsizetype start = at + 7;
    const qsizetype end = data.indexOf("endstream", start);
    if (end < 0) break;
    if (static_cast<unsigned char>(data.at(start)) != 0x78) {  // not a zlib stream
      at = end;
      continue;
    }
    // qUncompress takes zlib data behind its expected size, four bytes big-endian.
    QByteArray packed("\x00\x10\x00\x00", 4);
    packed += data.mid(start, end - start);
    out += qUncompress(packed);
    at = end;
  }
  return out;
}

}  // namespace

TEST(PrinterCanvas, EveryJobIsDrawnAsTheFirst) {
  test::TempProgramFolder tmp;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  PrinterCanvas canvas(&printer);
  QStringList files;
  for (const char* name : {"one.pdf", "two.pdf"}) {
    files << QString::fromStdString((tmp.path() / name).string());
    printer.setOutputFileName(files.back());
    canvas.reset_drawing_state();
    canvas.print_at(10, 10, "副本");           // black: the default pen
    canvas.line(10, 30, 100, 30, kBlue);     // the job ends in another colour
    canvas.end_doc();
  }
  const QByteArray first = pdf_content(files[0]);
  const QByteArray second = pdf_content(files[1]);
  ASSERT_FALSE(first.isEmpty());
  EXPECT_EQ(first, second);
}
