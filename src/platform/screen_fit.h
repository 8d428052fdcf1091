// Windows on small screens. A window is laid out for the screens the program was drawn for;
// on a laptop, or at a display scale of 150 %, its layout may need more room than the screen
// has. Such a window shows its content in a scroll area and opens no larger than the screen's
// available area, so no control is ever out of reach. A window that has room is left exactly
// as it was built (same widgets, same size), so its pictures keep their pixels.
#pragma once

#include <QSize>

class QWidget;

namespace wb {

// Room a window's title bar and frame take around its client area.
inline constexpr QSize kWindowFrameAllowance(16, 40);

// Call at the end of a top-level window's constructor, once its size is set. When the window's
// size or its layout's minimum does not fit the available area of its screen (less the frame
// allowance), its content — a main window's central widget, the widgets of its layout, or its
// placed child widgets — moves into a frameless scroll area that resizes it, and the window is
// capped to that area. Returns true when it did so.
bool fit_to_screen(QWidget* window);

// For a window that lays itself out at any size (its content scrolls on its own): caps its
// size to the available area of the screen the user works on (that of the active window)
// and places it, frame included, in the middle of that area, so that no window manager's
// placement leaves part of it off the screen.
void centre_on_screen(QWidget* window);

}  // namespace wb
