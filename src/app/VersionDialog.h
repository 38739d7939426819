#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The version dialog: the program's icon, title, version and notice, and a button
// that starts the desktop's system-information program. It deletes itself when
// closed.
class VersionDialog : public QDialog {
    Q_OBJECT

public:
    VersionDialog();

    // Starts the first system-information program found, or says there is none.
    void StartSysInfo();

    // "ﾊﾞｰｼﾞｮﾝ 1.2.3".
    static QString versionLine(int major, int minor, int revision);
    // What stands in for the system-information tool, in the order tried.
    static QList<QStringList> systemInformationPrograms();

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QPlainTextEdit* lblDescription;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
};
