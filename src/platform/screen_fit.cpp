#include "platform/screen_fit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace wb {

namespace {

QScrollArea* new_scroll_area(QWidget* parent) {
  auto* area = new QScrollArea(parent);
  area->setObjectName(QStringLiteral("screen_fit_scroll"));
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  return area;
}

// The window's own child widgets (not its windows or menus) moved into `inner` where they stood.
void move_children(QWidget* window, QWidget* inner) {
  const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* c : children) {
    if (c == inner || c->isWindow()) continue;
    const bool shown = !c->isHidden();
    const QRect g = c->geometry();
    c->setParent(inner);
    c->setGeometry(g);
    c->setVisible(shown);
  }
}

}  // namespace

bool fit_to_screen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return false;
  const QRect avail = screen->availableGeometry();
  const QSize room = (avail.size() - kWindowFrameAllowance).expandedTo(QSize(200, 150));
  const QSize needed = window->size().expandedTo(window->minimumSizeHint());
  if (needed.width() <= room.width() && needed.height() <= room.height()) return false;

  const QSize wanted = window->size();
  auto* main = qobject_cast<QMainWindow*>(window);
  if (main && main->centralWidget()) {
    QWidget* content = main->takeCentralWidget();
    QScrollArea* area = new_scroll_area(main);
    area->setWidget(content);
    main->setCentralWidget(area);
  } else {
    auto* inner = new QWidget;
    inner->setObjectName(QStringLiteral("screen_fit_content"));
    if (QLayout* l = window->layout()) {
      inner->setLayout(l);  // takes the layout, and its widgets, off the window
    } else {
      // Placed children: the content keeps the client area they were placed in.
      inner->setMinimumSize(wanted);
      inner->resize(wanted);
      move_children(window, inner);
    }
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    QScrollArea* area = new_scroll_area(window);
    area->setWidget(inner);
    outer->addWidget(area);
  }
  window->setMinimumSize(0, 0);
  // Room for the scroll bar a too-tall window shows, so that a window only too tall does not
  // scroll sideways as well (and the same the other way round), where the screen has it.
  QSize target = wanted;
  const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, window);
  if (needed.height() > room.height()) target.rwidth() += bar;
  if (needed.width() > room.width()) target.rheight() += bar;
  window->resize(target.boundedTo(room));
  if (window->testAttribute(Qt::WA_Moved)) {
    // A window placed by its constructor stays on the available area.
    const int x = std::clamp(window->x(), avail.left(), std::max(avail.left(), avail.right() + 1 - window->width() -
                                                                                   kWindowFrameAllowance.width()));
    const int y = std::clamp(window->y(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - window->height() -
                                                                                  kWindowFrameAllowance.height()));
    window->move(x, y);
  }
  return true;
}

void centre_on_screen(QWidget* window) {
  const QWidget* active = QApplication::activeWindow();
  QScreen* screen = active && active != window ? active->screen() : window->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect avail = screen->availableGeometry();
  const QSize room = (avail.size() - kWindowFrameAllowance).expandedTo(QSize(200, 150));
  window->resize(window->size().boundedTo(room));
  QRect frame(QPoint(0, 0), window->size() + kWindowFrameAllowance);
  frame.moveCenter(avail.center());
  window->move(std::max(frame.left(), avail.left()), std::max(frame.top(), avail.top()));
}

}  // namespace wb
