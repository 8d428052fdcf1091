#include "platform/system_printer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <tuple>

#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/printing/pdf_file_name.h"
#include "platform/services_qt.h"

namespace wb {

std::optional<QPageSize> page_size_for_code(std::int16_t code) {
  switch (code) {
    case kPaperA3: return QPageSize(QPageSize::A3);
    case kPaperA4: return QPageSize(QPageSize::A4);
    // The printer code's B4 is 250 x 354 mm (not ISO's 250 x 353 nor JIS's 257 x 364).
    case kPaperB4:
      return QPageSize(QSizeF(250, 354), QPageSize::Millimeter, QStringLiteral("B4, 250 x 354 毫米"),
                       QPageSize::ExactMatch);
    case kPaperB5: return QPageSize(QPageSize::JisB5);  // 182 x 257 mm
    case kPaperFanfoldUS: return QPageSize(QPageSize::FanFoldUS);  // 14 7/8 x 11 in, wider than high
    default: return std::nullopt;
  }
}

int resolution_for_quality(std::int16_t quality) {
  switch (quality) {
    case kQualityDraft: return 75;
    case kQualityLow: return 150;
    case kQualityMedium: return 300;
    default: return 600;
  }
}

namespace {

// The spooler's own answers about a queue: its status tool, in the C locale, says
// "<name> accepting requests since …" or "<name> not accepting requests since …" (-a), and
// "printer <name> disabled since …" for a paused printer, "printer <name> is idle.  enabled
// since …" or "… now printing …" otherwise (-p). Qt's printer information carries neither.
// The lines of `lpstat <option> <name>`; none when the tool is missing or does not answer.
QStringList lpstat_lines(const QString& option, const QString& name) {
  const QString lpstat = QStandardPaths::findExecutable(QStringLiteral("lpstat"));
  if (lpstat.isEmpty()) return {};
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
  p.setProcessEnvironment(env);
  p.start(lpstat, {option, name});
  // The spooler answers from its own state at once; one that hangs says nothing.
  if (!p.waitForFinished(5000)) {
    p.kill();
    p.waitForFinished();
    return {};
  }
  return QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'));
}

class SystemQueues : public PrinterQueues {
 public:
  QStringList names() override { return QPrinterInfo::availablePrinterNames(); }
  bool accepting(const QString& name) override {
    for (const QString& line : lpstat_lines(QStringLiteral("-a"), name)) {
      if (!line.startsWith(name + QLatin1Char(' '))) continue;
      return !line.mid(name.size() + 1).startsWith(QLatin1String("not accepting"));
    }
    return true;
  }
  bool paused(const QString& name) override {
    const QString head = QStringLiteral("printer ") + name + QLatin1Char(' ');
    for (const QString& line : lpstat_lines(QStringLiteral("-p"), name)) {
      if (line.startsWith(head)) return line.mid(head.size()).startsWith(QLatin1String("disabled"));
    }
    return false;
  }
};

PrinterQueues*& queues_in_use() {
  static PrinterQueues* q = nullptr;
  return q;
}

}  // namespace

PrinterQueues& printer_queues() {
  static SystemQueues system;
  PrinterQueues* q = queues_in_use();
  return q ? *q : system;
}

void set_printer_queues(PrinterQueues* queues) { queues_in_use() = queues; }

QStringList installed_printers() { return printer_queues().names(); }

// ---- SessionPrinterCanvas ----

SessionPrinterCanvas::SessionPrinterCanvas(QPrinter* printer, bool one_file)
    : PrinterCanvas(printer), printer_(printer), one_file_(one_file) {}

SessionPrinterCanvas::~SessionPrinterCanvas() { finish(); }

void SessionPrinterCanvas::apply_settings() {
  const PrinterSettings& s = current_printer();
  QPageLayout layout = printer_->pageLayout();
  if (auto size = page_size_for_code(s.paper_code)) layout.setPageSize(*size, one_file_ ? QMarginsF() : layout.minimumMargins());
  layout.setOrientation(s.orientation == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  if (one_file_) layout.setMargins(QMarginsF(0, 0, 0, 0));
  printer_->setPageLayout(layout);  // a printer that refuses keeps its layout
}

QPainter* SessionPrinterCanvas::painter() {
  if (failed()) return nullptr;
  if (break_pending_) {
    break_pending_ = false;
    apply_settings();
    PrinterCanvas::dev_new_page();
    drawing_on_sheet_ = false;
  }
  const bool starting = !job_open_;
  if (starting) {
    apply_settings();
    printer_->setResolution(resolution_for_quality(current_printer().quality));
  }
  QPainter* p = PrinterCanvas::painter();
  if (!p) return nullptr;
  if (starting) {
    job_open_ = true;
    // Zoom in percent; a zoom the printer could not take (0, typed nonsense) prints 1:1.
    const int zoom = current_printer().zoom;
    if (zoom >= 10 && zoom <= 400 && zoom != 100) p->scale(zoom / 100.0, zoom / 100.0);
  }
  if (!drawing_on_sheet_) {
    drawing_on_sheet_ = true;
    job_has_drawing_ = true;
    ++sheets_;
  }
  return p;
}

void SessionPrinterCanvas::dev_new_page() {
  if (drawing_on_sheet_) break_pending_ = true;
}

void SessionPrinterCanvas::dev_end_doc() {
  if (job_has_drawing_) ++jobs_;
  job_has_drawing_ = false;
  if (one_file_) {
    // The next job continues the same file on a fresh sheet.
    if (drawing_on_sheet_) break_pending_ = true;
    return;
  }
  break_pending_ = false;
  drawing_on_sheet_ = false;
  job_open_ = false;
  PrinterCanvas::dev_end_doc();
}

void SessionPrinterCanvas::finish() {
  if (job_has_drawing_) ++jobs_;
  job_has_drawing_ = false;
  break_pending_ = false;
  drawing_on_sheet_ = false;
  job_open_ = false;
  PrinterCanvas::dev_end_doc();
}

// ---- PrintSession ----

bool& PrintSession::force_pdf() {
  static bool force = false;
  return force;
}

std::string& PrintSession::pdf_folder() {
  static std::string folder;
  return folder;
}

std::unique_ptr<PrintSession> PrintSession::open(QWidget*, const PrintName& name) {
  std::unique_ptr<PrintSession> s(new PrintSession);
  const QStringList printers = installed_printers();
  const PrinterSettings& cur = current_printer();
  if (!force_pdf() && !printers.isEmpty()) {
    // The printer the user chose, or none: never another one in its place.
    const QString chosen = QString::fromStdString(cur.device_name);
    if (!chosen.isEmpty() && !printers.contains(chosen)) {
      services().messages->show(printer_gone_message(cur.device_name), kPrintTitle, MsgButtons::Ok, MsgIcon::Warning);
      return nullptr;
    }
    // Nothing chosen yet (no confirmed dialog): the printing system's default printer.
    const QPrinterInfo info = chosen.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(chosen);
    const QString device = info.isNull() ? chosen : info.printerName();
    if (!device.isEmpty() && !printer_queues().accepting(device)) {
      services().messages->show(printer_refuses_message(device.toStdString()), kPrintTitle, MsgButtons::Ok,
                                MsgIcon::Warning);
      return nullptr;
    }
    if (!device.isEmpty() && printer_queues().paused(device)) s->paused_printer_ = device;
    s->qprinter_ = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                 : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (info.isNull() && !device.isEmpty()) s->qprinter_->setPrinterName(device);
  } else {
    FileDialogRequest req;
    req.title = "打印到PDF文件";
    req.filter = "PDF 文件|*.pdf";
    req.initial_dir = pdf_folder().empty()
                          ? (QCoreApplication::applicationDirPath() + QStringLiteral("/report")).toStdString()
                          : pdf_folder();
    req.file_name = proposed_pdf_name(u8path(req.initial_dir), name.well, name.report);
    req.default_ext = "pdf";
    std::string path = services().files ? services().files->save_file(req) : std::string();
    if (path.empty()) return nullptr;
    QString qpath = QString::fromStdString(path);
    if (QFileInfo(qpath).suffix().isEmpty()) qpath += ".pdf";
    s->pdf_path_ = qpath;
    s->pdf_out_ = std::make_unique<PdfOutput>();
    if (!s->pdf_out_->begin(u8path(qpath.toStdString()))) {
      services().messages->show(pdf_not_written_text(qpath.toStdString(), s->pdf_out_->cause()), kPrintTitle,
                                MsgButtons::Ok, MsgIcon::Warning);
      return nullptr;
    }
    s->qprinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    s->qprinter_->setOutputFormat(QPrinter::PdfFormat);
    s->qprinter_->setOutputFileName(QString::fromStdString(path_text(s->pdf_out_->temp())));
  }
  s->qprinter_->setDocName(QString::fromStdString(print_job_name(name.well, name.report)));
  s->canvas_ = std::make_unique<SessionPrinterCanvas>(s->qprinter_.get(), s->to_pdf());
  return s;
}

PrintSession::~PrintSession() { std::ignore = finish(); }  // a caller that wanted the outcome asked first

bool PrintSession::finish() {
  if (finished_) return error_.empty();
  finished_ = true;
  if (!canvas_) return true;  // never opened
  canvas_->finish();
  if (!pdf_out_) return true;
  // Nothing drawn: the writer never opened the file, and no PDF is made.
  if (canvas_->sheets() == 0) {
    pdf_out_->discard();
    return true;
  }
  if (!pdf_out_->commit()) error_ = pdf_not_written_text(pdf_path_.toStdString(), pdf_out_->cause());
  return error_.empty();
}

}  // namespace wb
