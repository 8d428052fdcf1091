// The input boxes of the diagnosis window: a single-line box and the multi-line advice box,
// both reporting every key before they act on it (the window's key rules need the key-down
// of Up, Down and Enter, and marks the record changed on any other key) and their focus.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

namespace wb {

class DiagBox : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;

 signals:
  void key_down(int key);
  void got_focus();
  void lost_focus();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
};

// Enter starts a new line here, as in any multi-line box.
class DiagAdviceBox : public QPlainTextEdit {
  Q_OBJECT
 public:
  using QPlainTextEdit::QPlainTextEdit;

 signals:
  void key_down(int key);
  void got_focus();
  void lost_focus();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
};

}  // namespace wb
