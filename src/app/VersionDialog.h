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
    void startSystemInformation();

    // "ﾊﾞｰｼﾞｮﾝ 1.2.3".
    static QString versionLine(int major, int minor, int revision);
    // What stands in for the system-information tool, in the order tried.
    static QList<QStringList> systemInformationPrograms();

    QLabel* icon() const { return m_icon; }
    QLabel* title() const { return m_title; }
    QLabel* version() const { return m_version; }
    QPlainTextEdit* notice() const { return m_notice; }
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* systemInformationButton() const { return m_systemInformationButton; }

private:
    QLabel* m_icon = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_version = nullptr;
    QPlainTextEdit* m_notice = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_systemInformationButton = nullptr;
};
