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

    QAction* inew;
    QMenu* istart;
    QAction* istartin;
    QAction* istartout;
    QMenu* idrag;
    QAction* idrag1;
    QAction* idrag2;
    QAction* idrag3;
    QMenu* itext;
    QAction* itext1;
    QAction* itext2;
    QAction* isp5;
    QAction* inetwork;
    QAction* isp1;
    QAction* ialldisp;
    QAction* iallhide;
    QAction* isp2;
    QAction* ilog;
    QAction* ipeeled; // added by this program: the peeled notes kept whole
    QAction* ifind;   // added by this program: finding a note by its text
    QAction* isp3;
    QAction* ihelp;
    QAction* iversion;
    QAction* isp4;
    QAction* iend;
};
