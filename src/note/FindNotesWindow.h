#pragma once

#include <QWidget>

struct AppState;
class NoteWindow;
class QLineEdit;
class QListWidget;

// What a text is compared as when the user looks for a note: the differences a
// Japanese reader does not count are folded away (full-width and half-width forms,
// upper and lower case, katakana and hiragana).
QString FoldForSearch(const QString& text);

// The live notes, hidden ones too, whose text holds what was typed, in slot order.
QList<NoteWindow*> FindNotes(const AppState& state, const QString& typed);

// 付箋紙を探す: as the user types, the notes whose text holds it, each with its colour
// and first line; choosing one shows it (a hidden one for good, saved as shown) and
// brings it forward. One window, brought forward when opened again.
class FindNotesWindow : public QWidget {
    Q_OBJECT

public:
    explicit FindNotesWindow(AppState& state);

    void showFinder();

    QLineEdit* searchField() const { return m_searchField; }
    QListWidget* list() const { return m_list; }

private:
    void search();
    void showChosen();

    AppState& m_state;
    QLineEdit* m_searchField = nullptr;
    QListWidget* m_list = nullptr;
};
