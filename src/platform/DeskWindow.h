#pragma once

#include <Qt>

class QWidget;

// A window that lives on the desktop beside the user's other programs, as a note
// does: an ordinary top-level window without a frame, with no entry in the task
// bar, the pager or the window switcher, never marked as demanding attention.
//
// Window managers read window types differently: KDE's hides utility windows while
// another program is active, and marks a window that was mapped without the focus
// as demanding attention; openbox and xfwm4 leave utility windows out of the task
// bar by themselves, KDE does not. So the window is of the ordinary type, and the
// states are set explicitly, as every window manager reads them alike.
namespace DeskWindow {

inline constexpr Qt::WindowFlags kFlags = Qt::Window | Qt::FramelessWindowHint;

// To be called before the window is shown, each time: a window manager forgets a
// window's states when it is hidden. Nothing happens outside X11.
void prepareToShow(QWidget& window);

} // namespace DeskWindow
