// The program's printer: the current printer settings (core current_printer(): device,
// quality, paper-size code, zoom, orientation) applied to a QPrinter, and a print session
// that page procedures draw on.
//
// With a printer installed every job (each end_doc) goes to that printer as its own job.
// With none installed the user names a PDF file once per session and every job of the
// session goes into that one file, sheet after sheet. Settings are applied whenever a
// sheet starts, so a caller that sets paper or orientation before a copy gets them.
#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "core/printing/pdf_output.h"
#include "core/printing/print_state.h"
#include "platform/qt_canvas.h"

class QWidget;

namespace wb {

// Page size of a paper code (8 A3, 9 A4, 12 B4 250 x 354 mm, 13 B5 182 x 257 mm, 39 US
// fan-fold); empty for another code.
std::optional<QPageSize> page_size_for_code(std::int16_t code);
// Resolution used for a print quality (-4 high … -1 draft), dots per inch.
int resolution_for_quality(std::int16_t quality);

// The printing system's queues as the program asks for them. The program's own answers
// them from Qt and the local spooler; window tests put a fake in place, so they never
// depend on a spooler being installed.
class PrinterQueues {
 public:
  virtual ~PrinterQueues() = default;
  // Installed printers by device name, in the platform's order.
  virtual QStringList names() = 0;
  // Whether the queue takes jobs now: false when the spooler says it refuses them (a queue
  // stopped for new jobs). A spooler that cannot be asked counts as taking them.
  virtual bool accepting(const QString& name) = 0;
  // Whether the queue is paused: it takes jobs but holds them until the printer is resumed.
  // A spooler that cannot be asked counts as not paused.
  virtual bool paused(const QString& name) = 0;
};

// The queues in use: the system's unless a test replaced them (nullptr puts them back).
PrinterQueues& printer_queues();
void set_printer_queues(PrinterQueues* queues);

// Installed printers by device name, in the platform's order.
QStringList installed_printers();

// A printer canvas whose sheets start only when something is drawn: a page break (or, in
// one-file mode, the end of a job) is held back until the next drawing and then starts a
// sheet with the current printer settings.
class SessionPrinterCanvas : public PrinterCanvas {
 public:
  // one_file: the jobs of the session share one output (a PDF file); end_doc then only
  // ends a sheet and finish() ends the file.
  SessionPrinterCanvas(QPrinter* printer, bool one_file);
  ~SessionPrinterCanvas() override;
  void finish();
  int sheets() const { return sheets_; }
  // Jobs that printed something (each end_doc after drawing; the open one at finish()).
  int jobs() const { return jobs_; }

 protected:
  QPainter* painter() override;
  void dev_new_page() override;
  void dev_end_doc() override;

 private:
  void apply_settings();
  QPrinter* printer_;
  bool one_file_;
  bool drawing_on_sheet_ = false;
  bool break_pending_ = false;
  bool job_open_ = false;
  bool job_has_drawing_ = false;
  int sheets_ = 0;
  int jobs_ = 0;
};

// What is printed, for the PDF file's proposed name "<well>_<report>.pdf".
struct PrintName {
  std::string well;    // empty when the pages hold several wells
  std::string report;  // e.g. "系统效率报表"
};

class PrintSession {
 public:
  // Opens the printer the user chose for a confirmed request. A chosen printer that is no
  // longer installed, or whose queue refuses jobs, is said by name and gives no session:
  // the job never goes to another printer. Without an installed printer the user is asked
  // for a PDF file through the file-dialog service, proposed by `name` and unique in the
  // PDF folder; empty when the user declines. Every job carries `name` as its job name.
  static std::unique_ptr<PrintSession> open(QWidget* parent = nullptr, const PrintName& name = {});
  ~PrintSession();

  // The system printer as page procedures see it.
  Canvas& printer() { return *canvas_; }
  // Ends what is still open (the last job, the PDF file). The PDF is written beside its
  // name and renamed onto it when whole (PdfOutput); false when it could not be, with
  // error() the message that names the file and the cause (nothing is left of it).
  bool finish();
  const std::string& error() const { return error_; }
  bool to_pdf() const { return !pdf_path_.isEmpty(); }
  const QString& pdf_path() const { return pdf_path_; }
  int sheets() const { return canvas_->sheets(); }
  bool failed() const { return canvas_->failed(); }
  // The name the printing system lists the session's jobs by (a PDF file's title).
  QString job_name() const { return qprinter_->docName(); }
  // The chosen printer when its queue was paused at opening (the jobs wait in it); empty
  // otherwise.
  const QString& paused_printer() const { return paused_printer_; }

  // For tests and machines whose printers are not to be used: print to PDF even when a
  // printer is installed.
  static bool& force_pdf();
  // The folder the PDF file is first proposed in: the program folder's report folder,
  // which the main window sets at load (before that, "report" beside the executable).
  static std::string& pdf_folder();

 private:
  PrintSession() = default;
  std::unique_ptr<QPrinter> qprinter_;
  std::unique_ptr<SessionPrinterCanvas> canvas_;
  QString pdf_path_;
  QString paused_printer_;
  std::unique_ptr<PdfOutput> pdf_out_;
  bool finished_ = false;
  std::string error_;
};

}  // namespace wb
