#pragma once

#include "app/Settings.h"

#include <QMenu>

// The tray icon's pop-up menu. It only holds the items; the main window connects
// them and sets their check marks, which is why none of the mark groups is
// exclusive: a drag mode outside 1..3 keeps the marks it had.
class TrayMenu : public QMenu {
    Q_OBJECT

public:
    explicit TrayMenu(QWidget* parent = nullptr);

    void applyMarks(const MenuMarks& marks);
    MenuMarks marks() const;

    QAction* newNote() const { return m_newNote; }
    QMenu* startupMenu() const { return m_startupMenu; }
    QAction* registerStartup() const { return m_registerStartup; }
    QAction* removeStartup() const { return m_removeStartup; }
    QMenu* dragMenu() const { return m_dragMenu; }
    QAction* dragCopyLogPeel() const { return m_dragCopyLogPeel; }
    QAction* dragCopyOnly() const { return m_dragCopyOnly; }
    QAction* dragCopyPeel() const { return m_dragCopyPeel; }
    QMenu* dragDataMenu() const { return m_dragDataMenu; }
    QAction* dragRichText() const { return m_dragRichText; }
    QAction* dragPlainText() const { return m_dragPlainText; }
    QAction* networkSettings() const { return m_networkSettings; }
    QAction* showAll() const { return m_showAll; }
    QAction* hideAll() const { return m_hideAll; }
    QAction* showLog() const { return m_showLog; }
    QAction* peeledNotes() const { return m_peeledNotes; }
    QAction* findNotes() const { return m_findNotes; }
    QAction* help() const { return m_help; }
    QAction* version() const { return m_version; }
    QAction* exit() const { return m_exit; }

private:
    QAction* m_newNote = nullptr;
    QMenu* m_startupMenu = nullptr;
    QAction* m_registerStartup = nullptr;
    QAction* m_removeStartup = nullptr;
    QMenu* m_dragMenu = nullptr;
    QAction* m_dragCopyLogPeel = nullptr;
    QAction* m_dragCopyOnly = nullptr;
    QAction* m_dragCopyPeel = nullptr;
    QMenu* m_dragDataMenu = nullptr;
    QAction* m_dragRichText = nullptr;
    QAction* m_dragPlainText = nullptr;
    QAction* m_networkSettings = nullptr;
    QAction* m_showAll = nullptr;
    QAction* m_hideAll = nullptr;
    QAction* m_showLog = nullptr;
    QAction* m_peeledNotes = nullptr;
    QAction* m_findNotes = nullptr;
    QAction* m_help = nullptr;
    QAction* m_version = nullptr;
    QAction* m_exit = nullptr;
};
