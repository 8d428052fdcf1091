#include "platform/print_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWindow>

#include "core/common/registry.h"
#include "platform/qt_text.h"
#include "platform/services_qt.h"
#include "platform/system_printer.h"
#include "core/common/messages.h"

namespace wb {
namespace {

QPointer<PrintDlg>& dialog_ptr() {
  static QPointer<PrintDlg> dlg;
  return dlg;
}

void delete_dialog_at_exit() { PrintDlg::destroy(); }

// The dialog's boxes take typed text without adding it to their lists: a typed paper or
// printer name is only compared with the items when the user confirms.
void make_editable(QComboBox* box) {
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
}

void fill_combo(QComboBox* box, const std::vector<std::string>& items) {
  box->clear();
  for (const std::string& s : items) box->addItem(qs(s));
}

std::vector<std::string> combo_items(const QComboBox* box) {
  std::vector<std::string> out;
  for (int i = 0; i < box->count(); ++i) out.push_back(box->itemText(i).toStdString());
  return out;
}

const char* kGreyBox = "background-color: #E0E0E0;";

}  // namespace

// ---- the dialog ----

PrintDlg& PrintDlg::instance() {
  QPointer<PrintDlg>& p = dialog_ptr();
  if (!p) {
    static bool cleanup = false;
    if (!cleanup) {
      cleanup = true;
      qAddPostRoutine(delete_dialog_at_exit);
    }
    p = new PrintDlg();
    p->Form_Load();
  }
  return *p;
}

bool PrintDlg::exists() { return !dialog_ptr().isNull(); }

void PrintDlg::destroy() {
  QPointer<PrintDlg>& p = dialog_ptr();
  delete p.data();
  p = nullptr;
}

PrintDlg::PrintDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(kPrintDlgCaption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  build_ui();
}

void PrintDlg::build_ui() {
  auto* grid = new QGridLayout(this);

  Label1 = new QLabel(QStringLiteral("打印机"), this);
  Combo1 = new QComboBox(this);
  make_editable(Combo1);
  Combo1->setStyleSheet(kGreyBox);
  Combo1->setMinimumWidth(220);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(Combo1, 0, 1, 1, 3);

  Frame1 = new QGroupBox(QStringLiteral("纸张类型"), this);
  auto* paper = new QVBoxLayout(Frame1);
  Combo3 = new QComboBox(Frame1);
  make_editable(Combo3);
  Combo3->setStyleSheet(kGreyBox);
  Combo3->setMinimumWidth(180);  // room for "A4, 210 x 297 毫米"
  paper->addWidget(Combo3);
  auto* orient = new QHBoxLayout();
  Option2 = new QRadioButton(QStringLiteral("纵向"), Frame1);
  Option1 = new QRadioButton(QStringLiteral("横向"), Frame1);
  Option2->setChecked(true);
  orient->addWidget(Option2);
  orient->addWidget(Option1);
  paper->addLayout(orient);
  grid->addWidget(Frame1, 1, 0, 3, 2);

  Label3 = new QLabel(QStringLiteral("打印质量"), this);
  Combo2 = new QComboBox(this);
  make_editable(Combo2);
  grid->addWidget(Label3, 1, 2);
  grid->addWidget(Combo2, 1, 3);

  Label2 = new QLabel(QStringLiteral("缩放比例"), this);
  Text1 = new QLineEdit(QStringLiteral("100"), this);
  Label4 = new QLabel(QStringLiteral("%"), this);
  auto* zoom = new QHBoxLayout();
  zoom->addWidget(Text1);
  zoom->addWidget(Label4);
  grid->addWidget(Label2, 2, 2);
  grid->addLayout(zoom, 2, 3);

  Label5 = new QLabel(QStringLiteral("打印份数"), this);
  Text2 = new QLineEdit(QStringLiteral("1"), this);
  Text2->setStyleSheet(kGreyBox);
  VScroll1 = new QScrollBar(Qt::Vertical, this);
  VScroll1->setRange(0, kCopiesSpinMax);
  VScroll1->setSingleStep(1);
  VScroll1->setPageStep(1);
  VScroll1->setValue(0);
  VScroll1->setFixedHeight(Text2->sizeHint().height());
  auto* copies = new QHBoxLayout();
  copies->addWidget(Text2);
  copies->addWidget(VScroll1);
  grid->addWidget(Label5, 3, 2);
  grid->addLayout(copies, 3, 3);

  Command1 = new QPushButton(QStringLiteral("确定"), this);
  Command2 = new QPushButton(QStringLiteral("取消"), this);
  Command1->setDefault(true);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch();
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);
  grid->addLayout(buttons, 4, 0, 1, 4);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
  connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });

  // A fixed-size dialog without minimise and maximise buttons.
  grid->setSizeConstraint(QLayout::SetFixedSize);
}

