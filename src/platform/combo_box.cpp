#include "platform/combo_box.h"

#include <QComboBox>
#include <QLineEdit>

namespace wb {

void choose_from_list_only(QComboBox* box) {
  if (box && box->lineEdit()) QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
}

}  // namespace wb
