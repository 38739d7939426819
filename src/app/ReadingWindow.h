#pragma once

#include <QWidget>

class QLabel;
class QTextBrowser;

// A window to read in: the help page compiled into the program, or a text file
// that no desktop application could open. Links out of the help page go to the
// desktop's launcher. It deletes itself when closed.
class ReadingWindow : public QWidget {
    Q_OBJECT

public:
    // The help page (qrc:/Pinora.html), "ピノラ：ヘルプ".
    static ReadingWindow* help();
    // The text file at path, read-only, with a line that says which file it is; an
    // unreadable file says so instead.
    static ReadingWindow* textFile(const QString& caption, const QString& path);

    QLabel* fileLine() const { return m_fileLine; }
    QTextBrowser* browser() const { return m_browser; }

private:
    explicit ReadingWindow(const QString& caption);
    QLabel* m_fileLine = nullptr;
    QTextBrowser* m_browser = nullptr;
};