// The printer box shows the printing system's default printer (the program's start-up
// answers the registry stand-in from it, install_default_printer_source), else the first
// installed one; with no printer at all it says that the pages go to a PDF file.
void PrintDlg::Form_Load() {
  PrintDlgState s = state();
  std::vector<std::string> printers;
  for (const QString& n : installed_printers()) printers.push_back(n.toStdString());
  print_dlg_load(s, printers,
                 printer_box_text(printers, Get_Reg_String(HKEY_LOCAL_MACHINE, kPrinterKeyPath, "Default", "")));
  set_state(s);
}

PrintDlgState PrintDlg::state() const {
  PrintDlgState s;
  s.combo1_items = combo_items(Combo1);
  s.combo1_text = Combo1->currentText().toStdString();
  s.combo2_items = combo_items(Combo2);
  s.combo2_text = Combo2->currentText().toStdString();
  s.combo3_items = combo_items(Combo3);
  s.combo3_text = Combo3->currentText().toStdString();
  s.combo3_enabled = Combo3->isEnabled();
  s.option1 = Option1->isChecked();
  s.text1 = Text1->text().toStdString();
  s.text2 = Text2->text().toStdString();
  s.vscroll1 = VScroll1->value();
  return s;
}

void PrintDlg::set_state(const PrintDlgState& s) {
  fill_combo(Combo1, s.combo1_items);
  Combo1->setCurrentText(qs(s.combo1_text));
  fill_combo(Combo2, s.combo2_items);
  Combo2->setCurrentText(qs(s.combo2_text));
  fill_combo(Combo3, s.combo3_items);
  Combo3->setCurrentText(qs(s.combo3_text));
  Combo3->setEnabled(s.combo3_enabled);
  (s.option1 ? Option1 : Option2)->setChecked(true);
  Text1->setText(qs(s.text1));
  Text2->setText(qs(s.text2));
}

void PrintDlg::set_owner_window(QWidget* owner) {
  winId();  // the dialog's window on the desktop exists from here on
  QWindow* parent_window = nullptr;
  if (owner) {
    owner->winId();
    parent_window = owner->windowHandle();
  }
  windowHandle()->setTransientParent(parent_window);
}

QWidget* PrintDlg::owner_window() const {
  const QWindow* parent_window = windowHandle() ? windowHandle()->transientParent() : nullptr;
  if (!parent_window) return nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowHandle() == parent_window) return w;
  return nullptr;
}

void PrintDlg::refresh_printers() {
  std::vector<std::string> printers;
  for (const QString& n : installed_printers()) printers.push_back(n.toStdString());
  const std::string text = printer_box_text_again(printers, Combo1->currentText().toStdString(),
                                                  Get_Reg_String(HKEY_LOCAL_MACHINE, kPrinterKeyPath, "Default", ""));
  fill_combo(Combo1, printers);
  Combo1->setCurrentText(qs(text));
}

void PrintDlg::Command1_Click() {
  if (!copies_from_text(Text2->text().toStdString())) {
    // The dialog stays open on the box to correct.
    services().messages->show(kCopiesRefusedMessage, kPrintDlgCaption, MsgButtons::Ok, MsgIcon::Warning);
    Text2->setFocus();
    Text2->selectAll();
    return;
  }
  hide();
  const PrintDlgState s = state();
  print_dlg_ok(s, current_printer(), Print_Copies);
}

void PrintDlg::Command2_Click() {
  hide();
  print_dlg_cancel(Print_State);
}

// The box and the spin follow each other; a change that leaves the other unchanged stops
// there, so typing "5x" moves the spin to 5 and the box becomes "5" only when the spin moved.
void PrintDlg::Text2_Change() { VScroll1->setValue(copies_spin_for_text(Text2->text().toStdString())); }

void PrintDlg::VScroll1_Change() { Text2->setText(qs(copies_text_for_spin(VScroll1->value()))); }

void PrintDlg::set_paper_items(const std::vector<std::string>& items) { fill_combo(Combo3, items); }

void PrintDlg::set_paper_item(std::size_t i) {
  if (i < static_cast<std::size_t>(Combo3->count())) Combo3->setCurrentText(Combo3->itemText(static_cast<int>(i)));
}

std::string PrintDlg::paper_text() const { return Combo3->currentText().toStdString(); }

