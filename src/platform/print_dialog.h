// The print-settings dialog "打印对话框" that every printing window shares, and the print
// protocol its callers follow: set Print_State to -1, show the dialog without blocking,
// preset it, disable the calling window and wait in the event loop until the dialog is
// hidden, enable the caller again, and unless cancelled print Print_Copies copies.
//
// The dialog is created on first use and afterwards only hidden, so its choices carry over
// from one request to the next, also between windows; its printer list is read again each
// time it opens, keeping the printer shown while it is still installed. Each time it opens it
// is made a window of the caller's window (its parent on the desktop), so it stays above it. OK applies its choices to
// the current printer (core current_printer()) and sets Print_Copies; Cancel, Esc and the
// window's close button set Print_State to 2 and change nothing.
#pragma once

#include <QDialog>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/common/canvas.h"
#include "core/printing/print_state.h"
#include "platform/system_printer.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace wb {

class PrintDlg : public QDialog {
  Q_OBJECT
 public:
  // The one dialog of the program, created (and loaded) on first use.
  static PrintDlg& instance();
  // True once the dialog has been created (tests use it to start from a fresh one).
  static bool exists();
  // Deletes the dialog; the next instance() creates and loads it afresh.
  static void destroy();

  // Controls, named as the dialog's design has them.
  QLabel* Label1 = nullptr;     // "打印机"
  QComboBox* Combo1 = nullptr;  // printer
  QGroupBox* Frame1 = nullptr;  // "纸张类型"
  QComboBox* Combo3 = nullptr;  // paper
  QRadioButton* Option2 = nullptr;  // "纵向"
  QRadioButton* Option1 = nullptr;  // "横向"
  QLabel* Label3 = nullptr;     // "打印质量"
  QComboBox* Combo2 = nullptr;  // quality
  QLabel* Label2 = nullptr;     // "缩放比例"
  QLineEdit* Text1 = nullptr;   // zoom
  QLabel* Label4 = nullptr;     // "%"
  QLabel* Label5 = nullptr;     // "打印份数"
  QLineEdit* Text2 = nullptr;   // copies
  QScrollBar* VScroll1 = nullptr;
  QPushButton* Command1 = nullptr;  // "确定"
  QPushButton* Command2 = nullptr;  // "取消"

  // The controls as data, and back.
  PrintDlgState state() const;
  void set_state(const PrintDlgState& s);

  void Form_Load();
  // Reads the installed printers again: the printer shown stays while it is still listed,
  // else the box shows what it shows at load.
  void refresh_printers();
  // Makes `owner` (a window, or nullptr) the dialog's parent window on the desktop, which a
  // window manager keeps the dialog above; owner_window() is that window.
  void set_owner_window(QWidget* owner);
  QWidget* owner_window() const;
  void Command1_Click();  // OK
  void Command2_Click();  // Cancel
  void Text2_Change();
  void VScroll1_Change();

  // Caller presets: refill the paper box, set its text to item `i` (when the list has one),
  // enable or disable it.
  void set_paper_items(const std::vector<std::string>& items);
  void set_paper_item(std::size_t i);
  std::string paper_text() const;
  std::optional<std::string> paper_item(std::size_t i) const;

 signals:
  void hidden();

 protected:
  void hideEvent(QHideEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  explicit PrintDlg(QWidget* parent = nullptr);
  void build_ui();
};

// What a caller presets before it waits.
struct PrintPresets {
  std::optional<std::vector<std::string>> paper_items;  // refill the paper box first
  std::size_t paper_item = 1;                           // its text: this item of the list
  std::optional<bool> paper_enabled;                    // enable or disable the paper box
  bool landscape = false;                               // select "横向" instead of "纵向"
  PrintName name;                                       // proposes the PDF file's name
};

// The paper lists the callers put into the paper box.
std::vector<std::string> standard_paper_items();  // A3, A4, B4, B5
std::vector<std::string> card_paper_items();      // A4, "宽行打印纸(381)"

// Steps 2 to 7 of the protocol. Returns true when the user confirmed (Print_State is not 2
// afterwards); Print_Copies then holds the copies asked for.
bool run_print_dialog(QWidget* caller, const PrintPresets& presets);

// The printing of one copy: the page procedure on the printer; each call is one job, which
// the driver ends after the call whether the procedure ended it or not. Every call starts
// from a fresh drawing state (Canvas::reset_drawing_state), so copy 2 is drawn as copy 1
// was, whatever copy 1 left.
using PrintCopy = std::function<void(Canvas& printer, int copy)>;

// How a printout takes its copies: one call of the page procedure per copy, or one call that
// lays out all Print_Copies copies on its sheets itself (single cards, several to a sheet).
enum class CopyCalls { EachCopy, Once };

// The driver's loop on an open printer: `calls` calls of the page procedure, each from a
// fresh drawing state and each ended as a job (Canvas::end_doc) after it. A call that throws
// has its job ended and stops the loop: false.
bool print_calls(Canvas& printer, int calls, const PrintCopy& print_copy);

// The print driver every printout goes through: prints Print_Copies copies (none when 0 or
// negative) through one print session. Returns the number of copies printed; 0 also when
// the user declined to name a PDF file, when the chosen printer is gone or refuses jobs
// (said by PrintSession::open), and when the printing failed (said with
// kPrintFailedText of core/common/messages.h). A procedure that throws ends its job and stops the printing.
int print_copies(QWidget* parent, const PrintCopy& print_copy, const PrintName& name = {},
                 CopyCalls calls = CopyCalls::EachCopy);

// One job outside the dialog (a page printed at once, whatever the copies asked for last),
// through the same driver; true when it printed.
bool print_once(QWidget* parent, const PrintCopy& print_page, const PrintName& name);

// The whole protocol: run_print_dialog, then print_copies unless cancelled.
int print_protocol(QWidget* caller, const PrintPresets& presets, const PrintCopy& print_copy,
                   CopyCalls calls = CopyCalls::EachCopy);

}  // namespace wb
