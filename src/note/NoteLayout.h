#pragma once

#include <QFont>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

struct AppState;
class NoteWindow;
class QWidget;

// A font by the name a note uses, shown in an installed face of the same kind
// when this system lacks it ("ＭＳ ゴシック" in a Japanese gothic face).
QFont NoteFont(const QString& name, qreal points);

// Sets the text box's height to the height of its text plus a 3-D edge and, with
// resizeWindow, the window's height to that plus 100 twips; then centres the text
// vertically inside the text box. Each line counts as high as "漢字" in the largest font
// found at its caret positions. Leaves the caret at the end of the text.
void FitNoteToContent(AppState& state, NoteWindow& window, bool resizeWindow);

// The text box and the mouse surface over the whole window.
void StretchTextBox(NoteWindow& window);
void StretchMouseSurface(NoteWindow& window);

// Where a window stands so that a screen shows it: where it is when it meets one of
// the screens' areas, else wholly on the nearest one.
QPoint PlaceOnAScreen(const QRect& window, const QList<QRect>& screens);

// Shows a live, visible note, centring it on the screen first when it has not
// been placed yet, and bringing it onto the nearest screen when none shows it.
// Does not save.
void ShowNote(NoteWindow& window);

// A note whose place no screen shows is shown on the nearest screen, and keeps
// its place for the data file; when a screen shows that place again, the note goes
// back to it.
void KeepOnScreens(NoteWindow& window);
// The same for every visible note, after the screens changed.
void KeepNotesOnScreens(const AppState& state);

// Brings a window of the program to the front, taking the focus from another
// program when one has it.
void ForceForeground(QWidget& window);

// ForceForeground for each window in turn, with the end result of doing so: every
// one raised in the order given, the last in the foreground. Activation is asked
// for once, as one request per window floods a desktop full of notes with
// activation events for seconds.
void ForceForegroundInOrder(const QList<QWidget*>& windows);