std::optional<std::string> PrintDlg::paper_item(std::size_t i) const {
  if (i >= static_cast<std::size_t>(Combo3->count())) return std::nullopt;
  return Combo3->itemText(static_cast<int>(i)).toStdString();
}

void PrintDlg::hideEvent(QHideEvent* e) {
  QDialog::hideEvent(e);
  emit hidden();
}

// The window's close button is Cancel: the dialog is only hidden and nothing is printed.
void PrintDlg::closeEvent(QCloseEvent* e) {
  Command2_Click();
  e->accept();
}

void PrintDlg::reject() { Command2_Click(); }

// ---- the protocol ----

std::vector<std::string> standard_paper_items() { return {kPaperTextA3, kPaperTextA4, kPaperTextB4, kPaperTextB5}; }
std::vector<std::string> card_paper_items() { return {kPaperTextA4, kPaperTextFanfold}; }

bool run_print_dialog(QWidget* caller, const PrintPresets& presets) {
  Print_State = kPrintPending;
  PrintDlg& dlg = PrintDlg::instance();
  // Printers added or removed since the last request show as they are now.
  dlg.refresh_printers();
  // The caller's window is the dialog's parent window on the desktop (its transient parent),
  // so a window manager keeps the dialog above the window it locks. It is not made the
  // dialog's widget parent: the protocol disables the caller, and a disabled widget parent
  // would disable the dialog with it; nor would a closed window take the dialog's choices
  // along.
  dlg.set_owner_window(caller ? caller->window() : nullptr);
  dlg.show();
  dlg.raise();
  dlg.activateWindow();
  if (presets.paper_enabled) dlg.Combo3->setEnabled(*presets.paper_enabled);
  (presets.landscape ? dlg.Option1 : dlg.Option2)->setChecked(true);
  if (presets.paper_items) dlg.set_paper_items(*presets.paper_items);
  dlg.set_paper_item(presets.paper_item);

  QPointer<QWidget> guard(caller);
  if (caller) caller->setEnabled(false);
  if (dlg.isVisible()) {
    QEventLoop loop;
    QObject::connect(&dlg, &PrintDlg::hidden, &loop, &QEventLoop::quit);
    QObject::connect(&dlg, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
  }
  if (guard) {
    guard->setEnabled(true);
    guard->activateWindow();
    guard->setFocus();
    guard->update();
  }
  return Print_State != kPrintCancelled;
}

bool print_calls(Canvas& printer, int calls, const PrintCopy& print_copy) {
  for (int i = 0; i < calls; ++i) {
    printer.reset_drawing_state();
    bool thrown = false;
    try {
      print_copy(printer, i);
    } catch (const std::exception&) {
      thrown = true;
    }
    // The driver ends every call's job, whether the procedure ended it or not (ending an
    // ended job does nothing): a copy left open would be drawn over by the next one.
    printer.end_doc();
    if (thrown) return false;  // what the page drew went out as a job of its own
  }
  return true;
}

namespace {

int run_copies(QWidget* parent, int calls, int copies, const PrintCopy& print_copy, const PrintName& name) {
  if (calls <= 0) return 0;
  std::unique_ptr<PrintSession> session = PrintSession::open(parent, name);
  if (!session) return 0;  // declined, or said why not
  const bool thrown = !print_calls(session->printer(), calls, print_copy);
  if (!session->finish()) {  // a PDF that could not be written whole: its path and the cause
    services().messages->show(session->error(), kPrintTitle, MsgButtons::Ok, MsgIcon::Warning);
    return 0;
  }
  if (thrown || session->failed()) {
    services().messages->show(kPrintFailedText, kPrintTitle, MsgButtons::Ok, MsgIcon::Warning);
    return 0;
  }
  if (!session->paused_printer().isEmpty())  // printed into a queue that holds it
    services().messages->show(printer_paused_message(session->paused_printer().toStdString()), kPrintTitle,
                              MsgButtons::Ok, MsgIcon::Info);
  return copies;
}

}  // namespace

int print_copies(QWidget* parent, const PrintCopy& print_copy, const PrintName& name, CopyCalls calls) {
  const int copies = Print_Copies;
  if (copies <= 0) return 0;
  return run_copies(parent, calls == CopyCalls::EachCopy ? copies : 1, copies, print_copy, name);
}

bool print_once(QWidget* parent, const PrintCopy& print_page, const PrintName& name) {
  return run_copies(parent, 1, 1, print_page, name) == 1;
}

int print_protocol(QWidget* caller, const PrintPresets& presets, const PrintCopy& print_copy, CopyCalls calls) {
  if (!run_print_dialog(caller, presets)) return 0;
  return print_copies(caller, print_copy, presets.name, calls);
}

}  // namespace wb
