#pragma once

#include "store/PeeledNotes.h"

#include <QWidget>

struct AppState;
class QFileSystemWatcher;
class QListWidget;
class QPushButton;
class QTextBrowser;

// はがした付箋紙: the notes peeled lately, newest first, each with its colour, when it
// was written and peeled, and its first line; the chosen one is shown as it looked.
// 元に戻す puts the chosen notes back on the desktop whole; 完全に削除 removes them
// for good after a question. The list follows the file (a note peeled meanwhile
// comes in, the oldest may go), and the buttons act on the notes chosen, wherever
// they are in the file by then. One window, brought forward when opened again.
class PeeledNotesWindow : public QWidget {
    Q_OBJECT

public:
    explicit PeeledNotesWindow(AppState& state);

    // Reads the peeled notes again and shows the window.
    void showPeeledNotes();

    QListWidget* list() const { return m_list; }
    QTextBrowser* preview() const { return m_preview; }
    QPushButton* restoreButton() const { return m_restoreButton; }
    QPushButton* deleteButton() const { return m_deleteButton; }

private:
    // Reads the file again; the notes chosen stay chosen.
    void refresh();
    void refreshWhenChanged();
    void showChosen();
    QList<PeeledNote> chosen() const;
    void restoreChosen();
    void deleteChosen();

    AppState& m_state;
    QList<PeeledNote> m_notes; // as in the file, oldest first
    QFileSystemWatcher* m_watcher;
    std::pair<QDateTime, qint64> m_read; // the file's modification time and size when it was read
    QListWidget* m_list = nullptr;
    QTextBrowser* m_preview = nullptr;
    QPushButton* m_restoreButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
};
