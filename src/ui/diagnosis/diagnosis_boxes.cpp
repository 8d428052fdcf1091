#include "ui/diagnosis/diagnosis_boxes.h"

#include <QKeyEvent>

namespace wb {

void DiagBox::keyPressEvent(QKeyEvent* e) {
  const int key = e->key();
  emit key_down(key);
  // Up, Down and Enter only move between boxes.
  if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) return;
  QLineEdit::keyPressEvent(e);
}

void DiagBox::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  emit got_focus();
}

void DiagBox::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  emit lost_focus();
}

void DiagAdviceBox::keyPressEvent(QKeyEvent* e) {
  emit key_down(e->key());
  QPlainTextEdit::keyPressEvent(e);
}

void DiagAdviceBox::focusInEvent(QFocusEvent* e) {
  QPlainTextEdit::focusInEvent(e);
  emit got_focus();
}

void DiagAdviceBox::focusOutEvent(QFocusEvent* e) {
  QPlainTextEdit::focusOutEvent(e);
  emit lost_focus();
}

}  // namespace wb
