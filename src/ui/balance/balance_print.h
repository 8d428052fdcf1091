// The balance report selection "平衡分析打印": print the counterbalance window's current test,
// or the balance records marked "▲" in the list of the library, two reports to a page.
#pragma once

#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <vector>

#include "platform/grid.h"

namespace wb {

class BalanceAnalysis;

inline constexpr const char* kBalanceNoMarkText = "请在主库网格中双击左键选定您需要打印的平衡分析报告！！";
inline constexpr const char* kBalanceNoMarkTitle = "没有选定";

class BalancePrint : public QWidget {
  Q_OBJECT
 public:
  BalancePrint(BalanceAnalysis& owner, QWidget* parent = nullptr);

  QRadioButton* Option1 = nullptr;  // "打印当前井"
  QRadioButton* Option2 = nullptr;  // "按下面选定井打印"
  Grid* Grid1 = nullptr;
  QPushButton* Command1 = nullptr;  // "确 定"
  QPushButton* Command2 = nullptr;  // "取 消"

  void Option1_Click();
  void Option2_Click();
  void Grid1_DblClick();
  void Grid1_KeyPress(int key);
  void Grid1_MouseDown(Qt::MouseButton button);
  void Command1_Click();
  // The record numbers of the marked rows, in list order.
  std::vector<int> marked_rows() const;

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  void toggle(int row);
  BalanceAnalysis& owner_;
};

}  // namespace wb
