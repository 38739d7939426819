#include "app/ReadingWindow.h"

#include "platform/WindowKeys.h"
#include "text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

ReadingWindow::ReadingWindow(const QString& caption)
    : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("ReadingWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    m_fileLine = new QLabel(this);
    m_fileLine->setObjectName(QStringLiteral("fileLine"));
    m_fileLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_fileLine->setWordWrap(true);
    m_fileLine->hide();
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fileLine);
    layout->addWidget(m_browser);
    resize(640, 520);
    WindowKeys::closeOnEscape(*this);
}

ReadingWindow* ReadingWindow::help() {
    auto* form = new ReadingWindow(QStringLiteral("ピノラ：ヘルプ"));
    form->browser()->setSource(QUrl(QStringLiteral("qrc:/Pinora.html")));
    return form;
}

ReadingWindow* ReadingWindow::textFile(const QString& caption, const QString& path) {
    auto* form = new ReadingWindow(caption);
    form->fileLine()->setText(QStringLiteral("ファイル: %1").arg(QDir::toNativeSeparators(path)));
    form->fileLine()->show();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) // a log brought over from Windows is Shift-JIS
        form->browser()->setPlainText(CodePage::decodeUtf8OrCp932(file.readAll()));
    else
        form->browser()->setPlainText(QStringLiteral("このファイルを読めませんでした: %1").arg(file.errorString()));
    return form;
}
